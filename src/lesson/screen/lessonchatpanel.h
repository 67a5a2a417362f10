#pragma once

#include <QByteArray>
#include <QSplitter>
#include <QStringList>

class QTextEdit;
class TChatInput;

// The chat of the lesson screen: the read-only history above, the input below. It keeps
// whether the history was loaded and whether it changed since it was loaded or saved.
class TLessonChatPanel : public QSplitter {
    Q_OBJECT
public:
    explicit TLessonChatPanel(int height, QWidget *parent = nullptr);

    QTextEdit *memoread;
    TChatInput *Memowrite;

    // Adds a message under its header at the end of the history and scrolls to it.
    void addMessage(const QString &header, const QStringList &lines, bool received);
    // Replaces the history by a stored one (rich text); false when it could not be read
    // completely (what was read is shown).
    bool loadHistory(const QByteArray &rtf);
    // The history as rich text for storing.
    QByteArray historyRtf() const;
    // Empties the history and forgets that it was loaded.
    void forgetHistory();
    void scrollToEnd();

    bool loaded() const { return m_loaded; }
    bool changed() const { return m_changed; }
    void setLoaded(bool loaded) { m_loaded = loaded; }
    void setChanged(bool changed) { m_changed = changed; }

private:
    bool m_loaded = false;
    bool m_changed = false;
};
