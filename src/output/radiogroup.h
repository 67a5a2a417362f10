#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

// A titled group of radio buttons with an item index (-1: none chosen), one button per
// entry of a list, top to bottom.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString &title, const QStringList &items, QWidget *parent = nullptr);

    int ItemIndex() const;
    void SetItemIndex(int index);
    QRadioButton *Button(int index) const;
    int Count() const;

signals:
    void itemIndexChanged(int index);

private:
    QButtonGroup *m_group;
};
