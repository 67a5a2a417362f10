#include "output/outputformat.h"

#include "lang/texts.h"
#include "lang/textutil.h"

QString TOutputFormat::Caption() const {
    const QString text = captionText < 1000 ? CommonText(captionText) : AppText(captionText);
    if (captionLine < 0)
        return text;
    QStringList lines;
    TextToLines(text, lines);
    return lines.value(captionLine);
}
