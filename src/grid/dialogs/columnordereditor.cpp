#include "grid/dialogs/columnordereditor.h"

#include "grid/dbgridex.h"
#include "seam/guard.h"
#include "lang/texts.h"

#include <QGridLayout>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

namespace {

// An arrow glyph: up or down, with a bar for the "to the end" buttons.
QIcon arrow(bool up, bool bar) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 60, 110));
    const qreal tip = up ? 4 : 12, base = up ? 10 : 6;
    p.drawPolygon(QPolygonF({QPointF(8, tip), QPointF(3, base), QPointF(13, base)}));
    if (bar)
        p.drawRect(QRectF(3, up ? 1.5 : 13, 10, 1.8));
    return QIcon(pixmap);
}

QToolButton *toolButton(QWidget *parent, const QIcon &icon, const QString &hint) {
    auto *button = new QToolButton(parent);
    button->setIcon(icon);
    button->setToolTip(hint);
    button->setFixedSize(26, 26);
    return button;
}

} // namespace

Tfdbfrgcols::Tfdbfrgcols(QWidget *parent)
    : QDialog(parent), lb(new QListWidget(this)), spbtop(toolButton(this, arrow(true, true), {})),
      spbup(toolButton(this, arrow(true, false), CommonText(37))),
      spbdn(toolButton(this, arrow(false, false), CommonText(38))),
      spbbottom(toolButton(this, arrow(false, true), {})),
      btndefault(new QPushButton(CommonText(161), this)),
      btnclose(new QPushButton(CommonText(15), this)) {
    setObjectName(QStringLiteral("fdbfrgcols"));
    setWindowTitle(CommonText(160));
    lb->setSelectionMode(QAbstractItemView::ExtendedSelection);
    btnclose->setDefault(true);
    auto *layout = new QGridLayout(this);
    layout->addWidget(lb, 0, 0, 5, 1);
    layout->addWidget(spbtop, 0, 1);
    layout->addWidget(spbup, 1, 1);
    layout->addWidget(spbdn, 2, 1);
    layout->addWidget(spbbottom, 3, 1);
    layout->setRowStretch(4, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btndefault);
    buttons->addStretch();
    buttons->addWidget(btnclose);
    layout->addLayout(buttons, 5, 0, 1, 2);
    resize(320, 360);

    connect(lb, &QListWidget::itemSelectionChanged, this, &Tfdbfrgcols::selectionChanged);
    connect(spbtop, &QToolButton::clicked, this, [this] { move(&TColumnOrder::MoveToTop); });
    connect(spbup, &QToolButton::clicked, this, [this] { move(&TColumnOrder::MoveUp); });
    connect(spbdn, &QToolButton::clicked, this, [this] { move(&TColumnOrder::MoveDown); });
    connect(spbbottom, &QToolButton::clicked, this, [this] { move(&TColumnOrder::MoveToBottom); });
    connect(btndefault, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { restoreDefault(); }); });
    connect(btnclose, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfdbfrgcols::Setup(TDBGridEx *grid, std::function<void()> restoreDefault) {
    m_grid = grid;
    m_restoreDefault = std::move(restoreDefault);
    btndefault->setVisible(bool(m_restoreDefault));
    QList<bool> visible;
    if (grid)
        for (const TColumn &column : grid->Columns())
            visible.append(column.visible);
    m_order.Setup(visible, [this](int from, int to) {
        if (m_grid)
            m_grid->MoveColumn(from, to);
    });
    fillList();
}

void Tfdbfrgcols::fillList() {
    m_filling = true;
    lb->clear();
    for (int i = 0; i < m_order.Count(); ++i) {
        auto *item =
            new QListWidgetItem(m_grid->Columns()[m_order.EntryGridPosition(i)].caption, lb);
        item->setSelected(m_order.Selected(i));
    }
    m_filling = false;
    updateButtons();
}

void Tfdbfrgcols::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    lb->setFocus();
}

void Tfdbfrgcols::selectionChanged() {
    if (m_filling)
        return;
    for (int i = 0; i < lb->count(); ++i)
        m_order.SetSelected(i, lb->item(i)->isSelected());
    updateButtons();
}

void Tfdbfrgcols::updateButtons() {
    spbtop->setEnabled(m_order.CanMoveUp());
    spbup->setEnabled(m_order.CanMoveUp());
    spbdn->setEnabled(m_order.CanMoveDown());
    spbbottom->setEnabled(m_order.CanMoveDown());
}

void Tfdbfrgcols::move(void (TColumnOrder::*operation)()) {
    RunGuarded([&] {
        (m_order.*operation)();
        m_filling = true;
        for (int i = 0; i < m_order.Count(); ++i) {
            lb->item(i)->setText(m_grid->Columns()[m_order.EntryGridPosition(i)].caption);
            lb->item(i)->setSelected(m_order.Selected(i));
        }
        m_filling = false;
        updateButtons();
    });
}

void Tfdbfrgcols::restoreDefault() {
    m_restoreDefault();
    Setup(m_grid, m_restoreDefault);
}
