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
#include "fixture.h"
#include "session.h"
#include "vocabularyfile.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QStyleFactory>
#include <QTemporaryDir>

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
        for (const char *tag :
            { "form0-splash", "form1-locked", "form1-editing", "form4-options", "form4-rules", "form5-help",
                "form2-asking", "form2-answered", "form3-asking", "form3-answered" })
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
        const auto line = [](const char *lesson, const char *mark, const char *english, const char *italian) {
            return wordLine(lesson, mark, english, QString(italian).leftJustified(50)) + "\r\n";
        };
        writeBytes(dir.filePath("inglese.txt"),
            Vocabulary::encode("## esempio\r\n" + line("12", "c", "house", "casa (abitazione, dimora)")
                + line(" 3", "", "light", "luce") + line(" 3", "", "to walk", "camminare")
                + line(" 5", "", "dress", "vestito [m.]")));
        writeBytes(
            dir.filePath("aiutoV5.txt"), "ISTRUZIONI\r\n\r\n  F1  queste istruzioni\r\n  F2  le scelte\r\n");
        auto *main = new Form1(session, platform);
        QVERIFY(main->Form_Load());
        if (state == "editing")
            main->menuModifica_Click();
        session.lessonState[3] = 2;
        std::unique_ptr<QWidget> w(window == "Form0" ? new Form0(session, platform)
                : window == "Form1"                  ? main
                : window == "Form2"                  ? new Form2(session, platform)
                : window == "Form3"                  ? new Form3(session, platform)
                : window == "Form4"                  ? static_cast<QWidget *>(new Form4(session, platform))
                                                     : new Form5(session, platform));
        if (w.get() != main)
            delete main;
        if (state == "rules")
            static_cast<Form4 *>(w.get())->showRules();
        if (window == "Form5")
            QVERIFY(static_cast<Form5 *>(w.get())->load());
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
        const QString name = QTest::currentDataTag();
        const QString reference = INGLESE_LOOKS_DIR "/" + name + ".png";
        if (qEnvironmentVariableIntValue("UPDATE_LOOKS")) {
            QVERIFY(QDir().mkpath(INGLESE_LOOKS_DIR) && shot.save(reference));
            return;
        }
        const QImage expected = QImage(reference).convertToFormat(QImage::Format_ARGB32);
        QImage diff = shot;
        int wrong = 0;
        for (int y = 0; y < shot.height() && expected.size() == shot.size(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                const QRgb a = shot.pixel(x, y), b = expected.pixel(x, y);
                const bool same = qAbs(qRed(a) - qRed(b)) <= 16 && qAbs(qGreen(a) - qGreen(b)) <= 16
                    && qAbs(qBlue(a) - qBlue(b)) <= 16 && qAbs(qAlpha(a) - qAlpha(b)) <= 16;
                wrong += !same;
                diff.setPixel(x, y,
                    same ? qRgb(255 - qGray(b) / 4, 255 - qGray(b) / 4, 255 - qGray(b) / 4)
                         : qRgb(255, 0, 0));
            }
        }
        if (wrong == 0 && expected.size() == shot.size())
            return;
        shot.save(name + ".actual.png");
        diff.save(name + ".diff.png");
        QFAIL(qPrintable(
            QStringLiteral("%1 differs from %2 (%3 pixels, size %4x%5 against %6x%7); see %8.actual.png and "
                           "%8.diff.png in %9")
                .arg(name, reference)
                .arg(wrong)
                .arg(shot.width())
                .arg(shot.height())
                .arg(expected.width())
                .arg(expected.height())
                .arg(name, QDir::currentPath())));
    }
};

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
