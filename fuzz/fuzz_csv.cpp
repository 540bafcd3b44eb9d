// Arbitrary bytes as a spreadsheet file to import: the table as the dialogue
// first reads it, the word lines it gives, and an export of the accepted
// words read back. Every word line must keep the fixed columns and be
// writable in Windows-1252; the export must read back to the same words; the
// message after the import, which quotes refused cells, must fit its box; the
// same file imported again into a list that holds its words adds nothing.

#include "importlines.h"
#include "tabletext.h"
#include "vocabularyfile.h"

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

QList<Exchange::Word> proposed(const Exchange::Table &table)
{
    return Exchange::tableWords(
        table, { table.englishColumn, table.italianColumn, table.lessonColumn, table.criticalColumn });
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const Exchange::Table table
        = Exchange::readTable(QByteArray(reinterpret_cast<const char *>(bytes), qsizetype(size)));
    require(table.columnCount() <= Exchange::Table::MaxColumns);
    const QList<Exchange::Word> words = proposed(table);
    const Exchange::Lines lines = Exchange::wordLines(words, 1, 0);
    const QList<Exchange::Word> accepted = wordsOf(lines.text);
    require(accepted.size() == lines.added);
    requireShownFits(Exchange::importMessage(lines));

    const Exchange::KnownWords known(lines.text);
    Exchange::LineMaker again(1, 0, &known, true);
    for (const Exchange::Word &word : words)
        again.add(word);
    require(again.lines().added == 0 && again.lines().known == lines.added);

    for (const QByteArray &written : { Exchange::writeCsv(accepted), Exchange::writeTsv(accepted) })
        require(wordsOf(Exchange::wordLines(proposed(Exchange::readTable(written)), 1, 0).text) == accepted);
    return 0;
}
