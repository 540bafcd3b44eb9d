#include "qtplatform.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QStorageInfo>
#include <QTimer>

#include <memory>

namespace {
constexpr int FramePlacementTries = 20;
constexpr int FramePlacementStepMs = 50;
} // namespace

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
    // For a top-level window move() places the outer frame, decorations
    // included, once the window manager has told the frame's size; until
    // then it places the client area, so the move is made again until the
    // frame stands where it should (for at most a second).
    if (!m_window)
        return;
    m_window->move(topLeft);
    auto tries = std::make_shared<int>(FramePlacementTries);
    auto *timer = new QTimer(m_window);
    timer->setInterval(FramePlacementStepMs);
    QObject::connect(timer, &QTimer::timeout, m_window, [this, timer, topLeft, tries] {
        if (m_window->frameGeometry().topLeft() != topLeft)
            m_window->move(topLeft);
        if (m_window->frameGeometry().topLeft() == topLeft || --*tries == 0)
            timer->deleteLater();
    });
    timer->start();
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
