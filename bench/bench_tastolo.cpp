// Measures how long the keyboard trainer's window is busy when a large text
// comes into its editing area (as "Apri" puts it there), when it is first
// painted, when it is scrolled to the middle and painted again, and when the
// text is taken back out as it is compared and saved; and, apart, how long
// reading the file takes. Texts that are one long run of letters without
// blanks, and ordinary lines of words, of the sizes given in kilobytes.
// Prints one line per case.
//
//   bench_tastolo [KB...]        (default: 256 1024 5120)

#include "Form1.h"
#include "textfile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// A desktop that answers nothing: the benchmark opens no box or dialogue.
class QuietPlatform : public Platform
{
public:
    Answer message(const QString &, const QString &, Buttons, Icon) override { return Answer::No; }
    QString currentFolder() override { return QStringLiteral("/"); }
    bool setCurrentFolder(const QString &) override { return true; }
    QString homeFolder() override { return QStringLiteral("/"); }
    QStringList drives() override { return { QStringLiteral("/") }; }
    void moveFrame(const QPoint &) override { }
};

QString runText(qsizetype size)
{
    return QString(size, QLatin1Char('x'));
}

// Lines of about 70 characters of short words, CR LF between them.
QString wordText(qsizetype size)
{
    const QString line
        = QStringLiteral("Questo è il mio primo lavoro al computer e sono molto contento.\r\n");
    QString text;
    text.reserve(size + line.size());
    while (text.size() < size)
        text += line;
    text.truncate(size);
    return text;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QString::fromLatin1(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes = { 256, 1024, 5120 };

    QuietPlatform platform;
    Form1 window(platform);
    window.show();
    auto *htext = window.findChild<QPlainTextEdit *>(QStringLiteral("Htext"));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("testo.txt"));
    std::printf("%-8s %-10s %10s %10s %12s %12s %12s\n", "KB", "text", "read ms", "open ms", "paint ms",
        "scroll ms", "text ms");
    for (const int kb : sizes) {
        for (const bool run : { true, false }) {
            const QString text = run ? runText(qsizetype(kb) * 1024) : wordText(qsizetype(kb) * 1024);
            const QString saved = TextFile::toCrLf(text);
            TextFile::write(path, saved);
            QElapsedTimer clock;
            clock.start();
            const TextFile::ReadResult file = TextFile::read(path);
            const qint64 reading = clock.elapsed();
            const bool read = file.text == saved + QStringLiteral("\r\n");
            clock.restart();
            window.setEditorText(text);
            const qint64 opened = clock.restart();
            htext->viewport()->grab();
            const qint64 painted = clock.restart();
            htext->verticalScrollBar()->setValue(htext->verticalScrollBar()->maximum() / 2);
            htext->viewport()->grab();
            const qint64 scrolled = clock.restart();
            const bool same = window.editorText() == saved;
            const qint64 taken = clock.elapsed();
            std::printf("%-8d %-10s %10lld %10lld %12lld %12lld %12lld%s\n", kb, run ? "one run" : "words",
                reading, opened, painted, scrolled, taken, same && read ? "" : "  (text changed!)");
            std::fflush(stdout);
        }
        window.setEditorText(QString());
    }
    return 0;
}
