#include "MainWindow.h"

#include "EnglishDrillWindow.h"
#include "ExchangeWindow.h"
#include "HelpWindow.h"
#include "ItalianDrillWindow.h"
#include "OptionsWindow.h"
#include "ResultsWindow.h"
#include "ReviewLimitsWindow.h"

#include "filechoice.h"
#include "mainrules.h"
#include "plainwidgets.h"
#include "platform.h"
#include "pronunciation.h"
#include "review.h"
#include "session.h"
#include "twips.h"
#include "vocabularyfile.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTimer>

namespace {
constexpr int ButtonWidth = Twips::px(1245);
constexpr int ButtonHeight = Twips::px(420);
constexpr int LabelHeight = Twips::px(255);

QLabel *blueLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = PlainText::label(parent, text);
    label->setObjectName(name);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    label->setPalette(palette);
    return label;
}

QPushButton *button(const QString &name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->resize(ButtonWidth, ButtonHeight);
    return b;
}
} // namespace

MainWindow::MainWindow(Session &session, Platform &platform, QWidget *parent)
    : QMainWindow(parent)
    , m_session(session)
    , m_platform(platform)
    , m_area(new QWidget(this))
    , m_timTab(new QTimer(this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("    STUDIO L'INGLESE"));
    setFont(QFont(QStringLiteral("Liberation Sans"), 8));

    setCentralWidget(m_area);
    // Below this size the layout arithmetic would give the list no room.
    m_area->setMinimumSize(300, 200);
    m_area->installEventFilter(this);

    m_label0 = blueLabel(
        QStringLiteral("Label0"), QStringLiteral("Elenco dei vocaboli di tutte le Lezioni"), m_area);
    m_label0->setGeometry(Twips::rect(240, 120, 4905, 255));
    m_label1 = blueLabel(QStringLiteral("Label1"), QStringLiteral("Lez."), m_area);
    m_label1->setGeometry(Twips::px(210), Twips::px(450), Twips::px(500), LabelHeight);
    m_label2 = blueLabel(QStringLiteral("Label2"), QStringLiteral("I N G L E S E"), m_area);
    m_label2->setGeometry(Twips::px(735), Twips::px(450), Twips::px(2000), LabelHeight);
    m_label3 = blueLabel(QStringLiteral("Label3"), QStringLiteral("I T A L I A N O"), m_area);
    m_label3->setGeometry(Twips::px(5880), Twips::px(450), Twips::px(2000), LabelHeight);

    m_listaVoci = new QPlainTextEdit(m_area);
    m_listaVoci->setObjectName(QStringLiteral("ListaVoci"));
    QFont fixed(QStringLiteral("Liberation Mono"), 9);
    fixed.setStyleHint(QFont::TypeWriter);
    m_listaVoci->setFont(fixed);
    m_listaVoci->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_listaVoci->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_listaVoci->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_listaVoci->setGeometry(Twips::rect(120, 840, 8775, 4335));
    m_listaVoci->installEventFilter(this);
    // The column headers stand over the first character of their field.
    const QFontMetricsF metrics(m_listaVoci->font());
    const qreal textLeft
        = m_listaVoci->x() + m_listaVoci->frameWidth() + m_listaVoci->document()->documentMargin();
    const auto overColumn = [&](QLabel *label, int column) {
        label->move(
            qRound(textLeft + (column - 1) * metrics.horizontalAdvance(QLatin1Char('M'))), label->y());
    };
    overColumn(m_label1, 1);
    overColumn(m_label2, Vocabulary::EnglishColumn);
    overColumn(m_label3, Vocabulary::ItalianColumn);

    m_command1 = button(QStringLiteral("Command1"), QStringLiteral("Ingl -> Ital"), m_area);
    m_command1->move(Twips::px(120), Twips::px(5400));
    m_command2 = button(QStringLiteral("Command2"), QStringLiteral("Ital -> Ingl"), m_area);
    m_command2->move(Twips::px(1560), Twips::px(5415));
    m_command3 = button(QStringLiteral("Command3"), QStringLiteral("FINE"), m_area);
    m_command3->move(Twips::px(7620), Twips::px(5415));
    // What a screen reader says: the headers as words, the buttons in full.
    m_label1->setAccessibleName(QStringLiteral("Lezione"));
    m_label2->setAccessibleName(QStringLiteral("Inglese"));
    m_label3->setAccessibleName(QStringLiteral("Italiano"));
    m_listaVoci->setAccessibleName(QStringLiteral("Elenco dei vocaboli"));
    m_listaVoci->setAccessibleDescription(
        QStringLiteral("Una riga per parola: lezione, segno delle parole critiche, inglese, italiano. "
                       "Si modifica con File, Aggiorna Vocaboli."));
    m_command1->setAccessibleName(QStringLiteral("Prova da inglese a italiano"));
    m_command2->setAccessibleName(QStringLiteral("Prova da italiano a inglese"));
    m_command3->setAccessibleName(QStringLiteral("Fine del programma"));
    connect(m_command1, &QPushButton::clicked, this, &MainWindow::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &MainWindow::Command2_Click);
    connect(m_command3, &QPushButton::clicked, this, &MainWindow::Command3_Click);

    m_timTab->setObjectName(QStringLiteral("TimTab"));
    m_timTab->setInterval(100);
    connect(m_timTab, &QTimer::timeout, this, &MainWindow::TimTab_Timer);

    buildMenus();
    // "Salva Aggiornamenti" is there whenever the list differs from the file:
    // after an edit, until a save, or until undo brings the list back as saved.
    connect(m_listaVoci->document(), &QTextDocument::modificationChanged, m_menuSalva, &QAction::setEnabled);
    setWordListText(QString());
    m_menuSalva->setEnabled(false);
    m_menuModifica->setChecked(true);
    menuModifica_Click(); // locked, as the window starts

    resize(600, 390 + menuBar()->sizeHint().height());
}

