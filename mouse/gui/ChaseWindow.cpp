#include "ChaseWindow.h"

#include "platform.h"
#include "twips.h"

#include <QAccessible>
#include <QEvent>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTimer>

namespace {

constexpr int secondsInterval = 1000; // ms: Timer1 counts the game's seconds
constexpr int animationInterval = 100; // ms: Timer2 turns the cat's frames, a run every 400 ms

QColor backgroundColour(ChaseGame::Background background)
{
    switch (background) {
    case ChaseGame::Background::Blue:
        return QColor(0x80, 0x80, 0xFF);
    case ChaseGame::Background::Yellow:
        return QColor(0xFF, 0xFF, 0x80);
    case ChaseGame::Background::Pink:
        return QColor(0xFF, 0xCC, 0xFF);
    case ChaseGame::Background::Grey:
        break;
    }
    return QColor(0xE0, 0xE0, 0xE0);
}

QFont makeFont(const QString &family, qreal points, bool bold = false, bool italic = false)
{
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

QLabel *label(QWidget *parent, const char *name, const QString &text, const QRect &place)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(place);
    return l;
}

ChaseGame::Button buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return ChaseGame::LeftButton;
    case Qt::RightButton:
        return ChaseGame::RightButton;
    default:
        return ChaseGame::MiddleButton;
    }
}

bool clicks(Qt::MouseButton button)
{
    return button == Qt::LeftButton || button == Qt::RightButton;
}

// Sets a name or a description that changes during the game and tells a
// screen reader of the change, so that it says the new text at once.
void setAccessible(QWidget *widget, QAccessible::Event what, const QString &text)
{
    const bool name = what == QAccessible::NameChanged;
    if ((name ? widget->accessibleName() : widget->accessibleDescription()) == text)
        return;
    if (name)
        widget->setAccessibleName(text);
    else
        widget->setAccessibleDescription(text);
    QAccessibleEvent event(widget, what);
    QAccessible::updateAccessibility(&event);
}

} // namespace

CatImage::CatImage(QWidget *parent)
    : QWidget(parent)
{
    for (int i = 0; i < 4; ++i)
        m_gatto[i] = new QSvgRenderer(QStringLiteral(":/mouse/gatto%1.svg").arg(i), this);
    setFixedSize(32, 32);
    // Right presses and releases always reach the cat; no menu ever opens on it.
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void CatImage::setFrame(int index)
{
    if (index == m_frame)
        return;
    m_frame = index;
    update();
}

void CatImage::forgetPress()
{
    m_jumped = true;
}

void CatImage::paintEvent(QPaintEvent *)
{
    // Drawn from the vector picture at the screen's own density, so the cat
    // stays sharp on high-density screens; disabled, it looks the same.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    m_gatto[m_frame]->render(&painter, QRectF(rect()));
}

void CatImage::mousePressEvent(QMouseEvent *event)
{
    if (!clicks(event->button()) && event->button() != Qt::MiddleButton) {
        event->ignore();
        return;
    }
    m_down = event->button();
    m_downEndsDouble = false;
    m_jumped = false;
    emit pressed(buttonCode(event->button()));
}

void CatImage::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!clicks(event->button()) && event->button() != Qt::MiddleButton) {
        event->ignore();
        return;
    }
    m_down = event->button();
    m_downEndsDouble = true;
    emit pressed(buttonCode(event->button()));
    // When the first click hit, the window has jumped away from under the
    // pointer: this second press belongs to no double click on the cat.
    if (clicks(event->button()) && !m_jumped)
        emit doubleClicked();
}

void CatImage::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != m_down) {
        event->ignore();
        return;
    }
    m_down = Qt::NoButton;
    if (!m_downEndsDouble && clicks(event->button()) && rect().contains(event->position().toPoint()))
        emit clicked();
}

