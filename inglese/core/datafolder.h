#pragma once

#include <QLatin1StringView>
#include <QString>

#include <optional>

// The folder of the program's files, fixed once at start-up, and every file
// in it. Windows and rules ask it for a file's path, and the file dialogues
// ask it which names they must never write over. A file the program adds
// gets its entry in File; the compiler then asks for its name and its role.
class DataFolder
{
public:
    // ReviewCopyFile: the review's file as it was before lines past its bounds were left out.
    enum File { WordsFile, HelpFile, LogFile, ReviewFile, ReviewLogFile, ReviewCopyFile, FileCount };

    DataFolder() = default; // no folder: windows shown without the program's files
    explicit DataFolder(const QString &folder); // a separator is added when it has none
    // The data folder of a start-up in `currentFolder`.
    static DataFolder forCurrentFolder(const QString &currentFolder);

    bool isNull() const { return m_folder.isEmpty(); }
    const QString &folder() const { return m_folder; } // ends with a separator
    QString path(File file) const { return m_folder + name(file); }

    static QLatin1StringView name(File file);
    // What the file holds, for a message: "i vocaboli".
    static QString role(File file);
    // The program's file that a write to `path` would replace (a link counts
    // as the name it gives), if any.
    std::optional<File> ownFile(const QString &path) const;

private:
    QString m_folder;
};