void MainWindow::buildMenus()
{
    auto action = [](QMenu *menu, const QString &name, const QString &text) {
        QAction *a = menu->addAction(text);
        a->setObjectName(name);
        return a;
    };
    m_menuFile = menuBar()->addMenu(QStringLiteral("&File"));
    m_menuFile->setObjectName(QStringLiteral("menuFile"));
    m_menuModifica = action(m_menuFile, QStringLiteral("menuModifica"), QStringLiteral("&Aggiorna Vocaboli"));
    m_menuModifica->setCheckable(true);
    m_menuSalva = action(m_menuFile, QStringLiteral("menuSalva"), QStringLiteral("&Salva Aggiornamenti"));
    m_menuImporta = action(m_menuFile, QStringLiteral("menuImporta"), QStringLiteral("&Importa Vocaboli..."));
    m_menuEsporta = action(m_menuFile, QStringLiteral("menuEsporta"), QStringLiteral("&Esporta Vocaboli..."));
    m_menuFine = action(m_menuFile, QStringLiteral("menuFine"), QStringLiteral("&Fine"));

    m_menuOpzioni = menuBar()->addMenu(QStringLiteral("&Opzioni"));
    m_menuOpzioni->setObjectName(QStringLiteral("menuOpzioni"));
    m_menuLezioni
        = action(m_menuOpzioni, QStringLiteral("menuLezioni"), QStringLiteral("&Modifica Scelte..."));
    m_menuLezioni->setShortcut(Qt::Key_F2);
    m_menuLimiti
        = action(m_menuOpzioni, QStringLiteral("menuLimiti"), QStringLiteral("&Limiti del Ripasso..."));

    m_menuProva = menuBar()->addMenu(QStringLiteral("&Prova"));
    m_menuProva->setObjectName(QStringLiteral("menuProva"));
    m_menuIngIta = action(m_menuProva, QStringLiteral("menuIngIta"), QStringLiteral("&Inglese ->Italiano"));
    m_menuItaIng = action(m_menuProva, QStringLiteral("menuItaIng"), QStringLiteral("I&taliano->Inglese"));
    m_menuRipasso = action(m_menuProva, QStringLiteral("menuRipasso"), QString());
    m_menuRipasso->setShortcut(Qt::Key_F6);
    m_menuRipassoIta = action(m_menuProva, QStringLiteral("menuRipassoIta"), QString());
    m_menuRipassoIta->setShortcut(Qt::SHIFT | Qt::Key_F6);
    showReviewCount();
    // The count of today's words is read again each time the menu opens.
    connect(m_menuProva, &QMenu::aboutToShow, this, &MainWindow::showReviewCount);
    m_menuRisultati = action(m_menuProva, QStringLiteral("menuRisultati"), QStringLiteral("&Risultati..."));
    m_menuRisultati->setShortcut(Qt::Key_F3);
    m_menuAscolta
        = action(m_menuProva, QStringLiteral("menuAscolta"), QStringLiteral("&Ascolta la parola inglese"));
    m_menuAscolta->setShortcut(Qt::Key_F5);
    // F5 speaks in edit mode too, while "Prova" is disabled: a teacher hears
    // the line at the caret as the list is typed. The window's own copy of the
    // action keeps the key alive.
    addAction(m_menuAscolta);
    const auto showSpeech = [this] {
        const Platform::Speech speech = m_platform.canSpeak(QLocale::English);
        m_menuAscolta->setEnabled(speech == Platform::Speech::Available);
        m_menuAscolta->setToolTip(Pronunciation::controlTip(speech));
    };
    m_menuProva->setToolTipsVisible(true);
    showSpeech();
    m_platform.watchSpeech(this, showSpeech);

    m_menuAiuto = menuBar()->addMenu(QStringLiteral("&Aiuto"));
    m_menuAiuto->setObjectName(QStringLiteral("menuAiuto"));
    m_menuIstruzioni
        = action(m_menuAiuto, QStringLiteral("menuIstruzioni"), QStringLiteral("&Istruzioni Generali"));
    m_menuIstruzioni->setShortcut(Qt::Key_F1);
    m_menuRegole = action(m_menuAiuto, QStringLiteral("menuRegole"), QStringLiteral("&Regole della Prova"));

    connectMenus();
}

