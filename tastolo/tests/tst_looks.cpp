#include "fixture.h"

#include <QAccessible>
#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QMetaEnum>
#include <QPlainTextEdit>

#include <algorithm>

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

// What the windows look like, compared pixel by pixel with the pictures in tests/looks/, and what a screen
// reader finds in them, compared with the text beside each picture.
class TestLooks : public QObject
{
    Q_OBJECT

    static QImage picture(QWidget &window)
    {
        return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    // Compares with looks/<row>.png and <row>.names.txt; on any difference writes <row>.actual.png,
    // <row>.diff.png (differing pixels red) and <row>.actual.names.txt into the working folder.
    // UPDATE_LOOKS=1 writes the references instead.
    static void compare(const QString &row, const QImage &actual, const QString &names)
    {
        const QString reference = QStringLiteral(TASTOLO_LOOKS_DIR "/") + row;
        QFile namesFile(reference + QStringLiteral(".names.txt"));
        if (qEnvironmentVariableIntValue("UPDATE_LOOKS") == 1) {
            QVERIFY(actual.save(reference + QStringLiteral(".png")) && namesFile.open(QIODevice::WriteOnly)
                && namesFile.write(names.toUtf8()) >= 0);
            return;
        }
        const QString expectedNames = namesFile.open(QIODevice::ReadOnly) ? namesFile.readAll() : QString();
        const QImage expected
            = QImage(reference + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
        // A pixel matches when no colour channel is more than 16 off.
        QImage diff(actual.size(), QImage::Format_RGB32);
        diff.fill(Qt::white);
        int changed = 0;
        for (int y = 0; y < actual.height(); ++y) {
            for (int x = 0; x < actual.width(); ++x) {
                const QRgb a = actual.pixel(x, y), e = expected.valid(x, y) ? expected.pixel(x, y) : ~a;
                const int most = std::max(
                    { qAbs(qRed(a) - qRed(e)), qAbs(qGreen(a) - qGreen(e)), qAbs(qBlue(a) - qBlue(e)) });
                if (most > 16 && ++changed)
                    diff.setPixel(x, y, qRgb(255, 0, 0));
            }
        }
        if (changed > 0 || actual.size() != expected.size() || names != expectedNames) {
            QFile actualNames(row + QStringLiteral(".actual.names.txt"));
            QVERIFY(actual.save(row + QStringLiteral(".actual.png"))
                && diff.save(row + QStringLiteral(".diff.png")) && actualNames.open(QIODevice::WriteOnly)
                && actualNames.write(names.toUtf8()) >= 0);
            qWarning("%s differs: see %s.actual.png, .diff.png and .actual.names.txt in %s",
                qPrintable(reference), qPrintable(row), qPrintable(QDir::currentPath()));
        }
        QCOMPARE(names, expectedNames);
        QCOMPARE(actual.size(), expected.size());
        QCOMPARE(changed, 0);
    }

private slots:
    void initTestCase() { QApplication::setStyle(QStringLiteral("Fusion")); }
    // Page Down presses before the picture; -1 for the file dialogue.
    void looks_data()
    {
        QTest::addColumn<int>("pageDowns");
        QTest::newRow("start") << 0;
        // Every page: each has a picture of its own size.
        for (int page = 1; page <= 14; ++page)
            QTest::addRow("page-%d", page) << page;
        QTest::newRow("introduction") << 15;
        QTest::newRow("form3") << -1;
    }
    void looks()
    {
        QFETCH(int, pageDowns);
        WindowFixture f;
        f.window->show();
        f.window->activateWindow(); // as the user's window, which has the keyboard
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        auto *htext = f.find<QPlainTextEdit>(QStringLiteral("Htext"));
        for (int i = 0; i < pageDowns; ++i)
            QTest::keyClick(htext, Qt::Key_PageDown);
        if (pageDowns >= 0) {
            compare(QTest::currentDataTag(), picture(*f.window), windowState(f.window.get()));
            return;
        }
        // Two letters in a folder of its own; the temporary folder above it is shown under one name on
        // every run.
        QTemporaryDir temporary(QStringLiteral("/tmp/tastolo-looks-XXXXXX"));
        const QString folder = QDir(temporary.path()).filePath(QStringLiteral("lettere"));
        QVERIFY(QDir().mkpath(folder));
        for (const char *name : { "nonna.txt", "zio.txt" })
            QFile(QDir(folder).filePath(QLatin1String(name))).open(QIODevice::WriteOnly);
        f.platform.folder = folder;
        QImage shot;
        QString said;
        f.expectDialogue({ [&](Form3 &d) {
                              for (QListWidgetItem *item :
                                  control<QListWidget>(&d, QStringLiteral("Dir1"))
                                      ->findItems(QStringLiteral("tastolo-looks-"), Qt::MatchContains))
                                  item->setText(item->text().section(u'-', 0, -2));
                              shot = picture(d), said = windowState(&d);
                          },
            WindowFixture::press(QStringLiteral("Command2")) });
        f.find<QAction>(QStringLiteral("menuFileSaveAs"))->trigger();
        compare(QTest::currentDataTag(), shot, said);
    }
};

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
