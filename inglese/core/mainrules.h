#pragma once

#include "lessons.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

struct Session;

// The rules of the main window that need no widget: the lesson states, the
// exit log line and the caret moves of the Tab key in the word-list text.
namespace MainRules {

// The current folder's name as the program opens files by it: the system's
// bytes read as UTF-8, or, when they are not UTF-8 (which a name in the
// toolkit cannot keep), the system's own link to the current folder.
inline const QString CurrentFolderLink = QStringLiteral("/proc/self/cwd");
QString currentFolderName(const QByteArray &native);

inline const QString StartupErrorTitle = QStringLiteral("FILE ...");
inline const QString StartupErrorText = QStringLiteral("File INGLESE.TXT non trovato ... Riprova");
QString tooManyWordsText(); // the file holds more word lines than the table takes

// The launcher starts the program with this option and the reason when it
// cannot prepare the data folder, so that the reason reaches the user in a
// window even from the desktop menu.
inline const QString LaunchFailedOption = QStringLiteral("--avvio-fallito");
inline const QString LaunchFailedTitle = QStringLiteral("Avvio ...");
// The reason given after the option, or a null string when the arguments hold none.
QString launchFailure(const QStringList &arguments);

// Marks the numbered lessons as having words or not from the word table
// (lesson 0 is only ever marked as having words), then builds the first word
// selection. False when a row's lesson is not a valid lesson number.
bool fillLessonState(Session &session);

// One line of the exit log, without its line end.
// `date` is the day the run ends.
QString exitLogLine(const QDate &date, const QTime &startTime, const QTime &endTime, int doneCount,
    int points, int criticalCount, const LessonStates &lessonState);
// Appends the line and CR LF to the log file, creating it when missing; only
// a regular file is written, and nothing waits on a FIFO or device. On
// failure the file is left as it was and `reason` says why.
bool appendExitLog(const QString &path, const QString &line, QString *reason = nullptr);
QString exitLogFailedMessage(const QString &path, const QString &reason = QString());

// Where Tab puts the caret in a word line. Offsets count characters of the
// CR LF text before the caret; `lineStart` is the offset of the line's first
// character.
int tabCaret(int lineStart, int pos);
inline constexpr int EnterBlanks = 56;

} // namespace MainRules
