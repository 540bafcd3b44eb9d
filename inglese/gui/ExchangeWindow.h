#pragma once

#include "wordexchange.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QScopeGuard>
#include <QThread>

#include <array>
#include <memory>
#include <optional>

class CriticalList;
class Platform;
struct Session;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

// "Importa vocaboli" / "Esporta vocaboli": the small dialogue between the
// word list and the files of other programs. On import it shows the first
// words as they will be read and lets the user say which column (or
// language) is English and which Italian, where the lessons are and which
// lesson the words without one go to; on export it asks for the format and
// for the whole list or some lessons.
class ExchangeWindow : public QDialog
{
    Q_OBJECT

public:
    explicit ExchangeWindow(const Exchange::Table &table, QWidget *parent = nullptr);
    explicit ExchangeWindow(const Exchange::Kvtml &file, QWidget *parent = nullptr);
    // Export: `present` says which lessons have words.
    explicit ExchangeWindow(const LessonFlags &present, QWidget *parent = nullptr);

    // Import: the first words as chosen, for the preview; all the word
    // lines, read from the file's text as chosen; the lesson for words without one.
    QList<Exchange::Word> words() const;
    Exchange::Lines lines(
        int existingRows, const Exchange::KnownWords *known = nullptr, bool leaveKnownOut = false) const;
    int lesson() const;
    // Export: the format and the lessons chosen (all true for the whole list).
    Exchange::Format format() const;
    LessonFlags lessons() const;

    // Reads the file and runs this dialogue: the word lines to append to the
    // word-list text (empty when nothing is to be added), after one message
    // about what went in. Words already in the list go in again only if the
    // user says so; Escape to that question imports nothing.
    static QString importFile(
        QWidget *parent, const QString &path, const QString &wordText, Platform &platform);
    // Runs `read` on a thread of its own and waits for its result with the
    // hourglass, while the windows keep painting (the user's input waits):
    // a big file takes seconds to read.
    template<class Read> static auto offThread(Read read);
    // The whole export of the word-list text as a save reads it: this
    // dialogue, the file dialogue, the atomic write, what was written and
    // what was left out. `memoc` only when the text is the one the word table
    // was read from (its rows are then those of the table).
    static void exportWords(QWidget *parent, Session &session, const QString &wordText,
        const CriticalList *memoc, Platform &platform);

private:
    void buildImport(const QStringList &columns, bool lessonColumn);
    void refreshPreview();
    // The columns of the table that the boxes choose.
    Exchange::Columns tableColumns() const;
    QWidget *buttons(const QString &okText);

    std::optional<Exchange::Table> m_table;
    std::optional<Exchange::Kvtml> m_kvtml;

    QLabel *m_label1 = nullptr;
    QTableWidget *m_anteprima = nullptr;
    QComboBox *m_inglese = nullptr;
    QComboBox *m_italiano = nullptr;
    QComboBox *m_colonnaLezione = nullptr;
    QCheckBox *m_intestazione = nullptr;
    QSpinBox *m_lezione = nullptr;
    QRadioButton *m_optCsv = nullptr;
    QRadioButton *m_optTsv = nullptr;
    QRadioButton *m_optKvtml = nullptr;
    QRadioButton *m_optTutte = nullptr;
    QRadioButton *m_optScelte = nullptr;
    PerLesson<QCheckBox *> m_ckles {};
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
};

template<class Read> auto ExchangeWindow::offThread(Read read)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    std::optional<decltype(read())> result;
    QEventLoop loop;
    const std::unique_ptr<QThread> worker(QThread::create([&result, &read] { result.emplace(read()); }));
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    return std::move(*result);
}
