#include "fakeplatform.h"
#include "filemenu.h"
#include "testing.h"
#include "textcases.h"
#include "userfiles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The keyboard trainer's rules without windows: reading and writing .txt files, their names and folders.
// The File menu's questions and dialogues are driven through the windows (tst_exercisewindow).
class TestCore : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> dir;

    QString path(const QString &name) const { return dir->filePath(name); }

private slots:
    void init() { dir.emplace(); }

    // Files the exercise opens up to each limit and not beyond, and files it cannot show as they are, with
    // the reason the user is told.
    void refusals_data()
    {
        // bytes: empty: the folder; "<grows>": a file longer than its size
        columns<QByteArray, QString>("bytes", "reason");
        const auto lines = [](qint64 size) { return QByteArray("ab\r\n").repeated(size / 4); };
        // The longest line and word at the file's start and again after a line end.
        const QByteArray xs = QByteArray("x ").repeated(TextFile::LongestLine / 2), line = xs + '\n' + xs;
        const QByteArray x = QByteArray(TextFile::LongestRun, 'x'), run = x + '\n' + x;
        const QString damaged = "sembra un testo Unicode, ma è danneggiato: l'esercizio non lo apre.";
        row("folder", QByteArray(), "non è un file di testo.");
        row("missing", QByteArray("<none>"), "non esiste.");
        row("grows", QByteArray("<grows>"),
            "non si può leggere per intero: forse è cambiato mentre veniva letto.");
        row("largest", lines(TextFile::LargestFile), "");
        row("too large", lines(TextFile::LargestFile) + "x",
            "è troppo grande per l'esercizio: al massimo 6 MB.");
        row("longest line", line, "");
        row("line too long", line + "x",
            "ha una riga troppo lunga per l'esercizio: al massimo 10.000 caratteri in una riga.");
        row("longest run", run, "");
        row("run too long", run + "x",
            "ha una parola troppo lunga per l'esercizio: al massimo 5.000 caratteri senza spazi.");
        row("UTF-16, an odd byte",
            QByteArray("\xFF\xFE"
                       "c"),
            damaged);
        row("UTF-16, a lone half", QByteArray("\xFE\xFF\xD8\x3D\0c", 6), damaged);
        row("UTF-8 mark, then no UTF-8", QByteArray("\xEF\xBB\xBF\xE8"), damaged);
        for (const auto *mark : { "\xFF\xFE\0\0c\0\0\0", "\0\0\xFE\xFF\x01\0\0\0" })
            row("UTF-32", QByteArray(mark, 8),
                "è un testo Unicode di un tipo (UTF-32) che l'esercizio non apre.");
    }
    void refusals()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QVERIFY(bytes == "<none>"
            || (bytes == "<grows>" ? QFile::link("/proc/self/status", path("file.txt"))
                                   : bool(UserFile::write(path("file.txt"), bytes))));
        const QString name = path(bytes.isEmpty() ? "." : "file.txt");
        const TextFile::ReadResult result = TextFile::read(name);
        QCOMPARE(result.error,
            reason.isEmpty() ? QString() : "Il file\r\n" + QDir::toNativeSeparators(name) + "\r\n" + reason);
        QCOMPARE(result.text.size(), reason.isEmpty() ? bytes.size() - bytes.count('\r') : 0);
    }

    // How a character the file cannot hold is named (more in tst_exercisewindow), a lone half too; what a
    // paste puts in for the line breaks it brings; the name a typed one is saved under.
    void described_data()
    {
        // named: how its first character is named, or what a paste or a save makes of it
        columns<QString, QString>("text", "named");
        const QString high(QChar(0xD83D)), low(QChar(0xDE00));
        row("letter before a lone half", "a" + low, "«a» U+0061");
        row("lone half at the end", high, "U+D83D metà di un carattere");
        row("pair at the end", high + low, "«😀» U+1F600");
        row("blank", " ", "« » U+0020");
        row("wide space", "\u2003", "U+2003 spazio speciale");
        row("no-break space", "\u00A0", "U+00A0 spazio unificatore");
        row("control", "\u0007", "U+0007 carattere di controllo");
        row("zero-width joiner", "\u200D", "U+200D unione invisibile");
        row("word joiner", "\u2060", "U+2060 unione invisibile");
        row("soft hyphen", "\u00AD", "U+00AD trattino invisibile");
        row("line separator", "\u2028", "U+2028 separatore di riga");
        row("pasted line breaks", "a\r\nb\rc\nd\u2028e\u2029f\u0085g\u000Bh\u000C",
            "a\nb\nc\nd\ne\nf\ng\u000Bh\u000C");
        row("save: no extension", "lettera", "lettera.txt");
        row("save: mixed case", "lettera.Txt", "lettera.Txt.txt");
        row("save: upper case", "LETTERA.TXT", "LETTERA.TXT");
    }
    void described()
    {
        QFETCH(QString, text);
        const QByteArray tag = QTest::currentDataTag();
        QTEST(tag == "pasted line breaks" ? TextFile::pasted(text)
                : tag.startsWith("save")  ? TextFile::saveName(text)
                                          : TextFile::describe(text, 0),
            "named");
    }

    // Random files and edits keep the promise of textcases.h (also the fuzz target fuzz_textfile).
    void savedIsShown()
    {
        QRandomGenerator random(22);
        for (int i = 0; i < 1000; ++i) {
            QByteArray recipe(random.bounded(1, 1500), Qt::Uninitialized);
            for (char &byte : recipe)
                byte = char(random.bounded(256));
            const QString failed = TextCases::check(recipe);
            QVERIFY2(failed.isEmpty(), qPrintable(failed + ", recipe " + recipe.toHex()));
        }
    }

    // The .txt files of a folder, whatever the case of ".txt" and the bytes of their names (not UTF-8: 80
    // and FF, shown by their codes, also beside letters of 2, 3 and 4 bytes of UTF-8), files and links to
    // files only, sorted
    // without regard to case; listed again after every change, also one that left the folder's time of
    // change as it was (a clock too coarse to tell) while that time was recent. A name that is not UTF-8 is
    // read and written by its own bytes.
    void listing()
    {
        const QByteArray folder = QFile::encodeName(dir->path()) + '/';
        for (const QByteArray name :
            { "caf\x80\xFF.txt", "\xC3\xA9\xE0\xA4\x95\xF0\x9F\x98\x80\x80.TXT", "b.doc" })
            QVERIFY(touched(folder + name, 0640));
        QVERIFY(QDir(dir->path()).mkdir("cartella.txt") && QFile::link(path("b.doc"), path("Z.txt")));
        TextFile::FolderListing listing;
        const auto listed = [&] {
            QStringList shown;
            for (const QString &name : listing.txtFiles(dir->path()))
                shown << TextFile::shownName(name);
            return shown.join('/');
        };
        QCOMPARE(listed(), "caf[80][FF].txt/Z.txt/éक😀[80].TXT");
        // On one row too, whichever kind of line break or control a name holds alone.
        QCOMPARE(
            TextFile::shownName("\u2028") + TextFile::shownName("\u2029") + TextFile::shownName("\nd\re\tf"),
            "↵↵↵d↵e[09]f");
        struct stat folderTime;
        QVERIFY(::stat(folder, &folderTime) == 0);
        timespec times[2] { { 0, UTIME_OMIT }, folderTime.st_mtim };
        QVERIFY(QFile::rename(path("Z.txt"), path("a.txt")) && ::utimensat(AT_FDCWD, folder, times, 0) == 0);
        QCOMPARE(listed(), "a.txt/caf[80][FF].txt/éक😀[80].TXT");
        times[1].tv_sec -= 60; // a folder left alone for a while
        QVERIFY(::utimensat(AT_FDCWD, folder, times, 0) == 0);
        QCOMPARE(listed(), "a.txt/caf[80][FF].txt/éक😀[80].TXT");
        times[1].tv_nsec ^= 1; // within the same second
        QVERIFY(
            QFile(path("y.txt")).open(QIODevice::WriteOnly) && ::utimensat(AT_FDCWD, folder, times, 0) == 0);
        QCOMPARE(listed(), "a.txt/caf[80][FF].txt/y.txt/éक😀[80].TXT");
        const QString latin1 = path(listing.txtFiles(dir->path())[1]);
        QVERIFY(TextFile::write(latin1, "due\n"));
        QCOMPARE(TextFile::read(latin1).text, "due\n");
        struct stat info;
        QVERIFY(::stat(UserFile::nativeName(latin1), &info) == 0 && (info.st_mode & 0777) == 0640);
        QCOMPARE(::unlink(UserFile::nativeName(latin1)), 0); // which the toolkit could not remove
        QCOMPARE(::unlink(folder + "\xC3\xA9\xE0\xA4\x95\xF0\x9F\x98\x80\x80.TXT"), 0);
        // A folder made where another was, given its times (and often its number), is listed anew.
        const QByteArray p = QFile::encodeName(path("p")), q = QFile::encodeName(path("q"));
        QVERIFY(::mkdir(p, 0700) == 0 && touched(p + "/o.txt") && ::utimensat(AT_FDCWD, p, times, 0) == 0
            && listing.txtFiles(path("p")).size() == 1);
        QVERIFY(QDir(path("p")).removeRecursively() && ::mkdir(q, 0700) == 0
            && ::utimensat(AT_FDCWD, q, times, 0) == 0);
        QCOMPARE(listing.txtFiles(path("q")), QStringList());
    }

    // The folder the file dialogue opens on: one deleted while the program ran is never used.
    void openingFolder_data()
    {
        columns<QString, QString, QString>("remembered", "current", "shown");
        row("none remembered", "", "a", "a");
        row("remembered", "b", "a", "b");
        row("remembered one deleted", "gone", "a", "a");
        row("current one deleted too", "gone", "gone", "home");
        row("current one deleted, none remembered", "", "gone", "home");
    }
    void openingFolder()
    {
        QFETCH(QString, remembered);
        QFETCH(QString, shown);
        struct : FileMenu::View
        {
            QString text() const override { return {}; }
            void setText(const QString &) override { }
            void select(qsizetype) override { }
            void removeCharacters(const QList<qsizetype> &) override { }
            void showCurrentFile(const QString &) override { }
            void setSaveEnabled(bool) override { }
            bool showDialogue() override { return false; }
        } view;
        FakePlatform platform;
        ProgramState state;
        FileMenu menu(platform, state, view);
        for (const char *name : { "a", "b", "home" })
            QVERIFY(QDir(dir->path()).mkdir(QLatin1String(name)));
        state.CartellaCorrente = remembered.isEmpty() ? QString() : path(remembered);
        platform.folder = path(fetched<QString>("current"));
        platform.home = path("home");
        const FileMenu::Folder folder = menu.openingFolder();
        QCOMPARE(folder.path, path(shown));
        QCOMPARE(folder.home, shown == "home");
        QCOMPARE(platform.folder, path(shown));
        QCOMPARE(state.CartellaCorrente, path(shown));
    }
};

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
