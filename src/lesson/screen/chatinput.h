#pragma once

#include <QPlainTextEdit>
#include <functional>

// The chat input: plain multi-line text where Enter starts a new line and Ctrl+Enter, with
// Ctrl as the only modifier, sends (the key press is consumed only when sending is possible).
class TChatInput : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TChatInput(QWidget *parent = nullptr);

    // Asked on Ctrl+Enter: whether sending is possible now, and the send itself.
    std::function<bool()> canSend;
    std::function<void()> send;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
