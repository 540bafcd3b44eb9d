#include "optionschoice.h"

#include "platform.h"
#include "session.h"

OptionsChoice::OptionsChoice(Session &session)
    : m_session(session)
{
}

void OptionsChoice::load()
{
    WordSelection &sel = m_session.selection;
    m_restartEnabled = m_session.doneCount > 0;
    if (sel.orderMode != NotBuilt)
        sel.options.order = sel.orderMode;

    // Setting up the boxes is not a user's choice: no click rules run.
    sel.options.Ckles.fill(false);
    sel.options.Ckles[0] = true;
    for (int i = 1; i <= MaxLesson; ++i) {
        if (m_session.lessonState[std::size_t(i)] == LessonState::Chosen) {
            sel.options.Ckles[std::size_t(i)] = true;
            sel.options.Ckles[0] = false;
        }
    }
}

int OptionsChoice::order() const
{
    return m_session.selection.options.order;
}

bool OptionsChoice::ticked(int box) const
{
    return m_session.selection.options.Ckles[std::size_t(box)];
}

bool OptionsChoice::boxEnabled(int box) const
{
    return box == 0 || m_session.lessonState[std::size_t(box)] != LessonState::NoWords;
}

bool OptionsChoice::anyLessonChosen() const
{
    for (int i = 1; i <= MaxLesson; ++i) {
        if (m_session.lessonState[std::size_t(i)] == LessonState::Chosen)
            return true;
    }
    return false;
}

void OptionsChoice::userToggled(int box, bool nowTicked)
{
    if (!isLesson(box) || !boxEnabled(box))
        return;
    // A press on a box, by mouse or by keyboard, makes the rules run.
    m_session.selection.options.Ckles[std::size_t(box)] = nowTicked;
    click(box);
}

void OptionsChoice::setTicked(int box, bool value)
{
    bool &current = m_session.selection.options.Ckles[std::size_t(box)];
    if (current == value)
        return;
    current = value;
    // A box changed by the rules runs the rules for it too.
    click(box);
}

void OptionsChoice::click(int box)
{
    WordSelection &sel = m_session.selection;
    m_restartEnabled = false;
    sel.rebuildNeeded = true;
    sel.pendingWord = 0;

    if (box == 0) {
        // "Tutte": every lesson with words goes back to not chosen.
        for (int i = 1; i <= MaxLesson; ++i) {
            if (boxEnabled(i)) {
                m_session.lessonState[std::size_t(i)] = LessonState::HasWords;
                setTicked(i, false);
            }
        }
    } else if (ticked(box)) {
        m_session.lessonState[std::size_t(box)] = LessonState::Chosen;
        // "Tutte" goes off without its own rule, which would untick this lesson.
        m_session.selection.options.Ckles[0] = false;
    } else {
        m_session.lessonState[std::size_t(box)] = LessonState::HasWords;
        if (!anyLessonChosen())
            setTicked(0, true);
    }
}

void OptionsChoice::orderClicked(int order)
{
    if (order < Random || order > CriticalOnly)
        return;
    m_session.selection.options.order = OrderMode(order);
    m_session.selection.pendingWord = 0;
    m_restartEnabled = false;
}

void OptionsChoice::restart()
{
    m_session.selection.pendingWord = 0;
    m_session.selection.rebuildNeeded = true;
    m_restartEnabled = false;
}

OptionsChoice::Result OptionsChoice::apply(Platform &platform)
{
    WordSelection &sel = m_session.selection;
    sel.orderMode = sel.options.order;
    sel.buildSelection(m_session.words, m_session.memoc);
    if (sel.selectionCount <= 0) {
        if (platform.message(QStringLiteral("Rifare la Scelta..."),
                QStringLiteral("Selezione vuota ... Ripristino Avanti"), Platform::Buttons::OkCancel)
            == Platform::Answer::Cancel)
            return Result::KeptOpen;
        sel.orderMode = Forward;
        sel.options.order = Forward;
        sel.pendingWord = 0;
        sel.buildSelection(m_session.words, m_session.memoc);
        sel.rebuildNeeded = true;
    }
    return Result::Applied;
}
