#pragma once

#include "chasegame.h"

#include <QWidget>

#include <array>

class Platform;
class QLabel;
class QPushButton;
class QSvgRenderer;
class QTimer;

// The running cat, the game's only target. It draws one of the four frames of
// `Gatto` at 32 x 32 pixels and turns raw button events into the notifications
// the game relies on: every press first reports its button; a press and
// release of the left or right button on the cat make one single click; a
// double click makes a single click for its first click, then the double
// click, and the release that ends it makes nothing more. The middle button
// only reports its press. A disabled cat receives no mouse events at all.
class CatImage : public QWidget
{
    Q_OBJECT

public:
    explicit CatImage(QWidget *parent = nullptr);

    void setFrame(int index);
    // Called after the window has jumped: the next press of a double click
    // no longer lands where the cat was, so it must not count as a double click.
    void forgetPress();

    QSize sizeHint() const override { return { 32, 32 }; }

signals:
    void pressed(ChaseGame::Button button);
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    std::array<QSvgRenderer *, 4> m_gatto {};
    int m_frame = 0;
    Qt::MouseButton m_down = Qt::NoButton;
    bool m_downEndsDouble = false;
    bool m_jumped = false;
};

// The game window: the seconds in `punti`, the click asked for in `Fare`, the
// cat, VIA and PAUSA, the hint for F1 and the hit counter. It shows the state
// of its ChaseGame and forwards every event to it.
class ChaseWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ChaseWindow(Platform &platform, QWidget *parent = nullptr);

    const ChaseGame &game() const { return m_game; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Command2_Click();
    void Command3_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void Form_Load();
    bool Form_KeyDown(int key);
    void Image1_MouseDown(ChaseGame::Button button);
    void Image1_Click();
    void Image1_DblClick();
    void afterHit();
    void showState();

    Platform &m_platform;
    ChaseGame m_game;
    QLabel *m_punti = nullptr;
    QLabel *m_fare = nullptr;
    CatImage *m_image1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QPushButton *m_command3 = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QTimer *m_timer1 = nullptr;
    QTimer *m_timer2 = nullptr;
};
