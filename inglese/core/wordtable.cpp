#include "wordtable.h"

#include <algorithm>

void WordTable::clear()
{
    Listc.clear();
    Listll.clear();
    Listin.clear();
    Listit.clear();
}

void WordTable::append(const QString &lessonField, const QString &lessonNumber, const QString &english,
                       const QString &italian)
{
    Listc.append(lessonField);
    Listll.append(lessonNumber);
    Listin.append(english);
    Listit.append(italian);
}

int WordTable::lessonNumber(const QString &text)
{
    bool ok = false;
    const int k = text.left(2).trimmed().toInt(&ok);
    return ok && k >= 0 && k <= 20 ? k : -1;
}

int WordTable::lessonOf(int row) const
{
    return row >= 0 && row < count() ? lessonNumber(Listc.at(row)) : -1;
}

QString CriticalList::key(int word)
{
    return QStringLiteral("%1").arg(word, 4, 10, QLatin1Char('0'));
}

void CriticalList::add(int word)
{
    m_words.insert(std::upper_bound(m_words.begin(), m_words.end(), word), word);
}

bool CriticalList::removeOne(int word)
{
    const auto it = std::lower_bound(m_words.begin(), m_words.end(), word);
    if (it == m_words.end() || *it != word)
        return false;
    m_words.erase(it);
    return true;
}

bool CriticalList::contains(int word) const
{
    return std::binary_search(m_words.begin(), m_words.end(), word);
}
