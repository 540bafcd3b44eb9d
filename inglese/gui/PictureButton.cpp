#include "PictureButton.h"

#include "drawing.h"

#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

QPixmap PictureButton::picture(const QString &path, qreal ratio)
{
    return Drawing::svg(path, { PictureSize, PictureSize }, ratio);
}

PictureButton::PictureButton(QWidget *parent)
    : QToolButton(parent)
{
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize({ PictureSize, PictureSize });
    connect(this, &QToolButton::pressed, this, &PictureButton::updateIcon);
    connect(this, &QToolButton::released, this, &PictureButton::updateIcon);
}

void PictureButton::setPictures(const QString &normal, const QString &disabled, const QString &pressed)
{
    m_normal = normal;
    m_disabled = disabled;
    m_pressed = pressed;
    updateIcon();
}

QString PictureButton::shownPicture() const
{
    return isEnabled() ? enabledPicture() : m_disabled;
}

QString PictureButton::enabledPicture() const
{
    return isDown() && !m_pressed.isEmpty() ? m_pressed : m_normal;
}

void PictureButton::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && event->modifiers() == Qt::NoModifier) {
        click();
        return;
    }
    QToolButton::keyPressEvent(event);
}

void PictureButton::updateIcon()
{
    const qreal ratio = devicePixelRatioF();
    QIcon icon;
    const QString normal = enabledPicture();
    if (!normal.isEmpty())
        icon.addPixmap(picture(normal, ratio), QIcon::Normal);
    if (!m_disabled.isEmpty())
        icon.addPixmap(picture(m_disabled, ratio), QIcon::Disabled);
    setIcon(icon);
}
