#include "grid/controls/checkpopup.h"

#include "grid/controls/checkedcombobox.h"
#include "seam/guard.h"
#include "lang/texts.h"

#include <QListWidget>
#include <QMenu>
#include <QVBoxLayout>

TCheckPopup::TCheckPopup(TCheckedComboBox *owner)
    : QFrame(owner, Qt::Popup), list(new QListWidget(this)), menu(new QMenu(this)), m_owner(owner) {
    // The click that closes the pop-up on the combo's own button must not open it again.
    setAttribute(Qt::WA_NoMouseReplay);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(list);
    list->setFrameShape(QFrame::NoFrame);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    list->setContextMenuPolicy(Qt::CustomContextMenu);

    TCheckedItems &items = owner->ItemModel();
    const auto act = [this, owner](const QString &text, std::function<bool(int)> operation) {
        QAction *action = menu->addAction(text);
        connect(action, &QAction::triggered, this, [this, owner, operation] {
            RunGuarded([&] {
                operation(menuRow());
                owner->marksChangedByUser();
            });
        });
        return action;
    };
    selectOne = act(AppText(1051), [&items](int row) { return items.SelectOne(row); });
    selectAll = act(AppText(1052), [&items](int) { return items.SelectAll(); });
    clearAll = act(AppText(1053), [&items](int row) { return items.ClearAll(row); });
    invert = act(AppText(1054), [&items](int row) { return items.Invert(row); });
    clearAll->setVisible(owner->AllowNone());

    connect(list, &QListWidget::itemChanged, this, &TCheckPopup::itemChanged);
    connect(list, &QListWidget::itemDoubleClicked, this, [this, &items](QListWidgetItem *item) {
        RunGuarded([&] {
            items.SelectOne(list->row(item));
            m_owner->marksChangedByUser();
        });
    });
    connect(list, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        m_menuPos = pos;
        menu->popup(list->viewport()->mapToGlobal(pos));
    });
}

int TCheckPopup::menuRow() const {
    const QListWidgetItem *item = list->itemAt(m_menuPos);
    return item ? list->row(item) : -1;
}

void TCheckPopup::Refill() {
    m_refreshing = true;
    list->clear();
    for (const TCheckedItem &entry : m_owner->Items()) {
        auto *item = new QListWidgetItem(entry.text, list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    m_refreshing = false;
    RefreshMarks();
}

void TCheckPopup::RefreshMarks() {
    m_refreshing = true;
    const TCheckedItems &items = m_owner->ItemModel();
    for (int i = 0; i < list->count() && i < items.Count(); ++i) {
        const Qt::CheckState state = items.Checked(i) ? Qt::Checked : Qt::Unchecked;
        if (list->item(i)->checkState() != state)
            list->item(i)->setCheckState(state);
    }
    m_refreshing = false;
}

void TCheckPopup::itemChanged(QListWidgetItem *item) {
    if (m_refreshing)
        return;
    RunGuarded([&] {
        TCheckedItems &items = m_owner->ItemModel();
        const int row = list->row(item);
        const bool wanted = item->checkState() == Qt::Checked;
        if (wanted != items.Checked(row))
            items.Toggle(row); // may refuse: the last checked item stays checked
        m_owner->marksChangedByUser();
    });
}

void TCheckPopup::hideEvent(QHideEvent *event) {
    QFrame::hideEvent(event);
    RunGuarded([this] { m_owner->popupClosed(); });
}
