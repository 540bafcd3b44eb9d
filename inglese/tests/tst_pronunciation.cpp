#include "pronunciation.h"

#include <QTest>

// What is said for the English field of a word line.
class TestPronunciation : public QObject
{
    Q_OBJECT

private slots:
    void spokenText_data()
    {
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("said");
        QTest::newRow("one word") << "house"
                                  << "house";
        QTest::newRow("alternatives") << "house (home)"
                                      << "house, home";
        QTest::newRow("three alternatives") << "to run (jog,  sprint)"
                                            << "to run, jog, sprint";
        QTest::newRow("remark") << "palm [of the hand]"
                                << "palm";
        QTest::newRow("remark and alternative") << "light [not heavy] (lamp)"
                                                << "light, lamp";
        QTest::newRow("remark never closed") << "bracket [to the end"
                                             << "bracket";
        QTest::newRow("not split: no parentheses said") << "(verb) run"
                                                        << "verb run";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("only a remark") << "[nothing]"
                                       << "";
        QTest::newRow("empty alternative skipped") << "cat (,kitty)"
                                                   << "cat, kitty";
    }
    void spokenText()
    {
        QFETCH(QString, english);
        // The English field stands in its columns of a word line, the Italian one after it.
        const QString line
            = QStringLiteral("12  *") + english.leftJustified(50) + QStringLiteral("casa (tetto)");
        QTEST(Pronunciation::spokenText(Pronunciation::englishOfLine(line)), "said");
        QTEST(Pronunciation::spokenText(english), "said");
    }
};

QTEST_GUILESS_MAIN(TestPronunciation)
#include "tst_pronunciation.moc"
