#include "data/dm.h"

#include "base/session.h"
#include "base/usertypes.h"
#include "wire/packetframing.h"
#include "errors/apperror.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "net/reportresult.h"
#include "net/requestoutcome.h"
#include "net/requestrunner.h"
#include "net/serverrequest.h"

#include <exception>

namespace {

bool isStaff() {
    return UserTypes::IsStaff(UserType());
}

// The default way of running a business action: directly, under the busy cursor.
RequestOutcome runDirect(const ServerRequest &spec) {
    BusyCursorScope busy;
    return AppRequestRunner().run(spec, nullptr, true);
}

} // namespace

Tdm &dm() {
    static Tdm module;
    return module;
}

Tdm::Tdm() : RunAction(runDirect) {
    phpdbcon.URL.clear();
    phpdbcon.OnBeforeConnect = [] { PrepareClient(); };
    bind(cd_order, "prov_order");
    bind(cd_orderhist, "prov_orderhist");
    bind(cd_timetable, "prov_timetable");
    bind(cd_ttstatushist, "prov_ttstatushist");
    bind(cd_user, "prov_user");
    bind(cd_userremark, "prov_userremark");
    bind(cd_login, "prov_login");
    bind(cd_msg, "prov_msg");
    bind(cd_onlineteacher, "prov_onlineteacher");
    for (TClientTable *t : {&cd_ttstatushist, &cd_onlineteacher, &cd_ordertype, &cd_course,
                            &cd_orderstatus, &cd_ttstatus, &cd_userlevel, &cd_usertype})
        t->SetReadOnly(true);
    installOrderRules();
    installTimetableRules();
    installUserRules();
    installRemarkRules();
    cd_user_info.AfterPost = [this](TClientTable &t) { ApplyAndRefresh(t); };
    cd_login.AfterDelete = [this](TClientTable &t) { ApplyAndRefresh(t); };
    cd_msg.AfterDelete = [this](TClientTable &t) { ApplyAndRefresh(t); };
}

Tdm::~Tdm() {
    for (TClientTable *t : AllTables())
        t->SetRemoteServer(nullptr);
}

QList<TClientTable *> Tdm::AllTables() {
    return {&cd_order,       &cd_orderhist,     &cd_timetable, &cd_ttstatushist,
            &cd_user,        &cd_userremark,    &cd_user_info, &cd_login,
            &cd_msg,         &cd_onlineteacher, &cd_ordertype, &cd_course,
            &cd_orderstatus, &cd_ttstatus,      &cd_userlevel, &cd_usertype};
}

void Tdm::bind(TClientTable &table, const char *provider) {
    table.SetProviderName(QString::fromLatin1(provider));
    table.SetRemoteServer(&phpdbcon);
}

void Tdm::LoadSignInTables(QByteArray reply) {
    auto load = [&reply](TClientTable &table) {
        table.Close();
        table.LoadFromBytes(NextPacketSection(reply));
    };
    load(cd_ordertype);
    cd_user_info.Close();
    cd_user_info.SetRemoteServer(nullptr);
    cd_user_info.SetProviderName(QString());
    load(cd_user_info);
    if (reply.isEmpty())
        return;
    load(cd_course);
    cd_course.SetIndexFieldNames(QStringLiteral("IDCOURSE"));
    for (TClientTable *t : {&cd_orderstatus, &cd_ttstatus, &cd_userlevel, &cd_usertype})
        load(*t);
}

void Tdm::CloseAllTables() {
    for (TClientTable *t : AllTables()) {
        t->SetFilter(QString());
        t->SetFiltered(false);
        t->Close();
    }
}

void Tdm::RefreshUserInfo() {
    if (cd_user_info.RemoteServer() != &phpdbcon) {
        cd_user_info.Close();
        bind(cd_user_info, "prov_user_info");
    }
    if (cd_user_info.Active())
        cd_user_info.Refresh();
    else
        cd_user_info.Open();
    if (cd_user_info.RecordCount() != 1)
        throw AppError(QStringLiteral("Recordcount should be exactly one"));
}

void Tdm::ApplyAndRefresh(TClientTable &table) {
    std::exception_ptr applyError;
    try {
        table.ApplyUpdates(0);
    } catch (...) {
        applyError = std::current_exception();
        // A failure before the request (no provider, a change set that cannot be written)
        // leaves the edit in the log; it is dropped as after a refused request. A table
        // still in edit (its post refused) keeps what the user typed.
        if (table.State() == TTableState::Browse) {
            try {
                table.CancelUpdates();
            } catch (...) {
                // The apply's error is the one the user is shown.
            }
        }
    }
    try {
        table.Refresh();
    } catch (...) {
        // The re-read only brings the server's state back; its own failure is not shown.
    }
    if (applyError)
        std::rethrow_exception(applyError);
}

