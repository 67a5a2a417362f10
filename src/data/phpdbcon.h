#pragma once

#include "data/tableprovider.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

class QNetworkAccessManager;
class TClientTable;

// The remote-server component behind every server-bound client table: fetches a table's
// packet ("mybasegetrecords") and applies its change log ("mybaseapplyupdates") by provider
// name through the shared HTTP client, checking the replies itself.
class TMybasePHPConnection : public TableProvider {
public:
    TMybasePHPConnection();
    ~TMybasePHPConnection() override;

    // Full address of the server script with its query ("...client.php?PHPSESSID=...").
    QString URL;
    // Called before every request the component sends.
    std::function<void()> OnBeforeConnect;

    // The client used for requests; nullptr (or the internal client) selects the internal one.
    void SetHttpClient(QNetworkAccessManager *client);
    QNetworkAccessManager *HttpClient() const;

    // The table's full packet, or empty for the reset request (row count 0, options 2).
    QByteArray AS_GetRecords(const QString &providerName, int rowCount, int options);
    // Sends the change log of the bound table with this provider name; failures discard the
    // table's local changes and are raised.
    void AS_ApplyUpdates(const QString &providerName);
    // The interface's other operations only show a diagnostic message.
    void AS_DataRequest();
    void AS_GetProviderNames();
    void AS_GetParams();
    void AS_RowRequest();
    void AS_Execute();

    QByteArray FetchPacket(TClientTable &table) override;
    void ApplyUpdates(TClientTable &table) override;
    void TableBound(TClientTable &table) override;
    void TableUnbound(TClientTable &table) override;
    const QList<TClientTable *> &BoundTables() const { return m_tables; }

    // The address of an operation: URL with the parameters after "?" or "&".
    QString OperationUrl(const QString &parameters) const;

private:
    QNetworkAccessManager *m_client = nullptr;
    std::unique_ptr<QNetworkAccessManager> m_internal; // "httpinternal"
    QList<TClientTable *> m_tables;
};
