// Measures what the keyboard trainer's size limits rest on: how long a text
// takes from its file to the first paint of the editing area (reading and
// decoding the file, putting the text in, painting), and how long a keystroke
// takes to be answered (the letter put in, the area laid out and painted),
// typed in the middle of the text's longest line. Beside each figure the same
// for a floor program: a plain QPlainTextEdit of the same size, font and
// wrapping that is given the decoded text. Texts: lines of words of the sizes
// given in KB; one line of words, and one run of letters without blanks, of
// the lengths given in thousands of characters. One line per case; each
// keystroke figure is the slowest of five. Then the file dialogue opened
// three times on a folder of many .txt files (100,000 unless told), its CPU
// time beside that of `ls` listing the same folder.
//
//   bench_tastolo [--words KB,...] [--line K,...] [--run K,...] [--folder N]

#include "ExerciseWindow.h"
#include "FileDialog.h"
#include "textfile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// A desktop that answers nothing: the benchmark opens no box or dialogue.
class QuietPlatform : public Platform
{
public:
    Answer message(const QString &, const QString &, Buttons, Icon) override { return Answer::No; }
    QString folder = QStringLiteral("/");
    QString currentFolder() override { return folder; }
    bool setCurrentFolder(const QString &) override { return true; }
    QString homeFolder() override { return QStringLiteral("/"); }
    QStringList drives() override { return { QStringLiteral("/") }; }
    void moveFrame(const QPoint &) override { }
};

const QString Words = QStringLiteral("Questo è il mio primo lavoro al computer e sono molto contento. ");

QByteArray wordLines(qsizetype size)
{
    QByteArray line = Words.trimmed().toLatin1() + "\r\n";
    return line.repeated(size / line.size() + 1).left(size);
}

// The slowest of five keystrokes in the middle of the longest line.
qint64 keystroke(QPlainTextEdit *area, int longestLineMiddle)
{
    QTextCursor cursor = area->textCursor();
    cursor.setPosition(longestLineMiddle);
    area->setTextCursor(cursor);
    area->viewport()->grab();
    qint64 slowest = 0;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer clock;
        clock.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(area, &press);
        QApplication::sendEvent(area, &release);
        area->viewport()->grab();
        slowest = std::max(slowest, clock.nsecsElapsed() / 1000);
    }
    return slowest;
}

// The CPU time, user and system, of this process or of its children that
// have ended, in milliseconds.
double cpuMs(int who)
{
    rusage usage {};
    getrusage(who, &usage);
    const auto ms
        = [](const timeval &time) { return double(time.tv_sec) * 1e3 + double(time.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The file dialogue opened three times on a folder of `count` .txt files,
// against `ls` listing it.
void openFolder(int count, ExerciseWindow &window, QuietPlatform &platform)
{
    QTemporaryDir folder;
    for (int i = 0; i < count; ++i) {
        QFile file(folder.filePath(QStringLiteral("lettera %1.txt").arg(i)));
        file.open(QIODevice::WriteOnly);
    }
    // A folder last changed a while ago, as one the user comes back to.
    const timespec times[2] { { 0, UTIME_OMIT }, { ::time(nullptr) - 60, 0 } };
    ::utimensat(AT_FDCWD, QFile::encodeName(folder.path()).constData(), times, 0);
    const double before = cpuMs(RUSAGE_CHILDREN);
    QProcess ls;
    ls.setStandardOutputFile(QProcess::nullDevice());
    ls.start(QStringLiteral("ls"), { folder.path() });
    ls.waitForFinished(-1);
    const double lsMs = cpuMs(RUSAGE_CHILDREN) - before;
    platform.folder = folder.path();
    window.state().CartellaCorrente.clear();
    for (int opening = 1; opening <= 3; ++opening) {
        QElapsedTimer clock;
        clock.start();
        const double cpu = cpuMs(RUSAGE_SELF);
        {
            FileDialog dialogue(platform, window.fileMenu(), &window);
            dialogue.show();
            dialogue.grab();
        }
        const double used = cpuMs(RUSAGE_SELF) - cpu;
        std::printf("folder of %d files, opening %d: %.0f ms CPU (%lld ms), ls %.0f ms CPU: %.1f times ls\n",
            count, opening, used, clock.elapsed(), lsMs, used / std::max(lsMs, 1.0));
        std::fflush(stdout);
    }
}

QList<int> numbers(const QStringList &arguments, const QString &option, const QList<int> &fallback)
{
    const qsizetype at = arguments.indexOf(option);
    if (at < 0 || at + 1 >= arguments.size())
        return fallback;
    QList<int> result;
    for (const QString &number : arguments.at(at + 1).split(QLatin1Char(',')))
        result << number.toInt();
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    struct Case
    {
        QString kind;
        int amount;
        QByteArray bytes;
    };
    QList<Case> cases;
    for (const int kb : numbers(arguments, QStringLiteral("--words"), { 1024, 4096, 8192, 16384 }))
        cases.append({ QStringLiteral("words KB"), kb, wordLines(qsizetype(kb) * 1024) });
    for (const int k : numbers(arguments, QStringLiteral("--line"), { 10, 50, 100, 200 }))
        cases.append({ QStringLiteral("line K"), k, Words.toLatin1().repeated(k * 1000 / Words.size()) });
    for (const int k : numbers(arguments, QStringLiteral("--run"), { 10, 50, 100 }))
        cases.append({ QStringLiteral("run K"), k, QByteArray(k * 1000, 'x') });

    QuietPlatform platform;
    ExerciseWindow window(platform);
    window.show();
    auto *htext = window.findChild<QPlainTextEdit *>(QStringLiteral("Htext"));
    QPlainTextEdit floor;
    floor.setFont(htext->font());
    floor.setWordWrapMode(htext->wordWrapMode());
    floor.resize(htext->size());
    floor.show();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("testo.txt"));
    std::printf(
        "%-9s %7s %9s %9s %12s %12s\n", "text", "amount", "open ms", "floor ms", "key us", "floor key us");
    for (const Case &c : cases) {
        TextFile::write(path, c.bytes);
        QElapsedTimer clock;
        clock.start();
        // Read as "Apri" reads, without its limits, which these figures set.
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        QString text;
        TextFile::Form::read(file.readAll(), text);
        window.setEditorText(text);
        htext->viewport()->grab();
        const qint64 opened = clock.restart();
        const QString decoded = QString::fromLatin1(c.bytes);
        floor.setPlainText(decoded);
        floor.viewport()->grab();
        const qint64 floorOpened = clock.elapsed();
        // The middle of the longest line: of the whole text when it is one.
        const int middle = int(text.size() / 2);
        const qint64 key = keystroke(htext, middle);
        const qint64 floorKey = keystroke(&floor, middle);
        std::printf("%-9s %7d %9lld %9lld %12lld %12lld\n", qPrintable(c.kind), c.amount, opened, floorOpened,
            key, floorKey);
        std::fflush(stdout);
        window.setEditorText(QString());
        floor.clear();
    }
    for (const int count : numbers(arguments, QStringLiteral("--folder"), { 100'000 }))
        openFolder(count, window, platform);
    return 0;
}
