#include "wordexchange.h"

#include "vocabularyfile.h"
#include "wordtable.h"

#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <csv.h>

namespace Exchange {

namespace {

    // ---- Spreadsheet tables, parsed by libcsv ----

    struct CsvRows
    {
        QList<QList<QByteArray>> rows;
        QList<QByteArray> row;
        qsizetype limit = -1; // stop collecting after this many rows (-1: all)
    };

    void onField(void *text, size_t length, void *data)
    {
        auto *sink = static_cast<CsvRows *>(data);
        sink->row.append(QByteArray(static_cast<const char *>(text), qsizetype(length)));
    }

    void onRowEnd(int, void *data)
    {
        auto *sink = static_cast<CsvRows *>(data);
        if (sink->limit < 0 || sink->rows.size() < sink->limit)
            sink->rows.append(std::move(sink->row));
        sink->row.clear();
    }

    // Only the blank is trimmed around unquoted fields: a tab may be the separator.
    int isBlank(unsigned char c)
    {
        return c == ' ';
    }

    // RFC 4180 fields with any line ends (CR, LF or CR LF), quotes doubled
    // inside quoted fields; libcsv is lenient with stray quotes.
    QList<QList<QByteArray>> parseCsv(const QByteArray &bytes, char separator, qsizetype limit = -1)
    {
        CsvRows sink;
        sink.limit = limit;
        csv_parser parser;
        if (csv_init(&parser, 0) != 0)
            return {};
        csv_set_delim(&parser, static_cast<unsigned char>(separator));
        csv_set_space_func(&parser, isBlank);
        csv_parse(&parser, bytes.constData(), size_t(bytes.size()), onField, onRowEnd, &sink);
        csv_fini(&parser, onField, onRowEnd, &sink);
        csv_free(&parser);
        return sink.rows;
    }

