#pragma once

#include "output/outputprogress.h"

#include <QStringList>

// Records what a writer shows in its progress window.
class TRecordingProgress : public TOutputProgress {
public:
    void Open(const QString &caption, const QString &text) override {
        ++opened;
        this->caption = caption;
        texts.append(text);
        open = true;
    }
    void SetText(const QString &text) override { texts.append(text); }
    void Close() override {
        if (open)
            ++closed;
        open = false;
    }

    int opened = 0, closed = 0;
    bool open = false;
    QString caption;
    QStringList texts;
};
