#include "richtext/rtftables.h"

#include "richtext/rtfcodepage.h"

void RtfTables::beginFont(int index, int documentCodePage) {
    endFont(documentCodePage);
    m_fontIndex = index;
    m_name.clear();
    m_charset = -1;
    m_fontCodePage = 0;
}

void RtfTables::setFontCharset(int charset) {
    m_charset = charset;
}

void RtfTables::setFontCodePage(int codePage) {
    m_fontCodePage = codePage;
}

void RtfTables::addFontText(QByteArrayView bytes, int documentCodePage) {
    while (!bytes.isEmpty()) {
        const qsizetype end = bytes.indexOf(';');
        const QByteArrayView part = end < 0 ? bytes : bytes.first(end);
        m_name.append(part.first(qMin(part.size(), MaxNameBytes - m_name.size())));
        if (end < 0)
            return;
        endFont(documentCodePage);
        bytes = bytes.sliced(end + 1);
    }
}

void RtfTables::addFontByte(uchar byte) {
    if (m_name.size() < MaxNameBytes)
        m_name.append(char(byte));
}

void RtfTables::endFont(int documentCodePage) {
    if (m_fontIndex < 0)
        return;
    if (m_fonts.size() < MaxEntries || m_fonts.contains(m_fontIndex)) {
        RtfFont font;
        font.codePage = m_fontCodePage > 0 ? m_fontCodePage : RtfCodePage::fromCharset(m_charset);
        if (font.codePage > 0 && !RtfCodePage::isKnown(font.codePage))
            font.codePage = 0;
        font.family =
            RtfCodePage::decode(m_name, font.codePage > 0 ? font.codePage : documentCodePage)
                .trimmed();
        m_fonts.insert(m_fontIndex, font);
    }
    m_fontIndex = -1;
    m_name.clear();
}

const RtfFont *RtfTables::font(int index) const {
    const auto it = m_fonts.constFind(index);
    return it == m_fonts.constEnd() ? nullptr : &*it;
}

void RtfTables::setComponent(int which, int value) {
    m_rgb[which] = qBound(0, value, 255);
    m_rgbGiven = true;
}

void RtfTables::endColor() {
    if (m_colors.size() < MaxEntries)
        m_colors.append(m_rgbGiven ? QColor(m_rgb[0], m_rgb[1], m_rgb[2]) : QColor());
    m_rgb[0] = m_rgb[1] = m_rgb[2] = 0;
    m_rgbGiven = false;
}

QColor RtfTables::color(int index) const {
    return index >= 0 && index < m_colors.size() ? m_colors[index] : QColor();
}
