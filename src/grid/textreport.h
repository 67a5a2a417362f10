#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A document of text for the report engine: a title, a line under it, and sections of a heading
// and lines of text (long lines wrap). Screens that need such a document as PDF (the notes of a
// lesson) fill it and hand it to the service that writes it.
struct TTextReport {
    struct Section {
        QString heading;
        QStringList lines;
    };
    QString title;
    QString subtitle;
    QList<Section> sections;
};
