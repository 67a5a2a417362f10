#include "grid/controls/combofill.h"

#include "grid/controls/lookupitems.h"

#include <QComboBox>
#include <optional>

void FillComboFromTable(QComboBox &combo, const TClientTable &table, int keyField,
                        const QString &textField) {
    const QList<TCheckedItem> items = LookupItems(table, keyField, textField);
    std::optional<int> remembered;
    if (combo.currentIndex() >= 0)
        remembered = combo.currentData().toInt();
    for (int i = combo.count() - 1; i >= 0; --i)
        if (combo.itemData(i).toInt() != 0)
            combo.removeItem(i);
    for (const TCheckedItem &item : items)
        combo.addItem(item.text, item.key);
    const int again = remembered ? combo.findData(*remembered) : -1;
    combo.setCurrentIndex(again >= 0 ? again : (combo.count() > 0 ? 0 : -1));
}

int SelectedKey(const QComboBox &combo) {
    return combo.currentIndex() >= 0 ? combo.currentData().toInt() : 0;
}
