#include "Form1.h"

#include "Form3.h"
#include "textfile.h"
#include "twips.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSvgRenderer>
#include <QTextDocument>

#include <algorithm>

namespace {

const QString Title = QStringLiteral(" ALLENAMENTO  SULLA  TASTIERA");
const QString Credit = QStringLiteral("esercizi di tastiera per principianti");
const QColor Magenta(255, 0, 255);

constexpr int AiuILeftTwips = 600;
constexpr int AiuITopTwips = 120;
constexpr double TabStopCm = 1.25;

QRect twipsRect(int left, int top, int width, int height)
{
    return { px(left), px(top), px(width), px(height) };
}

QFont makeFont(const QString &family, double points, bool bold)
{
    QFont result(family);
    result.setPointSizeF(points);
    result.setBold(bold);
    return result;
}

// The key picture of a page, drawn for the screen's pixel density so that it
// stays sharp on a scaled display; its logical size is the picture's own.
QPixmap renderPicture(int element, qreal ratio)
{
    const QSize size = HelpPages::pictureSize(element);
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(HelpPages::picturePath(element));
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

// Sets a name or a description that changes while the window is shown and
// tells a screen reader of the change, so that it says the new text at once.
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

Form1::Form1(Platform &platform, QWidget *parent)
    : QMainWindow(parent)
    , m_platform(platform)
{
    setWindowTitle(Title + QStringLiteral("  ") + Credit);
    setWindowIcon(QIcon(QStringLiteral(":/tastolo/tastolo.svg")));
    buildControls();
    buildMenu();
    Form_Load();
}

void Form1::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(px(9705), px(5985));
    setCentralWidget(client);
    // The controls keep their places: the window is not resizable.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    const QFont tahoma = makeFont(QStringLiteral("Liberation Sans"), 9, false);
    const QFont tahomaBold = makeFont(QStringLiteral("Liberation Sans"), 9.75, true);

    m_aiuT = new QLabel(client);
    m_aiuT->setObjectName(QStringLiteral("AiuT"));
    m_aiuT->setGeometry(twipsRect(120, 960, 1890, 4935));
    m_aiuT->setFont(tahoma);
    m_aiuT->setWordWrap(true);
    m_aiuT->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_aiuT->setTextFormat(Qt::PlainText);

    m_aiuI = new QLabel(client);
    m_aiuI->setObjectName(QStringLiteral("AiuI"));
    m_aiuI->setGeometry(twipsRect(AiuILeftTwips, AiuITopTwips, 735, 735));
    m_aiuI->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    for (int element = 0; element < HelpPages::PageCount; ++element) {
        auto *picture = new QLabel(client);
        picture->setObjectName(QStringLiteral("Imm"));
        picture->setProperty("index", element);
        picture->setPixmap(renderPicture(element, picture->devicePixelRatioF()));
        picture->resize(HelpPages::pictureSize(element));
        picture->hide();
        m_imm[element] = picture;
    }

    m_label1 = new QLabel(client);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(twipsRect(8535, 120, 750, 225));
    m_label1->setFont(makeFont(QStringLiteral("Liberation Sans"), 8, false));
    // The path ends at the label's right edge: a long path shows its file name.
    m_label1->setAlignment(Qt::AlignRight | Qt::AlignTop);
    m_label1->setTextFormat(Qt::PlainText);

    for (QLabel **label : { &m_label2, &m_label3 }) {
        *label = new QLabel(client);
        (*label)->setFont(tahomaBold);
        (*label)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QPalette palette = (*label)->palette();
        palette.setColor(QPalette::WindowText, Magenta);
        (*label)->setPalette(palette);
    }
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setGeometry(twipsRect(600, 5640, 375, 255));
    m_label2->setText(QStringLiteral("0"));
    // The number ends where "/14" begins, so that the two read "3/14".
    m_label2->setAlignment(Qt::AlignRight | Qt::AlignTop);
    m_label3->setObjectName(QStringLiteral("Label3"));
    m_label3->setGeometry(twipsRect(960, 5640, 615, 255));
    m_label3->setText(QStringLiteral("/14"));

    m_htext = new QPlainTextEdit(client);
    m_htext->setObjectName(QStringLiteral("Htext"));
    m_htext->setGeometry(twipsRect(2160, 360, 7215, 5295));
    m_htext->setFont(makeFont(QStringLiteral("Liberation Sans"), 9.75, true));
    m_htext->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_htext->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_htext->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_htext->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_htext->setTabChangesFocus(false);
    m_htext->setOverwriteMode(false);
    m_htext->setTabStopDistance(TabStopCm / 2.54 * m_htext->logicalDpiX());
    m_htext->setFocusPolicy(Qt::StrongFocus);
    m_htext->installEventFilter(this);

    // What a screen reader says. The editing area, which keeps the focus,
    // also carries the help page in its description, so that turning a page
    // is heard without leaving the text.
    m_htext->setAccessibleName(QStringLiteral("Area di scrittura"));
    m_aiuI->setAccessibleName(QStringLiteral("Figura della pagina di aiuto"));
    m_label3->setAccessibleName(QStringLiteral("su 14 pagine"));

    // Stacking, bottom to top: the help text, the picture, the picture store,
    // the file path, the page counter and the editing area on top.
    m_aiuT->raise();
    m_aiuI->raise();
    for (QLabel *picture : m_imm)
        picture->raise();
    m_label1->raise();
    m_label2->raise();
    m_label3->raise();
    m_htext->raise();
    setFocusProxy(m_htext);
}

void Form1::buildMenu()
{
    QMenu *menuFile = menuBar()->addMenu(QStringLiteral("&File"));
    menuFile->setObjectName(QStringLiteral("menuFile"));
    menuFile->menuAction()->setObjectName(QStringLiteral("menuFile"));

    auto add = [&](const char *name, const QString &caption, void (Form1::*slot)()) {
        QAction *action = menuFile->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    m_menuFileNew = add("menuFileNew", QStringLiteral("&Nuovo"), &Form1::NuovoFile);
    m_menuFileOpen = add("menuFileOpen", QStringLiteral("A&pri"), &Form1::ApriFile);
    m_menuFileSave = add("menuFileSave", QStringLiteral("&Salva"), &Form1::menuFileSave_Click);
    m_menuFileSaveAs = add("menuFileSaveAs", QStringLiteral("S&alva con nome..."), &Form1::SalvaConNome);
    menuFile->addSeparator()->setObjectName(QStringLiteral("menuFileSp1"));
    m_menuFileClose = menuFile->addAction(QStringLiteral("&Chiudi"));
    m_menuFileClose->setObjectName(QStringLiteral("menuFileClose"));
    connect(m_menuFileClose, &QAction::triggered, this, &QWidget::close);
}

void Form1::Form_Load()
{
    move(px(400), px(400));
    m_menuFileSave->setEnabled(false);
    m_state.Stato = HelpPages::Introduction;
    m_state.TestoRiferimento.clear();
    showCurrentFile(m_state.NomeFileCorrente);
    m_state.Operazione = ProgramState::Open;
    setHelpText(HelpPages::text(HelpPages::Introduction), Magenta);
    setEditorText(sampleLetter());
    m_state.TestoRiferimento = editorText();

    QTextCursor cursor = m_htext->textCursor();
    cursor.setPosition(TextFile::lfPosition(m_htext->toPlainText(), SampleLetterCaret));
    m_htext->setTextCursor(cursor);
    m_htext->setFocus();
}

QString Form1::editorText() const
{
    // The raw text keeps every character as typed (no-break spaces
    // included); paragraphs are separated by U+2029.
    QString text = m_htext->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return TextFile::toCrLf(text);
}

void Form1::setEditorText(const QString &text)
{
    m_htext->setPlainText(TextFile::toLf(text));
}

int Form1::insertionOffset() const
{
    return TextFile::crLfOffset(m_htext->toPlainText(), m_htext->textCursor().position());
}

bool Form1::isModified() const
{
    return editorText() != TextFile::toCrLf(m_state.TestoRiferimento);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // The window sees the keys of the editing area first; the page keys turn
    // the help page whatever the shift state and still reach the editor.
    if (watched == m_htext && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_PageDown)
            turnPage(HelpPages::Turn::Forward);
        else if (key == Qt::Key_PageUp)
            turnPage(HelpPages::Turn::Back);
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::turnPage(HelpPages::Turn turn)
{
    qint16 &stato = m_state.Stato;
    stato = HelpPages::next(stato, turn);
    m_aiuI->setVisible(true);
    if (stato < HelpPages::PageCount) {
        const QPixmap picture = m_imm[stato]->pixmap();
        m_aiuI->setPixmap(picture);
        m_aiuI->resize(picture.deviceIndependentSize().toSize());
        m_label2->setText(HelpPages::number(stato));
        setHelpText(HelpPages::text(stato), QApplication::palette().color(QPalette::ButtonText));
    } else {
        m_aiuI->setVisible(false);
        m_label2->setText(HelpPages::number(stato));
        setHelpText(HelpPages::text(stato), Magenta);
    }
    const int topTwips = AiuITopTwips + m_aiuI->height() * TwipsPerPixel + HelpPages::TextGapTwips;
    m_aiuT->move(m_aiuT->x(), px(topTwips));
}

void Form1::setHelpText(const QString &text, const QColor &colour)
{
    QPalette palette = m_aiuT->palette();
    palette.setColor(QPalette::WindowText, colour);
    m_aiuT->setPalette(palette);
    m_aiuT->setText(TextFile::toLf(text));

    const QString stato = HelpPages::number(m_state.Stato);
    const QString page = stato == QLatin1String("0") ? QStringLiteral("Introduzione")
                                                     : QStringLiteral("Pagina di aiuto %1 su 14").arg(stato);
    const QString title = TextFile::toLf(text).section(QLatin1Char('\n'), 0, 0).trimmed();
    setAccessible(m_label2, QAccessible::NameChanged, page);
    setAccessible(m_aiuI, QAccessible::NameChanged,
                  m_state.Stato < HelpPages::PageCount ? QStringLiteral("Figura: ") + title
                                                       : QStringLiteral("Nessuna figura"));
    setAccessible(m_htext, QAccessible::DescriptionChanged,
                  page + QStringLiteral(": ") + TextFile::toLf(text).simplified()
                      + QStringLiteral(" (PagGiu e PagSu sfogliano le pagine)"));
}

void Form1::showCurrentFile(const QString &path)
{
    // The label keeps its right edge and widens to the left over the top of
    // the editing area, so that a whole path can be read.
    const int right = px(8535 + 750);
    const int width
        = std::clamp(m_label1->fontMetrics().horizontalAdvance(path) + 4, px(750), right - px(2160));
    m_label1->setGeometry(right - width, px(120), width, px(225));
    m_label1->setText(path);
    m_label1->setToolTip(path);
    setAccessible(m_label1, QAccessible::NameChanged,
                  path.isEmpty() ? QStringLiteral("Nessun file corrente") : QStringLiteral("File corrente: ") + path);
}

Platform::Answer Form1::ask(const QString &firstLine, const QString &secondLine)
{
    return m_platform.message(QStringLiteral("Attenzione !"),
        firstLine + QStringLiteral("\r\n") + secondLine + QStringLiteral("\r\nVuoi salvarlo ?"),
        Platform::Buttons::YesNo, Platform::Icon::None);
}

bool Form1::showForm3()
{
    const QString previousName = m_state.NomeFileCorrente;
    Form3 dialogue(m_platform, m_state, this);
    const bool done = dialogue.exec() == QDialog::Accepted;
    if (done) {
        if (m_state.Operazione == ProgramState::Open) {
            setEditorText(m_state.TestoRiferimento);
            m_htext->moveCursor(QTextCursor::Start);
        }
        showCurrentFile(m_state.NomeFileCorrente);
    } else {
        // A cancelled dialogue leaves the current file as it was.
        m_state.Operazione = ProgramState::Cancelled;
        m_state.NomeFileCorrente = previousName;
    }
    m_htext->setFocus();
    return done;
}

// Asks whether to save a modified text before another one takes its place,
// then empties the area. False when the user cancelled the save dialogue.
bool Form1::clearForOtherFile(const QString &question)
{
    m_state.Operazione = ProgramState::Open;
    if (isModified()) {
        if (ask(question, QStringLiteral("ma il file corrente è stato modificato.")) == Platform::Answer::Yes)
            SalvaConNome();
        else
            m_htext->clear();
    }
    if (m_state.Operazione == ProgramState::Cancelled)
        return false;
    m_state.Operazione = ProgramState::Open;
    m_htext->clear();
    // The empty area is the program's own text: it is not a change.
    m_state.TestoRiferimento.clear();
    showCurrentFile(QString());
    return true;
}

void Form1::NuovoFile()
{
    if (!clearForOtherFile(QStringLiteral("E' stato richiesto di Aprire un Nuovo File,")))
        return;
    m_menuFileSave->setEnabled(false);
}

void Form1::ApriFile()
{
    if (!clearForOtherFile(QStringLiteral("E' stato richiesto di Aprire un altro File,")))
        return;
    showForm3();
    m_menuFileSave->setEnabled(true);
}


void Form1::SalvaConNome()
{
    const QString previousReference = m_state.TestoRiferimento;
    m_state.Operazione = ProgramState::Save;
    m_state.TestoRiferimento = editorText();
    if (!showForm3()) {
        // Nothing was written: the text still counts as it did before.
        m_state.TestoRiferimento = previousReference;
    }
    m_menuFileSave->setEnabled(true);
}

void Form1::menuFileSave_Click()
{
    // Without a file shown as current there is nowhere to save to: ask for a name.
    if (m_state.NomeFileCorrente.trimmed().isEmpty() || m_label1->text().isEmpty()) {
        SalvaConNome();
        return;
    }
    const QString text = editorText();
    const QString error = TextFile::write(m_state.NomeFileCorrente, text);
    if (!error.isNull()) {
        m_platform.message(QStringLiteral("Attenzione"), error, Platform::Buttons::Ok, Platform::Icon::Stop);
        return;
    }
    m_state.TestoRiferimento = text;
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (!m_sessionEnding && isModified()) {
        if (ask(QStringLiteral("E' stato chiesto di chiudere il programma,"),
                QStringLiteral("ma il file corrente non è stato salvato dopo le modifiche."))
            == Platform::Answer::Yes)
            SalvaConNome();
    }
    // The close is never refused.
    event->accept();
}
