#pragma once

#include "platform.h"
#include "userfile.h"

#include <QMainWindow>

#include <functional>

class DrillWindow;
struct Session;
class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// "    STUDIO L'INGLESE": the main window. It reads the vocabulary at start-up,
// shows the word list, lets the user edit and save it, starts the drills and
// the other windows, and writes the exit log line when it closes.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    MainWindow(Session &session, Platform &platform, QWidget *parent = nullptr);

    // The start-up work: data folder, reading and parsing the vocabulary,
    // lesson states and first selection. `progress` receives the status text
    // for the splash window. On failure the error message has been shown and
    // the program must end.
    bool Form_Load(const std::function<void(const QString &)> &progress = {});

    // The word-list text as the program keeps it (lines end in CR LF).
    QString wordListText() const;
    QString comments() const { return m_commenti; }
    bool editMode() const;
    // The key whose work TimTab finishes once the text box has handled it: the
    // box first types a tab or breaks the line as usual, then the jump to the
    // next field or the blanks of the new line follow. Values are character codes.
    enum class WaitingKey { None = 0, Tab = 9, Enter = 13 };

    // Handlers, named after the control and the event.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void menuModifica_Click();
    bool menuSalva_Click(); // true when the file was written
    void menuFine_Click();
    void menuImporta_Click();
    void menuEsporta_Click();
    // Imports the words of a file (after the file dialogue): appended at the
    // end of the list, which is unlocked; nothing is saved yet.
    void importFile(const QString &path);
    void menuLezioni_Click();
    void menuIstruzioni_Click();
    void menuRegole_Click();
    void menuRisultati_Click();
    // F6 and Shift+F6: today's review in the English and in the Italian drill.
    void menuRipasso_Click();
    void menuRipassoIta_Click();
    void menuLimiti_Click();
    void TimTab_Timer();
    // F5: says the English word of the line that holds the caret.
    void menuAscolta_Click();
    void Form_Resize();

signals:
    // The window has closed and written its log line: the program ends.
    void programEnded();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void connectMenus();
    void openDrill(DrillWindow *drill);
    void showReviewCount();
    // Leaving the edit mode with edits not saved asks first; false: stay in it.
    bool mayLeaveEditing();
    Platform::Answer askToSave(); // "Salvare gli aggiornamenti?"
    void Form_Unload();
    bool ListaVoci_KeyDown(int key);
    void setWordListText(const QString &text);
    void appendWordLines(const QString &lines);
    void sizeWordList();

    Session &m_session;
    Platform &m_platform;

    QString m_filin;
    QString m_commenti;
    UserFile::Stamp m_diskStamp; // the file on disk as last read or saved

    WaitingKey m_spia = WaitingKey::None;
    bool m_unloaded = false;

    // Null until the constructor makes them: creating the children already
    // sends events to the event filter.
    QWidget *m_area = nullptr;
    QLabel *m_label0 = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
    QPlainTextEdit *m_listaVoci = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QPushButton *m_command3 = nullptr;
    QTimer *m_timTab = nullptr;

    QMenu *m_menuFile = nullptr;
    QMenu *m_menuOpzioni = nullptr;
    QMenu *m_menuProva = nullptr;
    QMenu *m_menuAiuto = nullptr;
    QAction *m_menuModifica = nullptr;
    QAction *m_menuSalva = nullptr;
    QAction *m_menuFine = nullptr;
    QAction *m_menuImporta = nullptr;
    QAction *m_menuEsporta = nullptr;
    QAction *m_menuLezioni = nullptr;
    QAction *m_menuIngIta = nullptr;
    QAction *m_menuItaIng = nullptr;
    QAction *m_menuRisultati = nullptr;
    QAction *m_menuRipasso = nullptr;
    QAction *m_menuRipassoIta = nullptr;
    QAction *m_menuLimiti = nullptr;
    QAction *m_menuAscolta = nullptr;
    QAction *m_menuIstruzioni = nullptr;
    QAction *m_menuRegole = nullptr;
};
