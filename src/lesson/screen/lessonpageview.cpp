#include "lessonpageview.h"

#include "lesson/screen/bookpageguard.h"
#include "seam/messagebox.h"

#include <QFileInfo>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QUrl>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

TLessonPageView::TLessonPageView(QWidget *parent)
    : QStackedWidget(parent), ScrollBox1(new QScrollArea(this)), Image1(new QLabel) {
    setObjectName(QStringLiteral("pages"));
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    Image1->setObjectName(QStringLiteral("Image1"));
    ScrollBox1->setBackgroundRole(QPalette::Base);
    ScrollBox1->setStyleSheet(QStringLiteral("QScrollArea#ScrollBox1 { background: white; }"));
    ScrollBox1->viewport()->setStyleSheet(QStringLiteral("background: white;"));
    ScrollBox1->setWidget(Image1);
    // The picture keeps its natural size and stands centred while the box is wider.
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    addWidget(ScrollBox1);
}

void TLessonPageView::clearPicture() {
    Image1->clear();
    Image1->resize(0, 0);
    ScrollBox1->horizontalScrollBar()->setValue(0);
    ScrollBox1->verticalScrollBar()->setValue(0);
}

void TLessonPageView::showImage(const QString &file) {
    setCurrentWidget(ScrollBox1);
    BusyCursorScope cursor(Qt::WaitCursor);
    QPixmap picture;
    if (picture.load(file)) {
        Image1->setPixmap(picture);
        Image1->resize(picture.size() / picture.devicePixelRatio());
    }
}

void TLessonPageView::showHtml(const QString &file) {
    QWebEngineView *view = ensureBrowser();
    m_guard->setBookFolder(QFileInfo(file).absolutePath());
    setCurrentWidget(view);
    view->setUrl(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
}

QWebEngineView *TLessonPageView::ensureBrowser() {
    if (m_wb)
        return m_wb;
    m_wb = new QWebEngineView(this);
    m_wb->setObjectName(QStringLiteral("wb"));
    // A profile of its own, kept in memory only: book pages read their own folder and nothing
    // else (the guard judges every file they ask for), reach no network, and open no windows. Made
    // after the view, so it is freed after the view's page.
    auto *profile = new QWebEngineProfile(this);
    m_guard = new TBookPageGuard(profile);
    profile->setUrlRequestInterceptor(m_guard);
    QWebEngineSettings *settings = profile->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    m_wb->setPage(new QWebEnginePage(profile, m_wb));
    // A book page never gets microphone, camera, screen, location or notifications.
    QWebEnginePage *page = m_wb->page();
    connect(page, &QWebEnginePage::featurePermissionRequested, page,
            [page](const QUrl &origin, QWebEnginePage::Feature feature) {
                page->setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
            });
    addWidget(m_wb);
    connect(m_wb, &QWebEngineView::urlChanged, this, &TLessonPageView::updateHistory);
    connect(m_wb, &QWebEngineView::loadFinished, this, &TLessonPageView::updateHistory);
    connect(m_wb, &QWebEngineView::titleChanged, this, &TLessonPageView::titleChanged);
    return m_wb;
}

void TLessonPageView::updateHistory() {
    m_back = m_wb->history()->canGoBack();
    m_forward = m_wb->history()->canGoForward();
    emit historyChanged();
}

void TLessonPageView::scrollBy(int delta) {
    QScrollBar *bar = ScrollBox1->verticalScrollBar();
    bar->setValue(qBound(bar->minimum(), bar->value() - delta, bar->maximum()));
}
