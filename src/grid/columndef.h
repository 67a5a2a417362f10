#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A colour as the column layout stores it: 0x00BBGGRR for a plain colour, or a system colour
// (high bit set) resolved from the palette when the grid paints.
using TColor = quint32;
constexpr TColor clWindowText = 0x80000008u;
constexpr TColor clNavy = 0x00800000u; // red 0, green 0, blue 128

constexpr TColor RgbColor(int red, int green, int blue) {
    return TColor(red & 0xff) | TColor(green & 0xff) << 8 | TColor(blue & 0xff) << 16;
}
constexpr bool IsSystemColor(TColor color) {
    return (color & 0x80000000u) != 0;
}
constexpr int ColorRed(TColor color) {
    return int(color & 0xff);
}
constexpr int ColorGreen(TColor color) {
    return int(color >> 8 & 0xff);
}
constexpr int ColorBlue(TColor color) {
    return int(color >> 16 & 0xff);
}

// Horizontal alignment of a column's cells and title.
enum class TColumnAlignment : quint8 { Left = 0, Right = 1, Center = 2 };

// Button style of a column; "none" excludes it from sorting and finding.
enum class TColumnButtonStyle : quint8 { Auto = 0, Ellipsis = 1, None = 2 };

// One column of a data grid as a screen designs it and as the stored layout keeps it.
struct TColumn {
    QString fieldName;
    QString caption; // title caption
    int width = 64;
    bool visible = true;
    TColumnAlignment alignment = TColumnAlignment::Left;
    TColumnButtonStyle buttonStyle = TColumnButtonStyle::Auto;
    QStringList pickList;
    TColor titleColor = clWindowText; // title font colour
    TColor cellColor = clWindowText;  // cell font colour

    // The field that orders the table when this column is sorted: the first line of the
    // pick list, otherwise the column's field name.
    QString SortField() const { return pickList.isEmpty() ? fieldName : pickList.first(); }

    friend bool operator==(const TColumn &, const TColumn &) = default;
};

using TColumnList = QList<TColumn>;

// Makes a column in one expression (screens' designed columns, tests).
TColumn MakeColumn(const QString &fieldName, const QString &caption, int width = 64,
                   bool visible = true);

// The index of the first column whose field name equals the name without regard to case,
// or -1.
int FindColumnIndex(const TColumnList &columns, const QString &fieldName);
