#include "ExerciseWindow.h"
#include "qtplatform.h"
#include "userfile.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    UserFile::ignoreFileSizeSignal();
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tastolo/tastolo.svg")));
    // The desktop ties the window to the menu entry tastolo.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tastolo"));

    // Standard buttons and dialogues in Italian, whatever the locale.
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTranslator);

    QtPlatform platform;
    ExerciseWindow window(platform);
    platform.setWindow(&window);
    // When the desktop session ends the window closes without questions.
    QObject::connect(
        &app, &QGuiApplication::commitDataRequest, &window, [&window] { window.setSessionEnding(true); });
    window.show();
    return app.exec();
}
