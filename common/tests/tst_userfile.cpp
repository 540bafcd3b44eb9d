// The reader and the writer of a user's file, on a temporary folder.
#include "testing.h"
#include "userfile.h"
#include "userfiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <optional>

class TestUserFile : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> dir;
    QString path(const QString &name) const { return dir->filePath(name); }

private slots:
    void init() { dir.emplace(); }

    // Text of other editors, read a piece at a time, up to its limit; its stamp is that of the bytes written.
    void reading_data()
    {
        // text: null: refused
        columns<QByteArray, QString>("bytes", "text");
        row("UTF-8 with mark", QByteArray("\xEF\xBB\xBF\x63itt\xC3\xA0\r\n"), "città\r\n");
        row("UTF-8 without mark", QByteArray("perch\xC3\xA9\r\n"), "perché\r\n");
        row("not UTF-8 stays Windows-1252", QByteArray("\xC3\x28 \x80\r\n"), "\u00c3( €\r\n");
        row("UTF-16 LE with mark", QByteArray("\xFF\xFE\x63\0\xE0\0\n\0", 8), "cà\n");
        row("UTF-16 BE with mark", QByteArray("\xFE\xFF\0\x63\x20\xAC\0\r", 8), "c€\r");
        row("UTF-8 mark, broken UTF-8", QByteArray("\xEF\xBB\xBF\x63\xC3\r\n"), QString());
        const qsizetype piece = UserFile::PieceBytes; // read and decoded a piece at a time
        const QByteArray a(piece - 3, 'a'), smile = "\xF0\x9F\x98\x81"; // pieces end after, in, in a letter
        const QByteArray across = a.sliced(1) + smile + a + smile + a + "\xE0\xA4\x95\n";
        row("letters across pieces", across, QString::fromUtf8(across));
        row("Windows-1252 in the first piece", "\xE9" + QByteArray(piece, 'a'), "é" + QString(piece, u'a'));
        row("Windows-1252 in the last piece", QByteArray(piece, 'a') + "\xE9", QString(piece, u'a') + "é");
        const QString wide = QString(piece / 2 + 3, u'a') + "è\r\n"; // UTF-16 without a mark
        row("UTF-16 across two pieces",
            QByteArray(reinterpret_cast<const char *>(wide.utf16()), wide.size() * 2), wide);
    }
    void reading()
    {
        QFETCH(QByteArray, bytes);
        const UserFile::Written written = UserFile::write(path("in"), bytes);
        UserFile::Stamp stamp;
        const UserFile::Text read = UserFile::readText(path("in"), bytes.size(), &stamp);
        QTEST(read.text, "text");
        QCOMPARE(bool(read), !read.text.isNull());
        QVERIFY(!read || (stamp == written.stamp && !UserFile::changedSince(path("in"), stamp)));
    }

    // Only a regular file or a new name is written (and appended to), a link followed to the file it names
    // (the link stays); anything else is refused with the reason and stays as it was, and so does a file that
    // the disk cannot take whole. A file that shares its content with other names becomes one of its own, its
    // owner kept.
    void writing_data()
    {
        QTest::addColumn<QString>("said"); // how the reason begins; empty: written
        const QString notRegular = "non è un file normale";
        for (const char *kind : { "new", "old", "symlink", "dangling symlink", "hard link", "owner" })
            row(kind, "");
        row("size limit", "il file è più grande di quanto");
        row("gone/f", "la cartella non c'è più");
        row("long name", "il nome è troppo lungo");
        row("loop", "errore del sistema: ");
        for (const char *kind : { "fifo", "socket", "folder", "device" })
            row(kind, notRegular);
    }
    void writing()
    {
        const QString kind = QTest::currentDataTag(), said = fetched<QString>("said");
        for (const bool append : { false, true }) {
            dir.emplace();
            const QString name = path(kind == "long name" ? QString(300, 'n')
                    : kind == "gone/f"                    ? kind
                                                          : "f");
            const QByteArray old = "old\n", added = "new text\n";
            const bool hadOld
                = QStringList { "old", "symlink", "hard link", "owner", "size limit" }.contains(kind);
            if (kind.contains("symlink"))
                QVERIFY(QFile::link(path("target"), name));
            if (said.startsWith("non") || kind == "loop")
                QVERIFY(makeNode(kind, name));
            QVERIFY(!hadOld || UserFile::write(kind == "symlink" ? path("target") : name, old));
            if (kind == "hard link")
                QCOMPARE(::link(qPrintable(name), qPrintable(path("other"))), 0);
            if (kind == "owner"
                && ::chown(qPrintable(name), 4321, 4322) + ::chmod(qPrintable(name), 0604) != 0)
                QSKIP("only the superuser gives a file away");
            const QByteArray before = node(name);
            QCOMPARE(UserFile::otherNames(name), int(kind == "hard link"));
            std::optional<FileSizeLimit> limit;
            if (kind == "size limit")
                limit.emplace(old.size() + 4);
            const UserFile::Written written
                = append ? UserFile::append(name, added) : UserFile::write(name, added);
            limit.reset();
            QCOMPARE(UserFile::reasonText(written).left(said.size()), said);
            QCOMPARE(node(name),
                said.isEmpty() ? (kind.contains("symlink") ? "link to file: " : "file: ")
                        + (append && hadOld ? old : QByteArray()) + added
                               : before);
            if (kind == "hard link")
                QCOMPARE(node(path("other")), "file: " + (append ? old + added : old));
            struct stat info = {};
            if (kind == "owner" && ::stat(qPrintable(name), &info) == 0)
                QCOMPARE(std::tuple(info.st_uid, info.st_gid, info.st_mode & 0777),
                    std::tuple(4321u, 4322u, 0604u));
        }
    }

    // What the user is told of a write that the system refused, by the system's error.
    void reasons()
    {
        for (const auto &[error, fileThere, said] : { std::tuple { ENOSPC, true, "il disco è pieno: libera" },
                 { EACCES, false,
                     "la cartella non accetta file nuovi (è di sola lettura o non hai il permesso" },
                 { EACCES, true, "il file è protetto contro la scrittura" } })
            QVERIFY(UserFile::reasonText(UserFile::failure(error, fileThere)).startsWith(said));
    }
};

QTEST_GUILESS_MAIN(TestUserFile)
#include "tst_userfile.moc"
