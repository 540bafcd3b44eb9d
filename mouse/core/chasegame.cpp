#include "chasegame.h"

#include "platform.h"
#include "twips.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

const QString idleCaption = QStringLiteral("    MOUSE TEST");

// A hit draws the click kind as a whole number below this, and the number
// that no kind has becomes a left click: the left click comes up twice as
// often as each of the other two kinds.
constexpr int kindDrawRange = 4;
constexpr int frameCount = 4; // frames of the running cat

// A position in twips becomes whole pixels. Rounded up, the near margin keeps
// its whole 200 twips; but never past the farthest place that still keeps the
// far margin. On a screen too small for both margins the position stays as
// drawn, rounded down.
int inwardToPixels(int twips, int roomTwips)
{
    const int roundedUp = static_cast<int>(std::ceil(twips / double(Twips::PerPixel)));
    const int roundedDown = static_cast<int>(std::floor(twips / double(Twips::PerPixel)));
    const int farthest = static_cast<int>(std::floor((roomTwips - jumpMargin) / double(Twips::PerPixel)));
    return std::min(roundedUp, std::max(farthest, roundedDown));
}

int jumpAxis(int screenPixels, int framePixels, double r)
{
    const int room = Twips::fromPx(screenPixels) - Twips::fromPx(framePixels);
    return inwardToPixels(jumpTwips(room, r), room);
}

} // namespace

int jumpTwips(int roomTwips, double r)
{
    // Every whole position from the near margin to the far one, both included,
    // is equally likely: room - 2 margins + 1 of them.
    return static_cast<int>(std::floor((roomTwips - 2 * jumpMargin + 1) * r + jumpMargin));
}

QPoint jumpPosition(const QSize &screenPixels, const QSize &framePixels, double r1, double r2)
{
    const int top = jumpAxis(screenPixels.height(), framePixels.height(), r1);
    const int left = jumpAxis(screenPixels.width(), framePixels.width(), r2);
    return { left, top };
}

ChaseGame::ChaseGame(Platform &platform)
    : m_platform(platform)
    , m_caption(idleCaption)
{
}

void ChaseGame::load()
{
    m_volte = 0;
    m_accum = 0;
    m_punti = m_accum;
    m_fig = 0;
    m_fareVisible = false;
    m_modo = LeftClick;
    m_tasto = LeftButton;
    m_background = Background::Yellow;
}

void ChaseGame::start()
{
    m_tempo = m_accum;
    m_running = true;
    m_fareVisible = true;
    if (m_volte == 0)
        m_label2 = QStringLiteral("0");
}

void ChaseGame::pause()
{
    m_fareVisible = false;
    m_running = false;
    m_accum = m_tempo;
}

void ChaseGame::press(Button button)
{
    m_tasto = button;
}

bool ChaseGame::click()
{
    if (m_modo == DoubleClick || m_modo != m_tasto)
        return false;
    fuga();
    return true;
}

bool ChaseGame::doubleClick()
{
    if (m_modo != DoubleClick)
        return false;
    fuga();
    return true;
}

void ChaseGame::tick()
{
    // The clock stops at its largest value instead of wrapping to a negative
    // number; the game itself goes on.
    if (m_tempo < maxSeconds)
        ++m_tempo;
    m_punti = m_tempo;
    if (m_volte >= hitsToWin) {
        m_running = false;
        m_accum = 0;
        m_volte = 0;
        m_caption = idleCaption;
        m_background = Background::Grey;
    }
}

void ChaseGame::animate()
{
    if (++m_fig >= frameCount)
        m_fig = 0;
}

void ChaseGame::fuga()
{
    const QRect screen = m_platform.screenGeometry();
    const QRect frame = m_platform.windowFrame();
    const double r1 = m_platform.random();
    const double r2 = m_platform.random();
    const double r3 = m_platform.random();
    m_platform.moveWindow(screen.topLeft() + jumpPosition(screen.size(), frame.size(), r1, r2));

    int kind = static_cast<int>(std::floor(r3 * kindDrawRange));
    if (kind == kindDrawRange - 1)
        kind = LeftClick;
    m_modo = static_cast<Kind>(kind);
    switch (m_modo) {
    case DoubleClick:
        m_background = Background::Blue;
        break;
    case LeftClick:
        m_background = Background::Yellow;
        break;
    case RightClick:
        m_background = Background::Pink;
        break;
    }

    ++m_volte;
    m_caption = QStringLiteral("   MOUSE TEST (%1)").arg(m_volte);
    m_label2 = QString::number(m_volte);
}

QString ChaseGame::fareText() const
{
    switch (m_modo) {
    case DoubleClick:
        return QStringLiteral("2 sx");
    case RightClick:
        return QStringLiteral("dx");
    case LeftClick:
        break;
    }
    return QStringLiteral("sx");
}

QString ChaseGame::spokenClick() const
{
    switch (m_modo) {
    case DoubleClick:
        return QStringLiteral("doppio clic sinistro");
    case RightClick:
        return QStringLiteral("clic destro");
    case LeftClick:
        break;
    }
    return QStringLiteral("clic sinistro");
}

QString ChaseGame::helpTitle()
{
    return QStringLiteral("MOUSE TEST - Istruzioni");
}

QString ChaseGame::helpText()
{
    const QStringList lines {
        QStringLiteral("Questo programma allena gli inesperti all'uso del mouse."),
        QString(),
        QStringLiteral("Contrariamente alla realtà è il mouse (topo) che"),
        QStringLiteral("deve inseguire gatto che fugge in una nuova posizione"),
        QStringLiteral("dello schermo."),
        QStringLiteral("Se lo sfondo è giallo occorre un clic sinistro sull'immagine"),
        QStringLiteral("del gatto, se lo sfondo è blu occorrono due clic ravvicinati,"),
        QStringLiteral("se è rosa occorre un clic destro."),
        QStringLiteral("Il programma conta i secondi impiegati per fare con"),
        QStringLiteral("successo 20 cacce. Poi si può ricominciare con VIA."),
        QStringLiteral("E' possibile riposarsi col tasto PAUSA"),
        QString(),
        QStringLiteral("Buon allenamento! Il gatto non si lascia prendere facilmente."),
    };
    return lines.join(QStringLiteral("\r\n"));
}
