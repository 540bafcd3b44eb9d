#pragma once

#include "platform.h"

#include <QFileInfo>
#include <QList>
#include <QQueue>

// A scripted desktop for tests: message boxes answer from a queue (No or OK
// when it is empty) and are recorded; the current folder and the drives are
// plain values the test sets.
class FakePlatform : public Platform
{
public:
    struct Shown
    {
        QString title;
        QString text;
        Buttons buttons;
        Icon icon;
    };

    QQueue<Answer> answers;
    QList<Shown> shown;
    QString folder;
    QStringList roots { QStringLiteral("/") };

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
    QStringList drives() override { return roots; }
};
