#include "selection.h"

#include "platform.h"
#include "wordtable.h"

// Placeholder bodies: the selection rules are being written.
bool SelectionOptions::chooses(int lesson) const
{
    return lesson >= 0 && (Ckles[0] || (lesson > 0 && Ckles[std::size_t(lesson)]));
}

void WordSelection::buildSelection(const WordTable &, const CriticalList &) { }

WordSelection::Draw WordSelection::drawWord(Platform &) { return Draw::Empty; }

void WordSelection::addCritical(CriticalList &) { }

void WordSelection::removeCritical(CriticalList &) { }

bool WordSelection::isSelected(int) const { return false; }