// What each menu entry does; the shortcuts of a disabled menu do nothing either.
void MainWindow::connectMenus()
{
    auto whenEnabled = [](QMenu *menu, auto handler) {
        return [menu, handler] {
            if (menu->menuAction()->isEnabled())
                handler();
        };
    };
    connect(m_menuModifica, &QAction::triggered, this, [this] {
        const bool editing = m_menuModifica->isChecked();
        if (!editing && !mayLeaveEditing()) {
            m_menuModifica->setChecked(true);
            return;
        }
        m_listaVoci->setReadOnly(!editing);
        if (!editing) // locked: the caret can still move and select
            m_listaVoci->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        m_menuOpzioni->menuAction()->setEnabled(!editing);
        m_menuProva->menuAction()->setEnabled(!editing);
    });
    connect(m_menuSalva, &QAction::triggered, this, [this] { menuSalva_Click(); });
    connect(m_menuImporta, &QAction::triggered, this, &MainWindow::menuImporta_Click);
    connect(m_menuEsporta, &QAction::triggered, this, &MainWindow::menuEsporta_Click);
    connect(m_menuFine, &QAction::triggered, this, &MainWindow::menuFine_Click);
    connect(m_menuLezioni, &QAction::triggered, this,
        whenEnabled(m_menuOpzioni, [this] { menuLezioni_Click(); }));
    connect(m_menuIngIta, &QAction::triggered, this, whenEnabled(m_menuProva, [this] { Command1_Click(); }));
    connect(m_menuItaIng, &QAction::triggered, this, whenEnabled(m_menuProva, [this] { Command2_Click(); }));
    connect(
        m_menuRipasso, &QAction::triggered, this, whenEnabled(m_menuProva, [this] { menuRipasso_Click(); }));
    connect(m_menuRipassoIta, &QAction::triggered, this,
        whenEnabled(m_menuProva, [this] { menuRipassoIta_Click(); }));
    connect(
        m_menuLimiti, &QAction::triggered, this, whenEnabled(m_menuOpzioni, [this] { menuLimiti_Click(); }));
    connect(m_menuRisultati, &QAction::triggered, this,
        whenEnabled(m_menuProva, [this] { menuRisultati_Click(); }));
    connect(m_menuAscolta, &QAction::triggered, this, &MainWindow::menuAscolta_Click);
    connect(m_menuIstruzioni, &QAction::triggered, this, &MainWindow::menuIstruzioni_Click);
    connect(m_menuRegole, &QAction::triggered, this, &MainWindow::menuRegole_Click);
}

