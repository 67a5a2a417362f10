#pragma once

#include <QWidget>

class QLabel;
class QMenu;
class QToolButton;

// The lesson screen's classroom column: the student's look-around button, the pointer and the
// highlighter, wiping the marks, the teacher's permission for the student to draw, and a line
// that says whether the student is on the teacher's page; the teacher's button that sends the
// lesson's notes, and the student's list of the notes he got.
class TClassroomBar : public QWidget {
    Q_OBJECT
public:
    explicit TClassroomBar(QWidget *parent = nullptr);

    QLabel *lbstate;
    QToolButton *spblookaround, *spbpointer, *spbhighlight, *spbclear, *spballowdraw,
        *spbsendnotes, *spbnotes;
    QMenu *pmnotes;

    void setCaptions();
    // The look-around button's caption: leaving the teacher's page or coming back to it.
    void showLookingAround(bool looking);
};
