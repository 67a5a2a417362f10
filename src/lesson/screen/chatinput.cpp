#include "chatinput.h"

#include <QKeyEvent>

TChatInput::TChatInput(QWidget *parent) : QPlainTextEdit(parent) {}

void TChatInput::keyPressEvent(QKeyEvent *event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::ControlModifier && canSend && canSend()) {
        event->accept();
        if (send)
            send();
        return;
    }
    // Ctrl with another modifier and Enter does nothing rather than inserting a line.
    if (enter && (modifiers & Qt::ControlModifier))
        return;
    QPlainTextEdit::keyPressEvent(event);
}
