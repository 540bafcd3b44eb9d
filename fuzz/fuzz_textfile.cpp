// Arbitrary bytes as a .txt file of the keyboard trainer, and as the recipe
// of a file and of edits of its text. A file read and saved without an edit
// gives its very bytes back, and what a save writes reads back as the same
// text; a made file keeps, through the edits, the promise of
// tastolo/tests/textcases.h. Every step takes time in proportion to the text.

#include "textcases.h"
#include "textfile.h"

#include "require.h"

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QString text;
    if (const std::optional<TextFile::Form> form = TextFile::Form::read(bytes, text)) {
        require(form->bytes(text) == bytes);
        QString again;
        require(TextFile::Form::read(bytes, again) && again == text);
    }
    const QString failed = TextCases::check(bytes);
    if (!failed.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(failed));
    require(failed.isEmpty());
    return 0;
}
