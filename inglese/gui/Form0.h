#pragma once

#include <QPointer>
#include <QWidget>

class Form1;
class Platform;
struct Session;
class QLabel;
class QTimer;

// The splash window: the title pictures and the version line, shown centred
// for three seconds; then it creates the main window and goes away.
class Form0 : public QWidget
{
    Q_OBJECT

public:
    Form0(Session &session, Platform &platform, QWidget *parent = nullptr);

    // The hand-over: loads and shows the main window, then closes this one.
    void Timer1_Timer();
    Form1 *mainWindow() const { return m_form1; }

signals:
    void started(Form1 *mainWindow);
    // The main window could not start; its message has been shown.
    void startupFailed();

private:
    Session &m_session;
    Platform &m_platform;
    QLabel *m_progresso;
    QTimer *m_timer1;
    QPointer<Form1> m_form1;
};
