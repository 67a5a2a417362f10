#include "lang/texttables.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace texttables;

enum class Kind { Common, App };

struct Table {
    const char *name;
    const char *const *cs;
    const char *const *sk;
    int count;
};

const Table &table(Kind kind) {
    static const Table common{"common", CommonCs, CommonSk, CommonCount};
    static const Table app{"app", AppCs, AppSk, AppCount};
    return kind == Kind::Common ? common : app;
}

constexpr Kind kKinds[] = {Kind::Common, Kind::App};

// Entry n (numbered from 1) of a language's table.
std::string cs(Kind kind, int n) {
    return table(kind).cs[n - 1];
}
std::string sk(Kind kind, int n) {
    return table(kind).sk[n - 1];
}

// The format placeholders of a text, in order, as their letters ("%s%d" gives "sd"). "%%" is a
// percent sign, and so is a "%" before any other character (as in "10% - 200%").
std::string placeholders(const std::string &text) {
    std::string out;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        const char next = text[i + 1];
        if (next == 's' || next == 'd' || next == 'p')
            out += next;
        if (next == '%' || next == 's' || next == 'd' || next == 'p')
            ++i;
    }
    return out;
}

// Number of keyboard accelerators ("&x"); "&&" stands for a literal ampersand.
int accelerators(const std::string &text) {
    int count = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            ++count;
        ++i;
    }
    return count;
}

