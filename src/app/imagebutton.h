#pragma once

#include <QAbstractButton>
#include <QKeySequence>
#include <QPixmap>
#include <QStringList>
#include <QVector>

// A picture that acts as a button: one picture and caption per look (inactive, active,
// selected), a hand cursor, clicks only while enabled, reachable with Tab and pressed with
// Space or Enter, and with its own key (Ctrl+number on the top bar, so that Alt+letters stay
// with the screens); the caption and the key are its tooltip, the caption its accessible name.
class TImageButton : public QAbstractButton {
    Q_OBJECT
public:
    enum Look { Inactive = 0, Active = 1, Selected = 2 };

    explicit TImageButton(const QString &name, QWidget *parent = nullptr);
    // Pictures and captions by Look.
    void setPictures(const QVector<QPixmap> &pictures, const QStringList &captions);
    void setLook(Look look);
    // The key that presses the button; the caption's "&" letter is then no shortcut.
    void setKey(const QKeySequence &key);
    Look look() const { return m_look; }
    QPixmap picture() const { return m_pictures.value(m_look); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QVector<QPixmap> m_pictures;
    QStringList m_captions;
    Look m_look = Inactive;
    QKeySequence m_key;
};
