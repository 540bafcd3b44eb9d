// How the game window looks in its key states, and its state as a screen reader finds it, compared with
// the pictures and texts in looks/. With UPDATE_LOOKS=1 both are made anew.
#include "gamewindow.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QMetaEnum>

#include <functional>

namespace {

// The window as a user and a screen reader meet it: the title, the background, the control with the focus,
// the controls that Tab visits in turn, the running timers, then each visible control as the accessibility
// tree has it (Qt's own viewports and scroll bars left out): where, role, name, description, state.
QString windowState(QWidget *window)
{
    const auto name = [](QObject *o) { // the object's name, else what a screen reader calls it
        QAccessibleInterface *a
            = o && o->objectName().isEmpty() ? QAccessible::queryAccessibleInterface(o) : nullptr;
        return !o ? "-" : a ? '"' + a->text(QAccessible::Name) + '"' : o->objectName();
    };
    QString out = "title \"" + window->windowTitle() + "\"\nbackground "
        + window->palette().window().color().name() + "\nfocus " + name(window->focusWidget()) + "\ntab";
    for (QWidget *w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain())
        if (w->isVisibleTo(window) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
            out += ' ' + name(w);
    for (QTimer *timer : window->findChildren<QTimer *>())
        if (timer->isActive())
            out += QStringLiteral("\ntimer %1 %2 ms").arg(name(timer)).arg(timer->interval());
    const std::function<void(QAccessibleInterface *, const QString &)> walk = [&](auto *node, auto path) {
        if (!node || !node->isValid() || node->state().invisible || node->role() == QAccessible::ScrollBar)
            return;
        const QAccessible::State is = node->state();
        const QString role = QMetaEnum::fromType<QAccessible::Role>().valueToKey(node->role()),
                      id = node->object() ? node->object()->objectName() : QString(),
                      about = node->text(QAccessible::Description);
        // Qt's own parts are left out, but for the text of a message box.
        const bool own = id.startsWith("qt_");
        const QString where = own && node->role() != QAccessible::StaticText
            ? path
            : path + '/' + (id.isEmpty() || own ? role : id);
        if (where != path)
            out += '\n' + where + ' ' + role + " \"" + node->text(QAccessible::Name) + '"'
                + (about.isEmpty() ? "" : " (" + about + ')') + (is.disabled ? " disabled" : "")
                + (is.checkable ? (is.checked ? " checked" : " unchecked") : "")
                + (is.defaultButton ? " default" : "");
        for (const auto &[other, relation] : node->relations(QAccessible::Labelled)) // a label's buddy
            out += " labels " + (other->object() ? other->object()->objectName() : QString());
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i), where);
    };
    walk(QAccessible::queryAccessibleInterface(window), QString());
    return out + '\n';
}

// Compares with looks/<row>.png (a colour channel may be 16 off) and <row>.names.txt. On any difference
// writes <row>.actual.png, <row>.diff.png (the picture with the differing pixels red) and
// <row>.actual.names.txt into the working folder; UPDATE_LOOKS=1 writes the references instead.
void compare(const QString &row, const QImage &actual, const QString &names)
{
    const bool update = qEnvironmentVariableIntValue("UPDATE_LOOKS") == 1;
    const QString reference = MOUSE_LOOKS_DIR "/" + row, written = update ? reference : row + ".actual";
    QFile namesFile(reference + ".names.txt"), namesWritten(written + ".names.txt");
    const QString expectedNames = namesFile.open(QIODevice::ReadOnly) ? namesFile.readAll() : QString();
    const QImage expected = QImage(reference + ".png").convertToFormat(QImage::Format_RGB32);
    QImage diff = actual;
    int off = 0;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (const QRgb a = actual.pixel(x, y), e = expected.valid(x, y) ? expected.pixel(x, y) : ~a;
                std::max({ qAbs(qRed(a) - qRed(e)), qAbs(qGreen(a) - qGreen(e)), qAbs(qBlue(a) - qBlue(e)) })
                > 16)
                ++off, diff.setPixel(x, y, qRgb(255, 0, 0));
    if (update || off > 0 || actual.size() != expected.size() || names != expectedNames) {
        QVERIFY(actual.save(written + ".png") && (update || diff.save(row + ".diff.png"))
            && namesWritten.open(QIODevice::WriteOnly) && namesWritten.write(names.toUtf8()) >= 0);
        if (update)
            return;
        qWarning("%s differs: see %s.actual.png, .diff.png and .actual.names.txt in %s",
            qPrintable(reference), qPrintable(row), qPrintable(QDir::currentPath()));
    }
    QCOMPARE(names, expectedNames);
    QCOMPARE(actual.size(), expected.size());
    QCOMPARE(off, 0);
}

} // namespace

class TestLooks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The same style on every machine, and an application font unlike the
        // Liberation fonts that the window names itself, so that a lost one shows.
        QApplication::setStyle("Fusion");
        QApplication::setFont(QFont("Liberation Mono", 11));
    }
    // The window after a script of GameWindow::run().
    void looks_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("ready") << "";
        QTest::newRow("started") << "via a5";
        QTest::newRow("running-yellow") << "via t1 a1 h";
        QTest::newRow("running-blue") << "via t1 a1 hd";
        QTest::newRow("running-pink") << "via t1 a1 h hr";
        QTest::newRow("paused") << "via t5 a2 h2 pausa L";
        QTest::newRow("resumed") << "via t5 h2 pausa via t1 h";
        QTest::newRow("nineteen-hits") << "via t3 h18 hd t1";
        QTest::newRow("twenty-hits") << "via t3 h19 hd";
        QTest::newRow("over") << "via t1 a1 h20 t1";
        QTest::newRow("over-with-a-late-hit") << "via t3 h20 hd t1";
        QTest::newRow("new-game") << "via t3 h19 hd t1 via t1";
        QTest::newRow("clock-at-most") << "via t32770";
        QTest::newRow("help-when-ready") << "F1>Command2 t1";
        QTest::newRow("help-after-the-end") << "via t7 h20 t1 F1 t1";
    }
    void looks()
    {
        QFETCH(QString, script);
        GameWindow w;
        QVERIFY(w.active);
        QCOMPARE(w.run(script), QString()); // a tick that found its timer stopped
        compare(QTest::currentDataTag(), w.form->grab().toImage().convertToFormat(QImage::Format_RGB32),
            windowState(w.form.get()));
    }
};

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
