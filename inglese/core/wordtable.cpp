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

void WordTable::reserve(int rows)
{
    Listc.reserve(rows);
    Listll.reserve(rows);
    Listin.reserve(rows);
    Listit.reserve(rows);
}

int WordTable::lessonNumber(const QString &text)
{
    // The usual forms first: «12», « 7», «7 ».
    if (text.size() >= 2) {
        const char16_t a = text.at(0).unicode();
        const char16_t b = text.at(1).unicode();
        const auto digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
        int k = -1;
        if (digit(a) && digit(b))
            k = (a - u'0') * 10 + (b - u'0');
        else if (a == u' ' && digit(b))
            k = b - u'0';
        else if (digit(a) && b == u' ')
            k = a - u'0';
        if (k >= 0)
            return k <= 20 ? k : -1;
    }
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

void CriticalList::removeFrom(int word)
{
    m_words.erase(std::lower_bound(m_words.begin(), m_words.end(), word), m_words.end());
}
