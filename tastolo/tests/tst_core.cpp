#include "fakeplatform.h"
#include "filemenu.h"
#include "textcases.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

struct MenuRow
{
    QString entry {}, typed = "testo", answers {}, steps {}; // split at blanks
    QString area = "testo";
    QByteArray written = "<missing>"; // prima.txt
    bool closes = false;
    int told = 0; // failures the user is told of in a message box
};
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
        qsizetype selected = -1;
        bool saveEnabled = false;
        QStringList steps;
        int dialogues = 0;
        FileMenu *menu = nullptr;
        QString folder;

        QString text() const override { return area; }
        void setText(const QString &text) override { area = text; }
        void select(qsizetype position) override { selected = position; }
        void removeCharacters(const QList<qsizetype> &positions) override
        {
            for (auto at = positions.crbegin(); at != positions.crend(); ++at)
                area.remove(*at, area[*at].isHighSurrogate() ? 2 : 1);
        }
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
    std::optional<FileMenu> fileMenu;
    FileMenu &menu = fileMenu.emplace(platform, state, view);

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
        state.TestoRiferimento = "lettera";
        view = View();
        view.folder = dir.path();
        view.menu = &fileMenu.emplace(platform, state, view);
    }

    // Files the exercise opens up to each limit and not beyond, with the reason the user is told.
    void refusals_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // empty: the folder; "<grows>": a file longer than its size
        QTest::addColumn<QString>("reason");
        const auto lines = [](qint64 size) { return QByteArray("ab\r\n").repeated(size / 4); };
        // The longest line and word at the file's start and again after a line end.
        const QByteArray xs = QByteArray("x ").repeated(TextFile::LongestLine / 2), line = xs + '\n' + xs;
        const QByteArray x = QByteArray(TextFile::LongestRun, 'x'), run = x + '\n' + x;
        QTest::newRow("folder") << QByteArray() << "non è un file di testo.";
        QTest::newRow("missing") << QByteArray("<none>") << "non esiste.";
        QTest::newRow("grows") << QByteArray("<grows>")
                               << "non si può leggere per intero: forse è cambiato mentre veniva letto.";
        QTest::newRow("largest") << lines(TextFile::LargestFile) << "";
        QTest::newRow("too large") << lines(TextFile::LargestFile) + "x"
                                   << "è troppo grande per l'esercizio: al massimo 6 MB.";
        QTest::newRow("longest line") << line << "";
        QTest::newRow("line too long")
            << line + "x"
            << "ha una riga troppo lunga per l'esercizio: al massimo 10.000 caratteri in una riga.";
        QTest::newRow("longest run") << run << "";
        QTest::newRow("run too long")
            << run + "x"
            << "ha una parola troppo lunga per l'esercizio: al massimo 5.000 caratteri senza spazi.";
    }
    void refusals()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QFile file(path("file.txt"));
        QVERIFY(bytes == "<none>"
            || (bytes == "<grows>" ? QFile::link("/proc/self/status", file.fileName())
                                   : file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()));
        file.close();
        const QString name = path(bytes.isEmpty() ? "." : "file.txt");
        const TextFile::ReadResult result = TextFile::read(name);
        QCOMPARE(result.error,
            reason.isEmpty() ? QString() : "Il file\r\n" + QDir::toNativeSeparators(name) + "\r\n" + reason);
        QCOMPARE(result.text.size(), reason.isEmpty() ? bytes.size() - bytes.count('\r') : 0);
    }

    // How a character the file cannot hold is named (more in the questions' table), a lone half too.
    void described_data()
    {
        QTest::addColumn<QStringList>("row"); // text, how its first character is named
        const QString high(QChar(0xD83D)), low(QChar(0xDE00));
        QTest::newRow("letter before a lone half") << QStringList { "a" + low, "«a» U+0061" };
        QTest::newRow("lone half at the end") << QStringList { high, "U+D83D metà di un carattere" };
        QTest::newRow("pair at the end") << QStringList { high + low, "«😀» U+1F600" };
        QTest::newRow("blank") << QStringList { " ", "« » U+0020" };
        QTest::newRow("wide space") << QStringList { "\u2003", "U+2003 spazio speciale" };
        QTest::newRow("no-break space") << QStringList { "\u00A0", "U+00A0 spazio unificatore" };
        QTest::newRow("control") << QStringList { "\u0007", "U+0007 carattere di controllo" };
        QTest::newRow("zero-width joiner") << QStringList { "\u200D", "U+200D unione invisibile" };
        QTest::newRow("word joiner") << QStringList { "\u2060", "U+2060 unione invisibile" };
        QTest::newRow("soft hyphen") << QStringList { "\u00AD", "U+00AD trattino invisibile" };
        QTest::newRow("line separator") << QStringList { "\u2028", "U+2028 separatore di riga" };
    }
    void described()
    {
        QFETCH(QStringList, row);
        QCOMPARE(TextFile::describe(row[0], 0), row[1]);
    }

    // Random files and edits keep the promise of textcases.h (also the fuzz target fuzz_textfile).
    void savedIsShown()
    {
        QRandomGenerator random(22);
        for (int i = 0; i < 300; ++i) {
            QByteArray recipe(random.bounded(1, 1500), Qt::Uninitialized);
            for (char &byte : recipe)
                byte = char(random.bounded(256));
            const QString failed = TextCases::check(recipe);
            QVERIFY2(failed.isEmpty(), qPrintable(failed + ", recipe " + recipe.toHex()));
        }
    }

    // A menu entry with `typed` in the area ("lettera": the text last put in); questions are answered Yes,
    // No or Cancel (Escape, the close control); the dialogues take `steps` ("_" a blank name). Only "No"
    // or a written file gives a typed text up; a character the file cannot hold goes only on Yes.
    void questions_data()
    {
        QTest::addColumn<MenuRow>("row");
        const QString foreign = "a\u200BŁód😀\u202E";
        QTest::newRow("Nuovo, unchanged") << MenuRow { .entry = "nuovo", .typed = "lettera", .area = "" };
        QTest::newRow("Nuovo, No") << MenuRow { .entry = "nuovo", .answers = "No", .area = "" };
        QTest::newRow("Nuovo, Yes, saved") << MenuRow {
            .entry = "nuovo", .answers = "Yes", .steps = "prima", .area = "", .written = "testo\r\n"
        };
        QTest::newRow("Nuovo, Yes, Annullo") << MenuRow { .entry = "nuovo", .answers = "Yes" };
        QTest::newRow("Nuovo, Escape") << MenuRow { .entry = "nuovo", .answers = "Cancel" };
        QTest::newRow("Apri, Escape") << MenuRow { .entry = "apri", .answers = "Cancel" };
        QTest::newRow("Apri, No, Annullo")
            << MenuRow { .entry = "apri", .answers = "No", .steps = "Annullo", .area = "" };
        QTest::newRow("Apri, Yes, blank name, saved, Annullo") << MenuRow { .entry = "apri",
            .answers = "Yes",
            .steps = "_ prima Annullo",
            .area = "",
            .written = "testo\r\n",
            .told = 1 };
        QTest::newRow("Apri, missing file") << MenuRow {
            .entry = "apri", .typed = "lettera", .steps = "via.txt Annullo", .area = "", .told = 1
        };
        QTest::newRow("close, unchanged")
            << MenuRow { .entry = "close", .typed = "lettera", .area = "lettera", .closes = true };
        QTest::newRow("close, No") << MenuRow { .entry = "close", .answers = "No", .closes = true };
        QTest::newRow("close, Yes, saved") << MenuRow {
            .entry = "close", .answers = "Yes", .steps = "prima", .written = "testo\r\n", .closes = true
        };
        QTest::newRow("close, Yes, Annullo") << MenuRow { .entry = "close", .answers = "Yes" };
        QTest::newRow("close, Yes, characters kept") << MenuRow {
            .entry = "close", .typed = foreign, .answers = "Yes No", .steps = "prima", .area = foreign
        };
        QTest::newRow("close, Yes, characters left out") << MenuRow { .entry = "close",
            .typed = foreign,
            .answers = "Yes Yes",
            .steps = "prima",
            .area = "aód",
            .written = "a\xF3\x64\r\n",
            .closes = true };
        QTest::newRow("close, Yes, folder gone")
            << MenuRow { .entry = "close", .answers = "Yes", .steps = "manca/prima", .told = 1 };
        QTest::newRow("close, Escape") << MenuRow { .entry = "close", .answers = "Cancel" };
    }
    void questions()
    {
        QFETCH(MenuRow, row);
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
        view.saveEnabled = true; // the text came from a file
        view.steps = row.steps.split(QLatin1Char(' '), Qt::SkipEmptyParts).replaceInStrings("_", " ");
        const QStringList given = row.answers.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString &answer : given)
            platform.answers.enqueue(answer == "Yes" ? Platform::Answer::Yes
                    : answer == "No"                 ? Platform::Answer::No
                                                     : Platform::Answer::Cancel);
        const bool ends = row.entry == QLatin1String("nuovo") ? (menu.nuovo(), false)
            : row.entry == QLatin1String("apri")              ? (menu.apri(), false)
                                                              : menu.mayClose();
        QCOMPARE(ends, row.closes);
        QVERIFY(platform.answers.isEmpty() && view.steps.isEmpty());
        QCOMPARE(platform.shown.size(), given.size() + row.told);
        if (!row.answers.isEmpty()) {
            QCOMPARE(platform.shown.first().title, "Attenzione !");
            QCOMPARE(platform.shown.first().text, questions.value(row.entry) + "\r\nVuoi salvarlo ?");
            QVERIFY(platform.shown.first().buttons == Platform::Buttons::YesNo
                && platform.shown.first().icon == Platform::Icon::None);
        }
        if (given.size() > 1) { // the characters named, the first one selected
            QCOMPARE(platform.shown.at(1).text,
                QStringLiteral(
                    "Il testo contiene caratteri che questo file non può contenere:\r\nU+200B spazio "
                    "invisibile, «Ł» U+0141, «😀» U+1F600, U+202E carattere di formato invisibile\r\nIl "
                    "primo è selezionato nel testo.\r\n\r\nSalvarlo senza questi caratteri?"));
            QCOMPARE(view.selected, 1);
        }
        QCOMPARE(view.area, row.area);
        // A new text has no file to save to; a text kept keeps its Save.
        QVERIFY(row.entry != QLatin1String("nuovo") || view.saveEnabled == !row.area.isEmpty());
        QCOMPARE(bytesOf("prima.txt"), row.written);
        // A text kept as typed and not written still counts as changed.
        QCOMPARE(menu.isModified(),
            row.area == row.typed && row.typed != QLatin1String("lettera") && row.written == "<missing>");
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
        view.area = "più\nfine";
        view.steps = QStringList { typed };
        QVERIFY(menu.salvaConNome());
        QCOMPARE(files(), QStringList { written });
        QCOMPARE(bytesOf(written), QByteArray("pi\xF9\r\nfine\r\n"));
        QCOMPARE(view.shownFile, path(written));
        QVERIFY(view.saveEnabled && !menu.isModified());
        view.steps = QStringList { written };
        menu.apri();
        QCOMPARE(view.area, "più\nfine\n");
        QVERIFY(!menu.isModified() && platform.shown.isEmpty());
    }

    // "&Salva" writes to the current file only while the window shows one; otherwise it asks for a name.
    // "Nuovo" keeps the name for the next dialogue. A file another program changed is replaced only on Yes.
    void salva()
    {
        view.area = "uno";
        view.steps = QStringList { "uno" };
        QVERIFY(menu.salva());
        view.area = "ĀāĂăĄąĆćĈĉĊċČ"; // thirteen letters the file cannot hold: twelve named
        platform.answers << Platform::Answer::No;
        QVERIFY(!menu.salva() && platform.shown.takeLast().text.contains("«ċ» U+010B, ..."));
        view.area = "due";
        QVERIFY(menu.salva());
        QCOMPARE(view.dialogues, 1);
        QCOMPARE(bytesOf("uno.txt"), QByteArray("due\r\n"));
        QFile other(path("uno.txt"));
        QVERIFY(other.open(QIODevice::Append) && other.write("altro") == 5);
        other.close();
        platform.answers << Platform::Answer::No << Platform::Answer::Yes;
        view.area = "tre";
        QVERIFY(!menu.salva() && menu.isModified());
        QCOMPARE(bytesOf("uno.txt"), QByteArray("due\r\naltro"));
        QVERIFY(menu.salva() && menu.salva());
        QCOMPARE(bytesOf("uno.txt"), QByteArray("tre\r\n"));
        QCOMPARE(platform.shown.size(), 2);
        QVERIFY(platform.shown.first().text.contains("cambiato da un altro programma"));
        view.area = "tre";
        menu.nuovo();
        QCOMPARE(menu.proposedName(), "uno.txt");
        view.area = "cinque";
        QVERIFY(!menu.salva());
        QCOMPARE(view.dialogues, 2);
        QCOMPARE(state.NomeFileCorrente, path("uno.txt"));
        QVERIFY(menu.isModified());
    }

    // A name that is not UTF-8 (bytes 80 and FF) is listed, shown with the bytes' codes, read and written.
    void latin1Name()
    {
        const int fd = ::open(QFile::encodeName(dir.path()) + "/caf\x80\xFF.txt", O_WRONLY | O_CREAT, 0600);
        QVERIFY(fd >= 0 && ::write(fd, "uno\n", 4) == 4 && ::close(fd) == 0);
        QVERIFY(QFile(path("éक😀.txt")).open(QIODevice::WriteOnly)); // 2, 3, 4 bytes of UTF-8
        const QStringList names = TextFile::txtFiles(dir.path());
        QCOMPARE(names.value(1), "éक😀.txt");
        QCOMPARE(TextFile::shownName(names[0]), "caf[80][FF].txt");
        view.steps = names;
        platform.answers << Platform::Answer::No; // the sample letter is not kept
        menu.apri();
        QCOMPARE(view.area, "uno\n");
        view.area = "due\n";
        QCOMPARE(::chmod(TextFile::nativeName(path(names[0])), 0640), 0); // kept by the save
        QVERIFY(menu.salva());
        QCOMPARE(TextFile::txtFiles(dir.path()), names);
        struct stat info;
        QVERIFY(::stat(TextFile::nativeName(path(names[0])), &info) == 0 && (info.st_mode & 0777) == 0640);
        QCOMPARE(TextFile::read(path(names[0])).text, "due\n");
        QCOMPARE(::unlink(TextFile::nativeName(path(names[0]))), 0); // which the toolkit could not remove
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
        platform.home = path("home");
        const FileMenu::Folder folder = menu.openingFolder();
        QCOMPARE(folder.path, path(shown));
        QCOMPARE(folder.home, shown == QLatin1String("home"));
        QCOMPARE(platform.folder, path(shown));
        QCOMPARE(state.CartellaCorrente, path(shown));
    }
};

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
