#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <QtGlobal>

class Platform;

// The rules of the chase: the player hits the running cat twenty times, each
// time with the click that the background colour asks for, while the window
// jumps to a new random place after every hit. The seconds needed are the
// result. The class keeps the game state and what the window shows of it; the
// window forwards its events here and then shows the state.
class ChaseGame
{
public:
    // Click kinds (`modo`).
    enum Kind : qint16 { DoubleClick = 0, LeftClick = 1, RightClick = 2 };
    // Mouse buttons as `Tasto` holds them.
    enum Button : qint16 { LeftButton = 1, RightButton = 2, MiddleButton = 4 };
    enum class Background { Grey, Blue, Yellow, Pink };

    static constexpr qint16 hitsToWin = 20;
    static constexpr qint16 maxSeconds = 32767;

    explicit ChaseGame(Platform &platform);

    // Window created: a yellow window waiting for VIA, which asks for a left click.
    void load();
    // VIA: starts a new game or resumes a paused one.
    void start();
    // PAUSA: stops the clock and keeps its seconds.
    void pause();
    // A mouse button went down on the cat.
    void press(Button button);
    // A single click on the cat; returns true when it hit.
    bool click();
    // A double click on the cat; returns true when it hit.
    bool doubleClick();
    // The seconds tick; ends the game once twenty hits are reached.
    void tick();
    // The animation tick: shows the next cat frame.
    void animate();

    Kind modo() const { return m_modo; }
    qint16 fig() const { return m_fig; }

    // What the window shows.
    bool running() const { return m_running; } // clock and animation run, cat and PAUSA enabled
    bool fareVisible() const { return m_fareVisible; }
    QString fareText() const;
    // The click that `Fare` asks for, spelled out for a screen reader.
    QString spokenClick() const;
    Background background() const { return m_background; }
    QString caption() const { return m_caption; }
    QString puntiText() const { return QString::number(m_punti); }
    QString label2Text() const { return m_label2; }

    static QString helpTitle();
    static QString helpText();

private:
    // The hit: the window jumps, a new click kind is drawn, the hit is counted.
    void fuga();

    Platform &m_platform;
    qint16 m_tempo = 0;
    qint16 m_accum = 0;
    qint16 m_volte = 0;
    Kind m_modo = LeftClick;
    qint16 m_tasto = LeftButton;
    qint16 m_fig = 0;

    bool m_running = false;
    bool m_fareVisible = false;
    Background m_background = Background::Grey;
    QString m_caption;
    qint16 m_punti = 0;
    QString m_label2;
};

// Twips that a jump keeps between the window and each edge of the screen.
inline constexpr int jumpMargin = 200;

// Where a jump puts one edge of the window, in twips from the screen's edge,
// for `roomTwips` = screen length - window length and a random number r.
int jumpTwips(int roomTwips, double r);

// Where a jump puts the window: the top-left corner of its outer frame, in
// pixels from the screen's top-left corner, for the random numbers r1 (top)
// and r2 (left). The window keeps at least 200 twips from every screen edge
// when the screen has room for that.
QPoint jumpPosition(const QSize &screenPixels, const QSize &framePixels, double r1, double r2);
