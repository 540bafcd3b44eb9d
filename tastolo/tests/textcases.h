#pragma once

#include "textfile.h"

#include <QStringEncoder>
#include <QStringList>

// The promise of the text handling, for a file and edits made from a recipe of bytes (random in tst_core,
// the input of fuzz_textfile): a file is read in the encoding it was made in, its most frequent line end is
// given to new breaks, and it saves back unchanged; after the edits a save writes the text in the file's
// encoding, every break left alone with its own line end, or is refused for the characters the encoding
// cannot hold; and it reads back as the text. Returns what failed, empty when all held. Linear in the size.
namespace TextCases {

using TextFile::Break;
using TextFile::Encoding;

// The last five have no place in Windows-1252; the emoji is not put in a file, only typed.
const QStringList Letters { "a", "b", " ", "è", "€", "\t", "ÿ", "\u0081", "Ł", "ź", "\u200B", "\u2028", "😀" };
constexpr qsizetype Foreign = 5;
// In the model's text each break is one of these, in the area's a '\n'.
constexpr char16_t CrLf = 0xE000, NewBreak = 0xE009; // CR LF, LF, CR, U+2029, U+FDD0, U+FDD1; one typed
const QList<QStringView> BreakBytes { u"\r\n", u"\n", u"\r", u"\u2029", u"\uFDD0", u"\uFDD1" };

inline QByteArray encoded(QStringView model, Encoding encoding, Break lineEnd)
{
    QString written;
    for (const QChar c : model) {
        if (c.unicode() < CrLf || c.unicode() > NewBreak) {
            written += c;
            continue;
        }
        QStringView kind = BreakBytes[c == QChar(NewBreak) ? qsizetype(lineEnd) : c.unicode() - CrLf];
        written += kind == u"\n" && written.endsWith(u'\r') ? u"\r\n" : kind; // else read back as one CR LF
    }
    static const char *const names[] { "windows-1252", "UTF-8", "UTF-8", "UTF-16LE", "UTF-16BE" };
    static const char *const boms[] { "", "", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF" };
    return QByteArray(boms[int(encoding)]) + QStringEncoder(names[int(encoding)]).encode(written);
}

inline QString shown(QString model)
{
    std::replace_if(
        model.begin(), model.end(), [](QChar c) { return c >= QChar(CrLf) && c <= QChar(NewBreak); }, u'\n');
    return model;
}

inline QString check(QByteArrayView recipe)
{
    qsizetype used = 0;
    const auto next = [&] { return used < recipe.size() ? uint(uchar(recipe[used++])) : 0u; };
    const auto encoding = Encoding(next() % 5);
    const bool unicode = encoding != Encoding::Windows1252;
    const qsizetype inFiles = next() % 4 == 0 ? 3 : Letters.size() - (unicode ? 1 : Foreign); // 3: ASCII only
    // The file: letters, line ends of every kind, long runs and long lines of words. A Windows-1252 file
    // beyond ASCII starts with "èx", which no UTF-8 file holds; a UTF-8 one without a mark ends beyond ASCII.
    QString model;
    while (used < recipe.size() && model.size() < 200'000) {
        const uint step = next();
        if (step % 16 < 3 || (unicode && (step % 16 == 3 || step % 16 > 13))) // LF after CR is read as CR LF
            model += QChar(model.endsWith(QChar(CrLf + 2)) && step % 16 == 1 ? CrLf : CrLf + step % 16 % 10);
        else if (step % 16 == 4)
            model += QString(int(next() + 1) * 40, QLatin1Char('x'));
        else if (step % 16 == 5)
            model += QStringLiteral("parola ").repeated(next() + 1);
        else
            model += Letters[step % inFiles];
    }
    const QString visible = shown(model); // its breaks are no characters beyond ASCII
    const bool ascii = std::all_of(visible.begin(), visible.end(), [](QChar c) { return c < u'\x80'; });
    if (ascii && encoding == Encoding::Utf8)
        model += QStringLiteral("è");
    else if (!ascii && !unicode)
        model.prepend(QStringLiteral("èx"));
    const QByteArray bytes = encoded(model, encoding, Break::CrLf);
    QString text;
    std::optional<TextFile::Form> form = TextFile::Form::read(bytes, text);
    const qsizetype counts[3] { model.count(QChar(CrLf)), model.count(QChar(CrLf + 1)),
        model.count(QChar(CrLf + 2)) };
    const auto lineEnd = Break(std::max_element(counts, counts + 3) - counts);
    if (!form || text != shown(model) || form->encoding() != encoding || form->lineEnd() != lineEnd
        || form->bytes(text) != bytes)
        return QStringLiteral("the file does not read as it was made, or does not save back unchanged");

    // Edits as keys and the clipboard make them, often at a line's start or end; never inside a pair.
    for (uint edits = next() % 12; edits > 0; --edits) {
        const uint what = next() % 7;
        qsizetype at = (next() * 257 + next()) % (model.size() + 1);
        if (next() % 2) {
            const qsizetype nextBreak = shown(model).indexOf(u'\n', at);
            at = nextBreak < 0 ? model.size() : nextBreak + qsizetype(next() % 2);
        }
        const auto pairAt = [&](auto p) { return p >= 0 && p < model.size() && model[p].isHighSurrogate(); };
        at -= pairAt(at - 1);
        qsizetype end = at;
        QString added;
        if (what == 0) // a letter typed
            added = Letters[next() % Letters.size()];
        else if (what == 1) // Enter
            added = QChar(NewBreak);
        else if (what == 2) // Backspace, Shift+Backspace
            at = std::max<qsizetype>(at - 1 - pairAt(at - 2), 0);
        else if (what == 3) // Delete
            end = std::min(at + 1 + pairAt(at), model.size());
        else if (what == 4) // paste
            added = next() % 2 ? QStringLiteral("uno") + QChar(NewBreak) + QStringLiteral("due")
                               : QString(int(next()) * 20, QLatin1Char('y'));
        else // cut, select and type
            end = std::min<qsizetype>(at + next() % 40, model.size());
        if (what == 6)
            added = QStringLiteral("k");
        end -= pairAt(end - 1);
        model.replace(at, end - at, added);
        form->edit(at, end - at, added.size());
    }

    text = shown(model);
    const QString foreignLetters = Letters.sliced(Letters.size() - Foreign).join(QString());
    QList<qsizetype> foreign;
    for (qsizetype i = 0; i < text.size() && !unicode; ++i)
        if (foreignLetters.contains(text[i]) && !text[i].isLowSurrogate())
            foreign.append(i);
    if (form->unencodable(text) != foreign)
        return QStringLiteral("the characters the encoding cannot hold are not the ones found");
    const std::optional<QByteArray> saved = form->bytes(text);
    if (!foreign.isEmpty())
        return saved ? QStringLiteral("a text the encoding cannot hold is written") : QString();
    if (saved != encoded(model, encoding, form->lineEnd()))
        return QStringLiteral("the save is not the text as edited in the file's form");
    if (!TextFile::Form::read(*saved, text) || text != shown(model))
        return QStringLiteral("the save does not read back as the text");
    return {};
}

} // namespace TextCases
