#include "fixtures.h"

#include "wire/compression.h"

#include <QRegularExpression>
#include <QUrlQuery>

TValue I(qint64 v) {
    return TValue::FromInteger(v);
}
TValue S(const QString &v) {
    return TValue::FromText(v);
}
TValue D(const QDateTime &v) {
    return TValue::FromDateTime(v);
}

QByteArray MakePacket(const QList<TFieldDef> &fields, const QList<QList<TValue>> &rows) {
    TClientTable table;
    table.CreateDataSet(fields);
    for (const QList<TValue> &row : rows)
        table.AppendRecord(row);
    table.MergeChangeLog();
    return table.DataPacket();
}

void EnsureApplication() {
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "test";
        static char *argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
    }
}

namespace {

// The "deltaxml" field of a multipart body, inflated.
QByteArray deltaOf(const LoopbackRequest &request) {
    const QByteArray body = request.body;
    const int start = body.indexOf("\r\n\r\n");
    const QByteArray boundary = body.left(body.indexOf("\r\n"));
    const int end = body.indexOf("\r\n" + boundary, start);
    return DecompressText(body.mid(start + 4, end - start - 4));
}

} // namespace

FakeCentralServer::FakeCentralServer() {
    EnsureApplication();
    server.handler = [this](const LoopbackRequest &request) {
        const QUrlQuery query(QUrl::fromEncoded(request.target).query());
        const QString action = query.queryItemValue(QStringLiteral("action"));
        const QString provider = query.queryItemValue(QStringLiteral("providername"));
        LoopbackReply reply;
        if (action == u"mybasegetrecords") {
            reply.body = packets.contains(provider) ? "okzip" + CompressText(packets[provider], 6)
                                                    : QByteArray("error unknown provider");
        } else if (action == u"mybaseapplyupdates") {
            const QByteArray delta = deltaOf(request);
            deltas.append(delta);
            if (applyAnswer) {
                reply.body = applyAnswer(delta);
            } else {
                // Every changed row counts once: inserted, deleted or modified rows.
                const int changes =
                    int(delta.count("RowState=\"4\"") + delta.count("RowState=\"2\"") +
                        delta.count("RowState=\"8\""));
                reply.body = "okzip" + CompressText(QByteArray::number(changes) + "|", 6);
            }
        }
        return reply;
    };
    server.start();
}

QString FakeCentralServer::url() const {
    return QStringLiteral("http://%1/tellavo/client.php?PHPSESSID=abc").arg(server.hostAndPort());
}
