// The server's reading of a request as it comes from the network: the address with its
// parameters, the Content-Type header, an url-encoded form body (bounded in its number of
// fields) and a multipart body with the change set. The input is a whole request: request
// line, header lines, an empty line, the body. Parsed names and values never grow past what
// they came from, a bounded form equals the unbounded one or is refused for its size, and a
// multipart field is a piece of the body.
#include "fuzzcheck.h"
#include "server/http/formdata.h"

#include <QUrl>
#include <QUrlQuery>

#include <cstdint>

namespace {

constexpr int kMaxFields = 64;

void checkFields(const FormFields &fields, const QByteArray &text) {
    for (auto it = fields.cbegin(); it != fields.cend(); ++it) {
        FUZZ_CHECK(it.key().size() + it.value().size() <= text.size());
        FUZZ_CHECK(FullFormDecode(it.value()).size() <= it.value().size());
    }
}

QByteArray headerOf(const QList<QByteArray> &lines, const QByteArray &name) {
    for (const QByteArray &line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype headEnd = bytes.indexOf("\r\n\r\n");
    const QByteArray head = headEnd < 0 ? bytes : bytes.left(headEnd);
    const QByteArray body = headEnd < 0 ? QByteArray() : bytes.mid(headEnd + 4);
    QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.takeFirst().trimmed().split(' ');
    const QUrl url = QUrl::fromEncoded(requestLine.value(1));

    const QByteArray query = url.query(QUrl::FullyEncoded).toLatin1();
    checkFields(ParseFormFields(query), query);
    (void)QUrlQuery(url).queryItemValue(QStringLiteral("action"));

    const std::optional<FormFields> form = ParseBoundedFormFields(body, kMaxFields);
    FUZZ_CHECK(form.has_value() == (body.count('&') < kMaxFields));
    if (form) {
        FUZZ_CHECK(*form == ParseFormFields(body));
        checkFields(*form, body);
    }
    FUZZ_CHECK(JoinTransportItems(body).size() <= body.size());

    const QByteArray contentType = headerOf(lines, "Content-Type");
    if (const auto field = MultipartField(body, contentType, "deltaxml"))
        FUZZ_CHECK(body.contains(*field));
    return 0;
}
