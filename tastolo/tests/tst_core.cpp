#include "fakeplatform.h"
#include "filemenu.h"
#include "helppages.h"
#include "textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The keyboard trainer without windows: the .txt format and path rules, the
// help page ring, and the File menu's questions and file work, with the
// exercise window and the file dialogue played by a script.
class TestCore : public QObject
{
    Q_OBJECT

    // The window: the editing area is a string; each file dialogue takes the
    // next steps: a name to confirm with "OK", or "Annullo". A dialogue with
    // no steps left is cancelled.
    struct View : FileMenu::View
    {
        QString area, shownFile = QStringLiteral("<none>"), folder;
        bool saveEnabled = false;
        QStringList steps;
        int dialogues = 0;
        FileMenu *menu = nullptr;

        QString text() const override { return area; }
        void setText(const QString &text) override { area = text; }
        void showCurrentFile(const QString &path) override { shownFile = path; }
        void setSaveEnabled(bool enabled) override { saveEnabled = enabled; }
        bool showDialogue() override
        {
            ++dialogues;
            while (!steps.isEmpty()) {
                const QString step = steps.takeFirst();
                if (step == QLatin1String("Annullo"))
                    break;
                if (menu->confirm(folder, step))
                    return true;
            }
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
    static QByteArray bytesOf(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
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

    void paths_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("path");
        QTest::newRow("root") << "/"
                              << "/lettera.txt";
        QTest::newRow("folder") << "/home/anna"
                                << "/home/anna/lettera.txt";
        QTest::newRow("folder ending in separator") << "/home/anna/"
                                                    << "/home/anna/lettera.txt";
    }
    void paths()
    {
        QFETCH(QString, folder);
        QFETCH(QString, path);
        QCOMPARE(TextFile::joinPath(folder, QStringLiteral("lettera.txt")), path);
        QCOMPARE(TextFile::fileName(path), QStringLiteral("lettera.txt"));
    }

    void everyByteIsOneCharacter()
    {
        QByteArray all;
        for (int byte = 0; byte < 256; ++byte)
            all.append(char(byte));
        const QString text = TextFile::decode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(text.at(0xE8), QChar(u'è'));
        QCOMPARE(text.at(0x80), QChar(u'€'));
        QCOMPARE(TextFile::encode(text).value_or(QByteArray()), all);
    }

    void encode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("unencodable");
        QTest::newRow("Italian letters, special keys") << QStringLiteral("più perché ° # € @ §") << "";
        QTest::newRow("Polish letters, each once") << QStringLiteral("ŁódźŁ") << "Łź";
        QTest::newRow("emoji") << QStringLiteral("ciao 😀") << "😀";
    }
    void encode()
    {
        QFETCH(QString, text);
        QFETCH(QString, unencodable);
        QCOMPARE(TextFile::encode(text).has_value(), unencodable.isEmpty());
        QCOMPARE(TextFile::unencodable(text), unencodable);
    }

    void lineBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("crLf");
        QTest::newRow("LF") << "a\nb\n"
                            << "a\r\nb\r\n";
        QTest::newRow("CR LF") << "a\r\nb"
                               << "a\r\nb";
        QTest::newRow("lone CR") << "a\rb"
                                 << "a\r\nb";
        QTest::newRow("CR before CR LF") << "a\r\r\nb"
                                         << "a\r\n\r\nb";
        QTest::newRow("LF CR") << "a\n\rb"
                               << "a\r\n\r\nb";
        QTest::newRow("line separator") << QStringLiteral("a\u2028b") << "a\r\nb";
        QTest::newRow("paragraph separator") << QStringLiteral("a\u2029\u2029b") << "a\r\n\r\nb";
    }
    void lineBreaks()
    {
        QFETCH(QString, text);
        QFETCH(QString, crLf);
        QCOMPARE(TextFile::toCrLf(text), crLf);
        QCOMPARE(TextFile::toCrLf(TextFile::toLf(text)), crLf);
    }

    void offsetsCountBothBreakCharacters()
    {
        const QString lf = TextFile::toLf(sampleLetter());
        QCOMPARE(TextFile::lfPosition(lf, SampleLetterCaret), 40);
        QCOMPARE(lf.mid(39, 2), QStringLiteral("pr"));
        for (int position = 0; position <= lf.size(); ++position)
            QCOMPARE(TextFile::lfPosition(lf, TextFile::crLfOffset(lf, position)), position);
    }

