#include "programstate.h"

#include <QStringList>

QString sampleLetter()
{
    const QStringList lines {
        QStringLiteral("Pratomane 26/01/2009"),
        QString(),
        QString(),
        QStringLiteral("Questo è il mio primo lavoro al computer e"),
        QStringLiteral("sono molto contento di imparare ad usarlo."),
        QString(),
        QStringLiteral("Spero di diventare sempre più bravo e di"),
        QStringLiteral("vincere il primo premio alle olimpiadi di"),
        QStringLiteral("Brascomini."),
        QString(),
        QStringLiteral("Ciao,"),
        QString(37, QLatin1Char(' ')) + QStringLiteral("Tobiolo"),
    };
    return lines.join(QStringLiteral("\r\n"));
}
