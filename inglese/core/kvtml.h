#pragma once

#include "exchangeword.h"
#include "userfile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// KVTML 2.0 vocabulary files, read with Qt's XML stream reader and written
// with its writer.
namespace Exchange {

// A KVTML 2.0 file: its languages and its entries, each with one text per
// language. `error` is set when the file cannot be read as KVTML 2.0. A big
// file has hundreds of thousands of entries: their texts are held one after
// the other in one string, each entry as a few numbers.
struct Kvtml
{
    // Languages offered for a choice, the first declared: as many as a table's columns.
    static constexpr int MaxLanguages = 16;
    struct Entry
    {
        qsizetype firstText = 0; // in `texts`; its last is before the next entry's first
        int lesson = -1;
        bool critical = false;
    };
    struct Text
    {
        qsizetype start = 0; // in `pool`
        int size = 0;
        int slot = 0; // the language as the entries name it
    };
    QStringList languages; // name (or locale) of each language, as shortName() cuts them
    QList<Entry> entries;
    int englishLanguage = -1; // guessed from names and locales
    int italianLanguage = -1;
    QString error;

    QList<Text> texts;
    QString pool;
    QList<int> languageSlots; // of each language
    // The entry's text in the language, empty when it has none.
    QStringView text(qsizetype entry, int language) const;
};
Kvtml readKvtml(const QByteArray &bytes);
Kvtml readKvtmlText(const QString &text); // a text decoded as a user's file is
// Reads the file from the disk piece by piece: its bytes are never held whole.
// A failed read leaves `problem` and `reason` set and the file empty.
Kvtml readKvtmlFile(const QString &path, UserFile::Pieces &read);
// The entries' words in the given languages; `visit` sees them one at a time
// and may stop the walk by returning false.
void forEachWord(const Kvtml &file, int english, int italian, const WordVisit &visit);
QList<Word> kvtmlWords(const Kvtml &file, int english, int italian, int limit = -1);

// KVTML 2.0: two languages, the lessons as containers "Lezione N", critical
// words with an error count.
QByteArray writeKvtml(const QList<Word> &words);

} // namespace Exchange
