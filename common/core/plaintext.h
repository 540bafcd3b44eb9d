#pragma once

#include <QString>

// Texts that may carry words from a user's file (a word, a language name, a
// file name) are shown as they are, never read as markup, and cut to what a
// window can show: a message quoting a cell of ten million characters must
// open at once and keep its buttons on the screen.
namespace PlainText {

inline constexpr int MaxLines = 30;
inline constexpr int MaxLineLength = 160;

// Any line end (CR LF, CR or LF alone) becomes one LF; a line longer than
// `maxLineLength` keeps its start and ends in "…", and after `maxLines`
// lines a last "…" line stands for the rest.
QString fit(const QString &text, int maxLines = MaxLines, int maxLineLength = MaxLineLength);

} // namespace PlainText
