#include "speechstatus.h"

SpeechStatus::Action SpeechStatus::begin(const Output &now)
{
    if (m_begun)
        return Action::None;
    m_begun = true;
    m_output = now;
    if (!now.present) {
        m_status = Platform::Speech::NoOutput;
        return Action::None;
    }
    return startEngine();
}

SpeechStatus::Action SpeechStatus::tick(const Output &now)
{
    if (!m_begun || now == m_output)
        return Action::None;
    m_output = now;
    m_lostOnce = false;
    if (!now.present) {
        m_status = Platform::Speech::NoOutput;
        return Action::None;
    }
    // A working engine goes on; should its service end on the new server's
    // first word, that loss starts it again.
    if (m_status == Platform::Speech::Available)
        return Action::None;
    return startEngine();
}

void SpeechStatus::started(Platform::Speech found)
{
    m_starting = false;
    m_status = m_output.present ? found : Platform::Speech::NoOutput;
}

void SpeechStatus::said()
{
    m_lostOnce = false;
}

SpeechStatus::Action SpeechStatus::lost(const Output &now)
{
    if (now != m_output) {
        m_output = now;
        m_lostOnce = false;
    }
    if (!now.present || m_lostOnce) {
        m_status = Platform::Speech::NoOutput;
        return Action::None;
    }
    m_lostOnce = true;
    return startEngine();
}

SpeechStatus::Action SpeechStatus::startEngine()
{
    if (m_starting)
        return Action::None;
    m_starting = true;
    return Action::StartEngine;
}
