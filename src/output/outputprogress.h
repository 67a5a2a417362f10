#pragma once

#include <QString>

// Where a writer reports its progress: a window with a caption and a text line while it
// works. The program shows the progress window; without one nothing is shown.
class TOutputProgress {
public:
    virtual ~TOutputProgress() = default;
    virtual void Open(const QString &caption, const QString &text) = 0;
    virtual void SetText(const QString &text) = 0;
    virtual void Close() = 0;
};

// Shows nothing.
class TNoOutputProgress : public TOutputProgress {
public:
    void Open(const QString &, const QString &) override {}
    void SetText(const QString &) override {}
    void Close() override {}
};

// Keeps the progress open for its lifetime, so it closes whichever way the work ends.
class TProgressScope {
public:
    TProgressScope(TOutputProgress &progress, const QString &caption, const QString &text)
        : m_progress(progress) {
        m_progress.Open(caption, text);
    }
    ~TProgressScope() { m_progress.Close(); }
    TProgressScope(const TProgressScope &) = delete;
    TProgressScope &operator=(const TProgressScope &) = delete;
    void SetText(const QString &text) { m_progress.SetText(text); }

private:
    TOutputProgress &m_progress;
};
