#pragma once

#include "platform.h"

class QWidget;

// The real desktop: the programs' message box, the process's current folder, the user's
// home folder, the mounted volumes and the main window's place.
class QtPlatform : public Platform
{
public:
    // The window that moveFrame() places.
    void setWindow(QWidget *window) { m_window = window; }

    Answer message(const QString &title, const QString &text, Buttons buttons, Icon icon) override;
    QString currentFolder() override;
    bool setCurrentFolder(const QString &folder) override;
    QString homeFolder() override;
    QStringList drives() override;
    void moveFrame(const QPoint &topLeft) override;

private:
    QWidget *m_window = nullptr;
};
