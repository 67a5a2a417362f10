#include "grid/frameletters.h"

#include "grid/gridframe.h"

#include <QApplication>
#include <QPointer>
#include <QToolButton>

namespace {

const char *const LetterCaption = "tellavoLetterCaption";

// Shows the button's caption with its "&" letter, or without it (then it is no shortcut).
void showLetter(QToolButton *button, bool on) {
    QVariant stored = button->property(LetterCaption);
    if (!stored.isValid()) {
        stored = button->text();
        button->setProperty(LetterCaption, stored);
    }
    QString caption = stored.toString();
    if (!on)
        caption.remove(u'&');
    if (button->text() != caption)
        button->setText(caption);
}

} // namespace

void UpdateFrameLetters(QWidget *window) {
    if (!window)
        return;
    QList<Tfrg *> shown;
    for (Tfrg *frame : window->findChildren<Tfrg *>())
        if (frame->isVisible())
            shown.append(frame);
    Tfrg *owner = shown.isEmpty() ? nullptr : shown.first();
    const QWidget *focus = QApplication::focusWidget();
    for (Tfrg *frame : std::as_const(shown))
        if (focus && frame->isAncestorOf(focus))
            owner = frame;
    for (Tfrg *frame : window->findChildren<Tfrg *>())
        for (QToolButton *button : {frame->spbfind, frame->spbfilter, frame->spboutput})
            showLetter(button, frame == owner);
}

void FollowFrameLetters(Tfrg *frame) {
    QPointer<Tfrg> guarded(frame);
    QObject::connect(qApp, &QApplication::focusChanged, frame, [guarded](QWidget *, QWidget *now) {
        if (guarded && now && guarded->window() == now->window() && guarded->isVisible())
            UpdateFrameLetters(guarded->window());
    });
}
