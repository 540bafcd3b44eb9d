#include "textfile.h"

#include <QDir>
#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <bitset>
#include <memory>

#include <dirent.h>
#include <sys/stat.h>

namespace TextFile {
namespace {

    constexpr const char *CodePage = "windows-1252";
    constexpr QByteArrayView Utf8Bom("\xEF\xBB\xBF");
    constexpr QByteArrayView Utf16LeBom("\xFF\xFE");
    constexpr QByteArrayView Utf16BeBom("\xFE\xFF");
    constexpr int MegaByte = 1 << 20;

    // What each kind of break writes, and the characters the editing area
    // takes as a line break.
    const auto BreakTexts
        = std::to_array<QStringView>({ u"\r\n", u"\n", u"\r", u"\u2029", u"\uFDD0", u"\uFDD1" });
    constexpr qsizetype FileLineEnds = 3; // CR LF, LF, CR: a file's own line ends

    // The characters of the code page: those its 256 bytes decode to.
    const std::bitset<0x10000> &codePage()
    {
        static const std::bitset<0x10000> characters = [] {
            std::bitset<0x10000> result;
            QByteArray all(256, Qt::Uninitialized);
            for (int byte = 0; byte < 256; ++byte)
                all[byte] = char(byte);
            const QString decoded = QStringDecoder(CodePage).decode(all);
            for (const QChar c : decoded)
                result.set(c.unicode());
            return result;
        }();
        return characters;
    }

    QByteArray encode(Encoding encoding, QStringView text)
    {
        switch (encoding) {
        case Encoding::Windows1252:
            return QStringEncoder(CodePage).encode(text);
        case Encoding::Utf8:
            return QStringEncoder(QStringConverter::Utf8).encode(text);
        case Encoding::Utf8Bom:
            return Utf8Bom.toByteArray() + QStringEncoder(QStringConverter::Utf8).encode(text);
        case Encoding::Utf16Le:
            return Utf16LeBom.toByteArray() + QStringEncoder(QStringConverter::Utf16LE).encode(text);
        case Encoding::Utf16Be:
            return Utf16BeBom.toByteArray() + QStringEncoder(QStringConverter::Utf16BE).encode(text);
        }
        return {};
    }

    // The kind of Unicode text a file's first bytes announce by their mark.
    enum class Mark { None, Utf8, Utf16, Utf32 };
    Mark markOf(QByteArrayView bytes)
    {
        if (bytes.startsWith(QByteArrayView("\xFF\xFE\0\0", 4))
            || bytes.startsWith(QByteArrayView("\0\0\xFE\xFF", 4)))
            return Mark::Utf32;
        if (bytes.startsWith(Utf16LeBom) || bytes.startsWith(Utf16BeBom))
            return Mark::Utf16;
        return bytes.startsWith(Utf8Bom) ? Mark::Utf8 : Mark::None;
    }

    // The encodings a file may be in, most likely first, with the text each
    // decodes it to. Windows-1252, which takes any byte, comes last, but not
    // for a file whose mark says it is Unicode.
    QList<std::pair<Encoding, QString>> candidates(const QByteArray &bytes)
    {
        QList<std::pair<Encoding, QString>> result;
        const auto tryDecoding = [&](Encoding encoding, QStringConverter::Encoding unicode, qsizetype bom) {
            QStringDecoder decoder(unicode, QStringConverter::Flag::ConvertInitialBom);
            QString text = decoder.decode(QByteArrayView(bytes).sliced(bom));
            if (!decoder.hasError())
                result.append({ encoding, text });
        };
        const QByteArrayView view(bytes);
        const Mark mark = markOf(view);
        if (mark == Mark::Utf32)
            return result;
        if (view.startsWith(Utf16LeBom))
            tryDecoding(Encoding::Utf16Le, QStringConverter::Utf16LE, Utf16LeBom.size());
        else if (view.startsWith(Utf16BeBom))
            tryDecoding(Encoding::Utf16Be, QStringConverter::Utf16BE, Utf16BeBom.size());
        else if (view.startsWith(Utf8Bom))
            tryDecoding(Encoding::Utf8Bom, QStringConverter::Utf8, Utf8Bom.size());
        else if (std::any_of(view.begin(), view.end(), [](char byte) { return byte & 0x80; }))
            tryDecoding(Encoding::Utf8, QStringConverter::Utf8, 0);
        if (mark == Mark::None)
            result.append({ Encoding::Windows1252, QStringDecoder(CodePage).decode(bytes) });
        return result;
    }

