#pragma once

#include "richtext/rtfdocumentbuilder.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfreadstate.h"
#include "richtext/rtftables.h"
#include "richtext/rtftokenizer.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <vector>

// One reading of rich text into a document: follows the group stack and the properties in
// force, fills the tables and hands the text to the document builder.
class RtfParser {
public:
    RtfParser(QByteArrayView rtf, QTextDocument &document);
    RtfReadResult run();

private:
    enum class Step { Go, Stop };
    Step groupOpen();
    Step groupClose();
    void controlWord(const RtfToken &token);
    void textWord(QByteArrayView word, bool hasParam, int param);
    bool charWord(QByteArrayView word, bool hasParam, int param);
    bool specialChar(QByteArrayView word);
    void controlSymbol(char symbol);
    void text(QByteArrayView bytes);
    void hexByte(uchar byte);
    void unicodeChar(int value);
    bool skippingFallback();
    void flush();
    void endParagraph();
    int codePage() const;
    const QTextCharFormat &charFormat();
    QTextBlockFormat blockFormat() const;
    RtfGroupState &state() { return m_stack.back(); }

    RtfTokenizer m_tokens;
    RtfDocumentBuilder m_builder;
    RtfTables m_tables;
    std::vector<RtfGroupState> m_stack;
    int m_documentCodePage = 1252;
    int m_defaultFont = -1;
    bool m_groupStart = false; // no token yet after the group's "{"
    int m_fallbackLeft = 0;    // fallback characters of the last \uN still to skip
    RtfCharState m_formatState;
    QTextCharFormat m_format;
    bool m_formatValid = false;
};
