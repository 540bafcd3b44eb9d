#include "SplashWindow.h"

#include "accessible.h"
#include "drawing.h"

#include "MainWindow.h"
#include "plainwidgets.h"
#include "platform.h"
#include "twips.h"

#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <QTimer>

namespace {
// A picture drawn from an SVG file at the given size; a missing file shows nothing.
QLabel *picture(const QString &name, const QString &file, const QRect &geometry, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setPixmap(Drawing::svg(file, geometry.size(), parent->devicePixelRatioF()));
    return label;
}

QLabel *colouredLabel(const QString &name, const QColor &colour, QWidget *parent)
{
    auto *label = PlainText::label(parent);
    label->setObjectName(name);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}
} // namespace

SplashWindow::SplashWindow(Session &session, Platform &platform, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_session(session)
    , m_platform(platform)
    , m_timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("Form0"));
    // No title bar; the task bar shows the program's name while the splash is up.
    setWindowTitle(QStringLiteral("STUDIO L'INGLESE"));
    setFixedSize(Twips::px(15 + 7875), Twips::px(6030));

    picture(QStringLiteral("Image1"), QStringLiteral(":/inglese/titolo.svg"), Twips::rect(15, 0, 7875, 6030),
        this)
        ->setAccessibleName(QStringLiteral("Due fumetti: Ciao! e Hello!"));
    picture(QStringLiteral("Image2"), QStringLiteral(":/inglese/titolo2.svg"),
        Twips::rect(1680, 3360, 4830, 810), this)
        ->setAccessibleName(QStringLiteral("STUDIO L'INGLESE"));

    QLabel *label1 = colouredLabel(QStringLiteral("Label1"), QColor(255, 255, 0), this);
    label1->setText(
        QStringLiteral("Esercizi di vocabolario inglese e italiano per chi comincia  -  Versione 5"));
    label1->setGeometry(Twips::rect(360, 5640, 7335, 255));
    label1->setFont(QFont(QStringLiteral("Liberation Sans"), 8));

    m_progresso = colouredLabel(QStringLiteral("Progresso"), QColor(255, 0, 0), this);
    m_progresso->setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    m_progresso->setGeometry(Twips::rect(3120, 240, 1695, 855));
    m_progresso->setAccessibleName(QStringLiteral("Avvio del programma"));

    const QSize screen = platform.screenSize();
    move((screen.width() - width()) / 2, (screen.height() - height()) / 2);

    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(3000);
    // A coarse timer may fire up to 5% early: the splash stays its full three seconds.
    m_timer1->setTimerType(Qt::PreciseTimer);
    connect(m_timer1, &QTimer::timeout, this, &SplashWindow::Timer1_Timer);
    m_timer1->start();
}

void SplashWindow::Timer1_Timer()
{
    m_timer1->stop();
    auto *mainWindow = new MainWindow(m_session, m_platform);
    mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    const bool loaded = mainWindow->Form_Load([this](const QString &status) {
        m_progresso->setText(status);
        Accessible::setDescription(m_progresso, status);
        repaint();
    });
    if (!loaded) {
        delete mainWindow;
        emit startupFailed();
        return;
    }
    m_mainWindow = mainWindow;
    mainWindow->show();
    emit started(mainWindow);
    close();
}