    // The break that starts at `at` of a decoded file, and its length.
    std::optional<std::pair<Break, qsizetype>> breakAt(QStringView text, qsizetype at)
    {
        const QStringView rest = text.sliced(at);
        for (qsizetype kind = 0; kind < qsizetype(BreakTexts.size()); ++kind) {
            if (rest.startsWith(BreakTexts[kind]))
                return std::pair { Break(kind), BreakTexts[kind].size() };
        }
        return std::nullopt;
    }

    bool isBreakCharacter(char16_t c)
    {
        return c == u'\r' || c == u'\n' || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
    }

    // The longest line and the longest run without a blank of a text.
    std::pair<qsizetype, qsizetype> longest(QStringView text)
    {
        qsizetype line = 0, longestLine = 0, run = 0, longestRun = 0;
        for (const QChar c : text) {
            line = c == u'\n' ? 0 : line + 1;
            run = c.isSpace() ? 0 : run + 1;
            longestLine = std::max(longestLine, line);
            longestRun = std::max(longestRun, run);
        }
        return { longestLine, longestRun };
    }

    // The state of a file on disk, by its real name; nothing when it is missing.
    std::optional<struct stat> status(const QString &path)
    {
        struct stat buffer;
        if (::stat(UserFile::nativeName(path).constData(), &buffer) != 0)
            return std::nullopt;
        return buffer;
    }

} // namespace

QString shownName(const QString &name)
{
    // Most names are shown as they are: those are not copied.
    if (std::none_of(name.begin(), name.end(), [](QChar c) {
            return UserFile::isEscapedByte(c) || c.category() == QChar::Other_Control
                || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
        }))
        return name;
    const auto code
        = [](int value) { return QStringLiteral("[%1]").arg(value, 2, 16, QLatin1Char('0')).toUpper(); };
    QString result;
    for (const QChar c : name) {
        if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            result += QChar(0x21B5); // the name stays on one row
        else if (UserFile::isEscapedByte(c))
            result += code(UserFile::escapedByte(c));
        else if (c.category() == QChar::Other_Control)
            result += code(c.unicode());
        else
            result += c;
    }
    return result;
}

namespace {
    // The names in `folder` of the entries of type `type` (a link counts as
    // what it leads to) that `wanted` takes, whatever bytes they hold,
    // sorted without regard to case. Read with the system's own calls: the
    // toolkit leaves out a name that is not UTF-8, or changes it. The type
    // that the folder tells spares a look at each entry.
    template<class Wanted> QStringList entries(const QString &folder, mode_t type, Wanted wanted)
    {
        std::vector<std::pair<QString, QString>> found; // the name without case, the name
        const std::unique_ptr<DIR, int (*)(DIR *)> dir(
            ::opendir(UserFile::nativeName(folder).constData()), ::closedir);
        while (const dirent *entry = dir ? ::readdir(dir.get()) : nullptr) {
            const QByteArrayView bytes(entry->d_name);
            struct stat file;
            if (!wanted(bytes)
                || (mode_t(DTTOIF(entry->d_type)) != type
                    && (fstatat(::dirfd(dir.get()), entry->d_name, &file, 0) != 0
                        || (file.st_mode & S_IFMT) != type)))
                continue;
            QString name = UserFile::fromNativeName(bytes);
            found.emplace_back(name.toCaseFolded(), std::move(name));
        }
        std::sort(found.begin(), found.end());
        QStringList result;
        result.reserve(qsizetype(found.size()));
        for (auto &[key, name] : found)
            result.append(std::move(name));
        return result;
    }
} // namespace

QStringList txtFiles(const QString &folder)
{
    return entries(folder, S_IFREG, [](QByteArrayView name) {
        return name.size() >= 4 && name.last(4).compare(".txt", Qt::CaseInsensitive) == 0;
    });
}

QStringList subFolders(const QString &folder)
{
    return entries(folder, S_IFDIR, [](QByteArrayView name) { return !name.startsWith('.'); });
}

const QStringList &FolderListing::txtFiles(const QString &folder)
{
    // A folder's time of change moves with every name put in or taken out,
    // but only in steps of the file system's clock: a folder changed within
    // the last seconds may change again unseen, and is listed every time.
    constexpr time_t Settled = 3;
    const std::optional<struct stat> now = status(folder);
    const auto same
        = [](const timespec &a, const timespec &b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; };
    if (!now || folder != m_folder || !m_settled || now->st_dev != m_device || now->st_ino != m_inode
        || !same(now->st_mtim, m_changed)) {
        m_files = TextFile::txtFiles(folder);
        m_folder = folder;
        m_settled = now && now->st_mtim.tv_sec + Settled < ::time(nullptr);
        if (now) {
            m_device = now->st_dev;
            m_inode = now->st_ino;
            m_changed = now->st_mtim;
        }
    }
    return m_files;
}

std::optional<Form> Form::read(const QByteArray &bytes, QString &text)
{
    for (const auto &[encoding, decoded] : candidates(bytes)) {
        Form form;
        form.m_encoding = encoding;
        form.m_closingLineEnd = false;
        // The line end of the file is its most frequent one (CR LF for a
        // file of one line): two passes, so that only the other breaks are
        // listed.
        std::array<qsizetype, BreakTexts.size()> counts {};
        const char16_t *const data = reinterpret_cast<const char16_t *>(decoded.utf16());
        const qsizetype size = decoded.size();
        for (qsizetype at = 0; at < size; ++at) {
            if (isBreakCharacter(data[at])) {
                const auto found = breakAt(decoded, at);
                ++counts[qsizetype(found->first)];
                at += found->second - 1;
            }
        }
        form.m_lineEnd
            = Break(std::max_element(counts.begin(), counts.begin() + FileLineEnds) - counts.begin());
        text = QString(size, Qt::Uninitialized);
        QChar *out = text.data();
        for (qsizetype at = 0; at < size; ++at) {
            if (!isBreakCharacter(data[at])) {
                *out++ = QChar(data[at]);
                continue;
            }
            const auto [kind, length] = *breakAt(decoded, at);
            if (kind != form.m_lineEnd)
                form.m_otherBreaks.push_back({ out - text.constData(), kind });
            *out++ = QLatin1Char('\n');
            at += length - 1;
        }
        text.truncate(out - text.constData());
        // The promise of the whole model: an unedited text writes back the
        // very bytes it was read from.
        if (form.bytes(text) == bytes)
            return form;
    }
    text.clear();
    return std::nullopt;
}

void Form::replace(qsizetype position, qsizetype length, qsizetype newLength, const Breaks &breaks)
{
    const auto before = [](const OtherBreak &other, qsizetype at) { return other.position < at; };
    auto first = std::lower_bound(m_otherBreaks.begin(), m_otherBreaks.end(), position, before);
    auto last = std::lower_bound(first, m_otherBreaks.end(), position + length, before);
    for (auto moved = last; moved != m_otherBreaks.end(); ++moved)
        moved->position += newLength - length;
    m_otherBreaks.insert(m_otherBreaks.erase(first, last), breaks.begin(), breaks.end());
}

void Form::edit(qsizetype position, qsizetype removed, QStringView added, int step)
{
    const auto before = [](const OtherBreak &other, qsizetype at) { return other.position < at; };
    const auto first = std::lower_bound(m_otherBreaks.begin(), m_otherBreaks.end(), position, before);
    Edit made { step, position, removed, added.size(),
        Breaks(first, std::lower_bound(first, m_otherBreaks.end(), position + removed, before)), {} };
    if (removed == added.size()) {
        for (const OtherBreak &other : made.before) {
            if (added[other.position - position] == u'\n')
                made.after.push_back(other);
        }
    }
    replace(position, removed, added.size(), made.after);
    m_history.erase(m_history.begin() + qsizetype(m_done), m_history.end());
    // Letters typed one after another in one step are one edit.
    Edit *last = m_history.empty() ? nullptr : &m_history.back();
    if (last && last->step == step && last->removed == 0 && removed == 0
        && position == last->position + last->added) {
        last->added += added.size();
        return;
    }
    m_history.push_back(std::move(made));
    m_done = m_history.size();
}

void Form::undoTo(int step)
{
    for (; m_done > 0 && m_history[m_done - 1].step > step; --m_done) {
        const Edit &undone = m_history[m_done - 1];
        replace(undone.position, undone.added, undone.removed, undone.before);
    }
    for (; m_done < m_history.size() && m_history[m_done].step <= step; ++m_done) {
        const Edit &redone = m_history[m_done];
        replace(redone.position, redone.removed, redone.added, redone.after);
    }
}

QString pasted(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    for (const char16_t lineBreak : { u'\r', u'\u2028', u'\u2029', u'\u0085' })
        text.replace(QChar(lineBreak), QLatin1Char('\n'));
    return text;
}

std::optional<QByteArray> Form::bytes(QStringView text) const
{
    if (!unencodable(text).isEmpty())
        return std::nullopt;
    const QStringView lineEnd = BreakTexts[qsizetype(m_lineEnd)];
    QString written;
    written.reserve(text.size() + (lineEnd.size() - 1) * text.count(u'\n')
        + 2 * qsizetype(m_otherBreaks.size()) + lineEnd.size());
    auto other = m_otherBreaks.begin();
    qsizetype from = 0;
    QStringView previous;
    for (qsizetype at = text.indexOf(u'\n'); at >= 0; at = text.indexOf(u'\n', from)) {
        written += text.sliced(from, at - from);
        while (other != m_otherBreaks.end() && other->position < at)
            ++other;
        const bool differs = other != m_otherBreaks.end() && other->position == at;
        QStringView lineBreak = differs ? BreakTexts[qsizetype(other->kind)] : lineEnd;
        // A LF right after a CR would read back as one CR LF: it is written
        // as a CR LF of its own.
        if (lineBreak == u"\n" && at == from && previous == u"\r")
            lineBreak = BreakTexts[qsizetype(Break::CrLf)];
        written += lineBreak;
        previous = lineBreak;
        from = at + 1;
    }
    written += text.sliced(from);
    if (m_closingLineEnd)
        written += lineEnd;
    return encode(m_encoding, written);
}

QList<qsizetype> Form::unencodable(QStringView text) const
{
    QList<qsizetype> result;
    const char16_t *data = reinterpret_cast<const char16_t *>(text.utf16());
    for (qsizetype at = 0; at < text.size(); ++at) {
        const char16_t c = data[at];
        const bool pair
            = QChar::isHighSurrogate(c) && at + 1 < text.size() && QChar::isLowSurrogate(data[at + 1]);
        if (m_encoding == Encoding::Windows1252 ? !codePage().test(c) : QChar::isSurrogate(c) && !pair)
            result.append(at);
        at += pair;
    }
    return result;
}

QString describe(QStringView text, qsizetype position)
{
    const char16_t first = text.at(position).unicode();
    const bool pair = QChar::isHighSurrogate(first) && position + 1 < text.size()
        && text.at(position + 1).isLowSurrogate();
    const char32_t code = pair ? QChar::surrogateToUcs4(first, text.at(position + 1).unicode()) : first;
    const QString hex = QStringLiteral("U+") + QString::number(code, 16).toUpper().rightJustified(4, u'0');
    QString name;
    switch (code) {
    case 0x00A0:
        name = QStringLiteral("spazio unificatore");
        break;
    case 0x00AD:
        name = QStringLiteral("trattino invisibile");
        break;
    case 0x200B:
        name = QStringLiteral("spazio invisibile");
        break;
    case 0x200C:
        name = QStringLiteral("separatore invisibile");
        break;
    case 0x200D:
    case 0x2060:
        name = QStringLiteral("unione invisibile");
        break;
    case 0x2028:
        name = QStringLiteral("separatore di riga");
        break;
    case 0xFEFF:
        name = QStringLiteral("spazio invisibile unificatore");
        break;
    default:
        switch (QChar::category(code)) {
        case QChar::Other_Control:
            name = QStringLiteral("carattere di controllo");
            break;
        case QChar::Other_Format:
            name = QStringLiteral("carattere di formato invisibile");
            break;
        case QChar::Other_Surrogate:
            name = QStringLiteral("metà di un carattere");
            break;
        case QChar::Separator_Space:
            name = code == u' ' ? QString() : QStringLiteral("spazio speciale");
            break;
        default:
            break;
        }
    }
    if (!name.isEmpty())
        return hex + QLatin1Char(' ') + name;
    return QStringLiteral("«%1» %2").arg(text.sliced(position, pair ? 2 : 1), hex);
}

ReadResult read(const QString &path)
{
    const auto refuse = [&path](const QString &reason) {
        return ReadResult { {}, {},
            QStringLiteral("Il file\r\n%1\r\n%2").arg(QDir::toNativeSeparators(shownName(path)), reason),
            {} };
    };
    // A folder, a pipe or a device is no file of text, and its size is known
    // before a byte is read.
    ReadResult result;
    const UserFile::Bytes file = UserFile::read(path, LargestFile, &result.stamp);
    switch (file.problem) {
    case UserFile::Problem::None:
        break;
    case UserFile::Problem::Missing:
        return refuse(QStringLiteral("non esiste."));
    case UserFile::Problem::TooBig:
        return refuse(
            QStringLiteral("è troppo grande per l'esercizio: al massimo %1 MB.").arg(LargestFile / MegaByte));
    case UserFile::Problem::ReadFailed:
        // A file opened has its stamp begun: it failed while it was read.
        return refuse(result.stamp.size < 0
                ? QStringLiteral("non si può leggere.")
                : QStringLiteral("non si può leggere per intero: forse è cambiato mentre veniva letto."));
    default:
        return refuse(QStringLiteral("non è un file di testo."));
    }
    const std::optional<Form> form = Form::read(file.bytes, result.text);
    if (!form) {
        switch (markOf(file.bytes)) {
        case Mark::Utf32:
            return refuse(QStringLiteral("è un testo Unicode di un tipo (UTF-32) che l'esercizio non apre."));
        case Mark::None:
            return refuse(QStringLiteral("non si può mostrare esattamente nell'esercizio."));
        default:
            return refuse(
                QStringLiteral("sembra un testo Unicode, ma è danneggiato: l'esercizio non lo apre."));
        }
    }
    const QLocale italian(QLocale::Italian);
    const auto [line, run] = longest(result.text);
    if (line > LongestLine) {
        return refuse(
            QStringLiteral("ha una riga troppo lunga per l'esercizio: al massimo %1 caratteri in una riga.")
                .arg(italian.toString(LongestLine)));
    }
    if (run > LongestRun) {
        return refuse(
            QStringLiteral("ha una parola troppo lunga per l'esercizio: al massimo %1 caratteri senza spazi.")
                .arg(italian.toString(LongestRun)));
    }
    result.form = *form;
    return result;
}

UserFile::Written write(const QString &path, const QByteArray &bytes)
{
    return UserFile::write(path, bytes);
}

bool exists(const QString &path)
{
    struct stat info;
    return ::lstat(UserFile::nativeName(path).constData(), &info) == 0;
}

bool sameFile(const QString &a, const QString &b)
{
    const std::optional<struct stat> first = status(a), second = status(b);
    return a == b || (first && second && first->st_dev == second->st_dev && first->st_ino == second->st_ino);
}

QString writeFailedText(const QString &path, const UserFile::Written &written)
{
    return QStringLiteral("Il file\r\n%1\r\nnon si può scrivere: %2.\r\n\r\nIl file di prima, se c'era, è "
                          "rimasto com'era.")
        .arg(QDir::toNativeSeparators(shownName(path)), UserFile::reasonText(written));
}

QString saveName(const QString &name)
{
    if (name.endsWith(QLatin1String(".txt")) || name.endsWith(QLatin1String(".TXT")))
        return name;
    return name + QStringLiteral(".txt");
}

} // namespace TextFile
