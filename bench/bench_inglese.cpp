// Measures the vocabulary trainer's logic on generated vocabularies of 1,000,
// 10,000 and 32,767 rows: start-up load against the plain reading of the same
// file, question preparation, the answer check of one keystroke, a save, the
// lesson column with 9,999 critical words, the main window's first paint and
// the process's peak memory. Prints Google Benchmark's table, then a summary
// with the targets, and writes everything as JSON (--json=PATH).
//
//   bench_inglese [--json=PATH] [--sizes=1000,10000,32767] [benchmark flags]
//   bench_inglese --peak-memory=ROWS   (internal: one start-up, prints VmHWM)
//   bench_inglese --start=main|floor --folder=DIR --since=NS   (internal: one
//       start-up of the main window or of the floor program, prints the time
//       to the first paint and VmHWM)
//   --start-runs=N   interleaved start-ups of each against the floor (9)

#include "benchplatform.h"
#include "vocabularymaker.h"

#include "MainWindow.h"
#include "drill.h"
#include "mainrules.h"
#include "session.h"
#include "vocabularyfile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStringDecoder>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace {

// ---- Files and loaded sessions, made once per size --------------------------

QTemporaryDir &workFolder()
{
    static QTemporaryDir folder;
    return folder;
}

// The folder holding the generated inglese.txt of `rows` rows.
QString vocabularyFolder(int rows)
{
    static std::map<int, QString> folders;
    auto found = folders.find(rows);
    if (found != folders.end())
        return found->second;
    const QString folder = workFolder().filePath(QString::number(rows)) + QLatin1Char('/');
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("inglese.txt"));
    if (!file.open(QIODevice::WriteOnly) || file.write(makeVocabulary(rows)) < 0)
        qFatal("cannot write the vocabulary for %d rows", rows);
    file.close();
    folders[rows] = folder;
    return folder;
}

QString vocabularyPath(int rows)
{
    return vocabularyFolder(rows) + QStringLiteral("inglese.txt");
}

// What the main window does at start-up with the file, without the window:
// stage 1, stage 2 with the bracket rule, lesson states and first selection.
bool loadSession(const QString &path, Session &session, Platform &platform)
{
    const UserFile::Text read = Vocabulary::readFile(path);
    if (!read)
        return false;
    const Vocabulary::FileText split = Vocabulary::splitFileText(read.text);
    session.selection.rebuildNeeded = true;
    return Vocabulary::parseWordList(
               split.wordText, session.words, session.memoc, session.selection.builtFromCritical(), platform)
        && MainRules::fillLessonState(session);
}

struct Loaded
{
    Session session;
    BenchPlatform platform;
};

Loaded &loaded(int rows)
{
    static std::map<int, std::unique_ptr<Loaded>> sessions;
    auto &slot = sessions[rows];
    if (!slot) {
        slot = std::make_unique<Loaded>();
        if (!loadSession(vocabularyPath(rows), slot->session, slot->platform))
            qFatal("the generated vocabulary of %d rows does not load", rows);
    }
    return *slot;
}

// ---- The measurements ---------------------------------------------------------

