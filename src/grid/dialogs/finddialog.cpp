#include "grid/dialogs/finddialog.h"

#include "grid/dialogs/findcheck.h"
#include "errors/apperror.h"
#include "seam/guard.h"
#include "lang/texts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Tffrmfind::Tffrmfind(QWidget *parent)
    : QDialog(parent), lb(new QLabel(this)), ed(new QLineEdit(this)),
      btnfind(new QPushButton(CommonText(74), this)),
      btnexact(new QPushButton(CommonText(75), this)),
      btncancel(new QPushButton(CommonText(2), this)) {
    setObjectName(QStringLiteral("ffrmfind"));
    setWindowTitle(CommonText(73));
    QPalette navy = lb->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    lb->setPalette(navy);
    lb->setBuddy(ed);
    ed->setMinimumWidth(260);
    btnfind->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnfind);
    buttons->addWidget(btnexact);
    buttons->addWidget(btncancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lb);
    layout->addWidget(ed);
    layout->addLayout(buttons);
    connect(btnfind, &QPushButton::clicked, this, [this] { search(false); });
    connect(btnexact, &QPushButton::clicked, this, [this] { search(true); });
    connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Tffrmfind::SetText(const QString &text) {
    ed->setText(text);
}

QString Tffrmfind::Text() const {
    return ed->text();
}

void Tffrmfind::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    ed->setFocus();
    // The dialog focuses its first field once it is visible, which selects the whole text:
    // apply the selection after that.
    QMetaObject::invokeMethod(
        this, [this] { applySelection(); }, Qt::QueuedConnection);
    applySelection();
}

void Tffrmfind::applySelection() {
    if (SelectAll) {
        ed->selectAll();
    } else {
        ed->deselect();
        ed->end(false);
    }
}

void Tffrmfind::search(bool exact) {
    RunGuarded([&] {
        if (m_field) {
            try {
                CheckFindText(*m_field, ed->text());
            } catch (const AppError &) {
                ed->setFocus();
                throw;
            }
        }
        m_exact = exact;
        accept();
    });
}
