#include "userfile.h"

#include <QFile>
#include <QLocale>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace UserFile {

namespace {
    QString systemReason(int error)
    {
        return QString::fromLocal8Bit(std::strerror(error));
    }

    // Closes the descriptor on every way out.
    struct Descriptor
    {
        int fd = -1;
        ~Descriptor()
        {
            if (fd >= 0)
                ::close(fd);
        }
    };

    // Opens without waiting: O_NONBLOCK makes the open of a FIFO return at
    // once, and the type is checked before and after the open, so a file
    // swapped for a FIFO in between is refused too.
    Problem openRegular(
        const QByteArray &name, int flags, Descriptor &file, struct stat &info, QString &reason)
    {
        if (::stat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode))
            return Problem::NotRegular;
        file.fd = ::open(name.constData(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
        if (file.fd < 0) {
            reason = systemReason(errno);
            return Problem::Missing;
        }
        if (::fstat(file.fd, &info) != 0) {
            reason = systemReason(errno);
            return Problem::ReadFailed;
        }
        return S_ISREG(info.st_mode) ? Problem::None : Problem::NotRegular;
    }

    // Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five bytes it
    // leaves undefined keep their Latin-1 code, as the toolkit's decoder does.
    constexpr std::array<char16_t, 32> CodePageHigh { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020,
        0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019,
        0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E,
        0x0178 };

    QString decodeCodePage(QByteArrayView bytes)
    {
        QString text = QString::fromLatin1(bytes);
        for (QChar &c : text) {
            if (c.unicode() >= 0x80 && c.unicode() < 0xA0)
                c = QChar(CodePageHigh[c.unicode() - 0x80]);
        }
        return text;
    }

    bool decodeWith(QStringDecoder::Encoding encoding, QByteArrayView bytes, QString &text)
    {
        QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
        text = decoder.decode(bytes);
        return !decoder.hasError() && (bytes.isEmpty() || !text.isEmpty());
    }
} // namespace

Bytes read(const QString &path, qint64 limit)
{
    Bytes result;
    Descriptor file;
    struct stat info
    {
    };
    result.problem = openRegular(QFile::encodeName(path), O_RDONLY, file, info, result.reason);
    if (!result)
        return result;
    const qint64 size = info.st_size;
    if (size > limit) {
        result.problem = Problem::TooBig;
        result.reason = QLocale::c().toString(double(size) / MiB, 'f', 1) + QStringLiteral(" MB");
        return result;
    }
    result.bytes.resize(qsizetype(size));
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::read(file.fd, result.bytes.data() + done, std::size_t(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            result.reason = n < 0 ? systemReason(errno) : QStringLiteral("il file si \u00e8 accorciato");
            break;
        }
        done += n;
    }
    char extra = 0;
    struct stat after
    {
    };
    if (done == size
        && (::read(file.fd, &extra, 1) != 0 || ::fstat(file.fd, &after) != 0 || after.st_size != size))
        result.reason = QStringLiteral("il file \u00e8 cambiato mentre lo leggevo");
    if (!result.reason.isEmpty()) {
        result.problem = Problem::ReadFailed;
        result.bytes.clear();
    }
    return result;
}

namespace {
    // UTF-16 that some programs write without a byte order mark: letters of
    // the first 256 code points have a zero high byte, and a text in any 8-bit
    // encoding holds no zero byte at all.
    std::optional<QStringDecoder::Encoding> utf16WithoutMark(QByteArrayView bytes)
    {
        const QByteArrayView sample = bytes.first(std::min<qsizetype>(bytes.size(), 4096) & ~1);
        qsizetype even = 0, odd = 0;
        for (qsizetype i = 0; i < sample.size(); ++i)
            (i % 2 ? odd : even) += sample.at(i) == '\0';
        const qsizetype pairs = sample.size() / 2;
        if (pairs > 0 && odd * 3 >= pairs && even * 4 <= odd)
            return QStringDecoder::Utf16LE;
        if (pairs > 0 && even * 3 >= pairs && odd * 4 <= even)
            return QStringDecoder::Utf16BE;
        return std::nullopt;
    }
} // namespace

bool decode(const QByteArray &bytes, QString &text)
{
    const QByteArrayView view(bytes);
    if (view.startsWith("\xFF\xFE") || view.startsWith("\xFE\xFF"))
        return view.size() % 2 == 0
            && decodeWith(view.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                view.sliced(2), text);
    if (view.startsWith("\xEF\xBB\xBF"))
        return decodeWith(QStringDecoder::Utf8, view.sliced(3), text);
    if (const std::optional<QStringDecoder::Encoding> utf16 = utf16WithoutMark(view))
        return view.size() % 2 == 0 && decodeWith(*utf16, view, text);
    const bool ascii = std::all_of(view.cbegin(), view.cend(), [](char c) { return uchar(c) < 0x80; });
    if (ascii || !decodeWith(QStringDecoder::Utf8, view, text))
        text = decodeCodePage(view);
    return true;
}

Text readText(const QString &path, qint64 limit)
{
    Bytes bytes = read(path, std::min(limit, MaxTextBytes));
    Text result { QString(), bytes.problem, bytes.reason };
    if (result && !decode(bytes.bytes, result.text)) {
        result.problem = Problem::Undecodable;
        result.text.clear();
    }
    return result;
}

bool append(const QString &path, const QByteArray &bytes, QString *reason)
{
    Descriptor file;
    struct stat info
    {
    };
    QString why;
    Problem problem = openRegular(QFile::encodeName(path), O_WRONLY | O_APPEND | O_CREAT, file, info, why);
    if (problem == Problem::NotRegular)
        why = QStringLiteral("non \u00e8 un file normale");
    if (problem != Problem::None) {
        if (reason)
            *reason = why;
        return false;
    }
    const off_t oldSize = info.st_size;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(file.fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (reason)
                *reason = n < 0 ? systemReason(errno) : QStringLiteral("disco pieno");
            // A line the disk took only in part is cut away again, so the
            // next line never joins a broken one.
            [[maybe_unused]] const int cut = ::ftruncate(file.fd, oldSize);
            return false;
        }
        done += n;
    }
    return true;
}

QString limitText(qint64 limit)
{
    return limit >= MiB ? QString::number(limit / MiB) + QStringLiteral(" MB")
                        : QString::number(std::max<qint64>(limit / 1024, 1)) + QStringLiteral(" KB");
}

QString problemText(const QString &path, Problem problem, qint64 limit, const QString &reason)
{
    const QString file = QStringLiteral("Il file\r\n") + path + QStringLiteral("\r\n");
    const QString because = reason.isEmpty() ? QString() : QStringLiteral(" (") + reason + u')';
    switch (problem) {
    case Problem::None:
        break;
    case Problem::Missing:
        return file + QStringLiteral("non si pu\u00f2 aprire") + because + u'.';
    case Problem::NotRegular:
        return file
            + QStringLiteral("non \u00e8 un file normale (\u00e8 una cartella, una coda o un dispositivo): "
                             "non lo leggo.");
    case Problem::TooBig:
        return file + QStringLiteral("\u00e8 troppo grande") + because + QStringLiteral(": il limite \u00e8 ")
            + limitText(limit) + u'.';
    case Problem::ReadFailed:
        return file + QStringLiteral("non si \u00e8 potuto leggere per intero") + because + u'.';
    case Problem::Undecodable:
        return file
            + QStringLiteral("dichiara di essere UTF-8 o UTF-16, ma contiene byte che non lo sono: "
                             "salvalo di nuovo dal tuo editor.");
    }
    return QString();
}

} // namespace UserFile
