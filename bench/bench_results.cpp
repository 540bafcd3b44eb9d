// Measures the results window on an exit log of 10,000 runs, one a day for
// some 27 years: reading the log, building the window and drawing it once it
// shows the log. Target: under 200 ms for the whole. Prints Google Benchmark's
// table, then a line with the median against the target, then one run on a
// log of 5 million lines: how soon the window is on the screen (target about
// a second; the log is read on a thread of its own) and how soon it shows
// the totals. Then the memory the reading takes beyond what the program held
// before (its peak, and what stays after the window closed): the 5-million-line
// log read to its end; four windows opened on it and closed while reading;
// a log of about 1 GB, the largest the program reads (target: within about
// 100 MB, whatever the log's size).
//
//   bench_results [benchmark flags] [--no-gigabyte]

#include "benchplatform.h"

#include "ResultsWindow.h"
#include "lessons.h"
#include "session.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int LogLines = 10000;
constexpr double TargetMs = 200;
constexpr int BigLogLines = 5'000'000;
constexpr double BigTargetMs = 1000;
constexpr double MemoryTargetMb = 100;
constexpr qint64 GigabyteLog = 1000LL * 1024 * 1024; // under the 1 GiB that the program reads

// A log of `lines` runs ending on the benchmark's today, varied in time, words, points and lessons.
QByteArray makeLog(int lines)
{
    QByteArray log;
    const QDate today(2026, 12, 6);
    for (int i = 0; i < lines; ++i) {
        const QDate day = today.addDays(i - lines + 1);
        const QTime start(8 + i % 12, i % 60, i % 7);
        const QTime end = start.addSecs(600 + 37 * (i % 50));
        log += day.toString(u"dd/MM/yyyy").toLatin1() + ' ' + start.toString(u"HH:mm:ss").toLatin1() + ' '
            + end.toString(u"HH:mm:ss").toLatin1() + "    " + QByteArray::number(5 + i % 40) + '/'
            + QByteArray::number(900 + (i * 37) % 250) + '/' + QByteArray::number(i % 6) + "       "
            + (i % 4 == 0 ? QByteArray(" TUTTE") : ' ' + QByteArray::number(1 + i % MaxLesson)) + "\r\n";
    }
    return log;
}

struct Fixture
{
    QTemporaryDir folder;
    Session session;
    BenchPlatform platform;

    // A log of `lines` runs, or of about `bytes` (pieces of 100,000 runs) when given.
    explicit Fixture(int lines = LogLines, qint64 bytes = 0)
    {
        QFile file(folder.filePath(QStringLiteral("inglelog")));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write the log");
        const QByteArray log = makeLog(bytes > 0 ? 100'000 : lines);
        do {
            if (file.write(log) != log.size())
                qFatal("cannot write the log");
        } while (file.size() + log.size() <= bytes);
        session.dataFolder = DataFolder(folder.path());
        session.startTime = QTime(8, 30);
    }
};

// A figure of the process from /proc/self/status ("VmRSS", "VmHWM"), in MB.
double statusMb(const std::string &name)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(name + ':', 0) == 0)
            return std::stod(line.substr(name.size() + 1)) / 1024;
    return 0;
}

// From now on the peak is measured afresh.
void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Memory beyond `before`: the peak since the last reset and what is still held.
void printMemory(const char *what, double before, double ms)
{
    QCoreApplication::processEvents();
    const double peak = statusMb("VmHWM") - before, held = statusMb("VmRSS") - before;
    std::printf("%s: peak %.0f MB (target < %.0f MB: %s), %.0f MB held after, %.0f ms\n", what, peak,
        MemoryTargetMb, peak < MemoryTargetMb ? "met" : "MISSED", held, ms);
}

Fixture &fixture()
{
    static Fixture f;
    return f;
}

// Handles events until the window has shown its log; false after `ms` without.
bool waitForLog(const bool &shown, int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!shown && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return shown;
}

