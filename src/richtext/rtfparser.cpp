#include "richtext/rtfparser.h"

#include "richtext/rtfcodepage.h"

#include <string_view>
#include <unordered_map>

namespace {

// The control words the reader acts on.
enum class Word {
    FontTable,
    ColorTable,
    SkipGroup,
    Bin,
    Unicode,
    UnicodeSkip,
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCodePage,
    DefaultFont,
    Font,
    FontCharset,
    FontCodePage,
    Red,
    Green,
    Blue,
    Par,
    Line,
    Tab,
    Cell,
    Pard,
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Super,
    Sub,
    NoSuperSub,
    FontSize,
    Foreground,
    Background,
    Character,
};

struct WordInfo {
    Word word;
    char16_t character = 0; // for Word::Character
};

using WordTable = std::unordered_map<std::string_view, WordInfo>;

const WordTable &words() {
    static const WordTable table = [] {
        WordTable t = {
            {"fonttbl", {Word::FontTable}},
            {"colortbl", {Word::ColorTable}},
            {"bin", {Word::Bin}},
            {"u", {Word::Unicode}},
            {"uc", {Word::UnicodeSkip}},
            {"ansi", {Word::Ansi}},
            {"mac", {Word::Mac}},
            {"pc", {Word::Pc}},
            {"pca", {Word::Pca}},
            {"ansicpg", {Word::AnsiCodePage}},
            {"deff", {Word::DefaultFont}},
            {"f", {Word::Font}},
            {"fcharset", {Word::FontCharset}},
            {"cpg", {Word::FontCodePage}},
            {"red", {Word::Red}},
            {"green", {Word::Green}},
            {"blue", {Word::Blue}},
            {"par", {Word::Par}},
            {"sect", {Word::Par}},
            {"page", {Word::Par}},
            {"row", {Word::Par}},
            {"line", {Word::Line}},
            {"tab", {Word::Tab}},
            {"cell", {Word::Cell}},
            {"nestcell", {Word::Cell}},
            {"pard", {Word::Pard}},
            {"li", {Word::LeftIndent}},
            {"ri", {Word::RightIndent}},
            {"fi", {Word::FirstIndent}},
            {"sb", {Word::SpaceBefore}},
            {"sa", {Word::SpaceAfter}},
            {"ql", {Word::AlignLeft}},
            {"qc", {Word::AlignCenter}},
            {"qr", {Word::AlignRight}},
            {"qj", {Word::AlignJustify}},
            {"plain", {Word::Plain}},
            {"b", {Word::Bold}},
            {"i", {Word::Italic}},
            {"ul", {Word::Underline}},
            {"uld", {Word::Underline}},
            {"uldb", {Word::Underline}},
            {"ulw", {Word::Underline}},
            {"ulth", {Word::Underline}},
            {"uldash", {Word::Underline}},
            {"ulwave", {Word::Underline}},
            {"ulnone", {Word::UnderlineNone}},
            {"strike", {Word::Strike}},
            {"striked", {Word::Strike}},
            {"super", {Word::Super}},
            {"sub", {Word::Sub}},
            {"nosupersub", {Word::NoSuperSub}},
            {"fs", {Word::FontSize}},
            {"cf", {Word::Foreground}},
            {"cb", {Word::Background}},
            {"highlight", {Word::Background}},
            {"chcbpat", {Word::Background}},
            {"emdash", {Word::Character, 0x2014}},
            {"endash", {Word::Character, 0x2013}},
            {"bullet", {Word::Character, 0x2022}},
            {"lquote", {Word::Character, 0x2018}},
            {"rquote", {Word::Character, 0x2019}},
            {"ldblquote", {Word::Character, 0x201C}},
            {"rdblquote", {Word::Character, 0x201D}},
            {"emspace", {Word::Character, 0x2003}},
            {"enspace", {Word::Character, 0x2002}},
            {"qmspace", {Word::Character, 0x2005}},
        };
        // Destinations whose content is not text of the document.
        for (const char *skipped : {"info",         "stylesheet",
                                    "pict",         "object",
                                    "objdata",      "header",
                                    "headerl",      "headerr",
                                    "headerf",      "footer",
                                    "footerl",      "footerr",
                                    "footerf",      "footnote",
                                    "annotation",   "fldinst",
                                    "nonshppict",   "shp",
                                    "listtable",    "listoverridetable",
                                    "rsidtbl",      "revtbl",
                                    "filetbl",      "xmlnstbl",
                                    "themedata",    "colorschememapping",
                                    "latentstyles", "datastore",
                                    "generator",    "pntxta",
                                    "pntxtb",       "txe",
                                    "xe",           "tc",
                                    "userprops",    "docvar",
                                    "private",      "bkmkstart",
                                    "bkmkend"})
            t.emplace(skipped, WordInfo{Word::SkipGroup});
        return t;
    }();
    return table;
}

const WordInfo *lookUp(QByteArrayView word) {
    const auto it = words().find(std::string_view(word.data(), size_t(word.size())));
    return it == words().end() ? nullptr : &it->second;
}

// A paragraph distance in twips, kept within a page's width (22 inches).
int distance(int twips) {
    return qBound(-31680, twips, 31680);
}

// A switch word: on without a parameter or with one other than 0.
bool switchedOn(bool hasParam, int param) {
    return !hasParam || param != 0;
}

} // namespace

