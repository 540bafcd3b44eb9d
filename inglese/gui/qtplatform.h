#pragma once

#include "platform.h"

#include <QObject>

#include <random>

class QTimer;
class QtSpeech;

// The real desktop: the programs' message box, the display's bell, a Mersenne Twister, the
// system clock, the primary screen, Qt's text-to-speech and Qt's file dialogue.
class QtPlatform : public QObject, public Platform
{
    Q_OBJECT

public:
    // What the layer takes from the machine besides Qt's windows: the bell that
    // sounds one beep, and the clock that seeds the random numbers. Empty ones
    // are the display's bell and the system clock; tests count and fix them.
    struct Machine
    {
        std::function<void()> bell;
        std::function<qint64()> clock;
    };
    explicit QtPlatform(QObject *parent = nullptr, Machine machine = {});

    Answer message(const QString &title, const QString &text, Buttons buttons, Icon icon) override;
    void beep(int times) override;
    double random() override;
    void seedRandomFromClock() override;
    QDate currentDate() override;
    QTime currentTime() override;
    QSize screenSize() override;
    QString currentFolder() override;
    void speak(const QString &text, QLocale::Language language) override;
    Speech canSpeak(QLocale::Language language) override;
    void watchSpeech(QObject *context, const std::function<void()> &changed) override;
    QString askFileName(const FileQuestion &question) override;

private:
    Machine m_machine;
    std::mt19937 m_generator;
    QTimer *m_beepTimer;
    int m_pendingBeeps = 0;
    QtSpeech *m_speech;
};