// Opens the window on the log and draws it as it first appears on the screen.
double openAndDraw()
{
    QElapsedTimer clock;
    clock.start();
    ResultsWindow window(fixture().session, fixture().platform);
    bool shown = false;
    QObject::connect(&window, &ResultsWindow::logShown, [&shown] { shown = true; });
    if (!waitForLog(shown, 60000))
        qFatal("the log was not shown");
    window.resize(700, 480);
    const QPixmap picture = window.grab();
    benchmark::DoNotOptimize(picture.cacheKey());
    return clock.nsecsElapsed() / 1e6;
}

std::vector<double> &timesMs()
{
    static std::vector<double> times;
    return times;
}

void BM_ResultsWindow(benchmark::State &state)
{
    for (auto _ : state) {
        const double ms = openAndDraw();
        timesMs().push_back(ms);
        state.SetIterationTime(ms / 1000);
    }
    state.SetLabel("10,000-line log: open and draw");
}
BENCHMARK(BM_ResultsWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    benchmark::Initialize(&argc, argv);
    fixture();
    openAndDraw(); // the first run loads fonts and plugins
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::vector<double> &times = timesMs();
    if (times.empty())
        return 0;
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("\nResults window, %d-line log, open and draw: median %.1f ms, target < %.0f ms: %s\n",
        LogLines, median, TargetMs, median < TargetMs ? "met" : "MISSED");

    Fixture big(BigLogLines);
    QElapsedTimer clock;
    clock.start();
    ResultsWindow window(big.session, big.platform);
    bool shown = false;
    QObject::connect(&window, &ResultsWindow::logShown, [&shown] { shown = true; });
    window.resize(700, 480);
    window.show();
    benchmark::DoNotOptimize(window.grab().cacheKey());
    const double onScreen = clock.nsecsElapsed() / 1e6;
    if (!waitForLog(shown, 120000))
        qFatal("the big log was not shown");
    const double totals = clock.nsecsElapsed() / 1e6;
    std::printf("Results window, %d-line log: on the screen in %.0f ms (target < %.0f ms: %s), "
                "totals and chart in %.0f ms\n",
        BigLogLines, onScreen, BigTargetMs, onScreen < BigTargetMs ? "met" : "MISSED", totals);
    window.close();

    // Memory: each measure starts from what the program holds with no results window open.
    QCoreApplication::processEvents();
    double before = statusMb("VmRSS");
    resetPeak();
    clock.restart();
    {
        ResultsWindow reading(big.session, big.platform);
        bool read = false;
        QObject::connect(&reading, &ResultsWindow::logShown, [&read] { read = true; });
        if (!waitForLog(read, 120000))
            qFatal("the big log was not shown");
    }
    printMemory("5-million-line log read to its end", before, clock.nsecsElapsed() / 1e6);
    before = statusMb("VmRSS");
    resetPeak();
    clock.restart();
    for (int round = 0; round < 4; ++round) {
        ResultsWindow closed(big.session, big.platform);
        bool read = false;
        QObject::connect(&closed, &ResultsWindow::logShown, [&read] { read = true; });
        waitForLog(read, 500); // still reading when it closes
    }
    printMemory("four windows closed while reading it", before, clock.nsecsElapsed() / 1e6);
    if (std::find(argv, argv + argc, std::string("--no-gigabyte")) != argv + argc)
        return 0;

    Fixture gigabyte(0, GigabyteLog);
    before = statusMb("VmRSS");
    resetPeak();
    clock.restart();
    {
        ResultsWindow reading(gigabyte.session, gigabyte.platform);
        bool read = false;
        QObject::connect(&reading, &ResultsWindow::logShown, [&read] { read = true; });
        if (!waitForLog(read, 1200000))
            qFatal("the 1 GB log was not shown");
        std::printf("%.0f MB log: %s\n",
            double(QFileInfo(gigabyte.folder.filePath("inglelog")).size()) / (1024 * 1024),
            qPrintable(reading.findChild<QLabel *>(QStringLiteral("Label3"))->text()));
    }
    printMemory("1 GB log read to its end", before, clock.nsecsElapsed() / 1e6);
    return 0;
}
