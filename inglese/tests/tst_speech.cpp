#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "fakeplatform.h"
#include "session.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>

using Speech = Platform::Speech;

// What F5 and the loudspeaker (or the menu entry) say in each state of the two
// drills (forms 2 and 3) and of the main list (form 1), and that saying it
// changes nothing else.
class TestSpeech : public QObject
{
    Q_OBJECT

private slots:
    // Steps: "via"; "help"; "tN" ticks Timer1 N times; "lost" loses the sound
    // output; "lN" puts the caret on line N of the list; other text is typed.
    void says_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<Speech>("speech");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("said");
        const Speech on = Speech::Available;
        QTest::newRow("2 before the first question") << 2 << on << QStringList {} << "";
        QTest::newRow("2 running") << 2 << on << QStringList { "via" } << "house, home";
        QTest::newRow("2 wrong and slow") << 2 << on << QStringList { "via", "x", "t12" } << "house, home";
        QTest::newRow("2 answered") << 2 << on << QStringList { "via", "casa" } << "house, home";
        QTest::newRow("2 next word, no remark") << 2 << on << QStringList { "via", "casa", "via" } << "palm";
        QTest::newRow("3 running, partly typed") << 3 << on << QStringList { "via", "hous" } << "";
        QTest::newRow("3 help hides letters") << 3 << on << QStringList { "via", "hx", "t11", "help" } << "";
        QTest::newRow("3 help shows it all")
            << 3 << on << QStringList { "via", "housx", "t11", "help" } << "house, home";
        QTest::newRow("3 answered") << 3 << on << QStringList { "via", "house" } << "house, home";
        QTest::newRow("2 no voice") << 2 << Speech::NoVoice << QStringList { "via" } << "";
        QTest::newRow("3 no output") << 3 << Speech::NoOutput << QStringList { "via", "house" } << "";
        QTest::newRow("2 output lost") << 2 << on << QStringList { "via", "lost" } << "";
        QTest::newRow("1 first line") << 1 << on << QStringList { "l0" } << "house, home";
        QTest::newRow("1 empty line") << 1 << on << QStringList { "l1" } << "";
        QTest::newRow("1 output lost") << 1 << on << QStringList { "l0", "lost" } << "";
    }
    void says()
    {
        QFETCH(int, form);
        QFETCH(QString, said);
        Session session;
        FakePlatform platform;
        QFETCH(Speech, speech);
        platform.speech = speech;
        session.words.append(u"12  ", QStringLiteral("house (home)").leftJustified(50), u"casa");
        session.words.append(u"12  ", u"palm [of the hand]", u"palmo");
        session.selection.options.order = 2;
        session.selection.buildSelection(session.words, session.memoc);
        std::unique_ptr<QWidget> w(form == 1 ? static_cast<QWidget *>(new Form1(session, platform))
                : form == 2                  ? static_cast<QWidget *>(new Form2(session, platform))
                                             : new Form3(session, platform));
        auto *drill = qobject_cast<DrillWindow *>(w.get());
        auto *list = w->findChild<QPlainTextEdit *>(QStringLiteral("ListaVoci"));
        if (list)
            list->setPlainText(QStringLiteral("12   house (home)%1casa\n\n").arg(QString(38, ' ')));
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        QApplication::setActiveWindow(w.get());
        QFETCH(QStringList, steps);
        for (const QString &step : steps) {
            if (step == QLatin1String("via"))
                drill->Command1_Click();
            else if (step == QLatin1String("help"))
                drill->Command2_Click();
            else if (step == QLatin1String("lost"))
                platform.speech = Speech::NoOutput, platform.speechChanged();
            else if (step.at(0) == 't' && step.size() > 1)
                for (int i = step.mid(1).toInt(); i > 0; --i)
                    drill->Timer1_Timer();
            else if (step.at(0) == 'l')
                list->setTextCursor(QTextCursor(list->document()->findBlockByNumber(step.mid(1).toInt())));
            else
                drill->typingBox()->setText(step);
        }
        QObject *control = w->findChild<QToolButton *>(QStringLiteral("Command4"));
        if (!drill)
            control = w->findChild<QAction *>(QStringLiteral("menuAscolta"));
        const auto state = [&] {
            QStringList s { QString::number(session.points), QString::number(platform.beeps),
                w->windowTitle(), QString::number(platform.shown.size()) };
            for (const QTimer *t : w->findChildren<QTimer *>())
                s << QString::number(t->isActive());
            return s << (drill ? drill->typingBox()->text() : qobject_cast<Form1 *>(w.get())->wordListText());
        };
        const QStringList before = state();
        QTest::keyClick(w.get(), Qt::Key_F5);
        QMetaObject::invokeMethod(control, drill ? "click" : "trigger");
        QCOMPARE(platform.spoken, (said.isEmpty() ? QStringList() : QStringList { said, said }));
        QCOMPARE(state(), before);
        const bool available = platform.speech == Speech::Available;
        QCOMPARE(control->property("enabled").toBool(), available);
        QCOMPARE(control->property("toolTip").toString(),
            available ? "Ascolta la parola inglese"
                      : QStringLiteral("Pronuncia non disponibile: nessuna ")
                    + (platform.speech == Speech::NoVoice ? "voce inglese" : "uscita audio"));
    }
};

QTEST_MAIN(TestSpeech)
#include "tst_speech.moc"