void startupLoad(benchmark::State &state)
{
    const QString path = vocabularyPath(int(state.range(0)));
    BenchPlatform platform;
    for (auto _ : state) {
        auto session = std::make_unique<Session>();
        if (!loadSession(path, *session, platform))
            state.SkipWithError("the vocabulary does not load");
        benchmark::DoNotOptimize(session->selection.selectionCount);
        // Freeing the table is not part of the start-up.
        state.PauseTiming();
        session.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = double(state.range(0));
}

// The start-up load step by step, to show where its time goes: 0 reading and
// decoding the file, 1 stage 1, 2 stage 2 (word table and bracket rule), 3
// lesson states and first selection.
void loadStep(benchmark::State &state)
{
    const QString path = vocabularyPath(int(state.range(0)));
    const int step = int(state.range(1));
    BenchPlatform platform;
    const QString text = Vocabulary::readFile(path).text;
    const Vocabulary::FileText split = Vocabulary::splitFileText(text);
    for (auto _ : state) {
        auto session = std::make_unique<Session>();
        if (step == 0) {
            const UserFile::Text read = Vocabulary::readFile(path);
            benchmark::DoNotOptimize(read.text.constData());
        } else if (step == 1) {
            benchmark::DoNotOptimize(Vocabulary::splitFileText(text).wordText.constData());
        } else {
            if (step == 3) {
                state.PauseTiming();
                Vocabulary::parseWordList(split.wordText, session->words, session->memoc, false, platform);
                state.ResumeTiming();
                MainRules::fillLessonState(*session);
            } else {
                Vocabulary::parseWordList(split.wordText, session->words, session->memoc, false, platform);
            }
        }
        state.PauseTiming();
        session.reset();
        state.ResumeTiming();
    }
}

// The floor: the file's bytes read and split into lines, nothing else (each
// line a byte string of its own, as the plain way of reading lines gives them).
void readAndSplit(benchmark::State &state)
{
    const QString path = vocabularyPath(int(state.range(0)));
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot read");
        auto lines = std::make_unique<QList<QByteArray>>(file.readAll().split('\n'));
        benchmark::DoNotOptimize(lines->constData());
        state.PauseTiming();
        lines.reset();
        state.ResumeTiming();
    }
}

// Reading and finding the line ends only, without a string per line.
void readAndFindLines(benchmark::State &state)
{
    const QString path = vocabularyPath(int(state.range(0)));
    std::vector<QByteArrayView> lines;
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot read");
        const QByteArray bytes = file.readAll();
        lines.clear();
        const char *begin = bytes.constData();
        const char *end = begin + bytes.size();
        while (begin < end) {
            const char *lf = static_cast<const char *>(std::memchr(begin, '\n', size_t(end - begin)));
            const char *stop = lf ? lf : end;
            lines.emplace_back(begin, stop > begin && stop[-1] == '\r' ? stop - 1 : stop);
            begin = stop + 1;
        }
        benchmark::DoNotOptimize(lines.data());
    }
}

// drawWord and both answer builders, as the "Via!" button runs them.
void questionPreparation(benchmark::State &state)
{
    Loaded &data = loaded(int(state.range(0)));
    Session &session = data.session;
    WordSelection &selection = session.selection;
    selection.options.order = Random;
    selection.options.Ckles.fill(false);
    if (state.range(1) == 0)
        selection.options.Ckles[0] = true; // every word
    else
        selection.options.Ckles[1] = true; // lesson 1 only
    selection.rebuildNeeded = true;
    selection.buildSelection(session.words, session.memoc);
    const Direction direction
        = state.range(2) == 0 ? Direction::EnglishToItalian : Direction::ItalianToEnglish;
    Drill drill(session, data.platform, direction);
    drill.load();
    for (auto _ : state) {
        selection.pendingWord = 0; // as after a correct answer
        if (!drill.start())
            state.SkipWithError("no word drawn");
        benchmark::DoNotOptimize(session.drill.answers.acceptedAnswers.size());
    }
    state.counters["selected"] = double(selection.selectionCount);
}

// The first question of a run (or the first after a save), which also makes
// the index of the prompts' alternatives.
void firstQuestion(benchmark::State &state)
{
    Loaded &data = loaded(int(state.range(0)));
    Session &session = data.session;
    WordSelection &selection = session.selection;
    selection.options.order = Random;
    selection.options.Ckles.fill(false);
    selection.options.Ckles[0] = true;
    selection.rebuildNeeded = true;
    selection.buildSelection(session.words, session.memoc);
    Drill drill(session, data.platform, Direction::EnglishToItalian);
    drill.load();
    for (auto _ : state) {
        state.PauseTiming();
        session.drill.answers = AcceptedAnswers();
        selection.pendingWord = 0;
        state.ResumeTiming();
        if (!drill.start())
            state.SkipWithError("no word drawn");
    }
}

