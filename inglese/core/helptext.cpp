#include "helptext.h"

#include <algorithm>

QStringList helpLines(const QString &text)
{
    const qsizetype size = text.size();

    QStringList lines;
    qsizetype pos = 0; // 0-based start of the line
    for (;;) {
        qsizetype end = text.indexOf(QLatin1String("\r\n"), pos);
        if (end < 0)
            end = size;
        // A longer line would only stall the help window while it measures it.
        lines.append(text.mid(pos, std::min(end - pos, qsizetype(MaxHelpLine))));
        // Stop when the line break found lies within the last four characters.
        if (end + 1 >= size - 3 || lines.size() >= MaxHelpLines)
            break;
        pos = end + 2;
    }
    return lines;
}
