#include "qtplatform.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QStorageInfo>

Platform::Answer QtPlatform::message(const QString &title, const QString &text, Buttons buttons, Icon icon)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    // The texts use CR LF between lines; the box wants plain line feeds.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box.setText(shown);
    box.setTextFormat(Qt::PlainText);
    box.setIcon(icon == Icon::Information ? QMessageBox::Information
            : icon == Icon::Stop          ? QMessageBox::Critical
                                          : QMessageBox::NoIcon);
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        // Closing the box with its title bar counts as No.
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

QString QtPlatform::currentFolder()
{
    return QDir::toNativeSeparators(QDir::currentPath());
}

bool QtPlatform::setCurrentFolder(const QString &folder)
{
    return QDir::setCurrent(folder);
}

QStringList QtPlatform::drives()
{
    QStringList roots;
    for (const QFileInfo &drive : QDir::drives())
        roots << QDir::toNativeSeparators(drive.absoluteFilePath());
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString root = QDir::toNativeSeparators(volume.rootPath());
        if (!roots.contains(root))
            roots << root;
    }
    return roots;
}
