#pragma once

#include "platform.h"

#include <QString>

class Drill;
struct WordTable;

// What the program says aloud for a word: the alternatives of its English
// text, split as the drills split them, one after the other with a short
// pause, without the remarks in square brackets.
namespace Pronunciation {

// «house (home)» -> «house, home»; «palm [of the hand]» -> «palm»; an empty
// text (or one holding only remarks) -> empty: nothing to say.
QString spokenText(const QString &englishText);

// The English field of a line of the word list (fixed columns).
QString englishOfLine(const QString &line);

// What a drill window says on request: the English prompt once a question
// was asked in the English drill; in the Italian drill the English text only
// once it was answered or help shows it in full, never before. Empty when
// nothing may be said.
QString drillText(const Drill &drill, const WordTable &words);

// The tooltip of the controls that speak: what they do, or why they cannot.
QString controlTip(Platform::Speech speech);

// The loudspeaker of a drill window: on only while it has something to say,
// its tooltip saying what it does or why not yet.
struct Speaker
{
    bool enabled = false;
    QString tip;
};
Speaker drillSpeaker(const Drill &drill, const WordTable &words, Platform::Speech speech);

} // namespace Pronunciation
