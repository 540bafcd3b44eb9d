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

ImportSource readImport(const QString &path)
{
    ImportSource source;
    if (path.endsWith(QStringLiteral(".kvtml"), Qt::CaseInsensitive)) {
        UserFile::Pieces read;
        source.kvtml = readKvtmlFile(path, read);
        source.refusal = read
            ? source.kvtml->error
            : UserFile::problemText(path, read.problem, UserFile::MaxTextBytes, read.reason);
        return source;
    }
    const UserFile::Text file = UserFile::readText(path, UserFile::MaxTextBytes);
    if (!file) {
        source.refusal = UserFile::problemText(path, file.problem, UserFile::MaxTextBytes, file.reason);
    } else if (const QStringView start = QStringView(file.text).trimmed();
               start.startsWith(u"<?") || start.startsWith(u"<!") || start.startsWith(u"<kvtml")) {
        source.kvtml = readKvtmlText(file.text);
        source.refusal = source.kvtml->error;
    } else {
        source.table = readTableText(file.text);
        if (source.table->columnCount() < 2)
            source.refusal
                = QStringLiteral("Nel file non ci sono due colonne (inglese e italiano) separate da "
                                 "virgola, punto e virgola o tabulazione.");
    }
    return source;
}

} // namespace Exchange
