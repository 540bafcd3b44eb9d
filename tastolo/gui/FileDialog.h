#pragma once

#include "filemenu.h"
#include "platform.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The small file dialogue, for opening (Operazione 0) and for saving
// (Operazione 1): drive, folder and file lists, the file name, OK and Annullo.
// It only shows the folders; what a click, "OK" and "Annullo" do is the
// File menu's work.
class FileDialog : public QDialog
{
    Q_OBJECT

public:
    FileDialog(Platform &platform, FileMenu &fileMenu, QWidget *parent = nullptr);

    // The folder the file list shows, in native form.
    QString folder() const { return m_fileFolder; }
    // Shows a folder in the folder and file lists.
    void showFolder(const QString &path);

    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void Command1_Click();
    void Command2_Click();

    // Escape and the window's own close control mean "Annullo".
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void enterFolder(QListWidgetItem *item);
    void buildControls();
    void buildLists(const QFont &font);
    void Form_Load();
    void fillDrives();
    void fillFolders();
    void fillFiles();

    Platform &m_platform;
    FileMenu &m_fileMenu;
    QString m_dirFolder;
    QString m_fileFolder;
    bool m_filling = false;
    // The real name of the file last clicked, and those of the files listed.
    QString m_clickedName;
    QStringList m_fileNames;

    QLabel *m_label2 = nullptr;
    QLabel *m_label4 = nullptr;
    QComboBox *m_drive1 = nullptr;
    QListWidget *m_dir1 = nullptr;
    QListView *m_file1 = nullptr;
    QLineEdit *m_text1 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
};
