// Arbitrary bytes as the instructions file, decoded as a file of any editor:
// the entries hold no line break pair and no more characters than the text,
// and the text quoted in a message box fits it.

#include "helptext.h"
#include "userfile.h"

#include "fits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    QString text;
    if (!UserFile::decode(QByteArray(reinterpret_cast<const char *>(bytes), qsizetype(size)), text))
        return 0;
    requireShownFits(text);
    const QStringList lines = helpLines(text);
    qsizetype characters = 0;
    for (const QString &line : lines) {
        if (line.contains(QLatin1String("\r\n")))
            std::abort();
        characters += line.size();
    }
    if (lines.isEmpty() || characters > text.size())
        std::abort();
    return 0;
}
