#include "OptionsWindow.h"

#include "drawing.h"

#include "platform.h"
#include "session.h"
#include "twips.h"
#include "vocabularyfile.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

namespace {
using Twips::px;

QRect twRect(int left, int top, int width, int height)
{
    return Twips::rect(left, top, width, height);
}

const QColor LightGreen(192, 255, 192);
const QRect Shape1 = twRect(30, 0, 4650, 6255);
using Vocabulary::CrLf;
} // namespace

PrintBox::PrintBox(QWidget *parent)
    : QWidget(parent)
{
}

void PrintBox::print(const QString &text, const QFont &font, Qt::Alignment alignment)
{
    for (const QString &line : text.split(CrLf))
        m_lines.append({ line, font, alignment });
    update();
}

QStringList PrintBox::lines() const
{
    QStringList out;
    for (const Line &line : m_lines)
        out.append(line.text);
    return out;
}

void PrintBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(Qt::black);
    int y = 2;
    for (const Line &line : m_lines) {
        painter.setFont(line.font);
        const QFontMetrics metrics(line.font);
        const QRect row(2, y, width() - 4, metrics.height());
        painter.drawText(row, int(line.alignment | Qt::AlignVCenter | Qt::TextDontClip), line.text);
        y += metrics.height();
    }
}

QList<QStringList> OptionsWindow::rulesBlocks()
{
    return {
        { " PARTENZA", "  - all'inizio vengono assegnati", "    1000 punti" },
        { " PREMIO", "  - ogni parola completata dà tanti", "    punti quante sono le sue lettere" },
        { " PENALITA'  n.1 (tempo risposta)", "  - nel tempo limite: zero punti",
            "  - da 1 a 2 volte il tempo limite:", "    un punto circa ogni secondo",
            "  - da 2 a 3 volte il tempo limite: ", "    due punti circa ogni secondo",
            "  - oltre: sempre di più" },
        { " PENALITA'  n.2 (uso dell'aiuto)", "  - si dimezza il PREMIO" },
    };
}

OptionsWindow::OptionsWindow(Session &session, Platform &platform, QWidget *parent)
    : QDialog(parent)
    , m_session(session)
    , m_platform(platform)
    , m_choice(session)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("   OPZIONI"));
    setFont(Drawing::font(QStringLiteral("Liberation Sans"), 8, false));
    setFixedSize(px(4680), px(6270));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, LightGreen);
    setPalette(pal);
    setAutoFillBackground(true);

    m_label6 = new QLabel(QStringLiteral("OPZIONI"), this);
    m_label6->setObjectName(QStringLiteral("Label6"));
    m_label6->setGeometry(twRect(735, 60, 2910, 330));
    m_label6->setFont(Drawing::font(QStringLiteral("Liberation Serif"), 14, true));
    m_label6->setAlignment(Qt::AlignCenter);
    buildOrderButtons();
    buildLessonBoxes();
    m_peri = new PrintBox(this);
    m_peri->setObjectName(QStringLiteral("peri"));
    m_peri->setGeometry(twRect(1395, 1965, 3015, 3360));
    buildCommands();

    // What each opening of the window does: top left of the screen, the
    // current choices, the rules.
    move(0, 0);
    m_choice.load();
    showChoice();
    printRules();
}

