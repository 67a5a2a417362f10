#include "grid/dialogs/progresswindow.h"

#include "lang/texts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

// The window has no parent: a child window of the disabled owner would be disabled too.
Tfprogress::Tfprogress(QWidget *owner)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      lb(new QLabel(this)), pb(new QProgressBar(this)),
      btnabort(new QPushButton(AppText(1061), this)), m_owner(owner) {
    setObjectName(QStringLiteral("fprogress"));
    btnabort->setEnabled(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lb);
    layout->addWidget(pb);
    layout->addWidget(btnabort, 0, Qt::AlignHCenter);
    setMinimumWidth(340);
}

void Tfprogress::closeEvent(QCloseEvent *event) {
    if (m_mayClose || QCoreApplication::closingDown())
        event->accept();
    else
        event->ignore();
}

void Tfprogress::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tfprogress::reject() {
    if (m_mayClose)
        QDialog::reject();
}

Tfprogress *OpenProgress(const QString &caption, const QString &text, int maximum, QWidget *owner) {
    if (!owner)
        owner = QApplication::activeWindow();
    auto *window = new Tfprogress(owner);
    window->setWindowTitle(caption);
    window->lb->setText(text);
    window->pb->setRange(0, maximum);
    window->pb->setValue(0);
    if (owner) {
        window->m_ownerWasEnabled = owner->isEnabled();
        if (window->m_ownerWasEnabled)
            owner->setEnabled(false);
        window->adjustSize();
        const QRect frame = owner->window()->geometry();
        window->move(frame.center() - window->rect().center());
    }
    window->show();
    window->repaint();
    return window;
}

void SetProgressText(Tfprogress *window, const QString &text) {
    if (!window)
        return;
    window->lb->setText(text);
    window->lb->repaint();
}

void CloseProgress(Tfprogress *&window) {
    if (!window)
        return;
    if (window->m_owner && window->m_ownerWasEnabled)
        window->m_owner->setEnabled(true);
    window->m_mayClose = true;
    window->close();
    delete window;
    window = nullptr;
}
