#pragma once

#include "grid/services.h"

#include "grid/screen.h"
#include "screens/users/tffltuser.h"

#include <QPointer>

class QSplitter;
class QTabWidget;
class QToolButton;
class TDataSource;
class Tfedorder;
class Tffltorder;
class Tfflttimetable;
class Tfaddtimetable;
class Tfrg;
class TStatusMenu;

// The users screen for staff: the school's users above, and below, for the selected user,
// his orders, his timetable, his sign-ins and the e-mails sent to him, each on a tab bound
// the first time it is shown.
class Tfrusers : public TScreen {
    Q_OBJECT
    // First, so that the members after it can be built with it.
    TServices m_services;

public:
    enum Tab { OrdersTab, TimetableTab, LoginTab, MsgTab };

    explicit Tfrusers(const TServices &services, QWidget *parent = nullptr);
    ~Tfrusers() override;

    Tfrg *frg;
    QSplitter *splitter;
    QTabWidget *pgc;
    Tfrg *frg_order, *frg_timetable, *frg_login, *frg_msg;
    QToolButton *spb_neworder, *spb_timetable_new, *spb_timetable_changestatus, *spb_timetable_hist,
        *spb_msg_detail;
    TStatusMenu *pmttstatus;
    Tfedorder *fedorder;

    void InitScreen() override;
    void EnterScreen() override;
    void LeaveScreen() override;
    void SignOutScreen() override;

    // The user filter dialog while it exists (first use to sign-out).
    Tffltuser *UserFilter() const { return m_userFilter; }
    // The users list's filter button: fills and shows the dialog, applies it on OK.
    void frgspbfilterClick();
    // The user filter onto cd_user without showing the dialog.
    void ApplyUserFilter();
    // Binds the shown tab's list the first time and switches its source on.
    void pgcChange();
    // The tab lists follow the selected user (record changes only).
    void dsDataChange();
    void ApplyUserOrderFilter();
    void ApplyUserTimetableFilter();
    // The tab lists' own filter buttons.
    void orderFilterClick();
    void timetableFilterClick();
    // The timetable buttons for the current lesson and the selected user.
    void ds_timetableDataChange();
    void spb_timetable_newClick();
    void spb_timetable_histClick();
    void spb_timetable_changestatusClick();
    // A status chosen in the status menu, sent to the server.
    void SetTimetableStatus(int status);
    void spb_neworderClick();
    void ds_msgDataChange();
    void spb_msg_detailClick();

private:
    QToolButton *makeButton(Tfrg *list, const char *name);
    void connectControls();
    void bindTab(int tab);
    void setTabSources(bool on);
    qint64 selectedUser();
    bool selectedIsStudent();
    qint64 currentLesson();

    TDataSource *ds, *ds_order, *ds_timetable, *ds_login, *ds_msg;
    QPointer<Tffltuser> m_userFilter;
    Tffltorder *m_orderFilter = nullptr;
    Tfflttimetable *m_timetableFilter = nullptr;
    Tfaddtimetable *m_add = nullptr;
    qint64 m_followed = -1;
    bool m_followTabs = false;
};
