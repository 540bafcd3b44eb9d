#include "Form1.h"
#include "fakeplatform.h"
#include "session.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {
QByteArray wordLine(const char *lesson, const char *english, const char *italian)
{
    return QByteArray(lesson).leftJustified(4) + ' ' + QByteArray(english).leftJustified(50)
        + QByteArray(italian).leftJustified(50) + "\r\n";
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void press(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}
} // namespace

// The options, rules and instructions windows opened from the main window's
// menus and shortcuts, as the user opens them.
class TestMainMenus : public QObject
{
    Q_OBJECT

    QTemporaryDir *m_dir = nullptr;
    FakePlatform m_platform;
    Session *m_session = nullptr;
    Form1 *m_form = nullptr;

    // Runs `step` on the modal window that `open` opens; reports whether one opened.
    bool onModal(const std::function<void()> &open, const std::function<void(QWidget *)> &step)
    {
        m_form->activateWindow();
        if (!QTest::qWaitForWindowActive(m_form))
            return false;
        bool opened = false;
        QTimer::singleShot(0, m_form, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                opened = true;
                step(modal);
                if (modal->isVisible())
                    modal->close();
            }
        });
        open();
        QCoreApplication::processEvents();
        return opened;
    }
    QList<int> used() const { return m_session->selection.selection.mid(1, m_session->selection.selectionCount); }

private slots:
    void init()
    {
        m_dir = new QTemporaryDir;
        m_platform = FakePlatform();
        m_platform.folder = m_dir->path();
        QVERIFY(writeBytes(m_dir->filePath("inglese.txt"),
                           wordLine("01", "house", "casa") + wordLine(" 3", "light", "luce")
                               + wordLine(" 3", "dark", "buio") + wordLine("05", "cat", "gatto")));
        QVERIFY(writeBytes(m_dir->filePath("aiutoV5.txt"), "Istruzioni\r\n  - premi F2\r\n"));
        m_session = new Session;
        m_form = new Form1(*m_session, m_platform);
        QVERIFY(m_form->Form_Load());
        m_form->show();
    }
    void cleanup()
    {
        delete m_form;
        delete m_session;
        delete m_dir;
    }

    void optionsChosenAreKeptAndLogged_data()
    {
        QTest::addColumn<bool>("shortcut");
        QTest::newRow("F2") << true;
        QTest::newRow("menu entry") << false;
    }
    void optionsChosenAreKeptAndLogged()
    {
        QFETCH(bool, shortcut);
        QCOMPARE(used(), (QList<int> { 0, 1, 2, 3 })); // first build: forward over all lessons
        const auto open = [&] {
            if (shortcut)
                QTest::keyClick(m_form, Qt::Key_F2);
            else
                m_form->findChild<QAction *>("menuLezioni")->trigger();
        };
        QVERIFY(onModal(open, [](QWidget *w) {
            QCOMPARE(w->objectName(), "Form4");
            QVERIFY(!w->findChild<QCheckBox *>("Ckles2")->isEnabled());
            press(w->findChild<QCheckBox *>("Ckles3"));
            press(w->findChild<QRadioButton *>("Option3"));
            QTest::mouseClick(w->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        }));
        QCOMPARE(m_session->selection.orderMode, 3);
        QCOMPARE(used(), (QList<int> { 1, 2 }));

        // Opened again, the window shows the choice kept.
        QVERIFY(onModal(open, [](QWidget *w) {
            QVERIFY(w->findChild<QCheckBox *>("Ckles3")->isChecked());
            QVERIFY(!w->findChild<QCheckBox *>("Ckles0")->isChecked());
            QVERIFY(w->findChild<QRadioButton *>("Option3")->isChecked());
        }));

        m_form->findChild<QPushButton *>("Command3")->click();
        QFile log(m_dir->filePath("inglelog"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().endsWith("        3\r\n"));
        QVERIFY(m_platform.shown.isEmpty());
    }

    // "Regole della Prova" shows the rules view of the options, F1 the
    // instructions; the button of either closes it and changes no choice.
    void otherWindows_data()
    {
        QTest::addColumn<bool>("rules");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("content");
        QTest::newRow("Regole della Prova") << true << "Form4" << "peri";
        QTest::newRow("F1") << false << "Form5" << "Listai";
    }
    void otherWindows()
    {
        QFETCH(bool, rules);
        QFETCH(QString, window);
        QFETCH(QString, content);
        const auto open = [&] {
            if (rules)
                m_form->findChild<QAction *>("menuRegole")->trigger();
            else
                QTest::keyClick(m_form, Qt::Key_F1);
        };
        QVERIFY(onModal(open, [&](QWidget *w) {
            QCOMPARE(w->objectName(), window);
            QVERIFY(w->findChild<QWidget *>(content)->isVisible());
            if (rules)
                QVERIFY(!w->findChild<QWidget *>("Frame2")->isVisible());
            else
                QCOMPARE(w->findChild<QListWidget *>(content)->count(), 2);
            QTest::mouseClick(w->findChild<QPushButton *>("Command1"), Qt::LeftButton);
            QVERIFY(!w->isVisible());
        }));
        QCOMPARE(m_session->selection.orderMode, 2);
        QVERIFY(m_platform.shown.isEmpty());
    }
};

QTEST_MAIN(TestMainMenus)
#include "tst_mainmenus.moc"
