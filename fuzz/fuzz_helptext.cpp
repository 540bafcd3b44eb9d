// Arbitrary bytes as the instructions file: every byte is one character of
// the entries, and the entries hold no line break pair.

#include "helptext.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const QStringList lines = helpLines(QByteArray(reinterpret_cast<const char *>(bytes), qsizetype(size)));
    qsizetype characters = 0;
    for (const QString &line : lines) {
        if (line.contains(QLatin1String("\r\n")))
            std::abort();
        characters += line.size();
    }
    if (lines.isEmpty() || characters > qsizetype(size))
        std::abort();
    return 0;
}
