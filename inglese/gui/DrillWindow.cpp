#include "DrillWindow.h"

#include "drawing.h"

#include "PictureButton.h"
#include "accessible.h"
#include "plainwidgets.h"
#include "platform.h"
#include "pronunciation.h"
#include "review.h"
#include "session.h"
#include "twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QShortcut>
#include <QSvgRenderer>
#include <QTimer>

namespace {
const QString FacePictures[4] = {
    QStringLiteral(":/inglese/faccia0.svg"), // neutral
    QStringLiteral(":/inglese/faccia1.svg"), // smiling
    QStringLiteral(":/inglese/faccia2.svg"), // laughing
    QStringLiteral(":/inglese/faccia3.svg"), // sad
};

// The pale flag, stretched over the whole client area behind the controls.
class StretchedPicture : public QWidget
{
public:
    StretchedPicture(const QString &path, QWidget *parent)
        : QWidget(parent)
        , m_renderer(path, this)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        m_renderer.setAspectRatioMode(Qt::IgnoreAspectRatio);
        m_renderer.render(&painter, QRectF(rect()));
    }

private:
    QSvgRenderer m_renderer;
};

QRect twips(const QRect &r)
{
    return Twips::rect(r.x(), r.y(), r.width(), r.height());
}

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QRect &where)
{
    auto *l = PlainText::label(parent, text); // the words come from the user's file
    l->setObjectName(name);
    l->setGeometry(twips(where));
    return l;
}

QLineEdit *textBox(QWidget *parent, const QString &name, const QRect &where)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setGeometry(twips(where));
    box->setFont(Drawing::font(QStringLiteral("Liberation Sans"), 13.5, true));
    QPalette p = box->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    box->setPalette(p);
    return box;
}

PictureButton *pictureButton(QWidget *parent, const QString &name, const QString &caption, const QRect &where)
{
    auto *b = new PictureButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setGeometry(twips(where));
    b->setFont(Drawing::font(QStringLiteral("Liberation Sans"), 9, true));
    return b;
}
} // namespace

DrillWindow::DrillWindow(Session &session, Platform &platform, Direction direction, const QString &flag,
    const Placement &placement, QWidget *parent, std::unique_ptr<Review::Round> review)
    : QWidget(parent, Qt::Window)
    , m_session(session)
    , m_platform(platform)
    , m_review(std::move(review))
    , m_drill(session, platform, direction, m_review ? &m_review->selection() : nullptr)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(m_drill.openingCaption());
    resize(Twips::size(9000, 6000));
    // The background is a light flag whatever the desktop's colours: the texts on it stay dark.
    QPalette dark = palette();
    dark.setColor(QPalette::WindowText, Qt::black);
    setPalette(dark);
    buildLabels(flag, placement);
    buildBoxes(placement);
    buildButtons();
    buildHelpBox(placement);
    setUpKeyboard();
    connectEvents();
    Form_Load();
}

DrillWindow::~DrillWindow() = default;

void DrillWindow::buildLabels(const QString &flag, const Placement &placement)
{
    const Direction direction = m_drill.direction();
    m_bandiera = new StretchedPicture(flag, this);
    m_bandiera->setObjectName(QStringLiteral("bandiera"));
    m_bandiera->setAccessibleName(direction == Direction::EnglishToItalian
            ? QStringLiteral("Sfondo: bandiera italiana")
            : QStringLiteral("Sfondo: bandiera britannica"));

    m_labpunti = label(this, QStringLiteral("labpunti"), QStringLiteral("1000"), { 6855, 90, 1695, 585 });
    m_labpunti->setFont(Drawing::font(QStringLiteral("Liberation Serif"), 24, true));
    m_labpunti->setAutoFillBackground(true);
    QPalette points = m_labpunti->palette();
    points.setColor(QPalette::Window, Qt::black);
    points.setColor(QPalette::WindowText, Qt::white);
    m_labpunti->setPalette(points);

    const QFont title = Drawing::font(QStringLiteral("Liberation Serif"), 12, true);
    m_label2 = label(this, QStringLiteral("Label2"), QStringLiteral("I N G L E S E"), placement.Label2);
    m_label2->setFont(title);
    m_label3 = label(this, QStringLiteral("Label3"), QStringLiteral("I T A L I A N O"), placement.Label3);
    m_label3->setFont(title);
    const QFont small = Drawing::font(QStringLiteral("Liberation Sans"), 8, false);
    // As wide as the room up to the window's edge, so that counts of several digits are not cut off.
    m_label4 = label(
        this, QStringLiteral("Label4"), QStringLiteral("Già fatti = Critici ="), { 6840, 735, 2100, 195 });
    m_label4->setFont(small);
    m_lablez = label(this, QStringLiteral("Lablez"), QString(), placement.Lablez);
    m_lablez->setFont(small);
    if (m_review) {
        const QRect beside = placement.Lablez.translated(placement.Lablez.width() + 300, 0);
        m_labripasso = label(this, QStringLiteral("Labripasso"),
            QStringLiteral("Ripasso di oggi: %1 parole").arg(m_review->count()),
            { beside.topLeft(), QSize(4500, 315) });
        m_labripasso->setFont(small);
    }
}

