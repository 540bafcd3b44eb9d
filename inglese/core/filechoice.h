#pragma once

#include "datafolder.h"
#include "platform.h"

#include <QString>

// The files the user picks for the import, the export and the results
// picture: where the dialogue starts, the extension of a bare name, and no
// file replaced without being asked.
namespace FileChoice {

// The last folder used in this run, else the user's documents, else the home folder.
QString startFolder(const QString &lastFolder);

// Asks through the platform's dialogue, starting in startFolder(lastFolder),
// and keeps the chosen file's folder in `lastFolder`. For a save, a name
// without an extension gets the question's suffix, and a file of that name is
// replaced only after a second question; the program's own files (those of
// `dataFolder`) are refused with a message. After a "No" or a refusal the
// dialogue comes again. Empty: cancelled.
QString ask(Platform &platform, Platform::FileQuestion question, QString &lastFolder,
    const DataFolder &dataFolder = DataFolder());

QString replaceQuestion(const QString &path);

// The program's own files are never written from a file dialogue: the
// message that says so, or empty when `path` may be written.
QString refusedTarget(const QString &path, const DataFolder &dataFolder);

} // namespace FileChoice
