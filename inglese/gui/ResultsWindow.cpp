#include "ResultsWindow.h"

#include "filechoice.h"
#include "plainwidgets.h"
#include "platform.h"
#include "review.h"
#include "session.h"
#include "twips.h"
#include "userfile.h"
#include "vocabularyfile.h"

#include <QAreaSeries>
#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

namespace {
using Twips::px;

const QString Title = QStringLiteral("Risultati");
using Vocabulary::CrLf;
// Bars that stay apart on the chart; points drawn one by one; markers that stay apart.
constexpr int MaxBars = 120;
constexpr int MaxRunPoints = 600;
constexpr int MaxMarkedPoints = 120;
constexpr int MaxTimeSpaces = 6;

QLabel *label(const QString &name, QWidget *parent, const QColor &colour = QColor(0, 0, 255))
{
    auto *l = PlainText::label(parent);
    l->setObjectName(name);
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, colour);
    l->setPalette(palette);
    return l;
}

QPushButton *button(const QString &name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setMinimumSize(px(1245), px(420));
    return b;
}

qint64 msecs(const QDate &date, const QTime &time = QTime(0, 0))
{
    return QDateTime(date, time).toMSecsSinceEpoch();
}
} // namespace

ResultsWindow::ResultsWindow(Session &session, Platform &platform, QWidget *mainWindow)
    : QDialog(mainWindow)
    , m_session(session)
    , m_platform(platform)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(Title);
    setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    setModal(true);
    setSizeGripEnabled(true);

    buildControls();
    readLog();
}

ResultsWindow::~ResultsWindow()
{
    // The reading ends at its next piece of the file and frees what it holds.
    m_stopReading->store(true);
    m_reader->wait();
}

// The totals, the review's line, the chart with its notes beside the table
// of lessons, and the buttons.
void ResultsWindow::buildControls()
{
    m_label1 = label(QStringLiteral("Label1"), this);
    m_label2 = label(QStringLiteral("Label2"), this);
    m_label3 = label(QStringLiteral("Label3"), this);
    // The review: words due today, words learned, expected recall now; from its log, the words
    // recalled when due in the last 30 days.
    auto *label6 = label(QStringLiteral("Label6"), this, QColor(0, 110, 0));
    Review::Store &review = m_session.review;
    review.refresh(m_session.dataFolder.path(DataFolder::ReviewFile), &m_session.words);
    const QDate today = m_platform.currentDate();
    label6->setText(
        Review::summaryLine(m_session.words, review, Review::reviewDay(today, m_platform.currentTime()),
            Review::retention(m_session.dataFolder.path(DataFolder::ReviewLogFile), today)));
    m_chart1 = new QChartView(this);
    m_chart1->setObjectName(QStringLiteral("Chart1"));
    m_chart1->setRenderHint(QPainter::Antialiasing);
    m_chart1->setMinimumSize(px(4500), px(3000));
    m_chart1->setAccessibleName(QStringLiteral("Grafico delle sessioni"));
    m_label4 = label(QStringLiteral("Label4"), this, Qt::black);
    m_label4->setAlignment(Qt::AlignCenter);
    m_label5 = label(QStringLiteral("Label5"), this, Qt::darkRed);
    m_lezioni = new QTableWidget(0, 2, this);
    m_lezioni->setObjectName(QStringLiteral("Lezioni"));
    m_lezioni->setHorizontalHeaderLabels({ QStringLiteral("Lezione"), QStringLiteral("Sessioni") });
    m_lezioni->verticalHeader()->hide();
    m_lezioni->verticalHeader()->setDefaultSectionSize(m_lezioni->fontMetrics().height() + 6);
    m_lezioni->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lezioni->setSelectionMode(QAbstractItemView::NoSelection);
    // Tab goes on to the buttons; the arrows move in the table.
    m_lezioni->setTabKeyNavigation(false);
    m_lezioni->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_lezioni->setFixedWidth(px(2400));
    m_lezioni->setAccessibleName(QStringLiteral("Sessioni per lezione"));
    m_command1 = button(QStringLiteral("Command1"), QStringLiteral("Salva immagine..."), this);
    m_command2 = button(QStringLiteral("Command2"), QStringLiteral("Chiudi"), this);
    connect(m_command1, &QPushButton::clicked, this, &ResultsWindow::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &QDialog::accept);

    auto *middle = new QHBoxLayout;
    auto *chartColumn = new QVBoxLayout;
    chartColumn->addWidget(m_chart1, 1);
    chartColumn->addWidget(m_label4, 1);
    chartColumn->addWidget(m_label5);
    middle->addLayout(chartColumn, 1);
    middle->addWidget(m_lezioni);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_command1);
    buttons->addStretch(1);
    buttons->addWidget(m_command2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label1);
    layout->addWidget(m_label2);
    layout->addWidget(m_label3);
    layout->addWidget(label6);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);
    resize(px(10500), px(7200));
}

