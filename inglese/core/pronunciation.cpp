#include "pronunciation.h"

#include "answers.h"
#include "drill.h"
#include "vocabularyfile.h"
#include "wordtable.h"

namespace Pronunciation {

namespace {
    // The text without its remarks: from each "[" to the next "]" (or the end).
    QString withoutRemarks(const QString &text)
    {
        QString kept;
        kept.reserve(text.size());
        bool inRemark = false;
        for (const QChar c : text) {
            if (c == QLatin1Char('['))
                inRemark = true;
            else if (c == QLatin1Char(']') && inRemark)
                inRemark = false;
            else if (!inRemark)
                kept += c;
        }
        return kept;
    }
} // namespace

QString spokenText(const QString &englishText)
{
    QStringList said;
    for (QString part : Answers::splitAlternatives(withoutRemarks(englishText))) {
        // A text the drills do not split keeps its parentheses: they are not words.
        part.remove(QLatin1Char('(')).remove(QLatin1Char(')'));
        part = part.simplified();
        if (!part.isEmpty())
            said.append(part);
    }
    return said.join(QStringLiteral(", "));
}

QString englishOfLine(const QString &line)
{
    return Answers::trimBlanks(line.mid(Vocabulary::EnglishColumn - 1, Vocabulary::FieldWidth));
}

QString drillText(const Drill &drill, const WordTable &words)
{
    const int word = drill.askedWord();
    if (word < 0 || word >= words.count())
        return QString();
    if (drill.direction() == Direction::ItalianToEnglish) {
        const DrillState &s = drill.state();
        // Only this question's own help counts, once it shows the whole answer.
        const bool helpShowsAll = s.helpShown && !s.helpMask.contains(QLatin1Char('#'));
        if (s.questionRunning && !helpShowsAll)
            return QString();
    }
    return spokenText(words.english(word).toString());
}

QString controlTip(Platform::Speech speech)
{
    switch (speech) {
    case Platform::Speech::NoVoice:
        return QStringLiteral("Pronuncia non disponibile: nessuna voce inglese");
    case Platform::Speech::NoOutput:
        return QStringLiteral("Pronuncia non disponibile: nessuna uscita audio");
    case Platform::Speech::Available:
        break;
    }
    return QStringLiteral("Ascolta la parola inglese");
}

Speaker drillSpeaker(const Drill &drill, const WordTable &words, Platform::Speech speech)
{
    if (speech != Platform::Speech::Available)
        return { false, controlTip(speech) };
    if (!drillText(drill, words).isEmpty())
        return { true, controlTip(speech) };
    const QString waiting = controlTip(speech) + QStringLiteral(": ");
    if (drill.askedWord() < 0)
        return { false, waiting + QStringLiteral("prima premi \"Via!\"") };
    if (drill.direction() == Direction::ItalianToEnglish && drill.state().questionRunning)
        return { false, waiting + QStringLiteral("si sente quando hai risposto") };
    return { false, waiting + QStringLiteral("per questa parola non c'\u00e8 niente da ascoltare") };
}

} // namespace Pronunciation
