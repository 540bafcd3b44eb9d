#include "ChaseWindow.h"
#include "qtplatform.h"
#include "userfile.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>

namespace {

// A Wayland client cannot place its own window, and the game is all about the
// window jumping around the screen. In a Wayland session with XWayland at
// hand the program therefore runs as an X11 client, unless the user chose a
// platform explicitly.
void preferX11OnWayland()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
    if (wayland && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}

void loadItalianTranslations(QApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

} // namespace

int main(int argc, char *argv[])
{
    UserFile::ignoreFileSizeSignal();
    preferX11OnWayland();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mouse"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/mouse/mouse.svg")));
    // The desktop ties the window to the menu entry mouse.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("mouse"));
    loadItalianTranslations(app);

    QtPlatform platform;
    ChaseWindow form(platform);
    platform.setWindow(&form);

    // The first place on the screen: the middle.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        form.move(area.center() - QPoint(form.width() / 2, form.height() / 2));
    }
    form.show();
    return app.exec();
}
