#include "qtplatform.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
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
        // Escape and the box's own close control back out of the whole
        // action: they press a hidden button that is neither Yes nor No.
        QPushButton *backOut = box.addButton(QMessageBox::Cancel);
        backOut->hide();
        box.setEscapeButton(backOut);
        box.exec();
        return box.clickedButton() == box.button(QMessageBox::Yes) ? Answer::Yes
            : box.clickedButton() == box.button(QMessageBox::No)   ? Answer::No
                                                                   : Answer::Cancel;
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

QString QtPlatform::homeFolder()
{
    return QDir::toNativeSeparators(QDir::homePath());
}

void QtPlatform::moveFrame(const QPoint &topLeft)
{
    // For a top-level window move() places the outer frame, decorations included.
    if (m_window)
        m_window->move(topLeft);
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
