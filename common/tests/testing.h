#pragma once

// What the programs' tests share: the lookup of a control by name, the
// columns and rows of a data table, and whole-file reads and writes.

#include <QFile>
#include <QString>
#include <QTest>

#include <type_traits>

class QWidget;

// The control called `name` under `root` (null: a window that did not open). A missing one fails the test
// with its name and hands back a stand-in, so that the test goes on without a crash.
template<typename T = QWidget> T *control(const QObject *root, const QString &name)
{
    if (T *found = root ? root->findChild<T *>(name) : nullptr)
        return found;
    QTest::qFail(qPrintable(QStringLiteral("no control %1 (%2) in %3")
                                .arg(name, QLatin1String(T::staticMetaObject.className()),
                                    root ? root->objectName() : "no window")),
        __FILE__, __LINE__);
    return new T; // left alive on purpose: the test may still use it
}

// The columns of a data table, their types in order: columns<QString, int>("text", "count").
template<typename... T, typename... Name> void columns(const Name &...names)
{
    static_assert(sizeof...(T) == sizeof...(Name));
    (QTest::addColumn<T>(names), ...);
}

// One row of a data table: its tag, then one value per column (texts in quotes become QString).
template<typename T> auto cell(const T &value)
{
    if constexpr (std::is_array_v<T>)
        return QString::fromUtf8(value);
    else
        return value;
}
template<typename... T> void row(const char *tag, const T &...values)
{
    (QTest::newRow(tag) << ... << cell(values));
}

// The value in `column` of the current row, for a test that reads it once.
template<typename T> const T &fetched(const char *column)
{
    return *static_cast<const T *>(QTest::qData(column, qMetaTypeId<T>()));
}

// The bytes of the file at `path` (none: unreadable), and the file at `path` made to hold `bytes`.
inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
