#pragma once

#include <QByteArray>
#include <QColor>

// Draws the picture of one course-book page as JPEG bytes: a coloured title band, the page
// number in large segment digits, lines standing for text and a small illustration. It uses
// no fonts, so it needs no windowing system.
QByteArray PaintBookPage(int book, int page, const QColor &accent);
