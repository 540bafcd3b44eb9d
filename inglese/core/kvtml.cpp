#include "kvtml.h"

#include "lessons.h"
#include "userfile.h"
#include "vocabularyfile.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace Exchange {

namespace {
    bool isUtf8(const QByteArray &bytes)
    {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder.decode(bytes);
        return !decoder.hasError();
    }

    QString lessonName(int lesson)
    {
        return QStringLiteral("Lezione ") + QString::number(lesson);
    }

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
            const QString code = locales.at(i).toLower();
            if (file.englishLanguage < 0
                && (code.startsWith(u"en") || language == u"english" || language == u"inglese"))
                file.englishLanguage = int(i);
            else if (file.italianLanguage < 0
                && (code.startsWith(u"it") || language == u"italian" || language == u"italiano"))
                file.italianLanguage = int(i);
            const QString locale = shortName(locales.at(i));
            file.languages[i] = shortName(file.languages.at(i));
            if (file.languages[i].isEmpty())
                file.languages[i] = locale;
            else if (!locale.isEmpty())
                file.languages[i] += QStringLiteral(" (") + locale + u')';
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
        bool declaring = false; // an identifier whose language is offered
        // Entry key -> index in entries. Most files number their entries from
        // 0 in order: those first entries whose key is their index are found
        // without a table.
        QHash<quint64, qsizetype> entryIds;
        qsizetype numbered = 0;
        // Identifier id -> the slot of the entries' texts in that language,
        // for the languages offered, in the order they are declared.
        QHash<QString, int> slotOf;
        int slot = -1; // of the translation being read
        QStringList lessonNames; // of the top-level containers
        QHash<quint64, int> entryLesson; // entry key -> top-level container, for entries not met yet
        std::vector<Element> path { Element::Kvtml };
        // The element whose text is being taken, and how deep the reader is
        // in the elements inside it, which are skipped.
        Element taking = Element::Other;
        int skipped = 0;
        QString value; // the text taken, when not an entry's: its first NameLimit characters
        static constexpr qsizetype NameLimit = 256;

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
                if (taking == Element::Text)
                    file.pool += xml.text();
                else
                    value += xml.text().left(std::max<qsizetype>(0, NameLimit - value.size()));
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
            if (parent == Element::Identifier && declaring
                && (name == Element::Name || name == Element::Locale)) {
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
                // The languages past the first few are not offered, as a
                // table's columns past the first few are not.
                declaring = file.languages.size() < Kvtml::MaxLanguages;
                if (!declaring)
                    return;
                const QString language = id().toString();
                identifiers.append(language);
                file.languages.append(QString());
                locales.append(QString());
                if (!slotOf.contains(language))
                    slotOf.insert(language, int(slotOf.size()));
            } else if (parent == Element::Entries && name == Element::Entry) {
                const quint64 key = entryKey(id());
                if (key == quint64(file.entries.size()) && numbered == file.entries.size())
                    ++numbered;
                else
                    entryIds.insert(key, file.entries.size());
                file.entries.append({ file.texts.size(), entryLesson.value(key, 0), false });
            } else if (parent == Element::Entry && name == Element::Translation) {
                const QStringView language = id();
                slot = slotOf.value(QString::fromRawData(language.data(), language.size()), -1);
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
                file.languageSlots.append(slotOf.value(language));
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
    read = UserFile::readPieces(path, UserFile::MaxTextBytes, [&parse](const QByteArray &piece) {
        parse.feed(piece);
        return true;
    });
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
        return true;
    });
    if (!read)
        return Kvtml();
    if (!utf8.hasError())
        return std::move(parse.file);
    again.finish();
    return std::move(again.file);
}

void forEachWord(const Kvtml &file, int english, int italian, const WordVisit &visit)
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

namespace {
    // A text element: a CR goes as its character reference, which a reader
    // takes back as it is, where it would read a bare CR as a line feed.
    void writeText(QXmlStreamWriter &xml, const QString &text)
    {
        xml.writeStartElement(QStringLiteral("text"));
        for (qsizetype from = 0, cr = 0; cr >= 0; from = cr + 1) {
            cr = text.indexOf(u'\r', from);
            xml.writeCharacters(text.mid(from, cr < 0 ? -1 : cr - from));
            if (cr >= 0)
                xml.writeEntityReference(QStringLiteral("#13"));
        }
        xml.writeEndElement();
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
                writeText(xml, t == 0 ? words.at(i).english : words.at(i).italian);
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

} // namespace

QByteArray writeKvtml(const QList<Word> &words)
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

} // namespace Exchange
