#pragma once

#include "platform.h"
#include "randomsource.h"

#include <QPointer>
#include <QWidget>

// The desktop as Qt gives it, for the game window set with setWindow().
class QtPlatform : public Platform
{
public:
    void setWindow(QWidget *window) { m_window = window; }

    Answer message(const QString &title, const QString &text, Buttons buttons, Icon icon) override;
    double random() override { return m_random.next(); }
    QRect screenGeometry() override;
    QRect windowFrame() override;
    void moveWindow(const QPoint &frameTopLeft) override;

private:
    QPointer<QWidget> m_window;
    RandomSource m_random;
};
