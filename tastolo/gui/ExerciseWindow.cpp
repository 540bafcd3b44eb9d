#include "ExerciseWindow.h"

#include "FileDialog.h"
#include "plainwidgets.h"
#include "textfile.h"
#include "twips.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSvgRenderer>
#include <QTextDocument>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

const QString Title = QStringLiteral(" ALLENAMENTO  SULLA  TASTIERA");
const QString Credit = QStringLiteral("esercizi di tastiera per principianti");
const QColor Magenta(255, 0, 255);

// Where the window's outer frame stands on the screen, in twips.
constexpr int FrameLeftTwips = 400;
constexpr int FrameTopTwips = 400;
constexpr int AiuITopTwips = 120;
// Label1 grows to the left from its right edge over the top of Htext.
constexpr int Label1RightTwips = 8535 + 750;
constexpr int Label1MinWidthTwips = 750;
constexpr int HtextLeftTwips = 2160;
// Room in pixels beside the path's text, so that its first letter is not cut.
constexpr int Label1PaddingPx = 4;
constexpr double TabStopCm = 1.25;
constexpr double CmPerInch = 2.54;
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

// The editing area. It tells `edited` of each edit as exactly the characters
// it replaced (the document reports the range of an edit block, which may hold
// characters that were only reformatted) and `undone` where its undo history
// stands after an undo or a redo, from the keys or the context menu. A paste
// puts the text in as typed characters, each line break it brings as a line
// break of the text: the editor's own paste re-inserts the rest of the
// paragraph it lands in, which would count as an edit of the line ends beyond
// it.
class EditingArea : public QPlainTextEdit
{
public:
    std::function<void(qsizetype position, qsizetype removed, QStringView added, int step)> edited;
    std::function<void(int step)> undone;
    // Set while the program makes edits that it reports itself.
    bool quiet = false;

    explicit EditingArea(QWidget *parent)
        : QPlainTextEdit(parent)
    {
        connect(document(), &QTextDocument::contentsChange, this, [this](int from, int removed, int added) {
            if (!quiet)
                edited(from, removed, text(from, added), document()->availableUndoSteps());
        });
    }
    // The `length` characters at `from`, '\n' for each line break.
    QString text(int from, int length) const
    {
        QTextCursor cursor(document());
        cursor.setPosition(from);
        // The document's last paragraph ends in a separator that its text does not hold.
        cursor.setPosition(
            std::min(from + length, document()->characterCount() - 1), QTextCursor::KeepAnchor);
        return cursor.selectedText()
            .replace(QChar::ParagraphSeparator, QLatin1Char('\n'))
            .leftJustified(length, u'\n');
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo))
            moveHistory(event->matches(QKeySequence::Undo));
        else
            QPlainTextEdit::keyPressEvent(event);
    }
    void contextMenuEvent(QContextMenuEvent *event) override
    {
        const std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
        for (QAction *action : menu->actions()) {
            const bool back = action->objectName() == QLatin1String("edit-undo");
            if (back || action->objectName() == QLatin1String("edit-redo")) {
                disconnect(action, &QAction::triggered, nullptr, nullptr);
                connect(action, &QAction::triggered, this, [this, back] { moveHistory(back); });
            }
        }
        menu->exec(event->globalPos());
    }
    void insertFromMimeData(const QMimeData *source) override
    {
        if (!source->hasText())
            return;
        textCursor().insertText(TextFile::pasted(source->text()));
        ensureCursorVisible();
    }

private:
    void moveHistory(bool back)
    {
        quiet = true;
        back ? undo() : redo();
        quiet = false;
        undone(document()->availableUndoSteps());
    }
};

ExerciseWindow::ExerciseWindow(Platform &platform, QWidget *parent)
    : QMainWindow(parent)
    , m_platform(platform)
    , m_fileMenu(platform, m_state, *this)
{
    setWindowTitle(Title + QStringLiteral("  ") + Credit);
    buildControls();
    buildMenu();
    Form_Load();
}