RtfParser::RtfParser(QByteArrayView rtf, QTextDocument &document)
    : m_tokens(rtf), m_builder(document) {}

RtfReadResult RtfParser::run() {
    RtfReadResult result;
    for (;;) {
        const RtfToken token = m_tokens.next();
        result.offset = m_tokens.offset();
        switch (token.kind) {
        case RtfToken::End:
        case RtfToken::Truncated:
            flush();
            m_builder.finish(blockFormat());
            result.status = RtfStatus::Truncated;
            return result;
        case RtfToken::GroupOpen:
            if (groupOpen() == Step::Stop) {
                result.status = RtfStatus::TooDeep;
                return result;
            }
            continue;
        case RtfToken::GroupClose:
            if (groupClose() == Step::Stop)
                return result;
            break;
        case RtfToken::ControlWord:
            controlWord(token);
            break;
        case RtfToken::ControlSymbol:
            controlSymbol(token.symbol);
            break;
        case RtfToken::HexByte:
            hexByte(token.byte);
            break;
        case RtfToken::Text:
            text(token.text);
            break;
        }
        m_groupStart = false;
    }
}

RtfParser::Step RtfParser::groupOpen() {
    if (!m_stack.empty())
        flush();
    if (int(m_stack.size()) >= RtfReader::MaxDepth) {
        m_builder.finish(blockFormat());
        return Step::Stop;
    }
    m_stack.push_back(m_stack.empty() ? RtfGroupState{} : m_stack.back());
    m_groupStart = true;
    m_fallbackLeft = 0;
    return Step::Go;
}

RtfParser::Step RtfParser::groupClose() {
    if (m_stack.empty())
        return Step::Go; // text before the first group
    flush();
    if (state().destination == RtfDestination::FontTable)
        m_tables.endFont(m_documentCodePage);
    m_fallbackLeft = 0;
    if (m_stack.size() == 1) {
        m_builder.finish(blockFormat());
        m_stack.pop_back();
        return Step::Stop;
    }
    m_stack.pop_back();
    return Step::Go;
}

void RtfParser::controlWord(const RtfToken &token) {
    if (m_stack.empty())
        return;
    const WordInfo *info = lookUp(token.word);
    if (info && info->word == Word::Bin) {
        m_tokens.skipBinary(token.param);
        return;
    }
    if (state().destination == RtfDestination::Skip)
        return;
    if (info && info->word == Word::Unicode) {
        if (!skippingFallback())
            unicodeChar(token.param);
        return;
    }
    if (skippingFallback() || !info)
        return;
    const int param = token.param;
    switch (info->word) {
    case Word::FontTable:
        state().destination = RtfDestination::FontTable;
        return;
    case Word::ColorTable:
        state().destination = RtfDestination::ColorTable;
        return;
    case Word::SkipGroup:
        state().destination = RtfDestination::Skip;
        return;
    case Word::UnicodeSkip:
        state().unicodeSkip = qBound(0, param, 16);
        return;
    case Word::Ansi:
        m_documentCodePage = 1252;
        return;
    case Word::Mac:
        m_documentCodePage = 10000;
        return;
    case Word::Pc:
        m_documentCodePage = 437;
        return;
    case Word::Pca:
        m_documentCodePage = 850;
        return;
    case Word::AnsiCodePage:
        if (RtfCodePage::isKnown(param))
            m_documentCodePage = param;
        return;
    case Word::DefaultFont:
        m_defaultFont = param;
        return;
    default:
        break;
    }
    switch (state().destination) {
    case RtfDestination::FontTable:
        if (info->word == Word::Font)
            m_tables.beginFont(param, m_documentCodePage);
        else if (info->word == Word::FontCharset)
            m_tables.setFontCharset(param);
        else if (info->word == Word::FontCodePage)
            m_tables.setFontCodePage(param);
        return;
    case RtfDestination::ColorTable:
        if (info->word == Word::Red || info->word == Word::Green || info->word == Word::Blue)
            m_tables.setComponent(int(info->word) - int(Word::Red), param);
        return;
    case RtfDestination::Text:
        flush();
        textWord(token.word, token.hasParam, param);
        return;
    case RtfDestination::Skip:
        return;
    }
}

