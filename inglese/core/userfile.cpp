#include "userfile.h"

#include <QFile>
#include <QLocale>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace UserFile {

namespace {
    using Stat = struct stat;

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
    Problem openRegular(const QByteArray &name, int flags, Descriptor &file, Stat &info, QString &reason)
    {
        if (::stat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode))
            return Problem::NotRegular;
        file.fd = ::open(name.constData(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
        if (file.fd < 0) {
            const int error = errno;
            reason = systemReason(error);
            return error == ENOENT || error == ENOTDIR ? Problem::Missing : Problem::ReadFailed;
        }
        if (::fstat(file.fd, &info) != 0) {
            reason = systemReason(errno);
            return Problem::ReadFailed;
        }
        return S_ISREG(info.st_mode) ? Problem::None : Problem::NotRegular;
    }

    // An empty text from bytes is a failure too: the toolkit's decoders give
    // nothing for inputs they cannot take whole.
    bool decodeWith(QStringDecoder &&decoder, QByteArrayView bytes, QString &text)
    {
        text = decoder.decode(bytes);
        return !decoder.hasError() && (bytes.isEmpty() || !text.isEmpty());
    }
    constexpr auto Stateless = QStringDecoder::Flag::Stateless;
} // namespace

Bytes read(const QString &path, qint64 limit)
{
    Bytes result;
    Descriptor file;
    Stat info {};
    result.problem = openRegular(QFile::encodeName(path), O_RDONLY, file, info, result.reason);
    if (!result)
        return result;
    const qint64 size = info.st_size;
    if (size > limit) {
        result.problem = Problem::TooBig;
        result.reason
            = QLocale(QLocale::Italian).toString(double(size) / MiB, 'f', 1) + QStringLiteral(" MB");
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
    Stat after {};
    if (done == size
        && (::read(file.fd, &extra, 1) != 0 || ::fstat(file.fd, &after) != 0 || after.st_size != size))
        result.reason = QStringLiteral("il file \u00e8 cambiato mentre lo leggevo");
    if (!result.reason.isEmpty()) {
        result.problem = Problem::ReadFailed;
        result.bytes.clear();
    }
    return result;
}

bool decode(const QByteArray &bytes, QString &text)
{
    const QByteArrayView view(bytes);
    if (view.startsWith("\xFF\xFE") || view.startsWith("\xFE\xFF"))
        return view.size() % 2 == 0
            && decodeWith(QStringDecoder(
                              view.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                              Stateless),
                view.sliced(2), text);
    if (view.startsWith("\xEF\xBB\xBF"))
        return decodeWith(QStringDecoder(QStringDecoder::Utf8, Stateless), view.sliced(3), text);
    const bool ascii = std::all_of(view.cbegin(), view.cend(), [](char c) { return uchar(c) < 0x80; });
    if (!ascii && decodeWith(QStringDecoder(QStringDecoder::Utf8, Stateless), view, text))
        return true;
    // Windows-1252 takes every byte.
    return decodeWith(QStringDecoder("windows-1252", Stateless), view, text);
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
    Stat info {};
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
        return file + QStringLiteral("non c'\u00e8") + because + u'.';
    case Problem::NotRegular:
        return file
            + QStringLiteral("non \u00e8 un file normale (\u00e8 una cartella, una coda o un dispositivo): "
                             "non lo leggo.");
    case Problem::TooBig:
        return file + QStringLiteral("\u00e8 troppo grande") + because + QStringLiteral(": il limite \u00e8 ")
            + limitText(limit) + u'.';
    case Problem::ReadFailed:
        return file + QStringLiteral("non si \u00e8 potuto leggere") + because + u'.';
    case Problem::Undecodable:
        return file
            + QStringLiteral("dichiara di essere UTF-8 o UTF-16, ma contiene byte che non lo sono: "
                             "salvalo di nuovo dal tuo editor.");
    }
    return QString();
}

} // namespace UserFile
