#include "userfile.h"

#include <QFile>
#include <QHashFunctions>
#include <QLocale>
#include <QRandomGenerator>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <optional>
#include <utility>

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

    // A stamp's hash, taken a piece at a time: the same pieces of the same
    // bytes give the same hash, whoever reads or writes them. A hash of the
    // toolkit's is enough: a stamp never leaves the program that took it.
    struct Hasher
    {
        Stamp *stamp = nullptr; // none: nothing to hash
        void start(const Stat &info)
        {
            if (stamp)
                *stamp
                    = { info.st_size, qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec, 0 };
        }
        void add(QByteArrayView bytes)
        {
            for (qsizetype at = 0; stamp && at < bytes.size(); at += PieceBytes)
                stamp->hash = qHash(
                    bytes.sliced(at, std::min<qsizetype>(PieceBytes, bytes.size() - at)), stamp->hash);
        }
        void restart()
        {
            if (stamp)
                stamp->hash = 0;
        }
    };

    // Opens without waiting: O_NONBLOCK makes the open of a FIFO return at
    // once, and the type is checked before and after the open, so a file
    // swapped for a FIFO in between is refused too.
    Problem openRegular(const QByteArray &name, int flags, Descriptor &file, Stat &info, int &error)
    {
        if (::stat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode))
            return Problem::NotRegular;
        file.fd = ::open(name.constData(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
        if (file.fd < 0) {
            error = errno;
            return error == ENOENT || error == ENOTDIR ? Problem::Missing : Problem::ReadFailed;
        }
        if (::fstat(file.fd, &info) != 0) {
            error = errno;
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

    // A byte of a name that is not UTF-8 (0x80 to 0xFF) stands in the name as a lone low half from here.
    constexpr char16_t EscapedByte = 0xDC00;
} // namespace

QByteArray nativeName(const QString &path)
{
    QByteArray result;
    qsizetype from = 0;
    for (qsizetype at = 0; at <= path.size(); ++at) {
        const bool escaped = at < path.size() && isEscapedByte(path[at]);
        if (!escaped && at < path.size())
            continue;
        result += QFile::encodeName(path.sliced(from, at - from));
        if (escaped)
            result += char(path[at].unicode() - EscapedByte);
        from = at + 1;
    }
    return result;
}

QString fromNativeName(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, Stateless);
    QString name = utf8.decode(bytes);
    if (!utf8.hasError())
        return name;
    name.clear();
    for (qsizetype at = 0; at < bytes.size();) {
        // One character of UTF-8, or a byte kept as it is.
        const uchar lead = uchar(bytes[at]);
        const qsizetype length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        const QByteArray character = bytes.sliced(at, std::min(length, bytes.size() - at)).toByteArray();
        const QString decoded = QString::fromUtf8(character);
        const bool valid = character.size() == length && decoded.toUtf8() == character;
        name += valid ? decoded : QString(QChar(EscapedByte + lead));
        at += valid ? length : 1;
    }
    return name;
}

bool isEscapedByte(QChar c)
{
    return c.unicode() >= EscapedByte + 0x80 && c.unicode() <= EscapedByte + 0xFF;
}

int escapedByte(QChar c)
{
    return c.unicode() - EscapedByte;
}

namespace {
    // Opens a regular file for reading, its size within the limit.
    Problem openToRead(
        const QString &path, qint64 limit, Descriptor &file, qint64 &size, QString &reason, Hasher &hasher)
    {
        Stat info {};
        int error = 0;
        const Problem problem = openRegular(nativeName(path), O_RDONLY, file, info, error);
        if (error != 0)
            reason = systemReason(error);
        if (problem != Problem::None)
            return problem;
        size = info.st_size;
        if (size > limit) {
            reason = QLocale(QLocale::Italian).toString(double(size) / MiB, 'f', 1) + QStringLiteral(" MB");
            return Problem::TooBig;
        }
        hasher.start(info);
        return Problem::None;
    }

    // Reads exactly `length` bytes; false, with the reason, when the file ends first or the read fails.
    bool readInto(int fd, char *data, qint64 length, QString &reason)
    {
        qint64 done = 0;
        while (done < length) {
            const ssize_t n = ::read(fd, data + done, std::size_t(length - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                reason = n < 0 ? systemReason(errno) : QStringLiteral("il file si \u00e8 accorciato");
                return false;
            }
            done += n;
        }
        return true;
    }

    // After `size` bytes the file must end, and still have that size.
    bool unchanged(int fd, qint64 size, QString &reason)
    {
        char extra = 0;
        Stat after {};
        if (::read(fd, &extra, 1) != 0 || ::fstat(fd, &after) != 0 || after.st_size != size) {
            reason = QStringLiteral("il file \u00e8 cambiato mentre lo leggevo");
            return false;
        }
        return true;
    }
} // namespace

Bytes read(const QString &path, qint64 limit, Stamp *stamp)
{
    Bytes result;
    Descriptor file;
    qint64 size = 0;
    Hasher hasher { stamp };
    result.problem = openToRead(path, limit, file, size, result.reason, hasher);
    if (!result)
        return result;
    result.bytes.resize(qsizetype(size));
    if (!readInto(file.fd, result.bytes.data(), size, result.reason)
        || !unchanged(file.fd, size, result.reason)) {
        result.problem = Problem::ReadFailed;
        result.bytes.clear();
    }
    hasher.add(result.bytes);
    return result;
}

Pieces readPieces(
    const QString &path, qint64 limit, const std::function<bool(const QByteArray &)> &take, Stamp *stamp)
{
    Pieces result;
    Descriptor file;
    qint64 size = 0;
    Hasher hasher { stamp };
    result.problem = openToRead(path, limit, file, size, result.reason, hasher);
    QByteArray buffer;
    for (qint64 done = 0; result && !result.stopped && done < size; done += buffer.size()) {
        buffer.resize(qsizetype(std::min(PieceBytes, size - done)));
        if (readInto(file.fd, buffer.data(), buffer.size(), result.reason)) {
            hasher.add(buffer);
            result.stopped = !take(buffer);
        } else {
            result.problem = Problem::ReadFailed;
        }
    }
    if (result && !result.stopped && !unchanged(file.fd, size, result.reason))
        result.problem = Problem::ReadFailed;
    return result;
}

bool changedSince(const QString &path, const Stamp &stamp)
{
    Stat info {};
    if (stamp.size < 0 || ::stat(nativeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    Stamp now;
    Hasher { &now }.start(info);
    if (now.size != stamp.size || now.modified != stamp.modified)
        return true;
    return !readPieces(
               path, stamp.size, [](const QByteArray &) { return true; }, &now)
        || now != stamp;
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

    // The bytes at the end of a piece of UTF-8 that begin a letter the next piece ends.
    qsizetype cutLetter(QByteArrayView piece)
    {
        for (qsizetype back = 1; back <= std::min<qsizetype>(3, piece.size()); ++back) {
            const uchar c = uchar(piece.at(piece.size() - back));
            if ((c & 0xC0) == 0x80)
                continue; // a continuation byte: look further back
            const qsizetype length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            return length > back ? back : 0;
        }
        return 0;
    }

    // Decodes a text piece by piece, so that a file is read holding only
    // the text and one piece, never the file's bytes as well.
    struct PieceDecoder
    {
        std::optional<QStringDecoder::Encoding> encoding; // unknown before the first piece
        bool marked = false; // a byte order mark names the encoding: an error refuses the file
        QByteArray carry; // the start of a letter that the next piece ends
        bool failed = false; // not the encoding found (UTF-8 broken without a mark: Windows-1252)

        void start(QByteArrayView &piece)
        {
            if (piece.startsWith("\xFF\xFE") || piece.startsWith("\xFE\xFF")) {
                encoding = piece.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE;
                piece = piece.sliced(2);
                marked = true;
            } else if (piece.startsWith("\xEF\xBB\xBF")) {
                encoding = QStringDecoder::Utf8;
                piece = piece.sliced(3);
                marked = true;
            } else {
                encoding = utf16WithoutMark(piece);
                marked = encoding.has_value(); // its zero bytes name it as well as a mark
                if (!encoding)
                    encoding = QStringDecoder::Utf8;
            }
        }

        void add(QByteArrayView piece, bool last, QString &text)
        {
            // The piece is copied only behind a carried letter start.
            const QByteArray joined = carry.isEmpty() ? QByteArray() : carry + piece.toByteArray();
            QByteArrayView whole = carry.isEmpty() ? piece : QByteArrayView(joined);
            const bool utf8 = *encoding == QStringDecoder::Utf8;
            const qsizetype cut = last ? 0 : utf8 ? cutLetter(whole) : whole.size() % 2;
            carry = whole.last(cut).toByteArray();
            whole.chop(cut);
            QString part;
            if (!decodeWith(QStringDecoder(*encoding, Stateless), whole, part)
                || (last && !utf8 && whole.size() % 2 != 0))
                failed = true;
            text += part;
        }
    };
} // namespace

bool decode(const QByteArray &bytes, QString &text)
{
    PieceDecoder decoder;
    QByteArrayView piece(bytes);
    decoder.start(piece);
    text.clear();
    decoder.add(piece, true, text);
    if (decoder.failed && decoder.marked) {
        text.clear();
        return false;
    }
    // Windows-1252 takes every byte.
    return !decoder.failed || decodeWith(QStringDecoder("windows-1252", Stateless), bytes, text);
}

Text readText(const QString &path, qint64 limit, Stamp *stamp)
{
    Text result;
    Descriptor file;
    qint64 size = 0;
    Hasher hasher { stamp };
    result.problem = openToRead(path, std::min(limit, MaxTextBytes), file, size, result.reason, hasher);
    if (!result)
        return result;
    QByteArray buffer;
    PieceDecoder decoder;
    for (qint64 done = 0; done < size && !decoder.failed;) {
        buffer.resize(qsizetype(std::min(PieceBytes, size - done)));
        if (!readInto(file.fd, buffer.data(), buffer.size(), result.reason)) {
            result.problem = Problem::ReadFailed;
            return { QString(), result.problem, result.reason };
        }
        hasher.add(buffer);
        QByteArrayView piece(buffer);
        if (done == 0) {
            decoder.start(piece);
            result.text.reserve(qsizetype(*decoder.encoding == QStringDecoder::Utf8 ? size : size / 2));
        }
        done += buffer.size();
        decoder.add(piece, done == size, result.text);
    }
    if (decoder.failed && decoder.marked) {
        result.problem = Problem::Undecodable;
        result.text.clear();
        return result;
    }
    if (decoder.failed) {
        // Not UTF-8 after all: Windows-1252 takes every byte, read once more.
        result.text.clear();
        result.text.reserve(qsizetype(size));
        hasher.restart();
        if (::lseek(file.fd, 0, SEEK_SET) != 0) {
            result.reason = systemReason(errno);
            result.problem = Problem::ReadFailed;
        }
        for (qint64 done = 0; done < size && result;) {
            buffer.resize(qsizetype(std::min(PieceBytes, size - done)));
            if (!readInto(file.fd, buffer.data(), buffer.size(), result.reason))
                result.problem = Problem::ReadFailed;
            hasher.add(buffer);
            QString part;
            decodeWith(QStringDecoder("windows-1252", Stateless), buffer, part);
            result.text += part;
            done += buffer.size();
        }
    }
    if (result && !unchanged(file.fd, size, result.reason))
        result.problem = Problem::ReadFailed;
    if (!result)
        result.text.clear();
    return result;
}

Written failure(int error, bool fileThere)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return { WriteProblem::DiskFull, error, {} };
    case EFBIG:
        return { WriteProblem::TooBig, error, {} };
    case EACCES:
    case EPERM:
        return { fileThere ? WriteProblem::ReadOnlyFile : WriteProblem::FolderRefuses, error, {} };
    case EROFS:
        return { WriteProblem::FolderRefuses, error, {} };
    case ENOENT:
    case ENOTDIR:
        return { WriteProblem::NoFolder, error, {} };
    case ENAMETOOLONG:
        return { WriteProblem::NameTooLong, error, {} };
    default:
        return { WriteProblem::Failed, error, {} };
    }
}

namespace {
    // Writes all of `bytes`; false, with errno set, when the disk takes only part of them.
    bool writeAll(int fd, QByteArrayView bytes)
    {
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t n = ::write(fd, bytes.data() + done, std::size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                if (n == 0)
                    errno = ENOSPC;
                return false;
            }
            done += n;
        }
        return true;
    }

    // The name a write replaces: a link is followed, link after link, to the
    // name it gives, which may be missing (`exists` false). 0, or the error.
    int resolve(QByteArray &name, Stat &info, bool &exists)
    {
        for (int hops = 0; hops < 40; ++hops) {
            if (::lstat(name.constData(), &info) != 0) {
                exists = false;
                return errno == ENOENT ? 0 : errno;
            }
            exists = true;
            if (!S_ISLNK(info.st_mode))
                return 0;
            QByteArray target(PATH_MAX, Qt::Uninitialized);
            const ssize_t length = ::readlink(name.constData(), target.data(), std::size_t(target.size()));
            if (length < 0)
                return errno;
            target.truncate(length);
            name = target.startsWith('/') ? target : name.left(name.lastIndexOf('/') + 1) + target;
        }
        return ELOOP;
    }

    // Removes the new file of a write that did not finish.
    struct Unfinished
    {
        QByteArray name;
        ~Unfinished()
        {
            if (!name.isEmpty())
                ::unlink(name.constData());
        }
    };
} // namespace

Written write(const QString &path, QByteArrayView bytes)
{
    QByteArray name = nativeName(path);
    Stat old {};
    bool exists = false;
    if (const int error = resolve(name, old, exists))
        return failure(error);
    if (exists && !S_ISREG(old.st_mode))
        return { WriteProblem::NotRegular, 0, {} };
    if (exists && ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0)
        return failure(errno, true);
    // The new file is made beside the old one, under a hidden name of its own.
    const qsizetype slash = name.lastIndexOf('/');
    const QByteArray start = name.left(slash + 1) + '.' + name.mid(slash + 1).left(200) + '.';
    Descriptor file;
    Unfinished unfinished;
    for (int tries = 1; file.fd < 0; ++tries) {
        unfinished.name = start + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        file.fd
            = ::open(unfinished.name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (file.fd < 0 && (errno != EEXIST || tries == 100)) {
            const int error = errno;
            unfinished.name.clear();
            return failure(error);
        }
    }
    if (exists) {
        // The owner and group stay when the program may give them (as root),
        // and the mode stays; a disk without either (FAT) keeps its own.
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            [[maybe_unused]] const int given = ::fchown(file.fd, old.st_uid, old.st_gid);
        }
        [[maybe_unused]] const int kept = ::fchmod(file.fd, old.st_mode & 07777);
    }
    // Every write's count is checked and the bytes are on the disk before the
    // new file takes the name: a disk that takes only part of them (full, or
    // over a size limit) must never put a cut file in place of the old one.
    Stat info {};
    if (!writeAll(file.fd, bytes) || (::fsync(file.fd) != 0 && errno != EINVAL)
        || ::fstat(file.fd, &info) != 0)
        return failure(errno);
    if (::close(std::exchange(file.fd, -1)) != 0
        || ::rename(unfinished.name.constData(), name.constData()) != 0)
        return failure(errno);
    unfinished.name.clear();
    Written result;
    Hasher hasher { &result.stamp };
    hasher.start(info);
    hasher.add(bytes);
    return result;
}

Written append(const QString &path, QByteArrayView bytes)
{
    Descriptor file;
    Stat info {};
    int error = 0;
    const Problem problem = openRegular(nativeName(path), O_WRONLY | O_APPEND | O_CREAT, file, info, error);
    if (problem == Problem::NotRegular)
        return { WriteProblem::NotRegular, 0, {} };
    if (problem != Problem::None)
        return failure(error, info.st_nlink > 0); // a file that was there has a link
    if (!writeAll(file.fd, bytes)) {
        error = errno;
        // A line the disk took only in part is cut away again, so the next
        // line never joins a broken one.
        [[maybe_unused]] const int cut = ::ftruncate(file.fd, info.st_size);
        return failure(error);
    }
    return {};
}

int otherNames(const QString &path)
{
    Stat info {};
    return ::stat(nativeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode) ? int(info.st_nlink) - 1
                                                                                     : 0;
}

QString otherNamesQuestion(const QString &shownPath)
{
    return QStringLiteral("Il file\r\n") + shownPath
        + QStringLiteral(
            "\r\nha anche altri nomi (collegamenti): salvando, questo nome avr\u00e0 il testo nuovo e "
            "gli altri terranno quello di prima.\r\n\r\nSalvarlo lo stesso?\r\n"
            "(No: il file resta com'\u00e8 e il testo resta da salvare)");
}

QString reasonText(const Written &written)
{
    switch (written.problem) {
    case WriteProblem::None:
        break;
    case WriteProblem::NotRegular:
        return QStringLiteral("non \u00e8 un file normale, ma una cartella, una coda o un dispositivo");
    case WriteProblem::ReadOnlyFile:
        return QStringLiteral("il file \u00e8 protetto contro la scrittura: salvalo con un altro nome");
    case WriteProblem::FolderRefuses:
        return QStringLiteral("la cartella non accetta file nuovi (\u00e8 di sola lettura o non hai il "
                              "permesso di scriverci): scegli un'altra cartella");
    case WriteProblem::DiskFull:
        return QStringLiteral("il disco \u00e8 pieno: libera un po' di spazio");
    case WriteProblem::TooBig:
        return QStringLiteral("il file \u00e8 pi\u00f9 grande di quanto il disco o il sistema permettano");
    case WriteProblem::NoFolder:
        return QStringLiteral("la cartella non c'\u00e8 pi\u00f9");
    case WriteProblem::NameTooLong:
        return QStringLiteral("il nome \u00e8 troppo lungo: scegline uno pi\u00f9 corto");
    case WriteProblem::Failed:
        return QStringLiteral("errore del sistema: ") + systemReason(written.error);
    }
    return QString();
}

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
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
