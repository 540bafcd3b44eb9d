#include "filechoice.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace FileChoice {

QString startFolder(const QString &lastFolder)
{
    if (!lastFolder.isEmpty() && QFileInfo(lastFolder).isDir())
        return lastFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString replaceQuestion(const QString &path)
{
    return QStringLiteral("Il file ") + path + QStringLiteral(" esiste gi\u00e0.\r\n\r\nVuoi sostituirlo?");
}

QString refusedTarget(const QString &path, const DataFolder &dataFolder)
{
    const std::optional<DataFolder::File> own = dataFolder.ownFile(path);
    if (!own)
        return QString();
    return QStringLiteral("Il file ") + path + QStringLiteral(" \u00e8 uno dei file del programma (")
        + DataFolder::role(*own)
        + QStringLiteral("): scrivendoci sopra lo perderesti.\r\n\r\nScegli un altro nome.");
}

QString ask(
    Platform &platform, Platform::FileQuestion question, QString &lastFolder, const DataFolder &dataFolder)
{
    question.folder = startFolder(lastFolder);
    for (;;) {
        QString path = platform.askFileName(question);
        if (path.isEmpty())
            return QString();
        lastFolder = QFileInfo(path).absolutePath();
        question.folder = lastFolder;
        if (question.mode == Platform::FileQuestion::Mode::Save) {
            // A dialogue that did not add the extension did not ask about the
            // file that has it either.
            if (!question.suffix.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
                path += u'.' + question.suffix;
                if (QFileInfo(path).isFile()
                    && platform.message(question.title, replaceQuestion(path), Platform::Buttons::YesNo,
                           Platform::Icon::Information)
                        != Platform::Answer::Yes)
                    continue;
            }
            if (const QString refused = refusedTarget(path, dataFolder); !refused.isEmpty()) {
                platform.message(question.title, refused, Platform::Buttons::Ok, Platform::Icon::Stop);
                continue;
            }
        }
        return path;
    }
}

} // namespace FileChoice