void ExerciseWindow::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(Twips::size(9705, 5985));
    setCentralWidget(client);
    // The controls keep their places: the window is not resizable.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    buildHelpSide(client);
    buildEditingArea(client);

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

// The help page on the left: its text, its key picture (one per page, the
// store of them hidden) and the page counter under them.
void ExerciseWindow::buildHelpSide(QWidget *client)
{
    const QFont helpFont = makeFont(QStringLiteral("Liberation Sans"), 9, false);
    const QFont counterFont = makeFont(QStringLiteral("Liberation Sans"), 9.75, true);

    m_aiuT = PlainText::label(client);
    m_aiuT->setObjectName(QStringLiteral("AiuT"));
    m_aiuT->setGeometry(Twips::rect(120, 960, 1890, 4935));
    m_aiuT->setFont(helpFont);
    m_aiuT->setWordWrap(true);
    m_aiuT->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_aiuI = new QLabel(client);
    m_aiuI->setObjectName(QStringLiteral("AiuI"));
    m_aiuI->setGeometry(Twips::rect(600, AiuITopTwips, 735, 735));
    m_aiuI->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    for (int element = 0; element < HelpPages::PageCount; ++element) {
        auto *picture = new QLabel(client);
        picture->setObjectName(QStringLiteral("Imm"));
        picture->setPixmap(renderPicture(element, picture->devicePixelRatioF()));
        picture->resize(HelpPages::pictureSize(element));
        picture->hide();
        m_imm[element] = picture;
    }

    for (QLabel **label : { &m_label2, &m_label3 }) {
        *label = new QLabel(client);
        (*label)->setFont(counterFont);
        (*label)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QPalette palette = (*label)->palette();
        palette.setColor(QPalette::WindowText, Magenta);
        (*label)->setPalette(palette);
    }
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setGeometry(Twips::rect(600, 5640, 375, 255));
    m_label2->setText(QStringLiteral("0"));
    // The number ends where "/14" begins, so that the two read "3/14".
    m_label2->setAlignment(Qt::AlignRight | Qt::AlignTop);
    m_label3->setObjectName(QStringLiteral("Label3"));
    m_label3->setGeometry(Twips::rect(960, 5640, 615, 255));
    m_label3->setText(QStringLiteral("/14"));
}

// The file path over the editing area, and the area itself.
void ExerciseWindow::buildEditingArea(QWidget *client)
{
    m_label1 = PlainText::label(client);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(Twips::rect(8535, 120, 750, 225));
    m_label1->setFont(makeFont(QStringLiteral("Liberation Sans"), 8, false));
    // The path ends at the label's right edge: a long path shows its file name.
    m_label1->setAlignment(Qt::AlignRight | Qt::AlignTop);

    m_htext = new EditingArea(client);
    // Every edit moves the line breaks whose bytes the file keeps.
    m_htext->edited = [this](qsizetype position, qsizetype removed, QStringView added, int step) {
        m_fileMenu.edited(position, removed, added, step);
    };
    m_htext->undone = [this](int step) { m_fileMenu.undoneTo(step); };
    m_htext->setObjectName(QStringLiteral("Htext"));
    m_htext->setGeometry(Twips::rect(2160, 360, 7215, 5295));
    m_htext->setFont(makeFont(QStringLiteral("Liberation Sans"), 9.75, true));
    m_htext->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_htext->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_htext->setTabStopDistance(TabStopCm / CmPerInch * m_htext->logicalDpiX());
    m_htext->installEventFilter(this);
}

