#include "importlines.h"

#include "vocabularyfile.h"
#include "wordtable.h"

namespace Exchange {

namespace {
    // The first character of the text that Windows-1252 cannot hold, or empty.
    QString badCharacter(const QString &text)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            // A character outside the first plane comes as two surrogates, and
            // the encoder takes the first one alone for the start of a pair.
            if (text.at(i).isSurrogate())
                return text.mid(i,
                    text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                        ? 2
                        : 1);
            if (Vocabulary::canEncode(text.at(i)))
                continue;
            return text.mid(i, 1);
        }
        return QString();
    }

    QString quoted(const QString &text)
    {
        return QStringLiteral("\u00ab") + text + QStringLiteral("\u00bb");
    }

    // A character as a message names it: itself, or its code when it cannot
    // be shown (half of a UTF-16 pair, or bytes that were not text).
    QString characterName(const QString &character)
    {
        const char16_t c = character.at(0).unicode();
        if (character.size() == 1 && (QChar::isSurrogate(c) || c == QChar::ReplacementCharacter))
            return QStringLiteral("un carattere illeggibile (U+")
                + QString::number(c, 16).toUpper().rightJustified(4, u'0') + u')';
        return QStringLiteral("il carattere ") + quoted(character);
    }
} // namespace

QString wordCount(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 parola") : QString::number(count) + QStringLiteral(" parole");
}

namespace {
    QString knownKey(QStringView english, QStringView italian)
    {
        QString key = english.toString();
        key += u'\n';
        key += italian;
        return key;
    }
} // namespace

KnownWords::KnownWords(const QString &wordText)
{
    for (const QStringView line : QStringView(wordText).tokenize(Vocabulary::CrLf)) {
        if (!line.trimmed().isEmpty() && !line.startsWith(u"##"))
            m_keys.insert(knownKey(line.mid(Vocabulary::EnglishColumn - 1, Vocabulary::FieldWidth).trimmed(),
                line.mid(Vocabulary::ItalianColumn - 1, Vocabulary::FieldWidth).trimmed()));
    }
}

bool KnownWords::contains(const QString &english, const QString &italian) const
{
    return m_keys.contains(knownKey(english, italian));
}

LineMaker::LineMaker(int defaultLesson, int existingRows, const KnownWords *known, bool leaveKnownOut)
    : m_defaultLesson(defaultLesson)
    , m_existingRows(existingRows)
    , m_known(known)
{
    m_lines.knownLeftOut = leaveKnownOut;
}

void LineMaker::add(const Word &word)
{
    const QString english = oneLine(word.english);
    const QString italian = oneLine(word.italian);
    QString problem;
    if (!word.badLesson.isNull()) {
        problem = quoted(english) + QStringLiteral(" / ") + quoted(italian) + u' '
            + Vocabulary::lineProblemText({ Vocabulary::SaveProblem::BadLesson, 0, word.badLesson });
    } else if (english.isEmpty() || italian.isEmpty()) {
        problem = english.isEmpty() ? QStringLiteral("manca l'inglese di ") + quoted(italian)
                                    : QStringLiteral("manca l'italiano di ") + quoted(english);
    } else if (english.size() > Vocabulary::FieldWidth || italian.size() > Vocabulary::FieldWidth) {
        problem = quoted(english.size() > Vocabulary::FieldWidth ? english : italian)
            + QStringLiteral(" \u00e8 pi\u00f9 lunga di 50 caratteri");
    } else if (const QString bad = badCharacter(english + italian); !bad.isEmpty()) {
        problem = quoted(badCharacter(english).isEmpty() ? italian : english) + QStringLiteral(" ha ")
            + characterName(bad) + QStringLiteral(" che il file dei vocaboli non pu\u00f2 scrivere");
    } else if (!Vocabulary::wellFormed(english, italian)) {
        problem = quoted(english) + QStringLiteral(" / ") + quoted(italian)
            + QStringLiteral(" usa male le parentesi");
    }
    if (!problem.isEmpty()) {
        if (m_lines.problems.size() < Lines::ShownProblems)
            m_lines.problems.append(
                QStringLiteral("Riga ") + QString::number(word.source) + QStringLiteral(": ") + problem);
        ++m_lines.refused;
        return;
    }
    if (m_known && m_known->contains(english, italian)) {
        ++m_lines.known;
        if (m_lines.knownLeftOut)
            return;
    }
    if (full()) {
        ++m_lines.over;
        return;
    }
    const int lesson = isLesson(word.lesson) ? word.lesson : m_defaultLesson;
    m_lines.text += QString::number(lesson).rightJustified(2) + QLatin1Char(' ')
        + QLatin1Char(word.critical ? 'c' : ' ') + QLatin1Char(' ')
        + english.leftJustified(Vocabulary::FieldWidth) + italian + Vocabulary::CrLf;
    ++m_lines.added;
}