void DrillWindow::buildBoxes(const Placement &placement)
{
    m_textin = textBox(this, QStringLiteral("Textin"), placement.Textin);
    m_textit = textBox(this, QStringLiteral("Textit"), placement.Textit);
    // A screen reader reads the column headers as words, not letter by letter.
    m_label2->setAccessibleName(QStringLiteral("Inglese"));
    m_label3->setAccessibleName(QStringLiteral("Italiano"));
    const bool toItalian = m_drill.direction() == Direction::EnglishToItalian;
    shownBox()->setAccessibleName(toItalian ? QStringLiteral("Parola inglese da tradurre")
                                            : QStringLiteral("Parola italiana da tradurre"));
    nameTypingBox();
    m_lablez->setAccessibleName(QStringLiteral("Lezione e numero della parola"));
    typingBox()->setAccessibleDescription(QStringLiteral("Scrivi qui la traduzione"));
}

void DrillWindow::buildButtons()
{
    const QString neutral = FacePictures[DrillView::Neutral];
    const QString laughing = FacePictures[DrillView::Laughing];
    m_command1
        = pictureButton(this, QStringLiteral("Command1"), QStringLiteral("Via!"), { 195, 3375, 1515, 990 });
    m_command1->setPictures(neutral, neutral, laughing);
    m_command2
        = pictureButton(this, QStringLiteral("Command2"), QStringLiteral("Aiuto"), { 3720, 3375, 1515, 990 });
    m_command2->setPictures(QStringLiteral(":/inglese/croce.svg"), QString(), QString());
    m_command2->hide();
    m_command3 = pictureButton(
        this, QStringLiteral("Command3"), QStringLiteral("Ritorno"), { 7080, 3375, 1515, 990 });
    m_command3->setPictures(QStringLiteral(":/inglese/freccia.svg"), QString(), QString());

    // The loudspeaker, small, in the free space between the help and return buttons.
    m_command4 = pictureButton(this, QStringLiteral("Command4"), QString(), { 5865, 3570, 600, 600 });
    m_command4->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_command4->setPictures(QStringLiteral(":/inglese/altoparlante.svg"),
        QStringLiteral(":/inglese/altoparlante_spento.svg"),
        QStringLiteral(":/inglese/altoparlante_acceso.svg"));
    m_command4->setAccessibleName(QStringLiteral("Ascolta la parola inglese"));
    // Out of the Tab walk and never taking the focus from the typing: the keyboard has F5.
    m_command4->setFocusPolicy(Qt::NoFocus);
}

void DrillWindow::buildHelpBox(const Placement &placement)
{
    m_aiuto = textBox(this, QStringLiteral("aiuto"), placement.aiuto);
    m_aiuto->setFont(QFont());
    m_aiuto->setAccessibleName(
        QStringLiteral("Aiuto: la risposta con le lettere ancora da scrivere nascoste"));
    m_aiuto->hide();
}

void DrillWindow::setUpKeyboard()
{
    // Tab follows the window from top to bottom in both directions: the word
    // shown, the typing box, the three buttons, the help box.
    setTabOrder(shownBox(), typingBox());
    setTabOrder(typingBox(), m_command1);
    setTabOrder(m_command1, m_command2);
    setTabOrder(m_command2, m_command3);
    setTabOrder(m_command3, m_aiuto);
    // The English box takes the focus when the window opens: the word shown
    // in the first drill, the typing box in the second, where the learner
    // can type at once. The review opens in the typing box in both.
    (m_review ? typingBox() : m_textin)->setFocus();
    auto *f5 = new QShortcut(Qt::Key_F5, this);
    f5->setObjectName(QStringLiteral("speakKey"));
    connect(f5, &QShortcut::activated, this, &DrillWindow::Command4_Click);
}

void DrillWindow::connectEvents()
{
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);
    connect(m_timer1, &QTimer::timeout, this, &DrillWindow::Timer1_Timer);
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(1000);
    connect(m_timer2, &QTimer::timeout, this, &DrillWindow::Timer2_Timer);

    connect(m_command1, &QToolButton::clicked, this, &DrillWindow::Command1_Click);
    connect(m_command2, &QToolButton::clicked, this, &DrillWindow::Command2_Click);
    connect(m_command3, &QToolButton::clicked, this, &DrillWindow::Command3_Click);
    connect(m_command4, &QToolButton::clicked, this, &DrillWindow::Command4_Click);
    m_platform.watchSpeech(this, [this] { showSpeech(); });
    // Every change of the typing box is checked, the program's own included.
    connect(typingBox(), &QLineEdit::textChanged, this, &DrillWindow::typingChanged);
}

QLineEdit *DrillWindow::typingBox() const
{
    return m_drill.direction() == Direction::EnglishToItalian ? m_textit : m_textin;
}

QLineEdit *DrillWindow::shownBox() const
{
    return m_drill.direction() == Direction::EnglishToItalian ? m_textin : m_textit;
}

