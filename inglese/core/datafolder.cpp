#include "datafolder.h"

#include <QDir>
#include <QFileInfo>

DataFolder::DataFolder(const QString &folder)
    : m_folder(folder.endsWith(u'/') || folder.endsWith(u'\\') ? folder : folder + u'/')
{
}

DataFolder DataFolder::forCurrentFolder(const QString &currentFolder)
{
    return DataFolder(
        currentFolder == QLatin1String("d:\\vb") ? QStringLiteral("d:\\vb50\\ingle\\") : currentFolder);
}

QLatin1StringView DataFolder::name(File file)
{
    switch (file) {
    case WordsFile:
        return QLatin1StringView("inglese.txt");
    case HelpFile:
        return QLatin1StringView("aiutoV5.txt");
    case LogFile:
        return QLatin1StringView("inglelog");
    case ReviewFile:
        return QLatin1StringView("ripasso.tsv");
    case ReviewLogFile:
        return QLatin1StringView("ripassolog");
    case ReviewCopyFile:
        return QLatin1StringView("ripasso-copia.tsv");
    case FileCount:
        break;
    }
    return {};
}

QString DataFolder::role(File file)
{
    switch (file) {
    case WordsFile:
        return QStringLiteral("i vocaboli");
    case HelpFile:
        return QStringLiteral("le istruzioni");
    case LogFile:
        return QStringLiteral("il registro delle prove");
    case ReviewFile:
        return QStringLiteral("la memoria del ripasso");
    case ReviewLogFile:
        return QStringLiteral("il registro del ripasso");
    case ReviewCopyFile:
        return QStringLiteral("la copia della memoria del ripasso");
    case FileCount:
        break;
    }
    return {};
}

namespace {
// Where a write to `path` lands: links followed to the name they give, in
// its folder's one true form.
QString landing(const QString &path)
{
    QFileInfo info(path);
    for (int hops = 0; info.isSymLink() && hops < 40; ++hops)
        info.setFile(info.symLinkTarget());
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : folder + u'/' + info.fileName();
}
} // namespace

std::optional<DataFolder::File> DataFolder::ownFile(const QString &path) const
{
    if (isNull())
        return std::nullopt;
    const QString target = landing(path);
    for (int file = 0; file < FileCount; ++file) {
        if (landing(this->path(File(file))) == target)
            return File(file);
    }
    return std::nullopt;
}
