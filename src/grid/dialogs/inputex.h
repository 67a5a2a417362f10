#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// A prompt for one or two values (template names, page numbers, zoom values), either of
// which may be masked; shrinks to a single field when there is no second prompt.
class Tfinputex : public QDialog {
    Q_OBJECT
public:
    explicit Tfinputex(QWidget *parent = nullptr);

    QLabel *lb1;
    QLineEdit *ed1;
    QLabel *lb2;
    QLineEdit *ed2;
    QPushButton *btnok;
    QPushButton *btncancel;

    // Fills caption, prompts and values and applies the masks and the one-field layout.
    void Setup(const QString &caption, const QString &prompt1, const QString &prompt2,
               const QString &value1, const QString &value2, bool mask1, bool mask2);
};

// Asks for one or two values; true when confirmed, and only then are the values changed.
// The running program shows the dialog above; otherwise the installed seam answers each
// prompt in turn.
bool InputEx(const QString &caption, const QString &prompt1, const QString &prompt2,
             QString &value1, QString &value2, bool mask1 = false, bool mask2 = false);
