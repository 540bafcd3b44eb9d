#pragma once

#include "platform.h"

// The real desktop: QMessageBox, the process's current folder and the
// mounted volumes.
class QtPlatform : public Platform
{
public:
    Answer message(const QString &title, const QString &text, Buttons buttons, Icon icon) override;
    QString currentFolder() override;
    bool setCurrentFolder(const QString &folder) override;
    QStringList drives() override;
};
