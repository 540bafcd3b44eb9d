#pragma once

#include "platform.h"

#include <QFileInfo>
#include <QList>
#include <QQueue>

// A scripted desktop for tests: message boxes answer from a queue (No or OK
// when it is empty) and are recorded; the folders and the drives are plain
// values the test sets; the window's frame is recorded where it is put.
class FakePlatform : public Platform
{
public:
    struct Shown
    {
        QString title, text;
        Buttons buttons;
        Icon icon;
    };

    QQueue<Answer> answers;
    QList<Shown> shown;
    QString folder, home;
    QStringList roots { "/" };
    QList<QPoint> frameMoves;

    Answer message(const QString &title, const QString &text, Buttons buttons, Icon icon) override
    {
        shown.append({ title, text, buttons, icon });
        if (!answers.isEmpty())
            return answers.dequeue();
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    QString currentFolder() override { return folder; }
    bool setCurrentFolder(const QString &path) override
    {
        if (!QFileInfo(path).isDir())
            return false;
        folder = path;
        return true;
    }
    QString homeFolder() override { return home; }
    QStringList drives() override { return roots; }
    void moveFrame(const QPoint &topLeft) override { frameMoves.append(topLeft); }
};
