// How the game window looks in its key states, compared pixel by pixel with
// the pictures in looks/, and its state as a screen reader finds it, compared
// with the text beside each picture. With UPDATE_LOOKS=1 both are made anew.
#include "gamewindow.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QMetaEnum>

namespace {

// Each visible control under `node` as a screen reader finds it: where it is, its role, name and
// description, disabled, checked or the default button. Qt's own parts of a control (viewports,
// scroll bars) are left out.
void walk(QAccessibleInterface *node, const QString &path, QString &out)
{
    if (!node || !node->isValid() || node->state().invisible || node->role() == QAccessible::ScrollBar)
        return;
    const QAccessible::State state = node->state();
    const QString role = QMetaEnum::fromType<QAccessible::Role>().valueToKey(node->role());
    const QString name = node->object() ? node->object()->objectName() : QString();
    const QString where
        = name.startsWith(QLatin1String("qt_")) ? path : path + '/' + (name.isEmpty() ? role : name);
    const QString description = node->text(QAccessible::Description);
    if (where != path)
        out += where + ' ' + role + " \"" + node->text(QAccessible::Name) + '"'
            + (description.isEmpty() ? QString() : " (" + description + ')')
            + (state.disabled ? " disabled" : "")
            + (state.checkable ? (state.checked ? " checked" : " unchecked") : "")
            + (state.defaultButton ? " default" : "") + '\n';
    for (int i = 0; i < node->childCount(); ++i)
        walk(node->child(i), where, out);
}

// The window as a user and a screen reader meet it: the title, the control with the focus, the controls
// that Tab visits in turn, the running timers, then every visible control.
QString windowState(QWidget *window)
{
    const auto name = [](const QObject *o) { return o ? o->objectName() : QStringLiteral("-"); };
    QString out = "title \"" + window->windowTitle() + "\"\nfocus " + name(window->focusWidget()) + "\ntab";
    for (QWidget *w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain())
        if (w->isVisibleTo(window) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
            out += ' ' + name(w);
    for (const QTimer *timer : window->findChildren<QTimer *>())
        if (timer->isActive())
            out += QStringLiteral("\ntimer %1 %2 ms").arg(name(timer)).arg(timer->interval());
    out += '\n';
    walk(QAccessible::queryAccessibleInterface(window), QString(), out);
    return out;
}

} // namespace

class TestLooks : public QObject
{
    Q_OBJECT

private slots:
    void looks_data()
    {
        // VIA, then hits that ask next for d double, l left, r right; "t" ends.
        QTest::addColumn<QString>("script");
        QTest::newRow("ready") << QString();
        QTest::newRow("running-yellow") << "l";
        QTest::newRow("running-blue") << "d";
        QTest::newRow("running-pink") << "lr";
        QTest::newRow("over") << "llllllllllllllllllllt";
    }
    void looks()
    {
        QFETCH(QString, script);
        // The same style on every machine, and an application font unlike the
        // Liberation fonts that the window names itself, so that a lost one shows.
        QApplication::setStyle(QStringLiteral("Fusion"));
        QApplication::setFont(QFont(QStringLiteral("Liberation Mono"), 11));
        GameWindow w;
        QCOMPARE(w.open(), QString()); // the name of a control the window lacks
        w.form->activateWindow(); // as the player's window, which has the keyboard
        QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
        if (!script.isNull())
            QTest::mouseClick(w.via, Qt::LeftButton), w.tick(w.clock), w.tick(w.animation);
        for (QChar step : script)
            step == u't' ? void(w.tick(w.clock)) : w.hit(QStringLiteral("dlr").indexOf(step));

        compare(QTest::currentDataTag(), w.form->grab().toImage().convertToFormat(QImage::Format_RGB32),
            windowState(w.form.get()));
    }

private:
    // Compares with looks/<row>.png and <row>.names.txt; on any difference writes <row>.actual.png,
    // <row>.diff.png (differing pixels red) and <row>.actual.names.txt into the working folder.
    // UPDATE_LOOKS=1 writes the references instead.
    static void compare(const QString &row, const QImage &actual, const QString &names)
    {
        const QString reference = MOUSE_LOOKS_DIR "/" + row;
        QFile namesFile(reference + ".names.txt");
        if (qEnvironmentVariableIntValue("UPDATE_LOOKS") == 1) {
            QVERIFY(actual.save(reference + ".png") && namesFile.open(QIODevice::WriteOnly)
                && namesFile.write(names.toUtf8()) >= 0);
            return;
        }
        const QString expectedNames = namesFile.open(QIODevice::ReadOnly) ? namesFile.readAll() : QString();
        const QImage expected = QImage(reference + ".png").convertToFormat(QImage::Format_RGB32);
        // A pixel matches when no colour channel is more than 16 off.
        QImage diff(actual.size(), QImage::Format_RGB32);
        int mismatches = 0;
        for (int y = 0; y < actual.height(); ++y) {
            for (int x = 0; x < actual.width(); ++x) {
                const QRgb a = actual.pixel(x, y), e = expected.valid(x, y) ? expected.pixel(x, y) : ~a;
                const bool off = std::max({ qAbs(qRed(a) - qRed(e)), qAbs(qGreen(a) - qGreen(e)),
                                     qAbs(qBlue(a) - qBlue(e)) })
                    > 16;
                diff.setPixel(x, y, off ? qRgb(255, 0, 0) : qRgb(255, 255, 255));
                mismatches += off;
            }
        }
        if (mismatches > 0 || actual.size() != expected.size() || names != expectedNames) {
            QFile actualNames(row + ".actual.names.txt");
            QVERIFY(actual.save(row + ".actual.png") && diff.save(row + ".diff.png")
                && actualNames.open(QIODevice::WriteOnly) && actualNames.write(names.toUtf8()) >= 0);
            qWarning("%s differs: see %s.actual.png, %s.diff.png and %s.actual.names.txt in %s",
                qPrintable(reference), qPrintable(row), qPrintable(row), qPrintable(row),
                qPrintable(QDir::currentPath()));
        }
        QCOMPARE(names, expectedNames);
        QCOMPARE(actual.size(), expected.size());
        QCOMPARE(mismatches, 0);
    }
};

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
