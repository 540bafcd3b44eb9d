#include "answers.h"

#include "wordtable.h"

namespace Answers {

namespace {
    QStringView trimmedView(QStringView text)
    {
        qsizetype first = 0;
        qsizetype last = text.size();
        while (first < last && text.at(first) == QLatin1Char(' '))
            ++first;
        while (last > first && text.at(last - 1) == QLatin1Char(' '))
            --last;
        return text.mid(first, last - first);
    }
} // namespace

QString trimBlanks(QStringView text)
{
    return trimmedView(text).toString();
}

QString trimTrailingBlanks(QStringView text)
{
    qsizetype last = text.size();
    while (last > 0 && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.left(last).toString();
}

QStringList splitAlternatives(QStringView text)
{
    const QStringView t = trimmedView(text);
    const qsizetype open = t.indexOf(QLatin1Char('('));
    qsizetype close = t.indexOf(QLatin1Char(')'));
    if (open <= 0 || (close >= 0 && close < open))
        return { t.toString() };
    if (close < 0)
        close = t.size();

    QStringList parts { trimBlanks(t.left(open)) };
    qsizetype start = open + 1;
    // Commas separate the alternatives up to the closing parenthesis; what
    // follows it is not part of them.
    while (parts.size() < MaxEntries) {
        const qsizetype comma = t.indexOf(QLatin1Char(','), start);
        const qsizetype end = comma >= 0 && comma < close ? comma : close;
        parts.append(trimBlanks(t.mid(start, end - start)));
        start = end + 1;
        if (end == close || start >= t.size() - 1)
            break;
    }
    return parts;
}

QString promptKey(QStringView prompt)
{
    return splitAlternatives(prompt).constFirst();
}

QString answerOf(QStringView text)
{
    qsizetype cut = text.indexOf(QLatin1Char('('));
    if (cut < 0)
        cut = text.indexOf(QLatin1Char('['));
    const QString answer = trimTrailingBlanks(cut < 0 ? text : text.left(cut));
    // «(to) run», «(il) cane»: the answer is what follows the bracketed part.
    const qsizetype close = text.indexOf(QLatin1Char(')'), cut);
    if (cut >= 0 && text.at(cut) == QLatin1Char('(') && trimBlanks(answer).isEmpty() && close > cut)
        return answerOf(trimBlanks(text.mid(close + 1)));
    return answer;
}

QString messageLine(const WordTable &words, int row)
{
    return QStringLiteral("(Lez.") + trimBlanks(words.lessonText(row)) + QStringLiteral(")   ")
        + trimBlanks(words.english(row)) + QStringLiteral(" = ") + trimBlanks(words.italian(row));
}

} // namespace Answers

void AcceptedAnswers::clear()
{
    acceptedAnswers.clear();
    synonymText.clear();
    m_ownWord = -1;
    m_extraForms = 0;
}

void AcceptedAnswers::add(const QString &answer)
{
    if (acceptedAnswers.size() < Answers::MaxEntries)
        acceptedAnswers.append(answer);
}

void AcceptedAnswers::collectOwnAlternatives(const WordTable &words, int currentWord, Direction direction)
{
    ownLine.clear();
    m_ownWord = -1;
    m_extraForms = 0;
    if (currentWord < 0 || currentWord >= words.count())
        return;
    const QStringView own
        = direction == Direction::EnglishToItalian ? words.italian(currentWord) : words.english(currentWord);
    const QStringList alternatives = Answers::splitAlternatives(own);
    if (alternatives.size() < 2) {
        // The word's own answer comes first, so that other words sharing its
        // prompt never push it out of the accepted answers.
        const QString answer = Answers::trimBlanks(Answers::answerOf(Answers::trimBlanks(own)));
        add(answer);
        m_ownWord = currentWord;
        // «(to) run»: «to run» is right too.
        const QString t = Answers::trimBlanks(own);
        const qsizetype close = t.indexOf(QLatin1Char(')'));
        if (t.startsWith(QLatin1Char('(')) && close > 1 && !answer.isEmpty()) {
            add(Answers::trimBlanks(t.mid(1, close - 1)) + QLatin1Char(' ') + answer);
            m_extraForms = 1;
        }
        return;
    }
    synonymText = ownLine = Answers::messageLine(words, currentWord);
    acceptedAnswers.clear();
    for (const QString &alternative : alternatives)
        add(alternative);
}

const QList<int> &AcceptedAnswers::rowsWithAlternative(
    const WordTable &words, Direction direction, const QString &key)
{
    const bool fromEnglish = direction == Direction::EnglishToItalian;
    PromptIndex &index = m_index[fromEnglish ? 0 : 1];
    if (index.stamp != words.stamp()) {
        index.stamp = words.stamp();
        index.rows.clear();
        for (int word = 0; word < words.count(); ++word) {
            const QStringList alternatives
                = Answers::splitAlternatives(fromEnglish ? words.english(word) : words.italian(word));
            for (qsizetype i = 0; i < alternatives.size(); ++i) {
                // Only the first equal alternative of a text counts.
                if (alternatives.indexOf(alternatives.at(i)) == i)
                    index.rows[alternatives.at(i)].append(word);
            }
        }
    }
    static const QList<int> none;
    const auto found = index.rows.constFind(key);
    return found == index.rows.cend() ? none : *found;
}

void AcceptedAnswers::collectSynonyms(const WordTable &words, const std::function<bool(int)> &isSelected,
    const QString &prompt, Direction direction)
{
    promptKey = Answers::promptKey(prompt);
    const bool fromEnglish = direction == Direction::EnglishToItalian;
    // The selected words, in table order, that have an alternative equal to
    // the prompt key: looked up instead of splitting every text of the table
    // at every question.
    int lines = ownLine.isEmpty() ? 0 : 1;
    int hidden = 0;
    for (int word : rowsWithAlternative(words, direction, promptKey)) {
        if (word >= words.count() || !isSelected(word))
            continue;
        const QString line = Answers::messageLine(words, word);
        if (line != ownLine) {
            // The message box must fit the screen.
            if (lines < Answers::MaxEntries) {
                synonymText += QLatin1Char('\r') + line;
                ++lines;
            } else {
                ++hidden;
            }
        }
        if (word != m_ownWord) // already first
            add(Answers::trimBlanks(Answers::answerOf(
                Answers::trimBlanks(fromEnglish ? words.italian(word) : words.english(word)))));
    }
    if (hidden > 0)
        synonymText += QStringLiteral("\r... e altri ") + QString::number(hidden);
}
