#pragma once

#include <QString>
#include <QStringList>

// The text of the instructions file (Windows-1252 as shipped, or what another
// editor saved, see UserFile::decode), one entry per line, the lines walked as
// the vocabulary's (Vocabulary::forEachLine): no empty entry follows a final CR
// LF, a last line without one is kept unless it has only one or two
// characters, and an empty file gives one empty entry. An entry keeps at most
// MaxHelpLine characters of its line, and the entries stop after
// MaxHelpLines, so that the help window opens at once.
inline constexpr int MaxHelpLine = 1000;
inline constexpr int MaxHelpLines = 10000;
QStringList helpLines(const QString &text);
// The file's own limit: ten thousand lines of a thousand characters, in UTF-8.
inline constexpr qint64 MaxHelpBytes = 32 * 1024 * 1024;
