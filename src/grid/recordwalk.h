#pragma once

#include "data/clienttable.h"

#include <functional>

// Walks every record of a table that passes its filter, in the current order: detaches the
// after-scroll handler, freezes the bound controls, bookmarks the current record and shows
// the busy cursor; all of it is restored afterwards, also when the visit raises.
void WalkRecords(TClientTable &table, const std::function<void()> &visit);

// The number of records visible through the table's filter, counted by a walk.
int CountRecords(TClientTable &table);
