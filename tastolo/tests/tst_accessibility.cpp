// What a screen reader finds in the keyboard trainer's windows: every control
// a person reads or operates has a name, the help page is heard from the
// editing area as the pages turn, the file dialogue's lists are labelled,
// and every menu entry has its own key.
#include "Form1.h"
#include "Form3.h"
#include "fakeplatform.h"
#include "textfile.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Every visible object of a window's accessibility tree that a person reads
// or operates, with its name; containers and scroll bar parts are passed through.
void walk(QAccessibleInterface *node, const QString &path, QStringList &unnamed, QStringList &names)
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
    const QString name = node->text(QAccessible::Name).trimmed();
    if (!container && name.isEmpty())
        unnamed << where;
    names << name;
    for (int i = 0; i < node->childCount(); ++i)
        walk(node->child(i), where, unnamed, names);
}

QStringList unnamedControls(QWidget *window, QStringList *names = nullptr)
{
    QStringList unnamed, all;
    walk(QAccessible::queryAccessibleInterface(window), QString(), unnamed, all);
    if (names)
        *names = all;
    return unnamed;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    // Page Down in the editing area turns the help page; the editing area,
    // which keeps the focus, carries the page in its description.
    void helpPageHeard_data()
    {
        QTest::addColumn<int>("turns");
        QTest::addColumn<QString>("page");
        QTest::addColumn<qint16>("stato");
        QTest::newRow("introduction at start") << 0 << "Introduzione" << HelpPages::Introduction;
        QTest::newRow("first page") << 1 << "Pagina di aiuto 1 su 14" << qint16(0);
        QTest::newRow("fourth page") << 4 << "Pagina di aiuto 4 su 14" << qint16(3);
        QTest::newRow("last page") << 14 << "Pagina di aiuto 14 su 14" << qint16(13);
        QTest::newRow("round to the introduction") << 15 << "Introduzione" << HelpPages::Introduction;
    }
    void helpPageHeard()
    {
        QFETCH(int, turns);
        QFETCH(QString, page);
        QFETCH(qint16, stato);
        FakePlatform platform;
        Form1 window(platform);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *htext = window.findChild<QPlainTextEdit *>("Htext");
        for (int i = 0; i < turns; ++i)
            QTest::keyClick(htext, Qt::Key_PageDown);
        QCOMPARE(window.state().Stato, stato);

        const QString text = TextFile::toLf(HelpPages::text(stato));
        const QString description = htext->accessibleDescription();
        QVERIFY2(description.startsWith(page + ": " + text.section('\n', 0, 0).trimmed()), qPrintable(description));
        QVERIFY(description.contains(text.simplified()));

        QStringList names;
        const QStringList unnamed = unnamedControls(&window, &names);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
        QVERIFY(names.contains("Area di scrittura"));
        QVERIFY(names.contains(page));
    }

    // The file dialogue, opening and saving: the lists and the name box are
    // called by the words of their labels.
    void fileDialogueNamed_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("nameBox");
        QTest::newRow("open") << int(ProgramState::Open) << "Nome del file da aprire";
        QTest::newRow("save") << int(ProgramState::Save) << "Nome del file da salvare";
    }
    void fileDialogueNamed()
    {
        QFETCH(int, operation);
        QFETCH(QString, nameBox);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QFile file(folder.filePath("lettera.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        FakePlatform platform;
        platform.folder = folder.path();
        ProgramState state;
        state.CartellaCorrente = folder.path();
        state.Operazione = qint16(operation);
        Form3 dialogue(platform, state);
        dialogue.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialogue));
        QStringList names;
        const QStringList unnamed = unnamedControls(&dialogue, &names);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
        for (const QString &name : { QStringLiteral("Cartelle"), QStringLiteral("File (*.txt)"), nameBox,
                                     QStringLiteral("lettera.txt") })
            QVERIFY2(names.contains(name), qPrintable(name + " not in " + names.join(" | ")));
        // The drive list, which a screen reader calls by its chosen drive, and
        // the name box are labelled by the caption above them.
        const QList<std::pair<const char *, QString>> labelled { { "Drive1", "Disco :" },
            { "Text1", operation == ProgramState::Open ? "Nome File da Aprire :" : "Nome File da Salvare :" } };
        for (const auto &[control, caption] : labelled) {
            QAccessibleInterface *node = QAccessible::queryAccessibleInterface(dialogue.findChild<QWidget *>(control));
            const auto labels = node->relations(QAccessible::Label);
            QVERIFY2(!labels.isEmpty(), control);
            QCOMPARE(labels.first().first->text(QAccessible::Name), caption);
        }
    }

    // Each entry of the File menu has a key of its own, underlined in its
    // caption, and the menu itself opens with Alt+F.
    void menuKeys()
    {
        FakePlatform platform;
        Form1 window(platform);
        const QList<QAction *> menus = window.menuBar()->actions();
        QCOMPARE(menus.size(), 1);
        QCOMPARE(QKeySequence::mnemonic(menus.first()->text()), QKeySequence(Qt::ALT | Qt::Key_F));
        QStringList keys;
        for (QAction *entry : menus.first()->menu()->actions()) {
            if (entry->isSeparator())
                continue;
            const QString key = QKeySequence::mnemonic(entry->text()).toString();
            QVERIFY2(!key.isEmpty() && !keys.contains(key), qPrintable(entry->text()));
            keys << key;
        }
        QCOMPARE(keys.size(), 5);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