// One change of the typing box checked against 20 accepted answers; the typed
// text follows the last of them, so every answer is compared.
void keystrokeCheck(benchmark::State &state)
{
    Session session;
    BenchPlatform platform;
    Drill drill(session, platform, Direction::EnglishToItalian);
    DrillState &s = session.drill;
    for (int i = 0; i < 20; ++i)
        s.answers.acceptedAnswers.append(QStringLiteral("abitazione %1 di campagna").arg(QChar(u'a' + i)));
    s.italianWord = s.currentAnswer = s.answers.acceptedAnswers.constFirst();
    s.questionRunning = true;
    const QString typed = QStringLiteral("abitazione t di camp");
    for (auto _ : state)
        benchmark::DoNotOptimize(drill.typingChanged(typed));
    if (platform.beeps != 0)
        state.SkipWithError("the typed text was taken as wrong");
}

// The stamp that tells another program's change of a file, on a file of 6 MB
// (the keyboard trainer's largest) and one of 64 MB (the vocabulary's limit):
// reading the bytes without a stamp (0) and with one (1, the hash taken as the
// pieces go by), and the check before a save (2: size and time, then the
// whole file read again and hashed).
void stampCost(benchmark::State &state)
{
    const qint64 size = state.range(0) * UserFile::MiB;
    const QString path = workFolder().filePath(QStringLiteral("stamp-%1").arg(state.range(0)));
    const QByteArray words = makeVocabulary(32767);
    if (!QFile::exists(path) && !UserFile::write(path, words.repeated(size / words.size() + 1).left(size)))
        qFatal("cannot write %s", qPrintable(path));
    UserFile::Stamp stamp;
    UserFile::read(path, size, &stamp);
    for (auto _ : state) {
        UserFile::Stamp taken;
        if (state.range(1) == 2)
            benchmark::DoNotOptimize(UserFile::changedSince(path, stamp));
        else
            benchmark::DoNotOptimize(
                UserFile::read(path, size, state.range(1) ? &taken : nullptr).bytes.size());
    }
}

// "Salva Aggiornamenti" on the whole list: the checks, stage 2 again, the new
// selection and the atomic write, from the main window's word list.
void saveWholeList(benchmark::State &state)
{
    const int rows = int(state.range(0));
    const QString folder = workFolder().filePath(QStringLiteral("save-%1/").arg(rows));
    QDir().mkpath(folder);
    QFile::remove(folder + QStringLiteral("inglese.txt"));
    QFile::copy(vocabularyPath(rows), folder + QStringLiteral("inglese.txt"));
    Session session;
    BenchPlatform platform;
    platform.folder = folder;
    MainWindow form(session, platform);
    if (!form.Form_Load())
        state.SkipWithError("the vocabulary does not load");
    for (auto _ : state) {
        if (!form.menuSalva_Click())
            state.SkipWithError("the save failed");
    }
}

// The lesson column rebuilt after a drill, with 9,999 critical words.
void lessonColumn(benchmark::State &state)
{
    Loaded &data = loaded(int(state.range(0)));
    CriticalList memoc;
    for (int word = 0; word < 9999; ++word)
        memoc.add(word);
    WordTable &words = data.session.words;
    for (auto _ : state) {
        words.refreshLessons(memoc.words());
        benchmark::DoNotOptimize(words.lessonField(0));
    }
}

