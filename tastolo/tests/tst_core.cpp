#include "fakeplatform.h"
#include "filemenu.h"
#include "textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

struct TextRow
{
    QString text, crLf, unencodable;
    bool longRun = false;
};
struct MenuRow
{
    QString entry, typed, answer;
    QStringList steps;
    QString area;
    bool written = false, closes = false;
    int told = 0; // failures the user is told of in a message box
};
Q_DECLARE_METATYPE(TextRow)
Q_DECLARE_METATYPE(MenuRow)

// The keyboard trainer without windows: the .txt rules and the File menu,
// with the exercise window and the file dialogue played by a script.
class TestCore : public QObject
{
    Q_OBJECT

    // The editing area is a string; each file dialogue takes the next steps:
    // a name confirmed with "OK", or "Annullo". With no steps left it is cancelled.
    struct View : FileMenu::View
    {
        QString area, shownFile;
        bool saveEnabled = false;
        QStringList steps;
        int dialogues = 0;
        FileMenu *menu = nullptr;
        QString folder;

        QString text() const override { return area; }
        void setText(const QString &text) override { area = text; }
        void showCurrentFile(const QString &path) override { shownFile = path; }
        void setSaveEnabled(bool enabled) override { saveEnabled = enabled; }
        bool showDialogue() override
        {
            ++dialogues;
            while (!steps.isEmpty() && steps.first() != QLatin1String("Annullo"))
                if (menu->confirm(folder, steps.takeFirst()))
                    return true;
            if (!steps.isEmpty())
                steps.removeFirst();
            menu->cancel();
            return false;
        }
    };

    QTemporaryDir dir;
    FakePlatform platform;
    ProgramState state;
    View view;
    FileMenu menu { platform, state, view };