bool MainWindow::Form_Load(const std::function<void(const QString &)> &progress)
{
    const QSize screen = m_platform.screenSize();
    move((screen.width() - width()) / 2, (screen.height() - height()) / 2);

    m_session.dataFolder = DataFolder::forCurrentFolder(m_platform.currentFolder());
    m_filin = m_session.dataFolder.path(DataFolder::WordsFile);
    m_session.selection.rebuildNeeded = true;
    if (progress)
        progress(QStringLiteral("Attendere ancora pochi secondi ..."));

    UserFile::Text read = Vocabulary::readFile(m_filin, &m_diskStamp);
    QString fileText = std::move(read.text);
    bool loaded = bool(read);
    bool fits = true;
    if (loaded) {
        const Vocabulary::FileText split = Vocabulary::splitFileText(fileText);
        fileText.clear();
        m_commenti = split.comments;
        m_session.points = 1000;
        m_session.startTime = m_platform.currentTime();
        m_session.words.clear();
        sizeWordList();
        setWordListText(split.wordText);
        fits = Vocabulary::parseWordList(split.wordText, m_session.words, m_session.memoc,
            m_session.selection.builtFromCritical(), m_platform);
        loaded = fits && MainRules::fillLessonState(m_session);
    }
    if (!loaded) {
        // A file that is there but cannot be taken says why; a missing one gets the usual words.
        const bool named
            = read.problem != UserFile::Problem::None && read.problem != UserFile::Problem::Missing;
        m_platform.message(MainRules::StartupErrorTitle,
            named      ? UserFile::problemText(m_filin, read.problem, Vocabulary::MaxFileBytes, read.reason)
                : fits ? MainRules::StartupErrorText
                       : MainRules::tooManyWordsText());
        return false;
    }
    return true;
}

QString MainWindow::wordListText() const
{
    QString text = m_listaVoci->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QChar::LineFeed);
    text.replace(QChar::LineSeparator, QChar::LineFeed);
    text.replace(QChar::LineFeed, Vocabulary::CrLf);
    return text;
}

void MainWindow::setWordListText(const QString &text)
{
    // The list reads CR LF as one line break: the text goes in as it is.
    m_listaVoci->setPlainText(text);
    m_listaVoci->document()->setModified(false);
}

void MainWindow::sizeWordList()
{
    // The list lays out its lines again, every one of them, whenever the
    // width of its viewport changes, and a hidden widget hears of its size
    // only when it is shown. So before the text goes in, the window's layout
    // gives the list its final size and the list and its viewport hear of it.
    if (isVisible())
        return;
    ensurePolished();
    if (layout())
        layout()->activate();
    Form_Resize();
    for (QWidget *widget : { static_cast<QWidget *>(m_listaVoci), m_listaVoci->viewport() }) {
        if (widget->testAttribute(Qt::WA_PendingResizeEvent)) {
            QResizeEvent resized(widget->size(), QSize());
            QCoreApplication::sendEvent(widget, &resized);
            widget->setAttribute(Qt::WA_PendingResizeEvent, false);
        }
    }
}

