#include "MainWindow.h"
#include "SplashWindow.h"
#include "mainrules.h"
#include "qtplatform.h"
#include "session.h"
#include "userfile.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

int main(int argc, char *argv[])
{
    UserFile::ignoreFileSizeSignal();
    Session session; // outlives every window
    QApplication app(argc, argv);

    // Qt's own texts (standard buttons and the like) in Italian, whatever the locale.
    QTranslator qtItalian;
    if (qtItalian.load(QStringLiteral("qtbase_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtItalian);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/inglese/icona.svg")));
    // The desktop ties the windows to the menu entry inglese.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("inglese"));

    QtPlatform platform;
    // The launcher could not prepare the data folder: say why, then end.
    if (const QString failure = MainRules::launchFailure(QApplication::arguments()); !failure.isNull()) {
        platform.message(MainRules::LaunchFailedTitle, failure, Platform::Buttons::Ok, Platform::Icon::Stop);
        return 1;
    }
    QPointer<SplashWindow> splash = new SplashWindow(session, platform);
    splash->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<MainWindow> mainWindow;
    QObject::connect(splash.data(), &SplashWindow::startupFailed, &app, [] { QCoreApplication::exit(1); });
    QObject::connect(splash.data(), &SplashWindow::started, &app, [&mainWindow](MainWindow *window) {
        mainWindow = window;
        QObject::connect(window, &MainWindow::programEnded, qApp, [] { QCoreApplication::quit(); });
    });
    splash->show();
    const int code = QApplication::exec();
    delete mainWindow.data();
    delete splash.data();
    return code;
}
