// How the windows look: each row renders a window in one state offscreen and
// compares it with the reference picture looks/<row>.png, pixel by pixel with
// a tolerance of 16 per channel. On a difference the test writes
// <row>.actual.png and <row>.diff.png into its working folder; UPDATE_LOOKS=1
// rewrites the references instead.
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

#include <memory>

namespace {
QString line(const char *lesson, const char *mark, const char *english, const char *italian)
{
    return wordLine(lesson, mark, english, QString(italian).leftJustified(50)) + "\r\n";
}

// Compares `shot` with the reference of the current row: empty, or what differs.
QString difference(const QImage &shot)
{
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    const QString reference = QStringLiteral(INGLESE_LOOKS_DIR "/") + name + ".png";
    if (qEnvironmentVariableIntValue("UPDATE_LOOKS"))
        return QDir().mkpath(INGLESE_LOOKS_DIR) && shot.save(reference) ? QString()
                                                                        : "cannot write " + reference;
    const QImage expected = QImage(reference).convertToFormat(QImage::Format_ARGB32);
    QString problem;
    QImage diff(shot.size(), QImage::Format_ARGB32);
    if (expected.isNull()) {
        problem = "no reference " + reference + " (UPDATE_LOOKS=1 writes it)";
    } else if (expected.size() != shot.size()) {
        problem = QStringLiteral("size %1x%2, reference %3x%4")
                      .arg(shot.width())
                      .arg(shot.height())
                      .arg(expected.width())
                      .arg(expected.height());
    } else {
        int wrong = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                const QRgb a = shot.pixel(x, y);
                const QRgb b = expected.pixel(x, y);
                const bool same = qAbs(qRed(a) - qRed(b)) <= 16 && qAbs(qGreen(a) - qGreen(b)) <= 16
                    && qAbs(qBlue(a) - qBlue(b)) <= 16 && qAbs(qAlpha(a) - qAlpha(b)) <= 16;
                wrong += !same;
                diff.setPixel(x, y,
                    same ? qRgb(255 - qGray(b) / 4, 255 - qGray(b) / 4, 255 - qGray(b) / 4)
                         : qRgb(255, 0, 0));
            }
        }
        if (wrong)
            problem = QStringLiteral("%1 pixels differ").arg(wrong);
    }
    if (problem.isEmpty())
        return problem;
    const QString actual = QDir::current().absoluteFilePath(name + ".actual.png");
    shot.save(actual);
    if (!expected.isNull() && expected.size() == shot.size())
        diff.save(QDir::current().absoluteFilePath(name + ".diff.png"));
    return problem + "; see " + actual + " and " + name + ".diff.png";
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
        row("form0-splash", "Form0", "");
        row("form1-locked", "Form1", "");
        row("form1-editing", "Form1", "edit");
        row("form4-options", "Form4", "");
        row("form4-rules", "Form4", "rules");
        row("form5-help", "Form5", "");
        row("form2-asking", "Form2", "ask");
        row("form2-answered", "Form2", "answer");
        row("form3-asking", "Form3", "ask");
        row("form3-answered", "Form3", "answer");
    }
    void looks()
    {
        QFETCH(QString, window);
        QFETCH(QString, state);
        QTemporaryDir dir;
        FakePlatform platform;
        platform.folder = dir.path();
        Session session;
        writeBytes(dir.filePath("inglese.txt"),
            Vocabulary::encode("## esempio\r\n" + line("12", "c", "house", "casa (abitazione, dimora)")
                + line(" 3", "", "light", "luce") + line(" 3", "", "to walk", "camminare")
                + line(" 5", "", "dress", "vestito [m.]")));
        writeBytes(
            dir.filePath("aiutoV5.txt"), "ISTRUZIONI\r\n\r\n  F1  queste istruzioni\r\n  F2  le scelte\r\n");
        std::unique_ptr<QWidget> w;
        if (window == "Form0") {
            w = std::make_unique<Form0>(session, platform);
        } else {
            auto main = std::make_unique<Form1>(session, platform);
            QVERIFY(main->Form_Load());
            if (state == "edit")
                main->menuModifica_Click();
            session.lessonState[3] = 2;
            if (window == "Form1")
                w = std::move(main);
            else if (window == "Form4")
                w = std::make_unique<Form4>(session, platform);
            else if (window == "Form5")
                w = std::make_unique<Form5>(session, platform);
            else if (window == "Form2")
                w = std::make_unique<Form2>(session, platform);
            else
                w = std::make_unique<Form3>(session, platform);
        }
        if (state == "rules")
            static_cast<Form4 *>(w.get())->showRules();
        if (window == "Form5")
            QVERIFY(static_cast<Form5 *>(w.get())->load());
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        QApplication::setActiveWindow(w.get());
        QCoreApplication::processEvents();
        if (auto *drill = qobject_cast<DrillWindow *>(w.get()); drill && !state.isEmpty()) {
            drill->Command1_Click();
            if (state == "answer")
                drill->typingBox()->insert(drill->drill().answer());
        }
        const QString problem = difference(w->grab().toImage().convertToFormat(QImage::Format_ARGB32));
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
};

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
