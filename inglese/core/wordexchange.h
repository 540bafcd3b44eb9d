#pragma once

#include "importlines.h"
#include "kvtml.h"
#include "tabletext.h"

#include <QByteArray>
#include <QList>
#include <QString>

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

} // namespace Exchange
