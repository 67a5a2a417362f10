#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QColor>
#include <QHash>
#include <QList>
#include <QString>

// One entry of the font table.
struct RtfFont {
    QString family;
    int codePage = 0; // of its \fcharset or \cpg; 0: the document's code page
};

// The font and colour tables of a rich-text document, filled while they are read. Each holds
// at most MaxEntries entries; further ones are read and dropped, so a hostile table cannot
// take memory beyond that.
class RtfTables {
public:
    static constexpr int MaxEntries = 1024;
    static constexpr qsizetype MaxNameBytes = 256;

    // Font table: \fN starts an entry (ending one still open), the name runs up to ";" or
    // the end of its group.
    void beginFont(int index, int documentCodePage);
    void setFontCharset(int charset);
    void setFontCodePage(int codePage);
    // Text inside the font table; a ";" ends the entry being read.
    void addFontText(QByteArrayView bytes, int documentCodePage);
    void addFontByte(uchar byte);
    void endFont(int documentCodePage);
    const RtfFont *font(int index) const;

    // Colour table: \redN, \greenN, \blueN (0 to 2 for which), each entry ended by ";".
    void setComponent(int which, int value);
    void endColor();
    // The colour of that index; invalid for the automatic colour and for missing entries.
    QColor color(int index) const;

private:
    QHash<int, RtfFont> m_fonts;
    int m_fontIndex = -1;
    QByteArray m_name;
    int m_charset = -1;
    int m_fontCodePage = 0;
    QList<QColor> m_colors;
    int m_rgb[3] = {0, 0, 0};
    bool m_rgbGiven = false;
};
