#pragma once

#include <QList>
#include <QString>
#include <functional>

// One column as the report's width asks for it: the width the grid gives it, the least it may
// take, and whether it may be narrowed at all below that width (numbers may not).
struct TColumnNeed {
    QString label;
    double natural = 0; // inches
    double minimum = 0; // inches: the widest number, the longest heading word, a readable least
};

// Where a column ends up: its left edge and width in inches, or left out (width 0).
struct TColumnPlace {
    double left = 0, width = 0;
    bool placed = true;
};

// Fits columns to a body width: columns wider than needed keep their widths while they fit;
// otherwise every column gives up width in proportion to what it has above its minimum, down
// to that minimum; columns that still do not fit are left out, from the right. gap: inches
// between two columns.
QList<TColumnPlace> FitColumns(const QList<TColumnNeed> &needs, double bodyWidth, double gap);
