#include "app/tapp.h"

#include "app/booking/featurequery.h"
#include "app/booking/lessonbanner.h"
#include "app/instanceguard.h"
#include "app/screenregistry.h"
#include "app/signin.h"
#include "base/locations.h"
#include "base/session.h"
#include "data/dm.h"
#include "lang/texts.h"
#include "lesson/books/bookcatalogue.h"
#include "lesson/relay/relaylink.h"
#include "lesson/screen/lessonscreenhooks.h"
#include "lesson/screen/tfrlearn.h"
#include "net/requestoutcome.h"
#include "net/requestrunner.h"
#include "net/runrequest.h"
#include "net/serverrequest.h"
#include "net/settings/connectiondialog.h"
#include "net/settings/settings.h"
#include "output/outputdefinition.h"
#include "output/report/textreportpdf.h"
#include "screens/entrancetest/entrancetest.h"
#include "screens/profile/tfprofile.h"
#include "screens/users/tfeduser.h"
#include "screens/users/userdialogentry.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "seam/seam.h"

#include <QApplication>
#include <QFile>
#include <QVBoxLayout>
#include <QLabel>
#include <QTimer>

TApp::TApp(const StartSwitches &switches) : m_switches(switches) {}

TApp::~TApp() {
    LessonHooks() = {};
}

int TApp::run() {
    m_guard = std::make_unique<InstanceGuard>(QCoreApplication::applicationFilePath());
    const bool running = !m_guard->acquire();
    if (m_switches.close) {
        if (running)
            m_guard->send(InstanceGuard::CloseYourself);
        return 0;
    }
    if (running) {
        m_guard->send(InstanceGuard::ComeToFront);
        return 0;
    }
    // The guard listens before any window exists: a close request ends the install mode's
    // dialog as well (exit leaves every running event loop).
    connect(m_guard.get(), &InstanceGuard::received, this, &TApp::guardCode);
    if (m_switches.install)
        return RunInstallMode();

    createWindows();
    m_main->showPlaced();
    QTimer::singleShot(0, this, [this] { RunGuarded([this] { startMessage(); }); });
    return QApplication::exec();
}

void TApp::createServices() {
    m_relay = std::make_unique<RelayLink>();
    m_services.dm = &dm();
    m_services.settings = &Settings();
    m_services.session = &SessionValues();
    m_services.requests = &AppRequestRunner();
    m_services.books = &BookCatalogue::Library();
    m_services.relay = m_relay.get();
    m_services.textReportPdf = TextReportPdf;
}

void TApp::createWindows() {
    createServices();
    // The lesson screen reaches the main window's status bar once the window exists.
    LessonHooks().setStatusPanel = [this](int panel, const QString &text) {
        if (!m_main)
            return;
        QLabel *label = m_main->statusPanel(panel);
        label->setText(text);
        label->repaint();
    };
    LessonHooks().showUserDialog = [this](int idUser) { ShowUserDialogFor(m_services, idUser); };
    m_main = std::make_unique<Tfmain>(ScreenRegistry(), m_services, mainWindowActions());
    addLessonBanner();
    m_connection = std::make_unique<Tfconnection>(false, m_main.get());
    InstallSlowRequestDialog();
    InstallGridOutput();
    m_signIn = std::make_unique<TSignIn>(*m_services.dm, signInHooks());
    RunGuarded([] { LoadSettings(); });
    m_main->RefreshState();
    m_services.dm->phpdbcon.SetHttpClient(m_services.requests->httpClient());
    Tfeduser::BookSource = [] {
        QList<TUserDialogBook> books;
        for (const tbook &book : BookCatalogue::Library())
            books.append({book.number, book.title});
        return books;
    };
}

void TApp::startMessage() {
    if (m_switches.updated) {
        QFile::remove(UpdateFilePath());
        m_main->raise();
        m_main->activateWindow();
        AppMessageBox(AppText(162), mtInformation, mbOK);
    }
    if (m_services.settings->autoConnect)
        connectClicked();
}

Tfmain::Actions TApp::mainWindowActions() {
    Tfmain::Actions a;
    a.connect = [this] { connectClicked(); };
    a.options = [this] { optionsClicked(); };
    a.profile = [this] { profileClicked(); };
    a.silentSignOut = [this] { m_signIn->SilentSignOut(); };
    a.userCaption = [this] { return userCaption(); };
    a.storedPlacement = [this] { return m_services.settings->mainWindow; };
    a.savePlacement = [this](const QString &placement) {
        m_services.settings->mainWindow = placement;
        SaveSettings(sgMainWindow);
    };
    a.openAddress = [this](const QString &address) { openAddress(address); };
    return a;
}

void TApp::guardCode(int code) {
    if (code == InstanceGuard::CloseYourself && !m_main) {
        // No main window yet (install mode, or still starting): end at once.
        QCoreApplication::exit(0);
        return;
    }
    if (m_main)
        m_main->handleGuardCode(code);
}

void TApp::connectClicked() {
    m_signIn->ConnectClicked();
}

TSignIn::Hooks TApp::signInHooks() {
    TSignIn::Hooks h;
    h.runRequest = [](const ServerRequest &request) { return RunRequest(request); };
    h.placeProgressDialog = [this] {
        const QSize dialog = RequestDialogSize();
        const QRect main = m_main->frameGeometry();
        SetRequestDialogPosition(QPoint(main.left() + (main.width() - dialog.width()) / 2,
                                        main.top() + (main.height() - dialog.height()) / 2));
    };
    h.refreshState = [this] {
        m_main->RefreshState();
        m_banner->SessionChanged();
    };
    h.askServerFeatures = [] {
        AskBookingFeatures([](const ServerRequest &request) { return RunRequest(request); });
    };
    h.runEntranceTest = [this] { Tfentrancetest::Run(m_services, m_main.get()); };
    h.hideScreens = [this] { m_main->ShowScreen(nullptr); };
    h.reloadBookMenus = [this] {
        if (auto *lesson = m_main->screenOf<Tfrlearn>())
            lesson->BuildBookMenu();
    };
    h.signOutScreens = [this] {
        for (TScreen *screen : m_main->screens())
            screen->SignOutScreen();
        ClearUserDialogBooks();
    };
    return h;
}

// The strip before one's next lesson stands below the top bar, above every screen.
void TApp::addLessonBanner() {
    m_banner = new TLessonBanner(m_main->centralWidget());
    static_cast<QVBoxLayout *>(m_main->centralWidget()->layout())->insertWidget(1, m_banner);
    m_banner->openLesson = [this] { m_main->ShowScreen(m_main->screen(u"learn")); };
}

void TApp::profileClicked() {
    ShowProfileDialog(m_services, m_main.get());
}

QString TApp::userCaption() const {
    TClientTable &info = m_services.dm->cd_user_info;
    if (!info.Active() || info.IsEmpty())
        return {};
    const auto type = info.FindField(QStringLiteral("USERTYPENAME_L"));
    const auto name = info.FindField(QStringLiteral("FULLNAME"));
    return (type ? type->AsString().toLower() : QString()) + u' ' +
           (name ? name->AsString() : QString());
}

void TApp::optionsClicked() {
    if (IsSignedIn())
        return;
    m_connection->exec();
}

void TApp::openAddress(const QString &address) {
    CurrentSeam().openDocument(address);
}
