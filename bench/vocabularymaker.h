#pragma once

#include <QByteArray>

// Makes a vocabulary file of `rows` word lines, in the file's own format
// (Windows-1252, CR LF, fixed columns), with the texts a real vocabulary
// has: made-up words of real length, alternatives in parentheses, remarks in
// square brackets, English and Italian prompts that other words share,
// accented letters, a few comment lines, every numbered lesson and some words
// marked critical. The same `rows`
// always gives the same file.
QByteArray makeVocabulary(int rows);
