#pragma once

#include "platform.h"
#include "scriptedmessages.h"

#include <QList>
#include <QQueue>
#include <QStringList>

#include <functional>

// A scripted desktop for tests: message boxes answer from a queue (or with the first button when the queue is
// empty) and are recorded; beeps are counted; random numbers come from a queue (0.0 when it is empty) and
// their seeding is counted; the clock and the folder are fixed values the test may change; what would be
// spoken is recorded, and speech may pretend to miss a voice or an output.
class FakePlatform : public ScriptedMessages<Platform>
{
public:
    int beeps = 0;
    QQueue<double> randoms;
    int seeds = 0; // times the random numbers were seeded from the clock
    QDate date { 2026, 12, 5 };
    QTime time { 9, 10, 2 };
    QSize screen { 1280, 1024 };
    QString folder;
    QStringList spoken;
    Speech speech = Speech::Available;
    std::function<void()> speechChanged;
    // The text of the last message shown; empty: none.
    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    void beep(int times) override { beeps += times; }
    double random() override { return randoms.isEmpty() ? 0.0 : randoms.dequeue(); }
    void seedRandomFromClock() override { ++seeds; }
    QDate currentDate() override { return date; }
    QTime currentTime() override { return time; }
    QSize screenSize() override { return screen; }
    QString currentFolder() override { return folder; }
    void speak(const QString &text, QLocale::Language language) override
    {
        spoken.append(language == QLocale::English ? text : "?" + text);
    }
    Speech canSpeak(QLocale::Language) override { return speech; }
    // File dialogues answer from a queue (cancelled when it is empty) and are recorded.
    QQueue<QString> fileNames;
    QList<FileQuestion> fileQuestions;
    QString askFileName(const FileQuestion &question) override
    {
        fileQuestions.append(question);
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }
    // Only the last watcher is told: the window under test.
    void watchSpeech(QObject *, const std::function<void()> &changed) override { speechChanged = changed; }
};
