#include "fixture.h"
#include "qtplatform.h"

#include <QAccessible>
#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMetaEnum>
#include <QPlainTextEdit>

#include <algorithm>
#include <functional>

namespace {

// The window as a user and a screen reader meet it: the title, the control with the focus, the controls
// that Tab visits in turn, the running timers, the menus' entries (- a separator), then each visible control
// as the accessibility tree has it (Qt's own viewports and scroll bars left out): where, role, name,
// description, state.
QString windowState(QWidget *window)
{
    const auto name = [](QObject *o) { // the object's name, else what a screen reader calls it
        QAccessibleInterface *a
            = o && o->objectName().isEmpty() ? QAccessible::queryAccessibleInterface(o) : nullptr;
        return !o ? "-" : a ? '"' + a->text(QAccessible::Name) + '"' : o->objectName();
    };
    QString out = "title \"" + window->windowTitle() + "\"\nfocus " + name(window->focusWidget()) + "\ntab";
    for (QWidget *w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain())
        if (w->isVisibleTo(window) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
            out += ' ' + name(w);
    for (QTimer *timer : window->findChildren<QTimer *>())
        if (timer->isActive())
            out += QStringLiteral("\ntimer %1 %2 ms").arg(name(timer)).arg(timer->interval());
    for (const QMenu *menu : window->findChildren<QMenu *>()) // the entries as a menu opens them
        for (const QAction *a : menu->objectName().isEmpty() ? QList<QAction *>() : menu->actions())
            out += "\nmenu " + menu->objectName() + ": " + (a->isSeparator() ? "-" : a->text())
                + (a->shortcut().isEmpty() ? "" : ' ' + a->shortcut().toString())
                + (a->isEnabled() ? "" : " disabled") + (a->isChecked() ? " checked" : "")
                + (menu->toolTipsVisible() ? " (" + a->toolTip() + ')' : "");
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
                + (is.defaultButton ? " default" : "")
                + (node->object() && node->object()->property("autoDefault").toBool() ? " auto-default" : "");
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
    const QString reference = TASTOLO_LOOKS_DIR "/" + row, written = update ? reference : row + ".actual";
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

// What the windows look like, compared pixel by pixel with the pictures in tests/looks/, and what a screen
// reader finds in them, compared with the text beside each picture.
class TestLooks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setStyle("Fusion"); }
    // Page Down presses before the picture; -1 for the file dialogue that saves (on a dark desktop), -2 for
    // the one that opens a file, then the window with it.
    void looks_data()
    {
        QTest::addColumn<int>("pageDowns");
        QTest::newRow("start") << 0;
        // Every page: each has a picture of its own size.
        for (int page = 1; page <= 14; ++page) // page 1 after the introduction, whose text has no picture
            QTest::addRow("page-%d", page) << (page == 1 ? 16 : page);
        QTest::newRow("introduction") << 15;
        QTest::newRow("form3") << -1;
        QTest::newRow("form3-open") << -2;
    }
    void looks()
    {
        QFETCH(int, pageDowns);
        WindowFixture f;
        f.window->show();
        f.window->activateWindow(); // as the user's window, which has the keyboard
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        auto *htext = f.find<QPlainTextEdit>("Htext");
        for (int i = 0; i < pageDowns; ++i)
            QTest::keyClick(htext, Qt::Key_PageDown);
        if (pageDowns >= 0) {
            compare(QTest::currentDataTag(), f.window->grab().toImage().convertToFormat(QImage::Format_RGB32),
                windowState(f.window.get()));
            return;
        }
        const auto undo = qScopeGuard([light = QApplication::palette()] { QApplication::setPalette(light); });
        if (pageDowns == -1)
            QApplication::setPalette(QPalette(Qt::white, QColor(60, 60, 60), QColor(90, 90, 90), Qt::black,
                QColor(50, 50, 50), Qt::white, Qt::white, QColor(30, 30, 30), QColor(40, 40, 40)));
        // Two letters in a folder of its own, the one opened named like a markup (shown as it is) and long
        // enough to hide the temporary folder above it, which the dialogue and the state show under one name
        // on every run. Opened from the end of the sample letter.
        QTemporaryDir temporary("/tmp/tastolo-looks-XXXXXX");
        const QString folder = QDir(temporary.path()).filePath("lettere");
        QVERIFY(QDir().mkpath(folder));
        for (const auto &[name, text] : { std::pair { "nonna.txt", QByteArray() },
                 { "<b>Caro zio, ti scrivo queste righe per farti gli auguri di buon compleanno e di buone "
                   "feste.txt",
                     "Caro\tzio,\r\n" + QByteArray("ciao\r\n").repeated(9) } }) {
            QFile file(QDir(folder).filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) >= 0);
        }
        QTest::keyClick(htext, Qt::Key_End, Qt::ControlModifier);
        f.platform.folder = folder;
        QImage shot;
        QString said;
        f.expectDialogue(
            { [&](FileDialog &d) {
                 auto *files = control<QListWidget>(&d, "File1");
                 if (pageDowns == -1)
                     files->setCurrentRow(1); // the name to save under
                 for (QListWidgetItem *item :
                     control<QListWidget>(&d, "Dir1")->findItems("tastolo-looks-", Qt::MatchContains))
                     item->setText(item->text().section(u'-', 0, -2));
                 shot = d.grab().toImage().convertToFormat(QImage::Format_RGB32), said = windowState(&d);
                 files->setCurrentRow(0); // the file to open
             },
                WindowFixture::press(pageDowns == -1 ? "Command2" : "Command1") });
        f.find<QAction>(pageDowns == -1 ? "menuFileSaveAs" : "menuFileOpen")->trigger();
        compare(QTest::currentDataTag(), shot, said);
        if (pageDowns == -2)
            compare("opened", f.window->grab().toImage().convertToFormat(QImage::Format_RGB32),
                windowState(f.window.get()).replace(temporary.path(), "/tmp/tastolo-looks"));
    }