ChaseWindow::ChaseWindow(Platform &platform, QWidget *parent)
    : QWidget(parent)
    , m_platform(platform)
    , m_game(platform)
{
    setObjectName(QStringLiteral("Form3"));
    // A small window of fixed size: it can be minimised and closed, not resized.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(Twips::size(2460, 1770));
    setFont(makeFont(QStringLiteral("Liberation Sans"), 8));

    m_punti = label(this, "punti", QStringLiteral("0"), Twips::rect(360, 120, 1695, 585));
    m_punti->setAlignment(Qt::AlignCenter);
    m_punti->setFont(makeFont(QStringLiteral("Liberation Serif"), 26.25, true, true));
    m_punti->setAutoFillBackground(true);
    QPalette black = m_punti->palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, Qt::white);
    m_punti->setPalette(black);

    m_fare = label(this, "Fare", QStringLiteral("sx"), Twips::rect(840, 720, 855, 255));
    m_fare->setAlignment(Qt::AlignCenter);
    m_fare->setFont(makeFont(QStringLiteral("Liberation Sans"), 9.75, true));

    m_image1 = new CatImage(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setAccessibleName(QStringLiteral("Gatto"));
    m_image1->move(Twips::point(960, 960));

    m_command2 = new QPushButton(QStringLiteral("VIA"), this);
    m_command2->setObjectName(QStringLiteral("Command2"));
    m_command2->setGeometry(Twips::rect(120, 1080, 735, 375));
    m_command3 = new QPushButton(QStringLiteral("PAUSA"), this);
    m_command3->setObjectName(QStringLiteral("Command3"));
    m_command3->setGeometry(Twips::rect(1560, 1080, 735, 375));
    setTabOrder(m_command2, m_command3);

    m_label1 = label(this, "Label1", QStringLiteral("F1 per aiuto"), Twips::rect(0, 1560, 975, 255));
    m_label1->setFont(makeFont(QStringLiteral("Liberation Sans"), 6.75));

    m_label2 = label(this, "Label2", QString(), Twips::rect(2160, 1560, 255, 255));
    m_label2->setAlignment(Qt::AlignRight | Qt::AlignTop);
    QPalette red = m_label2->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_label2->setPalette(red);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(secondsInterval);
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(animationInterval);

    connect(m_command2, &QPushButton::clicked, this, &ChaseWindow::Command2_Click);
    connect(m_command3, &QPushButton::clicked, this, &ChaseWindow::Command3_Click);
    connect(m_timer1, &QTimer::timeout, this, &ChaseWindow::Timer1_Timer);
    connect(m_timer2, &QTimer::timeout, this, &ChaseWindow::Timer2_Timer);
    connect(m_image1, &CatImage::pressed, this, &ChaseWindow::Image1_MouseDown);
    connect(m_image1, &CatImage::clicked, this, &ChaseWindow::Image1_Click);
    connect(m_image1, &CatImage::doubleClicked, this, &ChaseWindow::Image1_DblClick);

    // The window sees every key before its controls do.
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);

    Form_Load();
}

void ChaseWindow::Form_Load()
{
    m_game.load();
    showState();
}

void ChaseWindow::Command2_Click()
{
    m_game.start();
    showState();
}

void ChaseWindow::Command3_Click()
{
    m_game.pause();
    showState();
}

void ChaseWindow::Timer1_Timer()
{
    m_game.tick();
    showState();
}

void ChaseWindow::Timer2_Timer()
{
    m_game.animate();
    m_image1->setFrame(m_game.fig());
}

void ChaseWindow::Image1_MouseDown(ChaseGame::Button button)
{
    m_game.press(button);
}

void ChaseWindow::Image1_Click()
{
    if (m_game.click())
        afterHit();
}

void ChaseWindow::Image1_DblClick()
{
    if (m_game.doubleClick())
        afterHit();
}

void ChaseWindow::afterHit()
{
    m_image1->forgetPress();
    showState();
}

bool ChaseWindow::Form_KeyDown(int key)
{
    if (key != Qt::Key_F1)
        return false;
    Command3_Click();
    m_platform.message(ChaseGame::helpTitle(), ChaseGame::helpText());
    Command2_Click();
    return true;
}

bool ChaseWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && Form_KeyDown(static_cast<QKeyEvent *>(event)->key()))
        return true;
    return QWidget::eventFilter(watched, event);
}

void ChaseWindow::keyPressEvent(QKeyEvent *event)
{
    if (!Form_KeyDown(event->key()))
        QWidget::keyPressEvent(event);
}

void ChaseWindow::showState()
{
    setWindowTitle(m_game.caption());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, backgroundColour(m_game.background()));
    setPalette(pal);

    m_punti->setText(m_game.puntiText());
    m_fare->setText(m_game.fareText());
    m_fare->setVisible(m_game.fareVisible());
    m_label2->setText(m_game.label2Text());
    // The demand and the counts in words, for a screen reader: the colour and
    // the short caption alone say nothing to those who cannot see them.
    setAccessible(m_punti, QAccessible::NameChanged, QStringLiteral("Secondi: ") + m_game.puntiText());
    const QString request = QStringLiteral("Clic richiesto: ") + m_game.spokenClick();
    setAccessible(m_fare, QAccessible::NameChanged, request);
    setAccessible(m_image1, QAccessible::DescriptionChanged, m_game.fareVisible() ? request : QString());
    setAccessible(m_label2, QAccessible::NameChanged,
        m_game.label2Text().isEmpty() ? QStringLiteral("Colpi")
                                      : QStringLiteral("Colpi: ") + m_game.label2Text());

    // The button to press next is enabled before the other is disabled, so that the focus passes
    // from one to the other: Space pauses and goes on again.
    const bool running = m_game.running();
    (running ? m_command3 : m_command2)->setEnabled(true);
    (running ? m_command2 : m_command3)->setEnabled(false);
    m_image1->setEnabled(running);
    // A timer that runs already keeps its phase: a hit must not restart the second.
    for (QTimer *timer : { m_timer1, m_timer2 }) {
        if (running && !timer->isActive())
            timer->start();
        else if (!running)
            timer->stop();
    }
}
