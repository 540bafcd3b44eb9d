#include "fakeplatform.h"
#include "filemenu.h"
#include "textcases.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using TextFile::Break;
using TextFile::Encoding;

struct FormRow
{
    QByteArray file {};
    QString text {};
    Encoding encoding = Encoding::Windows1252;
    Break lineEnd = Break::CrLf;
    QByteArray typed {}; // the file after "è" and Enter typed at the end
};
struct RefusalRow
{
    QString name {};
    QByteArray bytes {};
    QString reason {};
};
struct MenuRow
{
    QString entry {}, typed {};
    QStringList answers {}, steps {};
    QString area {};
    QByteArray written = "<missing>"; // prima.txt
    bool closes = false;
    int told = 0; // failures the user is told of in a message box
};
Q_DECLARE_METATYPE(FormRow)
Q_DECLARE_METATYPE(RefusalRow)
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
        state.TestoRiferimento = QStringLiteral("lettera");
        view = View();
        view.folder = dir.path();
        view.menu = &fileMenu.emplace(platform, state, view);
    }

    // A file keeps its encoding and its line end: what it is read as, and what typing "è" and Enter at its
    // end writes.
    void forms_data()
    {
        QTest::addColumn<FormRow>("row");
        const auto e = Encoding::Utf8;
        QTest::newRow("Windows-1252")
            << FormRow { .file = "pi\xF9\r\n", .text = "più\n", .typed = "pi\xF9\r\n\xE8\r\n" };
        QTest::newRow("ASCII") << FormRow { .file = "a", .text = "a", .typed = "a\xE8\r\n" };
        QTest::newRow("LF") << FormRow {
            .file = "a\nb\n", .text = "a\nb\n", .lineEnd = Break::Lf, .typed = "a\nb\n\xE8\n"
        };
        QTest::newRow("CR") << FormRow {
            .file = "a\rb", .text = "a\nb", .lineEnd = Break::Cr, .typed = "a\rb\xE8\r"
        };
        QTest::newRow("CR, CR LF") << FormRow {
            .file = "a\r\r\nb", .text = "a\n\nb", .typed = "a\r\r\nb\xE8\r\n"
        };
        QTest::newRow("CR among LF") << FormRow {
            .file = "a\rb\nc\n", .text = "a\nb\nc\n", .lineEnd = Break::Lf, .typed = "a\rb\nc\n\xE8\n"
        };
        QTest::newRow("UTF-8") << FormRow { .file = "Perch\xC3\xA9\n",
            .text = "Perché\n",
            .encoding = e,
            .lineEnd = Break::Lf,
            .typed = "Perch\xC3\xA9\n\xC3\xA8\n" };
        QTest::newRow("UTF-8 with a mark, U+2029") << FormRow { .file = "\xEF\xBB\xBF"
                                                                        "a\xE2\x80\xA9"
                                                                        "b",
            .text = "a\nb",
            .encoding = Encoding::Utf8Bom,
            .typed = "\xEF\xBB\xBF"
                     "a\xE2\x80\xA9"
                     "b\xC3\xA8\r\n" };
        QTest::newRow("not UTF-8") << FormRow { .file = "\xC3(", .text = "Ã(", .typed = "\xC3(\xE8\r\n" };
        QTest::newRow("UTF-16LE") << FormRow { .file = QByteArray("\xFF\xFE"
                                                                  "a\0\n\0",
                                                   6),
            .text = "a\n",
            .encoding = Encoding::Utf16Le,
            .lineEnd = Break::Lf,
            .typed = QByteArray("\xFF\xFE"
                                "a\0\n\0\xE8\0\n\0",
                10) };
        QTest::newRow("UTF-16BE") << FormRow { .file = QByteArray("\xFE\xFF\0a", 4),
            .text = "a",
            .encoding = Encoding::Utf16Be,
            .typed = QByteArray("\xFE\xFF\0a\0\xE8\0\r\0\n", 10) };
        QTest::newRow("UTF-16 cut short") << FormRow { .file = "\xFF\xFE"
                                                               "a",
            .text = "ÿþa",
            .typed = "\xFF\xFE"
                     "a\xE8\r\n" };
    }
    void forms()
    {
        QFETCH(FormRow, row);
        QString text;
        std::optional<TextFile::Form> form = TextFile::Form::read(row.file, text);
        QVERIFY(form);
        QCOMPARE(text, row.text);
        QCOMPARE(form->encoding(), row.encoding);
        QCOMPARE(form->lineEnd(), row.lineEnd);
        QCOMPARE(form->bytes(text), row.file);
        form->edit(text.size(), 0, 2);
        QCOMPARE(form->bytes(text + QStringLiteral("è\n")), row.typed);
    }

    // Files the exercise does not open, with the reason the user is told.
    void refusals_data()
    {
        QTest::addColumn<RefusalRow>("row");
        QTest::newRow("missing") << RefusalRow { "via.txt", {}, "non esiste." };
        QTest::newRow("folder") << RefusalRow { ".", {}, "non è un file di testo." };
        QTest::newRow("too large") << RefusalRow { "grande.txt", {},
            "è troppo grande per l'esercizio: al massimo 8 MB." };
        QTest::newRow("line too long") << RefusalRow { "riga.txt",
            QByteArray(TextFile::LongestLine + 1, 'x') + "\r\n",
            QStringLiteral("ha una riga troppo lunga per l'esercizio: al massimo %L1 caratteri in una riga.")
                .arg(TextFile::LongestLine) };
    }
    void refusals()
    {
        QFETCH(RefusalRow, row);
        QFile file(path(row.name));
        if (!row.bytes.isEmpty())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(row.bytes) == row.bytes.size());
        else if (row.name == QLatin1String("grande.txt")) // sparse: made at once
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(TextFile::LargestFile + 1));
        file.close();
        const TextFile::ReadResult result = TextFile::read(path(row.name));
        QCOMPARE(
            result.error, "Il file\r\n" + QDir::toNativeSeparators(path(row.name)) + "\r\n" + row.reason);
        QVERIFY(result.text.isEmpty());
    }

    // How a refused character is named: the letter, or the code and a name for one that cannot be seen.
    void describe_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("named");
        QTest::newRow("letter") << "Ł"
                                << "«Ł» U+0141";
        QTest::newRow("pair") << "😀"
                              << "«😀» U+1F600";
        QTest::newRow("zero width") << "\u200B"
                                    << "U+200B spazio invisibile";
        QTest::newRow("control") << "\x01"
                                 << "U+0001 carattere di controllo";
        QTest::newRow("direction") << "\u202E"
                                   << "U+202E carattere di formato invisibile";
        QTest::newRow("line separator") << "\u2028"
                                        << "U+2028 separatore di riga";
    }
    void describe()
    {
        QFETCH(QString, text);
        QTEST(TextFile::describe(text, 0), "named");
    }

    // Random files and edits keep the promise of textcases.h (also the fuzz target fuzz_textfile).
    void savedIsShown()
    {
        QRandomGenerator random(22);
        for (int i = 0; i < 400; ++i) {
            QByteArray recipe(random.bounded(1, 1500), Qt::Uninitialized);
            for (char &byte : recipe)
                byte = char(random.bounded(256));
            const QString failed = TextCases::check(recipe);
            QVERIFY2(
                failed.isEmpty(), qPrintable(failed + QStringLiteral(" for the recipe ") + recipe.toHex()));
        }
    }

    // A menu entry with `typed` in the area ("lettera" is the text last put in); the questions are answered
    // Yes, No or Cancel (Escape, the box's close control); the dialogues take `steps`. Only "No" or a written
    // file gives a typed text up; a character a file cannot hold is named and left out only on Yes.
    void questions_data()
    {
        QTest::addColumn<MenuRow>("row");
        const QStringList prima { QStringLiteral("prima") };
        const QStringList yes { QStringLiteral("Yes") }, no { QStringLiteral("No") };
        const QStringList escape { QStringLiteral("Cancel") };
        QTest::newRow("Nuovo, unchanged") << MenuRow { .entry = "nuovo", .typed = "lettera" };
        QTest::newRow("Nuovo, No") << MenuRow { .entry = "nuovo", .typed = "testo", .answers = no };
        QTest::newRow("Nuovo, Yes, saved") << MenuRow {
            .entry = "nuovo", .typed = "testo", .answers = yes, .steps = prima, .written = "testo\r\n"
        };
        QTest::newRow("Nuovo, Yes, Annullo")
            << MenuRow { .entry = "nuovo", .typed = "testo", .answers = yes, .area = "testo" };
        QTest::newRow("Nuovo, Escape")
            << MenuRow { .entry = "nuovo", .typed = "testo", .answers = escape, .area = "testo" };
        QTest::newRow("Apri, Escape")
            << MenuRow { .entry = "apri", .typed = "testo", .answers = escape, .area = "testo" };
        QTest::newRow("Apri, No, Annullo")
            << MenuRow { .entry = "apri", .typed = "testo", .answers = no, .steps = { "Annullo" } };
        QTest::newRow("Apri, Yes, blank name, saved, Annullo") << MenuRow { .entry = "apri",
            .typed = "testo",
            .answers = yes,
            .steps = { " ", "prima", "Annullo" },
            .written = "testo\r\n",
            .told = 1 };
        QTest::newRow("Apri, missing file")
            << MenuRow { .entry = "apri", .typed = "lettera", .steps = { "via.txt", "Annullo" }, .told = 1 };
        QTest::newRow("close, unchanged")
            << MenuRow { .entry = "close", .typed = "lettera", .area = "lettera", .closes = true };
        QTest::newRow("close, No") << MenuRow {
            .entry = "close", .typed = "te\nsto", .answers = no, .area = "te\nsto", .closes = true
        };
        QTest::newRow("close, Yes, saved") << MenuRow { .entry = "close",
            .typed = "te\nsto",
            .answers = yes,
            .steps = prima,
            .area = "te\nsto",
            .written = "te\r\nsto\r\n",
            .closes = true };
        QTest::newRow("close, Yes, Annullo")
            << MenuRow { .entry = "close", .typed = "testo", .answers = yes, .area = "testo" };
        QTest::newRow("close, Yes, characters kept") << MenuRow { .entry = "close",
            .typed = "a\u200BŁódź",
            .answers = { "Yes", "No" },
            .steps = prima,
            .area = "a\u200BŁódź" };
        QTest::newRow("close, Yes, characters left out") << MenuRow { .entry = "close",
            .typed = "a\u200BŁódź",
            .answers = { "Yes", "Yes" },
            .steps = prima,
            .area = "aód",
            .written = "a\xF3"
                       "d\r\n",
            .closes = true };
        QTest::newRow("close, Yes, folder gone") << MenuRow { .entry = "close",
            .typed = "testo",
            .answers = yes,
            .steps = { "manca/prima" },
            .area = "testo",
            .told = 1 };
        QTest::newRow("close, Escape")
            << MenuRow { .entry = "close", .typed = "testo", .answers = escape, .area = "testo" };
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
        for (const QString &answer : row.answers)
            platform.answers.enqueue(answers.value(answer));
        const bool ends = row.entry == QLatin1String("nuovo") ? (menu.nuovo(), false)
            : row.entry == QLatin1String("apri")              ? (menu.apri(), false)
                                                              : menu.mayClose();
        QCOMPARE(ends, row.closes);
        QVERIFY(platform.answers.isEmpty() && view.steps.isEmpty());
        QCOMPARE(platform.shown.size(), row.answers.size() + row.told);
        if (!row.answers.isEmpty()) {
            QCOMPARE(platform.shown.first().title, QStringLiteral("Attenzione !"));
            QCOMPARE(platform.shown.first().text,
                questions.value(row.entry) + QStringLiteral("\r\nVuoi salvarlo ?"));
            QCOMPARE(platform.shown.first().buttons, Platform::Buttons::YesNo);
            QCOMPARE(platform.shown.first().icon, Platform::Icon::None);
        }
        if (row.answers.size() > 1) { // the characters named, the first one selected
            QCOMPARE(platform.shown.at(1).text,
                QStringLiteral("Il testo contiene caratteri che questo file non "
                               "può contenere:\r\nU+200B spazio invisibile, «Ł» U+0141, «ź» U+017A\r\nIl "
                               "primo è selezionato nel "
                               "testo.\r\n\r\nSalvarlo senza questi caratteri?"));
            QCOMPARE(view.selected, 1);
        }
        QCOMPARE(view.area, row.area);
        QCOMPARE(bytesOf(QStringLiteral("prima.txt")), row.written);
        // A text kept as typed and not written still counts as changed.
        QCOMPARE(menu.isModified(),
            row.area == row.typed && row.typed != QLatin1String("lettera") && row.written == "<missing>");
    }

    // Saved under a name, then opened again: one more line break, unchanged, and saved again as it was.
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
        view.area = QStringLiteral("più\nfine");
        view.steps = QStringList { typed };
        QVERIFY(menu.salvaConNome());
        QCOMPARE(files(), QStringList { written });
        QCOMPARE(bytesOf(written), QByteArray("pi\xF9\r\nfine\r\n"));
        QCOMPARE(view.shownFile, path(written));
        QVERIFY(view.saveEnabled && !menu.isModified());
        view.steps = QStringList { written };
        menu.apri();
        QCOMPARE(view.area, QStringLiteral("più\nfine\n"));
        QVERIFY(!menu.isModified() && platform.shown.isEmpty() && menu.salva());
        QCOMPARE(bytesOf(written), QByteArray("pi\xF9\r\nfine\r\n"));
    }

    // "&Salva" writes to the current file only while the window shows one; otherwise it asks for a name.
    // "Nuovo" keeps the name for the next dialogue. A file another program changed is replaced only on Yes.
    void salva()
    {
        view.area = QStringLiteral("uno");
        view.steps = QStringList { QStringLiteral("uno") };
        QVERIFY(menu.salva());
        view.area = QStringLiteral("due");
        QVERIFY(menu.salva());
        QCOMPARE(view.dialogues, 1);
        QCOMPARE(bytesOf(QStringLiteral("uno.txt")), QByteArray("due\r\n"));
        QFile other(path(QStringLiteral("uno.txt")));
        QVERIFY(other.open(QIODevice::Append) && other.write("altro") == 5);
        other.close();
        platform.answers << Platform::Answer::No << Platform::Answer::Yes;
        view.area = QStringLiteral("tre");
        QVERIFY(!menu.salva() && menu.isModified());
        QCOMPARE(bytesOf(QStringLiteral("uno.txt")), QByteArray("due\r\naltro"));
        QVERIFY(menu.salva() && menu.salva());
        QCOMPARE(bytesOf(QStringLiteral("uno.txt")), QByteArray("tre\r\n"));
        QCOMPARE(platform.shown.size(), 2);
        QVERIFY(
            platform.shown.first().text.contains(QStringLiteral("è stato cambiato da un altro programma")));
        // A write the disk refuses is told, and the text still counts as changed.
        QVERIFY(QFile::remove(path(QStringLiteral("uno.txt")))
            && QDir(dir.path()).mkdir(QStringLiteral("uno.txt")));
        view.area = QStringLiteral("quattro");
        QVERIFY(!menu.salva() && menu.isModified());
        QCOMPARE(platform.shown.size(), 3);
        view.area = QStringLiteral("tre");
        menu.nuovo();
        QCOMPARE(menu.proposedName(), QStringLiteral("uno.txt"));
        view.area = QStringLiteral("cinque");
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
