#include "wordexchange.h"

#include "userfile.h"
#include "vocabularyfile.h"
#include "wordtable.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <csv.h>

#include <algorithm>
#include <utility>
#include <vector>

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
        return line.size() > 5 && line.at(2) == u' ' && line.at(4) == u' '
            && WordTable::lessonNumber(line) >= 0 && !line.contains(u'\t');
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

    // The first lines, without comments and empty lines, are all word lines.
    bool isVocabulary(QStringView text)
    {
        int words = 0;
        bool all = true;
        forEachLine(text, [&](QStringView line, int) {
            if (line.isEmpty() || line.startsWith(u"##"))
                return true;
            all = vocabularyLine(line);
            return all && ++words < Table::FirstRows;
        });
        return all && words > 0;
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

    // ---- Word lines ----

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

    bool isUtf8(const QByteArray &bytes)
    {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder.decode(bytes);
        return !decoder.hasError();
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

    // ---- Writers ----

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

    QString lessonName(int lesson)
    {
        return QStringLiteral("Lezione ") + QString::number(lesson);
    }

} // namespace

QString oneLine(const QString &text)
{
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar &c : line) {
        if (c.unicode() < 0x20)
            c = u' ';
    }
    return line.trimmed();
}

QString wordCount(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 parola") : QString::number(count) + QStringLiteral(" parole");
}

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

void forEachWord(const Table &table, const Columns &columns, const std::function<bool(const Word &)> &visit)
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

namespace {
    // The first `limit` words that a walk over a file gives; all of them when `limit` is negative.
    template<class Walk> QList<Word> firstWords(int limit, Walk walk)
    {
        QList<Word> words;
        if (limit != 0)
            walk([&](const Word &word) {
                words.append(word);
                return limit < 0 || words.size() < limit;
            });
        return words;
    }
} // namespace

QList<Word> tableWords(const Table &table, const Columns &columns, int limit)
{
    return firstWords(limit, [&](auto visit) { forEachWord(table, columns, visit); });
}

namespace {
    // Lesson numbers from the names of the containers ("Lezione 7"), else
    // from their place, where they are lesson numbers.
    QList<int> lessonNumbers(const QStringList &lessonNames)
    {
        static const QRegularExpression digits(QStringLiteral("\\d+"));
        QList<int> numbers;
        for (qsizetype i = 0; i < lessonNames.size(); ++i) {
            const QRegularExpressionMatch match = digits.match(lessonNames.at(i));
            numbers.append(match.hasMatch() ? parseLesson(match.capturedView())
                    : isLesson(int(i + 1))  ? int(i + 1)
                                            : -1);
        }
        return numbers;
    }

    // The languages named by name and locale; English and Italian found by
    // either, else the first two languages left; an error without two.
    void nameLanguages(Kvtml &file, const QStringList &locales)
    {
        for (qsizetype i = 0; i < file.languages.size(); ++i) {
            const QString language = file.languages.at(i).toLower();
            const QString locale = locales.at(i).toLower();
            if (file.englishLanguage < 0
                && (locale.startsWith(u"en") || language == u"english" || language == u"inglese"))
                file.englishLanguage = int(i);
            else if (file.italianLanguage < 0
                && (locale.startsWith(u"it") || language == u"italian" || language == u"italiano"))
                file.italianLanguage = int(i);
            if (file.languages[i].isEmpty())
                file.languages[i] = locales.at(i);
            else if (!locales.at(i).isEmpty())
                file.languages[i] += QStringLiteral(" (") + locales.at(i) + u')';
            if (file.languages.at(i).isEmpty())
                file.languages[i] = QStringLiteral("Lingua ") + QString::number(i + 1);
        }
        for (int i = 0; i < file.languages.size(); ++i) {
            if (file.englishLanguage < 0 && i != file.italianLanguage)
                file.englishLanguage = i;
            else if (file.italianLanguage < 0 && i != file.englishLanguage)
                file.italianLanguage = i;
        }
        if (file.languages.size() < 2) {
            file.error = file.languages.isEmpty()
                ? QStringLiteral("Il file non dichiara nessuna lingua: non ci sono parole da importare.")
                : QStringLiteral("Il file contiene le parole di una sola lingua (")
                    + file.languages.constFirst()
                    + QStringLiteral("): per importare ci vogliono l'inglese e l'italiano.");
        }
    }

    // The elements that a KVTML 2.0 file holds; any other is Other.
    enum class Element : quint8 {
        Other,
        Kvtml,
        Identifiers,
        Identifier,
        Entries,
        Entry,
        Translation,
        Grade,
        Lessons,
        Container,
        Name,
        Locale,
        Text,
        ErrorCount
    };

