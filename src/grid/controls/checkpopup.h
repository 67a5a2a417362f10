#pragma once

#include <QFrame>

class QListWidget;
class QListWidgetItem;
class QMenu;
class QAction;
class TCheckedComboBox;

// The borderless pop-up of a checked combo box: a check list (in columns when asked) with a
// context menu to select one, all, none or the opposite.
class TCheckPopup : public QFrame {
    Q_OBJECT
public:
    explicit TCheckPopup(TCheckedComboBox *owner);

    QListWidget *list;
    QMenu *menu;
    QAction *selectOne;
    QAction *selectAll;
    QAction *clearAll;
    QAction *invert;

    // Refills the check marks from the combo's items.
    void Refill();
    void RefreshMarks();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void itemChanged(QListWidgetItem *item);
    int menuRow() const;

    TCheckedComboBox *m_owner;
    bool m_refreshing = false;
    QPoint m_menuPos;
};
