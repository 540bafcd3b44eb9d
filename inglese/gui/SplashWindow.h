#pragma once

#include <QPointer>
#include <QWidget>

class MainWindow;
class Platform;
struct Session;
class QLabel;
class QTimer;

// The splash window: the title pictures and the version line, shown centred
// for three seconds; then it creates the main window and goes away.
class SplashWindow : public QWidget
{
    Q_OBJECT

public:
    SplashWindow(Session &session, Platform &platform, QWidget *parent = nullptr);

    // The hand-over: loads and shows the main window, then closes this one.
    void Timer1_Timer();
    MainWindow *mainWindow() const { return m_mainWindow; }

signals:
    void started(MainWindow *mainWindow);
    // The main window could not start; its message has been shown.
    void startupFailed();

private:
    Session &m_session;
    Platform &m_platform;
    QLabel *m_progresso;
    QTimer *m_timer1;
    QPointer<MainWindow> m_mainWindow;
};
