#include "app/imagebutton.h"

#include <QMouseEvent>

TImageButton::TImageButton(const QString &name, QWidget *parent) : QLabel(parent) {
    setObjectName(name);
    setCursor(Qt::PointingHandCursor);
}

void TImageButton::setPictures(const QVector<QPixmap> &pictures) {
    m_pictures = pictures;
    setLook(m_look);
}

void TImageButton::setLook(Look look) {
    m_look = look;
    if (look < m_pictures.size()) {
        setPixmap(m_pictures[look]);
        setFixedSize(m_pictures[look].deviceIndependentSize().toSize());
    }
}

void TImageButton::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && isEnabled() && rect().contains(event->pos()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}
