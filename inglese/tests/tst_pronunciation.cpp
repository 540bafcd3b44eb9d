#include "pronunciation.h"

#include <QTest>

// What is said for an English vocabulary text.
class TestPronunciation : public QObject
{
    Q_OBJECT

private slots:
    void spokenText_data()
    {
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("said");
        const char *rows[][3] = {
            { "alternatives", "to run (jog,  sprint)", "to run, jog, sprint" },
            { "remark and alternative", "light [not heavy] (lamp)", "light, lamp" },
            { "remark never closed", "bracket [to the end", "bracket" },
            { "not split: no parentheses said", "(verb) run", "verb run" },
            { "empty alternative skipped", "cat (,kitty)", "cat, kitty" },
            { "only a remark", "[nothing]", "" },
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromLatin1(row[1]) << QString::fromLatin1(row[2]);
    }
    void spokenText()
    {
        QFETCH(QString, english);
        QTEST(Pronunciation::spokenText(english), "said");
    }
};

QTEST_GUILESS_MAIN(TestPronunciation)
#include "tst_pronunciation.moc"
