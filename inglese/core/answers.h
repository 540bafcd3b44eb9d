#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct WordTable;

// The two drills: English shown and Italian typed (EnglishDrillWindow), or the reverse (ItalianDrillWindow).
enum class Direction { EnglishToItalian, ItalianToEnglish };

// Plain-text helpers on vocabulary texts. Blanks are the space character only,
// as in the vocabulary file's fixed columns.
namespace Answers {

// The arrays of alternatives and of accepted answers hold 20 usable entries;
// anything beyond is ignored.
constexpr int MaxEntries = 20;

QString trimBlanks(QStringView text);
QString trimTrailingBlanks(QStringView text);

// «casa (abitazione, dimora)» -> «casa», «abitazione», «dimora»; «casa» -> «casa».
// A text that begins with "(" or whose first ")" stands before its "(" has no
// alternatives: the whole text (without outer blanks) is its only entry.
QStringList splitAlternatives(QStringView text);

// The prompt without its parenthesis part: «run (verb)» -> «run».
QString promptKey(QStringView prompt);

// The answer asked for a vocabulary text: cut before the first "(" or, when
// there is none, before the first "["; then without trailing blanks. When
// nothing stands before the "(", the answer is what follows the bracketed part.
QString answerOf(QStringView text);

// «(Lez.12)   house = casa (abitazione, dimora)»: always English first.
QString messageLine(const WordTable &words, int row);

} // namespace Answers

// The answers accepted for the current question and the synonyms message.
struct AcceptedAnswers
{
    QStringList acceptedAnswers; // at most Answers::MaxEntries, in the order they were found
    QString synonymText;
    QString ownLine;
    QString promptKey;

    int answerCount() const { return int(acceptedAnswers.size()); }
    // More than one answer to show in the synonyms message («to run» beside
    // «run» is one answer written two ways).
    bool hasSynonyms() const { return answerCount() - m_extraForms > 1; }
    void clear(); // empty synonyms text, no accepted answer

    // The alternatives written in the current word's own answer text.
    void collectOwnAlternatives(const WordTable &words, int currentWord, Direction direction);

    // The answers of the selected words whose prompt text (or one of its
    // alternatives) equals the prompt key, in table order. `isSelected` tells
    // in constant time whether a word belongs to the current selection.
    void collectSynonyms(const WordTable &words, const std::function<bool(int)> &isSelected,
        const QString &prompt, Direction direction);

private:
    void add(const QString &answer);

    int m_ownWord = -1; // the current word, when its answer is already first
    int m_extraForms = 0; // accepted forms that are not another answer

    // Which words have each alternative in their prompt text, for one
    // direction: alternative -> rows in table order, each row once. It is
    // made at the first question and made again whenever the word table has
    // changed since it was made (the table's stamp tells).
    struct PromptIndex
    {
        quint64 stamp = 0;
        QHash<QString, QList<int>> rows;
    };
    const QList<int> &rowsWithAlternative(const WordTable &words, Direction direction, const QString &key);
    PromptIndex m_index[2];
};
