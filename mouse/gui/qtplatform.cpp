#include "qtplatform.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

void QtPlatform::message(const QString &title, const QString &text)
{
    // Message texts keep CR LF line ends; the box wants plain line feeds.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::NoIcon, title, shown, QMessageBox::Ok, m_window);
    box.setTextFormat(Qt::PlainText);
    box.exec();
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
