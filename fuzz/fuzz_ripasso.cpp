// Arbitrary bytes as the review's file ripasso.tsv: read, today's words of a
// table made of the words read, answers with grades and days taken from the
// input (up to the last day a date holds), a write, and a read of what was
// written. Every line kept must read back as written (the same text), every
// value within its range.

#include "review.h"
#include "wordtable.h"

#include <QDir>
#include <QTemporaryDir>

#include <fuzzer/FuzzedDataProvider.h>

#include "require.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    // The answers are taken from the end of the input, so that a corpus file reads from its start as the
    // file.
    FuzzedDataProvider data(bytes, size);
    const int answers = data.ConsumeIntegralInRange(0, 8);
    const std::string file = data.ConsumeBytesAsString(data.ConsumeIntegralInRange<size_t>(0, size));
    // In memory where the system has it: each write of the store is synced to disk, which on a disk
    // would hold the target to about a hundred inputs a second.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
            ? QStringLiteral("/dev/shm/fuzz_ripasso-XXXXXX")
            : QDir::tempPath() + QStringLiteral("/fuzz_ripasso-XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("ripasso.tsv"));
    QFile out(path);
    require(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(file.data(), qint64(file.size()));
    out.close();

    Review::Store store;
    store.read(path);
    if (!store.writable())
        return 0; // another version, never written
    WordTable words;
    for (const Review::Card &card : store.cards().mid(0, 50))
        words.append(u" 1  ", card.english.left(50), card.italian.left(50));
    for (const Direction direction : { Direction::EnglishToItalian, Direction::ItalianToEnglish })
        for (const int row : Review::plan(words, {}, store, { 2026, 12, 6 }, direction).rows)
            require(row >= 0 && row < words.count());

    for (int i = 0; i < answers && !store.cards().isEmpty(); ++i) {
        const Review::Card card
            = store.cards().at(data.ConsumeIntegralInRange<qsizetype>(0, store.cards().size() - 1));
        const auto grade = Fsrs::Grade(data.ConsumeIntegralInRange(1, 4));
        const QDate day = QDate(9999, 12, 31).addDays(-data.ConsumeIntegralInRange(0, 4000000));
        const Review::Card *after = store.answer(card.english, card.italian, card.direction, grade, day);
        require(after && after->due >= after->lastReview && after->due <= QDate(9999, 12, 31));
        require(
            after->memory.stability >= Fsrs::MinStability && after->memory.stability <= Fsrs::MaxStability);
        require(after->reviews >= 1 && after->lapses <= after->reviews);
    }
    const QByteArray written = store.text();
    require(store.write(path));
    Review::Store again;
    require(again.read(path) == Review::Store::Status::Read);
    require(again.text() == written && again.leftOut() == 0);
    return 0;
}
