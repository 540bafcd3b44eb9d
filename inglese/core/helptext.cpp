#include "helptext.h"

#include "vocabularyfile.h"

QStringList helpLines(const QString &text)
{
    QStringList lines;
    Vocabulary::forEachLine(text, [&lines](QStringView line) {
        // A longer line would only stall the help window while it measures it.
        lines.append(line.left(MaxHelpLine).toString());
        return lines.size() < MaxHelpLines;
    });
    return lines;
}
