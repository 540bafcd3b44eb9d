#include "reviewlog.h"

#include "reviewfile.h"
#include "userfile.h"

#include <QFileInfo>

namespace Review {
namespace {
    const QByteArray Directions[2] = { "ing->ita", "ita->ing" };
    constexpr int WindowDays = 30;
} // namespace

QByteArray logLine(const LogEntry &e)
{
    const bool met = e.daysSince >= 0;
    return e.when.toString(u"yyyy-MM-dd HH:mm:ss").toLatin1() + '\t' + escapedText(e.english) + '\t'
        + escapedText(e.italian) + '\t' + Directions[int(e.direction)] + '\t'
        + QByteArray::number(int(e.grade)) + '\t' + (met ? QByteArray::number(e.daysSince) : QByteArray())
        + '\t' + (met ? QByteArray::number(e.expected, 'f', 4) : QByteArray()) + '\n';
}

bool appendLog(const QString &path, const LogEntry &entry, QString *reason)
{
    const QByteArray line = logLine(entry);
    const QFileInfo file(path);
    if (file.isFile() && file.size() + line.size() > MaxLogBytes) {
        if (reason)
            *reason = QStringLiteral("ha raggiunto il limite di ") + UserFile::limitText(MaxLogBytes);
        return false;
    }
    const UserFile::Written written = UserFile::append(path, line);
    if (!written && reason)
        *reason = UserFile::reasonText(written);
    return bool(written);
}

Retention retention(const QString &path, const QDate &today)
{
    Retention result;
    const QDate from = today.addDays(1 - WindowDays);
    QByteArray rest;
    const auto count = [&](QByteArrayView line) {
        const QList<QByteArrayView> f = [line] {
            QList<QByteArrayView> fields;
            for (qsizetype start = 0, tab; fields.size() < 8; start = tab + 1) {
                tab = line.indexOf('\t', start);
                fields.append(line.sliced(start, (tab < 0 ? line.size() : tab) - start));
                if (tab < 0)
                    break;
            }
            return fields;
        }();
        if (f.size() != 7 || f[5].isEmpty() || f[5] == "0")
            return; // damaged, or a word not met on an earlier day
        const QDate day = QDate::fromString(
            QString::fromLatin1(f[0].first(std::min<qsizetype>(10, f[0].size()))), u"yyyy-MM-dd");
        if (day < from || day > today)
            return;
        ++result.due;
        result.recalled += f[4] != "1";
    };
    const UserFile::Pieces read = UserFile::readPieces(path, MaxLogBytes, [&](const QByteArray &piece) {
        rest += piece;
        qsizetype start = 0;
        for (qsizetype end; (end = rest.indexOf('\n', start)) >= 0; start = end + 1)
            count(QByteArrayView(rest).sliced(start, end - start));
        rest.remove(0, start);
        return true;
    });
    if (!read && read.problem != UserFile::Problem::Missing)
        result.problem = UserFile::problemText(path, read.problem, MaxLogBytes, read.reason)
                             .replace(QStringLiteral("\r\n"), QStringLiteral(" ")); // one line of the window
    return result;
}

QString retentionLine(const Retention &r)
{
    if (!r.problem.isEmpty())
        return r.problem;
    if (r.due == 0)
        return QStringLiteral(
            "Ripasso, ultimi 30 giorni: nessuna parola ancora dovuta (obiettivo %1% ricordate)")
            .arg(AimedPercent);
    return QStringLiteral("Ripasso, ultimi 30 giorni: ricordate %1% delle %2 parole dovute (obiettivo %3%)")
        .arg(qRound(100.0 * r.recalled / r.due))
        .arg(r.due)
        .arg(AimedPercent);
}

} // namespace Review
