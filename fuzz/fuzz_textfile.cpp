// Arbitrary bytes as a .txt file of the keyboard trainer: it is opened into
// the editing area and saved again. Opening keeps every byte; a save of the
// text as opened writes the same bytes plus the one closing CR LF, and a text
// whose line breaks are all CR LF survives the editing area's own form.

#include "textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "require.h"

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    require(file.open(QIODevice::ReadOnly));
    return file.readAll();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    // A folder in memory where there is one: every save syncs the file to disk.
    static const QString base
        = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static QTemporaryDir folder(base + QStringLiteral("/fuzz-textfile-XXXXXX"));
    require(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("prova.txt"));
    const QByteArray original(reinterpret_cast<const char *>(bytes), qsizetype(size));
    {
        QFile file(path);
        require(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        require(file.write(original) == original.size());
    }

    const TextFile::ReadResult opened = TextFile::read(path);
    require(opened.ok());
    require(opened.text.size() == original.size());

    // What the File menu's save writes for the text as it was opened.
    require(TextFile::write(path, opened.text).isNull());
    require(contents(path) == original + "\r\n");

    // Through the editing area (single-character line breaks) and back.
    const QString shown = TextFile::toLf(opened.text);
    const QString back = TextFile::toCrLf(shown);
    require(TextFile::toLf(back) == shown);
    const QStringView text(opened.text);
    if (text.count(u"\r\n") * 2 == text.count(u'\r') + text.count(u'\n'))
        require(back == opened.text);
    // Caret offsets map to the CR LF text and back.
    for (int position : { 0, int(shown.size()) / 2, int(shown.size()) })
        require(TextFile::lfPosition(shown, TextFile::crLfOffset(shown, position)) == position);
    // Shown in pieces and gathered lines (small sizes, so that short inputs
    // are cut): leaving out the marked breaks gives the text back.
    const TextFile::DisplayLines lines = TextFile::displayLines(opened.text, 3, 7, 5);
    QString joined;
    int block = 0;
    for (const QChar c : lines.text) {
        if (c == QLatin1Char('\n') && lines.joined.contains(++block))
            continue;
        joined += c == QChar::LineSeparator ? QLatin1Char('\n') : c;
    }
    require(joined == shown);
    return 0;
}
