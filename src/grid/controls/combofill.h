#pragma once

#include <QString>

class QComboBox;
class TClientTable;

// Refills a drop-down list from a lookup table, keeping the entries with key 0 (such as an
// "all" entry the screen puts first) and the selection by key: one entry per record (text as
// text, key as integer in the entry's data); the entry with the previously selected key is
// selected again, else the first entry.
void FillComboFromTable(QComboBox &combo, const TClientTable &table, int keyField,
                        const QString &textField);
// The key of the selected entry; 0 when nothing is selected.
int SelectedKey(const QComboBox &combo);