void DrillWindow::Form_Load()
{
    const QSize screen = m_platform.screenSize();
    move((screen.width() - width()) / 2, (screen.height() - height()) / 2);
    m_bandiera->setGeometry(rect());
    m_bandiera->lower();
    m_textin->clear();
    m_textit->clear();
    m_drill.load();
    showState();
    showCounters();
}

void DrillWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_bandiera->setGeometry(rect());
}

void DrillWindow::closeEvent(QCloseEvent *event)
{
    m_timer1->stop();
    m_timer2->stop();
    if (m_review)
        m_review->leave(m_drill);
    event->accept();
    emit unloaded();
}

void DrillWindow::showCounters()
{
    m_labpunti->setText(m_drill.pointsText());
    Accessible::setName(m_labpunti, QStringLiteral("Punti: ") + m_drill.pointsText());
    m_label4->setText(m_drill.counterLine());
}

void DrillWindow::showState()
{
    const DrillView &v = m_drill.view();
    setWindowTitle(v.caption);
    m_command1->setText(v.command1Caption);
    m_command1->setToolTip(v.command1Tip);
    m_command1->setEnabled(v.command1Enabled);
    m_command1->setPictures(FacePictures[v.command1Face], FacePictures[v.command1DisabledFace],
        FacePictures[DrillView::Laughing]);
    m_command2->setVisible(v.helpButtonVisible);
    m_aiuto->setVisible(v.helpBoxVisible);
    m_aiuto->setText(v.helpBoxText);
    m_lablez->setText(v.lessonLabel);
    Accessible::setDescription(m_lablez, v.lessonLabel);

    QLineEdit *typing = typingBox();
    // Before the first question there is no answer to type towards.
    typing->setReadOnly(m_drill.askedWord() < 0);
    QPalette p = typing->palette();
    p.setColor(QPalette::Text, v.typingRed ? QColor(255, 0, 0) : QColor(Qt::black));
    typing->setPalette(p);

    if (v.timer1 != m_timer1->isActive())
        v.timer1 ? m_timer1->start() : m_timer1->stop();
    if (v.timer2 != m_timer2->isActive())
        v.timer2 ? m_timer2->start() : m_timer2->stop();
    showSpeech();
}

void DrillWindow::Command1_Click()
{
    if (m_review && !m_review->mayAsk())
        return;
    // The Italian drill shows the hourglass while it prepares the question.
    const bool wait = m_drill.direction() == Direction::ItalianToEnglish;
    if (wait)
        setCursor(Qt::WaitCursor);
    typingBox()->clear();
    if (m_drill.start()) {
        if (m_review) {
            m_review->asked();
            m_labripasso->setText(m_review->progressText());
        }
        shownBox()->setText(m_drill.view().shownText);
        nameTypingBox();
        showState();
        typingBox()->setFocus();
    }
    if (wait)
        unsetCursor();
}

// The typing box's name carries the word to translate, so that a screen
// reader says it as the focus lands in the box.
void DrillWindow::nameTypingBox()
{
    const QString prompt = shownBox()->text();
    QString name = m_drill.direction() == Direction::EnglishToItalian
        ? QStringLiteral("Traduzione in italiano")
        : QStringLiteral("Traduzione in inglese");
    if (!prompt.isEmpty())
        name += QStringLiteral(" di: ") + prompt;
    Accessible::setName(typingBox(), name);
}

void DrillWindow::typingChanged(const QString &text)
{
    const bool answered = m_drill.typingChanged(text);
    showState();
    // The red colour in words, for those who do not see it: a screen reader
    // hears of every change of the typing box's description.
    QString verdict = QStringLiteral("Giusto finora");
    if (answered)
        verdict = QStringLiteral("Risposta esatta");
    else if (m_drill.view().typingRed)
        verdict = QStringLiteral("Errore: quello che hai scritto non è l'inizio della risposta");
    else if (text.isEmpty())
        verdict = QStringLiteral("Scrivi qui la traduzione");
    Accessible::setDescription(typingBox(), verdict);
    if (!answered)
        return;
    m_command1->setFocus();
    showCounters();
    if (m_review)
        m_review->answered(m_drill);
    m_drill.showSynonyms();
}

void DrillWindow::Command2_Click()
{
    m_drill.help();
    showState();
    showCounters();
    typingBox()->setFocus();
}

void DrillWindow::showSpeech()
{
    const Pronunciation::Speaker speaker
        = Pronunciation::drillSpeaker(m_drill, m_session.words, m_platform.canSpeak(QLocale::English));
    m_command4->setEnabled(speaker.enabled);
    m_command4->setToolTip(speaker.tip);
}

void DrillWindow::Command4_Click()
{
    if (!m_command4->isEnabled())
        return;
    const QString text = Pronunciation::drillText(m_drill, m_session.words);
    if (!text.isEmpty())
        m_platform.speak(text, QLocale::English);
}

void DrillWindow::Command3_Click()
{
    close();
}

void DrillWindow::Timer1_Timer()
{
    m_drill.timer1Tick();
    showState();
    showCounters();
}

void DrillWindow::Timer2_Timer()
{
    m_drill.timer2Tick();
    showState();
}
