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
#include "review.h"
#include "session.h"
#include "vocabularyfile.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMetaEnum>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// The window as a user and a screen reader meet it: the title and where the window stands, the control with
// the focus, the controls that Tab visits in turn, the running timers, the menus' entries (- a separator),
// then each visible control as the accessibility tree has it (Qt's own viewports and scroll bars left out):
// where, role, name, description, state, value and range.
QString windowState(QWidget *window)
{
    const auto name = [](QObject *o) { // the object's name, else what a screen reader calls it
        QAccessibleInterface *a
            = o && o->objectName().isEmpty() ? QAccessible::queryAccessibleInterface(o) : nullptr;
        return !o ? "-" : a ? '"' + a->text(QAccessible::Name) + '"' : o->objectName();
    };
    QString out = "title \"" + window->windowTitle()
        + QStringLiteral("\" at %1,%2").arg(window->x()).arg(window->y()) + "\nfocus "
        + name(window->focusWidget()) + "\ntab";
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

                + (is.readOnly && node->role() == QAccessible::EditableText ? " read-only" : "")
                + (is.defaultButton ? " default" : "")
                + (node->object() && node->object()->property("autoDefault").toBool() ? " auto-default" : "");
        for (const char *p :
            { "textFormat", "lineWrapMode", "horizontalScrollBarPolicy", "verticalScrollBarPolicy",
                "editTriggers", "selectionMode", "shownPicture" }) // what a picture may not show
            if (const QVariant v = where != path && node->object() ? node->object()->property(p) : QVariant();
                v.isValid())
                out += ' ' + QLatin1String(p) + '=' + v.toString();
        if (QAccessibleValueInterface *v = where != path ? node->valueInterface() : nullptr)
            out += " value " + v->currentValue().toString() + " of " + v->minimumValue().toString() + ".."
                + v->maximumValue().toString();
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
    const QString reference = INGLESE_LOOKS_DIR "/" + row, written = update ? reference : row + ".actual";
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
        // The same rendering on every machine: Fusion, Liberation fonts, a steady caret.
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        QApplication::setFont(QFont("Liberation Sans", 9));
        QApplication::setCursorFlashTime(0);
    }

    void looks_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("state");
        for (const char *tag : { "form0-splash", "form1-locked", "form1-editing", "form4-options",
                 "form4-rules-dark", "form5-help", "form2-asking", "form2-answered", "form3-help",
                 "form3-answered", "form6-log", "form6-years", "form6-empty", "form7-import", "form7-export",
                 "form7-exportall", "form2-review", "form2-ready", "form2-dark", "form8-limits" })
            row(tag, QString(tag).section('-', 0, 0).replace('f', 'F'), QString(tag).section('-', 1, -1));
    }
    void looks()
    {
        QFETCH(QString, window);
        QFETCH(QString, state);
        // "dark": a desktop with a dark colour scheme; the boxes for the words keep black on white.
        const auto undo = qScopeGuard([light = QApplication::palette()] { QApplication::setPalette(light); });
        if (state.endsWith("dark"))
            QApplication::setPalette(QPalette(Qt::white, QColor(60, 60, 60), QColor(90, 90, 90), Qt::black,
                QColor(50, 50, 50), Qt::white, Qt::white, QColor(30, 30, 30), QColor(40, 40, 40)));
        QTemporaryDir dir;
        FakePlatform platform;
        platform.folder = dir.path();
        Session session;
        QString words = "## esempio\r\n";
        for (const QStringList &w : QList<QStringList> { { "12", "c", "house", "casa (abitazione, dimora)" },
                 { " 3", "", "light", "luce" }, { " 3", "", "to walk", "camminare" },
                 { " 5", "", "dress", "vestito [m.]" } })
            words += wordLine(w[0], w[1], w[2], w[3].leftJustified(50)) + "\r\n";
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
        std::unique_ptr<QWidget> w(window == "Form0" ? new SplashWindow(session, platform)
                : window == "Form1"                  ? main.release()
                : window == "Form2"                  ? new EnglishDrillWindow(session, platform)
                : window == "Form3"                  ? new ItalianDrillWindow(session, platform)
                : window == "Form4" ? static_cast<QWidget *>(new OptionsWindow(session, platform))
                : window == "Form6" ? static_cast<QWidget *>(new ResultsWindow(session, platform))
                : window == "Form8" ? static_cast<QWidget *>(new ReviewLimitsWindow(session, platform))
                : state == "import" ? new ExchangeWindow(
                      Exchange::readTable("Lezione;Inglese;Italiano\r\n0;dog;cane\r\n;cat;gatto\r\n"))
                : state.startsWith("export")
                ? static_cast<QWidget *>(new ExchangeWindow(LessonFlags { true, false, false, true }))
                : new HelpWindow(session, platform, main.get()));
        if (state == "review") { // the same drill over today's words
            auto round = std::make_unique<Review::Round>(session, platform);
            QVERIFY(round->open());
            w.reset(new EnglishDrillWindow(session, platform, nullptr, std::move(round)));
        }
        if (state.startsWith("rules"))
            static_cast<OptionsWindow *>(w.get())->showRules();
        if (state == "export") // the lessons with words can be ticked
            control(w.get(), "OptScelte")->setProperty("checked", true);
        if (window == "Form5")
            QVERIFY(static_cast<HelpWindow *>(w.get())->load());
        if (window == "Form6")
            QVERIFY(QSignalSpy(static_cast<ResultsWindow *>(w.get()), &ResultsWindow::logShown).wait());
        if (window == "Form6" || state == "editing") // made bigger by the user
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
        const QString seen = windowState(w.get());
        compare(QTest::currentDataTag(), shot.convertToFormat(QImage::Format_RGB32), seen);
    }
};

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