bool MainWindow::editMode() const
{
    return m_menuModifica->isChecked();
}

void MainWindow::openDrill(DrillWindow *drill)
{
    // The drill takes the place of this window; back here, the lesson column
    // shows the critical marks the drill has added or cleared.
    connect(drill, &DrillWindow::unloaded, this, [this] {
        show();
        m_session.words.refreshLessons(m_session.memoc.words());
    });
    hide();
    drill->show();
}

void MainWindow::Command1_Click()
{
    openDrill(new EnglishDrillWindow(m_session, m_platform)); // English shown, Italian typed
}

void MainWindow::Command2_Click()
{
    openDrill(new ItalianDrillWindow(m_session, m_platform)); // Italian shown, English typed
}

void MainWindow::showReviewCount()
{
    // Each direction has its own memories, so its own words today.
    const auto count = [this](Direction direction) {
        return m_session.dataFolder.isNull()
            ? QString()
            : Review::menuCount(Review::Round::today(m_session, m_platform, direction));
    };
    m_menuRipasso->setText(QStringLiteral("Ri&passo di oggi%1...").arg(count(Direction::EnglishToItalian)));
    m_menuRipassoIta->setText(
        QStringLiteral("Ripasso di oggi, Italiano->Inglese%1...").arg(count(Direction::ItalianToEnglish)));
}

void MainWindow::menuRipasso_Click()
{
    auto round = std::make_unique<Review::Round>(m_session, m_platform, Direction::EnglishToItalian);
    if (round->open())
        openDrill(new EnglishDrillWindow(m_session, m_platform, nullptr, std::move(round)));
}

void MainWindow::menuRipassoIta_Click()
{
    auto round = std::make_unique<Review::Round>(m_session, m_platform, Direction::ItalianToEnglish);
    if (round->open())
        openDrill(new ItalianDrillWindow(m_session, m_platform, nullptr, std::move(round)));
}

void MainWindow::menuLimiti_Click()
{
    // The review's daily limits, in a small window of their own, modally.
    ReviewLimitsWindow limits(m_session, m_platform, this);
    limits.exec();
}

void MainWindow::Command3_Click()
{
    close();
}

void MainWindow::menuFine_Click()
{
    close();
}

void MainWindow::menuImporta_Click()
{
    const QString path = FileChoice::ask(m_platform,
        { Platform::FileQuestion::Mode::Open, Exchange::ImportTitle, QString(), QString(),
            QStringLiteral("Vocaboli (*.csv *.tsv *.txt *.kvtml);;Fogli di calcolo (*.csv *.tsv *.txt);;"
                           "KVTML (*.kvtml);;Tutti i file (*)"),
            QString() },
        m_session.fileFolder);
    if (!path.isEmpty())
        importFile(path);
}

void MainWindow::importFile(const QString &path)
{
    appendWordLines(ExchangeWindow::importFile(this, path, wordListText(), m_platform));
}

void MainWindow::appendWordLines(const QString &lines)
{
    if (lines.isEmpty())
        return;
    // Nothing is saved yet: the words stand at the end of the list, open for
    // editing, until "Salva Aggiornamenti".
    if (!m_menuModifica->isChecked())
        m_menuModifica->trigger();
    QString shown = lines;
    shown.replace(Vocabulary::CrLf, QStringLiteral("\n"));
    QTextCursor cursor(m_listaVoci->document());
    cursor.movePosition(QTextCursor::End);
    if (!cursor.block().text().isEmpty())
        cursor.insertText(QStringLiteral("\n"));
    cursor.insertText(shown);
    m_listaVoci->setTextCursor(cursor);
    m_listaVoci->ensureCursorVisible();
}

