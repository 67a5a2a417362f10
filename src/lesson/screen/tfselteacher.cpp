#include "tfselteacher.h"

#include "lang/texts.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

Tfselteacher::Tfselteacher(const QList<OnlineTeacher> &teachers, QWidget *parent)
    : QDialog(parent), ComboBox1(new QComboBox(this)), btnok(new QPushButton(CommonText(1), this)),
      btncancel(new QPushButton(CommonText(2), this)) {
    setObjectName(QStringLiteral("fselteacher"));
    setWindowTitle(AppText(230));
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    for (const OnlineTeacher &teacher : teachers)
        ComboBox1->addItem(teacher.name, teacher.id);
    ComboBox1->setCurrentIndex(teachers.isEmpty() ? -1 : 0);
    btnok->setDefault(true);
    connect(btnok, &QPushButton::clicked, this, &QDialog::accept);
    connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(AppText(231), this));
    layout->addWidget(new QLabel(AppText(232), this));
    layout->addWidget(ComboBox1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnok);
    buttons->addWidget(btncancel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int Tfselteacher::Choose(const QList<OnlineTeacher> &teachers, QWidget *parent) {
    Tfselteacher dialog(teachers, parent);
    dialog.adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        dialog.move(screen->availableGeometry().center() - dialog.rect().center());
    return dialog.exec() == QDialog::Accepted ? dialog.ComboBox1->currentIndex() : -1;
}
