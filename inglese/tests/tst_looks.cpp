// How the windows look: each row renders a window in one state offscreen and
// compares it with looks/<row>.png, allowing 16 per colour channel. On a
// difference it writes <row>.actual.png and <row>.diff.png (differing pixels
// red) into its working folder; UPDATE_LOOKS=1 rewrites the references instead.
#include "Form0.h"
#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "Form4.h"
#include "Form5.h"
#include "Form6.h"
#include "Form7.h"
#include "fixture.h"
#include "session.h"
#include "vocabularyfile.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTemporaryDir>

namespace {
// Every visible control a person reads or operates, with its accessible name.
void walk(QAccessibleInterface *node, const QString &path, QList<std::pair<QString, QString>> &out)
{
    const QString name = node && node->object() ? node->object()->objectName() : QString();
    if (!node || !node->isValid() || node->state().invisible || node->role() == QAccessible::ScrollBar
        || name == "qt_scrollarea_viewport")
        return;
    const QString where = path + '/' + (name.isEmpty() ? QString::number(node->role()) : name);
    const QAccessible::Role role = node->role();
    if (!((role == QAccessible::Client && node->childCount() > 0) || role == QAccessible::Pane
            || role == QAccessible::MenuBar || role == QAccessible::Separator))
        out.append({ where, node->text(QAccessible::Name).trimmed() });
    for (int i = 0; i < node->childCount(); ++i)
        walk(node->child(i), where, out);
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
                 "form4-rules", "form5-help", "form2-asking", "form2-answered", "form3-asking",
                 "form3-answered", "form6-log", "form6-empty", "form7-import", "form7-export" })
            row(tag, QString(tag).section('-', 0, 0).replace('f', 'F'), QString(tag).section('-', 1));
    }
    void looks()
    {
        QFETCH(QString, window);
        QFETCH(QString, state);
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
        writeBytes(dir.filePath("inglelog"),
            state == "log" ? "20/11/2026 23:30:00 00:45:00    14/970/2        TUTTE\r\n"
                             "28/11/2026 09:00:00 09:30:00    30/1040/1        1 3\r\n"
                             "04/12/2026 17:10:02 17:31:45    22/1010/0        3\r\n"
                           : "");
        auto main = std::make_unique<Form1>(session, platform);
        QVERIFY(main->Form_Load());
        if (state == "editing")
            main->menuModifica_Click();
        session.lessonState[3] = 2;
        std::unique_ptr<QWidget> w(window == "Form0" ? new Form0(session, platform)
                : window == "Form1"                  ? main.release()
                : window == "Form2"                  ? new Form2(session, platform)
                : window == "Form3"                  ? new Form3(session, platform)
                : window == "Form4"                  ? static_cast<QWidget *>(new Form4(session, platform))
                : window == "Form6"                  ? static_cast<QWidget *>(new Form6(session, platform))
                : state == "import"
                ? new Form7(Exchange::readTable("Lezione;Inglese;Italiano\r\n0;dog;cane\r\n;cat;gatto\r\n"))
                : state == "export"
                ? static_cast<QWidget *>(new Form7(std::array<bool, 21> { true, false, false, true }))
                : new Form5(session, platform, main.get()));
        if (state == "rules")
            static_cast<Form4 *>(w.get())->showRules();
        if (window == "Form5")
            QVERIFY(static_cast<Form5 *>(w.get())->load());
        if (window == "Form6") {
            QVERIFY(QSignalSpy(static_cast<Form6 *>(w.get()), &Form6::logShown).wait());
            w->resize(700, 480);
        }
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        QApplication::setActiveWindow(w.get());
        QCoreApplication::processEvents();
        if (auto *drill = qobject_cast<DrillWindow *>(w.get()); drill) {
            drill->Command1_Click();
            if (state == "answered")
                drill->typingBox()->insert(drill->drill().answer());
        }

        const QImage shot = w->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        // What a screen reader says of each control, kept beside the picture.
        QList<std::pair<QString, QString>> nodes;
        walk(QAccessible::queryAccessibleInterface(w.get()), QString(), nodes);
        QByteArray names;
        for (const auto &[where, said] : nodes) {
            // Lines, cells, drawing areas and size grips are content: their controls are named.
            const int role = where.section(u'/', -1).toInt();
            QVERIFY2(!said.isEmpty() || role == QAccessible::ListItem || role == QAccessible::Cell
                    || role == QAccessible::Client || role == QAccessible::Grip,
                qPrintable(where + " has no name"));
            names += (where + " = " + said + '\n').toUtf8();
        }
        const QString name = QTest::currentDataTag();
        const QString reference = INGLESE_LOOKS_DIR "/" + name + ".png";
        if (qEnvironmentVariableIntValue("UPDATE_LOOKS")) {
            QVERIFY(QDir().mkpath(INGLESE_LOOKS_DIR) && shot.save(reference)
                && writeBytes(QString(reference).replace(".png", ".names.txt"), names));
            return;
        }
        QCOMPARE(QString::fromUtf8(names),
            QString::fromUtf8(readBytes(QString(reference).replace(".png", ".names.txt"))));
        const QImage expected = QImage(reference).convertToFormat(QImage::Format_ARGB32);
        QImage diff(shot.size(), QImage::Format_RGB32);
        diff.fill(Qt::white);
        int wrong = expected.size() == shot.size() ? 0 : -1;
        for (int y = 0; y < shot.height() && wrong >= 0; ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                const QRgb a = shot.pixel(x, y), b = expected.pixel(x, y);
                if (std::max({ qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b)),
                        qAbs(qBlue(a) - qBlue(b)), qAbs(qAlpha(a) - qAlpha(b)) })
                    > 16)
                    ++wrong, diff.setPixel(x, y, qRgb(255, 0, 0));
            }
        }
        if (wrong != 0)
            shot.save(name + ".actual.png"), diff.save(name + ".diff.png");
        QVERIFY2(wrong == 0,
            qPrintable(QStringLiteral("%1 differs from %2 in %3 pixels (-1: in size); see %1.actual.png and "
                                      "%1.diff.png in %4")
                           .arg(name, reference)
                           .arg(wrong)
                           .arg(QDir::currentPath())));
    }
};

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
