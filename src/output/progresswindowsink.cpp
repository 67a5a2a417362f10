#include "output/progresswindowsink.h"

#include "grid/dialogs/progresswindow.h"

TProgressWindowSink::~TProgressWindowSink() {
    CloseProgress(m_window);
}

void TProgressWindowSink::Open(const QString &caption, const QString &text) {
    CloseProgress(m_window);
    m_window = OpenProgress(caption, text, 0);
}

void TProgressWindowSink::SetText(const QString &text) {
    if (m_window)
        SetProgressText(m_window, text);
}

void TProgressWindowSink::Close() {
    CloseProgress(m_window);
}
