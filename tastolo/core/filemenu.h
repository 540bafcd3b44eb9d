#pragma once

#include "platform.h"
#include "programstate.h"
#include "textfile.h"

#include <QString>

// The path of `name` in `folder`, in native form, with no doubled separator
// when the folder is a root.
QString inFolder(const QString &folder, const QString &name);

// The File menu of the exercise window and the work of its file dialogue,
// without either window: the three "Attenzione !" questions, what the
// dialogue does (Operazione), what Yes, No and cancel do, and when the
// program may end. A typed text is given up only on the answer "No"; every
// other way out of a question or a dialogue leaves it as typed.
//
// The window shows the state and forwards the menu entries here; the
// dialogue forwards its list clicks and buttons.
class FileMenu
{
public:
    // What the flow needs from the exercise window.
    class View
    {
    public:
        virtual ~View() = default;
        // The text of the editing area, one '\n' for every line break.
        virtual QString text() const = 0;
        // Puts a text into the editing area, insertion point at the start.
        virtual void setText(const QString &text) = 0;
        // Selects the character at `position` of text(), so that the user
        // finds it.
        virtual void select(qsizetype position) = 0;
        // Removes the characters at `positions` of text() (in rising order;
        // a pair of surrogates is one character) as one edit.
        virtual void removeCharacters(const QList<qsizetype> &positions) = 0;
        // Whether the area still holds `text` exactly as setText() put it
        // in, untouched since: a quick answer that spares comparing a large
        // text. False when it cannot tell.
        virtual bool holdsUntouched(const QString &) const { return false; }
        virtual void showCurrentFile(const QString &path) = 0;
        virtual void setSaveEnabled(bool enabled) = 0;
        // Shows the file dialogue modally for state().Operazione; true when
        // it closed through confirm(), that is after a file was read or
        // written.
        virtual bool showDialogue() = 0;
    };

    FileMenu(Platform &platform, ProgramState &state, View &view);

    ProgramState &state() { return m_state; }
    // How the current file holds the text: the editing area tells it each
    // edit and each move of its undo history (see TextFile::Form).
    const TextFile::Form &form() const { return m_form; }
    void edited(qsizetype position, qsizetype removed, QStringView added, int step)
    {
        m_form.edit(position, removed, added, step);
    }
    void undoneTo(int step) { m_form.undoTo(step); }
    // The editing area differs from the text last put in or written.
    bool isModified() const;

    // The menu entries.
    void nuovo();
    void apri();
    // True when the text was written.
    bool salvaConNome();
    bool salva();
    // Asked before the window closes on the user's or the program's wish:
    // true when the program may end (nothing to save, the text written, or
    // the answer "No").
    bool mayClose();

    // The file dialogue. The folder it opens on, made the current folder: the
    // remembered one, else the current one, else the user's home folder.
    struct Folder
    {
        QString path;
        // Neither the remembered nor the current folder exists any more.
        bool home = false;
    };
    Folder openingFolder();
    // The name a saving dialogue proposes: the current file's own name.
    QString proposedName();
    // The .txt files of `folder`, as the file list shows them.
    const QStringList &txtFiles(const QString &folder) { return m_listing.txtFiles(folder); }
    // A file clicked in the list of `folder`.
    void fileClicked(const QString &folder, const QString &name);
    // "OK" with `typed` in the name box over the files of `folder`: reads or
    // writes the file. False when the dialogue must stay open (the user has
    // been told why).
    bool confirm(const QString &folder, const QString &typed);
    // "Annullo", Escape or the dialogue's close control.
    void cancel();

private:
    Platform::Answer ask(const QString &firstLine, const QString &secondLine);
    bool mayReplaceText(const QString &question);
    bool runDialogue(ProgramState::Operation operation);
    bool write(const QString &path);
    void stop(const QString &text);
    void showCurrentFile(const QString &path);

    Platform &m_platform;
    ProgramState &m_state;
    View &m_view;
    // The current file the window shows, which "&Salva" may write to; empty
    // when it shows none.
    QString m_shownPath;
    TextFile::Form m_form;
    // The form of a file the dialogue has read, until the area shows it.
    TextFile::Form m_readForm;
    TextFile::FolderListing m_listing;
    // The file last read or written, and its state on disk then.
    QString m_stampedPath;
    UserFile::Stamp m_stamp;
};
