#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "fakeplatform.h"
#include "session.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>

#include <memory>

namespace {
// A drill over two words of lesson 12, asked in order.
struct Drilling
{
    Session session;
    FakePlatform platform;
    std::unique_ptr<DrillWindow> w;

    Drilling(bool fromItalian, Platform::Speech speech = Platform::Speech::Available)
    {
        platform.speech = speech;
        session.words.append("12  ", "12", QStringLiteral("house (home)").leftJustified(50),
            QStringLiteral("casa").leftJustified(50));
        session.words.append("12  ", "12", QStringLiteral("palm [of the hand]").leftJustified(50),
            QStringLiteral("palmo").leftJustified(50));
        session.selection.options.order = 2;
        session.selection.buildSelection(session.words, session.memoc);
        w.reset(fromItalian ? static_cast<DrillWindow *>(new Form3(session, platform))
                            : new Form2(session, platform));
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        QApplication::setActiveWindow(w.get());
    }
    QToolButton *speaker() const { return w->findChild<QToolButton *>(QStringLiteral("Command4")); }
    // Everything speaking must leave as it was.
    QStringList snapshot() const
    {
        const auto *points = w->findChild<QLabel *>(QStringLiteral("labpunti"));
        const auto active = [this](const char *t) {
            return w->findChild<QTimer *>(QLatin1String(t))->isActive() ? QStringLiteral("on")
                                                                        : QStringLiteral("off");
        };
        return { points->text(), QString::number(platform.beeps), active("Timer1"), active("Timer2"),
            w->typingBox()->text(), QString::number(session.drill.lastPenalty), w->windowTitle(),
            QString::number(platform.shown.size()) };
    }
};
} // namespace

class TestSpeech : public QObject
{
    Q_OBJECT

private slots:
    // Steps: "via" starts a question, "tN" ticks Timer1 N times, "help", any other text is typed.
    void drillSays_data()
    {
        QTest::addColumn<bool>("fromItalian");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("said");
        QTest::newRow("Form2 before the first question") << false << QStringList {} << "";
        QTest::newRow("Form2 question running") << false << QStringList { "via" } << "house, home";
        QTest::newRow("Form2 wrong typing") << false << QStringList { "via", "x", "t12" } << "house, home";
        QTest::newRow("Form2 answered") << false << QStringList { "via", "casa" } << "house, home";
        QTest::newRow("Form2 second word, remark left out")
            << false << QStringList { "via", "casa", "via" } << "palm";
        QTest::newRow("Form3 before the first question") << true << QStringList {} << "";
        QTest::newRow("Form3 question running") << true << QStringList { "via" } << "";
        QTest::newRow("Form3 partly typed") << true << QStringList { "via", "hous" } << "";
        QTest::newRow("Form3 help hides letters") << true << QStringList { "via", "hx", "t11", "help" } << "";
        QTest::newRow("Form3 help shows it all")
            << true << QStringList { "via", "housx", "t11", "help" } << "house, home";
        QTest::newRow("Form3 answered") << true << QStringList { "via", "house" } << "house, home";
        QTest::newRow("Form3 next question") << true << QStringList { "via", "house", "via" } << "";
    }
    void drillSays()
    {
        QFETCH(bool, fromItalian);
        QFETCH(QStringList, steps);
        QFETCH(QString, said);
        Drilling d(fromItalian);
        for (const QString &step : steps) {
            if (step == QLatin1String("via"))
                d.w->Command1_Click();
            else if (step == QLatin1String("help"))
                d.w->Command2_Click();
            else if (step.startsWith(QLatin1Char('t')) && step.size() > 1 && step.at(1).isDigit())
                for (int i = step.mid(1).toInt(); i > 0; --i)
                    d.w->Timer1_Timer();
            else
                d.w->typingBox()->setText(step);
        }
        const QStringList before = d.snapshot();
        QTest::keyClick(d.w.get(), Qt::Key_F5);
        d.speaker()->click();
        QCOMPARE(d.platform.spoken, (said.isEmpty() ? QStringList() : QStringList { said, said }));
        QCOMPARE(d.snapshot(), before);
    }

