// What a screen reader finds in the vocabulary trainer's windows: every
// control a person reads or operates has a name, the drill says in words
// whether the typed answer is right, and every menu entry has its own key.
#include "Form0.h"
#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "Form4.h"
#include "Form5.h"
#include "fakeplatform.h"
#include "session.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>

#include <functional>
#include <memory>

namespace {

struct Node
{
    QString where;
    QString name;
};

// Every visible object of a window's accessibility tree that a person reads
// or operates. Containers (a plain widget holding others, panes, the menu bar
// itself) and the standard parts of scroll bars are passed through.
void walk(QAccessibleInterface *node, const QString &path, QList<Node> &out)
{
    if (!node || !node->isValid() || node->state().invisible)
        return;
    const QAccessible::Role role = node->role();
    const QObject *object = node->object();
    const QString where = path + QLatin1Char('/')
        + (object && !object->objectName().isEmpty() ? object->objectName() : QStringLiteral("role %1").arg(role));
    // Scroll bars and the inside of a text box are Qt's own parts of a named control.
    if (role == QAccessible::ScrollBar || (object && object->objectName() == QLatin1String("qt_scrollarea_viewport")))
        return;
    const bool container = (role == QAccessible::Client && node->childCount() > 0) || role == QAccessible::Pane
        || role == QAccessible::MenuBar || role == QAccessible::Separator;
    if (!container)
        out.append({ where, node->text(QAccessible::Name).trimmed() });
    for (int i = 0; i < node->childCount(); ++i)
        walk(node->child(i), where, out);
}

QList<Node> controls(QWidget *window)
{
    QList<Node> out;
    walk(QAccessible::queryAccessibleInterface(window), QString(), out);
    return out;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void everyControlNamed_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("heard"); // names that must be among the controls
        QTest::newRow("splash") << "Form0" << QStringList { "STUDIO L'INGLESE", "Avvio del programma" };
        QTest::newRow("main") << "Form1"
                              << QStringList { "Elenco dei vocaboli", "Prova da inglese a italiano", "File",
                                               "Opzioni", "Aiuto" };
        QTest::newRow("drill from English") << "Form2" << QStringList { "Punti: 1000", "Traduzione in italiano" };
        QTest::newRow("drill from Italian") << "Form3" << QStringList { "Punti: 1000", "Traduzione in inglese" };
        QTest::newRow("options") << "Form4" << QStringList { "Lezione 20", "A caso", "Regole della prova" };
        QTest::newRow("instructions") << "Form5" << QStringList { "Istruzioni generali", "Ritorno" };
    }
    void everyControlNamed()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, heard);
        Session session;
        FakePlatform platform;
        session.points = 1000;
        std::unique_ptr<QWidget> w;
        if (window == "Form0")
            w.reset(new Form0(session, platform));
        else if (window == "Form1")
            w.reset(new Form1(session, platform));
        else if (window == "Form2")
            w.reset(new Form2(session, platform));
        else if (window == "Form3")
            w.reset(new Form3(session, platform));
        else if (window == "Form4")
            w.reset(new Form4(session, platform));
        else
            w.reset(new Form5(session, platform));
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));

        QStringList unnamed;
        QStringList names;
        for (const Node &node : controls(w.get())) {
            if (node.name.isEmpty())
                unnamed << node.where;
            names << node.name;
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1String(", "))));
        for (const QString &name : heard)
            QVERIFY2(names.contains(name), qPrintable(name + QLatin1String(" not in ") + names.join(QLatin1String(" | "))));
    }

    // The typing box tells in words what its colour shows; its name carries
    // the word to translate.
    void drillVerdict_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("verdict");
        QTest::newRow("nothing typed") << "" << "Scrivi qui la traduzione";
        QTest::newRow("right so far") << "ca" << "Giusto finora";
        QTest::newRow("alternative followed") << "abit" << "Giusto finora";
        QTest::newRow("wrong letter") << "cx" << "Errore: quello che hai scritto non è l'inizio della risposta";
        QTest::newRow("answered") << "casa" << "Risposta esatta";
    }
    void drillVerdict()
    {
        QFETCH(QString, typed);
        QFETCH(QString, verdict);
        Session session;
        FakePlatform platform;
        session.words.append(u"12  ", QStringLiteral("house").leftJustified(50),
                             QStringLiteral("casa (abitazione, dimora)").leftJustified(50));
        session.selection.options.order = 2;
        session.selection.buildSelection(session.words, session.memoc);
        Form2 drill(session, platform);
        drill.setAttribute(Qt::WA_DeleteOnClose, false);
        drill.show();
        QApplication::setActiveWindow(&drill);
        QVERIFY(QTest::qWaitForWindowActive(&drill));

        drill.Command1_Click();
        QLineEdit *typing = drill.typingBox();
        QCOMPARE(typing->accessibleName(), "Traduzione in italiano di: house");
        QTest::keyClicks(typing, typed);
        QCOMPARE(typing->accessibleDescription(), verdict);
        // Once wrong, a correction is heard as right again.
        if (verdict.startsWith("Errore")) {
            QTest::keyClick(typing, Qt::Key_Backspace);
            QCOMPARE(typing->accessibleDescription(), "Giusto finora");
        }
    }

    // Each menu and each of its entries has a key of its own, underlined in
    // its caption: the whole main window is worked with Alt and one letter.
    void menuKeys()
    {
        Session session;
        FakePlatform platform;
        Form1 form(session, platform);
        QString menuKeys;
        for (QAction *menuAction : form.menuBar()->actions()) {
            const QKeySequence key = QKeySequence::mnemonic(menuAction->text());
            QVERIFY2(!key.isEmpty(), qPrintable(menuAction->text()));
            QVERIFY2(!menuKeys.contains(key.toString()), qPrintable(menuAction->text()));
            menuKeys += key.toString();
            QString entryKeys;
            for (QAction *entry : menuAction->menu()->actions()) {
                if (entry->isSeparator())
                    continue;
                const QKeySequence entryKey = QKeySequence::mnemonic(entry->text());
                QVERIFY2(!entryKey.isEmpty(), qPrintable(entry->text()));
                QVERIFY2(!entryKeys.contains(entryKey.toString()), qPrintable(entry->text()));
                entryKeys += entryKey.toString();
            }
        }
        QCOMPARE(form.menuBar()->actions().size(), 4);
    }

    // The keyboard leaves the word list with Ctrl+Tab (Tab itself belongs to
    // the list), then Tab walks the three buttons in reading order and back.
    void mainTabOrder()
    {
        Session session;
        FakePlatform platform;
        Form1 form(session, platform);
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        auto *list = form.findChild<QPlainTextEdit *>("ListaVoci");
        list->setFocus();
        QStringList order;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, i == 0 ? Qt::ControlModifier : Qt::NoModifier);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, QStringList({ "Command1", "Command2", "Command3", "ListaVoci" }));
    }

    // In both drills Tab goes from the word shown to the typing box and on
    // to the buttons, top to bottom, whichever box stands where.
    void drillTabOrder_data()
    {
        QTest::addColumn<bool>("fromItalian");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("Form2") << false << QStringList { "Textin", "Textit", "Command1", "Command3", "Textin" };
        QTest::newRow("Form3") << true << QStringList { "Textit", "Textin", "Command1", "Command3", "Textit" };
    }
    void drillTabOrder()
    {
        QFETCH(bool, fromItalian);
        QFETCH(QStringList, order);
        Session session;
        FakePlatform platform;
        std::unique_ptr<DrillWindow> drill;
        if (fromItalian)
            drill.reset(new Form3(session, platform));
        else
            drill.reset(new Form2(session, platform));
        drill->setAttribute(Qt::WA_DeleteOnClose, false);
        drill->show();
        QApplication::setActiveWindow(drill.get());
        QVERIFY(QTest::qWaitForWindowActive(drill.get()));
        QCOMPARE(QApplication::focusWidget()->objectName(), "Textin");
        drill->shownBox()->setFocus();
        QStringList walked { QApplication::focusWidget()->objectName() };
        for (int i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << QApplication::focusWidget()->objectName();
        }
        // The help button and the help box are hidden until a question asks for them.
        QCOMPARE(walked, order);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
