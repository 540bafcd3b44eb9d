#pragma once

#include "platform.h"
#include "scriptedmessages.h"

#include <QFileInfo>

// A scripted desktop for tests: message boxes answer from a queue (Yes or OK
// when it is empty) and are recorded; the folders and the drives are plain
// values the test sets; the window's frame is recorded where it is put.
class FakePlatform : public ScriptedMessages<Platform>
{
public:
    QString folder, home;
    QStringList roots { "/" };
    QList<QPoint> frameMoves;

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
