#include "grid/recordbar.h"

#include "grid/controls/datasource.h"
#include "errors/apperror.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "lang/texts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>

Tfre::Tfre(QWidget *parent)
    : QWidget(parent), nv(new TDBNavigator(this)), btnclose(new QPushButton(CommonText(15), this)) {
    setObjectName(QStringLiteral("fre"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(nv);
    layout->addStretch();
    layout->addWidget(btnclose);
    btnclose->setToolTip(CommonText(13));
    btnclose->setFocusPolicy(Qt::TabFocus);
    nv->ConfirmDelete = false;
    nv->SetHints(CommonText(22).split(u';'));
    nv->BeforeAction = [this](TNavigateBtn button) {
        if (!nv->ButtonVisible(button))
            throw SilentAbort();
        if (button == nbDelete &&
            AppMessageBox(CommonText(21), mtConfirmation, mbYes | mbNo) != mrYes)
            throw SilentAbort();
    };
    connect(nv, &TDBNavigator::clicked, this, [this](TNavigateBtn button) {
        if ((button == nbInsert || button == nbEdit) && m_firstField && m_firstField->isVisible() &&
            m_firstField->isEnabled())
            m_firstField->setFocus();
    });
    connect(btnclose, &QPushButton::clicked, this, [this] { closeDialog(); });
    qApp->installEventFilter(this);
}

void Tfre::Bind(TDataSource *source, TNavigateButtons visibleButtons, QWidget *firstField) {
    m_source = source;
    nv->SetDataSource(source);
    nv->SetVisibleButtons(visibleButtons);
    m_firstField = firstField;
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = window();
    m_window->installEventFilter(this);
}

bool Tfre::editing() const {
    const TTableState state = m_source ? m_source->State() : TTableState::Inactive;
    return state == TTableState::Edit || state == TTableState::Insert;
}

bool Tfre::browsing() const {
    return m_source && m_source->State() == TTableState::Browse;
}

bool Tfre::canModify() const {
    return m_source && m_source->Active() && m_source->DataSet()->CanModify();
}

void Tfre::NavAction(TNavigateBtn button) {
    nv->BtnClick(button);
}

void Tfre::closeDialog() {
    if (m_window)
        m_window->close();
}

bool Tfre::CloseQuery() {
    if (!editing())
        return true;
    switch (AppMessageBox(CommonText(19), mtConfirmation, mbYes | mbNo | mbCancel)) {
    case mrYes:
        // A record that cannot be saved keeps the dialog open with the changes intact.
        return RunGuarded([this] { m_source->Post(); });
    case mrNo:
        return RunGuarded([this] { m_source->DataSet()->Cancel(); });
    default:
        return false;
    }
}

bool Tfre::HandleKey(int key, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers mods =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const auto act = [this](TNavigateBtn button) { RunGuarded([&] { NavAction(button); }); };
    switch (key) {
    case Qt::Key_Escape:
        if (editing())
            act(nbCancel);
        else
            closeDialog();
        return true;
    case Qt::Key_PageUp:
        act(mods & Qt::ControlModifier ? nbFirst : nbPrior);
        return true;
    case Qt::Key_PageDown:
        act(mods & Qt::ControlModifier ? nbLast : nbNext);
        return true;
    case Qt::Key_Insert:
        if (!nv->ButtonVisible(nbInsert) || !canModify())
            return false;
        act(nbInsert);
        return true;
    case Qt::Key_F2:
        if (nv->ButtonVisible(nbPost) && editing())
            act(nbPost);
        return true;
    case Qt::Key_F5:
        act(nbRefresh);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mods != Qt::ControlModifier || !nv->ButtonVisible(nbEdit) || !browsing() ||
            !canModify())
            return false;
        act(nbEdit);
        return true;
    case Qt::Key_Delete:
        if (mods != Qt::AltModifier)
            return false;
        if (nv->ButtonVisible(nbDelete) && browsing() && canModify() &&
            !m_source->DataSet()->IsEmpty())
            act(nbDelete);
        return true;
    default:
        return false;
    }
}

bool Tfre::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Close && watched == m_window) {
        bool mayClose = true;
        RunGuarded([&] { mayClose = CloseQuery(); });
        if (!mayClose) {
            event->ignore();
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress && m_window && m_window->isVisible() &&
        watched->isWidgetType() && static_cast<QWidget *>(watched)->window() == m_window) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (HandleKey(key->key(), key->modifiers())) {
            key->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
