#include "chasegame.h"

#include "platform.h"
#include "twips.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

const QString idleCaption = QStringLiteral("    MOUSE TEST");

// One coordinate of a jump. The position is drawn in twips so that it lands at
// least 200 twips from both screen edges, then turned into pixels: rounded up,
// so that the near margin stays whole, but never past the far margin.
int jumpAxis(int screenPixels, int framePixels, double r)
{
    const int room = pixelsToTwips(screenPixels) - pixelsToTwips(framePixels);
    const int twips = static_cast<int>(std::floor((room - 400 + 1) * r + 200));
    const int roundedUp = static_cast<int>(std::ceil(twips / double(twipsPerPixel)));
    const int roundedDown = static_cast<int>(std::floor(twips / double(twipsPerPixel)));
    const int farthest = static_cast<int>(std::floor((room - 200) / double(twipsPerPixel)));
    // On a screen too small for both margins the position stays as drawn.
    return std::min(roundedUp, std::max(farthest, roundedDown));
}

} // namespace

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
    if (++m_fig > 3)
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

    int kind = static_cast<int>(std::floor(r3 * 4));
    if (kind == 3)
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
