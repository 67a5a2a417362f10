#include "grid/dialogs/inputex.h"

#include "seam/seam.h"
#include "lang/texts.h"
#include "seam/widgetseam.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kWidth = 320;
constexpr int kTwoFieldHeight = 170;
constexpr int kOneFieldHeight = 130;
constexpr int kTwoFieldButtonsTop = 106;
constexpr int kOneFieldButtonsTop = 67;

} // namespace

Tfinputex::Tfinputex(QWidget *parent)
    : QDialog(parent), lb1(new QLabel(this)), ed1(new QLineEdit(this)), lb2(new QLabel(this)),
      ed2(new QLineEdit(this)), btnok(new QPushButton(CommonText(1), this)),
      btncancel(new QPushButton(CommonText(2), this)) {
    setObjectName(QStringLiteral("finputex"));
    lb1->setGeometry(10, 8, kWidth - 20, 16);
    ed1->setGeometry(10, 26, kWidth - 20, 22);
    lb2->setGeometry(10, 54, kWidth - 20, 16);
    ed2->setGeometry(10, 72, kWidth - 20, 22);
    lb1->setBuddy(ed1);
    lb2->setBuddy(ed2);
    btnok->setDefault(true);
    btnok->setGeometry(kWidth - 180, kTwoFieldButtonsTop, 80, 26);
    btncancel->setGeometry(kWidth - 90, kTwoFieldButtonsTop, 80, 26);
    setFixedSize(kWidth, kTwoFieldHeight);
    connect(btnok, &QPushButton::clicked, this, &QDialog::accept);
    connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfinputex::Setup(const QString &caption, const QString &prompt1, const QString &prompt2,
                      const QString &value1, const QString &value2, bool mask1, bool mask2) {
    setWindowTitle(caption);
    lb1->setText(prompt1);
    lb2->setText(prompt2);
    ed1->setText(value1);
    ed2->setText(value2);
    ed1->setEchoMode(mask1 ? QLineEdit::Password : QLineEdit::Normal);
    ed2->setEchoMode(mask2 ? QLineEdit::Password : QLineEdit::Normal);
    const bool single = prompt2.isEmpty();
    lb2->setVisible(!single);
    ed2->setVisible(!single);
    const int top = single ? kOneFieldButtonsTop : kTwoFieldButtonsTop;
    btnok->move(btnok->x(), top);
    btncancel->move(btncancel->x(), top);
    setFixedSize(kWidth, single ? kOneFieldHeight : kTwoFieldHeight);
    if (!value1.isEmpty() && value2.isEmpty() && !single)
        ed2->setFocus();
    else
        ed1->setFocus();
}

bool InputEx(const QString &caption, const QString &prompt1, const QString &prompt2,
             QString &value1, QString &value2, bool mask1, bool mask2) {
    if (dynamic_cast<WidgetSeam *>(&CurrentSeam())) {
        Tfinputex dialog(QApplication::activeWindow());
        dialog.Setup(caption, prompt1, prompt2, value1, value2, mask1, mask2);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        value1 = dialog.ed1->text();
        value2 = dialog.ed2->text();
        return true;
    }
    QString first = value1;
    QString second = value2;
    if (!CurrentSeam().inputText(caption, prompt1, first))
        return false;
    if (!prompt2.isEmpty() && !CurrentSeam().inputText(caption, prompt2, second))
        return false;
    value1 = first;
    value2 = second;
    return true;
}
