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

namespace {

using B = Messages::Buttons;
using I = Messages::Icon;
using A = Messages::Answer;

Boxes::Seen answered(B buttons, I icon, const Boxes::Way &way, const QString &title = "Attenzione !",
    const QString &text = "Il file <b>a</b>.txt è cambiato.\r\nVuoi salvarlo ?")
{
    return Boxes::answer([&] { return messageBox(nullptr, title, text, buttons, icon); }, way);
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

    // Each kind of box shows its buttons in this order, and a click on one answers by its name; Escape and
    // the close button always give the answer that changes nothing: OK alone, else Cancel (never No, which
    // may throw the user's work away). A box-... row is also a look of that kind of box: its icon, its
    // buttons, its text.
    void answers_data()
    {
        columns<B, I, QString>("buttons", "icon", "shown");
        row("box-note", B::Ok, I::None, "OK");
        row("box-information", B::Ok, I::Information, "OK");
        row("box-stop", B::Ok, I::Stop, "OK");
        row("OK, Cancel", B::OkCancel, I::None, "OK Cancel");
        row("box-question", B::YesNo, I::None, "Yes No");
        row("Yes, No, Cancel", B::YesNoCancel, I::None, "Yes No Cancel");
    }
    void answers()
    {
        QFETCH(QString, shown);
        for (const QString &way : (shown + " Escape close").split(u' ')) {
            const Boxes::Seen seen = answered(fetched<B>("buttons"), fetched<I>("icon"), way);
            const int named = QStringList { "OK", "Cancel", "Yes", "No" }.indexOf(way);
            QCOMPARE(seen.buttons.join(u' '), shown);
            QCOMPARE(seen.answer, named >= 0 ? A(named) : shown == "OK" ? A::Ok : A::Cancel);
            QVERIFY(!seen.leftOpen);
            if (way == "Escape" && QByteArray(QTest::currentDataTag()).startsWith("box-"))
                Looks::compare(LOOKS_DIR, QTest::currentDataTag(), seen.picture, seen.state);
        }
    }

    // A text from a user's file in a box is cut so that the box opens at once and fits the screen; the box
    // is as wide as its whole title, which is never read as markup either. (The looks show the text as it
    // is, one line a line.)
    void shows()
    {
        const QString title = "<b>Sinomini</b> di:  house (nelle Lez. scelte)";
        Boxes::Seen seen = answered(B::Ok, I::None, "OK", title, "casa");
        QCOMPARE(seen.title, title);
        // the title and the buttons of the title bar
        QCOMPARE_GE(seen.picture.width() - QFontMetrics(QApplication::font()).horizontalAdvance(title), 60);
        seen = answered(B::Ok, I::None, "OK", "Riga",
            QString(10'000'000, u'x') + "\r\n" + QString("y\r\n").repeated(100'000));
        QVERIFY(seen.plain && seen.text.size() <= 31 * 161 && seen.text.startsWith("xxx")
            && seen.text.endsWith("\n…"));
        QCOMPARE_LT(seen.picture.height(), 1000);
    }

    // What a box shows of a text: one LF per line end (a last empty line kept), long lines and the lines
    // past the limit cut.
    void fit_data()
    {
        // lines: at most, each of at most 4 characters
        columns<QString, int, QString>("text", "lines", "shown");
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
    }
    void labelsAndTips()
    {
        QFETCH(QString, text);
        QWidget window;
        QLabel *label = PlainText::label(&window, text);
        PlainText::setToolTip(label, text);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QCOMPARE(label->text(), text);
        QCOMPARE(Looks::shownTip(label->toolTip()), text);
        QCOMPARE(label->accessibleDescription(), text);
    }
};

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
