#include "app/imagebutton.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QPainter>
#include <QPainterPath>

TImageButton::TImageButton(const QString &name, QWidget *parent) : QAbstractButton(parent) {
    setObjectName(name);
    setCursor(Qt::PointingHandCursor);
    // Tab reaches it; a mouse click does not leave a focus frame behind.
    setFocusPolicy(Qt::TabFocus);
}

void TImageButton::setPictures(const QVector<QPixmap> &pictures, const QStringList &captions) {
    m_pictures = pictures;
    m_captions = captions;
    setLook(m_look);
}

void TImageButton::setLook(Look look) {
    m_look = look;
    if (look >= m_pictures.size())
        return;
    setFixedSize(m_pictures[look].deviceIndependentSize().toSize());
    QString caption = m_captions.value(look);
    caption.remove(u'&'); // a plain text makes no Alt+letter shortcut of its own
    if (caption != text()) {
        setText(caption);
        setAccessibleName(caption);
        setToolTip(m_key.isEmpty() ? caption
                                   : caption + QStringLiteral(" (") +
                                         m_key.toString(QKeySequence::NativeText) + u')');
        setShortcut(m_key);
    }
    update();
}

void TImageButton::setKey(const QKeySequence &key) {
    m_key = key;
    setText(QString()); // the tooltip is made anew with the key
    setLook(m_look);
}

QSize TImageButton::sizeHint() const {
    const QPixmap shown = picture();
    return shown.isNull() ? QSize(80, 32) : shown.deviceIndependentSize().toSize();
}

void TImageButton::paintEvent(QPaintEvent *) {
    QPainter p(this);
    const QPixmap shown = picture();
    if (!shown.isNull())
        p.drawPixmap(QPoint(0, 0), shown);
    if (hasFocus()) {
        // The keyboard's place: a white dashed frame inside the picture's rounded edge.
        p.setRenderHint(QPainter::Antialiasing);
        QPen pen(Qt::white, 1.5, Qt::DashLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(4, 5, -4, -5), 5, 5);
    }
}

void TImageButton::keyPressEvent(QKeyEvent *event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}
