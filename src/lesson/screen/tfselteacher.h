#pragma once

#include "lesson/relay/lessonchannelhost.h"

#include <QDialog>

class QComboBox;
class QPushButton;

// The student's choice of the teacher to connect to when several are on line: a small fixed
// dialog with the teachers' names in the order given (by name), the first one selected.
class Tfselteacher : public QDialog {
    Q_OBJECT
public:
    explicit Tfselteacher(const QList<OnlineTeacher> &teachers, QWidget *parent = nullptr);

    QComboBox *ComboBox1;
    QPushButton *btnok;
    QPushButton *btncancel;

    // Shows the dialog modally; the index of the chosen teacher, or -1 when cancelled.
    static int Choose(const QList<OnlineTeacher> &teachers, QWidget *parent = nullptr);
};
