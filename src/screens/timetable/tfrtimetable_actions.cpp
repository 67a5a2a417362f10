// The timetable screen's actions: filter, booking and cancelling, status changes, adding
// slots, client detail, history and the calendar export.
#include "screens/timetable/tfrtimetable.h"

#include "base/session.h"
#include "base/usertypes.h"
#include "data/dm.h"
#include "grid/gridframe.h"
#include "errors/apperror.h"
#include "seam/messagebox.h"
#include "seam/seam.h"
#include "lang/texts.h"
#include "net/reportresult.h"
#include "net/runrequest.h"
#include "screens/timetable/booking/timetableextras.h"
#include "screens/timetable/lessonevents.h"
#include "screens/timetable/month/monthcalendar.h"
#include "screens/timetable/statusmenu.h"
#include "screens/timetable/tfaddtimetable.h"
#include "screens/timetable/tfflttimetable.h"
#include "screens/timetable/tfhisttimetable.h"
#include "screens/timetable/timetablefilter.h"
#include "screens/users/userdialogentry.h"

#include <QCheckBox>
#include <QDir>
#include <QSaveFile>
#include <QToolButton>
#include <exception>

void Tfrtimetable::spbfilterClick() {
    const bool staff = UserTypes::IsStaff(m_services.userType());
    if (!m_filter)
        m_filter = new Tfflttimetable(this);
    m_filter->FillStatuses(m_services.dm->cd_ttstatus);
    m_filter->ShowPeople = staff;
    if (staff)
        m_filter->FillPeople(m_services.dm->cd_user);
    if (m_filter->Execute())
        ApplyFilter();
}

void Tfrtimetable::ApplyFilter() {
    TClientTable &t = m_services.dm->cd_timetable;
    if (!m_filter) {
        t.SetFiltered(false);
        t.SetFilter(QString());
        frg_timetable->spbfilter->setToolTip(QString());
        return;
    }
    if (!chb_filter->isChecked()) {
        // Checked without its click action; the calendar change applies the filter.
        chb_filter->setChecked(true);
        showFilterState();
        RecomputeCalendar();
        return;
    }
    frg_timetable->spbfilter->setToolTip(m_filter->Description());
    const QString text = TimetableFilterText(m_filter->Values());
    t.SetFilter(text);
    t.SetFiltered(!text.isEmpty());
}

void Tfrtimetable::spb_reserve_newClick() {
    if (m_services.userType() == UserTypes::Client)
        ReserveLesson();
    else
        AddLessons();
}

void Tfrtimetable::spb_storno_statusClick() {
    if (m_services.userType() == UserTypes::Client)
        CancelLesson();
    else
        ShowStatusMenu();
}

void Tfrtimetable::ReserveLesson() {
    if (currentId() < 1)
        return;
    const QString question = AppText(355).replace(QStringLiteral("%s"), currentWhenText());
    if (AppMessageBox(question, mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    if (ChangeStatus(2)) {
        AppMessageBox(AppText(356), mtInformation, mbOK);
        m_extras->AfterBooking();
    }
}

void Tfrtimetable::CancelLesson() {
    if (currentId() < 1)
        return;
    const QString question = AppText(365).replace(QStringLiteral("%s"), currentWhenText());
    if (AppMessageBox(question, mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    if (ChangeStatus(1))
        AppMessageBox(AppText(357), mtInformation, mbOK);
}

void Tfrtimetable::ShowStatusMenu() {
    if (currentId() < 1)
        return;
    pm_status->PopupBelow(spb_storno_status, int(currentInteger("TIMETABLESTATUS")));
}

bool Tfrtimetable::ChangeStatus(int newStatus) {
    const qint64 id = currentId();
    if (id < 1)
        return false;
    const RequestOutcome outcome = RunRequest(QString(), QStringLiteral("settimetablestatus"),
                                              TimetableStatusData(id, newStatus), false, false);
    std::exception_ptr rereadError;
    if (m_services.signedIn()) {
        try {
            rereadAfterStatusChange(id);
        } catch (...) {
            rereadError = std::current_exception();
        }
    }
    ReportResult(outcome);
    // A re-read that fails after a refused change adds nothing to the refusal shown.
    if (rereadError && outcome.ok())
        std::rethrow_exception(rereadError);
    return outcome.ok();
}

void Tfrtimetable::rereadAfterStatusChange(qint64 id) {
    m_services.dm->cd_timetable.Refresh();
    FillHours(true);
    RecomputeCalendar();
    moveTo(id);
}

void Tfrtimetable::AddLessons() {
    if (!m_add) {
        m_add = new Tfaddtimetable(m_services, this);
        m_add->SetDate(CurrentSeam().now().date());
    }
    if (!chb_filter->isChecked())
        m_add->SetDate(cal->Date());
    else if (m_add->Date() < CurrentSeam().now().date())
        m_add->SetDate(CurrentSeam().now().date()); // a kept day that has passed since
    if (m_add->ExecuteFor(m_services.userId()))
        RecomputeCalendar();
}

void Tfrtimetable::spb_userClick() {
    const qint64 client = currentInteger("IDUSER");
    if (currentId() < 1 || client < 1)
        return;
    ShowUserDialogFor(m_services, int(client));
}

void Tfrtimetable::spb_histClick() {
    if (currentId() < 1)
        return;
    if (!m_hist)
        m_hist = new Tfhisttimetable(m_services, this);
    m_hist->ShowFor(currentId(), currentWhenText());
}

void Tfrtimetable::spb_exportClick() {
    TClientTable &t = m_services.dm->cd_timetable;
    const int type = m_services.userType();
    const bool client = type == UserTypes::Client;
    const QList<TLessonRow> lessons =
        client ? BookedLessons(t, m_services.userId()) : ListedLessons(t);
    if (lessons.isEmpty()) {
        AppMessageBox(AppText(client ? 1310 : 1305), mtInformation, mbOK);
        return;
    }
    FileDialogRequest request;
    request.save = true;
    request.caption = AppText(1311);
    request.folder = QDir::homePath();
    request.fileName = AppText(1306);
    request.filter = AppText(1303);
    QString path = CurrentSeam().fileDialog(request);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".ics"), Qt::CaseInsensitive))
        path += QStringLiteral(".ics");
    const QString host = CurrentConnectionTarget().server.section(u':', 0, 0);
    QList<TCalendarEvent> events;
    for (const TLessonRow &lesson : lessons)
        events << LessonEvent(lesson, type, host);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(TICalendarWriter().Write(events, CurrentSeam().now())) < 0 || !file.commit())
        throw AppError(AppText(1304).arg(QDir::toNativeSeparators(path)));
    AppMessageBox(AppText(1312).arg(lessons.size()).arg(QDir::toNativeSeparators(path)),
                  mtInformation, mbOK);
}
