#include "drill.h"

#include "platform.h"
#include "session.h"

#include <algorithm>

namespace {
const QString CaptionFromEnglish = QStringLiteral("    Prova dall' INGLESE");
const QString CaptionFromItalian = QStringLiteral("    Prova dall' Italiano");
const QString TimingFromEnglish = QStringLiteral("    Prova dall' INGLESE ... (tempo libero= ");
const QString TimingFromItalian = QStringLiteral("    Prova dall' ITALIANO ... (tempo libero= ");
const QString Translate = QStringLiteral("Traduci...");
const QString Slow = QStringLiteral("Sei lento!");

// Seconds a question may take before it costs points.
constexpr int MinFreeTime = 10;
// "Sei lento!" and the help button come after this many seconds, whatever the free time.
constexpr int SlowAfter = 10;
// Ticks of the waiting timer before "Allora?".
constexpr int WaitTicks = 5;
// The beeps: a short burst for a typing that leaves the answer, a long one
// for a right answer, one a second once the free time is over.
constexpr int WrongTypingBeeps = 5;
constexpr int RightAnswerBeeps = 40;
constexpr int OverTimeBeeps = 1;

int bounded(long long value)
{
    return int(std::clamp<long long>(value, Drill::MinValue, Drill::MaxValue));
}
} // namespace

Drill::Drill(Session &session, Platform &platform, Direction direction, WordSelection *selection)
    : m_session(session)
    , m_platform(platform)
    , m_selection(selection ? *selection : session.selection)
    , m_direction(direction)
{
    m_view.caption = openingCaption();
    m_view.command1Caption = QStringLiteral("Via!");
}

QString Drill::openingCaption() const
{
    return m_direction == Direction::EnglishToItalian ? CaptionFromEnglish : CaptionFromItalian;
}

DrillState &Drill::state()
{
    return m_session.drill;
}

const DrillState &Drill::state() const
{
    return m_session.drill;
}

QString Drill::answer() const
{
    return m_direction == Direction::EnglishToItalian ? state().italianWord : state().englishWord;
}

QString &Drill::answerRef()
{
    return m_direction == Direction::EnglishToItalian ? state().italianWord : state().englishWord;
}

int Drill::freeTimeFor(const QString &answer)
{
    return std::max(MinFreeTime, bounded(answer.size()));
}

void Drill::addPoints(int delta)
{
    m_session.points = bounded(static_cast<long long>(m_session.points) + delta);
}

QString Drill::pointsText() const
{
    return QString::number(m_session.points);
}

QString Drill::counterLine() const
{
    return QStringLiteral("Già fatti =%1 Critici =%2").arg(m_session.doneCount).arg(m_session.memoc.count());
}

void Drill::load()
{
    DrillState &s = state();
    s.lastPenalty = 0;
    // A question left open by a window that was closed does not go on in the new one.
    s.questionRunning = false;
    m_platform.seedRandomFromClock();
    m_view.command1Tip = QStringLiteral("Cliccami per cominciare ...");
}

bool Drill::start()
{
    WordSelection &selection = m_selection;
    const WordTable &words = m_session.words;
    const WordSelection::Draw draw = selection.drawWord(m_platform);
    if (draw != WordSelection::Draw::Drawn && draw != WordSelection::Draw::Repeated)
        return false;
    const int word = selection.currentWord;
    if (draw == WordSelection::Draw::Repeated && (word < 0 || word >= words.count())) {
        // The waiting word's row is gone: ask another word instead.
        selection.pendingWord = 0;
        return start();
    }
    if (word < 0 || word >= words.count())
        return false;

    DrillState &s = state();
    m_askedWord = word;
    m_view.lessonLabel = QStringLiteral("Lez/Num ") + words.lessonText(word).toString() + QLatin1Char('/')
        + QString::number(word + 1);

    const bool fromEnglish = m_direction == Direction::EnglishToItalian;
    const QStringView answerText = fromEnglish ? words.italian(word) : words.english(word);
    const QStringView promptText = fromEnglish ? words.english(word) : words.italian(word);
    answerRef() = Answers::answerOf(answerText);
    const QString prompt = Answers::trimTrailingBlanks(promptText);
    (fromEnglish ? s.englishWord : s.italianWord) = prompt;
    m_view.shownText = prompt;

    // Nothing typed or helped in the last question stays: neither on screen
    // until the first tick, nor in what the loudspeaker may say.
    s.typedLength = 0;
    s.helpMask.clear();
    s.helpShown = false;
    s.wentWrong = false;
    m_view.helpBoxVisible = false;
    m_view.helpBoxText.clear();
    m_view.helpButtonVisible = false;

    s.answers.clear();
    s.currentAnswer = answer();
    s.answers.collectOwnAlternatives(words, word, m_direction);
    // Synonyms come from the chosen lessons, whatever list the words are drawn from.
    s.answers.collectSynonyms(
        words, [this](int w) { return m_session.selection.isSelected(w); }, prompt, m_direction);

    m_view.command1Enabled = false;
    s.elapsedSeconds = 0;
    s.questionRunning = true;
    m_view.timer1 = true;
    m_view.timer2 = false;
    m_view.command1Caption = Translate;
    m_view.command1Face = DrillView::Neutral;
    m_view.command1DisabledFace = DrillView::Neutral;
    return true;
}

