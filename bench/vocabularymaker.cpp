#include "vocabularymaker.h"

#include <QStringEncoder>

#include <array>
#include <cstdint>

namespace {
// English words with their Italian translations; the prompts below combine
// them so that every row gets a text of its own, while some prompts repeat.
constexpr std::array<std::pair<const char *, const char *>, 40> Words { {
    { "house", "casa" },       { "light", "luce" },        { "run", "correre" },      { "book", "libro" },
    { "water", "acqua" },      { "window", "finestra" },   { "city", "città" },       { "coffee", "caffè" },
    { "why", "perché" },       { "street", "strada" },     { "friend", "amico" },     { "table", "tavolo" },
    { "green", "verde" },      { "to go", "andare" },      { "to eat", "mangiare" },  { "sea", "mare" },
    { "tree", "albero" },      { "morning", "mattina" },   { "evening", "sera" },     { "bread", "pane" },
    { "school", "scuola" },    { "old", "vecchio" },       { "new", "nuovo" },        { "hand", "mano" },
    { "to say", "dire" },      { "to see", "vedere" },     { "work", "lavoro" },      { "time", "tempo" },
    { "child", "bambino" },    { "kitchen", "cucina" },    { "to sleep", "dormire" }, { "train", "treno" },
    { "mountain", "montagna" }, { "question", "domanda" }, { "answer", "risposta" },  { "nose", "naso" },
    { "weather", "tempo" },    { "busy", "occupato" },     { "quiet", "tranquillo" }, { "still", "ancora" },
} };
constexpr std::array<const char *, 8> Remarks { "[femminile]", "[plurale]", "[verbo]", "[familiare]",
                                                "[formale]",   "[nome]",    "[raro]",  "[antico]" };
constexpr std::array<const char *, 6> Extras { "abitazione", "dimora", "di nuovo", "già", "però", "sé" };

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
    for (int row = 0; row < rows; ++row) {
        const auto &[english, italian] = Words[next() % Words.size()];
        const auto &[english2, italian2] = Words[next() % Words.size()];
        const int lesson = 1 + int(next() % 20);
        const bool critical = next() % 25 == 0;
        // About one prompt in eight is shared: a bare common word. The others
        // carry a number that makes them unique, as "house 12" would not be
        // real, but their length and letters are.
        QString en = QString::fromLatin1(english);
        QString it = QString::fromUtf8(italian);
        switch (row % 8) {
        case 0:
            break; // shared prompt
        case 1:
            en += QStringLiteral(" (%1)").arg(QString::fromLatin1(english2));
            it += QStringLiteral(" (%1, %2)").arg(QString::fromUtf8(Extras[next() % Extras.size()]),
                                                  QString::fromUtf8(italian2));
            break;
        case 2:
            en += QLatin1Char(' ') + QString::fromLatin1(english2) + QLatin1Char(' ') + QString::number(row);
            it += QLatin1Char(' ') + QString::fromUtf8(Remarks[next() % Remarks.size()]);
            break;
        case 3:
            en = QStringLiteral("the %1 of the %2 %3").arg(en, QString::fromLatin1(english2)).arg(row);
            it = QStringLiteral("il %1 del %2").arg(it, QString::fromUtf8(italian2));
            break;
        default:
            en += QLatin1Char(' ') + QString::number(row);
            it += QStringLiteral(" (%1)").arg(QString::fromUtf8(italian2));
            break;
        }
        text += QString::number(lesson).rightJustified(2, QLatin1Char(' ')) + QLatin1Char(' ')
            + QLatin1Char(critical ? 'c' : ' ') + QLatin1Char(' ') + column(en, 50) + column(it, 50).trimmed()
            + QStringLiteral("\r\n");
        if (row % 5000 == 4999)
            text += QStringLiteral("## fine del blocco %1\r\n").arg(row / 5000 + 1);
    }
    QStringEncoder encode("windows-1252");
    return encode.encode(text);
}
