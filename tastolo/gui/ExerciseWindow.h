#pragma once

#include "filemenu.h"
#include "helppages.h"
#include "platform.h"
#include "programstate.h"

#include <QMainWindow>

#include <array>

class EditingArea;
class QAction;
class QLabel;

// The exercise window: the editing area Htext at the right, the key help
// pages in a column at the left, and the File menu, whose questions and
// file work FileMenu does; the window shows the outcome.
class ExerciseWindow : public QMainWindow, private FileMenu::View
{
    Q_OBJECT

public:
    explicit ExerciseWindow(Platform &platform, QWidget *parent = nullptr);

    ProgramState &state() { return m_state; }
    FileMenu &fileMenu() { return m_fileMenu; }

    // The text of the editing area, one '\n' for every line break, as it is
    // compared and saved.
    QString editorText() const;
    // Puts a text into the editing area, one '\n' for every line break.
    void setEditorText(const QString &text);

    // The desktop session is ending: closing asks nothing.
    void setSessionEnding(bool ending) { m_sessionEnding = ending; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void setVisible(bool visible) override;

private:
    void buildControls();
    void buildHelpSide(QWidget *client);
    void buildEditingArea(QWidget *client);
    void buildMenu();
    void Form_Load();
    void turnPage(HelpPages::Turn turn);
    void setHelpText(const QString &text, const QColor &colour);
    // FileMenu::View
    QString text() const override { return editorText(); }
    void setText(const QString &text) override;
    bool holdsUntouched(const QString &text) const override;
    void select(qsizetype position) override;
    void removeCharacters(const QList<qsizetype> &positions) override;
    void showCurrentFile(const QString &path) override;
    void setSaveEnabled(bool enabled) override;
    bool showDialogue() override;

    Platform &m_platform;
    ProgramState m_state;
    FileMenu m_fileMenu;
    bool m_sessionEnding = false;
    bool m_placed = false;
    // The text setText() put in last, shared with the caller's copy.
    QString m_putText;

    EditingArea *m_htext = nullptr;
    QLabel *m_aiuI = nullptr;
    QLabel *m_aiuT = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
    std::array<QLabel *, HelpPages::PageCount> m_imm {};

    QAction *m_menuFileNew = nullptr;
    QAction *m_menuFileOpen = nullptr;
    QAction *m_menuFileSave = nullptr;
    QAction *m_menuFileSaveAs = nullptr;
    QAction *m_menuFileClose = nullptr;
};
