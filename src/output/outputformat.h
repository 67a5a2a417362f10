#pragma once

#include "output/outputrequest.h"

#include <QList>
#include <QString>

class TClientTable;
class TOutputProgress;

// Kinds of table fields, as a format keeps them in its file.
enum TOutputFieldKind : unsigned {
    ofkText = 1,
    ofkNumber = 2, // integer, float, currency, decimal
    ofkDate = 4,   // date, time, date and time
    ofkAll = ofkText | ofkNumber | ofkDate,
};

// One entry of the output-format registry: what the definition dialog offers and what it
// runs. The id is stored in templates and never changes; the caption is a text number (and
// a line of it when the text holds several captions).
struct TOutputFormat {
    using Writer = bool (*)(TClientTable &table, const TOutputRequest &request,
                            TOutputProgress *progress);

    QString id;
    int captionText = 0;
    int captionLine = -1; // -1: the whole text
    QList<TOutputParam> params;
    // The largest list the format holds: records (0: no limit) and items.
    qint64 maxRecords = 0;
    int maxItems = 0;
    // The field kinds the file keeps as what they are; the others become text.
    unsigned typedKinds = ofkText;
    Writer write = nullptr;

    bool Takes(TOutputParam param) const { return params.contains(param); }
    QString Caption() const;
};
