#include "mainrules.h"
#include "session.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace MainRules;

class TestMainRules : public QObject
{
    Q_OBJECT

private slots:
    void dataFolder_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("folder");
        QTest::newRow("separator appended") << "/home/anna/.local/share/inglese" << "/home/anna/.local/share/inglese/";
        QTest::newRow("root folder") << "/" << "/";
        QTest::newRow("old drive folder") << "d:\\vb" << "d:\\vb50\\ingle\\";
        QTest::newRow("case matters") << "D:\\vb" << "D:\\vb/";
    }
    void dataFolder()
    {
        QFETCH(QString, current);
        QTEST(dataFolderFor(current), "folder");
    }

    void exitLogLine_data()
    {
        QTest::addColumn<QList<int>>("chosen");
        QTest::addColumn<int>("done");
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("critical");
        QTest::addColumn<QString>("line");
        QTest::newRow("no lesson chosen")
            << QList<int>() << 0 << 1000 << 0 << "05/12/2026 09:10:02 09:31:45    0/1000/0        TUTTE";
        QTest::newRow("lessons 2 and 5")
            << QList<int>({ 5, 2 }) << 12 << 987 << 3 << "05/12/2026 09:10:02 09:31:45    12/987/3        2 5";
        QTest::newRow("lessons 1, 4, 7, 20") << QList<int>({ 1, 4, 7, 20 }) << 12 << 987 << 3
                                             << "05/12/2026 09:10:02 09:31:45    12/987/3        1 4 7 20";
        QTest::newRow("negative points") << QList<int>() << 40 << -15 << 12
                                         << "05/12/2026 09:10:02 09:31:45    40/-15/12        TUTTE";
    }
    void exitLogLine()
    {
        QFETCH(QList<int>, chosen);
        QFETCH(int, done);
        QFETCH(int, points);
        QFETCH(int, critical);
        std::array<int, 21> state {};
        state.fill(1); // lessons with words but not chosen do not count
        state[0] = 2;  // nor does lesson 0
        for (int k : chosen)
            state[std::size_t(k)] = 2;
        QTEST(MainRules::exitLogLine("05/12/2026", "09:10:02", "09:31:45", done, points, critical, state), "line");
    }

    void exitLogIsAppended()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("inglelog");
        QVERIFY(appendExitLog(path, "first"));
        QVERIFY(appendExitLog(path, "second"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("first\r\nsecond\r\n"));
        QVERIFY(!appendExitLog(dir.filePath("gone/inglelog"), "x"));
    }

    void tabCaret_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");   // 0-based line of the caret
        QTest::addColumn<int>("column"); // 1-based column before which the caret stands
        QTest::addColumn<int>("target"); // column after Tab
        const QString row = QString("12 c ") + QString("house").leftJustified(50) + QString("casa").leftJustified(50);
        const QString text = row + "\r\n" + row + "\r\n";
        for (int line = 0; line < 2; ++line) {
            const auto add = [&](int column, int target) {
                QTest::addRow("line %d column %d", line + 1, column) << text << line << column << target;
            };
            add(1, 6);
            add(7, 6);
            add(8, 56);
            add(57, 56);
            add(58, 58);
            add(59, 2);
            add(106, 2);
        }
    }
    void tabCaret()
    {
        QFETCH(QString, text);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(int, target);
        const int start = line * int(text.indexOf("\r\n") + 2);
        const int pos = start + column - 1;
        QCOMPARE(lineStart(text, pos), start);
        QCOMPARE(MainRules::tabCaret(lineStart(text, pos), pos), start + target - 1);
    }

    void refreshLessonList_data()
    {
        QTest::addColumn<QList<int>>("critical");
        QTest::addColumn<QStringList>("listc");
        QTest::newRow("no critical word") << QList<int>() << QStringList({ "12", " 3", "12", "20", " 0" });
        QTest::newRow("word 3 critical") << QList<int>({ 3 }) << QStringList({ "12", " 3", "12", "20 c", " 0" });
        QTest::newRow("first, last and a duplicate")
            << QList<int>({ 0, 4, 4 }) << QStringList({ "12 c", " 3", "12", "20", " 0 c" });
        QTest::newRow("key of a row no longer there") << QList<int>({ 1, 9 })
                                                      << QStringList({ "12", " 3 c", "12", "20", " 0" });
    }
    void refreshLessonList()
    {
        QFETCH(QList<int>, critical);
        WordTable words;
        for (const char *lesson : { "12", " 3", "12", "20", " 0" })
            words.append(QString(lesson) + "  ", lesson, "en", "it");
        CriticalList memoc;
        for (int w : critical)
            memoc.add(w);
        MainRules::refreshLessonList(words, memoc);
        QTEST(words.Listc, "listc");
    }

    void fillLessonState_data()
    {
        QTest::addColumn<QStringList>("lessons");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QList<int>>("withWords");
        QTest::newRow("lessons 0, 3, 20") << QStringList({ " 3", "20", " 0", "03" }) << true
                                          << QList<int>({ 0, 3, 20 });
        QTest::newRow("lesson 21 fails") << QStringList({ " 3", "21" }) << false << QList<int>();
        QTest::newRow("letters fail") << QStringList({ "ab" }) << false << QList<int>();
        QTest::newRow("no lesson number fails") << QStringList({ "  " }) << false << QList<int>();
    }
    void fillLessonState()
    {
        QFETCH(QStringList, lessons);
        QFETCH(bool, ok);
        QFETCH(QList<int>, withWords);
        Session session;
        session.lessonState.fill(2); // old values of lessons 1..20 go, lesson 0 keeps its own
        session.lessonState[0] = 0;
        for (const QString &lesson : lessons)
            session.words.append(lesson + "  ", lesson, "en", "it");
        QCOMPARE(MainRules::fillLessonState(session), ok);
        if (!ok)
            return;
        for (int k = 0; k <= 20; ++k)
            QCOMPARE(session.lessonState[std::size_t(k)], withWords.contains(k) ? 1 : 0);
        QCOMPARE(session.selection.builtMode, session.selection.orderMode); // the first selection is built
    }
};

QTEST_GUILESS_MAIN(TestMainRules)
#include "tst_mainrules.moc"