void RtfParser::textWord(QByteArrayView word, bool hasParam, int param) {
    const WordInfo &info = *lookUp(word);
    RtfCharState &c = state().chars;
    switch (info.word) {
    case Word::Par:
        endParagraph();
        break;
    case Word::Line:
        m_builder.addChar(0x2028);
        break;
    case Word::Tab:
    case Word::Cell:
        m_builder.addChar(u'\t');
        break;
    case Word::Character:
        m_builder.addChar(info.character);
        break;
    case Word::Pard:
        state().paragraph = RtfParagraphState{};
        break;
    case Word::LeftIndent:
        state().paragraph.leftIndent = distance(param);
        break;
    case Word::RightIndent:
        state().paragraph.rightIndent = distance(param);
        break;
    case Word::FirstIndent:
        state().paragraph.firstIndent = distance(param);
        break;
    case Word::SpaceBefore:
        state().paragraph.spaceBefore = qMax(0, distance(param));
        break;
    case Word::SpaceAfter:
        state().paragraph.spaceAfter = qMax(0, distance(param));
        break;
    case Word::AlignLeft:
        state().paragraph.alignment = Qt::AlignLeft;
        break;
    case Word::AlignCenter:
        state().paragraph.alignment = Qt::AlignHCenter;
        break;
    case Word::AlignRight:
        state().paragraph.alignment = Qt::AlignRight;
        break;
    case Word::AlignJustify:
        state().paragraph.alignment = Qt::AlignJustify;
        break;
    case Word::Plain:
        c = RtfCharState{};
        break;
    case Word::Bold:
        c.bold = switchedOn(hasParam, param);
        break;
    case Word::Italic:
        c.italic = switchedOn(hasParam, param);
        break;
    case Word::Underline:
        c.underline = switchedOn(hasParam, param);
        break;
    case Word::UnderlineNone:
        c.underline = false;
        break;
    case Word::Strike:
        c.strike = switchedOn(hasParam, param);
        break;
    case Word::Super:
        c.valign = 1;
        break;
    case Word::Sub:
        c.valign = 2;
        break;
    case Word::NoSuperSub:
        c.valign = 0;
        break;
    case Word::Font:
        c.font = param;
        break;
    case Word::FontSize:
        if (param > 0)
            c.halfPoints = qMin(param, 3276);
        break;
    case Word::Foreground:
        c.foreground = param;
        break;
    case Word::Background:
        c.background = param;
        break;
    default:
        break;
    }
}

void RtfParser::controlSymbol(char symbol) {
    if (m_stack.empty())
        return;
    if (symbol == '*') {
        // "{\*...": a destination that a reader may skip, and this one does.
        if (m_groupStart)
            state().destination = RtfDestination::Skip;
        return;
    }
    if (state().destination == RtfDestination::Skip || skippingFallback())
        return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        text(QByteArrayView(&symbol, 1));
        return;
    default:
        break;
    }
    if (state().destination != RtfDestination::Text)
        return;
    switch (symbol) {
    case '~':
        m_builder.addChar(0x00A0);
        return;
    case '-':
        m_builder.addChar(0x00AD);
        return;
    case '_':
        m_builder.addChar(0x2011);
        return;
    case '\n':
    case '\r':
        flush();
        endParagraph();
        return;
    default:
        return;
    }
}

