#include "grid/controls/checkedcombobox.h"

#include "grid/controls/checkpopup.h"
#include "grid/controls/lookupitems.h"
#include "seam/guard.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

namespace {

// The drop-down button's glyph: a small tick beside a down arrow.
QIcon popupGlyph() {
    QPixmap pixmap(14, 12);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 30, 30), 1.4));
    p.drawPolyline(QPolygonF({QPointF(1, 6), QPointF(3, 9), QPointF(6, 3)}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 30));
    p.drawPolygon(QPolygonF({QPointF(7.5, 5), QPointF(13.5, 5), QPointF(10.5, 9)}));
    return QIcon(pixmap);
}

constexpr int kMinLines = 2;
constexpr int kMaxLines = 20;

} // namespace

TCheckedComboBox::TCheckedComboBox(QWidget *parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_button(new QToolButton(this)),
      m_popup(new TCheckPopup(this)) {
    setObjectName(QStringLiteral("TCheckedComboBox"));
    m_edit->setReadOnly(true);
    m_edit->installEventFilter(this);
    m_button->setIcon(popupGlyph());
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setFixedWidth(18);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit);
    layout->addWidget(m_button);
    setFocusProxy(m_edit);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    resize(121, qMax(24, m_edit->sizeHint().height()));
    connect(m_button, &QToolButton::clicked, this, [this] { RunGuarded([this] { DropDown(); }); });
    refreshText();
}

TCheckedComboBox::~TCheckedComboBox() = default;

QSize TCheckedComboBox::sizeHint() const {
    return QSize(121, qMax(24, m_edit->sizeHint().height()));
}

void TCheckedComboBox::SetItems(const QList<TCheckedItem> &items) {
    m_items.SetItems(items);
    m_popup->Refill();
    refreshText();
}

void TCheckedComboBox::SetSorted(bool sorted) {
    m_items.SetSorted(sorted);
    m_popup->Refill();
    refreshText();
}

void TCheckedComboBox::SetQuoteStyle(TQuoteStyle style) {
    m_items.SetQuoteStyle(style);
    refreshText();
}

void TCheckedComboBox::SetColumns(int columns) {
    m_columns = qMax(0, columns);
}

void TCheckedComboBox::SetDropDownLines(int lines) {
    if (lines >= kMinLines && lines <= kMaxLines)
        m_dropDownLines = lines;
}

void TCheckedComboBox::SetEmptyValue(const QString &text) {
    m_items.SetEmptyValue(text);
    refreshText();
}

void TCheckedComboBox::SetAllValue(const QString &text) {
    m_items.SetAllValue(text);
    refreshText();
}

void TCheckedComboBox::SetAllowNone(bool allow) {
    m_items.SetAllowNone(allow);
    m_popup->clearAll->setVisible(allow);
}

void TCheckedComboBox::RestoreCheckedPositions(const QString &text) {
    m_items.RestoreCheckedPositions(text);
    m_popup->RefreshMarks();
    refreshText();
}

void TCheckedComboBox::FillFromTable(const TClientTable &table, int keyField,
                                     const QString &textField) {
    SetItems(LookupItems(table, keyField, textField));
    m_items.SelectAll();
    m_popup->RefreshMarks();
    refreshText();
}

void TCheckedComboBox::Clear() {
    SetItems({});
}

void TCheckedComboBox::SetChecked(int index, bool checked) {
    m_items.SetChecked(index, checked);
    m_popup->RefreshMarks();
    refreshText();
}

void TCheckedComboBox::refreshText() {
    m_edit->setText(m_items.SelectedText());
    m_edit->setCursorPosition(0);
}

void TCheckedComboBox::marksChangedByUser() {
    m_popup->RefreshMarks();
    refreshText();
    if (OnChange)
        OnChange();
}

int TCheckedComboBox::PopupLines() const {
    int lines = m_dropDownLines;
    if (m_columns > 1)
        lines = m_items.Count() / m_columns + 1;
    return qBound(kMinLines, lines, kMaxLines);
}

bool TCheckedComboBox::PoppedUp() const {
    return m_popup->isVisible();
}

void TCheckedComboBox::DropDown() {
    if (OnClick)
        OnClick();
    const int lines = PopupLines();
    QListWidget *list = m_popup->list;
    m_popup->setFont(font());
    list->setFont(font());
    const int itemHeight = qMax(list->sizeHintForRow(0), list->fontMetrics().height() + 2);
    const int height = itemHeight * lines + 4;
    if (m_columns > 1) {
        list->setFlow(QListView::TopToBottom);
        list->setWrapping(true);
        list->setGridSize(QSize(qMax(20, (width() - 4) / m_columns), itemHeight));
    } else {
        list->setFlow(QListView::TopToBottom);
        list->setWrapping(false);
        list->setGridSize(QSize());
    }
    QPoint topLeft = mapToGlobal(QPoint(0, this->height()));
    const QScreen *screen = this->screen();
    if (screen && topLeft.y() + height > screen->geometry().bottom() - 20)
        topLeft = mapToGlobal(QPoint(0, -height));
    m_popup->setGeometry(QRect(topLeft, QSize(width(), height)));
    m_popup->RefreshMarks();
    m_popup->show();
    list->setFocus();
}

void TCheckedComboBox::CloseUp() {
    if (m_popup->isVisible())
        m_popup->hide();
}

void TCheckedComboBox::popupClosed() {
    if (OnCloseUp)
        OnCloseUp();
}

bool TCheckedComboBox::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_edit) {
        if (event->type() == QEvent::FocusIn && OnEnter)
            RunGuarded(OnEnter);
        else if (event->type() == QEvent::FocusOut && OnExit)
            RunGuarded(OnExit);
    }
    return QWidget::eventFilter(watched, event);
}