    QString path(const QString &name) const { return QDir(dir.path()).filePath(name); }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files); }
    QByteArray bytesOf(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

private slots:
    void init()
    {
        QDir(dir.path()).removeRecursively();
        QVERIFY(QDir().mkpath(dir.path()));
        platform = FakePlatform();
        platform.folder = platform.home = dir.path();
        state = ProgramState();
        state.TestoRiferimento = QStringLiteral("lettera");
        view = View();
        view.folder = dir.path();
        view.menu = &menu;
    }

    // Line breaks as written, characters a file cannot hold, runs too long to wrap at words.
    void textRules_data()
    {
        QTest::addColumn<TextRow>("row");
        const QString run(TextFile::LongestWrappedRun, QLatin1Char('x'));
        QTest::newRow("LF") << TextRow { "a\nb\n", "a\r\nb\r\n" };
        QTest::newRow("lone CR, CR before CR LF") << TextRow { "a\rb\r\r\n", "a\r\nb\r\n\r\n" };
        QTest::newRow("LF CR") << TextRow { "a\n\rb", "a\r\n\r\nb" };
        QTest::newRow("U+2028, U+2029") << TextRow { "a\u2028b\u2029", "a\r\nb\r\n", "\u2028\u2029" };
        QTest::newRow("Italian, € and §") << TextRow { "più € § °", "più € § °" };
        QTest::newRow("Polish, each once") << TextRow { "ŁódźŁ", "ŁódźŁ", "Łź" };
        QTest::newRow("emoji") << TextRow { "ciao 😀", "ciao 😀", "😀" };
        QTest::newRow("longest run wrapped at words") << TextRow { run + " " + run, run + " " + run };
        QTest::newRow("too long after a LF") << TextRow { "a\n" + run + "x", "a\r\n" + run + "x", "", true };
    }
    void textRules()
    {
        QFETCH(TextRow, row);
        QCOMPARE(TextFile::toCrLf(row.text), row.crLf);
        QCOMPARE(TextFile::toCrLf(TextFile::toLf(row.text)), row.crLf);
        QCOMPARE(TextFile::unencodable(row.text), row.unencodable);
        QCOMPARE(TextFile::encode(row.text).has_value(), row.unencodable.isEmpty());
        QCOMPARE(TextFile::hasLongRun(row.text), row.longRun);
    }

    // How a text is cut and gathered into the area's paragraphs (here with runs of 3, lines of 5, groups of 3
    // characters); the cuts are listed so that they are left out again when the text is saved.
    void displayLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("group");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QList<int>>("joined");
        QTest::newRow("short words") << "ab cd" << qsizetype(0) << "ab cd" << QList<int> {};
        QTest::newRow("run") << "a\r\nbcdefg" << qsizetype(0) << "a\nbcd\nefg" << QList<int> { 2 };
        QTest::newRow("cut at a word") << "ab c de f" << qsizetype(0) << "ab c \nde f" << QList<int> { 1 };
        QTest::newRow("pair never parted") << "ab😀c" << qsizetype(0) << "ab😀\nc" << QList<int> { 1 };
        QTest::newRow("gathered") << "a\nb\ncd\ne" << qsizetype(3) << "a\u2028b\ncd\u2028e" << QList<int> {};
    }
    void displayLines()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, group);
        const TextFile::DisplayLines lines = TextFile::displayLines(text, 3, 5, group);
        QTEST(lines.text, "shown");
        QTEST(lines.joined, "joined");
    }

    // A menu entry with `typed` in the area ("lettera" is the text last put in); the question is answered
    // Yes, No or Cancel (Escape, the box's close control); the dialogues take `steps`. Only "No" or a written
    // file gives a typed text up.
    void questions_data()
    {
        QTest::addColumn<MenuRow>("row");
        const QString prima = QStringLiteral("prima");
        QTest::newRow("Nuovo, unchanged") << MenuRow { "nuovo", "lettera", "", {}, "" };
        QTest::newRow("Nuovo, No") << MenuRow { "nuovo", "testo", "No", {}, "" };
        QTest::newRow("Nuovo, Yes, saved") << MenuRow { "nuovo", "testo", "Yes", { prima }, "", true };
        QTest::newRow("Nuovo, Yes, Annullo") << MenuRow { "nuovo", "testo", "Yes", {}, "testo" };
        QTest::newRow("Nuovo, Escape") << MenuRow { "nuovo", "testo", "Cancel", {}, "testo" };
        QTest::newRow("Apri, Escape") << MenuRow { "apri", "testo", "Cancel", {}, "testo" };
        QTest::newRow("Apri, No, Annullo") << MenuRow { "apri", "testo", "No", { "Annullo" }, "" };
        QTest::newRow("Apri, Yes, blank name, saved, Annullo")
            << MenuRow { "apri", "testo", "Yes", { " ", prima, "Annullo" }, "", true, false, 1 };
        QTest::newRow("Apri, missing file")
            << MenuRow { "apri", "lettera", "", { "via.txt", "Annullo" }, "", false, false, 1 };
        QTest::newRow("close, unchanged") << MenuRow { "close", "lettera", "", {}, "lettera", false, true };
        QTest::newRow("close, No") << MenuRow { "close", "testo", "No", {}, "testo", false, true };
        QTest::newRow("close, Yes, saved")
            << MenuRow { "close", "testo", "Yes", { prima }, "testo", true, true };
        QTest::newRow("close, Yes, Annullo") << MenuRow { "close", "testo", "Yes", {}, "testo" };
        QTest::newRow("close, Yes, text no file can hold")
            << MenuRow { "close", "Łódź", "Yes", { prima }, "Łódź", false, false, 1 };
        QTest::newRow("close, Yes, folder gone")
            << MenuRow { "close", "testo", "Yes", { "manca/prima" }, "testo", false, false, 1 };
        QTest::newRow("close, Escape") << MenuRow { "close", "testo", "Cancel", {}, "testo" };
    }
    void questions()
    {
        QFETCH(MenuRow, row);
        const QHash<QString, Platform::Answer> answers { { "Yes", Platform::Answer::Yes },
            { "No", Platform::Answer::No }, { "Cancel", Platform::Answer::Cancel } };
        const QHash<QString, QString> questions {
            { "nuovo",
                "E' stato richiesto di Aprire un Nuovo File,\r\nma il file corrente è stato modificato." },
            { "apri",
                "E' stato richiesto di Aprire un altro File,\r\nma il file corrente è stato modificato." },
            { "close",
                "E' stato chiesto di chiudere il programma,\r\nma il file corrente non è stato salvato "
                "dopo le modifiche." }
        };
        view.area = row.typed;
        view.steps = row.steps;
        if (!row.answer.isEmpty())
            platform.answers.enqueue(answers.value(row.answer));
        const bool ends = row.entry == QLatin1String("nuovo") ? (menu.nuovo(), false)
            : row.entry == QLatin1String("apri")              ? (menu.apri(), false)
                                                              : menu.mayClose();
        QCOMPARE(ends, row.closes);
        QVERIFY(platform.answers.isEmpty() && view.steps.isEmpty());
        QCOMPARE(platform.shown.size(), int(!row.answer.isEmpty()) + row.told);
        if (!row.answer.isEmpty()) {
            QCOMPARE(platform.shown.first().title, QStringLiteral("Attenzione !"));
            QCOMPARE(platform.shown.first().text,
                questions.value(row.entry) + QStringLiteral("\r\nVuoi salvarlo ?"));
            QCOMPARE(platform.shown.first().buttons, Platform::Buttons::YesNo);
            QCOMPARE(platform.shown.first().icon, Platform::Icon::None);
        }
        QCOMPARE(view.area, row.area);
        QCOMPARE(
            bytesOf(QStringLiteral("prima.txt")), row.written ? row.typed.toLatin1() + "\r\n" : "<missing>");
        // A text kept as typed and not written still counts as changed.
        QCOMPARE(menu.isModified(),
            row.area == row.typed && row.typed != QLatin1String("lettera") && !row.written);
    }

    // Saved under a name, then opened again: one more line break, unchanged.
    void saveName_data()
    {
        QTest::addColumn<QStringList>("row"); // typed, written
        QTest::newRow("no extension") << QStringList { "lettera", "lettera.txt" };
        QTest::newRow("mixed case") << QStringList { "lettera.Txt", "lettera.Txt.txt" };
        QTest::newRow("upper case") << QStringList { "LETTERA.TXT", "LETTERA.TXT" };
    }
    void saveName()
    {
        QFETCH(QStringList, row);
        const QString typed = row[0], written = row[1];
        view.area = QStringLiteral("più\r\nfine");
        view.steps = QStringList { typed };
        QVERIFY(menu.salvaConNome());
        QCOMPARE(files(), QStringList { written });
        QCOMPARE(bytesOf(written), QByteArray("pi\xF9\r\nfine\r\n"));
        QCOMPARE(view.shownFile, path(written));
        QVERIFY(view.saveEnabled && !menu.isModified());
        view.steps = QStringList { written };
        menu.apri();
        QCOMPARE(view.area, QStringLiteral("più\r\nfine\r\n"));
        QVERIFY(!menu.isModified() && platform.shown.isEmpty());
        QCOMPARE(TextFile::joinPath(QStringLiteral("/"), written), QStringLiteral("/") + written);
    }

    // "&Salva" writes to the current file only while the window shows one;
    // otherwise it asks for a name. "Nuovo" keeps the name for the next dialogue.
    void salva()
    {
        view.area = QStringLiteral("uno");
        view.steps = QStringList { QStringLiteral("uno") };
        QVERIFY(menu.salva());
        view.area = QStringLiteral("due");
        QVERIFY(menu.salva());
        QCOMPARE(view.dialogues, 1);
        QCOMPARE(bytesOf(QStringLiteral("uno.txt")), QByteArray("due\r\n"));
        // A write the disk refuses is told, and the text still counts as changed.
        QVERIFY(QFile::remove(path(QStringLiteral("uno.txt")))
            && QDir(dir.path()).mkdir(QStringLiteral("uno.txt")));
        view.area = QStringLiteral("quattro");
        QVERIFY(!menu.salva() && menu.isModified());
        QCOMPARE(platform.shown.size(), 1);
        view.area = QStringLiteral("due");
        menu.nuovo();
        QCOMPARE(menu.proposedName(), QStringLiteral("uno.txt"));
        view.area = QStringLiteral("tre");
        QVERIFY(!menu.salva());
        QCOMPARE(view.dialogues, 2);
        QCOMPARE(state.NomeFileCorrente, path(QStringLiteral("uno.txt")));
        QVERIFY(menu.isModified());
    }

    // The folder the file dialogue opens on: one deleted while the program ran is never used.
    void openingFolder_data()
    {
        QTest::addColumn<QStringList>("row"); // remembered, current, shown
        QTest::newRow("none remembered") << QStringList { "", "a", "a" };
        QTest::newRow("remembered") << QStringList { "b", "a", "b" };
        QTest::newRow("remembered one deleted") << QStringList { "gone", "a", "a" };
        QTest::newRow("current one deleted too") << QStringList { "gone", "gone", "home" };
        QTest::newRow("current one deleted, none remembered") << QStringList { "", "gone", "home" };
    }
    void openingFolder()
    {
        QFETCH(QStringList, row);
        const QString remembered = row[0], current = row[1], shown = row[2];
        for (const char *name : { "a", "b", "home" })
            QVERIFY(QDir(dir.path()).mkdir(QLatin1String(name)));
        state.CartellaCorrente = remembered.isEmpty() ? QString() : path(remembered);
        platform.folder = path(current);
        platform.home = path(QStringLiteral("home"));
        const FileMenu::Folder folder = menu.openingFolder();
        QCOMPARE(folder.path, path(shown));
        QCOMPARE(folder.home, shown == QLatin1String("home"));
        QCOMPARE(platform.folder, path(shown));
        QCOMPARE(state.CartellaCorrente, path(shown));
    }
};

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
