#include "qtplatform.h"

#include "messagebox.h"
#include "userfile.h"

#include <QApplication>
#include <QDir>
#include <QStorageInfo>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <memory>

#include <unistd.h>

namespace {
constexpr int FramePlacementStepMs = 20;
constexpr int FramePlacementTicks = 2000 / FramePlacementStepMs;
constexpr int FramePlacementAskEvery = 5;
} // namespace

Platform::Answer QtPlatform::message(const QString &title, const QString &text, Buttons buttons, Icon icon)
{
    return messageBox(QApplication::activeWindow(), title, text, buttons, icon);
}

// The folder as the system names it: the toolkit's own calls would change a
// byte of its path that is not UTF-8, and lose the folder.
QString QtPlatform::currentFolder()
{
    const std::unique_ptr<char, void (*)(void *)> path(::getcwd(nullptr, 0), std::free);
    return path ? UserFile::fromNativeName(path.get()) : QString();
}

bool QtPlatform::setCurrentFolder(const QString &folder)
{
    return ::chdir(UserFile::nativeName(folder).constData()) == 0;
}

QString QtPlatform::homeFolder()
{
    return QDir::toNativeSeparators(QDir::homePath());
}

void QtPlatform::moveFrame(const QPoint &topLeft)
{
    // For a top-level window move() places the outer frame, decorations
    // included, only once the window manager has put the frame around it and
    // told its size; before that it places the client area, and the frame
    // then goes around the client where it stands. So the window is moved at
    // once (right where there is no frame) and again as soon as a frame shows
    // and is not where it should be, until it is; at most for two seconds.
    if (!m_window)
        return;
    m_window->move(topLeft);
    auto ticks = std::make_shared<int>(FramePlacementTicks);
    auto *timer = new QTimer(m_window);
    timer->setInterval(FramePlacementStepMs);
    QObject::connect(timer, &QTimer::timeout, m_window, [this, timer, topLeft, ticks] {
        const bool framed = m_window->frameGeometry().topLeft() != m_window->geometry().topLeft();
        if (framed && m_window->frameGeometry().topLeft() != topLeft) {
            m_window->move(topLeft);
        } else if (framed) {
            timer->deleteLater();
        } else if (--*ticks == 0) {
            m_window->move(topLeft);
            timer->deleteLater();
        } else if (*ticks % FramePlacementAskEvery == 0) {
            // The toolkit learns the frame's size anew only when the window
            // manager reports a move: a nudge by a pixel makes it report.
            m_window->move(topLeft + QPoint(*ticks / FramePlacementAskEvery % 2, 0));
        }
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
