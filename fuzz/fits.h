#pragma once

// What a message box shows of a text that may quote a file: never more lines
// or longer lines than it can take, with one kind of line end.

#include "plaintext.h"
#include "require.h"

#include <QStringList>

inline void requireShownFits(const QString &text)
{
    const QString shown = PlainText::fit(text);
    require(!shown.contains(u'\r'));
    const QStringList lines = shown.split(u'\n');
    require(lines.size() <= PlainText::MaxLines + 1);
    for (const QString &line : lines)
        require(line.size() <= PlainText::MaxLineLength);
    // Whatever is left out is marked: a short text comes through whole.
    if (text.size() <= PlainText::MaxLineLength && !text.contains(u'\r') && !text.contains(u'\n'))
        require(shown == text);
}
