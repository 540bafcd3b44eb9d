#include "wordtable.h"

#include "lessons.h"

#include <algorithm>
#include <atomic>

void WordTable::touch()
{
    static std::atomic<quint64> last { 0 };
    m_stamp = ++last;
}

void WordTable::clear()
{
    m_rows.clear();
    m_text.clear();
    touch();
}

void WordTable::reserve(int rows)
{
    m_rows.reserve(rows);
}

qsizetype WordTable::keep(const QString &text)
{
    touch();
    if (m_rows.isEmpty())
        m_text = text;
    else if (m_text.constData() != text.constData() || m_text.size() != text.size())
        m_text.append(text);
    else
        return 0;
    return m_text.size() - text.size();
}

void WordTable::append(qsizetype start, qsizetype length)
{
    const QStringView line = QStringView(m_text).mid(start, length);
    m_rows.append({ start, quint8(std::min<qsizetype>(line.size(), LastColumn)),
        qint8(lessonNumber(line.left(2))), AsRead });
}

void WordTable::append(QStringView lessonField, QStringView english, QStringView italian)
{
    const QString line = lessonField.toString()
                             .leftJustified(5, u' ', true)
                             .append(english.left(50))
                             .leftJustified(55, u' ', true)
                             .append(italian.left(50));
    touch();
    const qsizetype start = m_text.size();
    m_text.append(line);
    append(start, line.size());
}

QStringList WordTable::lessonColumn() const
{
    QStringList column;
    column.reserve(count());
    for (int row = 0; row < count(); ++row)
        column.append(lessonField(row));
    return column;
}

QStringView WordTable::column(int row, qsizetype first, qsizetype width) const
{
    const Row &r = m_rows.at(row);
    if (r.length < first)
        return {};
    return QStringView(m_text).mid(r.start + first - 1, std::min<qsizetype>(width, r.length - first + 1));
}

QString WordTable::lessonField(int row) const
{
    switch (m_rows.at(row).mark) {
    case AsRead:
        return column(row, 1, 4).toString();
    case Plain:
        return lessonText(row).toString();
    case Critical:
        return lessonText(row).toString().append(QLatin1String(" c"));
    }
    return QString();
}

void WordTable::refreshLessons(const QList<int> &critical)
{
    qsizetype j = 0;
    for (int row = 0; row < count(); ++row) {
        while (j < critical.size() && critical.at(j) < row)
            ++j;
        m_rows[row].mark = j < critical.size() && critical.at(j) == row ? Critical : Plain;
    }
}

int WordTable::lessonNumber(QStringView text)
{
    return parseLesson(text.left(2).trimmed());
}

void CriticalList::add(int word)
{
    m_words.insert(std::upper_bound(m_words.begin(), m_words.end(), word), word);
}

void CriticalList::removeOne(int word)
{
    const auto it = std::lower_bound(m_words.begin(), m_words.end(), word);
    if (it != m_words.end() && *it == word)
        m_words.erase(it);
}

bool CriticalList::contains(int word) const
{
    return std::binary_search(m_words.begin(), m_words.end(), word);
}

void CriticalList::removeFrom(int word)
{
    m_words.erase(std::lower_bound(m_words.begin(), m_words.end(), word), m_words.end());
}
