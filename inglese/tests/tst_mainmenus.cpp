#include "Form1.h"
#include "Form4.h"
#include "Form5.h"
#include "fakeplatform.h"
#include "session.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
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

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

    // Runs `step` on the modal window that the next action opens; reports
    // whether one opened.
    bool onModal(const std::function<void(QWidget *)> &step, const std::function<void()> &open)
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

private slots:
    void init()
    {
        m_dir = new QTemporaryDir;
        m_platform = FakePlatform();
        m_platform.folder = m_dir->path();
        QVERIFY(writeBytes(m_dir->filePath("inglese.txt"),
                           wordLine("01", "house", "casa") + wordLine(" 3", "light", "luce")
                               + wordLine(" 3", "dark", "buio") + wordLine("05", "cat", "gatto")));
        m_session = new Session;
        m_form = new Form1(*m_session, m_platform);
        QVERIFY(m_form->Form_Load());
        m_form->show();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
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

        QCOMPARE(m_session->selection.selection.mid(1, m_session->selection.selectionCount),
                 (QList<int> { 0, 1, 2, 3 })); // first build: forward over all lessons
        auto open = [&] {
            if (shortcut)
                QTest::keyClick(m_form, Qt::Key_F2);
            else
                m_form->findChild<QAction *>("menuLezioni")->trigger();
        };
        QVERIFY(onModal(
            [](QWidget *w) {
                QVERIFY(qobject_cast<Form4 *>(w));
                QVERIFY(w->findChild<QLabel *>("Label6")->isVisible());
                auto *n3 = w->findChild<QCheckBox *>("Ckles3");
                QVERIFY(n3->isEnabled());
                QVERIFY(!w->findChild<QCheckBox *>("Ckles2")->isEnabled());
                QTest::mouseClick(n3, Qt::LeftButton, {}, QPoint(6, n3->height() / 2));
                auto *back = w->findChild<QRadioButton *>("Option3");
                QTest::mouseClick(back, Qt::LeftButton, {}, QPoint(6, back->height() / 2));
                QTest::mouseClick(w->findChild<QPushButton *>("Command1"), Qt::LeftButton);
            },
            open));
        QCOMPARE(m_session->selection.orderMode, 3);
        QCOMPARE(m_session->selection.selection.mid(1, m_session->selection.selectionCount), (QList<int> { 1, 2 }));

        // Opened again, the window shows the choice kept.
        QVERIFY(onModal(
            [](QWidget *w) {
                QVERIFY(w->findChild<QCheckBox *>("Ckles3")->isChecked());
                QVERIFY(!w->findChild<QCheckBox *>("Ckles0")->isChecked());
                QVERIFY(w->findChild<QRadioButton *>("Option3")->isChecked());
            },
            open));

        m_form->findChild<QPushButton *>("Command3")->click();
        const QByteArray log = readBytes(m_dir->filePath("inglelog"));
        QVERIFY2(log.endsWith(" 3\r\n"), log.constData());
        QVERIFY(m_platform.shown.isEmpty());
    }

    void rulesView()
    {
        QVERIFY(onModal(
            [](QWidget *w) {
                QVERIFY(qobject_cast<Form4 *>(w));
                QVERIFY(!w->findChild<QWidget *>("Frame2")->isVisible());
                QVERIFY(w->findChild<PrintBox *>("peri")->isVisible());
                auto *close = w->findChild<QPushButton *>("Command1");
                QCOMPARE(close->toolTip(), QStringLiteral("Chiudi REGOLE"));
                QTest::mouseClick(close, Qt::LeftButton);
                QVERIFY(!w->isVisible());
            },
            [&] { m_form->findChild<QAction *>("menuRegole")->trigger(); }));
        QCOMPARE(m_session->selection.orderMode, 2); // the choices are unchanged
    }

    void instructions_data()
    {
        QTest::addColumn<bool>("present");
        QTest::newRow("help file present") << true;
        QTest::newRow("help file missing") << false;
    }
    void instructions()
    {
        QFETCH(bool, present);

        if (present)
            QVERIFY(writeBytes(m_dir->filePath("aiutoV5.txt"), "Istruzioni\r\n  - premi F2\r\n"));
        const bool opened = onModal(
            [](QWidget *w) {
                QVERIFY(qobject_cast<Form5 *>(w));
                QCOMPARE(w->findChild<QListWidget *>("Listai")->count(), 2);
                QTest::mouseClick(w->findChild<QPushButton *>("Command1"), Qt::LeftButton);
                QVERIFY(!w->isVisible());
            },
            [&] { QTest::keyClick(m_form, Qt::Key_F1); });
        QCOMPARE(opened, present);
        QCOMPARE(m_platform.shown.size(), present ? 0 : 1);
        if (!present)
            QCOMPARE(m_platform.shown.at(0).text, QStringLiteral("File AIUTO.TXT non trovato"));
    }
};

QTEST_MAIN(TestMainMenus)
#include "tst_mainmenus.moc"
