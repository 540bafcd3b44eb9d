#include "vocabularymaker.h"

#include "lessons.h"

#include <QStringEncoder>
#include <QStringList>

#include <array>
#include <cstdint>

namespace {
// Made-up words from syllables, so that a vocabulary of any size has as many
// different texts as a real one, with letters and lengths like real words.
constexpr std::array<const char *, 24> EnglishSyllables { "ba", "con", "der", "fi", "gal", "hen", "ing", "jo",
    "ker", "lo", "man", "ner", "or", "pen", "qua", "ros", "ster", "tin", "un", "ver", "wal", "by", "yel",
    "zo" };
constexpr std::array<const char *, 24> ItalianSyllables { "ca", "sa", "mo", "ri", "ten", "por", "lu", "ce",
    "gio", "va", "ne", "to", "pi", "an", "do", "le", "mi", "ra", "so", "fè", "bel", "chi", "gno", "zio" };
constexpr std::array<const char *, 8> Remarks { "[femminile]", "[plurale]", "[verbo]", "[familiare]",
    "[formale]", "[nome]", "[raro]", "[antico]" };

QString column(const QString &text, int width)
{
    return text.left(width).leftJustified(width, QLatin1Char(' '));
}
} // namespace

QByteArray makeVocabulary(int rows)
{
    QString text;
    text.reserve(qsizetype(rows) * 108 + 200);
    text += QStringLiteral("## Vocabolario di prova generato per le misure\r\n");
    text += QStringLiteral("## Colonne: 1-2 lezione, 4 critica, 6-55 inglese, 56-105 italiano\r\n");

    std::uint32_t state = 12345u;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    const auto word = [&next](const auto &syllables) {
        QString w;
        const int count = 2 + int(next() % 2);
        for (int i = 0; i < count; ++i)
            w += QString::fromUtf8(syllables[next() % syllables.size()]);
        return w;
    };
    QStringList englishSoFar;
    QStringList italianSoFar;
    englishSoFar.reserve(rows);
    italianSoFar.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        const int lesson = 1 + int(next() % MaxLesson);
        const bool critical = next() % 25 == 0;
        QString en = word(EnglishSyllables);
        QString it = word(ItalianSyllables);
        switch (row % 10) {
        case 0: // an English prompt that an earlier word has too
            if (row > 0)
                en = englishSoFar.at(int(next() % unsigned(row)));
            break;
        case 1: // alternatives on both sides
            en += QStringLiteral(" (%1)").arg(word(EnglishSyllables));
            it += QStringLiteral(" (%1, %2)").arg(word(ItalianSyllables), word(ItalianSyllables));
            break;
        case 2: // a remark
            it += QLatin1Char(' ') + QString::fromLatin1(Remarks[next() % Remarks.size()]);
            break;
        case 3: // a phrase
            en = QStringLiteral("to %1 the %2").arg(en, word(EnglishSyllables));
            it = QStringLiteral("%1 il %2").arg(it, word(ItalianSyllables));
            break;
        case 4: // an Italian prompt that an earlier word has too
            if (row > 0)
                it = italianSoFar.at(int(next() % unsigned(row)));
            break;
        default:
            it += QStringLiteral(" (%1)").arg(word(ItalianSyllables));
            break;
        }
        englishSoFar.append(en);
        italianSoFar.append(it);
        text += QString::number(lesson).rightJustified(2, QLatin1Char(' ')) + QLatin1Char(' ')
            + QLatin1Char(critical ? 'c' : ' ') + QLatin1Char(' ') + column(en, 50) + column(it, 50).trimmed()
            + QStringLiteral("\r\n");
        if (row % 5000 == 4999)
            text += QStringLiteral("## fine del blocco %1\r\n").arg(row / 5000 + 1);
    }
    QStringEncoder encode("windows-1252");
    return encode.encode(text);
}
