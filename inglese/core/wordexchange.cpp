#include "wordexchange.h"

#include "userfile.h"

namespace Exchange {

QString suffix(Format format)
{
    switch (format) {
    case Format::Csv:
        return QStringLiteral("csv");
    case Format::Tsv:
        return QStringLiteral("tsv");
    case Format::Kvtml:
        break;
    }
    return QStringLiteral("kvtml");
}

QByteArray write(Format format, const QList<Word> &words)
{
    switch (format) {
    case Format::Csv:
        return writeCsv(words);
    case Format::Tsv:
        return writeTsv(words);
    case Format::Kvtml:
        break;
    }
    return writeKvtml(words);
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    const UserFile::Written written = UserFile::write(path, bytes);
    if (written)
        return true;
    if (error)
        *error = QStringLiteral("Non \u00e8 stato possibile scrivere il file ") + path + QStringLiteral(" (")
            + UserFile::reasonText(written)
            + QStringLiteral("): il file di prima, se c'era, \u00e8 rimasto com'era.");
    return false;
}

} // namespace Exchange
