#pragma once

#include <QLabel>
#include <QPixmap>
#include <QVector>

// A picture that acts as a button: one picture per look (inactive, active, selected), a hand
// cursor, and clicks only while enabled.
class TImageButton : public QLabel {
    Q_OBJECT
public:
    enum Look { Inactive = 0, Active = 1, Selected = 2 };

    explicit TImageButton(const QString &name, QWidget *parent = nullptr);
    void setPictures(const QVector<QPixmap> &pictures); // by Look
    void setLook(Look look);
    Look look() const { return m_look; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QVector<QPixmap> m_pictures;
    Look m_look = Inactive;
};
