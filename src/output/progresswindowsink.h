#pragma once

#include "output/outputprogress.h"

class Tfprogress;

// Shows a writer's progress in the progress window over the active window.
class TProgressWindowSink : public TOutputProgress {
public:
    ~TProgressWindowSink() override;
    void Open(const QString &caption, const QString &text) override;
    void SetText(const QString &text) override;
    void Close() override;

private:
    Tfprogress *m_window = nullptr;
};