void MainWindow::menuEsporta_Click()
{
    // What the list shows, edited or not; the drills' critical marks belong
    // to the rows of the table, which are the text's only while it is as read or saved.
    const bool asSaved = !m_listaVoci->document()->isModified();
    ExchangeWindow::exportWords(
        this, m_session, wordListText(), asSaved ? &m_session.memoc : nullptr, m_platform);
}

void MainWindow::menuModifica_Click()
{
    m_menuModifica->trigger();
}

bool MainWindow::menuSalva_Click()
{
    const QString text = wordListText();
    if (const Vocabulary::SaveProblem problem = Vocabulary::checkBeforeSave(text)) {
        m_platform.message(Vocabulary::SaveTitle, Vocabulary::saveProblemMessage(problem),
            Platform::Buttons::Ok, Platform::Icon::Stop);
        return false;
    }
    // Another copy of the program (or an editor) saved the file meanwhile:
    // overwriting it would throw its words away without a word. A file that
    // shares its content with other names would leave them behind.
    const auto declined = [this](const QString &question) {
        return m_platform.message(
                   Vocabulary::SaveTitle, question, Platform::Buttons::YesNo, Platform::Icon::Information)
            != Platform::Answer::Yes;
    };
    if ((UserFile::changedSince(m_filin, m_diskStamp) && declined(Vocabulary::ChangedOnDiskText))
        || (UserFile::otherNames(m_filin) > 0 && declined(UserFile::otherNamesQuestion(m_filin))))
        return false;
    Session &s = m_session;
    s.words.clear();
    Vocabulary::parseWordList(text, s.words, s.memoc, s.selection.builtFromCritical(), m_platform);
    // The rows may have moved: the next drill draws from the new table, and
    // a waiting word or a critical mark of a row that is gone is dropped.
    s.selection.forgetRowsFrom(s.words.count(), s.memoc);
    s.selection.rebuildNeeded = true;
    s.selection.buildSelection(s.words, s.memoc);

    const UserFile::Written written = Vocabulary::writeFile(m_filin, Vocabulary::saveText(m_commenti, text));
    if (!written) {
        m_platform.message(Vocabulary::SaveTitle,
            Vocabulary::saveFailedMessage(m_filin, UserFile::reasonText(written)), Platform::Buttons::Ok,
            Platform::Icon::Stop);
        return false;
    }
    m_diskStamp = written.stamp;
    m_listaVoci->document()->setModified(false);
    return true;
}

bool MainWindow::mayLeaveEditing()
{
    if (!m_listaVoci->document()->isModified())
        return true;
    // Sì saves (a refused or failed save keeps the edit mode), No locks the
    // list with its edits still to save, Annulla keeps editing.
    switch (askToSave()) {
    case Platform::Answer::Yes:
        return menuSalva_Click();
    case Platform::Answer::No:
        return true;
    default:
        return false;
    }
}

Platform::Answer MainWindow::askToSave()
{
    return m_platform.message(Vocabulary::SaveTitle, QStringLiteral("Salvare gli aggiornamenti?"),
        Platform::Buttons::YesNoCancel, Platform::Icon::Information);
}

void MainWindow::menuLezioni_Click()
{
    // Shows the options window OptionsWindow, modally.
    OptionsWindow options(m_session, m_platform, this);
    options.exec();
}

void MainWindow::menuIstruzioni_Click()
{
    // Shows the instructions window HelpWindow, modally.
    HelpWindow::showInstructions(m_session, m_platform, this);
}

void MainWindow::menuRegole_Click()
{
    // Shows OptionsWindow as the rules view, modally.
    OptionsWindow rules(m_session, m_platform, this);
    rules.showRules();
    rules.exec();
}

void MainWindow::menuRisultati_Click()
{
    // Shows the results window ResultsWindow, modally; it only reads the exit log.
    ResultsWindow::showResults(m_session, m_platform, this);
}

