#pragma once

#include <QList>
#include <QString>

#include <optional>

#include "lessons.h"

class CriticalList;
class Platform;
struct WordTable;

// The order of the draw; 1..4 are the options window's order buttons.
enum OrderMode : int { NotBuilt = 0, Random = 1, Forward = 2, Backward = 3, CriticalOnly = 4 };

// What the options window shows and edits: the order buttons and the lesson
// boxes. The selection build reads it; nothing needs a window for that.
struct SelectionOptions
{
    OrderMode order = Forward;
    LessonFlags Ckles {}; // [0] "Tutte", then one per lesson
    SelectionOptions() { Ckles[0] = true; }
    bool chooses(int lesson) const; // lesson -1 (not a valid number) is never chosen
};

// Which words a drill asks and in which order.
class WordSelection
{
public:
    SelectionOptions options;

    OrderMode orderMode = NotBuilt;
    // The order mode the selection was built for. The next build runs when
    // it differs from orderMode or when the selection is marked out of date
    // (a new vocabulary, other options, the critical words over).
    OrderMode builtMode = NotBuilt;
    bool rebuildNeeded = true;
    // True while the selection in use is the critical list itself.
    bool builtFromCritical() const { return !rebuildNeeded && builtMode == CriticalOnly; }
    int wordCount = 0;
    QList<int> selection; // 1-based as in the drills' arithmetic: entry 0 is unused
    int selectionCount = 0;
    int selectionPos = 0;
    int currentWord = 0;
    int lastWord = 0;
    int pendingWord = 0;

    void buildSelection(const WordTable &words, const CriticalList &memoc);

    enum class Draw { Drawn, Repeated, Cancelled, CriticalDone, Empty };
    Draw drawWord(Platform &platform);

    // After the word table shrank to `rowCount` rows: a waiting word and
    // critical entries from that row on are dropped.
    void forgetRowsFrom(int rowCount, CriticalList &memoc);

    void addCritical(CriticalList &memoc);
    void removeCritical(CriticalList &memoc);

    // True when `word` is among entries 1..selectionCount (constant time).
    bool isSelected(int word) const;

private:
    std::optional<Draw> step(Platform &platform, int tries);

    QList<bool> m_member; // indexed by word, rebuilt with the selection
};