    void unavailable_data()
    {
        QTest::addColumn<int>("window"); // 1 main window, 2 and 3 the drills
        QTest::addColumn<Platform::Speech>("speech");
        QTest::addColumn<bool>("later"); // the engine fails after the window opened
        QTest::addColumn<QString>("tip");
        const QString noVoice = QStringLiteral("Pronuncia non disponibile: nessuna voce inglese");
        const QString noOutput = QStringLiteral("Pronuncia non disponibile: nessuna uscita audio");
        for (int window : { 1, 2, 3 }) {
            const QByteArray f = "Form" + QByteArray::number(window);
            QTest::newRow(f + " available")
                << window << Platform::Speech::Available << false << "Ascolta la parola inglese";
            QTest::newRow(f + " no voice") << window << Platform::Speech::NoVoice << false << noVoice;
            QTest::newRow(f + " no output") << window << Platform::Speech::NoOutput << false << noOutput;
            QTest::newRow(f + " output lost later")
                << window << Platform::Speech::NoOutput << true << noOutput;
        }
    }
    void unavailable()
    {
        QFETCH(int, window);
        QFETCH(Platform::Speech, speech);
        QFETCH(bool, later);
        QFETCH(QString, tip);
        const Platform::Speech atStart = later ? Platform::Speech::Available : speech;
        Session session;
        FakePlatform platform;
        platform.speech = atStart;
        std::unique_ptr<QWidget> w;
        QObject *control = nullptr;
        if (window == 1) {
            auto *form1 = new Form1(session, platform);
            w.reset(form1);
            form1->findChild<QPlainTextEdit *>(QStringLiteral("ListaVoci"))
                ->setPlainText(
                    QStringLiteral("12   house") + QString(45, QLatin1Char(' ')) + QStringLiteral("casa"));
            control = form1->findChild<QAction *>(QStringLiteral("menuAscolta"));
        } else {
            session.words.append(
                "12  ", "12", QStringLiteral("house").leftJustified(50), QStringLiteral("casa"));
            session.selection.buildSelection(session.words, session.memoc);
            auto *drill = window == 2 ? static_cast<DrillWindow *>(new Form2(session, platform))
                                      : new Form3(session, platform);
            w.reset(drill);
            drill->Command1_Click();
            drill->typingBox()->setText(window == 2 ? QStringLiteral("casa") : QStringLiteral("house"));
            control = drill->findChild<QToolButton *>(QStringLiteral("Command4"));
        }
        QVERIFY(control);
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        QApplication::setActiveWindow(w.get());
        if (later) {
            platform.speech = speech;
            QVERIFY(platform.speechChanged);
            platform.speechChanged();
        }
        QCOMPARE(control->property("enabled").toBool(), speech == Platform::Speech::Available);
        QCOMPARE(control->property("toolTip").toString(), tip);
        QTest::keyClick(w.get(), Qt::Key_F5);
        QCOMPARE(
            platform.spoken, speech == Platform::Speech::Available ? QStringList { "house" } : QStringList());
        QVERIFY(platform.shown.isEmpty()); // never a message box about it
    }

    // F5 and the menu entry say the English field of the caret's line.
    void mainWindowSays_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<bool>("menu");
        QTest::addColumn<QStringList>("said");
        QTest::newRow("first line, F5") << 0 << false << QStringList { "house, home" };
        QTest::newRow("first line, menu") << 0 << true << QStringList { "house, home" };
        QTest::newRow("remark left out") << 1 << false << QStringList { "palm" };
        QTest::newRow("line without English") << 2 << false << QStringList {};
        QTest::newRow("empty line") << 3 << true << QStringList {};
    }
    void mainWindowSays()
    {
        QFETCH(int, line);
        QFETCH(bool, menu);
        Session session;
        FakePlatform platform;
        Form1 w(session, platform);
        auto *list = w.findChild<QPlainTextEdit *>(QStringLiteral("ListaVoci"));
        const auto wordLine = [](const char *english, const char *italian) {
            return QStringLiteral("12   ") + QString::fromLatin1(english).leftJustified(50)
                + QString::fromLatin1(italian);
        };
        list->setPlainText(wordLine("house (home)", "casa") + '\n' + wordLine("palm [of the hand]", "palmo")
            + '\n' + wordLine("", "vuoto") + "\n\n" + wordLine("cat", "gatto"));
        QTextCursor caret(list->document()->findBlockByNumber(line));
        caret.movePosition(QTextCursor::EndOfBlock);
        list->setTextCursor(caret);
        const QString before = w.wordListText();
        w.show();
        QApplication::setActiveWindow(&w);
        list->setFocus();
        if (menu)
            w.findChild<QAction *>(QStringLiteral("menuAscolta"))->trigger();
        else
            QTest::keyClick(list, Qt::Key_F5);
        QTEST(platform.spoken, "said");
        QCOMPARE(w.wordListText(), before);
        QCOMPARE(list->textCursor().blockNumber(), line);
    }
};

QTEST_MAIN(TestSpeech)
#include "tst_speech.moc"
