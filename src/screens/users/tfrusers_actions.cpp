// The users screen's actions: the user filter, following the selected user on the tabs, the
// tab filters, the timetable buttons and status changes, a new order and an e-mail's text.
#include "screens/users/tfrusers.h"

#include "base/logging.h"
#include "base/session.h"
#include "base/usertypes.h"
#include "data/dm.h"
#include "grid/controls/datasource.h"
#include "grid/gridframe.h"
#include "lang/texts.h"
#include "net/reportresult.h"
#include "net/runrequest.h"
#include "screens/orders/orderfilter.h"
#include "screens/orders/tfedordernew.h"
#include "screens/orders/tffltorder.h"
#include "screens/timetable/statusmenu.h"
#include "screens/timetable/tfaddtimetable.h"
#include "screens/timetable/tfflttimetable.h"
#include "screens/timetable/tfhisttimetable.h"
#include "screens/timetable/timetablefilter.h"
#include "screens/users/tffltuser.h"
#include "screens/users/tfshowmemo.h"
#include "screens/users/userfilter.h"
#include "seam/seam.h"

#include <QToolButton>

namespace {

// The field of the current row when the table is open, not empty and has it; a list that came
// without the field leaves a line in the log and its buttons off.
std::optional<TField> presentField(TClientTable &table, const char *name) {
    if (!table.Active() || table.IsEmpty())
        return std::nullopt;
    auto field = table.FindField(QString::fromLatin1(name));
    if (!field)
        qCWarning(lcScreens) << table.Name() << "has no field" << name << "- its buttons stay off";
    return field;
}

void restrict(TClientTable &table, const QString &filter) {
    table.SetFilter(filter);
    table.SetFiltered(true);
}

} // namespace

qint64 Tfrusers::selectedUser() {
    TClientTable &users = m_services.dm->cd_user;
    if (!users.Active() || users.IsEmpty())
        return 0;
    return users.FieldByName(QStringLiteral("IDUSER")).AsInteger();
}

bool Tfrusers::selectedIsStudent() {
    TClientTable &users = m_services.dm->cd_user;
    return users.Active() && !users.IsEmpty() &&
           users.FieldByName(QStringLiteral("USERTYPE")).AsInteger() == UserTypes::Client;
}

qint64 Tfrusers::currentLesson() {
    TClientTable &lessons = m_services.dm->cd_timetable;
    if (!lessons.Active() || lessons.IsEmpty())
        return 0;
    return lessons.FieldByName(QStringLiteral("IDTIMETABLE")).AsInteger();
}

void Tfrusers::frgspbfilterClick() {
    if (!m_userFilter)
        m_userFilter = new Tffltuser(this);
    m_userFilter->FillTypes(m_services.dm->cd_usertype, m_services.userType());
    m_userFilter->FillLevels(m_services.dm->cd_userlevel);
    if (m_userFilter->Execute())
        ApplyUserFilter();
}

void Tfrusers::ApplyUserFilter() {
    TClientTable &users = m_services.dm->cd_user;
    frg->spbfilter->setToolTip(m_userFilter ? m_userFilter->Description() : QString());
    const QString text = m_userFilter ? UserFilterText(m_userFilter->Values()) : QString();
    users.SetFilter(text);
    users.SetFiltered(!text.isEmpty());
}

void Tfrusers::dsDataChange() {
    if (!m_followTabs && ds->DataSet() == nullptr)
        return;
    const qint64 user = selectedUser();
    spb_neworder->setEnabled(selectedIsStudent());
    if (user == m_followed)
        return;
    m_followed = user;
    if (ds_order->DataSet())
        ApplyUserOrderFilter();
    if (ds_timetable->DataSet())
        ApplyUserTimetableFilter();
    if (ds_login->DataSet())
        restrict(m_services.dm->cd_login, QStringLiteral("IDUSER=%1").arg(user));
    if (ds_msg->DataSet())
        restrict(m_services.dm->cd_msg, QStringLiteral("WHORECEIVER=%1").arg(user));
}

void Tfrusers::ApplyUserOrderFilter() {
    QString filter = UserOrdersCondition(selectedUser());
    if (m_orderFilter)
        AddOrderConditions(m_orderFilter->Values(), filter);
    frg_order->spbfilter->setToolTip(m_orderFilter ? m_orderFilter->Description() : QString());
    restrict(m_services.dm->cd_order, filter);
}

void Tfrusers::ApplyUserTimetableFilter() {
    QString filter = UserTimetableCondition(selectedUser(), selectedIsStudent());
    if (m_timetableFilter)
        AddTimetableConditions(m_timetableFilter->Values(), filter);
    frg_timetable->spbfilter->setToolTip(m_timetableFilter ? m_timetableFilter->Description()
                                                           : QString());
    restrict(m_services.dm->cd_timetable, filter);
    ds_timetableDataChange();
}

