#pragma once

class Platform;
struct Session;

// The choices of the options window as plain logic: the order buttons, the
// lesson boxes with their click rules, "Daccapo" and the commit of the
// choices. The window shows this state and forwards the user's clicks.
//
// The lesson boxes live in the session's selection options (Ckles[0] is
// "Tutte", then one per lesson); the session's lessonState tells which
// lessons have words and which are chosen.
class OptionsChoice
{
public:
    explicit OptionsChoice(Session &session);

    // Sets the boxes and the order buttons from the run state, as each
    // opening of the window does.
    void load();

    int order() const;
    bool ticked(int box) const;
    bool boxEnabled(int box) const;
    bool restartEnabled() const { return m_restartEnabled; }

    // The user toggled a lesson box (mouse or keyboard); the box already
    // shows its new value `nowTicked`.
    void userToggled(int box, bool nowTicked);
    // The user clicked an order button (1 "A caso" .. 4 "Critici").
    void orderClicked(int order);
    // "Daccapo": the same options, asked again from the start.
    void restart();

    enum class Result { Applied, KeptOpen };
    // Commits the choices: sets the order, builds the selection and, when it
    // is empty, asks whether to fall back to the forward order.
    Result apply(Platform &platform);

private:
    void setTicked(int box, bool value); // a change made by the window itself
    void click(int box);
    bool anyLessonChosen() const;

    Session &m_session;
    bool m_restartEnabled = false;
};
