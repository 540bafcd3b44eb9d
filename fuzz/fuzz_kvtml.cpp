// Arbitrary bytes as a KVTML file to import: the words in the languages the
// dialogue first proposes become word lines, which must keep the fixed
// columns and be writable in Windows-1252; a KVTML export of the accepted
// words must read back to the same words, lessons and critical marks. A
// refusal, which quotes the file's language names, must fit a message box;
// the languages offered are few and their names short, however many and
// long the file's are.

#include "importlines.h"
#include "kvtml.h"
#include "vocabularyfile.h"

#include "fits.h"
#include "require.h"

namespace {
QString acceptedLines(const QByteArray &bytes, int *added)
{
    const Exchange::Kvtml file = Exchange::readKvtml(bytes);
    if (!file.error.isEmpty()) {
        requireShownFits(file.error);
        return QString();
    }
    require(file.languages.size() >= 2 && file.englishLanguage >= 0 && file.italianLanguage >= 0
        && file.englishLanguage != file.italianLanguage);
    require(file.languages.size() <= Exchange::Kvtml::MaxLanguages);
    for (const QString &language : file.languages) // a name and a locale, each cut
        require(language.size() <= 2 * (Exchange::ShownName + 3) + 3);
    const Exchange::Lines lines
        = Exchange::wordLines(Exchange::kvtmlWords(file, file.englishLanguage, file.italianLanguage), 1, 0);
    *added = lines.added;
    return lines.text;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    int added = 0;
    const QString lines
        = acceptedLines(QByteArray(reinterpret_cast<const char *>(bytes), qsizetype(size)), &added);
    QList<Exchange::Word> accepted;
    for (const QString &line : lines.split(Vocabulary::CrLf, Qt::SkipEmptyParts)) {
        require(line.size() > Vocabulary::ItalianColumn - 1 && line.size() <= 105);
        bool encoded = false;
        Vocabulary::encode(line, &encoded);
        require(encoded);
        accepted.append({ line.mid(5, 50).trimmed(), line.mid(55), line.left(2).trimmed().toInt(),
            line.at(3) == u'c', 0 });
    }
    require(accepted.size() == added);
    if (accepted.isEmpty())
        return 0;

    int again = 0;
    require(acceptedLines(Exchange::writeKvtml(accepted), &again) == lines);
    return 0;
}
