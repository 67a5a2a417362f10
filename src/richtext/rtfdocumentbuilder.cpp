#include "richtext/rtfdocumentbuilder.h"

#include "richtext/rtfcodepage.h"

#include <QTextDocument>

namespace {

bool keep(char16_t ch) {
    return ch >= 0x20 || ch == u'\t';
}

// Replaces halves of surrogate pairs that have no partner.
void mendSurrogates(QString &text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
}

} // namespace

RtfDocumentBuilder::RtfDocumentBuilder(QTextDocument &document)
    : m_document(document), m_cursor(&document), m_undo(document.isUndoRedoEnabled()) {
    m_document.setUndoRedoEnabled(false);
    m_document.clear();
    m_cursor = QTextCursor(&m_document);
    m_cursor.beginEditBlock();
}

RtfDocumentBuilder::~RtfDocumentBuilder() {
    m_cursor.endEditBlock();
    m_document.setUndoRedoEnabled(m_undo);
}

void RtfDocumentBuilder::addBytes(QByteArrayView bytes, int codePage) {
    if (codePage != m_bytesCodePage)
        decodeBytes();
    m_bytesCodePage = codePage;
    m_bytes.append(bytes);
}

void RtfDocumentBuilder::addChar(char16_t ch) {
    decodeBytes();
    if (keep(ch))
        m_text.append(QChar(ch));
}

void RtfDocumentBuilder::decodeBytes() {
    if (m_bytes.isEmpty())
        return;
    const QString decoded = RtfCodePage::decode(m_bytes, m_bytesCodePage);
    m_bytes.clear();
    for (const QChar c : decoded)
        if (keep(c.unicode()))
            m_text.append(c);
}

void RtfDocumentBuilder::flush(const QTextCharFormat &chars, const QTextBlockFormat &block) {
    decodeBytes();
    if (m_text.isEmpty())
        return;
    startParagraph(block, chars);
    mendSurrogates(m_text);
    m_cursor.insertText(m_text, chars);
    m_text.clear();
}

void RtfDocumentBuilder::startParagraph(const QTextBlockFormat &block,
                                        const QTextCharFormat &chars) {
    if (m_paragraphPending) {
        m_cursor.insertBlock(block, chars);
        m_paragraphPending = false;
        m_paragraphStarted = true;
    } else if (!m_paragraphStarted) {
        m_cursor.setBlockFormat(block);
        m_cursor.setBlockCharFormat(chars);
        m_paragraphStarted = true;
    }
}

void RtfDocumentBuilder::endParagraph(const QTextBlockFormat &block, const QTextCharFormat &chars) {
    flush(chars, block);
    startParagraph(block, chars);
    m_cursor.setBlockFormat(block);
    m_paragraphPending = true;
}

void RtfDocumentBuilder::finish(const QTextBlockFormat &block) {
    if (!m_paragraphPending && m_paragraphStarted)
        m_cursor.setBlockFormat(block);
}
