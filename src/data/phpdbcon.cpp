#include "data/phpdbcon.h"

#include "base/logging.h"
#include "base/sessionlost.h"
#include "data/clienttable.h"
#include "data/nullmarkers.h"
#include "wire/packetframing.h"
#include "errors/apperror.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "wire/compression.h"
#include "net/httpexchange.h"
#include "net/requestoutcome.h"
#include "net/requestrunner.h"

#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QUrl>
#include <QUuid>

namespace {

constexpr int kDatabaseWaitCursor = Qt::BusyCursor;

// The payload after the status word: "okzip" inflated, "ok" dropped.
QByteArray stripStatusWord(const QByteArray &body) {
    if (body.startsWith("okzip"))
        return DecompressText(QByteArrayView(body).sliced(5));
    return body.mid(2);
}

// A multipart form body with the single field "deltaxml".
QByteArray multipartBody(const QByteArray &boundary, const QByteArray &delta) {
    return "--" + boundary + "\r\n" +
           "Content-Disposition: form-data; name=\"deltaxml\"; filename=\"deltaxml\"\r\n" +
           "Content-Type: application/octet-stream\r\n\r\n" + delta + "\r\n--" + boundary +
           "--\r\n";
}

// Runs one exchange with the client's fixed request settings.
ExchangeResult exchange(QNetworkAccessManager &client, const QString &url, const QByteArray &verb,
                        const QByteArray &body, const QByteArray &contentType) {
    QNetworkRequest request = AppRequestRunner().clientRequest(QUrl(url));
    if (!contentType.isEmpty())
        request.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    HttpExchange http(client);
    // The interface waits under the busy cursor: user input stays queued until the reply.
    const ExchangeResult result = http.run(request, verb, body, QEventLoop::ExcludeUserInputEvents);
    // One connection per request, as for every other request of the client.
    AppRequestRunner().closeConnections();
    return result;
}

bool transportFailed(const ExchangeResult &r) {
    return r.failed && r.status == 0;
}

// A cancel by the user ends the table operation quietly: it is no error.
void checkCancelled(const ExchangeResult &r) {
    if (r.cancelled) {
        qCInfo(lcData) << "Table request cancelled by the user";
        throw SilentAbort();
    }
}

// The transport failure in the user's language with the technical detail below it (and in
// the log).
QString failureText(const ExchangeResult &r) {
    qCWarning(lcData).noquote() << "Table request failed:" << r.errorText;
    return NetworkFailureMessage(r.failure, r.errorText);
}

// The server no longer knows the session (status 203): the program ends the local session
// and says so once; the table operation ends quietly.
void checkSessionLost(const ExchangeResult &r) {
    if (r.status == 203) {
        NotifySessionLost();
        throw SilentAbort();
    }
}

} // namespace

TMybasePHPConnection::TMybasePHPConnection() = default;

TMybasePHPConnection::~TMybasePHPConnection() {
    for (TClientTable *table : m_tables)
        table->SetRemoteServer(nullptr);
}

void TMybasePHPConnection::SetHttpClient(QNetworkAccessManager *client) {
    m_client = client == m_internal.get() ? nullptr : client;
}

QNetworkAccessManager *TMybasePHPConnection::HttpClient() const {
    if (m_client)
        return m_client;
    auto *self = const_cast<TMybasePHPConnection *>(this);
    if (!self->m_internal)
        self->m_internal = std::make_unique<QNetworkAccessManager>();
    return m_internal.get();
}

QString TMybasePHPConnection::OperationUrl(const QString &parameters) const {
    return URL + (URL.contains(u'?') ? u'&' : u'?') + parameters;
}

QByteArray TMybasePHPConnection::AS_GetRecords(const QString &providerName, int rowCount,
                                               int options) {
    if (rowCount == 0 && options == 2)
        return {};
    BusyCursorScope busy(kDatabaseWaitCursor);
    if (OnBeforeConnect)
        OnBeforeConnect();
    const QString url =
        OperationUrl(QStringLiteral("action=mybasegetrecords&providername=") + providerName);
    const ExchangeResult r = exchange(*HttpClient(), url, "GET", {}, {});
    checkCancelled(r);
    if (transportFailed(r))
        throw AppError(failureText(r));
    checkSessionLost(r);
    const QString prefix = QStringLiteral("Cannot get records for provider ") + providerName;
    if (r.status != 200)
        throw AppError(prefix + QStringLiteral(", bad server responsecode: ") +
                       QString::number(r.status));
    if (!r.body.startsWith("ok"))
        throw AppError(prefix + QStringLiteral(", bad server answer: ") + ReplyText(r.body));
    // The packet is read once, by the caller's table, into new content that replaces the old
    // only when the whole packet was read: a malformed reply leaves the table as it was.
    return stripStatusWord(r.body);
}