void Tdm::installOrderRules() {
    cd_order.BeforeInsert = [](TClientTable &) { throw SilentAbort(); };
    cd_order.AfterEdit = [this](TClientTable &t) {
        m_startStatus = int(t.FieldByName(QStringLiteral("ORDERSTATUS")).AsInteger());
    };
    cd_order.BeforePost = [this](TClientTable &t) {
        m_savedOrderId = int(t.FieldByName(QStringLiteral("IDORDER")).AsInteger());
        m_savedStatus = int(t.FieldByName(QStringLiteral("ORDERSTATUS")).AsInteger());
        // The question comes before the stamp, so that a refused change leaves the row in edit
        // without a stamp that would be saved later with an unchanged status.
        const bool fromTaken = m_startStatus == 2 || m_startStatus == 3;
        const bool toOpen = m_savedStatus == 1 || m_savedStatus == 4;
        if (fromTaken && toOpen && AppMessageBox(AppText(235), mtWarning, mbOK | mbCancel) != mrOK)
            throw SilentAbort();
        if (m_savedStatus != m_startStatus)
            t.FieldByName(QStringLiteral("WHOSTATUSCHANGE")).SetAsInteger(UserId());
    };
    cd_order.AfterPost = [this](TClientTable &t) {
        ApplyAndRefresh(t);
        if ((m_savedStatus == 2 || m_savedStatus == 3) && m_startStatus == 1)
            offerStatusEmail();
    };
    cd_order.AfterDelete = [this](TClientTable &t) { ApplyAndRefresh(t); };
    cd_order.AfterRefresh = [this](TClientTable &) {
        if (cd_orderhist.Active())
            cd_orderhist.Refresh();
    };
}

void Tdm::offerStatusEmail() {
    if (AppMessageBox(AppText(236), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    ServerRequest spec;
    spec.action = QStringLiteral("sendemailorder");
    spec.data = "idorder=" + QByteArray::number(m_savedOrderId);
    const RequestOutcome outcome = RunAction(spec);
    ReportResult(outcome);
    if (outcome.ok())
        AppMessageBox(AppText(237), mtInformation, mbOK);
}

void Tdm::installTimetableRules() {
    cd_timetable.BeforeDelete = [](TClientTable &t) {
        if (UserType() == UserTypes::Client)
            throw SilentAbort();
        if (t.FieldByName(QStringLiteral("TIMETABLESTATUS")).AsInteger() != 1)
            throw AppError(AppText(238));
    };
    cd_timetable.AfterPost = [this](TClientTable &t) { ApplyAndRefresh(t); };
    cd_timetable.AfterDelete = [this](TClientTable &t) { ApplyAndRefresh(t); };
}

void Tdm::installUserRules() {
    cd_user.BeforeInsert = [](TClientTable &) { throw SilentAbort(); };
    cd_user.BeforeDelete = [](TClientTable &) { throw SilentAbort(); };
    cd_user.AfterPost = [this](TClientTable &t) { ApplyAndRefresh(t); };
}

void Tdm::installRemarkRules() {
    const auto mayChange = [](TClientTable &t) {
        if (!isStaff() && t.FieldByName(QStringLiteral("WHOWRITE")).AsInteger() != UserId())
            throw AppError(AppText(239));
    };
    cd_userremark.BeforeEdit = mayChange;
    cd_userremark.BeforeDelete = mayChange;
    cd_userremark.BeforePost = [this](TClientTable &t) {
        if (t.State() != TTableState::Insert)
            return;
        t.FieldByName(QStringLiteral("IDJOB")).SetAsInteger(JobId());
        t.FieldByName(QStringLiteral("IDUSER")).SetAsInteger(RemarkUserId);
        t.FieldByName(QStringLiteral("WHOWRITE")).SetAsInteger(UserId());
        m_newRemarkSaved = true;
    };
    cd_userremark.AfterPost = [this](TClientTable &t) {
        const bool wasNew = m_newRemarkSaved;
        m_newRemarkSaved = false;
        ApplyAndRefresh(t);
        if (wasNew)
            t.Last();
    };
    cd_userremark.AfterDelete = [this](TClientTable &t) { ApplyAndRefresh(t); };
}

bool Tdm::FindTimetableSlot(const QDateTime &whenHour, int teacherId, int jobId) {
    TClientTable &t = cd_timetable;
    const TBookmark current = t.GetBookmark();
    t.DisableControls();
    const bool filtered = t.Filtered();
    t.SetFiltered(false);
    bool found = false;
    try {
        for (int status : {1, 2, 3, 4, 5, 6, 8}) {
            found = t.Locate(QStringLiteral("WHENHOUR;IDTEACHER;IDJOB;TIMETABLESTATUS"),
                             {TValue::FromDateTime(whenHour), TValue::FromInteger(teacherId),
                              TValue::FromInteger(jobId), TValue::FromInteger(status)});
            if (found)
                break;
        }
    } catch (...) {
        t.SetFiltered(filtered);
        t.EnableControls();
        t.GotoBookmark(current);
        throw;
    }
    t.SetFiltered(filtered);
    t.EnableControls();
    t.GotoBookmark(current);
    return found;
}
