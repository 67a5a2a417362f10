#include "app/signin.h"

#include "base/locations.h"
#include "base/logging.h"
#include "base/session.h"
#include "base/sessionlost.h"
#include "base/usertypes.h"
#include "base/version.h"
#include "data/dm.h"
#include "errors/apperror.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "lang/programlocale.h"
#include "seam/seam.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "lesson/books/bookcatalogue.h"
#include "wire/compression.h"
#include "net/formencode.h"
#include "net/reportresult.h"
#include "net/requestaddress.h"
#include "net/requestoutcome.h"
#include "net/requestrunner.h"
#include "net/serverrequest.h"
#include "net/settings/settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSysInfo>
#include <QTimer>

namespace {

constexpr char kSeparator[] = "<mybaseseparator/>";

QByteArray encoded(const QString &text) {
    return FormEncode(text.toUtf8());
}

ServerRequest spec(const QString &caption, const QString &action, const QByteArray &data,
                   bool useDialog, bool withoutSession) {
    ServerRequest s;
    s.caption = caption;
    s.action = action;
    s.data = data;
    s.useDialog = useDialog;
    s.withoutSession = withoutSession;
    return s;
}

} // namespace

TSignIn::TSignIn(Tdm &module, Hooks hooks) : m_dm(module), m_hooks(std::move(hooks)) {
    // The request that met the ended session may be deep inside a table operation: the
    // session ends from the event loop, once that operation has unwound.
    SetSessionLostHandler([this] {
        QTimer::singleShot(0, &m_queue, [this] { RunGuarded([this] { SessionEnded(); }); });
    });
}

TSignIn::~TSignIn() {
    SetSessionLostHandler(nullptr);
}

void TSignIn::ConnectClicked() {
    if (IsSignedIn())
        SignOut();
    else
        SignIn();
}

QString TSignIn::OsDescription() {
    const QStringList kernel =
        QSysInfo::kernelVersion().split(QRegularExpression(QStringLiteral("[.-]")));
    const QString name = QSysInfo::kernelType() + u' ' + kernel.value(0) + u'.' + kernel.value(1);
    const QString build = QString::number(ParseInteger(kernel.value(2)).value_or(0));
    return name + QStringLiteral(" b") + build + u' ' + QSysInfo::prettyProductName();
}

QByteArray TSignIn::LoginData() {
    const AppSettings &s = Settings();
    return "user=" + encoded(s.loginName) + "&pass=" + encoded(s.loginPass) +
           "&logintype=1&loginver=" + encoded(ProgramVersion()) +
           "&job=2&envlang=" + QByteArray::number(LanguageIndex()) +
           "&ssl=" + (s.useSsl ? "1" : "0") + "&polling=0&booksver=" + encoded(s.booksVersion) +
           "&skypever=" + encoded(SkypeVersion()) + "&osver=" + encoded(OsDescription()) +
           "&proxy=" + (s.proxyUse ? "1" : "0");
}

void TSignIn::SignIn() {
    if (Settings().loginName.isEmpty()) {
        AppMessageBox(AppText(165), mtInformation, mbOK);
        return;
    }
    SessionValues().clear();
    m_catalogueStored = false;
    if (m_hooks.placeProgressDialog)
        m_hooks.placeProgressDialog();
    const RequestOutcome outcome =
        m_hooks.runRequest(spec(QString(), QStringLiteral("login"), LoginData(), true, true));
    if (outcome.result != 0) {
        ReportResult(outcome);
    } else if (!handleReply(outcome.reply)) {
        // An update or a new catalogue: the user stays signed out. After a new catalogue an
        // automatic sign-in connects again at once (once, whatever the second reply brings).
        if (m_catalogueStored && Settings().autoConnect && !m_reconnecting) {
            m_reconnecting = true;
            SignIn();
            m_reconnecting = false;
        }
        return;
    }
    setRemoteAddress();
    if (IsSignedIn() && m_hooks.askServerFeatures)
        m_hooks.askServerFeatures();
    if (m_hooks.refreshState)
        m_hooks.refreshState();
    if (IsSignedIn() && Settings().runWizardOnStartup && UserType() == UserTypes::Client &&
        SessionValues().value(u"progtestresult").isEmpty() && m_hooks.runEntranceTest) {
        QCoreApplication::processEvents();
        m_hooks.runEntranceTest();
    }
}

bool TSignIn::handleReply(const QByteArray &reply) {
    const bool zipped = reply.startsWith("okzip");
    QByteArray rest = zipped                   ? DecompressText(QByteArrayView(reply).sliced(5))
                      : reply.startsWith("ok") ? reply.mid(2)
                                               : reply;
    if (zipped && rest.isEmpty()) {
        // A damaged stream carries no session: the user stays signed out and is told why.
        qCWarning(lcApp) << "Sign-in reply: the compressed stream cannot be inflated";
        AppMessageBox(AppText(1012), mtError, mbOK);
        return true;
    }
    const qsizetype at = rest.indexOf(kSeparator);
    const QByteArray first = at < 0 ? rest : rest.left(at);
    rest = at < 0 ? QByteArray() : rest.mid(at + qsizetype(sizeof(kSeparator)) - 1);
    SessionValues().setText(ReplyText(first));
    if (!SessionValues().value(u"updatever").isEmpty()) {
        programUpdate();
        return false;
    }
    if (!SessionValues().value(u"BooksVersion").isEmpty()) {
        catalogueRefresh();
        return false;
    }
    try {
        finishSignIn(rest);
    } catch (...) {
        // A reply whose tables cannot be loaded leaves nobody half signed in; the user reads
        // that the reply was unreadable, the log says what was wrong with it.
        qCWarning(lcApp).noquote() << "Sign-in reply not readable:" << CurrentExceptionText();
        SessionValues().clear();
        setRemoteAddress();
        if (m_hooks.refreshState)
            m_hooks.refreshState();
        throw AppError(AppText(1012));
    }
    return true;
}

