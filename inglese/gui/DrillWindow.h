#pragma once

#include "drill.h"
#include "review.h"

#include <QRect>
#include <QWidget>

#include <memory>

class PictureButton;
class Platform;
class QLabel;
class QLineEdit;
class QTimer;
struct Session;

// The translation drill. EnglishDrillWindow (English shown, Italian typed) and ItalianDrillWindow
// (Italian shown, English typed) are this window with their own direction,
// flag and placement of the two text boxes.
class DrillWindow : public QWidget
{
    Q_OBJECT

public:
    // Where the direction-dependent controls stand, in twips.
    struct Placement
    {
        QRect Label2, Textin, Label3, Textit, Lablez, aiuto;
    };

    // The typing box: Textit in the English drill, Textin in the Italian one.
    QLineEdit *typingBox() const;
    // The box showing the prompt.
    QLineEdit *shownBox() const;
    Drill &drill() { return m_drill; }
    ~DrillWindow() override;

    // Event handlers, public so that tests tick the timers directly.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    // The loudspeaker button and F5: say the English word of the question.
    void Command4_Click();

signals:
    // The window is being unloaded: the main window comes back.
    void unloaded();

protected:
    // With `review` the window asks today's words of the review and grades each answer.
    DrillWindow(Session &session, Platform &platform, Direction direction, const QString &flag,
        const Placement &placement, QWidget *parent, std::unique_ptr<Review::Round> review);

    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The constructor's steps: the controls from top to bottom, then the
    // keyboard's ways through them, then the timers and the events.
    void buildLabels(const QString &flag, const Placement &placement);
    void buildBoxes(const Placement &placement);
    void buildButtons();
    void buildHelpBox(const Placement &placement);
    void setUpKeyboard();
    void connectEvents();
    void Form_Load();
    void typingChanged(const QString &text);
    void nameTypingBox();
    void showState();
    void showCounters();
    void showSpeech();

    Session &m_session;
    Platform &m_platform;
    std::unique_ptr<Review::Round> m_review;
    Drill m_drill;

    QWidget *m_bandiera;
    QLabel *m_labpunti;
    QLabel *m_label2;
    QLabel *m_label3;
    QLabel *m_label4;
    QLabel *m_lablez;
    QLabel *m_labripasso = nullptr; // the review's progress
    QLineEdit *m_textin;
    QLineEdit *m_textit;
    QLineEdit *m_aiuto;
    PictureButton *m_command1;
    PictureButton *m_command2;
    PictureButton *m_command3;
    PictureButton *m_command4;
    QTimer *m_timer1;
    QTimer *m_timer2;
};
