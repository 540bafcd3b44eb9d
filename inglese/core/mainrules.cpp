#include "mainrules.h"

#include "session.h"
#include "vocabularyfile.h"

#include "userfile.h"

namespace MainRules {

QString currentFolderName(const QByteArray &native)
{
    const QString name = QString::fromUtf8(native);
    return name.toUtf8() == native ? name : CurrentFolderLink;
}

QString tooManyWordsText()
{
    return QStringLiteral("File INGLESE.TXT con troppi vocaboli: al massimo ")
        + QString::number(WordTable::MaxRows) + QStringLiteral(" righe di parole ... Riprova");
}

QString launchFailure(const QStringList &arguments)
{
    const qsizetype at = arguments.indexOf(LaunchFailedOption);
    if (at < 0)
        return QString();
    return QStringLiteral("Non riesco a preparare la cartella dei dati del programma.") + Vocabulary::CrLf
        + Vocabulary::CrLf + arguments.value(at + 1);
}

bool fillLessonState(Session &session)
{
    for (int k = 1; k <= MaxLesson; ++k)
        session.lessonState[std::size_t(k)] = LessonState::NoWords;
    const WordTable &words = session.words;
    for (int row = 0; row < words.count(); ++row) {
        const int lesson = words.lessonOf(row);
        if (lesson < 0)
            return false;
        session.lessonState[std::size_t(lesson)] = LessonState::HasWords;
    }
    session.selection.buildSelection(session.words, session.memoc);
    return true;
}

QString exitLogLine(const QDate &date, const QTime &startTime, const QTime &endTime, int doneCount,
    int points, int criticalCount, const LessonStates &lessonState)
{
    using Vocabulary::dateText, Vocabulary::timeText;
    QString line = dateText(date) + u' ' + timeText(startTime) + u' ' + timeText(endTime)
        + QStringLiteral("    ") + QString::number(doneCount) + u'/' + QString::number(points) + u'/'
        + QString::number(criticalCount) + QStringLiteral("       ");
    bool any = false;
    for (int k = 1; k <= MaxLesson; ++k) {
        if (lessonState[std::size_t(k)] == LessonState::Chosen) {
            line += u' ' + QString::number(k);
            any = true;
        }
    }
    if (!any)
        line += QStringLiteral(" TUTTE");
    return line;
}

bool appendExitLog(const QString &path, const QString &line, QString *reason)
{
    const UserFile::Written written = UserFile::append(path, Vocabulary::encode(line + Vocabulary::CrLf));
    if (!written && reason)
        *reason = UserFile::reasonText(written);
    return bool(written);
}

QString exitLogFailedMessage(const QString &path, const QString &reason)
{
    return QStringLiteral("Non riesco a scrivere nel registro delle prove") + Vocabulary::CrLf + path
        + (reason.isEmpty() ? QString() : QStringLiteral(" (") + reason + u')') + Vocabulary::CrLf
        + Vocabulary::CrLf + QStringLiteral("La riga di questa prova va persa; il programma termina.");
}

int tabCaret(int lineStart, int pos)
{
    // s is the 1-based position of the line's first character, so column c of
    // the line lies after s + c - 2 characters.
    const int s = lineStart + 1;
    if (pos < s + 6)
        return s + 4; // before the English field (column 6)
    if (pos < s + 56)
        return s + 54; // before the Italian field (column 56)
    if (pos > s + 56)
        return s; // after column 1
    return pos;
}

} // namespace MainRules
