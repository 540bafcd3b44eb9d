#pragma once

#include "importlines.h"
#include "kvtml.h"
#include "tabletext.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Words brought in from other programs and taken out to them: spreadsheet
// tables (CSV or TSV, tabletext.h) and KVTML 2.0 vocabulary files (kvtml.h).
// Imported words become fixed-column word lines (importlines.h); exports are
// made from the word-list text.
namespace Exchange {

enum class Format { Csv, Tsv, Kvtml };
QString suffix(Format format);
QByteArray write(Format format, const QList<Word> &words);
// Writes the file atomically; on failure `error` holds the Italian message.
bool writeFile(const QString &path, const QByteArray &bytes, QString *error);

// What an import reads from a file for its dialogue: a table or a KVTML
// file, or why nothing can be imported from it. A file named .kvtml is read
// from its bytes as they come from the disk (XML names its own encoding), any
// other from its text, as KVTML when it starts as XML does (a declaration, a
// comment or the root element), else as a table: "<b>" may start a word.
struct ImportSource
{
    std::optional<Table> table;
    std::optional<Kvtml> kvtml;
    QString refusal;
};
ImportSource readImport(const QString &path);

} // namespace Exchange