void ExerciseWindow::buildMenu()
{
    QMenu *menuFile = menuBar()->addMenu(QStringLiteral("&File"));
    menuFile->setObjectName(QStringLiteral("menuFile"));
    menuFile->menuAction()->setObjectName(QStringLiteral("menuFile"));

    auto add = [&](const char *name, const QString &caption, auto work) {
        QAction *action = menuFile->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, work] {
            work(m_fileMenu);
            m_htext->setFocus();
        });
        return action;
    };
    m_menuFileNew = add("menuFileNew", QStringLiteral("&Nuovo"), [](FileMenu &menu) { menu.nuovo(); });
    m_menuFileOpen = add("menuFileOpen", QStringLiteral("A&pri"), [](FileMenu &menu) { menu.apri(); });
    m_menuFileSave = add("menuFileSave", QStringLiteral("&Salva"), [](FileMenu &menu) { menu.salva(); });
    m_menuFileSaveAs = add(
        "menuFileSaveAs", QStringLiteral("S&alva con nome..."), [](FileMenu &menu) { menu.salvaConNome(); });
    menuFile->addSeparator()->setObjectName(QStringLiteral("menuFileSp1"));
    m_menuFileClose = menuFile->addAction(QStringLiteral("&Chiudi"));
    m_menuFileClose->setObjectName(QStringLiteral("menuFileClose"));
    connect(m_menuFileClose, &QAction::triggered, this, &QWidget::close);
}

void ExerciseWindow::Form_Load()
{
    m_menuFileSave->setEnabled(false);
    m_state.Stato = HelpPages::Introduction;
    m_state.TestoRiferimento.clear();
    showCurrentFile(m_state.NomeFileCorrente);
    m_state.Operazione = ProgramState::Open;
    setHelpText(HelpPages::text(HelpPages::Introduction), Magenta);
    // The letter's caret offset counts CR and LF as a character each.
    const QString letter = sampleLetter();
    const QString shown = QString(letter).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    setEditorText(shown);
    m_state.TestoRiferimento = editorText();

    QTextCursor cursor = m_htext->textCursor();
    cursor.setPosition(SampleLetterCaret - int(QStringView(letter).left(SampleLetterCaret).count(u"\r\n")));
    m_htext->setTextCursor(cursor);
    m_htext->setFocus();
}

