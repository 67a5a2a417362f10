#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Marks a summed item in a stored template: the same in every language, so that a template
// reads the same whichever language wrote it.
inline const QString kSumMarker = QStringLiteral(" (sčítat)");

// Marks a summed item in the definition dialog's item list, in the user's language.
QString SumMarkerShown();

// One entry of the definition dialog's item list: a grid column, whether it goes into the
// output and whether it is summed.
struct TOutputListItem {
    QString fieldName;
    QString caption; // the column's title caption
    bool checked = false;
    bool summed = false;

    // The entry's text: the caption, with the sum marker when summed.
    QString Text() const { return summed ? caption + SumMarkerShown() : caption; }
};

// The settings of a stored output template: the output format's stable id, title, the three
// flags, paper orientation and the checked items in order (field names, summed ones with the
// marker). Templates of earlier versions stored the format as its position in a fixed list of
// five; they are read as the format at that position.
struct TOutputTemplate {
    QString format = QStringLiteral("preview");
    QString title;
    bool timeStamp = true;
    bool filter = true;
    bool recordCount = true;
    int orientation = 0;
    QStringList items;

    // Reads a stored value as far as it goes: missing parts are empty, numbers that are not
    // numbers are 0, flags are on unless they read 0.
    static TOutputTemplate Parse(const QString &value);
    // A stored value with the format as a position (the earlier form) in the current form;
    // any other value as it is.
    static QString Upgraded(const QString &value);
    // The format at a position of the earlier form's list (preview for other numbers).
    static QString FormatAtPosition(int position);
    // The stored value; ";" and "|" in the title become ",".
    QString Value() const;

    // The checked items of a list in list order, as a template stores them.
    static QStringList ItemsOf(const QList<TOutputListItem> &list);
    // Checks the template's items in the list and brings them into the template's order:
    // every entry is first unchecked, names that match no entry are skipped, and unchecked
    // entries keep their relative places.
    void ApplyItems(QList<TOutputListItem> &list) const;
};
