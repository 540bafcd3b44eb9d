#pragma once

#include "sessionlog.h"

#include <QDialog>

#include <atomic>
#include <memory>

class Platform;
struct Session;
class QChartView;
class QLabel;
class QPushButton;
class QTableWidget;
class QThread;

// "Risultati": the learner's progress drawn from the exit log, read only.
// Totals for the last 7 and 30 days and for all time, a chart of the words
// answered per day (bars) and of the points at the end of each run (line), and
// how often each lesson was chosen. The run under way counts too once it has
// answered words. Pipeline: inglelog -> SessionLog -> LogSums (+ current run)
// -> LogSummary -> labels, chart, table. The log is read and summed on a
// thread of its own, a piece at a time, so that a log of millions of runs
// neither holds up the window nor fills the memory; until then the window
// says it is reading. Closed, the window stops the reading at once.
class ResultsWindow : public QDialog
{
    Q_OBJECT

public:
    ResultsWindow(Session &session, Platform &platform, QWidget *mainWindow = nullptr);

    ~ResultsWindow() override;

    static void showResults(Session &session, Platform &platform, QWidget *mainWindow);

    // "Salva immagine...": the chart as a PNG, written whole or not at all.
    void Command1_Click();

signals:
    // The log has been read and shown (or refused, after its message).
    void logShown();

private:
    void buildControls();
    void readLog();
    void showSummary(const LogSummary &summary, const QString &error);
    void showTotals(const LogSummary &summary);
    void showChart(const LogSummary &summary);
    void showLessons(const LogSummary &summary);

    Session &m_session;
    Platform &m_platform;
    std::unique_ptr<QThread> m_reader;
    std::shared_ptr<std::atomic<bool>> m_stopReading;
    QLabel *m_label1;
    QLabel *m_label2;
    QLabel *m_label3;
    QChartView *m_chart1;
    QLabel *m_label4;
    QLabel *m_label5;
    QTableWidget *m_lezioni;
    QPushButton *m_command1;
    QPushButton *m_command2;
};
