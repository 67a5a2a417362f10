#include "grid/controls/dbnavigator.h"

#include "grid/controls/datasource.h"
#include "errors/apperror.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "lang/texts.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace {

// A small glyph for each button, drawn so that no picture files are needed.
QIcon glyph(TNavigateBtn button) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 60, 110);
    p.setPen(QPen(ink, 1.6));
    p.setBrush(ink);
    const auto triangle = [&](bool left, qreal x) {
        QPainterPath path;
        if (left) {
            path.moveTo(x + 5, 3);
            path.lineTo(x, 8);
            path.lineTo(x + 5, 13);
        } else {
            path.moveTo(x, 3);
            path.lineTo(x + 5, 8);
            path.lineTo(x, 13);
        }
        path.closeSubpath();
        p.drawPath(path);
    };
    switch (button) {
    case nbFirst:
        p.drawLine(QPointF(4, 3), QPointF(4, 13));
        triangle(true, 6);
        break;
    case nbPrior:
        triangle(true, 5);
        break;
    case nbNext:
        triangle(false, 6);
        break;
    case nbLast:
        triangle(false, 5);
        p.drawLine(QPointF(12, 3), QPointF(12, 13));
        break;
    case nbInsert:
        p.drawLine(QPointF(8, 3), QPointF(8, 13));
        p.drawLine(QPointF(3, 8), QPointF(13, 8));
        break;
    case nbDelete:
        p.drawLine(QPointF(3, 8), QPointF(13, 8));
        break;
    case nbEdit:
        p.drawLine(QPointF(4, 12), QPointF(12, 4));
        p.drawLine(QPointF(3, 13), QPointF(5, 13));
        break;
    case nbPost:
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(3, 8), QPointF(7, 12), QPointF(13, 4)}));
        break;
    case nbCancel:
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    case nbRefresh:
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 3, 10, 10), 90 * 16, 270 * 16);
        p.drawLine(QPointF(8, 3), QPointF(11, 1));
        p.drawLine(QPointF(8, 3), QPointF(11, 5));
        break;
    }
    return QIcon(pixmap);
}

} // namespace

TDBNavigator::TDBNavigator(QWidget *parent) : QWidget(parent) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < kNavigateButtonCount; ++i) {
        auto *button = new QToolButton(this);
        button->setIcon(glyph(TNavigateBtn(i)));
        button->setAutoRaise(false);
        button->setFocusPolicy(Qt::TabFocus);
        button->setFixedSize(25, 25);
        connect(button, &QToolButton::clicked, this,
                [this, i] { RunGuarded([this, i] { BtnClick(TNavigateBtn(i)); }); });
        layout->addWidget(button);
        m_buttons[i] = button;
    }
    updateButtons();
}

void TDBNavigator::SetDataSource(TDataSource *source) {
    for (const auto &connection : m_connections)
        disconnect(connection);
    m_connections.clear();
    m_source = source;
    if (source) {
        for (auto signal : {&TDataSource::dataSetChanged, &TDataSource::dataChanged,
                            &TDataSource::scrolled, &TDataSource::stateChanged})
            m_connections.append(connect(source, signal, this, &TDBNavigator::updateButtons));
        m_connections.append(connect(source, &QObject::destroyed, this, [this] {
            m_source = nullptr;
            updateButtons();
        }));
    }
    updateButtons();
}

void TDBNavigator::SetVisibleButtons(TNavigateButtons buttons) {
    m_visible = buttons & kAllNavigateButtons;
    for (int i = 0; i < kNavigateButtonCount; ++i)
        m_buttons[i]->setVisible(m_visible & (1u << i));
}

void TDBNavigator::SetHints(const QStringList &hints) {
    for (int i = 0; i < kNavigateButtonCount; ++i)
        m_buttons[i]->setToolTip(hints.value(i));
}

void TDBNavigator::updateButtons() {
    const bool active = m_source && m_source->Active();
    TClientTable *table = active ? m_source->DataSet() : nullptr;
    const TTableState state = table ? table->State() : TTableState::Inactive;
    const bool editing = state == TTableState::Edit || state == TTableState::Insert;
    const int pos = table ? table->CurrentPos() : -1;
    const int rows = table ? table->RecordCount() : 0;
    const bool canModify = table && table->CanModify();
    const bool enabled[kNavigateButtonCount] = {
        active && pos > 0,                    // first
        active && pos > 0,                    // prior
        active && pos >= 0 && pos < rows - 1, // next
        active && pos >= 0 && pos < rows - 1, // last
        canModify,                            // insert
        canModify && !table->IsEmpty(),       // delete
        canModify && !editing,                // edit
        active && editing,                    // post
        active && editing,                    // cancel
        active,                               // refresh
    };
    for (int i = 0; i < kNavigateButtonCount; ++i)
        m_buttons[i]->setEnabled(enabled[i]);
}

void TDBNavigator::BtnClick(TNavigateBtn button) {
    if (BeforeAction)
        BeforeAction(button);
    DoAction(button);
    emit clicked(button);
}

void TDBNavigator::DoAction(TNavigateBtn button) {
    if (!m_source || !m_source->Active())
        return;
    TClientTable &table = *m_source->DataSet();
    const bool editing = table.State() == TTableState::Edit || table.State() == TTableState::Insert;
    if (editing && button <= nbLast)
        m_source->UpdateRecord();
    switch (button) {
    case nbFirst:
        table.First();
        break;
    case nbPrior:
        table.Prior();
        break;
    case nbNext:
        table.Next();
        break;
    case nbLast:
        table.Last();
        break;
    case nbInsert:
        table.Insert();
        break;
    case nbDelete:
        if (ConfirmDelete && AppMessageBox(TableTexts().deleteRecordQuestion, mtConfirmation,
                                           mbYes | mbNo) != mrYes)
            return;
        table.Delete();
        break;
    case nbEdit:
        table.Edit();
        break;
    case nbPost:
        m_source->Post();
        break;
    case nbCancel:
        table.Cancel();
        break;
    case nbRefresh:
        table.Refresh();
        break;
    }
}