void TMybasePHPConnection::AS_ApplyUpdates(const QString &providerName) {
    TClientTable *table = nullptr;
    for (TClientTable *t : m_tables)
        if (t->ProviderName() == providerName)
            table = t;
    if (!table)
        throw AppError(QStringLiteral("Applyupdates error - cannot find dataset for provider ") +
                       providerName);
    if (table->ChangeCount() < 1)
        return;
    BusyCursorScope busy(kDatabaseWaitCursor);

    table->DisableControls();
    const TBookmark current = table->GetBookmark();
    QByteArray delta;
    try {
        delta = ChangeSetWithNullMarkers(*table);
    } catch (...) {
        table->EnableControls();
        throw;
    }
    table->GotoBookmark(current);
    table->EnableControls();
    const QByteArray compressed = CompressText(delta, 6);

    if (OnBeforeConnect)
        OnBeforeConnect();
    const QString url = OperationUrl(QStringLiteral("action=mybaseapplyupdates&providername=") +
                                     providerName + QStringLiteral("&returnrecords=0"));
    const QByteArray boundary = "----tellavo" + QUuid::createUuid().toByteArray(QUuid::Id128);
    const ExchangeResult r =
        exchange(*HttpClient(), url, "POST", multipartBody(boundary, compressed),
                 "multipart/form-data; boundary=" + boundary);

    const QString prefix = QStringLiteral("Cannot apply updates for provider ") + providerName;
    const int changes = table->ChangeCount();
    auto fail = [table](const QString &message) {
        table->CancelUpdates();
        throw AppError(message);
    };
    if (r.cancelled) {
        table->CancelUpdates();
        checkCancelled(r);
    }
    if (transportFailed(r))
        fail(failureText(r));
    if (r.status == 203) {
        table->CancelUpdates();
        checkSessionLost(r);
    }
    if (r.status != 200)
        fail(prefix + QStringLiteral(", bad server responsecode: ") + QString::number(r.status));
    if (!r.body.startsWith("ok"))
        fail(prefix + QStringLiteral(", bad server answer: ") + ReplyText(r.body));
    const int applied = ParseApplyReply(stripStatusWord(r.body)).appliedCount;
    if (applied != changes)
        fail(FormatText(AppText(1060), {changes, applied}));
    table->MergeChangeLog();
}

void TMybasePHPConnection::AS_DataRequest() {
    AppMessageBox(QStringLiteral("TMybasePHPAppServerAdapter - AS_DataRequest called"), -1, mbOK);
}

void TMybasePHPConnection::AS_GetProviderNames() {
    AppMessageBox(QStringLiteral("TMybasePHPAppServerAdapter - AS_GetProviderNames called"), -1,
                  mbOK);
}

void TMybasePHPConnection::AS_GetParams() {
    AppMessageBox(QStringLiteral("TMybasePHPAppServerAdapter - AS_GetParams called"), -1, mbOK);
}

void TMybasePHPConnection::AS_RowRequest() {
    AppMessageBox(QStringLiteral("TMybasePHPAppServerAdapter - AS_RowRequest called"), -1, mbOK);
}

void TMybasePHPConnection::AS_Execute() {
    AppMessageBox(QStringLiteral("TMybasePHPAppServerAdapter - AS_Execute called"), -1, mbOK);
}

QByteArray TMybasePHPConnection::FetchPacket(TClientTable &table) {
    return AS_GetRecords(table.ProviderName(), -1, 0);
}

void TMybasePHPConnection::ApplyUpdates(TClientTable &table) {
    AS_ApplyUpdates(table.ProviderName());
}

void TMybasePHPConnection::TableBound(TClientTable &table) {
    if (!m_tables.contains(&table))
        m_tables.append(&table);
}

void TMybasePHPConnection::TableUnbound(TClientTable &table) {
    m_tables.removeAll(&table);
}