// Reads the log on disk in a thread of its own, then adds the run under
// way, which the log gets only at the end.
void ResultsWindow::readLog()
{
    const QDate today = m_platform.currentDate();
    std::optional<LoggedSession> now;
    if (m_session.doneCount > 0) {
        now = LoggedSession { today, m_session.startTime, m_platform.currentTime(), m_session.doneCount,
            m_session.points, int(m_session.memoc.count()), {} };
        for (int k = 1; k <= MaxLesson; ++k)
            if (m_session.lessonState[std::size_t(k)] == LessonState::Chosen)
                now->lessons.append(k);
    }
    m_chart1->hide();
    m_command1->setEnabled(false);
    m_label4->setText(QStringLiteral("Sto leggendo il registro delle prove ..."));
    struct Outcome
    {
        LogSummary summary;
        QString error;
    };
    auto outcome = std::make_shared<Outcome>();
    m_stopReading = std::make_shared<std::atomic<bool>>(false);
    m_reader.reset(QThread::create(
        [outcome, stop = m_stopReading, path = m_session.dataFolder.path(DataFolder::LogFile), now, today] {
            LogSums sums(today, MaxBars, MaxRunPoints);
            SessionLog::read(path, sums, &outcome->error, stop.get());
            if (now)
                sums.add(*now);
            outcome->summary = sums.summary();
        }));
    m_reader->setObjectName(QStringLiteral("inglelog"));
    connect(m_reader.get(), &QThread::finished, this, [this, outcome] {
        if (!m_stopReading->load())
            showSummary(outcome->summary, outcome->error);
    });
    m_reader->start();
}

void ResultsWindow::showSummary(const LogSummary &summary, const QString &error)
{
    if (!error.isEmpty())
        m_platform.message(Title, error, Platform::Buttons::Ok, Platform::Icon::Stop);
    showTotals(summary);
    showChart(summary);
    showLessons(summary);
    emit logShown();
}

void ResultsWindow::showResults(Session &session, Platform &platform, QWidget *mainWindow)
{
    ResultsWindow window(session, platform, mainWindow);
    window.exec();
}

void ResultsWindow::showTotals(const LogSummary &summary)
{
    m_label1->setText(SessionText::totalsLine(QStringLiteral("Ultimi 7 giorni"), summary.lastWeek));
    m_label2->setText(SessionText::totalsLine(QStringLiteral("Ultimi 30 giorni"), summary.lastMonth));
    m_label3->setText(SessionText::totalsLine(QStringLiteral("Da sempre"), summary.ever));
    m_label5->setText(summary.unreadable > 0 ? SessionText::unreadableNote(summary.unreadable) : QString());
    m_label5->setVisible(summary.unreadable > 0);
}

namespace {
// Words per day (per week, month or year when the days would not fit): one
// bar over the middle 80% of its period, as the outline of a filled area.
QAreaSeries *wordBars(const LogSummary &summary, qint64 &maxWords)
{
    QList<QPointF> outline;
    outline.reserve(summary.periods.size() * 4);
    maxWords = 1;
    for (const PeriodTotals &p : summary.periods) {
        const qint64 start = msecs(p.first);
        const qint64 width = msecs(p.next) - start;
        const qint64 left = start + width / 10;
        const qint64 right = start + width * 9 / 10;
        const qint64 words = p.totals.words;
        outline << QPointF(left, 0) << QPointF(left, words) << QPointF(right, words) << QPointF(right, 0);
        maxWords = std::max(maxWords, words);
    }
    auto *upper = new QLineSeries;
    upper->replace(outline);
    auto *bars = new QAreaSeries(upper);
    upper->setParent(bars); // the area does not own the line it fills under
    static const QString PerPeriod[]
        = { QStringLiteral("Parole al giorno"), QStringLiteral("Parole alla settimana"),
              QStringLiteral("Parole al mese"), QStringLiteral("Parole all'anno") };
    bars->setName(PerPeriod[summary.length]);
    bars->setColor(QColor(120, 160, 230));
    bars->setBorderColor(QColor(60, 100, 190));
    return bars;
}

// Points at the end of each run in time order; the mean of each bar's runs
// when there are too many runs to tell apart.
QLineSeries *endPoints(const LogSummary &summary)
{
    QList<QPointF> ends;
    auto *points = new QLineSeries;
    if (summary.sessions == summary.runs.size()) {
        for (const LoggedSession &s : summary.runs)
            ends << QPointF(s.endDateTime().toMSecsSinceEpoch(), s.points);
        std::stable_sort(
            ends.begin(), ends.end(), [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); });
        points->setName(QStringLiteral("Punti a fine sessione"));
    } else {
        for (const PeriodTotals &p : summary.periods)
            ends << QPointF((msecs(p.first) + msecs(p.next)) / 2, p.totals.averagePoints());
        points->setName(QStringLiteral("Punti a fine sessione (media)"));
    }
    points->replace(ends);
    points->setColor(QColor(200, 60, 40));
    points->setPointsVisible(ends.size() <= MaxMarkedPoints);
    return points;
}

