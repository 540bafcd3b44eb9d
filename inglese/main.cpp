#include "Form0.h"
#include "Form1.h"
#include "mainrules.h"
#include "qtplatform.h"
#include "session.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

int main(int argc, char *argv[])
{
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
    QPointer<Form0> splash = new Form0(session, platform);
    splash->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<Form1> mainWindow;
    QObject::connect(splash.data(), &Form0::startupFailed, &app, [] { QCoreApplication::exit(1); });
    QObject::connect(splash.data(), &Form0::started, &app, [&mainWindow](Form1 *form1) {
        mainWindow = form1;
        QObject::connect(form1, &Form1::programEnded, qApp, [] { QCoreApplication::quit(); });
    });
    splash->show();
    const int code = QApplication::exec();
    delete mainWindow.data();
    delete splash.data();
    return code;
}