    // The separator that splits the first rows into the same number of columns
    // (two or more) most often; on a tie tab, then semicolon, then comma.
    char findSeparator(const QByteArray &bytes)
    {
        const QByteArray sample = bytes.left(16384);
        char best = ',';
        int bestScore = 0;
        for (const char separator : { '\t', ';', ',' }) {
            const QList<QList<QByteArray>> rows = parseCsv(sample, separator, 40);
            int score = 0;
            for (const QList<QByteArray> &row : rows)
                score += row.size() >= 2 && row.size() == rows.constFirst().size();
            if (score > bestScore) {
                best = separator;
                bestScore = score;
            }
        }
        return best;
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

    LessonCell lessonCell(const QString &text)
    {
        LessonCell cell;
        const QString trimmed = text.trimmed();
        bool number = false;
        const int n = trimmed.toInt(&number);
        if (number) {
            cell.lesson = n >= 0 && n <= 20 ? n : -1;
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
                const int lesson = rest.toInt(&number);
                if (number && lesson >= 0 && lesson <= 20)
                    cell.lesson = lesson;
                cell.tagged = number;
                cell.known = cell.known && number;
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
            if (text.at(i).isHighSurrogate())
                return text.mid(i, i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1);
            if (Vocabulary::canEncode(text.at(i)))
                continue;
            return text.mid(i, 1);
        }
        return QString();
    }

    bool isUtf8(const QByteArray &bytes)
    {
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder.decode(bytes);
        return !decoder.hasError();
    }

    QString quoted(const QString &text)
    {
        return QStringLiteral("\u00ab") + text + QStringLiteral("\u00bb");
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

int Table::columnCount() const
{
    qsizetype columns = 0;
    for (const QStringList &row : rows)
        columns = std::max(columns, row.size());
    return int(columns);
}

Table readTable(const QByteArray &input)
{
    QByteArray bytes = input;
    bool utf8 = true;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(
            bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        bytes = QString(decoder.decode(QByteArrayView(bytes).sliced(2))).toUtf8();
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes.remove(0, 3);
    } else {
        utf8 = isUtf8(bytes);
    }

    Table table;
    table.separator = findSeparator(bytes);
    for (const QList<QByteArray> &cells : parseCsv(bytes, table.separator)) {
        QStringList row;
        row.reserve(cells.size());
        for (const QByteArray &cell : cells)
            row.append(utf8 ? QString::fromUtf8(cell) : Vocabulary::decode(cell));
        table.rows.append(row);
    }
    if (table.rows.isEmpty())
        return table;

    // The first row names the columns when two of its cells are column names
    // and none is a lesson: "english<tab>inglese<tab>lezione3" is a word.
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
    const int columns = table.columnCount();
    if (!table.header) {
        // The last column of lesson tags holds the lessons (tags come after
        // the words), else the first column of lesson numbers (a column of
        // numbers may be words as well).
        for (const bool tags : { true, false }) {
            for (int k = 0; k < columns && table.lessonColumn < 0; ++k) {
                const int c = tags ? columns - 1 - k : k;
                bool filled = false;
                bool all = true;
                for (qsizetype r = 0; r < std::min<qsizetype>(table.rows.size(), 50) && all; ++r) {
                    const LessonCell cell = lessonCell(cellOf(table.rows.at(r), c));
                    all = cell.known;
                    filled = filled || (tags ? cell.tagged : cell.lesson >= 0);
                }
                if (all && filled)
                    table.lessonColumn = c;
            }
        }
    }
    // The other columns in order: English first, then Italian.
    for (int c = 0; c < columns; ++c) {
        if (c == table.lessonColumn || c == table.criticalColumn || c == table.englishColumn
            || c == table.italianColumn)
            continue;
        if (table.englishColumn < 0)
            table.englishColumn = c;
        else if (table.italianColumn < 0)
            table.italianColumn = c;
    }
    return table;
}

QList<Word> tableWords(const Table &table, int english, int italian, int lesson, int critical)
{
    QList<Word> words;
    for (qsizetype r = table.header ? 1 : 0; r < table.rows.size(); ++r) {
        const QStringList &row = table.rows.at(r);
        if (std::all_of(row.begin(), row.end(), [](const QString &cell) { return cell.trimmed().isEmpty(); }))
            continue;
        Word word;
        word.english = cellOf(row, english);
        word.italian = cellOf(row, italian);
        const LessonCell cell = lessonCell(cellOf(row, lesson));
        word.lesson = cell.lesson;
        word.critical = cell.critical || criticalCell(cellOf(row, critical));
        word.source = int(r + 1);
        words.append(word);
    }
    return words;
}

namespace {
    Kvtml readKvtml(QXmlStreamReader &xml)
    {
        Kvtml file;
        if (!xml.readNextStartElement() || xml.name() != u"kvtml") {
            file.error = QStringLiteral("Il file non \u00e8 un file di vocaboli KVTML.");
            return file;
        }
        if (!xml.attributes().value(QLatin1String("version")).startsWith(u"2")) {
            file.error = QStringLiteral(
                "Il file \u00e8 nel vecchio formato KVTML: si leggono solo i file KVTML 2.0.");
            return file;
        }

        QStringList identifiers; // identifier id of each language
        QStringList locales;
        QHash<QString, qsizetype> entryIds; // entry id -> index in entries
        QList<QHash<QString, QString>> texts; // per entry: identifier id -> text
        QStringList lessonNames; // of the top-level containers
        QHash<QString, int> entryLesson; // entry id -> top-level container
        QString identifier, translation;
        QStringList path { QStringLiteral("kvtml") };
        while (!xml.atEnd()) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (token == QXmlStreamReader::EndElement) {
                path.removeLast();
                continue;
            }
            if (token != QXmlStreamReader::StartElement)
                continue;
            const QString name = xml.name().toString();
            const QString parent = path.constLast();
            const QString id = xml.attributes().value(QLatin1String("id")).toString();
            const bool inLessons = path.size() >= 2 && path.at(1) == u"lessons";
            if (parent == u"identifier" && (name == u"name" || name == u"locale")) {
                const QString text = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                if (!file.languages.isEmpty())
                    (name == u"name" ? file.languages.last() : locales.last()) = text;
                continue;
            }
            if (parent == u"translation" && name == u"text" && !texts.isEmpty()) {
                texts.last()[translation] = xml.readElementText(QXmlStreamReader::SkipChildElements);
                continue;
            }
            if (parent == u"grade" && name == u"errorcount" && !file.entries.isEmpty()) {
                if (xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed().toInt() > 0)
                    file.entries.last().critical = true;
                continue;
            }
            if (inLessons && path.size() == 3 && parent == u"container" && name == u"name") {
                lessonNames.last() = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                continue;
            }
            path.append(name);
            if (parent == u"identifiers" && name == u"identifier") {
                identifiers.append(id);
                file.languages.append(QString());
                locales.append(QString());
            } else if (parent == u"entries" && name == u"entry") {
                entryIds.insert(id, file.entries.size());
                file.entries.append(Kvtml::Entry());
                texts.append(QHash<QString, QString>());
            } else if (parent == u"entry" && name == u"translation") {
                translation = id;
            } else if (inLessons && parent == u"lessons" && name == u"container") {
                lessonNames.append(QString());
            } else if (inLessons && parent == u"container" && name == u"entry" && !lessonNames.isEmpty()) {
                entryLesson.insert(id, int(lessonNames.size()));
            }
        }
        if (xml.hasError()) {
            file.error = QStringLiteral("Il file KVTML \u00e8 rovinato alla riga ")
                + QString::number(xml.lineNumber()) + QStringLiteral(": non si importa nulla.");
            file.entries.clear();
            return file;
        }

        // Lesson numbers from the names of the containers ("Lezione 7"), else
        // from their place, where they fit 0..20.
        static const QRegularExpression digits(QStringLiteral("\\d+"));
        QList<int> lessonNumbers;
        for (qsizetype i = 0; i < lessonNames.size(); ++i) {
            const QRegularExpressionMatch match = digits.match(lessonNames.at(i));
            const int n = match.hasMatch() ? match.captured().toInt() : int(i + 1);
            lessonNumbers.append(n >= 0 && n <= 20 ? n : -1);
        }
        for (auto it = entryIds.cbegin(); it != entryIds.cend(); ++it) {
            Kvtml::Entry &entry = file.entries[it.value()];
            for (const QString &language : std::as_const(identifiers))
                entry.texts.append(texts.at(it.value()).value(language));
            const int container = entryLesson.value(it.key(), 0);
            entry.lesson = container > 0 ? lessonNumbers.at(container - 1) : -1;
        }

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
        return file;
    }
} // namespace

Kvtml readKvtml(const QByteArray &bytes)
{
    QXmlStreamReader xml(bytes);
    Kvtml file = readKvtml(xml);
    // Some files say UTF-8 but hold Windows-1252 (or Latin-1) letters.
    if (xml.hasError()) {
        if (!isUtf8(bytes)) {
            QXmlStreamReader again(Vocabulary::decode(bytes));
            file = readKvtml(again);
        }
    }
    return file;
}

QList<Word> kvtmlWords(const Kvtml &file, int english, int italian)
{
    QList<Word> words;
    for (qsizetype i = 0; i < file.entries.size(); ++i) {
        const Kvtml::Entry &entry = file.entries.at(i);
        Word word;
        word.english = entry.texts.value(english);
        word.italian = entry.texts.value(italian);
        if (word.english.trimmed().isEmpty() && word.italian.trimmed().isEmpty())
            continue;
        word.lesson = entry.lesson;
        word.critical = entry.critical;
        word.source = int(i + 1);
        words.append(word);
    }
    return words;
}

Lines wordLines(const QList<Word> &words, int defaultLesson, int existingRows)
{
    Lines lines;
    int over = 0;
    for (const Word &word : words) {
        const QString english = oneLine(word.english);
        const QString italian = oneLine(word.italian);
        const QString row = QStringLiteral("Riga ") + QString::number(word.source) + QStringLiteral(": ");
        QString problem;
        if (english.isEmpty() || italian.isEmpty()) {
            problem = english.isEmpty() ? QStringLiteral("manca l'inglese di ") + quoted(italian)
                                        : QStringLiteral("manca l'italiano di ") + quoted(english);
        } else if (english.size() > Vocabulary::FieldWidth || italian.size() > Vocabulary::FieldWidth) {
            problem = quoted(english.size() > Vocabulary::FieldWidth ? english : italian)
                + QStringLiteral(" \u00e8 pi\u00f9 lunga di 50 caratteri");
        } else if (const QString bad = badCharacter(english + italian); !bad.isEmpty()) {
            problem = quoted(badCharacter(english).isEmpty() ? italian : english)
                + QStringLiteral(" ha il carattere ") + quoted(bad)
                + QStringLiteral(" che il file dei vocaboli non pu\u00f2 scrivere");
        } else if (existingRows + lines.added >= WordTable::MaxRows) {
            ++over;
            continue;
        }
        if (!problem.isEmpty()) {
            lines.problems.append(row + problem);
            continue;
        }
        const int lesson = word.lesson >= 0 && word.lesson <= 20 ? word.lesson : defaultLesson;
        lines.text += QString::number(lesson).rightJustified(2) + QLatin1Char(' ')
            + QLatin1Char(word.critical ? 'c' : ' ') + QLatin1Char(' ')
            + english.leftJustified(Vocabulary::FieldWidth) + italian + Vocabulary::CrLf;
        ++lines.added;
    }
    if (over > 0)
        lines.problems.append(QString::number(over)
            + QStringLiteral(" parole oltre le 32767 righe che l'elenco pu\u00f2 tenere"));
    return lines;
}

QString importMessage(const Lines &lines)
{
    QString text = lines.added == 1 ? QStringLiteral("\u00c8 stata aggiunta 1 parola in fondo all'elenco.")
                                    : QStringLiteral("Sono state aggiunte ") + QString::number(lines.added)
            + QStringLiteral(" parole in fondo all'elenco.");
    if (lines.added > 0)
        text += QStringLiteral(" Per tenerle, salvale con \"Salva Aggiornamenti\".");
    if (!lines.problems.isEmpty()) {
        constexpr qsizetype shown = 20;
        text += QString(Vocabulary::CrLf) + Vocabulary::CrLf + QStringLiteral("Non sono entrate:");
        for (qsizetype i = 0; i < std::min(shown, lines.problems.size()); ++i)
            text += QString(Vocabulary::CrLf) + QStringLiteral("  ") + lines.problems.at(i);
        if (lines.problems.size() > shown)
            text += QString(Vocabulary::CrLf) + QStringLiteral("  ... e altre ")
                + QString::number(lines.problems.size() - shown);
    }
    return text;
}

QList<Word> tableToExport(
    const WordTable &words, const CriticalList &memoc, const std::array<bool, 21> &lessons)
{
    const bool all = std::all_of(lessons.begin(), lessons.end(), [](bool chosen) { return chosen; });
    QList<Word> exported;
    for (int r = 0; r < words.count(); ++r) {
        const int lesson = words.lessonOf(r);
        if (lesson < 0 ? !all : !lessons[std::size_t(lesson)])
            continue;
        exported.append({ words.english(r).trimmed().toString(), words.italian(r).trimmed().toString(),
            lesson, memoc.contains(r), r + 1 });
    }
    return exported;
}

QByteArray write(Format format, const QList<Word> &words)
{
    QByteArray bytes;
    if (format == Format::Csv) {
        bytes = "\xEF\xBB\xBFlezione,critica,inglese,italiano\r\n";
        for (const Word &word : words) {
            bytes += (word.lesson >= 0 ? QByteArray::number(word.lesson) : QByteArray()) + ','
                + (word.critical ? "c" : "") + ',' + csvField(word.english) + ',' + csvField(word.italian)
                + "\r\n";
        }
    } else if (format == Format::Tsv) {
        // A field that starts with a quote is quoted, or it would read as a quoted field.
        const auto field = [](const QString &text) {
            const QString line = oneLine(text);
            return line.startsWith(u'"') ? csvField(line) : line.toUtf8();
        };
        for (const Word &word : words) {
            QByteArray tags = word.lesson >= 0 ? "lezione" + QByteArray::number(word.lesson) : QByteArray();
            if (word.critical)
                tags += tags.isEmpty() ? "critica" : " critica";
            bytes += field(word.english) + '\t' + field(word.italian) + '\t' + tags + '\n';
        }
    } else {
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
        xml.writeStartElement(QStringLiteral("lessons"));
        for (int lesson = 0; lesson <= 20; ++lesson) {
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
        xml.writeEndElement();
        xml.writeEndDocument();
    }
    return bytes;
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
        && file.commit();
    if (!written) {
        if (error)
            *error = QStringLiteral("Non \u00e8 stato possibile scrivere il file ") + path
                + QStringLiteral(" (") + file.errorString()
                + QStringLiteral("): il file di prima, se c'era, \u00e8 rimasto com'era.");
        file.cancelWriting();
    }
    return written;
}

} // namespace Exchange
