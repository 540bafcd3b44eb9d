#pragma once

#include "answers.h"

#include <QString>

class Platform;
struct Session;
class WordSelection;

// The drill's run state. It lives in the session, so it survives closing and
// reopening a drill window, and both drill windows share it.
struct DrillState
{
    QString italianWord; // the answer matched by the English -> Italian drill
    QString englishWord; // the answer matched by the Italian -> English drill
    QString currentAnswer; // the accepted answer the typing follows
    int typedLength = 0;
    bool typingWrong = false; // while the typed text is not the beginning of the answer
    QString helpMask;
    bool helpShown = false; // "Aiuto" was pressed during the current question
    bool wentWrong = false; // the typing turned red during the current question
    int lastPenalty = 0;
    int freeTime = 10;
    int elapsedSeconds = 0;
    int waitSeconds = 0;
    bool questionRunning = false;
    AcceptedAnswers answers;
};

// What a drill window shows, besides the points and the counter line.
struct DrillView
{
    enum Face { Neutral = 0, Smiling = 1, Laughing = 2, Sad = 3 };

    QString caption; // window caption
    QString command1Caption;
    Face command1Face = Neutral; // picture of Command1
    Face command1DisabledFace = Neutral;
    bool command1Enabled = true;
    QString command1Tip;
    bool helpButtonVisible = false; // Command2
    bool helpBoxVisible = false; // aiuto
    QString helpBoxText;
    bool typingRed = false;
    bool timer1 = false;
    bool timer2 = false;
    QString lessonLabel; // Lablez
    QString shownText; // the prompt
};

// One drill window's logic: question start, answer check on every change of
// the typing box, help, scoring and the two one-second timers. It works on
// the session (word table, selection, critical list, points) and reaches the
// desktop only through the platform.
class Drill
{
public:
    static constexpr int MinValue = -32768;
    static constexpr int MaxValue = 32767;

    // The words come from the session's selection, or from `selection` when given (the review's).
    Drill(Session &session, Platform &platform, Direction direction, WordSelection *selection = nullptr);

    Direction direction() const { return m_direction; }
    QString openingCaption() const; // the window's caption before the first question
    const DrillView &view() const { return m_view; }
    DrillState &state();
    const DrillState &state() const;

    // The answer of the current question: Italian in the English drill,
    // English in the Italian one.
    QString answer() const;
    // Seconds an answer may take before it costs points.
    static int freeTimeFor(const QString &answer);

    void load();
    // "Via!": draws the next word and starts its question. False when no word
    // was drawn (the user cancelled, the critical words are over, nothing to ask).
    bool start();
    // The answer check; true when the typing completed the answer.
    bool typingChanged(const QString &text);
    // After a completed answer: the synonyms message when more than one answer was accepted.
    void showSynonyms();
    void help();
    void timer1Tick();
    void timer2Tick();

    QString pointsText() const;
    QString counterLine() const;
    // The row of the word last asked in this window; -1 before the first question.
    int askedWord() const { return m_askedWord; }

private:
    QString &answerRef();
    void addPoints(int delta);
    void answered();

    Session &m_session;
    Platform &m_platform;
    WordSelection &m_selection;
    Direction m_direction;
    DrillView m_view;
    int m_askedWord = -1;
};
