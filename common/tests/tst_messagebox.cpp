// The message box of the three programs, and the labels and tooltips that show a text as it is: what each
// way of ending a box answers, what a box shows of a text from a user's file, and how a box looks.
#include "boxes.h"
#include "looks.h"
#include "messagebox.h"
#include "plaintext.h"
#include "plainwidgets.h"
#include "testing.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTextDocument>

namespace {

using B = Messages::Buttons;
using I = Messages::Icon;

Boxes::Seen answered(B buttons, I icon, const Boxes::Way &way, const QString &title = "Attenzione !",
    const QString &text = "Il file <b>a</b>.txt è cambiato.\r\nVuoi salvarlo ?")
{
    return Boxes::answer([&] { return messageBox(nullptr, title, text, buttons, icon); }, way);
}

// What Qt shows of a tooltip: a text that it takes for markup, read as markup.
QString shownTip(const QString &tip)
{
    QTextDocument shown;
    shown.setHtml(tip);
    return Qt::mightBeRichText(tip) ? shown.toPlainText() : tip;
}

} // namespace

class TestMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QApplication::setStyle("Fusion");
        QApplication::setFont(QFont("Liberation Mono", 11));
    }

    // Each way of ending each kind of box, and its answer: Escape and the close button always give the
    // answer that changes nothing (never No, which may throw the user's work away). The buttons shown are
    // those clicked, in this order.
    void answers_data()
    {
        QTest::addColumn<B>("buttons");
        QTest::addColumn<QString>("answers");
        row("OK", B::Ok, "OK=Ok Escape=Ok close=Ok");
        row("OK, Cancel", B::OkCancel, "OK=Ok Cancel=Cancel Escape=Cancel close=Cancel");
        row("Yes, No", B::YesNo, "Yes=Yes No=No Escape=Cancel close=Cancel");
        row("Yes, No, Cancel", B::YesNoCancel, "Yes=Yes No=No Cancel=Cancel Escape=Cancel close=Cancel");
    }
    void answers()
    {
        QFETCH(QString, answers);
        QString got;
        QStringList clicked, shown;
        for (const QString &pair : answers.split(u' ')) {
            const QString way = pair.section(u'=', 0, 0);
            const Boxes::Seen seen = answered(fetched<B>("buttons"), I::None, way);
            got += u' ' + way + u'=' + QStringList { "Ok", "Cancel", "Yes", "No" }[int(seen.answer)]
                + (seen.leftOpen ? " left open" : "");
            shown = seen.buttons;
            if (way != "Escape" && way != "close")
                clicked << way;
        }
        QCOMPARE(got.mid(1), answers);
        QCOMPARE(shown, clicked);
    }

    // A text from a user's file in a box: shown as it is, never as markup, one line a line; a long one cut
    // so that the box opens at once and fits the screen; the box as wide as its whole title.
    void shows_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<I>("icon");
        QTest::addColumn<int>("shownIcon");
        QTest::addColumn<QString>("shown"); // null: cut to at most 30 lines of 160 characters
        const QString html = "<img src=\"/nowhere\">";
        row("markup, line ends", "Sinomini di:  house (nelle Lez. scelte)", "casa\r" + html + "\r\n<b>x",
            I::Information, int(QMessageBox::Information), QString("casa\n" + html + "\n<b>x"));
        row("markup in the title", "<b>Riga</b> ignorata ...", "Lezione 3", I::Stop,
            int(QMessageBox::Critical), QString("Lezione 3"));
        row("ten million characters", "Riga ignorata ...",
            QString(10'000'000, u'x') + "\r\n" + QString("y\r\n").repeated(100'000), I::None,
            int(QMessageBox::NoIcon), QString());
    }
    void shows()
    {
        QFETCH(QString, title);
        QFETCH(QString, shown);
        const Boxes::Seen seen = answered(B::Ok, fetched<I>("icon"), "OK", title, fetched<QString>("text"));
        QCOMPARE(seen.title, title);
        QVERIFY(seen.plain);
        QTEST(seen.icon, "shownIcon");
        if (shown.isNull())
            QVERIFY(seen.text.size() <= 31 * 161 && seen.text.startsWith("xxx") && seen.text.endsWith("\n…"));
        else
            QCOMPARE(seen.text, shown);
        QCOMPARE_GE(seen.titleRoom, 60); // the title and the buttons of the title bar
        QCOMPARE_LT(seen.height, 1000);
    }

    // What a box shows of a text: one LF per line end (a last empty line kept), long lines and the lines
    // past the limit cut.
    void fit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lines"); // at most, each of at most 4 characters
        QTest::addColumn<QString>("shown");
        row("line ends", "a\rb\nc\r\n\r\n", 5, "a\nb\nc\n\n");
        row("a long line", "abcde\rabcd", 2, "abc…\nabcd");
        row("too many lines", "a\nb\nc", 2, "a\nb\n…");
    }
    void fit() { QTEST(PlainText::fit(fetched<QString>("text"), fetched<int>("lines"), 4), "shown"); }

    // A label or a tooltip with a path or a file's text reads as the text does, markup and line breaks
    // included; a screen reader says the text itself.
    void labelsAndTips_data()
    {
        QTest::addColumn<QString>("text");
        row("a picture tag", "/tmp/<img src=\"/nowhere\">x.txt");
        row("a bold tag on the second line", "a\n<b>b</b> &amp;");
        row("plain", "casa  e  cane");
    }
    void labelsAndTips()
    {
        QFETCH(QString, text);
        QWidget window;
        QLabel *label = PlainText::label(&window, text);
        PlainText::setToolTip(label, text);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QCOMPARE(label->text(), text);
        QCOMPARE(shownTip(label->toolTip()), text);
        QCOMPARE(label->accessibleDescription(), text);
    }

    // How each kind of box looks: its icon, its buttons, its text.
    void looks_data()
    {
        QTest::addColumn<B>("buttons");
        QTest::addColumn<I>("icon");
        row("box-note", B::Ok, I::None);
        row("box-information", B::Ok, I::Information);
        row("box-stop", B::Ok, I::Stop);
        row("box-question", B::YesNo, I::None);
    }
    void looks()
    {
        const Boxes::Seen seen = answered(fetched<B>("buttons"), fetched<I>("icon"), "Escape");
        Looks::compare(LOOKS_DIR, QTest::currentDataTag(), seen.picture, seen.state);
    }
};

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