    // The real box of each kind, and what Escape, its close control and each of its buttons answer in it.
    void boxes_data()
    {
        QTest::addColumn<Platform::Buttons>("buttons");
        QTest::addColumn<Platform::Icon>("icon");
        QTest::newRow("box-note") << Platform::Buttons::Ok << Platform::Icon::None;
        QTest::newRow("box-information") << Platform::Buttons::Ok << Platform::Icon::Information;
        QTest::newRow("box-stop") << Platform::Buttons::Ok << Platform::Icon::Stop;
        QTest::newRow("box-question") << Platform::Buttons::YesNo << Platform::Icon::None;
    }
    void boxes()
    {
        QFETCH(Platform::Buttons, buttons);
        QFETCH(Platform::Icon, icon);
        QImage shot;
        QString said;
        QStringList ways { "Escape", "close control" }; // then a click on each button shown
        for (qsizetype way = 0; way < ways.size(); ++way) {
            QTimer::singleShot(0, [&] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                    (void)QTest::qWaitForWindowActive(box); // a box not made active shows in its focus line
                    QList<QAbstractButton *> shown = box->buttons();
                    shown.removeIf([](QAbstractButton *button) { return !button->isVisible(); });
                    if (shot.isNull()) {
                        shot = box->grab().toImage().convertToFormat(QImage::Format_RGB32),
                        said = windowState(box);
                        for (QAbstractButton *button : shown)
                            ways << button->text().remove(u'&');
                    }
                    way == 0       ? QTest::keyClick(box, Qt::Key_Escape)
                        : way == 1 ? void(box->close())
                                   : shown[way - 2]->click();
                    if (box->isVisible())
                        said += ways[way] + " leaves it open\n", box->done(-1);
                }
            });
            const Platform::Answer answer = QtPlatform().message(
                "Attenzione !", "Il file <b>a</b>.txt è cambiato.\r\nVuoi salvarlo ?", buttons, icon);
            said += ways[way] + ": " + QStringList { "Ok", "Yes", "No", "Cancel" }[int(answer)] + '\n';
        }
        compare(QTest::currentDataTag(), shot, said);
    }
};

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
