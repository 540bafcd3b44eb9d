// How the windows look: each row renders a window in one state offscreen and
// compares it with looks/<row>.png and its state with <row>.names.txt.
#include "EnglishDrillWindow.h"
#include "ExchangeWindow.h"
#include "HelpWindow.h"
#include "ItalianDrillWindow.h"
#include "MainWindow.h"
#include "OptionsWindow.h"
#include "ResultsWindow.h"
#include "ReviewLimitsWindow.h"
#include "SplashWindow.h"
#include "fixture.h"
#include "looks.h"
#include "review.h"
#include "session.h"
#include "vocabularyfile.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>

class TestLooks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The same rendering on every machine: Fusion, Liberation fonts, a steady caret.
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        QApplication::setFont(QFont("Liberation Sans", 9));
        QApplication::setCursorFlashTime(0);
    }

    void looks_data()
    {
        columns<QString, QString>("window", "state");
        for (const QString &tag :
            QString("form0-splash form1-locked form1-editing form4-options form4-rules-dark "
                    "form5-help form2-asking form2-answered form3-help form3-answered form6-log "
                    "form6-years form6-empty form7-import form7-export form7-exportall "
                    "form2-review form2-ready form2-dark form8-limits")
                .split(' '))
            row(qPrintable(tag), tag.section('-', 0, 0), tag.section('-', 1));
    }
    void looks()
    {
        QFETCH(QString, window);
        QFETCH(QString, state);
        // "dark": a desktop with a dark colour scheme; the boxes for the words keep black on white.
        const auto undo = qScopeGuard([light = QApplication::palette()] { QApplication::setPalette(light); });
        if (state.endsWith("dark"))
            QApplication::setPalette(QPalette(Qt::white, QColor("#3c3c3c"), QColor("#5a5a5a"), Qt::black,
                QColor("#323232"), Qt::white, Qt::white, QColor("#1e1e1e"), QColor("#282828")));
        QTemporaryDir dir;
        FakePlatform platform;
        platform.folder = dir.path();
        Session session;
        QString words = "## esempio\r\n";
        for (const QString w : { "12 c house|casa (abitazione, dimora)", " 3   light|luce",
                 " 3   to walk|camminare", " 5   dress|vestito [m.]" })
            words += w.section('|', 0, 0).leftJustified(55) + w.section('|', 1).leftJustified(50) + "\r\n";
        writeBytes(dir.filePath("inglese.txt"), Vocabulary::encode(words));
        writeBytes(
            dir.filePath("aiutoV5.txt"), "ISTRUZIONI\r\n\r\n  F1  queste istruzioni\r\n  F2  le scelte\r\n");
        writeBytes(dir.filePath("inglelog"), // "years": too many sessions to mark each
            state == "years"
                ? QByteArray("03/02/2019 09:00:00 09:30:00    20/950/2        1\r\n").repeated(700)
                    + "28/11/2026 09:00:00 09:30:00    30/1040/1        1 3\r\n"
                : state == "log"
                ? QByteArray("20/11/2026 23:30:00 00:45:00    14/970/2        TUTTE\r\n"
                             "28/11/2026 09:00:00 09:30:00    30/1040/1        1 3\r\n"
                             "04/12/2026 17:10:02 17:31:45    22/1010/0        3\r\nriga rovinata\r\n")
                : "");
        // Two words due for the review and the results, two new.
        writeBytes(dir.filePath("ripasso.tsv"),
            state == "log" || state == "review"
                ? "inglese\titaliano\tstabilita\tdifficolta\tultimo_"
                  "ripasso\tscadenza\tripassi\tdimenticanze\n"
                  "house\tcasa (abitazione, dimora)\t3.1730\t5.2826\t2026-12-01\t2026-12-04\t1\t0\n"
                  "to walk\tcamminare\t21\t4.1\t2026-11-20\t2026-12-05\t4\t1\n"
                : "");
        auto main = std::make_unique<MainWindow>(session, platform);
        QVERIFY(main->Form_Load());
        if (state == "editing")
            main->menuModifica_Click();
        session.lessonState[3] = LessonState::Chosen;
        session.doneCount = state == "log"; // this run in the results, beside the log
        std::unique_ptr<QWidget> w(window == "form0" ? new SplashWindow(session, platform)
                : window == "form1"                  ? main.release()
                : window == "form2"                  ? new EnglishDrillWindow(session, platform)
                : window == "form3"                  ? new ItalianDrillWindow(session, platform)
                : window == "form4"                  ? new OptionsWindow(session, platform)
                : window == "form6"                  ? new ResultsWindow(session, platform)
                : window == "form8"                  ? new ReviewLimitsWindow(session, platform)
                : state == "import"                  ? new ExchangeWindow(
                                       Exchange::readTable("Lezione;Inglese;Italiano\r\n0;dog;cane\r\n;cat;gatto\r\n"))
                : state.startsWith("export")
                ? static_cast<QWidget *>(new ExchangeWindow(LessonFlags { true, false, false, true }))
                : new HelpWindow(session, platform, main.get()));
        if (state == "review") { // the same drill over today's words
            auto round = std::make_unique<Review::Round>(session, platform, Direction::EnglishToItalian);
            QVERIFY(round->open());
            w.reset(new EnglishDrillWindow(session, platform, nullptr, std::move(round)));
        }
        if (state.startsWith("rules"))
            static_cast<OptionsWindow *>(w.get())->showRules();
        if (state == "export") // the lessons with words can be ticked
            control(w.get(), "OptScelte")->setProperty("checked", true);
        if (window == "form5")
            QVERIFY(static_cast<HelpWindow *>(w.get())->load());
        if (window == "form6")
            QVERIFY(QSignalSpy(static_cast<ResultsWindow *>(w.get()), &ResultsWindow::logShown).wait());
        if (window == "form6" || state == "editing" || state == "dark") // made bigger by the user
            w->resize(700, 480);
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        w->activateWindow(); // as the user's window, which has the keyboard
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        if (auto *drill = qobject_cast<DrillWindow *>(w.get()); drill && state != "ready") { // "Via!"
            drill->Command1_Click();
            drill->typingBox()->insert(state == "answered" ? drill->drill().answer()
                    : state == "help"                      ? "x"
                                                           : "");
            if (state == "help")
                drill->Command2_Click();
        }
        // What a user and a screen reader meet, kept beside the picture.
        const QImage shot = w->grab().toImage();
        const QString seen = Looks::windowState(w.get(), QStringLiteral(" at %1,%2").arg(w->x()).arg(w->y()),
            { "textFormat", "lineWrapMode", "horizontalScrollBarPolicy", "verticalScrollBarPolicy",
                "editTriggers", "selectionMode", "tabKeyNavigation",
                "shownPicture" }); // what a picture may not show
        Looks::compare(LOOKS_DIR, QTest::currentDataTag(), shot, seen);
    }
};

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
