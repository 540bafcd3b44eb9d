#include "textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace TextFile {
namespace {
    constexpr const char *CodePage = "windows-1252";
}

QString decode(const QByteArray &bytes)
{
    QStringDecoder decoder(CodePage);
    return decoder.decode(bytes);
}

std::optional<QByteArray> encode(const QString &text)
{
    QStringEncoder encoder(CodePage);
    QByteArray bytes = encoder.encode(text);
    // A character outside the code page comes out as a substitute byte; the
    // round trip shows it.
    if (encoder.hasError() || decode(bytes) != text)
        return std::nullopt;
    return bytes;
}

QString unencodable(const QString &text)
{
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        if (!encode(character) && !result.contains(character))
            result += character;
        i += length - 1;
    }
    return result;
}

QString toCrLf(const QString &text)
{
    // One pass over the text: a file may hold millions of lines.
    QString result(text.size() * 2, Qt::Uninitialized);
    QChar *out = result.data();
    const QChar *end = text.constData() + text.size();
    for (const QChar *in = text.constData(); in != end; ++in) {
        const char16_t c = in->unicode();
        if (c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
            if (c == u'\r' && in + 1 != end && in[1] == QLatin1Char('\n'))
                ++in;
            *out++ = QLatin1Char('\r');
            *out++ = QLatin1Char('\n');
        } else {
            *out++ = *in;
        }
    }
    result.truncate(out - result.constData());
    return result;
}

QString toLf(const QString &text)
{
    QString result(text.size(), Qt::Uninitialized);
    QChar *out = result.data();
    const QChar *end = text.constData() + text.size();
    for (const QChar *in = text.constData(); in != end; ++in) {
        const char16_t c = in->unicode();
        if (c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
            if (c == u'\r' && in + 1 != end && in[1] == QLatin1Char('\n'))
                ++in;
            *out++ = QLatin1Char('\n');
        } else {
            *out++ = *in;
        }
    }
    result.truncate(out - result.constData());
    return result;
}

int crLfOffset(const QString &lfText, int position)
{
    return position + int(QStringView(lfText).left(position).count(QLatin1Char('\n')));
}

int lfPosition(const QString &lfText, int crLfOffset)
{
    int offset = 0;
    for (int position = 0; position < lfText.size(); ++position) {
        const int width = lfText.at(position) == QLatin1Char('\n') ? 2 : 1;
        if (offset + width > crLfOffset)
            return position;
        offset += width;
    }
    return int(lfText.size());
}

bool hasLongRun(QStringView text)
{
    qsizetype run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > LongestWrappedRun)
            return true;
    }
    return false;
}

DisplayLines displayLines(QStringView text, qsizetype longest, qsizetype longestLine, qsizetype group)
{
    // One pass that writes straight into the result: a file may be 50 MB.
    DisplayLines result;
    result.text
        = QString(text.size() + text.size() / longest + text.size() / longestLine + 1, Qt::Uninitialized);
    QChar *out = result.text.data();
    qsizetype run = 0;
    qsizetype inBlock = 0;
    int block = 0;
    const QChar *end = text.data() + text.size();
    for (const QChar *in = text.data(); in != end; ++in) {
        const char16_t c = in->unicode();
        if (c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
            if (c == u'\r' && in + 1 != end && in[1] == QLatin1Char('\n'))
                ++in;
            run = 0;
            if (inBlock < group) {
                *out++ = QChar::LineSeparator;
                ++inBlock;
            } else {
                *out++ = QLatin1Char('\n');
                ++block;
                inBlock = 0;
            }
            continue;
        }
        ++inBlock;
        if (!QChar::isSpace(c)) {
            // A run is cut, never between the two halves of a character; a
            // long line is cut where a word begins.
            const bool longRun = run >= longest && !QChar::isLowSurrogate(c);
            if (longRun || (run == 0 && inBlock > longestLine)) {
                result.wrapAnywhere = result.wrapAnywhere || longRun;
                *out++ = QLatin1Char('\n');
                result.joined.append(++block);
                run = 0;
                inBlock = 1;
            }
            ++run;
        } else {
            run = 0;
        }
        *out++ = *in;
    }
    result.text.truncate(out - result.text.constData());
    return result;
}

ReadResult read(const QString &path)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        const QString reason
            = file.exists() ? QStringLiteral("non si può leggere.") : QStringLiteral("non esiste.");
        return { {}, QStringLiteral("Il file\r\n%1\r\n%2").arg(QDir::toNativeSeparators(path), reason) };
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return { {},
            QStringLiteral("Il file\r\n%1\r\nnon si può leggere.").arg(QDir::toNativeSeparators(path)) };
    return { decode(bytes), QString() };
}

QString write(const QString &path, const QString &text)
{
    const std::optional<QByteArray> bytes = encode(text + QStringLiteral("\r\n"));
    if (!bytes) {
        return QStringLiteral("Il testo contiene caratteri che un file .txt non può contenere:\r\n%1\r\n"
                              "Il file non è stato scritto.")
            .arg(unencodable(text));
    }
    QSaveFile file(path);
    // The explicit flush matters: commit() does not notice a buffered write
    // that the disk refused (full, or over a size limit), and would put the
    // cut file in place of the old one.
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.flush()
        || !file.commit()) {
        file.cancelWriting();
        return QStringLiteral("Il file\r\n%1\r\nnon si può scrivere.").arg(QDir::toNativeSeparators(path));
    }
    return {};
}

QString saveName(const QString &name)
{
    if (name.endsWith(QLatin1String(".txt")) || name.endsWith(QLatin1String(".TXT")))
        return name;
    return name + QStringLiteral(".txt");
}

QString joinPath(const QString &folder, const QString &name)
{
    const QChar separator = QDir::separator();
    return folder.endsWith(separator) ? folder + name : folder + separator + name;
}

QString fileName(const QString &path)
{
    return path.mid(path.lastIndexOf(QDir::separator()) + 1);
}

} // namespace TextFile
