#include "exchangeword.h"

namespace Exchange {

QString oneLine(const QString &text)
{
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar &c : line) {
        if (c.unicode() < 0x20)
            c = u' ';
    }
    return line.trimmed();
}

QString shortName(const QString &text)
{
    const QString name = text.simplified();
    return name.size() > ShownName ? name.left(ShownName) + QStringLiteral("...") : name;
}

} // namespace Exchange
