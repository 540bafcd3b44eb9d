#pragma once

#include "textfile.h"

#include <QStringEncoder>

// The promise of the text handling, for a file and edits made from a recipe of bytes (random in the tests,
// the input of fuzz_textfile): a file read and saved without an edit gives its very bytes back; after any
// edits a save writes the text in the file's encoding, every break the edits left alone with its own line end
// and every new one with the file's, or is refused for the characters the encoding cannot hold; and what a
// save writes reads back as the same text. Returns what failed, empty when all held. Each step is one pass.
namespace TextCases {

using TextFile::Break;
using TextFile::Encoding;

const QString Typed = QStringLiteral("ab cèé€ñ\tÿ\u0081");
const QString Foreign = QStringLiteral("Łź\u200B\u2028😀"); // no place in Windows-1252
const QList<QStringView> BreakBytes { u"\r\n", u"\n", u"\r", u"\u2029" };
constexpr char NewBreak = 9; // a break typed or pasted: the file's line end

// The bytes of `text`, whose `kinds` tell each '\n' how it is written.
inline QByteArray encoded(QStringView text, const QByteArray &kinds, Encoding encoding, Break lineEnd)
{
    QString written;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n') {
            written += text[i];
            continue;
        }
        QStringView kind = BreakBytes[kinds[i] == NewBreak ? qsizetype(lineEnd) : kinds[i]];
        if (kind == u"\n" && written.endsWith(u'\r') && i > 0 && text[i - 1] == u'\n')
            kind = u"\r\n"; // not to be read back as one CR LF
        written += kind;
    }
    static const char *const names[] { "windows-1252", "UTF-8", "UTF-8", "UTF-16LE", "UTF-16BE" };
    static const char *const boms[] { "", "", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF" };
    return QByteArray(boms[int(encoding)]) + QStringEncoder(names[int(encoding)]).encode(written);
}

inline QString check(QByteArrayView recipe)
{
    qsizetype used = 0;
    const auto next = [&] { return used < recipe.size() ? uint(uchar(recipe[used++])) : 0u; };
    const auto encoding = Encoding(next() % 5);
    const bool unicode = encoding != Encoding::Windows1252;
    const QString pool = Typed + Foreign;
    const QString filePool = unicode ? Typed + Foreign.chopped(2) : Typed;
    // The file: letters, line ends of every kind, long runs and long lines of words. A Windows-1252 file
    // starts with "èx", which no UTF-8 file holds; a UTF-8 one without a mark ends beyond ASCII.
    QString text = unicode ? QString() : QStringLiteral("èx");
    QByteArray kinds(text.size(), 0);
    while (used < recipe.size() && text.size() < 200'000) {
        const uint step = next();
        QString added;
        if (step % 16 < 3 || (unicode && step % 16 == 3)) {
            added = QStringLiteral("\n");
            const bool afterCr = text.endsWith(u'\n') && kinds.back() == char(Break::Cr);
            kinds += step % 16 == 1 && afterCr ? char(Break::CrLf) : char(step % 16); // what a file holds
        } else if (step % 16 == 4) {
            added = QString(int(next() + 1) * 40, QLatin1Char('x'));
        } else if (step % 16 == 5) {
            added = QStringLiteral("parola ").repeated(next() + 1);
        } else {
            added = filePool.mid(step % filePool.size(), 1);
        }
        kinds += QByteArray(added.size() - (added == u"\n"), 0);
        text += added;
    }
    if (encoding == Encoding::Utf8
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; })) {
        text += QStringLiteral("è");
        kinds += '\0';
    }
    const QByteArray bytes = encoded(text, kinds, encoding, Break::CrLf);
    QString shown;
    const std::optional<TextFile::Form> read = TextFile::Form::read(bytes, shown);
    if (!read || shown != text || read->encoding() != encoding)
        return QStringLiteral("the file is not read as it was made");
    TextFile::Form form = *read;
    if (form.bytes(text) != bytes)
        return QStringLiteral("a save without an edit changes the file");

    // Edits as keys and the clipboard make them, often at a line's start or end; never inside a pair.
    for (uint edits = next() % 12; edits > 0; --edits) {
        const uint what = next() % 7;
        qsizetype at = (next() * 257 + next()) % (text.size() + 1);
        if (next() % 2) {
            const qsizetype lineEnd = text.indexOf(u'\n', at);
            at = lineEnd < 0 ? text.size() : lineEnd + qsizetype(next() % 2);
        }
        const auto pairAt = [&](qsizetype p) {
            return p >= 0 && p + 1 < text.size() && text[p].isHighSurrogate() && text[p + 1].isLowSurrogate();
        };
        at -= pairAt(at - 1);
        qsizetype end = at;
        QString added;
        switch (what) {
        case 0: // a letter typed
            added = pool.mid(next() % pool.size(), 2);
            if (added.front().isLowSurrogate())
                added = QStringLiteral("z");
            else if (!added.front().isHighSurrogate())
                added.truncate(1);
            break;
        case 1: // Enter
            added = QStringLiteral("\n");
            break;
        case 2: // Backspace, Shift+Backspace
            at = std::max<qsizetype>(at - 1 - pairAt(at - 2), 0);
            break;
        case 3: // Delete
            end = std::min(at + 1 + pairAt(at), text.size());
            break;
        case 4: // paste
            added = next() % 2 ? QStringLiteral("uno\ndue\n") : QString(int(next()) * 20, QLatin1Char('y'));
            break;
        default: // cut, select and type
            end = std::min<qsizetype>(at + next() % 40, text.size());
            end -= pairAt(end - 1);
            if (what == 6)
                added = QStringLiteral("k");
        }
        QByteArray newKinds(added.size(), 0);
        for (qsizetype i = 0; i < added.size(); ++i)
            newKinds[i] = added[i] == u'\n' ? NewBreak : 0;
        text.replace(at, end - at, added);
        kinds.replace(at, end - at, newKinds);
        form.edit(at, end - at, added.size());
    }

    QList<qsizetype> foreign;
    for (qsizetype i = 0; i < text.size() && !unicode; ++i) {
        if (Foreign.contains(text[i]) && !text[i].isLowSurrogate())
            foreign.append(i);
    }
    if (form.unencodable(text) != foreign)
        return QStringLiteral("the characters the encoding cannot hold are not the ones found");
    const std::optional<QByteArray> saved = form.bytes(text);
    if (!foreign.isEmpty())
        return saved ? QStringLiteral("a text the encoding cannot hold is written") : QString();
    if (saved != encoded(text, kinds, encoding, form.lineEnd()))
        return QStringLiteral("the save is not the text as edited in the file's form");
    if (!TextFile::Form::read(*saved, shown) || shown != text)
        return QStringLiteral("the save does not read back as the text");
    return {};
}

} // namespace TextCases