void RtfParser::text(QByteArrayView bytes) {
    if (m_stack.empty() || state().destination == RtfDestination::Skip)
        return;
    if (m_fallbackLeft > 0) {
        const qsizetype skipped = qMin<qsizetype>(m_fallbackLeft, bytes.size());
        m_fallbackLeft -= int(skipped);
        bytes = bytes.sliced(skipped);
    }
    if (bytes.isEmpty())
        return;
    switch (state().destination) {
    case RtfDestination::FontTable:
        m_tables.addFontText(bytes, m_documentCodePage);
        return;
    case RtfDestination::ColorTable:
        for (const char c : bytes)
            if (c == ';')
                m_tables.endColor();
        return;
    case RtfDestination::Text:
        m_builder.addBytes(bytes, codePage());
        return;
    case RtfDestination::Skip:
        return;
    }
}

void RtfParser::hexByte(uchar byte) {
    if (m_stack.empty() || state().destination == RtfDestination::Skip || skippingFallback())
        return;
    if (state().destination == RtfDestination::FontTable)
        m_tables.addFontByte(byte);
    else if (state().destination == RtfDestination::Text)
        m_builder.addBytes(QByteArrayView(reinterpret_cast<const char *>(&byte), 1), codePage());
}

void RtfParser::unicodeChar(int value) {
    // Values above 32767 are written as negative numbers.
    if (value < 0)
        value += 65536;
    if (state().destination == RtfDestination::Text && value >= 0 && value <= 0xFFFF)
        m_builder.addChar(char16_t(value));
    m_fallbackLeft = state().unicodeSkip;
}

bool RtfParser::skippingFallback() {
    if (m_fallbackLeft <= 0)
        return false;
    --m_fallbackLeft;
    return true;
}

void RtfParser::flush() {
    if (!m_stack.empty() && state().destination == RtfDestination::Text)
        m_builder.flush(charFormat(), blockFormat());
}

void RtfParser::endParagraph() {
    m_builder.endParagraph(blockFormat(), charFormat());
}

int RtfParser::codePage() const {
    const int index = m_stack.back().chars.font >= 0 ? m_stack.back().chars.font : m_defaultFont;
    const RtfFont *font = m_tables.font(index);
    return font && font->codePage > 0 ? font->codePage : m_documentCodePage;
}

const QTextCharFormat &RtfParser::charFormat() {
    const RtfCharState &c = state().chars;
    if (m_formatValid && c == m_formatState)
        return m_format;
    QTextCharFormat f;
    if (c.bold)
        f.setFontWeight(QFont::Bold);
    if (c.italic)
        f.setFontItalic(true);
    if (c.underline)
        f.setFontUnderline(true);
    if (c.strike)
        f.setFontStrikeOut(true);
    if (c.valign != 0)
        f.setVerticalAlignment(c.valign == 1 ? QTextCharFormat::AlignSuperScript
                                             : QTextCharFormat::AlignSubScript);
    const RtfFont *font = m_tables.font(c.font >= 0 ? c.font : m_defaultFont);
    if (font && !font->family.isEmpty())
        f.setFontFamilies(QStringList{font->family});
    if (c.halfPoints > 0)
        f.setFontPointSize(c.halfPoints / 2.0);
    if (const QColor color = m_tables.color(c.foreground); color.isValid())
        f.setForeground(color);
    if (const QColor color = m_tables.color(c.background); color.isValid())
        f.setBackground(color);
    m_format = f;
    m_formatState = c;
    m_formatValid = true;
    return m_format;
}

QTextBlockFormat RtfParser::blockFormat() const {
    QTextBlockFormat b;
    if (m_stack.empty())
        return b;
    // Distances in the document are pixels at 96 per inch: 15 twips each.
    const RtfParagraphState &p = m_stack.back().paragraph;
    if (p.alignment != Qt::AlignLeft)
        b.setAlignment(p.alignment);
    if (p.leftIndent != 0)
        b.setLeftMargin(p.leftIndent / 15.0);
    if (p.rightIndent != 0)
        b.setRightMargin(p.rightIndent / 15.0);
    if (p.firstIndent != 0)
        b.setTextIndent(p.firstIndent / 15.0);
    if (p.spaceBefore != 0)
        b.setTopMargin(p.spaceBefore / 15.0);
    if (p.spaceAfter != 0)
        b.setBottomMargin(p.spaceAfter / 15.0);
    return b;
}
