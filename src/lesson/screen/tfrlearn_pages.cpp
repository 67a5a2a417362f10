// The lesson screen's book pages: the book, lesson and audio menus, showing a page (downloaded
// when missing), paging, the page status and following the teacher.
#include "tfrlearn.h"

#include "base/logging.h"
#include "grid/dialogs/inputex.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "lesson/classroom/lessonclassroom.h"
#include "lesson/books/bookfiles.h"
#include "lesson/screen/lessonaudiocontrols.h"
#include "lesson/screen/lessonbuttons.h"
#include "lesson/screen/lessonpageview.h"
#include "net/settings/settings.h"
#include "seam/guard.h"
#include "seam/messagebox.h"

#include <QActionGroup>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTextEdit>
#include <QToolButton>
#include <QWebEngineView>

using namespace LessonButtons;

namespace {

QString rangeCaption(const QString &title, int first, int last) {
    return title + QStringLiteral(" (") + QString::number(first) + u'-' + QString::number(last) +
           u')';
}

} // namespace

bool Tfrlearn::libraryEmpty() const {
    return BookCatalogue::Library().isEmpty();
}

const tbook *Tfrlearn::CurrentBook() const {
    const QList<tbook> &library = BookCatalogue::Library();
    return m_currentBook >= 0 && m_currentBook < library.size() ? &library[m_currentBook] : nullptr;
}

void Tfrlearn::BuildBookMenu() {
    const QList<tbook> &library = BookCatalogue::Library();
    if (!m_firstBuildDone) {
        m_firstBuildDone = true;
        m_currentBook = 0;
        m_currentPage = 0;
        for (int i = 0; i < library.size(); ++i) {
            if (library[i].number == m_services.settings->lastUsedBook) {
                m_currentBook = i;
                m_currentPage = m_services.settings->lastUsedPage;
                break;
            }
        }
    }
    audio->clearMenu();
    for (QMenu *menu : {pmb, pml})
        clearMenu(menu);
    QActionGroup *group = radioGroup(pmb);
    for (int i = 0; i < library.size(); ++i) {
        const tbook &book = library[i];
        QAction *item = pmb->addAction(rangeCaption(book.title, book.firstPage, book.lastPage));
        item->setCheckable(true);
        item->setData(i);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, i] { chooseBook(i); });
        if (i == m_currentBook)
            BuildLessonMenu();
    }
    if (m_currentBook >= library.size()) {
        m_currentBook = 0;
        m_currentPage = library.isEmpty() ? 0 : library[0].firstPage;
        if (!library.isEmpty())
            BuildLessonMenu();
    }
    spbbook->setEnabled(!pmb->isEmpty());
    spblesson->setEnabled(!pml->isEmpty());
}

void Tfrlearn::chooseBook(int index) {
    RunGuarded([this, index] {
        m_currentBook = index;
        m_currentPage = 0;
        BuildLessonMenu();
        ShowPage();
    });
}

void Tfrlearn::BuildLessonMenu() {
    clearMenu(pml);
    const tbook *book = CurrentBook();
    spblesson->setEnabled(book && !book->html);
    if (!book)
        return;
    QActionGroup *pagesGroup = radioGroup(pml);
    for (const TLesson &lesson : book->lessons) {
        QMenu *sub = pml->addMenu(rangeCaption(lesson.title, lesson.firstPage, lesson.lastPage));
        sub->menuAction()->setCheckable(true);
        for (int page = lesson.firstPage; page <= lesson.lastPage; ++page) {
            QAction *item = sub->addAction(FormatText(AppText(275), {page}));
            item->setCheckable(true);
            item->setData(page);
            pagesGroup->addAction(item);
            connect(item, &QAction::triggered, this, [this, page] { choosePage(page); });
        }
    }
    // A following student's menu stays locked when the teacher's page switches the book.
    spblesson->setEnabled(!book->html && !pml->isEmpty() && !StudentLocked());
}

void Tfrlearn::choosePage(int page) {
    RunGuarded([this, page] {
        m_currentPage = page;
        ShowPage();
    });
}