    Element element(QStringView name)
    {
        static const std::pair<QStringView, Element> names[] = { { u"kvtml", Element::Kvtml },
            { u"identifiers", Element::Identifiers }, { u"identifier", Element::Identifier },
            { u"entries", Element::Entries }, { u"entry", Element::Entry },
            { u"translation", Element::Translation }, { u"grade", Element::Grade },
            { u"lessons", Element::Lessons }, { u"container", Element::Container },
            { u"name", Element::Name }, { u"locale", Element::Locale }, { u"text", Element::Text },
            { u"errorcount", Element::ErrorCount } };
        for (const auto &[text, kind] : names) {
            if (name == text)
                return kind;
        }
        return Element::Other;
    }

    // An entry id as a key: most files number their entries, and a number is
    // its own key; any other id goes by its hash, kept apart by the top bit.
    quint64 entryKey(QStringView id)
    {
        if (!id.isEmpty() && id.size() <= 18 && (id.size() == 1 || id.front() != u'0')
            && std::all_of(id.begin(), id.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
            return id.toULongLong();
        return quint64(qHash(id, 0x6b76746dU)) | (quint64(1) << 63);
    }

    // The elements of a KVTML 2.0 file, read in one pass as its pieces come.
    // The lessons, at the end of the file, name their entries by id.
    struct KvtmlParse
    {
        QXmlStreamReader xml;
        Kvtml file;
        bool started = false; // the root element was met
        bool ended = false; // and closed
        QStringList identifiers; // identifier id of each language
        QStringList locales;
        // Entry key -> index in entries. Most files number their entries from
        // 0 in order: those first entries whose key is their index are found
        // without a table.
        QHash<quint64, qsizetype> entryIds;
        qsizetype numbered = 0;
        // Identifier ids in the order first met, in a declaration or a
        // translation: the slots of the entries' texts.
        QStringList languageIds;
        int slot = -1; // of the translation being read
        QStringList lessonNames; // of the top-level containers
        QHash<quint64, int> entryLesson; // entry key -> top-level container, for entries not met yet
        std::vector<Element> path { Element::Kvtml };
        // The element whose text is being taken, and how deep the reader is
        // in the elements inside it, which are skipped.
        Element taking = Element::Other;
        int skipped = 0;
        QString value; // the text taken, when not an entry's

        // Reads the tokens of a piece of the file, after those before it.
        template<typename Data> void feed(const Data &piece)
        {
            if (ended || !file.error.isEmpty() || broken())
                return;
            xml.addData(piece);
            while (file.error.isEmpty()) {
                const QXmlStreamReader::TokenType token = xml.readNext();
                if (token == QXmlStreamReader::Invalid)
                    return;
                if (token == QXmlStreamReader::EndDocument) {
                    ended = true;
                    return;
                }
                if (!started) {
                    if (token == QXmlStreamReader::StartElement)
                        start();
                } else if (taking != Element::Other) {
                    take(token);
                } else if (token == QXmlStreamReader::EndElement && !path.empty()) {
                    if (path.back() == Element::Translation)
                        slot = -1; // a text outside an entry's translation has no language
                    path.pop_back();
                } else if (token == QXmlStreamReader::StartElement) {
                    open();
                }
            }
        }

        // An error that more data does not mend.
        bool broken() const
        {
            return xml.hasError() && xml.error() != QXmlStreamReader::PrematureEndOfDocumentError;
        }

        void start()
        {
            started = true;
            if (xml.name() != u"kvtml")
                file.error = QStringLiteral("Il file non \u00e8 un file di vocaboli KVTML.");
            else if (!xml.attributes().value(QLatin1String("version")).startsWith(u"2"))
                file.error = QStringLiteral(
                    "Il file \u00e8 nel vecchio formato KVTML: si leggono solo i file KVTML 2.0.");
        }

        // The end of the data: the file as the entries and lessons make it.
        void finish()
        {
            if (file.error.isEmpty() && !started)
                file.error = QStringLiteral("Il file non \u00e8 un file di vocaboli KVTML.");
            if (!file.error.isEmpty())
                return;
            if (xml.hasError()) {
                file.error = QStringLiteral("Il file KVTML \u00e8 rovinato alla riga ")
                    + QString::number(xml.lineNumber()) + QStringLiteral(": non si importa nulla.");
                file.entries.clear();
                file.texts.clear();
                file.pool.clear();
                return;
            }
            arrangeEntries();
            nameLanguages(file, locales);
        }

        // The text of an element that holds one, its child elements skipped.
        void take(QXmlStreamReader::TokenType token)
        {
            if (token == QXmlStreamReader::StartElement) {
                ++skipped;
            } else if (token == QXmlStreamReader::EndElement && skipped > 0) {
                --skipped;
            } else if (token == QXmlStreamReader::EndElement) {
                taken();
            } else if (skipped == 0
                && (token == QXmlStreamReader::Characters || token == QXmlStreamReader::EntityReference)) {
                (taking == Element::Text ? file.pool : value) += xml.text();
            }
        }

        void taken()
        {
            const Element element = std::exchange(taking, Element::Other);
            if (element == Element::Text) {
                Kvtml::Text &text = file.texts.last();
                text.size = int(file.pool.size() - text.start);
            } else if (element == Element::ErrorCount) {
                if (value.trimmed().toInt() > 0)
                    file.entries.last().critical = true;
            } else if (element == Element::Container) {
                lessonNames.last() = value.trimmed();
            } else if (!file.languages.isEmpty()) {
                (element == Element::Name ? file.languages.last() : locales.last()) = value.trimmed();
            }
            value.clear();
        }

        bool inLessons() const { return path.size() >= 2 && path.at(1) == Element::Lessons; }

        // An element: one that holds a text, or one that holds others.
        void open()
        {
            const Element name = element(xml.name());
            const Element parent = path.empty() ? Element::Other : path.back();
            if (parent == Element::Identifier && (name == Element::Name || name == Element::Locale)) {
                taking = name;
            } else if (parent == Element::Translation && name == Element::Text && !file.entries.isEmpty()
                && slot >= 0) {
                taking = name;
                file.texts.append({ file.pool.size(), 0, slot });
            } else if (parent == Element::Grade && name == Element::ErrorCount && !file.entries.isEmpty()) {
                taking = name;
            } else if (inLessons() && path.size() == 3 && parent == Element::Container
                && name == Element::Name) {
                taking = Element::Container;
            } else {
                openParent(name, parent);
                path.push_back(name);
            }
        }

        void openParent(Element name, Element parent)
        {
            // Only these elements have an id that counts; the texts are most of a file.
            const auto id = [this] { return xml.attributes().value(QLatin1String("id")); };
            if (parent == Element::Identifiers && name == Element::Identifier) {
                const QString language = id().toString();
                identifiers.append(language);
                file.languages.append(QString());
                locales.append(QString());
                if (!languageIds.contains(language))
                    languageIds.append(language);
            } else if (parent == Element::Entries && name == Element::Entry) {
                const quint64 key = entryKey(id());
                if (key == quint64(file.entries.size()) && numbered == file.entries.size())
                    ++numbered;
                else
                    entryIds.insert(key, file.entries.size());
                file.entries.append({ file.texts.size(), entryLesson.value(key, 0), false });
            } else if (parent == Element::Entry && name == Element::Translation) {
                const QStringView language = id();
                slot = int(languageIds.indexOf(language));
                if (slot < 0) {
                    slot = int(languageIds.size());
                    languageIds.append(language.toString());
                }
            } else if (inLessons() && parent == Element::Lessons && name == Element::Container) {
                lessonNames.append(QString());
            } else if (inLessons() && parent == Element::Container && name == Element::Entry
                && !lessonNames.isEmpty()) {
                // Entries come before the lessons: their rows take the container at once.
                const quint64 key = entryKey(id());
                if (const auto entry = entryIds.constFind(key); entry != entryIds.cend())
                    file.entries[*entry].lesson = int(lessonNames.size());
                else if (key < quint64(numbered))
                    file.entries[qsizetype(key)].lesson = int(lessonNames.size());
                else
                    entryLesson.insert(key, int(lessonNames.size()));
            }
        }

        // The slots of the languages in the order they are declared, and each entry's lesson number.
        void arrangeEntries()
        {
            const QList<int> numbers = lessonNumbers(lessonNames);
            for (const QString &language : std::as_const(identifiers))
                file.languageSlots.append(int(languageIds.indexOf(language)));
            for (Kvtml::Entry &entry : file.entries)
                entry.lesson = entry.lesson > 0 ? numbers.at(entry.lesson - 1) : -1;
        }
    };

} // namespace

QStringView Kvtml::text(qsizetype entry, int language) const
{
    const int slot = languageSlots.value(language, -1);
    const qsizetype end = entry + 1 < entries.size() ? entries.at(entry + 1).firstText : texts.size();
    // The last text of a language counts.
    for (qsizetype t = end; slot >= 0 && t-- > entries.at(entry).firstText;) {
        if (texts.at(t).slot == slot)
            return QStringView(pool).sliced(texts.at(t).start, texts.at(t).size);
    }
    return {};
}

Kvtml readKvtml(const QByteArray &bytes)
{
    KvtmlParse parse;
    parse.feed(bytes);
    parse.finish();
    // Some files say UTF-8 but hold Windows-1252 (or Latin-1) letters.
    if (!parse.xml.hasError() || isUtf8(bytes))
        return std::move(parse.file);
    return readKvtmlText(Vocabulary::decode(bytes));
}

Kvtml readKvtmlText(const QString &text)
{
    KvtmlParse parse;
    parse.feed(text);
    parse.finish();
    return std::move(parse.file);
}

Kvtml readKvtmlFile(const QString &path, UserFile::Pieces &read)
{
    KvtmlParse parse;
    read = UserFile::readPieces(
        path, UserFile::MaxTextBytes, [&parse](const QByteArray &piece) { parse.feed(piece); });
    if (!read)
        return Kvtml();
    parse.finish();
    if (!parse.xml.hasError())
        return std::move(parse.file);
    // Some files say UTF-8 but hold Windows-1252 (or Latin-1) letters: read
    // once more, each piece as UTF-8 and as Windows-1252.
    KvtmlParse again;
    QStringDecoder utf8(QStringDecoder::Utf8);
    read = UserFile::readPieces(path, UserFile::MaxTextBytes, [&](const QByteArray &piece) {
        const QString checked = utf8.decode(piece); // only a conversion finds the errors
        again.feed(Vocabulary::decode(piece));
    });
    if (!read)
        return Kvtml();
    if (!utf8.hasError())
        return std::move(parse.file);
    again.finish();
    return std::move(again.file);
}

void forEachWord(const Kvtml &file, int english, int italian, const std::function<bool(const Word &)> &visit)
{
    Word word;
    for (qsizetype i = 0; i < file.entries.size(); ++i) {
        const QStringView englishText = file.text(i, english);
        const QStringView italianText = file.text(i, italian);
        if (englishText.trimmed().isEmpty() && italianText.trimmed().isEmpty())
            continue;
        word.english = englishText.toString();
        word.italian = italianText.toString();
        word.lesson = file.entries.at(i).lesson;
        word.critical = file.entries.at(i).critical;
        word.source = int(i + 1);
        if (!visit(word))
            return;
    }
}

QList<Word> kvtmlWords(const Kvtml &file, int english, int italian, int limit)
{
    return firstWords(limit, [&](auto visit) { forEachWord(file, english, italian, visit); });
}

LineMaker::LineMaker(int defaultLesson, int existingRows)
    : m_defaultLesson(defaultLesson)
    , m_existingRows(existingRows)
{
}

void LineMaker::add(const Word &word)
{
    const QString english = oneLine(word.english);
    const QString italian = oneLine(word.italian);
    QString problem;
    if (english.isEmpty() || italian.isEmpty()) {
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
    } else if (m_existingRows + m_lines.added >= WordTable::MaxRows) {
        ++m_lines.over;
        return;
    }
    if (!problem.isEmpty()) {
        if (m_lines.problems.size() < Lines::ShownProblems)
            m_lines.problems.append(
                QStringLiteral("Riga ") + QString::number(word.source) + QStringLiteral(": ") + problem);
        ++m_lines.refused;
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
    QStringList problems = lines.problems;
    if (lines.over > 0)
        problems.append(
            wordCount(lines.over) + QStringLiteral(" oltre le 32767 righe che l'elenco pu\u00f2 tenere"));
    if (!problems.isEmpty())
        text += listed(QStringLiteral("Non sono entrate:"), problems, lines.refused + (lines.over > 0));
    return text;
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

QString suffix(Format format)
{
    switch (format) {
    case Format::Csv:
        return QStringLiteral("csv");
    case Format::Tsv:
        return QStringLiteral("tsv");
    case Format::Kvtml:
        break;
    }
    return QStringLiteral("kvtml");
}

namespace {
    QByteArray csvBytes(const QList<Word> &words)
    {
        QByteArray bytes = "\xEF\xBB\xBFlezione,critica,inglese,italiano\r\n";
        for (const Word &word : words) {
            bytes += (word.lesson >= 0 ? QByteArray::number(word.lesson) : QByteArray()) + ','
                + (word.critical ? "c" : "") + ',' + csvField(word.english) + ',' + csvField(word.italian)
                + "\r\n";
        }
        return bytes;
    }

    QByteArray tsvBytes(const QList<Word> &words)
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

    void writeKvtmlLanguages(QXmlStreamWriter &xml)
    {
        xml.writeStartElement(QStringLiteral("identifiers"));
        const std::array<std::pair<QString, QString>, 2> languages {
            { { QStringLiteral("Inglese"), QStringLiteral("en") },
                { QStringLiteral("Italiano"), QStringLiteral("it") } }
        };
        for (std::size_t i = 0; i < languages.size(); ++i) {
            xml.writeStartElement(QStringLiteral("identifier"));
            xml.writeAttribute(QStringLiteral("id"), QString::number(i));
            xml.writeTextElement(QStringLiteral("name"), languages[i].first);
            xml.writeTextElement(QStringLiteral("locale"), languages[i].second);
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }

    void writeKvtmlEntries(QXmlStreamWriter &xml, const QList<Word> &words)
    {
        xml.writeStartElement(QStringLiteral("entries"));
        for (qsizetype i = 0; i < words.size(); ++i) {
            xml.writeStartElement(QStringLiteral("entry"));
            xml.writeAttribute(QStringLiteral("id"), QString::number(i));
            for (int t = 0; t < 2; ++t) {
                xml.writeStartElement(QStringLiteral("translation"));
                xml.writeAttribute(QStringLiteral("id"), QString::number(t));
                xml.writeTextElement(
                    QStringLiteral("text"), t == 0 ? words.at(i).english : words.at(i).italian);
                if (t == 0 && words.at(i).critical) { // a word the learner got wrong
                    xml.writeStartElement(QStringLiteral("grade"));
                    xml.writeTextElement(QStringLiteral("count"), QStringLiteral("1"));
                    xml.writeTextElement(QStringLiteral("errorcount"), QStringLiteral("1"));
                    xml.writeEndElement();
                }
                xml.writeEndElement();
            }
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }

    // One container per lesson that has words, naming its entries.
    void writeKvtmlLessons(QXmlStreamWriter &xml, const QList<Word> &words)
    {
        xml.writeStartElement(QStringLiteral("lessons"));
        for (int lesson = 0; lesson <= MaxLesson; ++lesson) {
            bool open = false;
            for (qsizetype i = 0; i < words.size(); ++i) {
                if (words.at(i).lesson != lesson)
                    continue;
                if (!open) {
                    xml.writeStartElement(QStringLiteral("container"));
                    xml.writeTextElement(QStringLiteral("name"), lessonName(lesson));
                    xml.writeTextElement(QStringLiteral("inpractice"), QStringLiteral("true"));
                    open = true;
                }
                xml.writeEmptyElement(QStringLiteral("entry"));
                xml.writeAttribute(QStringLiteral("id"), QString::number(i));
            }
            if (open)
                xml.writeEndElement();
        }
        xml.writeEndElement();
    }

    QByteArray kvtmlBytes(const QList<Word> &words)
    {
        QByteArray bytes;
        QXmlStreamWriter xml(&bytes);
        xml.setAutoFormatting(true);
        xml.writeStartDocument();
        xml.writeDTD(
            QStringLiteral("<!DOCTYPE kvtml PUBLIC \"kvtml2.dtd\" \"http://edu.kde.org/kvtml/kvtml2.dtd\">"));
        xml.writeStartElement(QStringLiteral("kvtml"));
        xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.0"));
        xml.writeStartElement(QStringLiteral("information"));
        xml.writeTextElement(QStringLiteral("generator"), QStringLiteral("inglese"));
        xml.writeTextElement(QStringLiteral("title"), QStringLiteral("Vocaboli inglesi e italiani"));
        xml.writeEndElement();
        writeKvtmlLanguages(xml);
        writeKvtmlEntries(xml, words);
        writeKvtmlLessons(xml, words);
        xml.writeEndElement();
        xml.writeEndDocument();
        return bytes;
    }
} // namespace

QByteArray write(Format format, const QList<Word> &words)
{
    switch (format) {
    case Format::Csv:
        return csvBytes(words);
    case Format::Tsv:
        return tsvBytes(words);
    case Format::Kvtml:
        break;
    }
    return kvtmlBytes(words);
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    const UserFile::Written written = UserFile::write(path, bytes);
    if (written)
        return true;
    if (error)
        *error = QStringLiteral("Non \u00e8 stato possibile scrivere il file ") + path + QStringLiteral(" (")
            + UserFile::reasonText(written)
            + QStringLiteral("): il file di prima, se c'era, \u00e8 rimasto com'era.");
    return false;
}

} // namespace Exchange
