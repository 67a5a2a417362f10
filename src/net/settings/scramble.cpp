#include "net/settings/scramble.h"

#include "errors/apperror.h"
#include "lang/texts.h"
#include "lang/textutil.h"

#include <QRandomGenerator>

namespace {

constexpr qsizetype kMaxLength = 255;

quint8 byteSum(const QByteArray &bytes) {
    quint8 sum = 0;
    for (char c : bytes)
        sum += quint8(c);
    return sum;
}

void appendValue(QByteArray &out, quint8 v) {
    out += char('A' + v / 16);
    out += char('C' + v % 16);
}

// Reads pairs of letters from the front of a scrambled form.
class PairReader {
public:
    explicit PairReader(QByteArrayView input) : m_input(input) {}
    std::optional<quint8> next() {
        if (m_input.size() - m_at < 2)
            return std::nullopt;
        const char high = m_input[m_at];
        const char low = m_input[m_at + 1];
        if (high < 'A' || high > 'P' || low < 'C' || low > 'R')
            return std::nullopt;
        m_at += 2;
        return quint8((high - 'A') * 16 + (low - 'C'));
    }
    bool atEnd() const { return m_at == m_input.size(); }

private:
    QByteArrayView m_input;
    qsizetype m_at = 0;
};

// Reads a length value and that many chained bytes.
std::optional<QByteArray> readChain(PairReader &reader, quint8 random) {
    const std::optional<quint8> lengthValue = reader.next();
    if (!lengthValue)
        return std::nullopt;
    const quint8 length = quint8(*lengthValue - random);
    QByteArray bytes;
    quint8 previous = *lengthValue;
    for (int i = 0; i < length; ++i) {
        const std::optional<quint8> value = reader.next();
        if (!value)
            return std::nullopt;
        bytes += char(quint8(*value - previous));
        previous = *value;
    }
    return bytes;
}

void appendChain(QByteArray &out, const QByteArray &bytes, quint8 random) {
    quint8 v = quint8(bytes.size() + random);
    appendValue(out, v);
    for (char c : bytes) {
        v = quint8(v + quint8(c));
        appendValue(out, v);
    }
}

bool fitsCodePage(const QString &text) {
    return text.size() <= kMaxLength && FromWin1250(ToWin1250(text)) == text;
}

QString scrambleRefusal() {
    return AppText(1055);
}

} // namespace

QByteArray ScrambleBytes(const QByteArray &text, const QByteArray &key, quint8 random) {
    QByteArray out;
    out.reserve(2 * (3 + key.size() + text.size()));
    appendValue(out, quint8(byteSum(key) + random));
    appendChain(out, key, random);
    appendChain(out, text, random);
    return out;
}

std::optional<QByteArray> UnscrambleBytes(QByteArrayView scrambled, const QByteArray &key) {
    PairReader reader(scrambled);
    const std::optional<quint8> first = reader.next();
    if (!first)
        return std::nullopt;
    const quint8 random = quint8(*first - byteSum(key));
    const std::optional<QByteArray> embeddedKey = readChain(reader, random);
    if (!embeddedKey || *embeddedKey != key)
        return std::nullopt;
    std::optional<QByteArray> text = readChain(reader, random);
    if (!text || !reader.atEnd())
        return std::nullopt;
    return text;
}

bool CanScramble(const QString &text, const QString &key) {
    // Windows-1250 is a single-byte code page: characters and bytes count the same.
    return fitsCodePage(text) && fitsCodePage(key);
}

void CheckScramble(const QString &text, const QString &key) {
    if (!CanScramble(text, key))
        throw AppError(scrambleRefusal());
}

QString ScrambleText(const QString &text, const QString &key) {
    CheckScramble(text, key);
    const auto random = quint8(QRandomGenerator::global()->bounded(256));
    return QString::fromLatin1(ScrambleBytes(ToWin1250(text), ToWin1250(key), random));
}

bool UnscrambleText(const QString &scrambled, const QString &key, QString &text) {
    text.clear();
    // Anything outside Latin-1 becomes "?", which is no valid letter either.
    const std::optional<QByteArray> bytes = UnscrambleBytes(scrambled.toLatin1(), ToWin1250(key));
    if (!bytes)
        return false;
    text = FromWin1250(*bytes);
    return true;
}
