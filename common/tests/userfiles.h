#pragma once

// What the tests of every program use to put a user's file at risk: a limit on
// the size of the files the process writes, names that stand for something
// other than a regular file, and another program's change of a file.

#include "userfile.h"

#include <QFileInfo>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

// Makes an empty file at `name`, the bytes of its path as the system takes them (also ones that are not
// UTF-8).
inline bool touched(const QByteArray &name, mode_t mode = 0600)
{
    return ::close(::open(name, O_WRONLY | O_CREAT, mode)) == 0;
}

// While it lives, a file cannot grow beyond `bytes`: a write fails there as on a full disk.
struct FileSizeLimit
{
    rlimit saved {};
    explicit FileSizeLimit(rlim_t bytes)
    {
        UserFile::ignoreFileSizeSignal(); // as each program does at its start
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit limit { bytes, saved.rlim_max };
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
};

// Puts a "fifo", "socket", "folder", "device" (a link to a character device,
// the test's own where it may make one, so that a fault never replaces the
// system's /dev/null) or "loop" (a link to itself) at `path`.
inline bool makeNode(const QString &kind, const QString &path)
{
    const QByteArray name = QFile::encodeName(path), device = ::geteuid() ? "/dev/null" : name + ".null";
    sockaddr_un address { AF_UNIX, {} };
    if (kind == "socket")
        return qstrncpy(address.sun_path, name, sizeof address.sun_path)
            && ::bind(
                   ::socket(AF_UNIX, SOCK_STREAM, 0), reinterpret_cast<sockaddr *>(&address), sizeof address)
            == 0;
    if (kind == "device")
        return (::geteuid() || ::mknod(device, S_IFCHR | 0666, makedev(1, 3)) == 0)
            && ::symlink(device, name) == 0;
    return kind == "fifo"  ? ::mkfifo(name, 0600) == 0
        : kind == "folder" ? ::mkdir(name, 0700) == 0
                           : ::symlink(name, name) == 0;
}

// What stands at `path`, and the bytes of a regular file: "file: ...", "link to file: ...", "other".
inline QByteArray node(const QString &path)
{
    const QFileInfo info(path);
    QFile file(path);
    return QByteArray(info.isSymLink() ? "link to " : "")
        + (info.isDir()                          ? "folder"
                : !info.exists()                 ? "missing"
                : !info.isFile()                 ? "other"
                : file.open(QIODevice::ReadOnly) ? "file: " + file.readAll()
                                                 : "file");
}

// What another program does to the file at `path` after it was read: "longer", "same size" (a byte
// changed, its times put back as `cp -p` or `touch -r` do), "same second" (a byte changed, its time
// within the same second) or "second name" (a hard link).
inline bool changeBehind(const QString &change, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat read = {};
    QFile file(path);
    if (::stat(name, &read) != 0 || !file.open(QIODevice::ReadWrite))
        return false;
    timespec times[2] { read.st_atim, read.st_mtim };
    if (change == "same second")
        times[1].tv_nsec = (times[1].tv_nsec + 1) % 1'000'000'000;
    if (change == "second name")
        return ::link(name, name + "2") == 0;
    return change == "longer" ? file.seek(file.size()) && file.write("+") == 1
                              : file.write("#") == 1 && file.flush() && ::futimens(file.handle(), times) == 0;
}