void Tfrusers::orderFilterClick() {
    if (!m_orderFilter) {
        m_orderFilter = new Tffltorder(this);
        m_orderFilter->ShowClients = false;
    }
    m_orderFilter->FillStatuses(m_services.dm->cd_orderstatus);
    if (m_orderFilter->Execute())
        ApplyUserOrderFilter();
}

void Tfrusers::timetableFilterClick() {
    if (!m_timetableFilter) {
        m_timetableFilter = new Tfflttimetable(this);
        m_timetableFilter->ShowPeople = false;
    }
    m_timetableFilter->FillStatuses(m_services.dm->cd_ttstatus);
    if (m_timetableFilter->Execute())
        ApplyUserTimetableFilter();
}

void Tfrusers::ds_timetableDataChange() {
    const qint64 lesson = currentLesson();
    const auto statusField = presentField(m_services.dm->cd_timetable, "TIMETABLESTATUS");
    if (lesson > 0 && statusField) {
        const bool student = selectedIsStudent();
        const int status = int(statusField->AsInteger());
        spb_timetable_hist->setEnabled(true);
        spb_timetable_new->setEnabled(!student);
        spb_timetable_changestatus->setEnabled(student || status != 1);
        return;
    }
    TClientTable &users = m_services.dm->cd_user;
    const int type = users.Active() && !users.IsEmpty()
                         ? int(users.FieldByName(QStringLiteral("USERTYPE")).AsInteger())
                         : 0;
    spb_timetable_new->setEnabled(type >= UserTypes::Administrator && type <= UserTypes::Teacher);
    spb_timetable_changestatus->setEnabled(false);
    spb_timetable_hist->setEnabled(false);
}

void Tfrusers::spb_timetable_newClick() {
    if (!m_add)
        m_add = new Tfaddtimetable(m_services, this);
    // Every opening starts from today: a date kept from an earlier day would be refused as
    // past.
    m_add->SetDate(CurrentSeam().now().date());
    m_add->ExecuteFor(int(selectedUser()));
}

void Tfrusers::spb_timetable_histClick() {
    const qint64 lesson = currentLesson();
    if (lesson < 1)
        return;
    Tfhisttimetable dialog(m_services, this);
    dialog.ShowFor(
        lesson, m_services.dm->cd_timetable.FieldByName(QStringLiteral("WHENHOUR")).DisplayText());
}

void Tfrusers::spb_timetable_changestatusClick() {
    if (currentLesson() < 1)
        return;
    pmttstatus->PopupBelow(
        spb_timetable_changestatus,
        int(m_services.dm->cd_timetable.FieldByName(QStringLiteral("TIMETABLESTATUS"))
                .AsInteger()));
}

void Tfrusers::SetTimetableStatus(int status) {
    TClientTable &lessons = m_services.dm->cd_timetable;
    const qint64 lesson = currentLesson();
    if (lesson < 1)
        return;
    const int present = int(lessons.FieldByName(QStringLiteral("TIMETABLESTATUS")).AsInteger());
    // A free slot changed for a selected student becomes his.
    const qint64 client = present == 1 && selectedIsStudent() ? selectedUser() : 0;
    const RequestOutcome outcome =
        RunRequest(QString(), QStringLiteral("settimetablestatus"),
                   TimetableStatusData(lesson, status, client), false, false);
    if (m_services.signedIn()) {
        lessons.Refresh();
        lessons.Locate(QStringLiteral("IDTIMETABLE"), {TValue::FromInteger(lesson)});
    }
    ReportResult(outcome);
}

void Tfrusers::spb_neworderClick() {
    if (!selectedIsStudent())
        return;
    Tfedordernew dialog(m_services, int(selectedUser()), this);
    dialog.Prepare();
    if (dialog.exec() != QDialog::Accepted)
        return;
    TClientTable &orders = m_services.dm->cd_order;
    orders.Refresh();
    orders.Locate(QStringLiteral("IDORDER"), {TValue::FromInteger(dialog.NewOrderId())});
}

void Tfrusers::ds_msgDataChange() {
    TClientTable &mails = m_services.dm->cd_msg;
    const auto body = presentField(mails, "EMAILBODY");
    spb_msg_detail->setEnabled(body && !body->AsString().isEmpty());
}

void Tfrusers::spb_msg_detailClick() {
    TClientTable &mails = m_services.dm->cd_msg;
    if (!mails.Active() || mails.IsEmpty())
        return;
    Tfshowmemo window(AppText(1405), mails.FieldByName(QStringLiteral("EMAILBODY")).AsString(),
                      this);
    window.exec();
}
