#pragma once

#include "output/outputformat.h"

#include <QList>
#include <QString>

// The output formats the definition dialog offers, in the order it shows them. Adding a
// format is one entry here plus its writer.
const QList<TOutputFormat> &OutputFormats();
// The format of a stable id, or nullptr.
const TOutputFormat *FindOutputFormat(const QString &id);
// Runs the format's writer on the table; false when its dialog was cancelled.
bool RunOutput(TClientTable &table, const TOutputFormat &format, const TOutputRequest &request,
               TOutputProgress *progress);
