#pragma once

#include <QString>

// State shared by the main window and the file dialogue for the whole run.
struct ProgramState
{
    // What the file dialogue does.
    enum Operation : qint16 { Open = 0, Save = 1, Cancelled = 3 };

    // Help page state: 0..13 show pages 1..14, 14 shows the introduction.
    qint16 Stato = 14;
    // The text as last put into the editing area by the program or last
    // written to a file; also the text the save dialogue writes.
    QString TestoRiferimento;
    // Full path of the current .txt file.
    QString NomeFileCorrente;
    // Folder remembered by the file dialogue.
    QString CartellaCorrente;
    qint16 Operazione = Open;
};

// The letter that fills the editing area at start, lines joined by CR LF.
QString sampleLetter();
// Where the insertion point stands at start: between "p" and "r" of "primo",
// counted with CR and LF as one character each.
constexpr int SampleLetterCaret = 43;
