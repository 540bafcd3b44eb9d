// What a screen reader finds in the mouse trainer's window: every control a
// person reads or operates has a name, and the click the game asks for is
// said in words, not only by the window's colour.
#include "Form3.h"
#include "fakeplatform.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

// Every visible object of the window's accessibility tree that a person reads
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
    const bool container = (role == QAccessible::Client && node->childCount() > 0) || role == QAccessible::Pane;
    const QString name = node->text(QAccessible::Name).trimmed();
    if (!container && name.isEmpty())
        unnamed << where;
    names << name;
    for (int i = 0; i < node->childCount(); ++i)
        walk(node->child(i), where, unnamed, names);
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    // The first hit draws the next click kind: the caption, the cat and the
    // whole tree tell it in words.
    void requestedClickSpoken_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("double click") << int(ChaseGame::DoubleClick) << "Clic richiesto: doppio clic sinistro";
        QTest::newRow("left click") << int(ChaseGame::LeftClick) << "Clic richiesto: clic sinistro";
        QTest::newRow("right click") << int(ChaseGame::RightClick) << "Clic richiesto: clic destro";
    }
    void requestedClickSpoken()
    {
        QFETCH(int, kind);
        QFETCH(QString, spoken);
        FakePlatform platform;
        Form3 form(platform);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QStringList unnamed, names;
        walk(QAccessible::queryAccessibleInterface(&form), QString(), unnamed, names);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1String(", "))));
        QVERIFY(names.contains("Secondi: 0"));
        QVERIFY(names.contains("Gatto"));

        QTest::mouseClick(form.findChild<QPushButton *>("Command2"), Qt::LeftButton);
        auto *fare = form.findChild<QLabel *>("Fare");
        QWidget *cat = form.findChild<QWidget *>("Image1");
        QCOMPARE(fare->accessibleName(), "Clic richiesto: clic sinistro");
        QCOMPARE(cat->accessibleDescription(), "Clic richiesto: clic sinistro");

        platform.queueHit(ChaseGame::Kind(kind));
        QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, cat->geometry().center());
        QCOMPARE(form.game().label2Text(), "1");
        QCOMPARE(fare->accessibleName(), spoken);
        QCOMPARE(cat->accessibleDescription(), spoken);

        unnamed.clear();
        names.clear();
        walk(QAccessible::queryAccessibleInterface(&form), QString(), unnamed, names);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1String(", "))));
        QVERIFY(names.contains(spoken));
        QVERIFY(names.contains("Colpi: 1"));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