Lines wordLines(const QList<Word> &words, int defaultLesson, int existingRows)
{
    LineMaker maker(defaultLesson, existingRows);
    for (const Word &word : words)
        maker.add(word);
    return maker.lines();
}

QString listed(const QString &heading, const QStringList &shown, qsizetype all)
{
    QString text = QString(Vocabulary::CrLf) + Vocabulary::CrLf + heading;
    for (const QString &line : shown)
        text += QString(Vocabulary::CrLf) + QStringLiteral("  ") + line;
    if (all == shown.size() + 1)
        text += QString(Vocabulary::CrLf) + QStringLiteral("  ... e un'altra");
    else if (all > shown.size())
        text += QString(Vocabulary::CrLf) + QStringLiteral("  ... e altre ")
            + QString::number(all - shown.size());
    return text;
}

QString importMessage(const Lines &lines)
{
    QString text;
    if (lines.added == 0)
        text = QStringLiteral("Nessuna parola \u00e8 stata aggiunta all'elenco.");
    else if (lines.added == 1)
        text = QStringLiteral("\u00c8 stata aggiunta 1 parola in fondo all'elenco.");
    else
        text = QStringLiteral("Sono state aggiunte ") + wordCount(lines.added)
            + QStringLiteral(" in fondo all'elenco.");
    if (lines.added > 0)
        text += QStringLiteral(" Per tenerle, salvale con \"Salva Aggiornamenti\".");
    if (lines.knownLeftOut && lines.known > 0)
        text += QString(Vocabulary::CrLf) + Vocabulary::CrLf
            + (lines.known == 1 ? QStringLiteral("1 parola era gi\u00e0 nell'elenco ed \u00e8 rimasta fuori.")
                                : wordCount(lines.known)
                        + QStringLiteral(" erano gi\u00e0 nell'elenco e sono rimaste fuori."));
    QStringList problems = lines.problems;
    if (lines.over > 0)
        problems.append(
            wordCount(lines.over) + QStringLiteral(" oltre le 32767 righe che l'elenco pu\u00f2 tenere"));
    if (!problems.isEmpty())
        text += listed(QStringLiteral("Non sono entrate:"), problems, lines.refused + (lines.over > 0));
    return text;
}

Platform::Icon importIcon(const Lines &lines)
{
    return lines.added > 0 || lines.refused + lines.over == 0 ? Platform::Icon::Information
                                                              : Platform::Icon::Stop;
}

QString knownQuestion(int known)
{
    if (known == 1)
        return QStringLiteral("1 parola di questo file \u00e8 gi\u00e0 nell'elenco, con lo stesso inglese e "
                              "lo stesso italiano (in qualunque lezione).\r\n\r\nAggiungerla lo stesso?\r\n"
                              "(No: resta fuori e l'elenco non la ripete)");
    return wordCount(known)
        + QStringLiteral(" di questo file sono gi\u00e0 nell'elenco, con lo stesso inglese e lo stesso "
                         "italiano (in qualunque lezione).\r\n\r\nAggiungerle lo stesso?\r\n"
                         "(No: restano fuori e l'elenco non le ripete)");
}

ListWords listWords(const QString &wordText, const CriticalList *memoc)
{
    ListWords list;
    int lineNumber = 0;
    int row = 0; // of the word table that a save would build
    for (const QStringView line : QStringView(wordText).tokenize(Vocabulary::CrLf)) {
        ++lineNumber;
        const QStringView english = line.mid(Vocabulary::EnglishColumn - 1, Vocabulary::FieldWidth);
        const QStringView italian = line.mid(Vocabulary::ItalianColumn - 1, Vocabulary::FieldWidth);
        const bool counted = Vocabulary::wellFormed(english, italian);
        row += counted;
        if (line.trimmed().isEmpty() || line.startsWith(u"##"))
            continue;
        if (const Vocabulary::SaveProblem problem = Vocabulary::lineProblem(line, lineNumber)) {
            if (list.problems.size() < Lines::ShownProblems)
                list.problems.append(QStringLiteral("Riga ") + QString::number(lineNumber)
                    + QStringLiteral(": ") + Vocabulary::lineProblemText(problem));
            ++list.refused;
            continue;
        }
        const int lesson = WordTable::lessonNumber(line);
        const bool marked = line.size() >= 4 && line.at(3) != u' ';
        list.words.append({ english.trimmed().toString(), italian.trimmed().toString(), lesson,
            marked || (memoc && memoc->contains(row - 1)), lineNumber });
        list.present[std::size_t(lesson)] = true;
    }
    return list;
}

QList<Word> ofLessons(const QList<Word> &words, const LessonFlags &lessons)
{
    QList<Word> chosen;
    for (const Word &word : words) {
        if (word.lesson >= 0 && lessons[std::size_t(word.lesson)])
            chosen.append(word);
    }
    return chosen;
}

} // namespace Exchange
