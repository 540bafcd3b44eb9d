#include "tabletext.h"

#include "lessons.h"
#include "userfile.h"
#include "vocabularyfile.h"
#include "wordtable.h"

#include <QHash>
#include <QRegularExpression>

#include <csv.h>

#include <algorithm>
#include <utility>

namespace Exchange {

namespace {

    // ---- Spreadsheet tables, parsed by libcsv ----

    // Collects the cells of each row (the first MaxColumns of them) and hands
    // the row to `visit`, which may stop the walk.
    struct CsvRows
    {
        QList<QByteArray> row;
        int cells = 0;
        bool stopped = false;
        std::function<bool(QList<QByteArray> &)> visit;
    };

    void onField(void *text, size_t length, void *data)
    {
        auto *sink = static_cast<CsvRows *>(data);
        if (sink->cells++ < Table::MaxColumns)
            sink->row.append(QByteArray(static_cast<const char *>(text), qsizetype(length)));
    }

    void onRowEnd(int, void *data)
    {
        auto *sink = static_cast<CsvRows *>(data);
        if (!sink->stopped)
            sink->stopped = !sink->visit(sink->row);
        sink->row.clear();
        sink->cells = 0;
    }

    // Only the blank is trimmed around unquoted fields: a tab may be the separator.
    int isBlank(unsigned char c)
    {
        return c == ' ';
    }

    // A lone half of a UTF-16 pair has no UTF-8 form: it goes to the parser
    // as U+FFFD, a character that the vocabulary cannot hold, so that its row
    // is named among those left out.
    QByteArray utf8(QStringView text)
    {
        if (text.isValidUtf16())
            return text.toUtf8();
        QString copy = text.toString();
        for (qsizetype i = 0; i < copy.size(); ++i) {
            const bool pair
                = copy.at(i).isHighSurrogate() && i + 1 < copy.size() && copy.at(i + 1).isLowSurrogate();
            if (pair)
                ++i;
            else if (copy.at(i).isSurrogate())
                copy[i] = QChar::ReplacementCharacter;
        }
        return copy.toUtf8();
    }

    // RFC 4180 fields with any line ends (CR, LF or CR LF), quotes doubled
    // inside quoted fields; libcsv is lenient with stray quotes. The text goes
    // to the parser in pieces, so that no second copy of a big file is made,
    // and the walk ends as soon as `visit` says so.
    void parseCsv(QStringView text, char separator, const std::function<bool(QList<QByteArray> &)> &visit)
    {
        constexpr qsizetype Piece = 1 << 20;
        CsvRows sink;
        sink.visit = visit;
        csv_parser parser;
        if (csv_init(&parser, 0) != 0)
            return;
        csv_set_delim(&parser, static_cast<unsigned char>(separator));
        csv_set_space_func(&parser, isBlank);
        for (qsizetype at = 0; at < text.size() && !sink.stopped;) {
            qsizetype length = std::min(Piece, text.size() - at);
            if (at + length < text.size() && text.at(at + length - 1).isHighSurrogate())
                --length; // a pair stays whole
            const QByteArray piece = utf8(text.mid(at, length));
            csv_parse(&parser, piece.constData(), size_t(piece.size()), onField, onRowEnd, &sink);
            at += length;
        }
        if (!sink.stopped)
            csv_fini(&parser, onField, onRowEnd, &sink);
        csv_free(&parser);
    }

    QList<QStringList> firstRows(QStringView text, char separator, int count)
    {
        QList<QStringList> rows;
        parseCsv(text, separator, [&](QList<QByteArray> &cells) {
            QStringList row;
            for (const QByteArray &cell : std::as_const(cells))
                row.append(QString::fromUtf8(cell));
            rows.append(row);
            return rows.size() < count;
        });
        return rows;
    }

