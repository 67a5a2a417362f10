#pragma once

#include <QList>
#include <QString>

// How item texts are quoted in the selection text of a checked list.
enum TQuoteStyle { qsNone, qsSingle, qsDouble };

// One entry of a checked list: its text and the lookup table's key.
struct TCheckedItem {
    QString text;
    qint32 key = 0;
    friend bool operator==(const TCheckedItem &, const TCheckedItem &) = default;
};

// The items and check marks of a checked drop-down list with the rules of its marks (the last
// checked item stays checked unless AllowNone), the text it shows and the filter condition
// and stored positions made from the marks.
class TCheckedItems {
public:
    TCheckedItems();

    // Replaces the items (kept sorted by text when Sorted); every item becomes unchecked.
    void SetItems(const QList<TCheckedItem> &items);
    const QList<TCheckedItem> &Items() const { return m_items; }
    void Clear() { SetItems({}); }
    int Count() const { return int(m_items.size()); }

    bool Sorted() const { return m_sorted; }
    void SetSorted(bool sorted);
    TQuoteStyle QuoteStyle() const { return m_quoteStyle; }
    void SetQuoteStyle(TQuoteStyle style) { m_quoteStyle = style; }
    QString EmptyValue() const { return m_emptyValue; }
    void SetEmptyValue(const QString &text) { m_emptyValue = text; }
    QString AllValue() const { return m_allValue; }
    void SetAllValue(const QString &text) { m_allValue = text; }
    bool AllowNone() const { return m_allowNone; }
    void SetAllowNone(bool allow) { m_allowNone = allow; }

    bool Checked(int index) const { return m_checked.value(index, false); }
    int CheckedCount() const { return m_checkedCount; }
    // Sets one mark directly (no rules); out-of-range indexes are ignored.
    void SetChecked(int index, bool checked);

    // The user's operations; each returns whether any mark changed.
    // Toggles an item, except that without AllowNone the last checked item stays checked.
    bool Toggle(int index);
    // Unchecks all and checks the item (the first one when the index is out of range).
    bool SelectOne(int index);
    bool SelectAll();
    // Unchecks all; without AllowNone it selects the given item only.
    bool ClearAll(int current);
    // Inverts every mark; without AllowNone and with every item checked it selects the given
    // item only.
    bool Invert(int current);

    // AllValue when every item is checked, EmptyValue when none is, otherwise the checked
    // texts in item order, quoted by QuoteStyle, joined by ", ".
    QString SelectedText() const;
    // A condition on the field selecting the checked keys, or empty when all or none are
    // checked: "(F=1 OR F=5)" in OR form, "F IN (1,5)" in list form, "F=2" for one key.
    QString FilterCondition(const QString &fieldName, bool orForm) const;
    // Positions of the checked items joined by ";" ("0;2"); empty when none is checked.
    QString CheckedPositions() const;
    // Unchecks all, then checks each listed position that is a number within the items;
    // other entries are ignored. Works regardless of AllowNone.
    void RestoreCheckedPositions(const QString &text);

private:
    void sortItems();
    QString quoted(const QString &text) const;

    QList<TCheckedItem> m_items;
    QList<bool> m_checked;
    int m_checkedCount = 0;
    bool m_sorted = false;
    TQuoteStyle m_quoteStyle = qsNone;
    QString m_emptyValue;
    QString m_allValue;
    bool m_allowNone = false;
};
