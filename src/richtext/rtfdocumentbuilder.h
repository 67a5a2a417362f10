#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QTextCursor>

class QTextBlockFormat;
class QTextCharFormat;
class QTextDocument;

// Fills a text document from the pieces a rich-text reader finds: 8-bit text in a code page,
// single characters, runs ended by a format change, and paragraph ends. A paragraph end
// closes its paragraph; the next paragraph starts with the next text, so a final end opens
// no empty paragraph. Control characters other than the tab are dropped, and a lone half of
// a surrogate pair becomes U+FFFD.
class RtfDocumentBuilder {
public:
    explicit RtfDocumentBuilder(QTextDocument &document);
    ~RtfDocumentBuilder();
    RtfDocumentBuilder(const RtfDocumentBuilder &) = delete;
    RtfDocumentBuilder &operator=(const RtfDocumentBuilder &) = delete;

    void addBytes(QByteArrayView bytes, int codePage);
    void addChar(char16_t ch);
    // Writes the text gathered so far in that format; a paragraph it begins gets the block
    // format.
    void flush(const QTextCharFormat &chars, const QTextBlockFormat &block);
    // Ends the current paragraph with these formats (the char format for an empty one).
    void endParagraph(const QTextBlockFormat &block, const QTextCharFormat &chars);
    // Gives the last paragraph its format when it holds text.
    void finish(const QTextBlockFormat &block);

private:
    void decodeBytes();
    void startParagraph(const QTextBlockFormat &block, const QTextCharFormat &chars);

    QTextDocument &m_document;
    QTextCursor m_cursor;
    bool m_undo = false;
    QByteArray m_bytes;
    int m_bytesCodePage = 0;
    QString m_text;
    bool m_paragraphPending = false; // the last paragraph was ended; the next one not begun
    bool m_paragraphStarted = false; // the current paragraph has its format
};