// Ticks on period boundaries where the periods are days.
QDateTimeAxis *timeAxis(const LogSummary &summary)
{
    const PeriodTotals::Length length = summary.length;
    const QDate from = summary.periods.first().first;
    const QDate to = summary.periods.last().next;
    const int span = int(from.daysTo(to));
    const int spaces
        = std::min(length == PeriodTotals::Day ? span : int(summary.periods.size()), MaxTimeSpaces);
    auto *time = new QDateTimeAxis;
    static const QString Formats[] = { QStringLiteral("dd/MM/yy"), QStringLiteral("dd/MM/yy"),
        QStringLiteral("MM/yyyy"), QStringLiteral("yyyy") };
    time->setFormat(Formats[length]);
    time->setTickCount(spaces + 1);
    time->setRange(QDateTime(from, QTime(0, 0)),
        QDateTime(length == PeriodTotals::Day ? from.addDays((span + spaces - 1) / spaces * spaces) : to,
            QTime(0, 0)));
    return time;
}

// Whole numbers only, grouped the Italian way; the labels stand on their values.
QCategoryAxis *countAxis(const QString &title, qint64 lowest, qint64 highest)
{
    auto *axis = new QCategoryAxis;
    axis->setTitleText(title);
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    const SessionText::AxisTicks ticks = SessionText::countTicks(lowest, highest);
    axis->setStartValue(double(ticks.values.first()));
    for (qsizetype i = 0; i < ticks.values.size(); ++i)
        axis->append(ticks.labels[i], double(ticks.values[i]));
    axis->setRange(double(ticks.values.first()), double(ticks.values.last()));
    return axis;
}
} // namespace

void ResultsWindow::showChart(const LogSummary &summary)
{
    const bool empty = summary.sessions == 0;
    m_chart1->setVisible(!empty);
    m_command1->setEnabled(!empty);
    m_label4->setVisible(empty);
    m_label4->setText(SessionText::NoSessions);
    if (empty)
        return;

    auto *chart = new QChart;
    chart->setFont(font());
    chart->legend()->setFont(font());
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));

    qint64 maxWords = 1;
    QAreaSeries *bars = wordBars(summary, maxWords);
    QLineSeries *points = endPoints(summary);
    const QList<QPointF> ends = points->points();
    const auto [lowest, highest] = std::minmax_element(
        ends.cbegin(), ends.cend(), [](const QPointF &a, const QPointF &b) { return a.y() < b.y(); });
    chart->addSeries(bars);
    chart->addSeries(points);
    QDateTimeAxis *time = timeAxis(summary);
    QCategoryAxis *wordsAxis = countAxis(QStringLiteral("Parole"), 0, maxWords);
    QCategoryAxis *pointsAxis = countAxis(
        QStringLiteral("Punti"), qint64(std::floor(lowest->y())), qint64(std::ceil(highest->y())));
    for (QAbstractAxis *axis : { static_cast<QAbstractAxis *>(time), static_cast<QAbstractAxis *>(wordsAxis),
             static_cast<QAbstractAxis *>(pointsAxis) }) {
        axis->setLabelsFont(font());
        axis->setTitleFont(font());
    }
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(wordsAxis, Qt::AlignLeft);
    chart->addAxis(pointsAxis, Qt::AlignRight);
    bars->attachAxis(time);
    bars->attachAxis(wordsAxis);
    points->attachAxis(time);
    points->attachAxis(pointsAxis);
    pointsAxis->setLinePenColor(points->color());
    pointsAxis->setLabelsColor(points->color());

    QChart *old = m_chart1->chart();
    m_chart1->setChart(chart);
    delete old;
}

void ResultsWindow::showLessons(const LogSummary &summary)
{
    const PerLesson<int> &counts = summary.lessonCounts;
    const auto addRow = [this](const QString &lesson, int sessions) {
        const int row = m_lezioni->rowCount();
        m_lezioni->insertRow(row);
        m_lezioni->setItem(row, 0, new QTableWidgetItem(lesson));
        auto *count = new QTableWidgetItem(QString::number(sessions));
        count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_lezioni->setItem(row, 1, count);
    };
    if (counts[0] > 0)
        addRow(QStringLiteral("Tutte"), counts[0]);
    for (int k = 1; k <= MaxLesson; ++k)
        if (counts[std::size_t(k)] > 0)
            addRow(QString::number(k), counts[std::size_t(k)]);
}

void ResultsWindow::Command1_Click()
{
    const QString path = FileChoice::ask(m_platform,
        { Platform::FileQuestion::Mode::Save, QStringLiteral("Salva immagine"), QString(),
            QStringLiteral("risultati.png"), QStringLiteral("Immagini PNG (*.png)"), QStringLiteral("png") },
        m_session.fileFolder, m_session.dataFolder);
    if (path.isEmpty())
        return;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    m_chart1->grab().toImage().save(&buffer, "PNG");
    if (const UserFile::Written written = UserFile::write(path, png); !written) {
        m_platform.message(QStringLiteral("Salva immagine"),
            QStringLiteral("Non riesco a salvare l'immagine in") + CrLf + path + CrLf + u'('
                + UserFile::reasonText(written) + u')' + CrLf + CrLf
                + QStringLiteral("Un file con questo nome, se c'era, resta com'era."),
            Platform::Buttons::Ok, Platform::Icon::Stop);
    }
}