    // The separator that splits the first rows into the same number of columns
    // (two or more) most often; on a tie tab, then semicolon, then comma.
    char findSeparator(QStringView text)
    {
        const QStringView sample = text.left(16384);
        char best = ',';
        int bestScore = 0;
        for (const char separator : { '\t', ';', ',' }) {
            int score = 0;
            qsizetype first = -1;
            int rows = 0;
            parseCsv(sample, separator, [&](const QList<QByteArray> &row) {
                if (first < 0)
                    first = row.size();
                score += row.size() >= 2 && row.size() == first;
                return ++rows < 40;
            });
            if (score > bestScore) {
                best = separator;
                bestScore = score;
            }
        }
        return best;
    }

    // ---- The program's own vocabulary files ----

    // A word line of the fixed columns: a lesson number in columns 1-2,
    // blanks in columns 3 and 5, and no tab (a row of a TSV file may
    // otherwise start the same way).
    bool vocabularyLine(QStringView line)
    {
        return line.size() > 5 && line.at(2) == u' ' && line.at(4) == u' ' && !line.contains(u'\t');
    }

    // Calls `visit` with each line of a text with any line ends and its 1-based number.
    template<typename Visit> void forEachLine(QStringView text, Visit visit)
    {
        int number = 0;
        qsizetype pos = 0;
        while (pos < text.size()) {
            const qsizetype end = std::find_if(text.begin() + pos, text.end(), [](QChar c) {
                return c == u'\r' || c == u'\n';
            }) - text.begin();
            if (!visit(text.mid(pos, end - pos), ++number))
                return;
            pos = end + (end + 1 < text.size() && text.at(end) == u'\r' && text.at(end + 1) == u'\n' ? 2 : 1);
        }
    }

    // The first lines, without comments and empty lines, are all word lines,
    // and most of them start with a lesson number: one with another lesson
    // field ("25", "xx") is a word line that a save would refuse.
    bool isVocabulary(QStringView text)
    {
        int words = 0;
        int lessons = 0;
        bool all = true;
        forEachLine(text, [&](QStringView line, int) {
            if (line.isEmpty() || line.startsWith(u"##"))
                return true;
            all = vocabularyLine(line);
            lessons += WordTable::lessonNumber(line) >= 0;
            return all && ++words < Table::FirstRows;
        });
        return all && lessons * 2 > words;
    }

    // A word line as the four cells lesson, mark, English, Italian.
    QStringList vocabularyCells(QStringView line)
    {
        const auto field = [line](qsizetype column, qsizetype width) {
            return line.size() < column ? QString() : line.mid(column - 1, width).trimmed().toString();
        };
        const bool marked = line.size() >= 4 && line.at(3) != u' ';
        return { field(1, 2), marked ? QStringLiteral("c") : QString(),
            field(Vocabulary::EnglishColumn, Vocabulary::FieldWidth),
            field(Vocabulary::ItalianColumn, Vocabulary::FieldWidth) };
    }

    // ---- Metadata before the table ----

    // "Title: ..." and its kind, as some vocabulary programs write them above
    // their words, in English or Italian.
    bool metadataLine(QStringView line, bool *named)
    {
        static const QStringList keys { QStringLiteral("title"), QStringLiteral("author"),
            QStringLiteral("authors"), QStringLiteral("titolo"), QStringLiteral("autore"),
            QStringLiteral("license"), QStringLiteral("licence"), QStringLiteral("licenza"),
            QStringLiteral("comment"), QStringLiteral("comments"), QStringLiteral("commento"),
            QStringLiteral("description"), QStringLiteral("descrizione"), QStringLiteral("date"),
            QStringLiteral("data"), QStringLiteral("version"), QStringLiteral("versione"),
            QStringLiteral("language"), QStringLiteral("languages"), QStringLiteral("lingua"),
            QStringLiteral("lingue"), QStringLiteral("category"), QStringLiteral("categoria"),
            QStringLiteral("generator") };
        // A row of three tab-separated cells is a word, whatever its first cell says.
        if (line.count(u'\t') >= 2)
            return false;
        QStringView rest = line.trimmed();
        if (rest.startsWith(u'"'))
            rest = rest.mid(1);
        const qsizetype colon = rest.indexOf(u':');
        if (colon <= 0)
            return false;
        const QString key = rest.left(colon).trimmed().toString().toLower();
        if (!keys.contains(key))
            return false;
        *named = *named || key.startsWith(u"tit") || key.startsWith(u"aut");
        return true;
    }

