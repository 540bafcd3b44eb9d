#pragma once

#include <QSize>
#include <QString>

// The small book of key help pages in the left column of the main window:
// fourteen pages (states 0..13) and the introduction (state 14), turned in a
// ring with Page Down and Page Up.
namespace HelpPages {

constexpr int PageCount = 14;
constexpr qint16 Introduction = 14;

enum class Turn { Forward, Back };

// The state after one press of Page Down (Forward) or Page Up (Back).
qint16 next(qint16 stato, Turn turn);

// The text shown for a state: title, an empty line, then the paragraphs,
// all separated by CR LF; the introduction for state 14.
QString text(qint16 stato);

// The page number the counter shows: "1".."14", "0" for the introduction.
QString number(qint16 stato);

// Natural size in pixels of the picture of page state `element` (0..13), and
// its resource path.
QSize pictureSize(int element);
QString picturePath(int element);

// Gap in twips between the bottom of the picture and the top of the text.
constexpr int TextGapTwips = 100;

} // namespace HelpPages
