#pragma once

#include "datafolder.h"
#include "drill.h"
#include "lessons.h"
#include "reviewfile.h"
#include "selection.h"
#include "wordtable.h"

#include <QString>
#include <QTime>

// The run state of the vocabulary trainer, shared by its windows: the word
// table and critical list owned by the main window, the word selection, the
// lesson states, the points and the count of answered words.
struct Session
{
    DataFolder dataFolder;
    WordTable words;
    CriticalList memoc;
    WordSelection selection;
    LessonStates lessonState {};
    int points = 1000;
    int doneCount = 0;
    QTime startTime;
    DrillState drill; // the drill windows' state, kept from one drill window to the next
    QString fileFolder; // of the last file imported, exported or saved as a picture in this run
    Review::Store review; // ripasso.tsv as last read or written: read again only when it changed
};