// Marks the current book in the book menu, and the current page and its lesson in the lesson
// menu.
void Tfrlearn::checkMenus() {
    for (QAction *item : pmb->actions())
        item->setChecked(item->data().toInt() == m_currentBook);
    for (QAction *lesson : pml->actions()) {
        bool holds = false;
        if (QMenu *sub = lesson->menu()) {
            for (QAction *item : sub->actions()) {
                item->setChecked(item->data().toInt() == m_currentPage);
                holds = holds || item->isChecked();
            }
        }
        lesson->setChecked(holds);
    }
}

void Tfrlearn::ShowPage() {
    // A page shown while another is on its way (a download waits) is shown after it.
    if (m_showing) {
        m_showAgain = true;
        return;
    }
    m_showing = true;
    do {
        m_showAgain = false;
        showCurrentPage();
    } while (m_showAgain);
    m_showing = false;
}

void Tfrlearn::showCurrentPage() {
    m_prefetch.Cancel();
    audio->clearMenu();
    pages->clearPicture();
    const tbook *book = CurrentBook();
    // A book that lists no lessons has no pages to show.
    if (!book || (!book->html && book->firstPage < 0)) {
        for (QToolButton *button : {sbprior, sbNext, sbgotopage, spbaudio})
            button->setEnabled(false);
        m_audio->UpdateAudioButtons();
        UpdatePageStatus();
        return;
    }
    const bool locked = StudentLocked();
    if (book->html) {
        sbgotopage->setEnabled(true);
        sbgotopage->setText(AppText(285));
        sbprior->setEnabled(pages->canGoBack());
        sbNext->setEnabled(pages->canGoForward());
    } else {
        sbgotopage->setEnabled(!locked);
        if (m_currentPage < book->firstPage || m_currentPage > book->lastPage)
            m_currentPage = book->firstPage;
        sbprior->setEnabled(m_currentPage > book->firstPage && !locked);
        sbNext->setEnabled(m_currentPage < book->lastPage && !locked);
    }
    checkMenus();
    buildAudioMenu();
    const int type = book->html ? HtmlStart : PageImage;
    const int number = book->number;
    const QString file = BookCatalogue::BookFilePath(number, m_currentPage, type);
    if (!QFileInfo::exists(file)) {
        DownloadBookFile(number, m_currentPage, type, PageDownloadCaption(m_currentPage), file);
        // The download waited: a sign-out meanwhile may have emptied or replaced the library.
        book = CurrentBook();
        if (!book || book->number != number) {
            qCInfo(lcLesson) << "page of book" << number << "not shown: the library changed";
            return;
        }
    }
    if (book->html) {
        pages->showHtml(file);
        m_classroom->pageShown();
        return;
    }
    showImagePage(file);
    m_classroom->pageShown();
    // The page most likely shown next is fetched while this one is read.
    if (m_prefetchOn && m_currentPage < book->lastPage)
        m_prefetch.Start(*book, m_currentPage + 1);
}

void Tfrlearn::buildAudioMenu() {
    audio->buildMenu(*CurrentBook(), m_currentPage, StudentLocked());
    m_audio->UpdateAudioButtons();
}

// Choosing a recording stops the one playing and starts the chosen one.
void Tfrlearn::iaClick(QAction *item) {
    RunGuarded([this, item] {
        audio->choose(item);
        m_audio->StopAction();
        if (spbplay->isEnabled())
            m_audio->PlayAction();
    });
}

void Tfrlearn::showImagePage(const QString &file) {
    m_channel.SendPage(CurrentBook()->number, m_currentPage);
    UpdatePageStatus();
    pages->showImage(file);
}

// The browser's history decides whether the previous and next buttons go back and forward.
void Tfrlearn::updateBrowserButtons() {
    const tbook *book = CurrentBook();
    if (book && book->html) {
        sbprior->setEnabled(pages->canGoBack());
        sbNext->setEnabled(pages->canGoForward());
    }
}

