#pragma once

#include "textfile.h"

#include <QStringEncoder>
#include <QStringList>

// The promise of the text handling, for a file and edits made from a recipe of bytes (random in tst_core,
// the input of fuzz_textfile): a file is read in the encoding it was made in, its most frequent line end is
// given to new breaks, and it saves back unchanged; after the edits a save writes the text in the file's
// encoding, every break left alone with its own line end, or is refused for the characters the encoding
// cannot hold; and it reads back as the text. Returns what failed, empty when all held. Linear in the recipe.
namespace TextCases {

using TextFile::Break;
using TextFile::Encoding;

// The last five have no place in Windows-1252; the emoji is not put in a file, only typed.
const QStringList Letters { "a", "b", " ", "è", "€", "\t", "ÿ", "\u0081", "Ł", "ź", "\u200B", "\u2028", "😀" };
constexpr qsizetype Foreign = 5;
// In the model's text each break is one of these kinds (CR LF, LF, CR, U+2029, U+FDD0, U+FDD1) or one typed,
// in the area's a '\n'.
constexpr char16_t CrLf = 0xE000, NewBreak = 0xE006;
const QStringView BreakBytes[] { u"\r\n", u"\n", u"\r", u"\u2029", u"\uFDD0", u"\uFDD1" };

inline bool isBreak(QChar c)
{
    return c >= QChar(CrLf) && c <= QChar(NewBreak);
}

inline QString shown(QString model)
{
    std::replace_if(model.begin(), model.end(), isBreak, u'\n');
    return model;
}

inline QByteArray encoded(QStringView model, Encoding encoding, Break lineEnd)
{
    QString written;
    for (const QChar c : model) {
        if (!isBreak(c)) {
            written += c;
            continue;
        }
        const QStringView kind = BreakBytes[c == QChar(NewBreak) ? qsizetype(lineEnd) : c.unicode() - CrLf];
        written += kind == u"\n" && written.endsWith(u'\r') ? QStringView(u"\r\n") : kind; // else one CR LF
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
    const qsizetype inFiles = next() % 4 == 0 ? 3 : Letters.size() - (unicode ? 1 : Foreign); // 3: ASCII only
    // The file: letters and breaks of every kind the encoding takes. A Windows-1252 file beyond ASCII starts
    // with "èx", which no UTF-8 file holds; a UTF-8 one without a mark ends beyond ASCII.
    QString model;
    for (uint parts = next() * 2; parts > 0; --parts) {
        const uint part = next() % 16, kind = part < 3 ? part : part - 10; // U+2029 and the frames: 13 to 15
        if (part < 3 || (unicode && part > 12)) // a LF after a CR is read as CR LF
            model += QChar(model.endsWith(QChar(CrLf + 2)) && kind == 1 ? CrLf : CrLf + kind);
        else
            model += Letters[part % inFiles];
    }
    const QString visible = shown(model); // its breaks are no characters beyond ASCII
    const bool ascii = std::all_of(visible.begin(), visible.end(), [](QChar c) { return c < u'\x80'; });
    if (ascii && encoding == Encoding::Utf8)
        model += "è";
    else if (!ascii && !unicode)
        model.prepend("èx");
    const QByteArray bytes = encoded(model, encoding, Break::CrLf);
    QString text;
    std::optional<TextFile::Form> form = TextFile::Form::read(bytes, text);
    const qsizetype counts[3] { model.count(QChar(CrLf)), model.count(QChar(CrLf + 1)),
        model.count(QChar(CrLf + 2)) };
    if (!form || text != shown(model) || form->encoding() != encoding
        || form->lineEnd() != Break(std::max_element(counts, counts + 3) - counts)
        || form->bytes(text) != bytes)
        return "the file does not read as it was made, or does not save back unchanged";

    // Edits as keys and the clipboard make them, often at a line's start or end or where the last one
    // ended, never inside a pair; undo and redo. Each edit is a step of the history, or joins the last one as
    // typed letters do; the area also reports a range it only reformatted (as Enter on an empty line does)
    // as replaced by itself.
    QStringList steps { model }; // the text after each step of the history
    int step = 0;
    qsizetype caret = 0;
    const auto record = [&](qsizetype at, qsizetype end, const QString &added, bool joins) {
        model.replace(at, end - at, added);
        step += !joins;
        steps.resize(step);
        steps.append(model);
        form->edit(at, end - at, shown(added), step);
    };
    for (uint edits = next() % 32; edits > 0; --edits) {
        const uint what = next() % 8;
        for (int moves = what == 7 ? 2 : 0; moves > 0; --moves) { // undo some steps, then redo some
            step = std::clamp<int>(step + (moves == 2 ? -1 : 1) * int(next() % 3), 0, int(steps.size()) - 1);
            model = steps[step];
            form->undoTo(step);
        }
        if (what == 7)
            continue;
        qsizetype at
            = next() % 4 ? (next() * 257 + next()) % (model.size() + 1) : std::min(caret, model.size());
        if (next() % 2) { // at a line's end, or at the start of the next line
            while (at < model.size() && !isBreak(model[at]))
                ++at;
            at = std::min(at + qsizetype(next() % 2), model.size());
        }
        const auto pairAt = [&](auto p) { return p >= 0 && p < model.size() && model[p].isHighSurrogate(); };
        at -= pairAt(at - 1);
        qsizetype end = std::min<qsizetype>(at + (next() % 3 && what != 6 ? 0 : next() % 10), model.size());
        QString added;
        if (what == 0) // a letter typed
            added = Letters[next() % Letters.size()];
        else if (what == 1) // Enter
            added = QChar(NewBreak);
        else if (what == 2 && end == at) // Backspace
            at = std::max<qsizetype>(at - 1 - pairAt(at - 2), 0);
        else if (what == 3 && end == at) // Delete
            end = std::min(at + 1 + pairAt(at), model.size());
        else if (what == 4) // paste
            added = next() % 2 ? QChar(NewBreak) + QStringLiteral("uno") : QString(int(next() % 32), u'y');
        end -= pairAt(end - 1);
        if (what == 6) { // reformatted
            added = model.sliced(at, end - at);
            std::replace_if(added.begin(), added.end(), isBreak, QChar(NewBreak));
        } else if (what == 1 && at < model.size() && isBreak(model[at])
            && next() % 2) { // Enter at a line end
            record(at, at + 1, model[at], false);
        }
        // A break put where a break was, in a range replaced by as many characters, keeps its kind.
        for (qsizetype i = 0; end - at == added.size() && i < added.size(); ++i)
            added[i] = added[i] == QChar(NewBreak) && isBreak(model[at + i]) ? model[at + i] : added[i];
        record(at, end, added, what == 0 && next() % 2 && step > 0 && step + 1 == steps.size());
        caret = at + added.size();
    }

    text = shown(model);
    const QString foreignLetters = Letters.sliced(Letters.size() - Foreign).join(QString());
    QList<qsizetype> foreign;
    for (qsizetype i = 0; i < text.size() && !unicode; ++i)
        if (foreignLetters.contains(text[i]) && !text[i].isLowSurrogate())
            foreign.append(i);
    if (form->unencodable(text) != foreign)
        return "the characters the encoding cannot hold are not the ones found";
    const std::optional<QByteArray> saved = form->bytes(text);
    if (!foreign.isEmpty())
        return saved ? "a text the encoding cannot hold is written" : QString();
    if (saved != encoded(model, encoding, form->lineEnd()))
        return "the save is not the text as edited in the file's form";
    // A file without a mark whose bytes beyond ASCII are also UTF-8 is read as UTF-8: edits can make a
    // Windows-1252 text so ("è€\u0081" is E8 80 81), as no Italian text is. That text reads back as UTF-8.
    const std::optional<TextFile::Form> again = TextFile::Form::read(*saved, text);
    const bool alsoUtf8 = encoding == Encoding::Windows1252 && again && again->encoding() == Encoding::Utf8;
    if (!again || (text != shown(model) && !alsoUtf8))
        return "the save does not read back as the text";
    return {};
}

} // namespace TextCases
