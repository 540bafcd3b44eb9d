#include "selection.h"

#include "platform.h"
#include "wordtable.h"

#include <algorithm>

namespace {
// A random draw that keeps hitting the word just asked gives up after this
// many tries and takes the next entry instead, so that it always ends.
constexpr int MaxRandomTries = 64;

// All chosen words have been asked in order: false when the user stops.
bool askRestart(Platform &platform)
{
    return platform.message(QStringLiteral("Ricomincio..."),
               QStringLiteral("Ho fatto tutti quelli scelti... ricomincio"), Platform::Buttons::OkCancel)
        != Platform::Answer::Cancel;
}
} // namespace

bool SelectionOptions::chooses(int lesson) const
{
    return isLesson(lesson) && (Ckles[0] || (lesson > 0 && Ckles[std::size_t(lesson)]));
}

void WordSelection::buildSelection(const WordTable &words, const CriticalList &memoc)
{
    if (!rebuildNeeded && builtMode == orderMode)
        return; // up to date

    wordCount = words.count();
    orderMode = options.order;

    // Entry 0 is never used; the words go to entries 1..count.
    QList<int> built { 0 };
    if (orderMode >= Random && orderMode <= Backward) {
        for (int row = 0; row < wordCount; ++row) {
            // A row whose lesson is not a valid number has lesson -1 and is
            // never chosen.
            if (options.chooses(words.lessonOf(row)))
                built.append(row);
        }
    } else if (orderMode == CriticalOnly) {
        for (int word : memoc.words()) {
            // lessonOf() gives -1 for a row that no longer exists.
            if (options.chooses(words.lessonOf(word)))
                built.append(word);
        }
    }

    const int count = int(built.size()) - 1;
    if (count > 0) {
        built.append(0); // the spare entry after the last word
        selection = built;
    }
    // With no chosen word the old entries stay, but none of them is in use.
    selectionCount = count;
    if (orderMode == Forward || orderMode == CriticalOnly)
        selectionPos = 0;
    else if (orderMode == Backward)
        selectionPos = count + 1;

    m_member.fill(false, std::max(wordCount, 0));
    for (int i = 1; i <= selectionCount; ++i) {
        const int word = selection.at(i);
        if (word >= m_member.size())
            m_member.resize(word + 1, false);
        m_member[word] = true;
    }

    builtMode = orderMode;
    rebuildNeeded = false;
}

// Moves to the next position in the order of the drill; a result ends the
// draw there (the user cancelled, or the critical words are over).
std::optional<WordSelection::Draw> WordSelection::step(Platform &platform, int tries)
{
    switch (orderMode) {
    case Random: {
        // R is a single-precision number in [0, 1) and the position is
        // computed in that precision, so a given R always names the same
        // word; count * R can still round up to count, which the clamp
        // keeps inside the selection.
        const float r = float(platform.random());
        selectionPos = std::clamp(int(float(selectionCount) * r + 1.0f), 1, selectionCount);
        if (tries > MaxRandomTries)
            selectionPos = selectionPos % selectionCount + 1;
        break;
    }
    case Forward:
        ++selectionPos;
        if (selectionPos > selectionCount) {
            if (!askRestart(platform))
                return Draw::Cancelled;
            selectionPos = 1;
        }
        break;
    case Backward:
        --selectionPos;
        if (selectionPos < 1) {
            if (!askRestart(platform))
                return Draw::Cancelled;
            selectionPos = selectionCount;
        }
        break;
    case CriticalOnly:
        ++selectionPos;
        if (selectionPos > selectionCount) {
            rebuildNeeded = true;
            platform.message(QStringLiteral("Rifare la Scelta..."), QStringLiteral("Critici terminati ..."),
                Platform::Buttons::Ok);
            return Draw::CriticalDone;
        }
        break;
    case NotBuilt:
        break; // drawWord() turns it away before any step
    }
    return std::nullopt;
}

WordSelection::Draw WordSelection::drawWord(Platform &platform)
{
    if (pendingWord != 0)
        return Draw::Repeated; // the unanswered word is asked again

    if (orderMode < Random || orderMode > CriticalOnly
        || (orderMode != CriticalOnly && (selectionCount <= 0 || selection.size() < selectionCount + 1))) {
        platform.message(QStringLiteral("Rifare la Scelta..."),
            QStringLiteral("Nessuna parola da chiedere ... scegli le Lezioni con \"Modifica Scelte...\""),
            Platform::Buttons::Ok, Platform::Icon::Information);
        return Draw::Empty;
    }

    for (int tries = 1;; ++tries) {
        if (const std::optional<Draw> stop = step(platform, tries))
            return *stop;
        currentWord = selection.at(selectionPos);
        // A random draw never repeats the word just asked, except when the
        // selection holds that one word only.
        if (orderMode == Random && currentWord == lastWord && selectionCount > 1)
            continue;
        break;
    }

    lastWord = currentWord;
    pendingWord = currentWord;
    return Draw::Drawn;
}

void WordSelection::forgetRowsFrom(int rowCount, CriticalList &memoc)
{
    if (pendingWord >= rowCount)
        pendingWord = 0;
    memoc.removeFrom(rowCount);
}

void WordSelection::addCritical(CriticalList &memoc)
{
    if (builtFromCritical())
        return;
    memoc.add(currentWord);
}

void WordSelection::removeCritical(CriticalList &memoc)
{
    memoc.removeOne(currentWord);
}

bool WordSelection::isSelected(int word) const
{
    return word >= 0 && word < m_member.size() && m_member.at(word);
}