    // Where the words start after a leading metadata block that names a
    // title or an author, and how many lines the block has.
    qsizetype afterMetadata(QStringView text, int *lines)
    {
        qsizetype start = 0;
        int counted = 0;
        bool named = false;
        bool any = false;
        qsizetype pos = 0;
        forEachLine(text, [&](QStringView line, int number) {
            const bool empty = line.trimmed().isEmpty() || std::all_of(line.begin(), line.end(), [](QChar c) {
                return c == u',' || c == u';' || c == u'\t' || c == u' ';
            });
            pos = (line.data() - text.data()) + line.size();
            if (!empty && !metadataLine(line, &named))
                return false;
            any = any || !empty;
            counted = number;
            start = pos;
            return true;
        });
        if (!any || !named)
            return 0;
        // The line end of the block's last line goes too.
        if (start < text.size() && text.at(start) == u'\r')
            ++start;
        if (start < text.size() && text.at(start) == u'\n')
            ++start;
        *lines = counted;
        return start;
    }

    enum class Column { None, English, Italian, Lesson, Critical };

    Column columnNamed(const QString &cell)
    {
        static const QHash<QString, Column> names {
            { QStringLiteral("inglese"), Column::English },
            { QStringLiteral("english"), Column::English },
            { QStringLiteral("italiano"), Column::Italian },
            { QStringLiteral("italian"), Column::Italian },
            { QStringLiteral("lezione"), Column::Lesson },
            { QStringLiteral("lesson"), Column::Lesson },
            { QStringLiteral("critica"), Column::Critical },
            { QStringLiteral("critical"), Column::Critical },
        };
        return names.value(cell.trimmed().toLower(), Column::None);
    }

    // A lesson cell: a number, or tags such as "lezione7 critica".
    struct LessonCell
    {
        int lesson = -1;
        bool critical = false;
        bool known = true; // empty, a number or only tags of ours
        bool tagged = false; // holds a tag of ours
    };

    // Only digits: a number, whether or not it makes a lesson.
    bool allDigits(QStringView text)
    {
        return !text.isEmpty()
            && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    }

    LessonCell lessonCell(const QString &text)
    {
        LessonCell cell;
        const QString trimmed = text.trimmed();
        if (allDigits(trimmed)) {
            cell.lesson = parseLesson(trimmed);
            return cell;
        }
        static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
        for (const QString &tag : trimmed.toLower().split(separators, Qt::SkipEmptyParts)) {
            if (tag == u"critica" || tag == u"critical") {
                cell.critical = cell.tagged = true;
            } else if (tag.startsWith(u"lezione") || tag.startsWith(u"lesson")) {
                QString rest = tag.mid(tag.startsWith(u"lezione") ? 7 : 6);
                while (rest.startsWith(u'_') || rest.startsWith(u'-') || rest.startsWith(u':'))
                    rest.remove(0, 1);
                if (const int lesson = parseLesson(rest); lesson >= 0)
                    cell.lesson = lesson;
                cell.tagged = allDigits(rest);
                cell.known = cell.known && cell.tagged;
            } else {
                cell.known = false;
            }
        }
        return cell;
    }

    bool criticalCell(const QString &text)
    {
        const QString t = text.trimmed().toLower();
        return !t.isEmpty() && t != u"0" && t != u"no" && t != u"n" && t != u"false" && t != u"falso";
    }

    QString cellOf(const QStringList &row, int column)
    {
        return column >= 0 && column < row.size() ? row.at(column) : QString();
    }

