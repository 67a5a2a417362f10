#pragma once

#include <QList>
#include <QString>

// One column of an output: the table field it shows, its heading, its width and whether it
// gets a sum in the sum line. The width is in screen pixels (a grid column's width).
struct Tdboutputsfield {
    QString name;   // field name
    int index = -1; // position of the field in the table, filled by the preparation
    QString label;  // heading
    int width = 0;  // pixels
    bool summed = false;
};

// The ordered item list handed to a writer; an empty list means every field of the table.
using Tdboutputsfields = QList<Tdboutputsfield>;