bool Drill::typingChanged(const QString &text)
{
    DrillState &s = state();
    m_view.typingRed = false;
    s.typedLength = bounded(text.size());
    s.typingWrong = false;

    QString &current = answerRef();
    for (const QString &accepted : std::as_const(s.answers.acceptedAnswers)) {
        current = accepted;
        if (current.left(text.size()) == text) {
            s.currentAnswer = accepted;
            break;
        }
        current = s.currentAnswer;
    }
    if (current.left(text.size()) != text) {
        m_view.typingRed = true;
        s.typingWrong = true;
        m_platform.beep(WrongTypingBeeps);
    }

    // Only a running question can be answered: typing the last answer again
    // while idle must not count it twice.
    if (!s.questionRunning || text.isEmpty())
        return false;
    const QString typed
        = m_direction == Direction::ItalianToEnglish ? Answers::trimTrailingBlanks(text) : text;
    if (typed != current) {
        s.wentWrong = s.wentWrong || s.typingWrong;
        return false;
    }
    answered();
    return true;
}

void Drill::answered()
{
    DrillState &s = state();
    s.questionRunning = false;
    m_platform.beep(RightAnswerBeeps);
    m_session.doneCount = std::min(m_session.doneCount + 1, int(MaxValue));
    m_selection.pendingWord = 0;

    m_view.command1Caption = QStringLiteral("Un altro?");
    m_view.command1Face = DrillView::Laughing;
    m_view.command1Enabled = true;

    m_view.timer1 = false;
    s.waitSeconds = 0;
    m_view.timer2 = true;

    if (s.lastPenalty > 0)
        m_selection.addCritical(m_session.memoc);
    else
        m_selection.removeCritical(m_session.memoc);
    m_view.command1Tip = QStringLiteral("Cliccami per un'altra prova ...");

    addPoints(bounded(answer().size()));
    s.lastPenalty = 0;
}

void Drill::showSynonyms()
{
    const AcceptedAnswers &answers = state().answers;
    if (answers.hasSynonyms())
        m_platform.message(
            QStringLiteral("Sinomini di:  ") + answers.promptKey + QStringLiteral(" (nelle Lez. scelte)"),
            answers.synonymText, Platform::Buttons::Ok, Platform::Icon::Information);
}

void Drill::help()
{
    DrillState &s = state();
    const QString current = answer();
    m_view.helpBoxVisible = true;
    s.helpShown = true;
    s.typedLength = std::min(s.typedLength, int(current.size()));
    s.helpMask.clear();
    for (qsizetype i = s.typedLength; i < current.size(); ++i) {
        const QChar c = current.at(i);
        s.helpMask += c == QLatin1Char(' ') || c == QLatin1Char('?') ? c : QLatin1Char('#');
    }
    m_view.helpBoxText = current.left(s.typedLength) + s.helpMask;
    s.lastPenalty = bounded(current.size() / 2);
    addPoints(-s.lastPenalty);
}

void Drill::timer1Tick()
{
    DrillState &s = state();
    s.elapsedSeconds = std::min(s.elapsedSeconds + 1, int(MaxValue));
    if (m_view.command1Caption == Translate && s.elapsedSeconds > SlowAfter) {
        m_view.command1DisabledFace = DrillView::Sad;
        m_view.command1Caption = Slow;
    }
    if (s.typingWrong && s.elapsedSeconds > SlowAfter) {
        m_view.helpButtonVisible = true;
    } else {
        m_view.helpButtonVisible = false;
        m_view.helpBoxVisible = false;
    }
    s.freeTime = freeTimeFor(answer());
    m_view.caption = (m_direction == Direction::EnglishToItalian ? TimingFromEnglish : TimingFromItalian)
        + QString::number(s.freeTime) + QLatin1Char(')');
    s.lastPenalty = s.elapsedSeconds / s.freeTime;
    addPoints(-s.lastPenalty);
    if (s.elapsedSeconds > s.freeTime)
        m_platform.beep(OverTimeBeeps);
}

void Drill::timer2Tick()
{
    DrillState &s = state();
    s.waitSeconds = std::min(s.waitSeconds + 1, int(MaxValue));
    if (s.waitSeconds > WaitTicks) {
        m_view.command1Caption = QStringLiteral("Allora?");
        m_view.command1Face = DrillView::Smiling;
        m_view.timer2 = false;
    }
}
