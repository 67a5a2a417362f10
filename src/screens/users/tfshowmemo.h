#pragma once

#include <QDialog>

class QPlainTextEdit;

// A read-only text in a window of its own (an e-mail's body): no word wrap, both scroll bars.
class Tfshowmemo : public QDialog {
    Q_OBJECT
public:
    Tfshowmemo(const QString &title, const QString &text, QWidget *parent = nullptr);

    QPlainTextEdit *memo;
};
