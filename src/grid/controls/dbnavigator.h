#pragma once

#include <QWidget>
#include <array>
#include <functional>

class QToolButton;
class TDataSource;

// The buttons of a record navigator, in their order.
enum TNavigateBtn {
    nbFirst,
    nbPrior,
    nbNext,
    nbLast,
    nbInsert,
    nbDelete,
    nbEdit,
    nbPost,
    nbCancel,
    nbRefresh
};
constexpr int kNavigateButtonCount = 10;

// A set of navigator buttons (bit 1 << button).
using TNavigateButtons = unsigned;
constexpr TNavigateButtons NavButton(TNavigateBtn button) {
    return 1u << button;
}
constexpr TNavigateButtons kAllNavigateButtons = (1u << kNavigateButtonCount) - 1;

// A record navigator: ten buttons that move through a table's records and start, save or
// cancel editing, each enabled by the table's state; a screen chooses which are visible.
class TDBNavigator : public QWidget {
    Q_OBJECT
public:
    explicit TDBNavigator(QWidget *parent = nullptr);

    void SetDataSource(TDataSource *source);
    TDataSource *DataSource() const { return m_source; }

    TNavigateButtons VisibleButtons() const { return m_visible; }
    void SetVisibleButtons(TNavigateButtons buttons);
    bool ButtonVisible(TNavigateBtn button) const { return m_visible & NavButton(button); }
    // Hints of the ten buttons in button order.
    void SetHints(const QStringList &hints);
    QToolButton *Button(TNavigateBtn button) const { return m_buttons[button]; }

    // Whether delete asks the table's standard question first.
    bool ConfirmDelete = true;
    // Runs before an action; throwing SilentAbort cancels it, AppError reports and cancels.
    std::function<void(TNavigateBtn button)> BeforeAction;

    // Performs a button's action as a click does: BeforeAction, the action, then clicked.
    // Errors are raised to the caller.
    void BtnClick(TNavigateBtn button);
    // The action alone, without BeforeAction (also for hidden buttons).
    void DoAction(TNavigateBtn button);

signals:
    // After a button's action ran.
    void clicked(TNavigateBtn button);

private:
    void updateButtons();

    TDataSource *m_source = nullptr;
    QList<QMetaObject::Connection> m_connections;
    std::array<QToolButton *, kNavigateButtonCount> m_buttons{};
    TNavigateButtons m_visible = kAllNavigateButtons;
};
