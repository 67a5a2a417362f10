// Every text a user reads comes from the language tables: the program's sources hold no
// Czech or Slovak literal outside them, and no literal goes straight into a caption, label,
// hint or menu item.
#include "lang/owntexts.h"
#include "lang/texts.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

struct Literal {
    int line;
    QString text;
    QString before; // the code in front of it on its statement
};

// The string literals of a C++ source outside comments, with the code before each.
QList<Literal> StringLiterals(const QString &source) {
    QList<Literal> literals;
    QString code; // the current statement without comments and literals
    int line = 1;
    for (qsizetype i = 0; i < source.size(); ++i) {
        const QChar c = source[i];
        const QChar next = i + 1 < source.size() ? source[i + 1] : QChar();
        if (c == u'\n')
            ++line;
        if (c == u'/' && next == u'/') {
            while (i < source.size() && source[i] != u'\n')
                ++i;
            ++line;
            continue;
        }
        if (c == u'/' && next == u'*') {
            const qsizetype end = source.indexOf(QLatin1String("*/"), i + 2);
            line += int(source.mid(i, (end < 0 ? source.size() : end) - i).count(u'\n'));
            i = end < 0 ? source.size() : end + 1;
            continue;
        }
        if (c == u'\'') { // a character literal
            i += source[i + 1] == u'\\' ? 3 : 2;
            while (i < source.size() && source[i] != u'\'')
                ++i;
            continue;
        }
        if (c == u'"') {
            QString text;
            bool raw = i > 0 && source[i - 1] == u'R';
            if (raw) {
                const qsizetype open = source.indexOf(u'(', i);
                const QString end = u')' + source.mid(i + 1, open - i - 1) + u'"';
                const qsizetype close = source.indexOf(end, open);
                text = source.mid(open + 1, close - open - 1);
                line += int(source.mid(i, close - i).count(u'\n'));
                i = close + end.size() - 1;
            } else {
                for (++i; i < source.size() && source[i] != u'"'; ++i) {
                    if (source[i] == u'\\')
                        text += source[i++];
                    text += source[i];
                }
            }
            literals.append({line, text, code.right(120)});
            code += QLatin1String("\"\"");
            continue;
        }
        code += c;
        if (c == u';' || c == u'{' || c == u'}')
            code.clear();
    }
    return literals;
}

// Letters that a user would read: the literal without markup and placeholders.
bool HasWords(QString text) {
    static const QRegularExpression markup(QStringLiteral("<[^>]*>|%\\d|%[sd%]|\\\\[nrt]"));
    text.remove(markup);
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{2}"));
    return text.contains(word);
}

QString SourceFolder() {
    return QStringLiteral(TELLAVO_SOURCE_DIR);
}

} // namespace

TEST(SourceTexts, NoUserTextOutsideTheLanguageTables) {
    static const QRegularExpression shownBy(QStringLiteral(
        "(setText|setWindowTitle|setToolTip|setStatusTip|setWhatsThis|setPlaceholderText|"
        "setTitle|addAction|addMenu|setAccessibleName|setAccessibleDescription|setLabelText|"
        "setPrefix|setSuffix|setSpecialValueText|addItem|addTab|insertItem|showMessage|"
        "new (QLabel|QPushButton|QToolButton|QCheckBox|QRadioButton|QGroupBox|QAction|QMenu))"
        "\\s*\\(\\s*(\\w+\\s*\\?\\s*)?(QStringLiteral|QString::fromUtf8|QLatin1String|tr)?\\s*"
        "\\(?\\s*$"));
    // Names that read the same in every language.
    const QStringList sameEverywhere = {QStringLiteral("Tellavo"), QStringLiteral("OK")};
    // Literals that are stored data rather than text for the user: the summed-item marker of
    // output templates reads the same whichever language wrote the template.
    const QList<QPair<QString, QString>> storedForms = {
        {QStringLiteral("output/outputtemplate.h"), QStringLiteral(" (sčítat)")}};
    const QStringList tables = {QStringLiteral("lang/texttables_cs.cpp"),
                                QStringLiteral("lang/texttables_sk.cpp"),
                                QStringLiteral("lang/owntexts.cpp"),
                                QStringLiteral("lang/bookingtexts.cpp"),
                                QStringLiteral("lang/slovakbuttonwords.cpp")};
    QStringList found;
    int files = 0;
    QDirIterator it(SourceFolder(), {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = path.mid(SourceFolder().size() + 1);
        if (tables.contains(name))
            continue;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        ++files;
        for (const Literal &literal : StringLiterals(QString::fromUtf8(file.readAll()))) {
            // Letters beyond ASCII are Czech or Slovak words; symbols (arrows, dashes) are not.
            const bool national =
                std::any_of(literal.text.begin(), literal.text.end(),
                            [](QChar c) { return c.unicode() > 0x7f && c.isLetter(); }) &&
                !storedForms.contains({name, literal.text});
            const bool shown = literal.before.contains(shownBy) && HasWords(literal.text) &&
                               !sameEverywhere.contains(literal.text);
            if (national || shown)
                found.append(
                    QStringLiteral("%1:%2: \"%3\"").arg(name).arg(literal.line).arg(literal.text));
        }
    }
    EXPECT_GT(files, 50) << "the sources were not found in " << SourceFolder().toStdString();
    EXPECT_TRUE(found.isEmpty()) << "texts to move into the language tables (own texts):\n"
                                 << found.join(u'\n').toStdString();
}

// The program's own texts: numbers in their range, both languages filled, the same
// placeholders in the same order.
TEST(SourceTexts, OwnTextsHaveBothLanguagesWithTheSamePlaceholders) {
    static const QRegularExpression placeholder(QStringLiteral("%(\\d|s|d)"));
    auto placeholders = [](const QString &text) {
        QStringList list;
        for (auto match = placeholder.globalMatch(text); match.hasNext();)
            list.append(match.next().captured());
        return list;
    };
    int count = 0;
    for (int number = texttables::OwnTextFirst; number <= texttables::OwnTextLast; ++number) {
        const texttables::OwnText *own = texttables::FindOwnText(number);
        if (!own)
            continue;
        ++count;
        const QString cs = QString::fromUtf8(own->cs), sk = QString::fromUtf8(own->sk);
        EXPECT_FALSE(cs.isEmpty() || sk.isEmpty()) << number;
        EXPECT_EQ(placeholders(cs), placeholders(sk)) << number;
        SetLanguageIndex(LangSlovak);
        EXPECT_EQ(AppText(number), sk) << number;
        SetLanguageIndex(LangCzech);
        EXPECT_EQ(AppText(number), cs) << number;
    }
    EXPECT_GT(count, 20);
}