    QByteArray csvField(const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        if (!utf8.contains(',') && !utf8.contains('"') && !utf8.contains('\r') && !utf8.contains('\n')
            && !utf8.startsWith(' ') && !utf8.endsWith(' '))
            return utf8;
        QByteArray field(qsizetype(csv_write(nullptr, 0, utf8.constData(), size_t(utf8.size()))), '\0');
        csv_write(field.data(), size_t(field.size()), utf8.constData(), size_t(utf8.size()));
        return field;
    }

} // namespace

Table readTable(const QByteArray &bytes)
{
    QString text;
    UserFile::decode(bytes, text);
    return readTableText(text);
}

int Table::columnCount() const
{
    qsizetype columns = 0;
    for (const QStringList &row : rows)
        columns = std::max(columns, row.size());
    return int(columns);
}

namespace {
    // The first row names the columns when two of its cells are column names
    // and none is a lesson: "english<tab>inglese<tab>lezione3" is a word.
    void findHeader(Table &table)
    {
        const QStringList &first = table.rows.constFirst();
        int names = 0;
        bool lessonCells = false;
        for (const QString &cell : first) {
            if (columnNamed(cell) != Column::None)
                ++names;
            else
                lessonCells = lessonCells || lessonCell(cell).tagged || lessonCell(cell).lesson >= 0;
        }
        for (int c = 0; c < first.size() && names >= 2 && !lessonCells; ++c) {
            int *column = nullptr;
            switch (columnNamed(first.at(c))) {
            case Column::English:
                column = &table.englishColumn;
                break;
            case Column::Italian:
                column = &table.italianColumn;
                break;
            case Column::Lesson:
                column = &table.lessonColumn;
                break;
            case Column::Critical:
                column = &table.criticalColumn;
                break;
            case Column::None:
                break;
            }
            if (column && *column < 0) {
                *column = c;
                table.header = true;
            }
        }
    }

    // The last column of lesson tags holds the lessons (tags come after the
    // words), else the first column of lesson numbers (a column of numbers
    // may be words as well).
    void findLessons(Table &table)
    {
        const int columns = table.columnCount();
        for (const bool tags : { true, false }) {
            for (int k = 0; k < columns && table.lessonColumn < 0; ++k) {
                const int c = tags ? columns - 1 - k : k;
                bool filled = false;
                bool all = true;
                for (qsizetype r = 0; r < table.rows.size() && all; ++r) {
                    const LessonCell cell = lessonCell(cellOf(table.rows.at(r), c));
                    all = cell.known;
                    filled = filled || (tags ? cell.tagged : cell.lesson >= 0);
                }
                if (all && filled)
                    table.lessonColumn = c;
            }
        }
    }

    // A vocabulary of this program: its word lines in the four fixed columns.
    void readVocabularyRows(Table &table)
    {
        table.kind = Table::Kind::Vocabulary;
        forEachLine(table.rowsText(), [&table](QStringView line, int) {
            if (!line.isEmpty() && !line.startsWith(u"##"))
                table.rows.append(vocabularyCells(line));
            return table.rows.size() < Table::FirstRows;
        });
        table.lessonColumn = 0;
        table.criticalColumn = 1;
        table.englishColumn = 2;
        table.italianColumn = 3;
    }