QString ExerciseWindow::editorText() const
{
    // The raw text keeps every character as typed (no-break spaces
    // included); paragraphs are separated by U+2029.
    return m_htext->document()->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

void ExerciseWindow::setEditorText(const QString &text)
{
    m_htext->quiet = true;
    m_htext->setPlainText(text);
    m_htext->document()->setModified(false);
    m_htext->quiet = false;
}

void ExerciseWindow::setText(const QString &text)
{
    setEditorText(text);
    m_putText = text;
}

bool ExerciseWindow::holdsUntouched(const QString &text) const
{
    // The same characters in memory, not only equal ones: a copy that was
    // changed since is a new string.
    return !m_htext->document()->isModified() && text.constData() == m_putText.constData()
        && text.size() == m_putText.size();
}

void ExerciseWindow::setSaveEnabled(bool enabled)
{
    m_menuFileSave->setEnabled(enabled);
}

void ExerciseWindow::select(qsizetype position)
{
    QTextCursor cursor(m_htext->document());
    cursor.setPosition(int(position));
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    m_htext->setTextCursor(cursor);
}

void ExerciseWindow::removeCharacters(const QList<qsizetype> &positions)
{
    // From the last, so that the positions before stay where they are; one
    // step of the undo history, whose edits are told one by one.
    QTextDocument *document = m_htext->document();
    QTextCursor cursor(document);
    QList<int> lengths;
    m_htext->quiet = true;
    cursor.beginEditBlock();
    for (auto at = positions.crbegin(); at != positions.crend(); ++at) {
        const int before = document->characterCount();
        cursor.setPosition(int(*at));
        cursor.deleteChar();
        lengths.append(before - document->characterCount());
    }
    cursor.endEditBlock();
    m_htext->quiet = false;
    for (auto at = positions.crbegin(); at != positions.crend(); ++at)
        m_fileMenu.edited(*at, lengths.takeFirst(), {}, document->availableUndoSteps());
}

bool ExerciseWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The window sees the keys of the editing area first; the page keys turn
    // the help page whatever the shift state and still reach the editor.
    if (watched == m_htext && event->type() == QEvent::KeyPress) {
        const auto *keyEvent = static_cast<QKeyEvent *>(event);
        const int key = keyEvent->key();
        if (key == Qt::Key_PageDown)
            turnPage(HelpPages::Turn::Forward);
        else if (key == Qt::Key_PageUp)
            turnPage(HelpPages::Turn::Back);
        // Shift+Enter would put a line separator into the text: it makes
        // an ordinary line break like Enter.
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && keyEvent->modifiers() & Qt::ShiftModifier) {
            m_htext->textCursor().insertBlock();
            m_htext->ensureCursorVisible();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void ExerciseWindow::turnPage(HelpPages::Turn turn)
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
    const int topTwips = AiuITopTwips + Twips::fromPx(m_aiuI->height()) + HelpPages::TextGapTwips;
    m_aiuT->move(m_aiuT->x(), Twips::px(topTwips));
}

void ExerciseWindow::setHelpText(const QString &text, const QColor &colour)
{
    QPalette palette = m_aiuT->palette();
    palette.setColor(QPalette::WindowText, colour);
    m_aiuT->setPalette(palette);
    const QString lines = QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_aiuT->setText(lines);

    const QString stato = HelpPages::number(m_state.Stato);
    const QString page = stato == QLatin1String("0") ? QStringLiteral("Introduzione")
                                                     : QStringLiteral("Pagina di aiuto %1 su 14").arg(stato);
    const QString title = lines.section(QLatin1Char('\n'), 0, 0).trimmed();
    setAccessible(m_label2, QAccessible::NameChanged, page);
    setAccessible(m_aiuI, QAccessible::NameChanged,
        m_state.Stato < HelpPages::PageCount ? QStringLiteral("Figura: ") + title
                                             : QStringLiteral("Nessuna figura"));
    setAccessible(m_htext, QAccessible::DescriptionChanged,
        page + QStringLiteral(": ") + lines.simplified()
            + QStringLiteral(" (PagGiu e PagSu sfogliano le pagine)"));
}

void ExerciseWindow::showCurrentFile(const QString &realPath)
{
    const QString path = TextFile::shownName(realPath);
    // The label keeps its right edge and widens to the left over the top of
    // the editing area, so that a whole path can be read; a longer one loses
    // its start, never its file name.
    const int right = Twips::px(Label1RightTwips), widest = right - Twips::px(HtextLeftTwips);
    const QString shown = m_label1->fontMetrics().elidedText(path, Qt::ElideLeft, widest - Label1PaddingPx);
    const int width = std::clamp(m_label1->fontMetrics().horizontalAdvance(shown) + Label1PaddingPx,
        Twips::px(Label1MinWidthTwips), widest);
    m_label1->setGeometry(right - width, Twips::px(120), width, Twips::px(225));
    m_label1->setText(shown);
    PlainText::setToolTip(m_label1, path);
    setAccessible(m_label1, QAccessible::NameChanged,
        path.isEmpty() ? QStringLiteral("Nessun file corrente") : QStringLiteral("File corrente: ") + path);
}

bool ExerciseWindow::showDialogue()
{
    FileDialog dialogue(m_platform, m_fileMenu, this);
    return dialogue.exec() == QDialog::Accepted;
}

void ExerciseWindow::setVisible(bool visible)
{
    // The outer frame, title bar included, has its place on the screen. A
    // window moved before it is first shown asks the window manager to put
    // its frame there; moved later, it moves its client area, as the frame's
    // size may not be known yet.
    if (visible && !m_placed) {
        m_placed = true;
        m_platform.moveFrame(Twips::point(FrameLeftTwips, FrameTopTwips));
    }
    QMainWindow::setVisible(visible);
}

void ExerciseWindow::closeEvent(QCloseEvent *event)
{
    // When the desktop session ends there is no one to answer. A close event comes accepted.
    if (!m_sessionEnding && !m_fileMenu.mayClose())
        event->ignore();
}
