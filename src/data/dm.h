#pragma once

#include "data/clienttable.h"
#include "data/phpdbcon.h"

#include <QByteArray>
#include <QDateTime>
#include <functional>

struct RequestOutcome;
struct ServerRequest;

// The data module: owns every client table the screens share and the remote-server
// component, and enforces the rules that hold whichever screen edits a table (which tables
// accept inserts and deletes, who may change what, stamps before saving, save at once, the
// follow-up of an order status change).
class Tdm {
public:
    Tdm();
    ~Tdm();
    Tdm(const Tdm &) = delete;
    Tdm &operator=(const Tdm &) = delete;

    TMybasePHPConnection phpdbcon;

    // Server-bound tables.
    TClientTable cd_order{QStringLiteral("cd_order")};
    TClientTable cd_orderhist{QStringLiteral("cd_orderhist")};
    TClientTable cd_timetable{QStringLiteral("cd_timetable")};
    TClientTable cd_ttstatushist{QStringLiteral("cd_ttstatushist")};
    TClientTable cd_user{QStringLiteral("cd_user")};
    TClientTable cd_userremark{QStringLiteral("cd_userremark")};
    TClientTable cd_user_info{QStringLiteral("cd_user_info")};
    TClientTable cd_login{QStringLiteral("cd_login")};
    TClientTable cd_msg{QStringLiteral("cd_msg")};
    TClientTable cd_onlineteacher{QStringLiteral("cd_onlineteacher")};
    // Lookup tables filled from the sign-in reply.
    TClientTable cd_ordertype{QStringLiteral("cd_ordertype")};
    TClientTable cd_course{QStringLiteral("cd_course")};
    TClientTable cd_orderstatus{QStringLiteral("cd_orderstatus")};
    TClientTable cd_ttstatus{QStringLiteral("cd_ttstatus")};
    TClientTable cd_userlevel{QStringLiteral("cd_userlevel")};
    TClientTable cd_usertype{QStringLiteral("cd_usertype")};

    // The user id the user dialog attaches to new remarks.
    int RemarkUserId = 0;
    // Runs a business action directly (busy cursor, with the session); replaceable in tests.
    std::function<RequestOutcome(const ServerRequest &)> RunAction;

    // Fills the lookup tables and the user's own record from the sign-in reply after its
    // first section; stops after the user record when nothing is left.
    void LoadSignInTables(QByteArray reply);
    // Clears every table's filter, switches filtering off and closes it.
    void CloseAllTables();
    // Binds cd_user_info to the server and re-reads it; it must then hold exactly one row.
    void RefreshUserInfo();
    // Applies the table's changes and re-reads it whether or not that failed; a failed apply
    // is raised after the re-read.
    void ApplyAndRefresh(TClientTable &table);
    // Whether the timetable holds a lesson at this hour for the teacher and job (filter
    // ignored, status 7 not counted); filter, controls and position are restored.
    bool FindTimetableSlot(const QDateTime &whenHour, int teacherId, int jobId);

    QList<TClientTable *> AllTables();

private:
    void bind(TClientTable &table, const char *provider);
    void installOrderRules();
    void installTimetableRules();
    void installUserRules();
    void installRemarkRules();
    void offerStatusEmail();

    int m_startStatus = 0;
    int m_savedStatus = 0;
    int m_savedOrderId = 0;
    bool m_newRemarkSaved = false;
};

// The program's data module (created at start-up, before the main window connects).
Tdm &dm();
