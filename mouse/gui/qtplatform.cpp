#include "qtplatform.h"

#include "messagebox.h"

#include <QGuiApplication>
#include <QScreen>

Platform::Answer QtPlatform::message(const QString &title, const QString &text, Buttons buttons, Icon icon)
{
    return messageBox(m_window, title, text, buttons, icon);
}

QRect QtPlatform::screenGeometry()
{
    QScreen *screen = m_window ? m_window->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

QRect QtPlatform::windowFrame()
{
    return m_window ? m_window->frameGeometry() : QRect();
}

void QtPlatform::moveWindow(const QPoint &frameTopLeft)
{
    // For a top-level window move() places the outer frame, decorations included.
    if (m_window)
        m_window->move(frameTopLeft);
}
