#pragma once

#include <QDialog>

class Platform;
struct Session;
class QListWidget;
class QPushButton;

// "    A I U T O": the general instructions, read from aiutoV5.txt in the
// data folder, one list entry per line.
class HelpWindow : public QDialog
{
    Q_OBJECT

public:
    // `mainWindow` is the main window the instructions are laid over.
    HelpWindow(Session &session, Platform &platform, QWidget *mainWindow = nullptr);

    // Places the window and reads the instructions. When the file cannot be
    // read it tells the user and gives false: the window is not to be shown.
    bool load();

    // Loads the window and shows it modally; nothing is shown when the file
    // cannot be read.
    static void showInstructions(Session &session, Platform &platform, QWidget *mainWindow);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    Session &m_session;
    Platform &m_platform;
    QWidget *m_mainWindow;
    QListWidget *m_listai;
    QPushButton *m_command1;
};
