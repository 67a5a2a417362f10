#include "grid/controls/checkeditems.h"

#include "wire/collation.h"
#include "lang/texts.h"
#include "lang/textutil.h"

#include <algorithm>

TCheckedItems::TCheckedItems() : m_emptyValue(CommonText(132)), m_allValue(CommonText(131)) {}

void TCheckedItems::SetItems(const QList<TCheckedItem> &items) {
    m_items = items;
    if (m_sorted)
        sortItems();
    m_checked = QList<bool>(m_items.size(), false);
    m_checkedCount = 0;
}

void TCheckedItems::SetSorted(bool sorted) {
    if (m_sorted == sorted)
        return;
    m_sorted = sorted;
    if (sorted)
        SetItems(m_items);
}

void TCheckedItems::sortItems() {
    const TCollation &collation = TCollation::Current(); // the tables' order of texts
    std::stable_sort(m_items.begin(), m_items.end(),
                     [&](const TCheckedItem &a, const TCheckedItem &b) {
                         return collation.Compare(a.text, b.text, true) < 0;
                     });
}

void TCheckedItems::SetChecked(int index, bool checked) {
    if (index < 0 || index >= Count() || m_checked[index] == checked)
        return;
    m_checked[index] = checked;
    m_checkedCount += checked ? 1 : -1;
}

bool TCheckedItems::Toggle(int index) {
    if (index < 0 || index >= Count())
        return false;
    if (m_checked[index] && m_checkedCount == 1 && !m_allowNone)
        return false;
    SetChecked(index, !m_checked[index]);
    return true;
}

bool TCheckedItems::SelectOne(int index) {
    if (Count() == 0)
        return false;
    if (index < 0 || index >= Count())
        index = 0;
    const bool already = m_checkedCount == 1 && m_checked[index];
    for (int i = 0; i < Count(); ++i)
        SetChecked(i, i == index);
    return !already;
}

bool TCheckedItems::SelectAll() {
    const bool changed = m_checkedCount != Count();
    for (int i = 0; i < Count(); ++i)
        SetChecked(i, true);
    return changed;
}

bool TCheckedItems::ClearAll(int current) {
    if (!m_allowNone)
        return SelectOne(current);
    const bool changed = m_checkedCount != 0;
    for (int i = 0; i < Count(); ++i)
        SetChecked(i, false);
    return changed;
}

bool TCheckedItems::Invert(int current) {
    if (Count() == 0)
        return false;
    if (!m_allowNone && m_checkedCount == Count())
        return SelectOne(current);
    for (int i = 0; i < Count(); ++i)
        SetChecked(i, !m_checked[i]);
    return true;
}

QString TCheckedItems::quoted(const QString &text) const {
    switch (m_quoteStyle) {
    case qsSingle:
        return u'\'' + text + u'\'';
    case qsDouble:
        return u'"' + text + u'"';
    case qsNone:
        break;
    }
    return text;
}

QString TCheckedItems::SelectedText() const {
    if (m_checkedCount == 0)
        return m_emptyValue;
    if (m_checkedCount == Count())
        return m_allValue;
    QStringList texts;
    for (int i = 0; i < Count(); ++i)
        if (m_checked[i])
            texts.append(quoted(m_items[i].text));
    return texts.join(QStringLiteral(", "));
}

QString TCheckedItems::FilterCondition(const QString &fieldName, bool orForm) const {
    if (m_checkedCount == 0 || m_checkedCount == Count())
        return QString();
    QStringList keys;
    for (int i = 0; i < Count(); ++i)
        if (m_checked[i])
            keys.append(QString::number(m_items[i].key));
    if (keys.size() == 1)
        return fieldName + u'=' + keys.first();
    if (!orForm)
        return fieldName + QStringLiteral(" IN (") + keys.join(u',') + u')';
    QStringList terms;
    for (const QString &key : keys)
        terms.append(fieldName + u'=' + key);
    return u'(' + terms.join(QStringLiteral(" OR ")) + u')';
}

QString TCheckedItems::CheckedPositions() const {
    QStringList positions;
    for (int i = 0; i < Count(); ++i)
        if (m_checked[i])
            positions.append(QString::number(i));
    return positions.join(u';');
}

void TCheckedItems::RestoreCheckedPositions(const QString &text) {
    for (int i = 0; i < Count(); ++i)
        SetChecked(i, false);
    if (text.isEmpty())
        return;
    for (const QString &entry : text.split(u';')) {
        const std::optional<int> position = ParseInteger(entry);
        if (position && *position >= 0 && *position < Count())
            SetChecked(*position, true);
    }
}
