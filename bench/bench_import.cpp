// The import of big spreadsheet files, as "Importa Vocaboli..." reads them:
// the file read and decoded, the table's kind, separator and columns found,
// the preview dialogue built (its first words and its column choices), and
// then every row turned into word lines as "Importa" does. Each file is
// imported by a child process of its own, so that its peak memory (VmHWM)
// is the import's alone; it is printed against the file's size.
//
// Each import is also set against reading the same file's bytes from the disk (the floor): a
// reading that grows faster than the file shows as a ratio that grows with it.
//
//   bench_import [MB] [IDS] [NAME_MB]
//       a CSV and a KVTML file of MB megabytes (100), one row of a million columns, a KVTML file
//       declaring IDS languages (100,000) and one whose language name has NAME_MB megabytes (50)
//   bench_import --run=FILE (one import, prints its figures; for a file of one's own)

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

// The least an import does: the file's bytes read from the disk in pieces; in milliseconds.
double floorRead(const QString &path)
{
    QElapsedTimer clock;
    clock.start();
    qint64 sum = 0;
    UserFile::readPieces(path, UserFile::MaxTextBytes, [&sum](const QByteArray &piece) {
        sum += piece.size();
        return true;
    });
    return sum > 0 ? double(clock.nsecsElapsed()) / 1e6 : -1;
}

int importRun(const QString &path)
{
    const double floorMs = floorRead(path);
    const long before = peakKilobytes();
    QElapsedTimer clock;
    clock.start();
    // As the import reads it: on a thread of its own, a KVTML file as it comes from the disk, a table from
    // its text, and what the dialogue's first guesses need.
    const Exchange::ImportSource source
        = ExchangeWindow::offThread([&path] { return Exchange::readImport(path); });
    if (!source.refusal.isEmpty()) {
        std::printf("cannot read %s: %s\n", qPrintable(path), qPrintable(source.refusal));
        return 1;
    }
    const qint64 read = clock.elapsed();
    const std::unique_ptr<ExchangeWindow> dialog(
        source.kvtml ? new ExchangeWindow(*source.kvtml) : new ExchangeWindow(*source.table));
    const int width = dialog->sizeHint().width(); // as it would open: a long name makes it wide
    const qint64 preview = clock.elapsed();
    const Exchange::Lines lines = dialog->lines(0);
    const qint64 all = clock.elapsed();
    std::printf("%9.1f MB | %6.1f ms | %6lld ms | %8lld ms | %6lld ms | %6.0f | %6d | %6d | %7d+%lld | %6ld "
                "MB | %4.2f | %5d px\n",
        double(QFile(path).size()) / 1e6, floorMs, static_cast<long long>(read),
        static_cast<long long>(preview), static_cast<long long>(all), double(preview) / floorMs,
        dialog->findChild<QComboBox *>(QStringLiteral("Inglese"))->count(),
        source.table ? source.table->columnCount() : 2, lines.added,
        static_cast<long long>(lines.refused + lines.over), (peakKilobytes() - before) / 1024,
        double(peakKilobytes() - before) * 1024 / double(QFile(path).size()), width);
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

// A KVTML file declaring `languages` languages, English and Italian among the first, and one word.
bool writeManyLanguages(const QString &path, int languages)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kvtml version=\"2.0\"><identifiers>\n"
                     "<identifier id=\"0\"><name>English</name><locale>en</locale></identifier>\n"
                     "<identifier id=\"1\"><name>Italiano</name><locale>it</locale></identifier>\n";
    for (int id = 2; id < languages; ++id)
        xml += "<identifier id=\"" + QByteArray::number(id) + "\"><name>Lingua " + QByteArray::number(id)
            + "</name><locale>x" + QByteArray::number(id) + "</locale></identifier>\n";
    return file.write(xml
               + "</identifiers><entries><entry id=\"0\"><translation id=\"0\"><text>dog</text></translation>"
                 "<translation id=\"1\"><text>cane</text></translation></entry></entries></kvtml>\n")
        > 0;
}

// A KVTML file whose first language has a name of `bytes` letters.
bool writeLongName(const QString &path, qint64 bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kvtml version=\"2.0\"><identifiers>"
                      "<identifier id=\"0\"><name>")
        > 0
        && file.write(QByteArray(bytes, 'a')) == bytes
        && file.write("</name><locale>en</locale></identifier><identifier id=\"1\"><locale>it</locale>"
                      "</identifier></identifiers><entries><entry id=\"0\"><translation id=\"0\"><text>dog"
                      "</text></translation><translation id=\"1\"><text>cane</text></translation></entry>"
                      "</entries></kvtml>\n")
        > 0;
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
    const int languages = args.size() > 2 ? args.at(2).toInt() : 100'000;
    const qint64 nameMegabytes = args.size() > 3 ? args.at(3).toLongLong() : 50;
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("big.csv"));
    const QString wide = dir.filePath(QStringLiteral("wide.csv"));
    const QString kvtml = dir.filePath(QStringLiteral("big.kvtml"));
    const QString ids = dir.filePath(QStringLiteral("ids.kvtml"));
    const QString name = dir.filePath(QStringLiteral("name.kvtml"));
    if (!writeCsv(csv, megabytes * 1000 * 1000) || !writeWideRow(wide, 1'000'000)
        || !writeKvtml(kvtml, int(megabytes * 1000 * 1000 / 130)) || !writeManyLanguages(ids, languages)
        || !writeLongName(name, nameMegabytes * 1000 * 1000))
        return 1;
    std::printf(
        "     file |  floor |   read | preview  | import | preview/floor | offered | columns | lines+left | "
        "peak   | peak/size | width\n");
    std::fflush(stdout); // before the children's lines
    for (const QString &path : { csv, wide, kvtml, ids, name }) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(app.applicationFilePath(), { QStringLiteral("--run=") + path });
        child.waitForFinished(-1);
    }
    return 0;
}
