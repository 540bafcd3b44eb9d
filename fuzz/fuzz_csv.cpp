// Arbitrary bytes as a spreadsheet file to import: the table as the dialogue
// first reads it, the word lines it gives, and an export of the accepted
// words read back. Every word line must keep the fixed columns and be
// writable in Windows-1252; the export must read back to the same words; the
// message after the import, which quotes refused cells, must fit its box.

#include "vocabularyfile.h"
#include "wordexchange.h"

#include "fits.h"
#include "require.h"

namespace {
// The words that the lines hold, as an export of the list would give them.
QList<Exchange::Word> wordsOf(const QString &lines)
{
    QList<Exchange::Word> words;
    for (const QString &line : lines.split(Vocabulary::CrLf, Qt::SkipEmptyParts)) {
        require(line.size() > Vocabulary::ItalianColumn - 1 && line.size() <= 105);
        bool encoded = false;
        Vocabulary::encode(line, &encoded);
        require(encoded);
        words.append({ line.mid(5, 50).trimmed(), line.mid(55), line.left(2).trimmed().toInt(),
            line.at(3) == u'c', 0 });
    }
    return words;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const Exchange::Table table
        = Exchange::readTable(QByteArray(reinterpret_cast<const char *>(bytes), qsizetype(size)));
    const QList<Exchange::Word> words = Exchange::tableWords(
        table, { table.englishColumn, table.italianColumn, table.lessonColumn, table.criticalColumn });
    const Exchange::Lines lines = Exchange::wordLines(words, 1, 0);
    const QList<Exchange::Word> accepted = wordsOf(lines.text);
    require(accepted.size() == lines.added);
    requireShownFits(Exchange::importMessage(lines));

    for (const Exchange::Format format : { Exchange::Format::Csv, Exchange::Format::Tsv }) {
        const Exchange::Table again = Exchange::readTable(Exchange::write(format, accepted));
        const QList<Exchange::Word> back = Exchange::tableWords(
            again, { again.englishColumn, again.italianColumn, again.lessonColumn, again.criticalColumn });
        require(wordsOf(Exchange::wordLines(back, 1, 0).text) == accepted);
    }
    return 0;
}
