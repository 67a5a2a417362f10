#include "lessonnotes.h"

#include "base/locations.h"
#include "base/logging.h"
#include "data/dm.h"
#include "grid/textreport.h"
#include "lang/programlocale.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "lesson/classroom/classroombar.h"
#include "lesson/classroom/classroomlines.h"
#include "lesson/screen/tfrlearn.h"
#include "net/reportresult.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "seam/seam.h"

#include <QDir>
#include <QMenu>
#include <QSaveFile>
#include <QTextEdit>
#include <QToolButton>

namespace {

// A chat line longer than this is cut in the notes (a pasted text would fill pages).
constexpr qsizetype MaxChatLine = 2000;

QString ownName(Tdm *dm) {
    if (!dm)
        return {};
    TClientTable &info = dm->cd_user_info;
    if (!info.Active() || info.IsEmpty())
        return {};
    const auto name = info.FindField(QStringLiteral("FULLNAME"));
    return name ? name->AsString() : QString();
}

QStringList orNone(const QStringList &lines) {
    return lines.isEmpty() ? QStringList{AppText(1672)} : lines;
}

} // namespace

TLessonNotes::TLessonNotes(Tfrlearn &screen, const TServices &services, TClassroomBar &bar)
    : QObject(&screen), m_screen(screen), m_services(services), m_bar(bar) {
    connect(m_bar.spbsendnotes, &QToolButton::clicked, this,
            [this] { RunGuarded([this] { sendNotes(); }); });
    updateButtons();
}

bool TLessonNotes::student() const {
    return m_screen.channel().isStudent();
}

void TLessonNotes::partnerPresence(bool present) {
    if (!student() && present) {
        m_record.begin(CurrentSeam().now());
        pageShown();
        m_supported = m_services.signedIn() &&
                      LessonNotesServer::List(m_screen.channel().partnerId().toLongLong());
    }
    updateButtons();
}

void TLessonNotes::screenEntered() {
    if (student() && m_services.signedIn())
        refreshList();
}

void TLessonNotes::notesArrived() {
    if (student() && m_services.signedIn())
        refreshList();
}

void TLessonNotes::pageShown() {
    const tbook *book = m_screen.CurrentBook();
    if (student() || !book || m_screen.channel().partnerId().isEmpty())
        return;
    m_record.pageShown(book->title, book->html ? 0 : m_screen.CurrentPage());
}

void TLessonNotes::recordingPlayed(int recording) {
    const tbook *book = m_screen.CurrentBook();
    if (student() || !book || m_screen.channel().partnerId().isEmpty())
        return;
    m_record.recordingPlayed(book->recordingTitles.value(recording));
}

TTextReport TLessonNotes::notesReport(const QString &teacherNote) const {
    TTextReport report;
    report.title = AppText(1664);
    const QDateTime began = m_record.began().isValid() ? m_record.began() : CurrentSeam().now();
    report.subtitle = FormatText(AppText(1665),
                                 {ownName(m_services.dm), m_screen.channel().partnerName(),
                                  ProgramLocale().toString(began, QLocale::ShortFormat)});
    QStringList chat;
    for (const QString &line : m_screen.memoread->toPlainText().split(u'\n')) {
        if (!line.isEmpty())
            chat.append(line.size() > MaxChatLine ? line.left(MaxChatLine) + u'…' : line);
    }
    const QStringList note = teacherNote.split(u'\n', Qt::SkipEmptyParts);
    report.sections = {{AppText(1666), orNone(m_record.pages())},
                       {AppText(1667), orNone(m_record.recordings())},
                       {AppText(1668), orNone(chat)},
                       {AppText(1669), orNone(note)}};
    return report;
}

bool TLessonNotes::sendNotes() {
    const QString partner = m_screen.channel().partnerId();
    if (student() || partner.isEmpty() || !m_supported || !m_services.textReportPdf)
        return false;
    QString note;
    if (!CurrentSeam().inputText(AppText(1664), AppText(1670), note))
        return false;
    QByteArray pdf;
    {
        BusyCursorScope cursor(Qt::WaitCursor);
        pdf = m_services.textReportPdf(notesReport(note));
    }
    if (pdf.isEmpty()) {
        AppMessageBox(AppText(1673), mtError, mbOK);
        return false;
    }
    const RequestOutcome outcome = LessonNotesServer::Post(partner.toLongLong(), pdf);
    if (!outcome.ok()) {
        ReportResult(outcome);
        return false;
    }
    m_screen.channel().PostToPartner(ClassroomLines::NotesSent);
    AppMessageBox(AppText(1671), mtInformation, mbOK);
    return true;
}

void TLessonNotes::refreshList() {
    const auto list = LessonNotesServer::List(0);
    m_supported = list.has_value();
    m_notes = list.value_or(QList<TLessonNoteEntry>());
    QMenu *menu = m_bar.pmnotes;
    menu->clear();
    for (const TLessonNoteEntry &entry : m_notes) {
        const QString caption = ProgramLocale().toString(entry.saved, QLocale::ShortFormat) +
                                QStringLiteral(" – ") + entry.teacher;
        const qint64 id = entry.id;
        connect(menu->addAction(caption), &QAction::triggered, this,
                [this, id] { RunGuarded([this, id] { openNote(id); }); });
    }
    if (m_notes.isEmpty())
        menu->addAction(AppText(1672))->setEnabled(false);
    updateButtons();
}

void TLessonNotes::openNote(qint64 id) {
    const std::optional<QByteArray> pdf = LessonNotesServer::Fetch(id);
    if (!pdf || !pdf->startsWith("%PDF-")) {
        qCWarning(lcLesson) << "lesson note" << id << "not fetched";
        AppMessageBox(AppText(1673), mtError, mbOK);
        return;
    }
    const QString folder = AppLocations().dataFolder + QStringLiteral("/notes");
    QDir().mkpath(folder);
    QSaveFile file(folder + QStringLiteral("/lekce-%1.pdf").arg(id));
    if (!file.open(QIODevice::WriteOnly) || file.write(*pdf) != pdf->size() || !file.commit()) {
        AppMessageBox(AppText(277), mtError, mbOK);
        return;
    }
    CurrentSeam().openDocument(file.fileName());
}

void TLessonNotes::updateButtons() {
    const bool isStudent = student();
    m_bar.spbsendnotes->setVisible(!isStudent && m_supported && bool(m_services.textReportPdf));
    m_bar.spbsendnotes->setEnabled(!m_screen.channel().partnerId().isEmpty());
    m_bar.spbnotes->setVisible(isStudent && m_supported);
}
