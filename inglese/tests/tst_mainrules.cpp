#include "mainrules.h"
#include "session.h"

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
};

QTEST_GUILESS_MAIN(TestMainRules)
#include "tst_mainrules.moc"
