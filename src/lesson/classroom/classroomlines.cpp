#include "classroomlines.h"

namespace ClassroomLines {
namespace {

// Book and page numbers are never above this; anything longer is not ours.
constexpr int MaxNumber = 999999;

// A plain decimal number from 0 to limit (no sign, blank or other character), else none.
std::optional<int> number(QByteArrayView field, int limit) {
    if (field.isEmpty() || field.size() > 6)
        return std::nullopt;
    int value = 0;
    for (char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > limit)
        return std::nullopt;
    return value;
}

QList<QByteArrayView> fields(const QByteArray &rest) {
    QList<QByteArrayView> parts;
    qsizetype from = 0;
    while (true) {
        const qsizetype at = rest.indexOf(';', from);
        if (at < 0) {
            parts.append(QByteArrayView(rest).sliced(from));
            return parts;
        }
        parts.append(QByteArrayView(rest).sliced(from, at - from));
        from = at + 1;
    }
}

std::optional<PageKey> key(QByteArrayView book, QByteArrayView page) {
    const auto b = number(book, MaxNumber);
    const auto p = number(page, MaxNumber);
    if (!b || !p)
        return std::nullopt;
    return PageKey{*b, *p};
}

std::optional<PageSpot> spot(QByteArrayView x, QByteArrayView y) {
    const auto sx = number(x, Scale);
    const auto sy = number(y, Scale);
    if (!sx || !sy)
        return std::nullopt;
    return PageSpot{*sx, *sy};
}

QByteArray keyText(PageKey key) {
    return QByteArray::number(key.book) + ';' + QByteArray::number(key.page);
}

QByteArray spotText(PageSpot spot, char between) {
    return QByteArray::number(qBound(0, spot.x, Scale)) + between +
           QByteArray::number(qBound(0, spot.y, Scale));
}

} // namespace

QByteArray pageState(bool away, PageKey key) {
    return QByteArray(PageState) + ';' + (away ? '1' : '0') + ';' + keyText(key);
}

QByteArray pointer(PageKey key, std::optional<PageSpot> spot) {
    return QByteArray(Pointer) + ';' + keyText(key) + ';' + (spot ? spotText(*spot, ';') : "-");
}

QByteArray stroke(PageKey key, const QList<PageSpot> &points) {
    QByteArray line = QByteArray(Stroke) + ';' + keyText(key);
    for (const PageSpot &point : points)
        line += ';' + spotText(point, ',');
    return line;
}

QByteArray strokesClear(PageKey key) {
    return QByteArray(StrokesClear) + ';' + keyText(key);
}

QByteArray drawAllow(bool allowed) {
    return QByteArray(DrawAllow) + ';' + (allowed ? '1' : '0');
}

std::optional<PageStateLine> readPageState(const QByteArray &rest) {
    const QList<QByteArrayView> parts = fields(rest);
    if (parts.size() != 3)
        return std::nullopt;
    const auto away = number(parts[0], 1);
    const auto page = key(parts[1], parts[2]);
    if (!away || !page)
        return std::nullopt;
    return PageStateLine{*away == 1, *page};
}

std::optional<PointerLine> readPointer(const QByteArray &rest) {
    const QList<QByteArrayView> parts = fields(rest);
    if (parts.size() < 3 || parts.size() > 4)
        return std::nullopt;
    const auto page = key(parts[0], parts[1]);
    if (!page)
        return std::nullopt;
    if (parts.size() == 3)
        return parts[2] == "-" ? std::optional(PointerLine{*page, std::nullopt}) : std::nullopt;
    const auto at = spot(parts[2], parts[3]);
    if (!at)
        return std::nullopt;
    return PointerLine{*page, *at};
}

std::optional<StrokeLine> readStroke(const QByteArray &rest) {
    const QList<QByteArrayView> parts = fields(rest);
    // At least two points make a stroke; a line with more than any sender puts in is a flood.
    if (parts.size() < 4 || parts.size() > 2 + MaxStrokePoints)
        return std::nullopt;
    const auto page = key(parts[0], parts[1]);
    if (!page)
        return std::nullopt;
    StrokeLine line{*page, {}};
    line.points.reserve(parts.size() - 2);
    for (qsizetype i = 2; i < parts.size(); ++i) {
        const qsizetype comma = parts[i].indexOf(',');
        if (comma < 0)
            return std::nullopt;
        const auto at = spot(parts[i].first(comma), parts[i].sliced(comma + 1));
        if (!at)
            return std::nullopt;
        line.points.append(*at);
    }
    return line;
}

std::optional<PageKey> readStrokesClear(const QByteArray &rest) {
    const QList<QByteArrayView> parts = fields(rest);
    if (parts.size() != 2)
        return std::nullopt;
    return key(parts[0], parts[1]);
}

std::optional<bool> readDrawAllow(const QByteArray &rest) {
    const auto allowed = number(rest, 1);
    if (!allowed)
        return std::nullopt;
    return *allowed == 1;
}

} // namespace ClassroomLines
