#pragma once

// What the vocabulary trainer's tests share: the scripted desktop, word lines,
// ticks of a timer, presses and clicks by name.

#include "fakeplatform.h"
#include "testing.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>
#include <QTimer>

// A word line: lesson (2), blank, critical mark (1), blank, English (50), Italian.
inline QString wordLine(const QString &lesson, const QString &mark, const QString &english, const QString &it)
{
    return lesson.leftJustified(2) + u' ' + mark.leftJustified(1) + u' ' + english.leftJustified(50) + it;
}

// `times` ticks of the timer `name` under `root` as the event loop gives them: only while it runs, to what is
// connected.
inline void tick(const QObject *root, const QString &name, int times = 1)
{
    QTimer *timer = control<QTimer>(root, name);
    for (; times > 0; --times) {
        QTimerEvent event(timer->isActive() ? timer->timerId() : 0);
        QCoreApplication::sendEvent(timer, &event);
    }
}
// Clicks the button, or triggers the menu entry (named "menu..."), called `name` under `root`.
inline void press(const QObject *root, const QString &name)
{
    QMetaObject::invokeMethod(control<QObject>(root, name), name.startsWith(u"menu") ? "trigger" : "click");
}
#ifdef QT_WIDGETS_LIB
#include <QAbstractButton>

// Clicks the button called `name` in a modal window from a timer; a missing one fails the
// test and closes the window, so that the test ends instead of waiting on it.
inline void clickIn(QWidget *modal, const QString &name)
{
    QWidget *found = control(modal, name);
    if (auto *button = qobject_cast<QAbstractButton *>(found); button && found->window() == modal)
        button->click();
    else if (modal)
        modal->close();
}
#endif

// The blank-separated numbers of a text, and of a text column of the current row.
inline QList<int> ints(const QString &text)
{
    QList<int> out;
    for (const QString &n : text.split(u' ', Qt::SkipEmptyParts))
        out << n.toInt();
    return out;
}
inline QList<int> numbers(const char *column)
{
    return ints(fetched<QString>(column));
}
