#include "plaintext.h"

namespace PlainText {

QString fit(const QString &text, int maxLines, int maxLineLength)
{
    static const QString Ellipsis = QStringLiteral("\u2026");
    QString shown;
    int lines = 0;
    qsizetype pos = 0;
    const qsizetype size = text.size();
    while (pos <= size) {
        qsizetype end = pos;
        while (end < size && text.at(end) != u'\r' && text.at(end) != u'\n')
            ++end;
        if (lines == maxLines) { // the rest, on a line of its own
            shown += u'\n';
            shown += Ellipsis;
            break;
        }
        if (lines++ > 0)
            shown += u'\n';
        const QStringView line = QStringView(text).mid(pos, end - pos);
        if (line.size() > maxLineLength) {
            shown += line.first(maxLineLength - 1);
            shown += Ellipsis;
        } else {
            shown += line;
        }
        if (end == size)
            break;
        pos = end + (text.at(end) == u'\r' && end + 1 < size && text.at(end + 1) == u'\n' ? 2 : 1);
    }
    return shown;
}

} // namespace PlainText
