#include "wordtable.h"

#include <QTest>

class TestWordTable : public QObject
{
    Q_OBJECT

private slots:
    void lessonNumber_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("lesson");
        QTest::newRow("two digits") << "12 c" << 12;
        QTest::newRow("leading zero") << "01  " << 1;
        QTest::newRow("leading blank") << " 7  " << 7;
        QTest::newRow("trailing blank") << "7   " << 7;
        QTest::newRow("lesson zero") << " 0  " << 0;
        QTest::newRow("twenty") << "20" << 20;
        QTest::newRow("twenty-one") << "21  " << -1;
        QTest::newRow("letters") << "ab  " << -1;
        QTest::newRow("comment line") << "## " << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("negative") << "-1" << -1;
    }
    void lessonNumber()
    {
        QFETCH(QString, field);
        QFETCH(int, lesson);
        QCOMPARE(WordTable::lessonNumber(field), lesson);
    }

    void criticalKeys_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("key");
        QTest::newRow("zero") << 0 << "0000";
        QTest::newRow("two digits") << 37 << "0037";
        QTest::newRow("four digits") << 1234 << "1234";
        QTest::newRow("beyond 9999") << 12345 << "12345";
    }
    void criticalKeys()
    {
        QFETCH(int, word);
        QFETCH(QString, key);
        QCOMPARE(CriticalList::key(word), key);
    }

    void criticalListStaysSortedWithDuplicates()
    {
        CriticalList memoc;
        for (int w : { 10000, 5, 37, 5, 0 })
            memoc.add(w);
        QCOMPARE(memoc.words(), (QList<int> { 0, 5, 5, 37, 10000 }));
        QVERIFY(memoc.removeOne(5));
        QCOMPARE(memoc.words(), (QList<int> { 0, 5, 37, 10000 }));
        QVERIFY(!memoc.removeOne(6));
        QCOMPARE(memoc.count(), 4);
    }
};

QTEST_GUILESS_MAIN(TestWordTable)
#include "tst_wordtable.moc"