void MainWindow::menuAscolta_Click()
{
    // Speaking changes nothing in the list, so it works while editing too.
    const QString line = m_listaVoci->textCursor().block().text();
    const QString text = Pronunciation::spokenText(Pronunciation::englishOfLine(line));
    if (m_menuAscolta->isEnabled() && !text.isEmpty())
        m_platform.speak(text, QLocale::English);
}

void MainWindow::TimTab_Timer()
{
    m_timTab->stop();
    QTextCursor cursor = m_listaVoci->textCursor();
    // After Tab (WaitingKey::Tab) the key handler has already placed the caret and
    // kept the tab out of the text, so that no undo can bring it back.
    if (m_spia == WaitingKey::Enter) {
        // The text box has broken the line: the new line starts with blanks
        // up to the Italian field, the caret at its start.
        const int pos = cursor.position();
        cursor.insertText(QString(MainRules::EnterBlanks, QLatin1Char(' ')));
        cursor.setPosition(pos);
    }
    m_listaVoci->setTextCursor(cursor);
    m_spia = WaitingKey::None;
}

bool MainWindow::ListaVoci_KeyDown(int key)
{
    if (m_listaVoci->isReadOnly())
        return key == Qt::Key_Tab; // locked: Tab neither types nor leaves the list
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        m_spia = WaitingKey::Enter;
        m_timTab->start();
    } else if (key == Qt::Key_Tab) {
        m_spia = WaitingKey::Tab;
        QTextCursor cursor = m_listaVoci->textCursor();
        const int caret = cursor.selectionStart(); // a selection counts from its start
        const QTextBlock block = m_listaVoci->document()->findBlock(caret);
        // Offsets in the program's text, where every line break is CR LF.
        const int extra = block.blockNumber();
        const int lineStart = block.position() + extra;
        const int target = MainRules::tabCaret(lineStart, caret + extra) - extra;
        cursor.setPosition(qBound(block.position(), target, block.position() + block.length() - 1));
        m_listaVoci->setTextCursor(cursor);
        m_timTab->start();
        return true; // a tab character in a line would shift every later column
    }
    return false;
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_area && event->type() == QEvent::Resize)
        Form_Resize();
    if (watched == m_listaVoci && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Tab belongs to the list; Ctrl+Tab and Ctrl+Shift+Tab leave it for the buttons.
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            && (key->modifiers() & Qt::ControlModifier)) {
            if (key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier))
                focusNextChild();
            else
                focusPreviousChild();
            return true;
        }
        if (ListaVoci_KeyDown(key->key()))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::Form_Resize()
{
    if (isMinimized())
        return;
    const int w = m_area->width();
    const int h = m_area->height();
    m_label0->resize(w - 15, m_label0->height());
    m_listaVoci->resize(w - 15, h - 100);
    m_command1->move(m_command1->x(), h - 30);
    m_command2->move(m_command2->x(), h - 30);
    m_command3->move(w - 15 - m_command3->width(), h - 30);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded && m_listaVoci->document()->isModified()) {
        const Platform::Answer answer = askToSave();
        if (answer == Platform::Answer::Cancel || (answer == Platform::Answer::Yes && !menuSalva_Click())) {
            event->ignore();
            return;
        }
    }
    if (!m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    event->accept();
    emit programEnded();
}

void MainWindow::Form_Unload()
{
    Session &s = m_session;
    const QString path = s.dataFolder.path(DataFolder::LogFile);
    const QString line = MainRules::exitLogLine(m_platform.currentDate(), s.startTime,
        m_platform.currentTime(), s.doneCount, s.points, s.memoc.count(), s.lessonState);
    QString reason;
    if (!MainRules::appendExitLog(path, line, &reason))
        m_platform.message(QStringLiteral("Registro delle prove"),
            MainRules::exitLogFailedMessage(path, reason), Platform::Buttons::Ok, Platform::Icon::Stop);
}