    // The words in the columns left, in order: English first, then Italian.
    void findWords(Table &table)
    {
        for (int c = 0; c < table.columnCount(); ++c) {
            if (c == table.lessonColumn || c == table.criticalColumn || c == table.englishColumn
                || c == table.italianColumn)
                continue;
            if (table.englishColumn < 0)
                table.englishColumn = c;
            else if (table.italianColumn < 0)
                table.italianColumn = c;
        }
    }
} // namespace

Table readTableText(const QString &input)
{
    Table table;
    table.text = input;
    table.start = afterMetadata(input, &table.skippedLines);
    if (isVocabulary(table.rowsText())) {
        readVocabularyRows(table);
        return table;
    }
    table.separator = findSeparator(table.rowsText());
    table.rows = firstRows(table.rowsText(), table.separator, Table::FirstRows);
    if (table.rows.isEmpty())
        return table;
    findHeader(table);
    if (!table.header)
        findLessons(table);
    findWords(table);
    return table;
}

void forEachWord(const Table &table, const Columns &columns, const WordVisit &visit)
{
    int number = 0; // of the row, counted in the file
    const auto take = [&](const QStringList &row, bool blank) {
        ++number;
        if ((table.header && number == 1) || blank)
            return true;
        Word word;
        word.english = cellOf(row, columns.english);
        word.italian = cellOf(row, columns.italian);
        const LessonCell cell = lessonCell(cellOf(row, columns.lesson));
        word.lesson = cell.lesson;
        word.critical = cell.critical || criticalCell(cellOf(row, columns.critical));
        word.source = table.skippedLines + number;
        // A vocabulary's own lesson column holds a lesson or the line is refused, as a save refuses it.
        if (table.kind == Table::Kind::Vocabulary && columns.lesson == 0 && cell.lesson < 0)
            word.badLesson = cellOf(row, 0);
        return visit(word);
    };
    if (table.kind == Table::Kind::Vocabulary) {
        forEachLine(table.rowsText(), [&](QStringView line, int lineNumber) {
            number = lineNumber - 1;
            return line.isEmpty() || line.startsWith(u"##") || take(vocabularyCells(line), false);
        });
        return;
    }
    // Only the cells asked for become text.
    parseCsv(table.rowsText(), table.separator, [&](const QList<QByteArray> &cells) {
        QStringList row;
        bool blank = true;
        for (int c = 0; c < int(cells.size()); ++c) {
            const bool wanted = c == columns.english || c == columns.italian || c == columns.lesson
                || c == columns.critical;
            row.append(wanted ? QString::fromUtf8(cells.at(c)) : QString());
            blank = blank && cells.at(c).trimmed().isEmpty();
        }
        return take(row, blank);
    });
}

qsizetype wordRows(const Table &table)
{
    qsizetype rows = 0;
    if (table.kind == Table::Kind::Vocabulary) {
        forEachLine(table.rowsText(), [&rows](QStringView line, int) {
            rows += !line.isEmpty() && !line.startsWith(u"##");
            return true;
        });
        return rows;
    }
    parseCsv(table.rowsText(), table.separator, [&rows](const QList<QByteArray> &cells) {
        rows += !std::all_of(
            cells.begin(), cells.end(), [](const QByteArray &cell) { return cell.trimmed().isEmpty(); });
        return true;
    });
    return rows - (table.header && rows > 0);
}

QList<Word> tableWords(const Table &table, const Columns &columns, int limit)
{
    return firstWords(limit, [&](auto visit) { forEachWord(table, columns, visit); });
}

QByteArray writeCsv(const QList<Word> &words)
{
    QByteArray bytes = "\xEF\xBB\xBFlezione,critica,inglese,italiano\r\n";
    for (const Word &word : words) {
        bytes += (word.lesson >= 0 ? QByteArray::number(word.lesson) : QByteArray()) + ','
            + (word.critical ? "c" : "") + ',' + csvField(word.english) + ',' + csvField(word.italian)
            + "\r\n";
    }
    return bytes;
}

QByteArray writeTsv(const QList<Word> &words)
{
    // A field that starts with a quote is quoted, or it would read as a quoted field.
    const auto field = [](const QString &text) {
        const QString line = oneLine(text);
        return line.startsWith(u'"') ? csvField(line) : line.toUtf8();
    };
    QByteArray bytes;
    for (const Word &word : words) {
        QByteArray tags = word.lesson >= 0 ? "lezione" + QByteArray::number(word.lesson) : QByteArray();
        if (word.critical)
            tags += tags.isEmpty() ? "critica" : " critica";
        bytes += field(word.english) + '\t' + field(word.italian) + '\t' + tags + '\n';
    }
    return bytes;
}

} // namespace Exchange
