#include "lang/textutil.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QVariant>

namespace {

template <typename Text, typename Separator> Text splitSection(Text &source, Separator separator) {
    const qsizetype at = source.indexOf(separator);
    Text section;
    if (at < 0) {
        section.swap(source);
    } else {
        section = source.left(at);
        source.remove(0, at + separator.size());
    }
    return section;
}

} // namespace

QString SplitSection(QString &source, QStringView separator) {
    return splitSection(source, separator);
}

QByteArray SplitSection(QByteArray &source, QByteArrayView separator) {
    return splitSection(source, separator);
}

void TextToLines(const QString &text, QStringList &lines) {
    lines.clear();
    QString rest = text;
    while (!rest.isEmpty())
        lines.append(SplitSection(rest, u";"));
}

QString FormatText(const QString &pattern, const QList<QVariant> &arguments) {
    QString result;
    result.reserve(pattern.size() + 16);
    qsizetype next = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c != u'%' || i + 1 >= pattern.size()) {
            result += c;
            continue;
        }
        const QChar kind = pattern[i + 1];
        if (kind == u'%') {
            result += u'%';
        } else if (kind == u's' || kind == u'd') {
            const QVariant value = next < arguments.size() ? arguments[next++] : QVariant();
            result += kind == u'd' ? QString::number(value.toLongLong()) : value.toString();
        } else {
            result += c;
            continue;
        }
        ++i;
    }
    return result;
}

std::optional<int> ParseInteger(QStringView text) {
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ')
        ++start;
    const QStringView digits = text.mid(start);
    const qsizetype first = !digits.isEmpty() && (digits[0] == u'-' || digits[0] == u'+') ? 1 : 0;
    if (digits.size() <= first)
        return std::nullopt;
    for (qsizetype i = first; i < digits.size(); ++i)
        if (digits[i] < u'0' || digits[i] > u'9')
            return std::nullopt;
    bool ok = false;
    const int value = digits.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

QByteArray ToWin1250(const QString &text) {
    QStringEncoder encoder("windows-1250", QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

QString FromWin1250(const QByteArray &bytes) {
    QStringDecoder decoder("windows-1250", QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}