    void longRuns_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("tooLong");
        const QString run(TextFile::LongestWrappedRun, QLatin1Char('x'));
        QTest::newRow("ordinary letter") << sampleLetter() << false;
        QTest::newRow("longest run that wraps at words") << run + " " + run << false;
        QTest::newRow("one more character") << run + "x" << true;
        QTest::newRow("after a line break") << "a\n" + run + "x" << true;
    }
    void longRuns()
    {
        QFETCH(QString, text);
        QFETCH(bool, tooLong);
        QCOMPARE(TextFile::hasLongRun(text), tooLong);
    }

    void pageRing_data()
    {
        QTest::addColumn<int>("stato");
        QTest::addColumn<int>("forward");
        QTest::addColumn<int>("back");
        QTest::addColumn<QString>("number");
        QTest::newRow("introduction") << 14 << 0 << 13 << "0";
        QTest::newRow("first page") << 0 << 1 << 14 << "1";
        QTest::newRow("last page") << 13 << 14 << 12 << "14";
    }
    void pageRing()
    {
        QFETCH(int, stato);
        QFETCH(int, forward);
        QFETCH(int, back);
        QFETCH(QString, number);
        QCOMPARE(HelpPages::next(qint16(stato), HelpPages::Turn::Forward), forward);
        QCOMPARE(HelpPages::next(qint16(stato), HelpPages::Turn::Back), back);
        QCOMPARE(HelpPages::number(qint16(stato)), number);
    }

    // A menu entry with the area holding `typed` (the text last put in is
    // "lettera"); the question, if one is asked, is answered `answer` (Yes,
    // No, or Cancel for Escape or the box's close control); the dialogues
    // take `steps`. Only "No" or a written file gives a typed text up.
    void questions_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("area");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<bool>("done");
        using L = QStringList;
        const L none;
        const L prima { QStringLiteral("prima.txt") };
        QTest::newRow("Nuovo, unchanged") << "nuovo"
                                          << "lettera"
                                          << "" << none << "" << none << true;
        QTest::newRow("Nuovo, No") << "nuovo"
                                   << "testo"
                                   << "No" << none << "" << none << true;
        QTest::newRow("Nuovo, Yes, saved") << "nuovo"
                                           << "testo"
                                           << "Yes" << L { "prima" } << "" << prima << true;
        QTest::newRow("Nuovo, Yes, Annullo") << "nuovo"
                                             << "testo"
                                             << "Yes" << L { "Annullo" } << "testo" << none << false;
        QTest::newRow("Nuovo, Escape") << "nuovo"
                                       << "testo"
                                       << "Cancel" << none << "testo" << none << false;
        QTest::newRow("Apri, Escape") << "apri"
                                      << "testo"
                                      << "Cancel" << none << "testo" << none << false;
        QTest::newRow("Apri, No, Annullo") << "apri"
                                           << "testo"
                                           << "No" << L { "Annullo" } << "" << none << true;
        QTest::newRow("Apri, Yes, refused then saved")
            << "apri"
            << "testo"
            << "Yes" << L { "", "prima", "Annullo" } << "" << prima << true;
        QTest::newRow("close, unchanged") << "close"
                                          << "lettera"
                                          << "" << none << "lettera" << none << true;
        QTest::newRow("close, No") << "close"
                                   << "testo"
                                   << "No" << none << "testo" << none << true;
        QTest::newRow("close, Yes, saved") << "close"
                                           << "testo"
                                           << "Yes" << L { "prima" } << "testo" << prima << true;
        QTest::newRow("close, Yes, Annullo") << "close"
                                             << "testo"
                                             << "Yes" << L { "Annullo" } << "testo" << none << false;
        QTest::newRow("close, Yes, text the file cannot hold")
            << "close"
            << "Łódź"
            << "Yes" << L { "prima" } << "Łódź" << none << false;
        QTest::newRow("close, Yes, folder gone") << "close"
                                                 << "testo"
                                                 << "Yes" << L { "manca/prima" } << "testo" << none << false;
        QTest::newRow("close, Escape") << "close"
                                       << "testo"
                                       << "Cancel" << none << "testo" << none << false;
    }
    void questions()
    {
        QFETCH(QString, entry);
        QFETCH(QString, typed);
        QFETCH(QString, answer);
        QFETCH(QStringList, steps);
        QFETCH(QString, area);
        QFETCH(QStringList, written);
        QFETCH(bool, done);
        const QHash<QString, Platform::Answer> answers { { "Yes", Platform::Answer::Yes },
            { "No", Platform::Answer::No }, { "Cancel", Platform::Answer::Cancel } };
        view.area = typed;
        view.steps = steps;
        if (!answer.isEmpty())
            platform.answers.enqueue(answers.value(answer));

        bool result = true;
        if (entry == QLatin1String("nuovo"))
            menu.nuovo();
        else if (entry == QLatin1String("apri"))
            menu.apri();
        else
            result = menu.mayClose();

        QVERIFY(platform.answers.isEmpty());
        QCOMPARE(platform.shown.isEmpty(), answer.isEmpty());
        if (!answer.isEmpty())
            QCOMPARE(platform.shown.first().buttons, Platform::Buttons::YesNo);
        QVERIFY(view.steps.isEmpty());
        QCOMPARE(view.area, area);
        QCOMPARE(files(), written);
        if (!written.isEmpty())
            QCOMPARE(bytesOf(path(written.first())), typed.toLatin1() + "\r\n");
        if (entry == QLatin1String("close"))
            QCOMPARE(result, done);
        // A text kept as typed and not written still counts as changed.
        QCOMPARE(menu.isModified(), area == typed && typed != QLatin1String("lettera") && written.isEmpty());
    }

    // The three questions' texts.
    void questionTexts_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("text");
        const QString changed
            = QStringLiteral(",\r\nma il file corrente è stato modificato.\r\nVuoi salvarlo ?");
        QTest::newRow("Nuovo") << "nuovo"
                               << "E' stato richiesto di Aprire un Nuovo File" + changed;
        QTest::newRow("Apri") << "apri"
                              << "E' stato richiesto di Aprire un altro File" + changed;
        QTest::newRow("close") << "close"
                               << "E' stato chiesto di chiudere il programma,\r\nma il file corrente non è "
                                  "stato salvato dopo le modifiche.\r\nVuoi salvarlo ?";
    }
    void questionTexts()
    {
        QFETCH(QString, entry);
        QFETCH(QString, text);
        view.area = QStringLiteral("testo");
        platform.answers.enqueue(Platform::Answer::Cancel);
        entry == QLatin1String("nuovo")      ? menu.nuovo()
            : entry == QLatin1String("apri") ? menu.apri()
                                             : void(menu.mayClose());
        QCOMPARE(platform.shown.size(), 1);
        QCOMPARE(platform.shown.first().title, QStringLiteral("Attenzione !"));
        QCOMPARE(platform.shown.first().text, text);
        QCOMPARE(platform.shown.first().icon, Platform::Icon::None);
    }

    // The name under which "OK" saves, and the file as written.
    void saveName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension") << "lettera"
                                      << "lettera.txt";
        QTest::newRow("lower case") << "lettera.txt"
                                    << "lettera.txt";
        QTest::newRow("upper case") << "LETTERA.TXT"
                                    << "LETTERA.TXT";
        QTest::newRow("mixed case") << "lettera.Txt"
                                    << "lettera.Txt.txt";
    }
    void saveName()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        view.area = QStringLiteral("più\r\nfine");
        view.steps = QStringList { typed };
        QVERIFY(menu.salvaConNome());
        QCOMPARE(files(), QStringList { written });
        QCOMPARE(bytesOf(path(written)), QByteArray("pi\xF9\r\nfine\r\n"));
        QCOMPARE(view.shownFile, path(written));
        QVERIFY(view.saveEnabled);
        QVERIFY(!menu.isModified());
        // Opened again it holds one more line break, and counts as unchanged.
        view.steps = QStringList { written };
        menu.apri();
        QCOMPARE(view.area, QStringLiteral("più\r\nfine\r\n"));
        QVERIFY(!menu.isModified());
        QVERIFY(platform.shown.isEmpty());
    }

    // "&Salva" writes to the current file only while the window shows one;
    // otherwise it asks for a name. A failed write is reported and the text
    // stays changed.
    void salva()
    {
        view.area = QStringLiteral("uno");
        view.steps = QStringList { QStringLiteral("uno") };
        QVERIFY(menu.salva());
        QCOMPARE(view.dialogues, 1);
        view.area = QStringLiteral("due");
        QVERIFY(menu.salva());
        QCOMPARE(view.dialogues, 1);
        QCOMPARE(bytesOf(path(QStringLiteral("uno.txt"))), QByteArray("due\r\n"));
        // "Nuovo" keeps the name for the next dialogue but shows no file.
        menu.nuovo();
        QCOMPARE(menu.proposedName(), QStringLiteral("uno.txt"));
        view.area = QStringLiteral("tre");
        QVERIFY(!menu.salva());
        QCOMPARE(view.dialogues, 2);
        QCOMPARE(state.NomeFileCorrente, path(QStringLiteral("uno.txt")));
        QVERIFY(QFile::remove(path(QStringLiteral("uno.txt"))) && QDir(dir.path()).mkdir("uno.txt"));
        view.steps = QStringList { QStringLiteral("uno") };
        QVERIFY(!menu.salva());
        QCOMPARE(platform.shown.size(), 1);
        QVERIFY(platform.shown.first().text.contains(QStringLiteral("non si può scrivere")));
        QVERIFY(menu.isModified());
    }

    // The folder the file dialogue opens on: one that was deleted while the
    // program ran is never used.
    void openingFolder_data()
    {
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("shown");
        QTest::newRow("none remembered") << ""
                                         << "a"
                                         << "a";
        QTest::newRow("remembered") << "b"
                                    << "a"
                                    << "b";
        QTest::newRow("remembered one deleted") << "gone"
                                                << "a"
                                                << "a";
        QTest::newRow("current one deleted too") << "gone"
                                                 << "gone"
                                                 << "home";
        QTest::newRow("current one deleted, none remembered") << ""
                                                              << "gone"
                                                              << "home";
    }
    void openingFolder()
    {
        QFETCH(QString, remembered);
        QFETCH(QString, current);
        QFETCH(QString, shown);
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