void TSignIn::finishSignIn(QByteArray rest) {
    m_dm.LoadSignInTables(rest);
    BookCatalogue::LoadBookLibrary(SessionValues().value(u"bookids"), UserType());
    if (m_hooks.reloadBookMenus)
        m_hooks.reloadBookMenus();
    checkClock();
}

void TSignIn::checkClock() {
    const QDateTime server = ParseServerDateTime(SessionValues().value(u"servertime"));
    const qint64 seconds = CurrentSeam().now().secsTo(server);
    if (qAbs(seconds) <= 3600)
        return;
    AppMessageBox(
        AppText(170) + QStringLiteral("\r\n") +
            FormatText(AppText(171), {ProgramLocale().toString(server, QLocale::ShortFormat)}),
        mtWarning, mbOK);
}

void TSignIn::setRemoteAddress() {
    m_dm.phpdbcon.URL = PrepareClient() + CurrentConnectionTarget().path + u'?' + SessionIdParam();
}

void TSignIn::programUpdate() {
    const QString version = SessionValues().value(u"updatever");
    const QString link = SessionValues().value(u"updatelink");
    const QString params = SessionValues().value(u"updateexecparams");
    SessionValues().clear();
    if (AppMessageBox(FormatText(AppText(166), {QStringLiteral("Tellavo"), version}),
                      mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    const RequestOutcome outcome =
        m_hooks.runRequest(spec(AppText(167), RawDownloadAction(), link.toUtf8(), true, false));
    if (outcome.result != 0 && outcome.result != -3) {
        ReportResult(outcome);
        return;
    }
    // A refusal ("error" and the server's words) or an empty body is no program to start.
    if (outcome.errorPrefix || outcome.reply.isEmpty()) {
        ReportResult(rrNotOk, ReplyText(outcome.reply));
        return;
    }
    QFile::remove(UpdateFilePath());
    QSaveFile file(UpdateFilePath());
    if (!file.open(QIODevice::WriteOnly) || file.write(outcome.reply) != outcome.reply.size() ||
        !file.commit())
        throw AppError(AppText(168));
    QFile::setPermissions(UpdateFilePath(),
                          QFile::permissions(UpdateFilePath()) | QFile::ExeOwner | QFile::ExeUser);
    const QString parameters =
        params + QStringLiteral(" \"/dir=") + AppLocations().programFolder + u'"';
    if (!CurrentSeam().startProcess(UpdateFilePath(), QProcess::splitCommand(parameters)))
        AppMessageBox(FormatText(AppText(1011), {UpdateFilePath()}), mtError, mbOK);
}

void TSignIn::catalogueRefresh() {
    // The version is taken only once the catalogue is stored: a failed write asks for it again.
    const QString version = SessionValues().value(u"BooksVersion");
    BookCatalogue::StoreCatalogue(SessionValues());
    Settings().booksVersion = version;
    SessionValues().clear();
    m_catalogueStored = true;
    AppMessageBox(AppText(169), mtInformation, mbOK);
}

void TSignIn::endSession() {
    if (m_hooks.signOutScreens)
        m_hooks.signOutScreens();
    m_dm.CloseAllTables();
    m_dm.phpdbcon.URL.clear();
}

void TSignIn::SignOut() {
    if (m_hooks.hideScreens)
        m_hooks.hideScreens();
    endSession();
    const RequestOutcome outcome =
        m_hooks.runRequest(spec(QString(), QStringLiteral("logout"), QByteArray(), false, false));
    if (outcome.result != 0)
        ReportResult(outcome);
    SessionValues().clear();
    BookCatalogue::ClearLibrary();
    if (m_hooks.refreshState)
        m_hooks.refreshState();
}

void TSignIn::SessionEnded() {
    if (!IsSignedIn())
        return;
    if (m_hooks.hideScreens)
        m_hooks.hideScreens();
    try {
        endSession();
    } catch (...) {
        qCWarning(lcApp).noquote() << "Ending the lost session:" << CurrentExceptionText();
    }
    SessionValues().clear();
    BookCatalogue::ClearLibrary();
    if (m_hooks.refreshState)
        m_hooks.refreshState();
    AppMessageBox(AppText(1005), mtWarning, mbOK);
}

void TSignIn::SilentSignOut() {
    if (!IsSignedIn())
        return;
    try {
        endSession();
        m_hooks.runRequest(spec(QString(), QStringLiteral("logout"), QByteArray(), false, false));
    } catch (...) {
        // Closing the program goes on whatever the sign-out met.
        qCWarning(lcApp).noquote() << "Sign-out at close failed:" << CurrentExceptionText();
    }
    SessionValues().clear();
}