class PaintSpy : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// Seconds from creating MainWindow (which reads the file) to the first paint of
// its word list.
double form1ToFirstPaint(const QString &folder)
{
    Session session;
    BenchPlatform platform;
    platform.folder = folder;
    QElapsedTimer clock;
    clock.start();
    auto form = std::make_unique<MainWindow>(session, platform);
    if (!form->Form_Load())
        return -1;
    PaintSpy spy;
    auto *list = form->findChild<QPlainTextEdit *>(QStringLiteral("ListaVoci"));
    list->viewport()->installEventFilter(&spy);
    form->show();
    while (!spy.painted && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    form.reset();
    QCoreApplication::processEvents(); // deferred deletions
    return spy.painted ? seconds : -1;
}

void form1FirstPaint(benchmark::State &state)
{
    const QString folder = vocabularyFolder(int(state.range(0)));
    form1ToFirstPaint(folder); // fonts and style warm up once per process
    for (auto _ : state) {
        const double seconds = form1ToFirstPaint(folder);
        if (seconds < 0)
            state.SkipWithError("no paint");
        state.SetIterationTime(seconds);
    }
}

// ---- Peak memory: a child process per size -------------------------------------

// One start-up with the main window painted, a hundred questions and a save.
int peakMemoryRun(int rows)
{
    const QString folder = vocabularyFolder(rows);
    Session session;
    BenchPlatform platform;
    platform.folder = folder;
    {
        MainWindow form(session, platform);
        if (!form.Form_Load())
            return 1;
        PaintSpy spy;
        form.findChild<QPlainTextEdit *>(QStringLiteral("ListaVoci"))->viewport()->installEventFilter(&spy);
        form.show();
        QElapsedTimer clock;
        clock.start();
        while (!spy.painted && clock.elapsed() < 60000)
            QCoreApplication::processEvents();
        session.selection.options.order = Random;
        session.selection.rebuildNeeded = true;
        session.selection.buildSelection(session.words, session.memoc);
        Drill drill(session, platform, Direction::EnglishToItalian);
        drill.load();
        for (int i = 0; i < 100 && rows > 0; ++i) {
            session.selection.pendingWord = 0;
            drill.start();
        }
        form.menuSalva_Click();
    }
    std::printf("peak_kB %ld\n", peakKilobytes());
    return 0;
}

long measurePeak(int rows)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--peak-memory=%1").arg(rows) });
    if (!child.waitForFinished(120000))
        return -1;
    const QByteArray out = child.readAllStandardOutput();
    const qsizetype at = out.indexOf("peak_kB ");
    return at < 0 ? -1 : out.mid(at + 8).trimmed().toLong();
}

// ---- Start-up against the floor program: a child process each ------------------

// Nanoseconds of the monotonic clock, the same in every process.
qint64 monotonicNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Waits for the first paint of `viewport`, then prints the time since
// `since` (the parent's clock when it started this process) and the peak
// memory so far.
int reportFirstPaint(QWidget *viewport, qint64 since)
{
    PaintSpy spy;
    viewport->installEventFilter(&spy);
    QElapsedTimer clock;
    clock.start();
    while (!spy.painted && clock.elapsed() < 60000)
        QCoreApplication::processEvents();
    std::printf("paint_ns %lld peak_kB %ld\n", static_cast<long long>(monotonicNanoseconds() - since),
        peakKilobytes());
    return spy.painted ? 0 : 1;
}

// The floor: the least a Qt program does to show the file's text in a
// plain text box with the word list's font and no wrapping.
int floorWindow(const QString &path, qint64 since)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    QPlainTextEdit edit;
    QFont fixed(QStringLiteral("Liberation Mono"), 9);
    fixed.setStyleHint(QFont::TypeWriter);
    edit.setFont(fixed);
    edit.setLineWrapMode(QPlainTextEdit::NoWrap);
    edit.resize(600, 390);
    edit.setPlainText(QStringDecoder("windows-1252").decode(file.readAll()));
    file.close();
    edit.show();
    return reportFirstPaint(edit.viewport(), since);
}