void OptionsWindow::buildOrderButtons()
{
    m_frame1 = new QGroupBox(QStringLiteral("Ordine"), this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setGeometry(twRect(2535, 420, 1710, 1305));
    const struct
    {
        const char *name;
        const char *text;
        QRect rect;
    } orders[] = {
        { "Option1", "A caso", twRect(690, 210, 915, 195) },
        { "Option2", "Avanti", twRect(690, 480, 915, 195) },
        { "Option3", "Indietro", twRect(690, 735, 915, 195) },
        { "Option4", "Critici", twRect(690, 1020, 780, 210) },
    };
    static_assert(std::size(orders) == std::tuple_size_v<decltype(m_option)>, "one button per order");
    for (int i = 0; i < int(std::size(orders)); ++i) {
        QRadioButton *button = new QRadioButton(QString::fromLatin1(orders[i].text), m_frame1);
        button->setObjectName(QString::fromLatin1(orders[i].name));
        // The style's round indicator is taller than a 13-pixel row: the row
        // grows to 17 pixels, or the indicator would be cut.
        QRect r = orders[i].rect;
        r.setTop(r.top() - 2);
        r.setHeight(std::max(r.height() + 2, 17));
        button->setGeometry(r);
        connect(button, &QRadioButton::clicked, this, [this, i] {
            m_choice.orderClicked(i + 1);
            showChoice();
        });
        m_option[std::size_t(i)] = button;
    }
}

void OptionsWindow::buildLessonBoxes()
{
    m_frame2 = new QGroupBox(QStringLiteral("Lezioni"), this);
    m_frame2->setObjectName(QStringLiteral("Frame2"));
    m_frame2->setGeometry(twRect(255, 360, 840, 5685));
    for (int i = 0; i <= MaxLesson; ++i) {
        const QString caption = i == 0 ? QStringLiteral("Tutte") : QStringLiteral("N.%1").arg(i);
        QCheckBox *box = new QCheckBox(caption, m_frame2);
        box->setObjectName(QStringLiteral("Ckles%1").arg(i));
        box->setAccessibleName(
            i == 0 ? QStringLiteral("Tutte le lezioni") : QStringLiteral("Lezione %1").arg(i));
        box->setGeometry(twRect(60, 330 + 250 * i, 735, 225));
        // clicked is sent for user presses only, by mouse or by keyboard.
        connect(box, &QCheckBox::clicked, this, [this, i](bool checked) {
            m_choice.userToggled(i, checked);
            showChoice();
        });
        m_ckles[std::size_t(i)] = box;
    }
}

void OptionsWindow::buildCommands()
{
    m_command2 = new QPushButton(QStringLiteral("Daccapo"), this);
    m_command2->setObjectName(QStringLiteral("Command2"));
    m_command2->setGeometry(twRect(1320, 5460, 1335, 420));
    m_command2->setToolTip(QStringLiteral("Ricomincia con le stesse Opzioni"));
    m_command2->setAutoDefault(false);
    connect(m_command2, &QPushButton::clicked, this, [this] {
        m_choice.restart();
        showChoice();
    });

    m_command1 = new QPushButton(QStringLiteral("OK"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(twRect(3000, 5460, 1335, 420));
    m_command1->setToolTip(QStringLiteral("Opzioni impostate"));
    m_command1->setDefault(true);
    connect(m_command1, &QPushButton::clicked, this, &OptionsWindow::applyOptions);
}

void OptionsWindow::showChoice()
{
    int order = 0; // the buttons stand in the order of the modes, from 1
    for (QRadioButton *option : m_option)
        option->setChecked(m_choice.order() == ++order);
    for (int i = 0; i <= MaxLesson; ++i) {
        QCheckBox *box = m_ckles[std::size_t(i)];
        box->setChecked(m_choice.ticked(i));
        box->setEnabled(m_choice.boxEnabled(i));
    }
    m_command2->setEnabled(m_choice.restartEnabled());
}

void OptionsWindow::printRules()
{
    m_peri->print(QStringLiteral("REGOLE"), Drawing::font(QStringLiteral("Liberation Serif"), 12, true),
        Qt::AlignHCenter);
    const QFont text = Drawing::font(QStringLiteral("Liberation Sans"), 8, true);
    for (const QStringList &block : rulesBlocks())
        m_peri->print(block.join(CrLf), text);
    // The printed rules, for a screen reader.
    m_peri->setAccessibleName(QStringLiteral("Regole della prova"));
    m_peri->setAccessibleDescription(m_peri->lines().join(QLatin1Char(' ')).simplified());
}

void OptionsWindow::showRules()
{
    m_label6->hide();
    m_frame1->hide();
    m_frame2->hide();
    m_peri->move(px((4650 - 3015) / 2), m_peri->y());
    m_command2->hide();
    m_command1->setToolTip(QStringLiteral("Chiudi REGOLE"));
}

void OptionsWindow::applyOptions()
{
    if (m_applying || m_closed)
        return;
    m_applying = true;
    const OptionsChoice::Result result = m_choice.apply(m_platform);
    m_applying = false;
    showChoice();
    if (result == OptionsChoice::Result::KeptOpen)
        return;
    m_closed = true;
    done(QDialog::Accepted);
}

void OptionsWindow::reject()
{
    // Escape and the window's close control close it like "OK".
    applyOptions();
}

void OptionsWindow::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow()) {
        m_wasActive = true;
    } else if (m_wasActive && isVisible()) {
        // Switching to another window closes the options like "OK".
        applyOptions();
    }
}

void OptionsWindow::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.drawRect(Shape1.adjusted(0, 0, -1, -1));
}
