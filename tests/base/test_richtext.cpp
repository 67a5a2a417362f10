#include "richtext/chatstyle.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

QByteArray fixture(const char *name) {
    QFile file(QStringLiteral(TELLAVO_RICHTEXT_FIXTURES "/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// The format of the first character of the first occurrence of the text.
QTextCharFormat formatOf(const QTextDocument &document, const QString &text) {
    const QTextCursor found = document.find(text);
    EXPECT_FALSE(found.isNull()) << text.toStdString();
    QTextCursor at(const_cast<QTextDocument *>(&document));
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat();
}

QString familyOf(const QTextCharFormat &format) {
    return format.fontFamilies().toStringList().value(0);
}

// The document as runs of equal properties, with the document's defaults filled in, so that
// two documents compare by what they show.
QStringList runsOf(const QTextDocument &document) {
    const QFont base = document.defaultFont();
    QStringList runs;
    QString last;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat p = block.blockFormat();
        runs.append(QStringLiteral("paragraph %1 %2 %3 %4 %5 %6")
                        .arg(int(p.alignment()))
                        .arg(p.leftMargin())
                        .arg(p.rightMargin())
                        .arg(p.textIndent())
                        .arg(p.topMargin())
                        .arg(p.bottomMargin()));
        last.clear();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QString family = familyOf(f).isEmpty() ? base.family() : familyOf(f);
            const qreal size = f.fontPointSize() > 0 ? f.fontPointSize() : base.pointSizeF();
            const QString properties =
                QStringLiteral("%1%2%3%4 v%5 %6 %7 %8 %9")
                    .arg(f.fontWeight() >= QFont::Bold ? "b" : "-", f.fontItalic() ? "i" : "-",
                         f.fontUnderline() ? "u" : "-", f.fontStrikeOut() ? "s" : "-")
                    .arg(int(f.verticalAlignment()))
                    .arg(family)
                    .arg(size)
                    .arg(f.foreground().style() == Qt::NoBrush ? "auto"
                                                               : f.foreground().color().name(),
                         f.background().style() == Qt::NoBrush ? "auto"
                                                               : f.background().color().name());
            if (properties == last) {
                runs.last() += it.fragment().text();
            } else {
                runs.append(properties + u'|' + it.fragment().text());
                last = properties;
            }
        }
    }
    return runs;
}

QTextDocument *chatDocument() {
    auto *document = new QTextDocument;
    document->setDefaultFont(ChatStyle::historyFont());
    ChatStyle::appendMessage(*document, QString::fromUtf8("Jan Nový 15.01.2026 10:00:00"),
                             {QString::fromUtf8("Dobrý den, jak se máte?"),
                              QString::fromUtf8("Mám {závorky} a \\ lomítko\tpak tabulátor")},
                             false);
    ChatStyle::appendMessage(*document, QString::fromUtf8("Lektor Ťuk 15.01.2026 10:00:05"),
                             {QString::fromUtf8("Děkuji, výborně! Ω ≈ 😀 ő")}, true);
    return document;
}

TEST(RichTextReader, ReadsTheWelcomeFileWithCodePagesUnicodeColoursAndStyles) {
    QTextDocument document;
    const RtfReadResult result = RtfReader::read(fixture("welcome-cp1250.rtf"), document);
    ASSERT_TRUE(result.ok()) << result.describe().toStdString();
    EXPECT_EQ(document.toPlainText(), QString::fromUtf8(fixture("welcome-cp1250.txt")));

    struct Expect {
        const char *text;
        bool bold, italic, underline, strike;
        const char *color; // "" for the automatic colour
        qreal points;
        const char *family;
    };
    const Expect cases[] = {
        {"Vítejte", true, false, false, false, "", 16, "Arial"},
        {"Čeština", false, false, false, false, "", 10, "Arial"},
        {"kurzíva", false, true, false, false, "", 10, "Arial"},
        {"podtržení", false, false, true, false, "", 10, "Arial"},
        {"červená", false, false, false, false, "#ff0000", 10, "Arial"},
        {"zelená tučná", true, false, false, false, "#008000", 10, "Arial"},
        {"přeškrtnuté", false, false, false, true, "", 10, "Arial"},
        {"Times řádek", false, false, false, false, "", 12, "Times New Roman"},
        {"Абв", false, false, false, false, "", 12, "Arial CYR"},
        {"plainè", false, false, false, false, "", 12, "Courier New"},
        {"Konec", false, false, false, false, "#800080", 8, "Courier New"},
    };
    for (const Expect &e : cases) {
        SCOPED_TRACE(e.text);
        const QTextCharFormat f = formatOf(document, QString::fromUtf8(e.text));
        EXPECT_EQ(f.fontWeight() >= QFont::Bold, e.bold);
        EXPECT_EQ(f.fontItalic(), e.italic);
        EXPECT_EQ(f.fontUnderline(), e.underline);
        EXPECT_EQ(f.fontStrikeOut(), e.strike);
        EXPECT_EQ(f.foreground().style() == Qt::NoBrush ? QString() : f.foreground().color().name(),
                  QString::fromLatin1(e.color));
        EXPECT_EQ(f.fontPointSize(), e.points);
        EXPECT_EQ(familyOf(f), QString::fromLatin1(e.family));
    }
    EXPECT_EQ(document.begin().blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(document.lastBlock().blockFormat().alignment(), Qt::AlignRight);
    const QTextBlockFormat indented = document.begin().next().blockFormat();
    EXPECT_EQ(indented.alignment(), Qt::AlignLeft);
    EXPECT_EQ(indented.leftMargin(), 48); // 720 twips at 15 twips a pixel
    EXPECT_EQ(indented.rightMargin(), 24);
    EXPECT_EQ(indented.textIndent(), -24);
    EXPECT_EQ(indented.topMargin(), 8);
    EXPECT_EQ(indented.bottomMargin(), 16);
}

TEST(RichTextWriter, WritesTheChatHistoryAsTheGoldenFile) {
    std::unique_ptr<QTextDocument> document(chatDocument());
    EXPECT_EQ(RtfWriter::write(*document), fixture("chat-cp1250.rtf"));
}

TEST(RichTextWriter, WhatItWritesReadsBackTheSame) {
    QTextDocument welcome;
    ASSERT_TRUE(RtfReader::read(fixture("welcome-cp1250.rtf"), welcome).ok());
    welcome.setDefaultFont(ChatStyle::historyFont());
    std::unique_ptr<QTextDocument> chat(chatDocument());
    for (QTextDocument *original : {&welcome, chat.get()}) {
        for (const int codePage : {1250, 1251, 1252}) {
            SCOPED_TRACE(codePage);
            const QByteArray rtf = RtfWriter::write(*original, codePage);
            for (const char c : rtf)
                ASSERT_TRUE(uchar(c) < 0x80) << "not 7-bit";
            QTextDocument back;
            back.setDefaultFont(original->defaultFont());
            ASSERT_TRUE(RtfReader::read(rtf, back).ok());
            EXPECT_EQ(back.toPlainText(), original->toPlainText());
            EXPECT_EQ(runsOf(back), runsOf(*original));
        }
    }
}

TEST(RichTextWriter, EscapesWhatTheFormatReservesAndWhatTheCodePageLacks) {
    struct Case {
        const char *text;
        int codePage;
        const char *written;
    };
    const Case cases[] = {
        {"a\\b{c}", 1250, "a\\\\b\\{c\\}"},
        {"žluťoučký", 1250, "\\'9elu\\'9dou\\'e8k\\'fd"},
        {"Абв", 1251, "\\'c0\\'e1\\'e2"},
        {"Абв", 1250, "\\u1040?\\u1073?\\u1074?"},
        {"Ω", 1250, "\\u937?"},
        {"€", 1250, "\\'80"},
        {"😀", 1250, "\\u-10179?\\u-8704?"},
        {"a\tb", 1250, "a\\tab b"},
        {"a\u00a0b", 1250, "a\\~b"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        QTextDocument document;
        document.setPlainText(QString::fromUtf8(c.text));
        const QByteArray rtf = RtfWriter::write(document, c.codePage);
        EXPECT_TRUE(rtf.contains(c.written)) << rtf.toStdString();
        EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg" + QByteArray::number(c.codePage)));
        QTextDocument back;
        ASSERT_TRUE(RtfReader::read(rtf, back).ok());
        EXPECT_EQ(back.toPlainText(), document.toPlainText());
    }
}

TEST(RichTextReader, MalformedInputEndsCleanly) {
    struct Case {
        const char *name;
        QByteArray input;
        RtfStatus status;
        QString text;
    };
    const QByteArray deep = "{\\rtf1 a" + QByteArray(100000, '{') + "b";
    QByteArray colours = "{\\rtf1{\\colortbl" + QByteArray(1000000, ';') + "}\\cf5000 x}";
    QByteArray fonts = "{\\rtf1{\\fonttbl";
    for (int i = 0; i < 5000; ++i)
        fonts += "{\\f" + QByteArray::number(i) + ' ' + QByteArray(300, 'N') + ";}";
    fonts += "}\\f4999 y}";
    const Case cases[] = {
        {"empty", "", RtfStatus::NotRichText, ""},
        {"plain text", "hello", RtfStatus::NotRichText, ""},
        {"leading blanks", "  \r\n{\\rtf1 a}", RtfStatus::Ok, "a"},
        {"unclosed group", "{\\rtf1 abc{\\b def", RtfStatus::Truncated, "abcdef"},
        {"too many closing braces", "{\\rtf1 abc}}}}junk", RtfStatus::Ok, "abc"},
        {"truncated hex escape", "{\\rtf1 a\\'4", RtfStatus::Truncated, "a"},
        {"bad hex escape", "{\\rtf1 a\\'zzb}", RtfStatus::Ok, "azzb"},
        {"backslash at the end", "{\\rtf1 a\\", RtfStatus::Truncated, "a"},
        {"huge font size", "{\\rtf1 \\fs99999999999999999999 big}", RtfStatus::Ok, "big"},
        {"huge unicode value", "{\\rtf1 \\u99999999999?x}", RtfStatus::Ok, "x"},
        {"huge negative number", "{\\rtf1 \\cf-99999999999 x\\f-5 y}", RtfStatus::Ok, "xy"},
        {"deep nesting", deep, RtfStatus::TooDeep, "a"},
        {"binary beyond the end", "{\\rtf1 a\\bin999999999 abc}", RtfStatus::Truncated, "a"},
        {"binary data", "{\\rtf1 a\\bin3 }{\\b}", RtfStatus::Ok, "ab"},
        {"huge fallback count", "{\\rtf1 {\\uc999\\u65 abc}def}", RtfStatus::Ok, "Adef"},
        {"overlong control word", "{\\rtf1 \\" + QByteArray(1000, 'a') + " x}", RtfStatus::Ok, "x"},
        {"lone surrogate", "{\\rtf1 \\u-10179?z}", RtfStatus::Ok, QString::fromUtf8("\uFFFDz")},
        {"control bytes", QByteArray("{\\rtf1 a\x01\x02\0b}", 13), RtfStatus::Ok, "ab"},
        {"unknown code page", "{\\rtf1\\ansi\\ansicpg99999 \\'e8}", RtfStatus::Ok,
         QString::fromUtf8("è")},
        {"huge colour table", colours, RtfStatus::Ok, "x"},
        {"huge font table", fonts, RtfStatus::Ok, "y"},
        {"star outside a destination", "{\\rtf1 a\\*\\b b}", RtfStatus::Ok, "ab"},
        {"star before a group", "{\\rtf1 {\\*{x}}\\b a{\\* y}\\i b}", RtfStatus::Ok, "ab"},
        {"unclosed skipped destination", "{\\rtf1 a{\\*\\foo {{{", RtfStatus::Truncated, "a"},
        {"too large", "{\\rtf1 " + QByteArray(RtfReader::MaxInputSize, 'x') + "}",
         RtfStatus::TooLarge, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTextDocument document;
        document.setPlainText(QStringLiteral("old content"));
        const RtfReadResult result = RtfReader::read(c.input, document);
        EXPECT_EQ(result.status, c.status) << result.describe().toStdString();
        EXPECT_EQ(document.toPlainText(), c.text);
        EXPECT_FALSE(result.describe().isEmpty());
    }
    // A font entry that the next one ends still names its font.
    QTextDocument document;
    ASSERT_TRUE(RtfReader::read("{\\rtf1{\\fonttbl\\f0 A\\f1 B;}\\f0 x\\f1 y}", document).ok());
    EXPECT_EQ(familyOf(formatOf(document, QStringLiteral("x"))), "A");
    EXPECT_EQ(familyOf(formatOf(document, QStringLiteral("y"))), "B");
}

// Another program's reader sees the same text, colours and styles in what the writer wrote.
TEST(RichTextWriter, AnotherReaderSeesTheSameTextAndStyles) {
    const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    if (unrtf.isEmpty())
        GTEST_SKIP() << "unrtf is not installed (scripts/install-deps installs it)";
    std::unique_ptr<QTextDocument> chat(chatDocument());
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("chat.rtf")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(RtfWriter::write(*chat));
    file.close();
    QProcess process;
    process.start(unrtf, {QStringLiteral("--html"), file.fileName()});
    ASSERT_TRUE(process.waitForFinished(30000));
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    QTextDocument seen;
    seen.setHtml(html);
    const auto words = [](const QString &text) {
        return text.simplified().replace(QChar(0x00A0), u' ');
    };
    EXPECT_EQ(words(seen.toPlainText()), words(chat->toPlainText()));
    EXPECT_TRUE(html.contains(QStringLiteral("#808080"))) << html.toStdString(); // header grey
    EXPECT_TRUE(html.contains(QStringLiteral("#800080")));                       // received
    EXPECT_TRUE(html.contains(QStringLiteral("<b>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<i>")));
    EXPECT_TRUE(html.contains(QStringLiteral("Arial")));
}

} // namespace
