// Arbitrary bytes as the vocabulary file: both parse stages with the bracket
// rule, the lesson states and the first selection, then a selection built
// from options taken from the input, a few draws, the answer builders in both
// directions and the answer check for every drawn word. The save text of the
// parsed file must read back to the same comments and word lines, none of
// them left out with a message. Every message, which may quote the file's
// words, must fit its box.

#include "drill.h"
#include "mainrules.h"
#include "platform.h"
#include "session.h"
#include "vocabularyfile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include "fits.h"
#include "require.h"

namespace {
// Message boxes answer with their first button, or Cancel when the input says
// so, once their text is checked to fit; random numbers come from the input.
class FuzzPlatform : public Platform
{
public:
    explicit FuzzPlatform(FuzzedDataProvider &data)
        : m_data(data)
    {
    }
    Answer message(const QString &title, const QString &text, Buttons buttons, Icon) override
    {
        ++shown;
        requireShownFits(title);
        requireShownFits(text);
        if (buttons == Buttons::OkCancel && m_data.ConsumeBool())
            return Answer::Cancel;
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
    void beep(int) override { }
    double random() override
    {
        // [0, 1), with the largest values below 1 that a double holds.
        return m_data.ConsumeProbability<double>() * 0.9999999999999999;
    }
    void seedRandomFromClock() override { }
    QDate currentDate() override { return { 2026, 12, 6 }; }
    QTime currentTime() override { return { 9, 0 }; }
    QSize screenSize() override { return { 1280, 1024 }; }
    QString currentFolder() override { return QStringLiteral("/"); }
    QString askFileName(const FileQuestion &) override { return QString(); }
    int shown = 0; // messages so far

private:
    FuzzedDataProvider &m_data;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    // The options and the random numbers are taken from the end of the
    // input, so that a corpus file reads from its start like a vocabulary.
    FuzzedDataProvider data(bytes, size);
    const int order = data.ConsumeIntegralInRange(1, 4);
    const uint32_t lessons = data.ConsumeIntegral<uint32_t>();
    const int draws = data.ConsumeIntegralInRange(1, 6);
    const std::string file = data.ConsumeBytesAsString(data.ConsumeIntegralInRange<size_t>(0, size));
    FuzzPlatform platform(data);

    Session session;
    const QString text = Vocabulary::decode(QByteArray(file.data(), qsizetype(file.size())));
    const Vocabulary::FileText split = Vocabulary::splitFileText(text);
    if (!Vocabulary::parseWordList(
            split.wordText, session.words, session.memoc, session.selection.builtFromCritical(), platform)
        || !MainRules::fillLessonState(session))
        return 0; // the program refuses to start

    // A save writes what the next start-up reads back unchanged, and without a
    // word about a line it leaves out.
    const Vocabulary::SaveProblem problem = Vocabulary::checkBeforeSave(split.wordText);
    if (!problem) {
        require(platform.shown == 0);
        bool encoded = false;
        const QByteArray saved
            = Vocabulary::encode(Vocabulary::saveText(split.comments, split.wordText), &encoded);
        require(encoded);
        const Vocabulary::FileText again = Vocabulary::splitFileText(Vocabulary::decode(saved));
        require(again.comments == split.comments && again.wordText == split.wordText);
    }

    WordSelection &selection = session.selection;
    selection.options.order = OrderMode(order);
    for (int k = 0; k <= MaxLesson; ++k)
        selection.options.Ckles[std::size_t(k)] = lessons & (1u << k);
    selection.rebuildNeeded = true;
    selection.buildSelection(session.words, session.memoc);

    for (int i = 0; i < draws; ++i) {
        const Direction direction = i % 2 ? Direction::ItalianToEnglish : Direction::EnglishToItalian;
        Drill drill(session, platform, direction);
        drill.load();
        if (!drill.start())
            continue;
        require(selection.currentWord >= 0 && selection.currentWord < session.words.count());
        const AcceptedAnswers &answers = session.drill.answers;
        require(answers.answerCount() <= Answers::MaxEntries);
        // Typing the first accepted answer letter by letter ends the question.
        const QString answer
            = answers.answerCount() > 0 ? answers.acceptedAnswers.constFirst() : drill.answer();
        bool done = false;
        for (qsizetype n = 1; n <= answer.size() && !done; ++n)
            done = drill.typingChanged(answer.left(n));
        if (!answer.isEmpty())
            require(done);
        drill.showSynonyms();
        session.words.refreshLessons(session.memoc.words());
    }
    return 0;
}
