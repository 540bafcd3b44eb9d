#pragma once

#include "platform.h"

#include <QFile>

#include <cstdint>

// The most memory this process has held so far (VmHWM), in kilobytes; -1 when unknown.
inline long peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// The desktop for measuring: message boxes answer OK at once (and are
// counted), beeps are counted, random numbers come from a fixed-seed
// generator.
class BenchPlatform : public Platform
{
public:
    int messages = 0;
    int beeps = 0;
    QString folder;

    Answer message(const QString &, const QString &, Buttons, Icon) override
    {
        ++messages;
        return Answer::Ok;
    }
    void beep(int times) override { beeps += times; }
    double random() override
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return double(m_state >> 11) * (1.0 / 9007199254740992.0);
    }
    void seedRandomFromClock() override { }
    QDate currentDate() override { return { 2026, 12, 6 }; }
    QTime currentTime() override { return { 9, 0 }; }
    QSize screenSize() override { return { 1280, 1024 }; }
    QString currentFolder() override { return folder; }
    QString askFileName(const FileQuestion &) override { return QString(); }

private:
    std::uint64_t m_state = 0x9E3779B97F4A7C15ull;
};
