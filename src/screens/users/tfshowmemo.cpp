#include "screens/users/tfshowmemo.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

Tfshowmemo::Tfshowmemo(const QString &title, const QString &text, QWidget *parent)
    : QDialog(parent), memo(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("fshowmemo"));
    setWindowTitle(title);
    memo->setObjectName(QStringLiteral("memo"));
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setPlainText(text);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(memo);
    resize(600, 310);
}