// The vocabulary trainer's start-up without the splash: the main window
// reads the file and is shown.
int mainWindowStart(const QString &folder, qint64 since)
{
    Session session;
    BenchPlatform platform;
    platform.folder = folder;
    MainWindow form(session, platform);
    if (!form.Form_Load())
        return 1;
    form.show();
    return reportFirstPaint(form.findChild<QPlainTextEdit *>(QStringLiteral("ListaVoci"))->viewport(), since);
}

struct StartFigures
{
    double paintMs = -1;
    long peakKb = -1;
};

StartFigures startChild(const QString &what, const QString &folder)
{
    QProcess child;
    const qint64 since = monotonicNanoseconds();
    child.start(QCoreApplication::applicationFilePath(),
        { QStringLiteral("--start=") + what, QStringLiteral("--folder=") + folder,
            QStringLiteral("--since=%1").arg(since) });
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        return {};
    const QList<QByteArray> fields = child.readAllStandardOutput().simplified().split(' ');
    const qsizetype at = fields.indexOf("paint_ns");
    if (at < 0 || at + 3 >= fields.size())
        return {};
    return { fields.at(at + 1).toDouble() / 1e6, fields.at(at + 3).toLong() };
}

template<typename T> T median(std::vector<T> values)
{
    if (values.empty())
        return T(-1);
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Interleaved start-ups of the main window and of the floor program on the
// same file; medians of each.
std::pair<StartFigures, StartFigures> startAgainstFloor(int rows, int runs)
{
    const QString folder = vocabularyFolder(rows);
    std::vector<double> paint[2];
    std::vector<long> peak[2];
    for (int run = 0; run < runs + 1; ++run) {
        for (int which : { 0, 1 }) {
            const StartFigures f
                = startChild(which == 0 ? QStringLiteral("main") : QStringLiteral("floor"), folder);
            if (run == 0 || f.paintMs < 0)
                continue; // the first pair warms the disk cache and the fonts
            paint[which].push_back(f.paintMs);
            peak[which].push_back(f.peakKb);
        }
    }
    return { { median(paint[0]), median(peak[0]) }, { median(paint[1]), median(peak[1]) } };
}

// ---- Collecting the figures ------------------------------------------------------

class CollectingReporter : public benchmark::ConsoleReporter
{
public:
    // Seconds per iteration by name: the benchmark thread's CPU time (the
    // machine may be shared) and, for manually timed runs, the wall time.
    std::map<std::string, double> seconds;
    std::map<std::string, double> wallSeconds;
    std::map<std::string, std::string> errors;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            const std::string name = run.run_name.str();
            if (run.error_occurred) {
                errors[name] = run.error_message;
                continue;
            }
            const double multiplier = benchmark::GetTimeUnitMultiplier(run.time_unit);
            const double wall = run.GetAdjustedRealTime() / multiplier;
            const double value = name.find("manual_time") != std::string::npos
                ? wall
                : run.GetAdjustedCPUTime() / multiplier;
            wallSeconds[name] = wall;
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median")
                    seconds[name] = value;
            } else if (!seconds.count(name) || !medians.count(name)) {
                seconds[name] = value;
            }
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[name] = true;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    double get(const std::string &name) const
    {
        const auto found = seconds.find(name);
        return found == seconds.end() ? -1 : found->second;
    }

private:
    std::map<std::string, bool> medians;
};

QString cpuModel()
{
    QFile info(QStringLiteral("/proc/cpuinfo"));
    if (info.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : info.readAll().split('\n')) {
            if (line.startsWith("model name"))
                return QString::fromLatin1(line.mid(line.indexOf(':') + 1).trimmed());
        }
    }
    return QSysInfo::currentCpuArchitecture();
}

QString figure(double value, double scale, int decimals)
{
    return value < 0 ? QStringLiteral("-") : QString::number(value * scale, 'f', decimals);
}

} // namespace

