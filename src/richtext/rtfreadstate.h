#pragma once

#include <QTextCharFormat>

// The character and paragraph properties in force inside one group of rich text.
struct RtfCharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int valign = 0;     // 0 normal, 1 superscript, 2 subscript
    int font = -1;      // font table index; -1: the default font
    int halfPoints = 0; // font size in half points; 0: not given
    int foreground = 0; // colour table index; 0: automatic
    int background = 0;
    bool operator==(const RtfCharState &) const = default;
};

// Where the text of a group goes.
enum class RtfDestination { Text, FontTable, ColorTable, Skip };

// Paragraph properties; distances in twips (1/1440 inch).
struct RtfParagraphState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0, rightIndent = 0, firstIndent = 0;
    int spaceBefore = 0, spaceAfter = 0;
};

struct RtfGroupState {
    RtfDestination destination = RtfDestination::Text;
    RtfCharState chars;
    RtfParagraphState paragraph;
    int unicodeSkip = 1; // \ucN: fallback characters after each \uN
};