void Tfrlearn::UpdatePageStatus() {
    QString text = AppText(280);
    if (const tbook *book = CurrentBook()) {
        for (const TLesson &lesson : book->lessons) {
            if (m_currentPage >= lesson.firstPage && m_currentPage <= lesson.lastPage) {
                text = book->title + QStringLiteral(", ") + lesson.title + QStringLiteral(" - ") +
                       AppText(281) + u' ' + QString::number(m_currentPage);
                break;
            }
        }
    }
    setStatusPanel(3, FormatText(AppText(282), {text}));
    sbgotopage->setText(FormatText(AppText(283), {m_currentPage}));
}

void Tfrlearn::sbpriorClick() {
    const tbook *book = CurrentBook();
    if (!book)
        return;
    if (book->html) {
        pages->ensureBrowser()->back();
        return;
    }
    --m_currentPage;
    ShowPage();
}

void Tfrlearn::sbNextClick() {
    const tbook *book = CurrentBook();
    if (!book)
        return;
    if (book->html) {
        pages->ensureBrowser()->forward();
        return;
    }
    ++m_currentPage;
    ShowPage();
}

void Tfrlearn::sbgotopageClick() {
    const tbook *book = CurrentBook();
    if (!book)
        return;
    if (book->html) {
        ShowPage();
        return;
    }
    const QString prompt = AppText(279) + QStringLiteral(" (") + QString::number(book->firstPage) +
                           u'-' + QString::number(book->lastPage) + QStringLiteral("):");
    QString value = QString::number(m_currentPage), unused;
    if (!InputEx(AppText(278), prompt, QString(), value, unused))
        return;
    const int page = ParseInteger(value).value_or(0);
    if (page < book->firstPage || page > book->lastPage) {
        // Not silent: the book's pages are named, and the page shown stays.
        AppMessageBox(FormatText(AppText(1077), {value.trimmed(), book->firstPage, book->lastPage}),
                      mtWarning, mbOK);
        return;
    }
    m_currentPage = page;
    ShowPage();
}

void Tfrlearn::MenuItem1Click() {
    const tbook *book = CurrentBook();
    if (!book)
        return;
    ReloadPageFiles(*book, m_currentPage);
    ShowPage();
}

bool Tfrlearn::ScrollBox1MouseWheel(int delta) {
    if (memoread->hasFocus())
        return false;
    pages->scrollBy(delta);
    return true;
}

void Tfrlearn::SetSync(bool on) {
    spbsync->setChecked(on);
    m_classroom->syncChanged(on);
    if (!m_channel.isStudent()) {
        pansync->hide();
        spbsync->show();
        return;
    }
    // The student's own navigation is locked while the teacher leads.
    spbsync->setEnabled(false);
    pansync->setVisible(on);
    spbsync->setVisible(!on);
    if (on)
        m_audio->ReleasePlayer();
    RefreshStudentLock();
}

bool Tfrlearn::StudentLocked() const {
    return m_channel.isStudent() && m_channel.syncOn() && !m_classroom->lookingAround();
}

void Tfrlearn::RefreshStudentLock() {
    const bool locked = StudentLocked();
    if (const tbook *book = CurrentBook(); book && !book->html) {
        sbprior->setEnabled(m_currentPage > book->firstPage && !locked);
        sbNext->setEnabled(m_currentPage < book->lastPage && !locked);
    }
    const bool library = !libraryEmpty();
    sbgotopage->setEnabled(!locked && library);
    spbbook->setEnabled(!locked && library);
    spblesson->setEnabled(!locked && library);
    spbaudio->setEnabled(!pma->isEmpty() && !locked);
    m_audio->UpdateAudioButtons();
}

void Tfrlearn::spbsyncClick() {
    const tbook *book = CurrentBook();
    const bool wanted = !m_channel.syncOn();
    // The button shows the flag, which changes only when the student got the message.
    spbsync->setChecked(m_channel.syncOn());
    if (m_channel.isStudent() || m_channel.partnerId().isEmpty())
        return;
    m_channel.SendSync(wanted, book ? book->number : 0, m_currentPage);
}
