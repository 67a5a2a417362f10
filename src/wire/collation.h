#pragma once

#include <QByteArray>
#include <QStringView>

struct UCollator;

// The order of texts in a user's language, Czech or Slovak: letters in the order of the
// alphabet ("č" after "c", "ch" after "h", "ř" after "r"), then accents ("e" before "ě"),
// then case (a capital before its small letter). Sort keys compare byte by byte in the same
// order, so a table computes them once per text and sorts by plain byte comparison.
class TCollation {
public:
    explicit TCollation(int languageIndex);
    ~TCollation();
    TCollation(const TCollation &) = delete;
    TCollation &operator=(const TCollation &) = delete;

    // The collation of the interface language (Czech unless it is Slovak); one instance per
    // language, alive until the program ends.
    static const TCollation &Current();

    int LanguageIndex() const { return m_language; }
    // Appends the text's sort key (ending with a zero byte) to out.
    void AppendKey(QStringView text, QByteArray &out) const;
    QByteArray Key(QStringView text) const;
    // Negative, 0 or positive as a comes before, with or after b; with ignoreCase, texts that
    // differ only in case compare equal (accents still count).
    int Compare(QStringView a, QStringView b, bool ignoreCase = false) const;

private:
    int m_language;
    UCollator *m_full = nullptr;   // letters, accents, case
    UCollator *m_noCase = nullptr; // letters and accents
};
