#include "output/radiogroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

TRadioGroup::TRadioGroup(const QString &title, const QStringList &items, QWidget *parent)
    : QGroupBox(title, parent), m_group(new QButtonGroup(this)) {
    auto *layout = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items[i], this);
        m_group->addButton(button, i);
        layout->addWidget(button);
    }
    connect(m_group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit itemIndexChanged(id);
    });
}

int TRadioGroup::ItemIndex() const {
    return m_group->checkedId();
}

void TRadioGroup::SetItemIndex(int index) {
    // Out-of-range indexes (a damaged template) choose the nearest entry.
    index = std::clamp(index, 0, Count() - 1);
    if (QAbstractButton *button = m_group->button(index))
        button->setChecked(true);
}

QRadioButton *TRadioGroup::Button(int index) const {
    return qobject_cast<QRadioButton *>(m_group->button(index));
}

int TRadioGroup::Count() const {
    return int(m_group->buttons().size());
}