int main(int argc, char *argv[])
{
    QString jsonPath = QStringLiteral("bench-inglese.json");
    std::vector<int> sizes { 1000, 10000, 32767 };
    int peakRows = -1;
    QString startWhat;
    QString startFolder;
    qint64 startSince = 0;
    int startRuns = 9;
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg.startsWith("--json="))
            jsonPath = QString::fromLocal8Bit(arg.mid(7));
        else if (arg.startsWith("--peak-memory="))
            peakRows = arg.mid(14).toInt();
        else if (arg.startsWith("--start="))
            startWhat = QString::fromLatin1(arg.mid(8));
        else if (arg.startsWith("--folder="))
            startFolder = QString::fromLocal8Bit(arg.mid(9));
        else if (arg.startsWith("--since="))
            startSince = arg.mid(8).toLongLong();
        else if (arg.startsWith("--start-runs="))
            startRuns = arg.mid(13).toInt();
        else if (arg.startsWith("--sizes=")) {
            sizes.clear();
            for (const QByteArray &size : arg.mid(8).split(','))
                sizes.push_back(size.toInt());
        } else
            rest.push_back(argv[i]);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int restCount = int(rest.size());
    QApplication app(restCount, rest.data());

    if (peakRows >= 0)
        return peakMemoryRun(peakRows);
    if (startWhat == QLatin1String("floor"))
        return floorWindow(startFolder + QStringLiteral("inglese.txt"), startSince);
    if (startWhat == QLatin1String("main"))
        return mainWindowStart(startFolder, startSince);

    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data()))
        return 2;

    const int largest = sizes.back();
    for (int rows : sizes) {
        benchmark::RegisterBenchmark("load", startupLoad)->Arg(rows)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("floor", readAndSplit)->Arg(rows)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("line_ends", readAndFindLines)->Arg(rows)->Unit(benchmark::kMillisecond);
        for (int step = 0; step < 4; ++step)
            benchmark::RegisterBenchmark("load_step", loadStep)
                ->Args({ rows, step })
                ->Unit(benchmark::kMillisecond);
    }
    for (int rows : sizes) {
        for (int direction : { 0, 1 }) {
            benchmark::RegisterBenchmark("prepare_all", questionPreparation)
                ->Args({ rows, 0, direction })
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark("prepare_lesson", questionPreparation)
                ->Args({ rows, 1, direction })
                ->Unit(benchmark::kMicrosecond);
        }
    }
    for (int rows : sizes)
        benchmark::RegisterBenchmark("first_question", firstQuestion)
            ->Arg(rows)
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("keystroke", keystrokeCheck)->Unit(benchmark::kNanosecond);
    for (int rows : sizes)
        benchmark::RegisterBenchmark("save", saveWholeList)->Arg(rows)->Unit(benchmark::kMillisecond);
    for (int rows : sizes) {
        if (rows >= 9999)
            benchmark::RegisterBenchmark("refresh_lessons", lessonColumn)
                ->Arg(rows)
                ->Unit(benchmark::kMillisecond);
    }
    for (int megabytes : { 6, 64 }) {
        for (int mode = 0; mode < 3; ++mode)
            benchmark::RegisterBenchmark("stamp", stampCost)
                ->Args({ megabytes, mode })
                ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("form1_first_paint", form1FirstPaint)
        ->Arg(largest)
        ->UseManualTime()
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);

    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const long basePeak = measurePeak(1);
    const long peak = measurePeak(largest);
    const auto [mainStart, floorStart] = startAgainstFloor(largest, startRuns);
    const double startRatio
        = mainStart.paintMs > 0 && floorStart.paintMs > 0 ? mainStart.paintMs / floorStart.paintMs : -1;
    const double startPeakRatio = mainStart.peakKb > 0 && floorStart.peakKb > 0
        ? double(mainStart.peakKb) / double(floorStart.peakKb)
        : -1;

    // ---- Summary against the targets ----
    const auto name = [](const char *what, std::initializer_list<int> args) {
        QString n = QString::fromLatin1(what);
        for (int a : args)
            n += QLatin1Char('/') + QString::number(a);
        return n.toStdString();
    };
    QJsonObject summary;
    QJsonArray perSize;
    bool allMet = true;
    std::printf("\n%-7s %10s %10s %6s %14s %14s %14s %14s %10s %10s %10s\n", "rows", "load ms", "floor ms",
        "ratio", "prep all us", "prep ital us", "prep 1 les us", "prep 1 ita us", "first ms", "save ms",
        "lessons ms");
    for (int rows : sizes) {
        const double load = reporter.get(name("load", { rows }));
        const double floor = reporter.get(name("floor", { rows }));
        const double lineEnds = reporter.get(name("line_ends", { rows }));
        const double ratio = load > 0 && floor > 0 ? load / floor : -1;
        const double prepAll = reporter.get(name("prepare_all", { rows, 0, 0 }));
        const double prepAllIt = reporter.get(name("prepare_all", { rows, 0, 1 }));
        const double prepOne = reporter.get(name("prepare_lesson", { rows, 1, 0 }));
        const double prepOneIt = reporter.get(name("prepare_lesson", { rows, 1, 1 }));
        const double save = reporter.get(name("save", { rows }));
        const double first = reporter.get(name("first_question", { rows }));
        QJsonObject steps;
        const char *stepNames[]
            = { "read_and_decode_ms", "stage1_ms", "stage2_ms", "lesson_states_and_selection_ms" };
        for (int step = 0; step < 4; ++step)
            steps[QLatin1String(stepNames[step])] = reporter.get(name("load_step", { rows, step })) * 1e3;
        const double lessons = reporter.get(name("refresh_lessons", { rows }));
        std::printf("%-7d %10s %10s %6s %14s %14s %14s %14s %10s %10s %10s\n", rows,
            qPrintable(figure(load, 1e3, 2)), qPrintable(figure(floor, 1e3, 2)),
            qPrintable(figure(ratio, 1, 2)), qPrintable(figure(prepAll, 1e6, 1)),
            qPrintable(figure(prepAllIt, 1e6, 1)), qPrintable(figure(prepOne, 1e6, 1)),
            qPrintable(figure(prepOneIt, 1e6, 1)), qPrintable(figure(first, 1e3, 2)),
            qPrintable(figure(save, 1e3, 2)), qPrintable(figure(lessons, 1e3, 2)));
        allMet = allMet && ratio > 0 && ratio <= 3;
        perSize.append(QJsonObject { { "rows", rows }, { "load_ms", load * 1e3 }, { "floor_ms", floor * 1e3 },
            { "line_ends_ms", lineEnds * 1e3 }, { "load_to_floor", ratio },
            { "prepare_all_us", prepAll * 1e6 }, { "prepare_all_italian_us", prepAllIt * 1e6 },
            { "prepare_one_lesson_us", prepOne * 1e6 }, { "prepare_one_lesson_italian_us", prepOneIt * 1e6 },
            { "load_steps", steps }, { "first_question_ms", first * 1e3 }, { "save_ms", save * 1e3 },
            { "refresh_lessons_ms", lessons * 1e3 } });
    }
    const double keystroke = reporter.get("keystroke");
    const double paint = reporter.get(name("form1_first_paint", { largest }) + "/iterations:5/manual_time");
    const double prepLargest = std::max(reporter.get(name("prepare_all", { largest, 0, 0 })),
        reporter.get(name("prepare_all", { largest, 0, 1 })));
    const double prepSmallest = std::max(reporter.get(name("prepare_all", { sizes.front(), 0, 0 })),
        reporter.get(name("prepare_all", { sizes.front(), 0, 1 })));
    const double growth = prepSmallest > 0 ? prepLargest / prepSmallest : -1;
    const double rowFactor = double(largest) / double(sizes.front());

    std::printf(
        "\nCPU time per operation except the first paint (wall time); floor: read + split into line strings\n"
        "keystroke check against 20 answers: %s us\n",
        qPrintable(figure(keystroke, 1e6, 3)));
    std::printf("The main window created to first paint, %d rows: %s ms\n", largest,
        qPrintable(figure(paint, 1e3, 1)));
    std::printf("question preparation, every word: %.1fx the time for %.1fx the rows\n", growth, rowFactor);
    std::printf("peak memory: %ld kB with %d rows, %ld kB with one row\n", peak, largest, basePeak);
    std::printf(
        "start-up to first paint, %d rows (medians of %d interleaved runs): main window %s ms, %ld kB; "
        "floor program %s ms, %ld kB; ratios %s (time) %s (memory)\n",
        largest, startRuns, qPrintable(figure(mainStart.paintMs, 1, 1)), mainStart.peakKb,
        qPrintable(figure(floorStart.paintMs, 1, 1)), floorStart.peakKb, qPrintable(figure(startRatio, 1, 2)),
        qPrintable(figure(startPeakRatio, 1, 2)));

    struct Target
    {
        const char *what;
        bool met;
    };
    const Target targets[] {
        { "load within 3x its floor at every size", allMet },
        { "question preparation under 1 ms at the largest size, every word",
            prepLargest > 0 && prepLargest < 1e-3 },
        { "question preparation grows no faster than the rows", growth > 0 && growth <= rowFactor * 1.5 },
        { "keystroke check under 10 us", keystroke > 0 && keystroke < 10e-6 },
        { "The main window painted within 300 ms of creation", paint > 0 && paint < 0.3 },
        { "start-up painted within 1.10x the floor program", startRatio > 0 && startRatio <= 1.10 },
        { "start-up peak memory within 1.15x the floor program",
            startPeakRatio > 0 && startPeakRatio <= 1.15 },
    };
    QJsonArray targetList;
    std::printf("\n");
    for (const Target &t : targets) {
        std::printf("%-72s %s\n", t.what, t.met ? "met" : "MISSED");
        targetList.append(QJsonObject { { "target", t.what }, { "met", t.met } });
    }

    QJsonObject raw;
    for (const auto &[key, value] : reporter.seconds)
        raw[QString::fromStdString(key)] = value;
    QJsonObject rawWall;
    for (const auto &[key, value] : reporter.wallSeconds)
        rawWall[QString::fromStdString(key)] = value;
    QJsonObject errors;
    for (const auto &[key, value] : reporter.errors)
        errors[QString::fromStdString(key)] = QString::fromStdString(value);
    const QJsonObject document {
        { "machine",
            QJsonObject { { "cpu", cpuModel() }, { "cores", QThread::idealThreadCount() },
                { "kernel", QSysInfo::kernelVersion() } } },
        { "sizes", perSize },
        { "keystroke_us", keystroke * 1e6 },
        { "form1_first_paint_ms", paint * 1e3 },
        { "prepare_growth", growth },
        { "peak_memory_kB", double(peak) },
        { "peak_memory_one_row_kB", double(basePeak) },
        { "start_up",
            QJsonObject { { "main_window_paint_ms", mainStart.paintMs },
                { "main_window_peak_kB", double(mainStart.peakKb) }, { "floor_paint_ms", floorStart.paintMs },
                { "floor_peak_kB", double(floorStart.peakKb) }, { "paint_ratio", startRatio },
                { "peak_ratio", startPeakRatio } } },
        { "targets", targetList },
        { "cpu_seconds_per_iteration", raw },
        { "wall_seconds_per_iteration", rawWall },
        { "errors", errors },
    };
    QFile out(jsonPath);
    if (out.open(QIODevice::WriteOnly))
        out.write(QJsonDocument(document).toJson());
    std::printf("\nJSON: %s\n", qPrintable(QFileInfo(out).absoluteFilePath()));
    return reporter.errors.empty() ? 0 : 1;
}
