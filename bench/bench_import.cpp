// The import of big spreadsheet files, as "Importa Vocaboli..." reads them:
// the file read and decoded, the table's kind, separator and columns found,
// the preview dialogue built (its first words and its column choices), and
// then every row turned into word lines as "Importa" does. Each file is
// imported by a child process of its own, so that its peak memory (VmHWM)
// is the import's alone; it is printed against the file's size.
//
//   bench_import [MB]       a CSV and a KVTML file of MB megabytes (100), one row of a million columns
//   bench_import --run=FILE (internal: one import, prints its figures)

#include "benchplatform.h"

#include "ExchangeWindow.h"
#include "lessons.h"
#include "userfile.h"
#include "wordexchange.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

#include <cstdio>

namespace {

int importRun(const QString &path)
{
    const long before = peakKilobytes();
    QElapsedTimer clock;
    clock.start();
    // As the import reads them: a KVTML file as it comes from the disk, a table from its text.
    const bool kvtml = path.endsWith(QStringLiteral(".kvtml"));
    UserFile::Pieces pieces;
    const Exchange::Kvtml vocabulary = kvtml ? Exchange::readKvtmlFile(path, pieces) : Exchange::Kvtml();
    const UserFile::Text file = kvtml ? UserFile::Text() : UserFile::readText(path, UserFile::MaxTextBytes);
    if (!(kvtml ? bool(pieces) : bool(file))) {
        std::printf("cannot read %s\n", qPrintable(path));
        return 1;
    }
    const qint64 read = clock.elapsed();
    const Exchange::Table table = kvtml ? Exchange::Table() : Exchange::readTableText(file.text);
    const std::unique_ptr<ExchangeWindow> dialog(
        kvtml ? new ExchangeWindow(vocabulary) : new ExchangeWindow(table));
    const qint64 preview = clock.elapsed();
    const Exchange::Lines lines = dialog->lines(0);
    const qint64 all = clock.elapsed();
    std::printf("%9.1f MB | %6lld ms | %8lld ms | %6lld ms | %6d | %6d | %7d+%lld | %6ld MB | %4.2f\n",
        double(QFile(path).size()) / 1e6, static_cast<long long>(read), static_cast<long long>(preview),
        static_cast<long long>(all), dialog->findChild<QComboBox *>(QStringLiteral("Inglese"))->count(),
        kvtml ? 2 : table.columnCount(), lines.added, static_cast<long long>(lines.refused + lines.over),
        (peakKilobytes() - before) / 1024,
        double(peakKilobytes() - before) * 1024 / double(QFile(path).size()));
    return 0;
}

// Rows of real length: a lesson, an English and an Italian word with an accent.
bool writeCsv(const QString &path, qint64 bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk = "lezione,inglese,italiano\r\n";
    for (qint64 row = 0, written = 0; written < bytes; ++row) {
        chunk += QByteArray::number(row % (MaxLesson + 1)) + ",word" + QByteArray::number(row)
            + ",\"parol\xC3\xA0 " + QByteArray::number(row) + "\"\r\n";
        if (chunk.size() > (1 << 20)) {
            written += file.write(chunk);
            chunk.clear();
        }
    }
    return file.write(chunk) == chunk.size();
}

// A KVTML file of `entries` words in two languages, spread over the numbered lessons.
bool writeKvtml(const QString &path, int entries)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kvtml version=\"2.0\"><identifiers>"
                     "<identifier id=\"0\"><locale>en</locale></identifier><identifier id=\"1\">"
                     "<locale>it</locale></identifier></identifiers><entries>\n";
    for (int e = 0; e < entries; ++e) {
        xml += "<entry id=\"" + QByteArray::number(e) + "\"><translation id=\"0\"><text>word"
            + QByteArray::number(e) + "</text></translation><translation id=\"1\"><text>parol\xC3\xA0 "
            + QByteArray::number(e) + "</text></translation></entry>\n";
    }
    xml += "</entries><lessons>";
    for (int lesson = 1; lesson <= MaxLesson; ++lesson) {
        xml += "<container><name>Lezione " + QByteArray::number(lesson) + "</name>";
        for (int e = lesson - 1; e < entries; e += MaxLesson)
            xml += "<entry id=\"" + QByteArray::number(e) + "\"/>";
        xml += "</container>\n";
    }
    return file.write(xml + "</lessons></kvtml>\n") > 0;
}

bool writeWideRow(const QString &path, int columns)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray row;
    for (int c = 0; c < columns; ++c)
        row += "w" + QByteArray::number(c) + (c + 1 < columns ? "," : "\r\n");
    return file.write(row + "dog,cane\r\n") > 0;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() > 1 && args.at(1).startsWith(u"--run="))
        return importRun(args.at(1).mid(6));
    const qint64 megabytes = args.size() > 1 ? args.at(1).toLongLong() : 100;
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("big.csv"));
    const QString wide = dir.filePath(QStringLiteral("wide.csv"));
    const QString kvtml = dir.filePath(QStringLiteral("big.kvtml"));
    if (!writeCsv(csv, megabytes * 1000 * 1000) || !writeWideRow(wide, 1'000'000)
        || !writeKvtml(kvtml, int(megabytes * 1000 * 1000 / 130)))
        return 1;
    std::printf(
        "     file |   read | preview  | import | offered | columns | lines+left | peak   | peak/size\n");
    for (const QString &path : { csv, wide, kvtml }) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(app.applicationFilePath(), { QStringLiteral("--run=") + path });
        child.waitForFinished(-1);
    }
    return 0;
}