bool isValidUtf8(const std::string &text) {
    const QByteArray bytes(text.data(), qsizetype(text.size()));
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

bool endsWithBlank(const std::string &text) {
    return !text.empty() && text.back() == ' ';
}

TEST(TextTables, BothLanguagesFillTheSameEntriesWithMatchingFormat) {
    for (Kind kind : kKinds) {
        const Table &t = table(kind);
        for (int n = 1; n <= t.count; ++n) {
            SCOPED_TRACE(std::string(t.name) + " " + std::to_string(n));
            ASSERT_NE(t.cs[n - 1], nullptr);
            ASSERT_NE(t.sk[n - 1], nullptr);
            const std::string czech = cs(kind, n);
            const std::string slovak = sk(kind, n);
            EXPECT_EQ(czech.empty(), slovak.empty());
            EXPECT_EQ(placeholders(czech), placeholders(slovak));
            EXPECT_EQ(accelerators(czech), accelerators(slovak));
            // Texts followed by a value on screen keep their separating blank.
            EXPECT_EQ(endsWithBlank(czech), endsWithBlank(slovak));
            EXPECT_TRUE(isValidUtf8(czech));
            EXPECT_TRUE(isValidUtf8(slovak));
        }
    }
}

TEST(TextTables, UnusedEntriesAreExactlyTheEmptyRanges) {
    // First and last number of each run of unused entries.
    using Ranges = std::vector<std::pair<int, int>>;
    const std::pair<Kind, Ranges> cases[] = {
        {Kind::Common, {{120, 120}, {128, 129}, {134, 139}, {147, 149}, {156, 159}, {162, 199}}},
        {Kind::App, {{8, 9},     {20, 24},   {34, 39},   {72, 79},   {93, 99},   {106, 109},
                     {116, 119}, {127, 129}, {138, 140}, {154, 159}, {172, 179}, {188, 199},
                     {206, 209}, {213, 215}, {228, 229}, {233, 234}, {287, 289}, {302, 305},
                     {333, 334}, {368, 369}, {388, 389}, {436, 449}}},
    };
    for (const auto &[kind, ranges] : cases) {
        const Table &t = table(kind);
        for (int n = 1; n <= t.count; ++n) {
            bool unused = false;
            for (const auto &[first, last] : ranges)
                unused = unused || (n >= first && n <= last);
            EXPECT_EQ(cs(kind, n).empty(), unused) << t.name << " " << n;
            EXPECT_EQ(sk(kind, n).empty(), unused) << t.name << " " << n;
        }
    }
}

TEST(TextTables, EntriesHoldTheirExactTexts) {
    struct Case {
        Kind kind;
        int number;
        const char *czech;
        const char *slovak; // nullptr: not checked here
    };
    const Case cases[] = {
        {Kind::Common, 1, "&OK", "&OK"},
        {Kind::Common, 2, "&Zrušit", "&Zrušiť"},
        {Kind::Common, 20, "'%s' není platná hodnota reálného čísla pro položku '%s'",
         "'%s' nie je platná hodnota reálneho čísla pre položku '%s'"},
        {Kind::Common, 61, "Počet záznamů: ", nullptr},
        {Kind::Common, 71, "Šablona s názvem \"%s\" již existuje. Přejete si ji přepsat?", nullptr},
        {Kind::Common, 79, "'%s' není platné datum a čas", "'%s' nie je platný dátum a čas"},
        {Kind::Common, 92, "Ctrl+Home-Na začátek", nullptr},
        {Kind::Common, 95, "Ctrl+End-Poslední", nullptr},
        {Kind::Common, 112, "Vytváří se strana %p", nullptr},
        {Kind::Common, 122, "Z&oom: %d%% ", "Z&oom: %d%% "},
        {Kind::Common, 126, "Zoom (10% - 200%):", nullptr},
        {Kind::Common, 161, "&Načíst standardní nastavení", nullptr},
        {Kind::App, 1, "Přidat nové termíny", nullptr},
        {Kind::App, 141, "Chyba - neplatné přihlašovací jméno, heslo nebo session.",
         "Chyba - neplatné prihlasovacie meno, heslo alebo session."},
        {Kind::App, 151, "Přenos dat : %d%% hotovo (%d kB z %d kB)",
         "Prenos dát : %d%% hotovo (%d kB z %d kB)"},
        {Kind::App, 160, "Přihlášený uživatel:", "Prihlásený užívateľ:"},
        {Kind::App, 165,
         "Nemáte zadané přihlašovací jméno a heslo. Zadáte je pomocí kliknutí na ikonu "
         "\"Nastavení\".",
         "Nemáte zadané prihlasovacie meno a heslo. Zadáte ich pomocou kliknutia na ikonu "
         "\"Nastavenie\"."},
        {Kind::App, 187, "Změna nastavení jazyka se projeví až po restartu programu.",
         "Zmena nastavenia jazyka sa prejaví až po reštarte programu."},
        {Kind::App, 227, "Žádné připojení přes proxy server nebylo nalezeno.",
         "Žiadne pripojenie cez proxy server nebolo nájdené."},
        {Kind::App, 274, "Kniha: ", nullptr},
        {Kind::App, 435, "Datum vypršení hodin", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(table(c.kind).name) + " " + std::to_string(c.number));
        EXPECT_EQ(cs(c.kind, c.number), c.czech);
        if (c.slovak) {
            EXPECT_EQ(sk(c.kind, c.number), c.slovak);
        }
    }
}

TEST(TextTables, ListEntriesSplitIntoTheirItems) {
    struct Case {
        Kind kind;
        int number;
        qsizetype items;
    };
    const Case cases[] = {
        {Kind::Common, 22, 10}, {Kind::Common, 23, 10}, {Kind::Common, 47, 5},
        {Kind::Common, 54, 3},  {Kind::App, 225, 3},
    };
    for (const Case &c : cases) {
        const Table &t = table(c.kind);
        for (const char *text : {t.cs[c.number - 1], t.sk[c.number - 1]}) {
            SCOPED_TRACE(std::string(t.name) + " " + std::to_string(c.number) + ": " + text);
            const QStringList items = QString::fromUtf8(text).split(u';');
            EXPECT_EQ(items.size(), c.items);
            for (const QString &item : items)
                EXPECT_FALSE(item.trimmed().isEmpty());
        }
    }
    EXPECT_EQ(QString::fromUtf8(AppSk[225 - 1]).split(u';').at(1),
              QStringLiteral("Alternatívna SSL komunikácia cez port 7443"));
}

TEST(TextTables, PlaceholdersAreReadInOrder) {
    const std::pair<const char *, const char *> cases[] = {
        {CommonCs[20 - 1], "ss"},  {CommonCs[112 - 1], "p"}, {CommonCs[122 - 1], "d"},
        {CommonCs[124 - 1], "dd"}, {CommonCs[126 - 1], ""},  {AppCs[151 - 1], "ddd"},
        {AppCs[152 - 1], "ss"},    {AppSk[166 - 1], "ss"},   {AppCs[283 - 1], "d"},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(placeholders(text), expected) << text;
}

} // namespace
