#include "FileDialog.h"

#include "textfile.h"
#include "twips.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QStringListModel>
#include <QStyle>

namespace {

const QColor LabelBack(255, 255, 128);
constexpr double FontPoints = 8.25;
// The folder icons at the size of a line of the list's text.
constexpr int FolderIconPx = 16;
// Each folder of the list stands this many blanks right of its parent.
constexpr int IndentPerDepth = 2;

// The folders from the root down to `path`, each in native form; told by
// the path alone, which the toolkit could not look up when a name in it is
// not UTF-8.
QStringList ancestry(const QString &path)
{
    QString folder = QDir(QDir::fromNativeSeparators(path)).absolutePath();
    QStringList chain { QDir::toNativeSeparators(folder) };
    for (QString parent = QFileInfo(folder).path(); parent != folder; parent = QFileInfo(folder).path()) {
        folder = parent;
        chain.prepend(QDir::toNativeSeparators(folder));
    }
    return chain;
}

} // namespace

FileDialog::FileDialog(Platform &platform, FileMenu &fileMenu, QWidget *parent)
    : QDialog(parent)
    , m_platform(platform)
    , m_fileMenu(fileMenu)
{
    setModal(true);
    buildControls();
    Form_Load();
}

void FileDialog::buildControls()
{
    setFixedSize(Twips::size(2685, 6555));

    QFont sansBold(QStringLiteral("Liberation Sans"));
    sansBold.setPointSizeF(FontPoints);
    sansBold.setBold(true);

    auto label = [&](const char *name, const QString &caption, QRect geometry) {
        auto *result = new QLabel(caption, this);
        result->setObjectName(QString::fromLatin1(name));
        result->setGeometry(geometry);
        result->setFont(sansBold);
        result->setAutoFillBackground(true);
        QPalette palette = result->palette();
        palette.setColor(QPalette::Window, LabelBack);
        palette.setColor(QPalette::WindowText, Qt::black);
        result->setPalette(palette);
        return result;
    };
    QLabel *label1 = label("Label1", QStringLiteral("Disco :"), Twips::rect(225, 135, 1335, 255));
    m_label2 = label("Label2", QStringLiteral("Cartelle :"), Twips::rect(225, 840, 1815, 255));
    QLabel *label3 = label("Label3", QStringLiteral("File (*.txt) :"), Twips::rect(240, 2880, 1815, 255));
    m_label4 = label("Label4", QString(), Twips::rect(240, 4935, 2055, 255));

    buildLists(sansBold);

    m_command1 = new QPushButton(QStringLiteral("OK"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(Twips::rect(240, 5880, 795, 510));
    m_command1->setDefault(true);
    connect(m_command1, &QPushButton::clicked, this, &FileDialog::Command1_Click);

    m_command2 = new QPushButton(QStringLiteral("Annullo"), this);
    m_command2->setObjectName(QStringLiteral("Command2"));
    m_command2->setGeometry(Twips::rect(1320, 5880, 1155, 510));
    m_command2->setAutoDefault(false);
    connect(m_command2, &QPushButton::clicked, this, &FileDialog::Command2_Click);

    // The lists and the name box are called by their labels' words, and the
    // labels are tied to them for a screen reader.
    label1->setBuddy(m_drive1);
    m_label2->setBuddy(m_dir1);
    label3->setBuddy(m_file1);
    m_label4->setBuddy(m_text1);
    m_drive1->setAccessibleName(QStringLiteral("Disco"));
    m_dir1->setAccessibleName(QStringLiteral("Cartelle"));
    m_file1->setAccessibleName(QStringLiteral("File (*.txt)"));

    setTabOrder(m_file1, m_dir1);
    setTabOrder(m_dir1, m_drive1);
    setTabOrder(m_drive1, m_text1);
    setTabOrder(m_text1, m_command2);
    setTabOrder(m_command2, m_command1);
    m_file1->setFocus();
}

// The drive, the folders, the files of the folder and the file's name.
void FileDialog::buildLists(const QFont &font)
{
    m_drive1 = new QComboBox(this);
    m_drive1->setObjectName(QStringLiteral("Drive1"));
    m_drive1->setGeometry(Twips::rect(225, 390, 2175, 315));
    m_drive1->setFont(font);
    connect(m_drive1, &QComboBox::activated, this, [this] { Drive1_Change(); });

    m_dir1 = new QListWidget(this);
    m_dir1->setObjectName(QStringLiteral("Dir1"));
    m_dir1->setGeometry(Twips::rect(225, 1110, 2175, 1665));
    m_dir1->setFont(font);
    m_dir1->setIconSize(QSize(FolderIconPx, FolderIconPx));
    // A folder is entered by a double click or Enter, as in a folder tree.
    connect(m_dir1, &QListWidget::itemActivated, this, &FileDialog::enterFolder);
    m_dir1->installEventFilter(this);

    // A folder may hold a great many files: their names are the rows of a
    // plain list of strings, all of one size, the list's width; a name too
    // long for it keeps its start and its end.
    m_file1 = new QListView(this);
    m_file1->setObjectName(QStringLiteral("File1"));
    m_file1->setGeometry(Twips::rect(240, 3120, 2175, 1590));
    m_file1->setFont(font);
    m_file1->setUniformItemSizes(true);
    m_file1->setTextElideMode(Qt::ElideMiddle);
    m_file1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_file1->setModel(new QStringListModel(m_file1));
    m_file1->installEventFilter(this);
    connect(m_file1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_filling && m_file1->selectionModel()->hasSelection())
            File1_Click();
    });
    // A double click chooses the file and confirms it, as "OK" does.
    connect(m_file1, &QListView::doubleClicked, this, &FileDialog::Command1_Click);

    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setGeometry(Twips::rect(240, 5205, 2175, 315));
    m_text1->setFont(font);
    m_text1->setEnabled(false);
}

void FileDialog::Form_Load()
{
    const FileMenu::Folder folder = m_fileMenu.openingFolder();
    if (folder.home) {
        // The folder last used has been deleted: say where the lists are now.
        m_label2->setText(QStringLiteral("Cartelle : (home)"));
        m_label2->setToolTip(QStringLiteral("La cartella usata prima non esiste più"));
    }

    if (m_fileMenu.state().Operazione == ProgramState::Open) {
        setWindowTitle(QStringLiteral("   APRI UN FILE"));
        m_label4->setText(QStringLiteral("Nome File da Aprire :"));
        m_text1->setAccessibleName(QStringLiteral("Nome del file da aprire"));
    } else {
        m_text1->setEnabled(true);
        setWindowTitle(QStringLiteral("   SALVA IL FILE"));
        m_label4->setText(QStringLiteral("Nome File da Salvare :"));
        m_text1->setAccessibleName(QStringLiteral("Nome del file da salvare"));
    }
    m_clickedName = m_fileMenu.proposedName();
    m_text1->setText(TextFile::shownName(m_clickedName));
    showFolder(folder.path);
    // A save starts from the name it proposes.
    if (m_text1->isEnabled())
        m_text1->setFocus();
}

void FileDialog::showFolder(const QString &path)
{
    m_dirFolder = QDir::toNativeSeparators(QDir(QDir::fromNativeSeparators(path)).absolutePath());
    fillDrives();
    fillFolders();
    Dir1_Change();
}

void FileDialog::fillDrives()
{
    m_drive1->clear();
    const QStringList drives = m_platform.drives();
    m_drive1->addItems(drives);
    // The drive of a folder is the longest root that holds it.
    int best = -1;
    for (int i = 0; i < drives.size(); ++i) {
        const QString &root = drives.at(i);
        const bool holds = m_dirFolder == root || m_dirFolder.startsWith(inFolder(root, QString()));
        if (holds && (best < 0 || root.size() > drives.at(best).size()))
            best = i;
    }
    m_drive1->setCurrentIndex(best);
}

void FileDialog::Drive1_Change()
{
    const QString root = m_drive1->currentText();
    if (!QDir(QDir::fromNativeSeparators(root)).isReadable()) {
        m_platform.message(QStringLiteral("Attenzione"),
            QStringLiteral("Il disco %1 non è pronto.").arg(root), Platform::Buttons::Ok,
            Platform::Icon::Stop);
        fillDrives();
        return;
    }
    m_dirFolder = root;
    fillFolders();
    Dir1_Change();
}

void FileDialog::fillFolders()
{
    m_dir1->clear();
    const QStringList chain = ancestry(m_dirFolder);
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);
    auto add = [&](const QString &path, const QString &caption, int depth, const QIcon &icon) {
        auto *item = new QListWidgetItem(
            icon, QString(depth * IndentPerDepth, QLatin1Char(' ')) + TextFile::shownName(caption), m_dir1);
        item->setData(Qt::UserRole, path);
        return item;
    };
    QListWidgetItem *current = nullptr;
    for (int depth = 0; depth < chain.size(); ++depth) {
        const QString name = depth == 0 ? chain.at(depth) : QFileInfo(chain.at(depth)).fileName();
        current = add(chain.at(depth), name, depth, open);
    }
    for (const QString &child : TextFile::subFolders(m_dirFolder))
        add(inFolder(m_dirFolder, child), child, int(chain.size()), closed);
    m_dir1->setCurrentItem(current);
}

void FileDialog::enterFolder(QListWidgetItem *item)
{
    m_dirFolder = item->data(Qt::UserRole).toString();
    fillFolders();
    Dir1_Change();
}

bool FileDialog::eventFilter(QObject *watched, QEvent *event)
{
    auto *list = qobject_cast<QAbstractItemView *>(watched);
    if (event->type() != QEvent::KeyPress || (list != m_dir1 && list != m_file1))
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    const QModelIndex current = list->currentIndex();
    // Enter works on the list's own item: a folder is entered, a file chosen
    // and opened. A save writes under the name the name box shows, never
    // under the row the list made current when it took the focus.
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (current.isValid() && list == m_dir1) {
            enterFolder(m_dir1->currentItem());
        } else if (m_text1->isEnabled()) {
            Command1_Click();
        } else if (current.isValid()) {
            list->setCurrentIndex(current);
            Command1_Click();
        }
        return true;
    }
    // The only file of a list is chosen by any key that moves in it, though
    // it is already the current one and the list would not move.
    const bool moves = key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_Home || key == Qt::Key_End;
    if (list == m_file1 && moves && list->model()->rowCount() == 1) {
        list->selectionModel()->setCurrentIndex(
            list->model()->index(0, 0), QItemSelectionModel::ClearAndSelect);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void FileDialog::Dir1_Change()
{
    m_fileFolder = m_dirFolder;
    fillFiles();
}

void FileDialog::fillFiles()
{
    m_filling = true;
    // Each file shown as the user can read its name, kept by its real one.
    m_fileNames = m_fileMenu.txtFiles(m_fileFolder);
    QStringList shown;
    shown.reserve(m_fileNames.size());
    for (const QString &name : std::as_const(m_fileNames))
        shown.append(TextFile::shownName(name));
    static_cast<QStringListModel *>(m_file1->model())->setStringList(shown);
    m_filling = false;
}

void FileDialog::File1_Click()
{
    const QModelIndex chosen = m_file1->selectionModel()->selectedIndexes().constFirst();
    m_clickedName = m_fileNames.at(chosen.row());
    m_fileMenu.fileClicked(m_fileFolder, m_clickedName);
    m_text1->setText(chosen.data().toString());
    m_command1->setFocus();
}

void FileDialog::Command1_Click()
{
    // The name of a file clicked stands for its real one, which may hold
    // bytes that are no letters.
    const QString typed = m_text1->text();
    if (m_fileMenu.confirm(m_fileFolder, typed == TextFile::shownName(m_clickedName) ? m_clickedName : typed))
        accept();
}

void FileDialog::Command2_Click()
{
    m_fileMenu.cancel();
    QDialog::reject();
}

void FileDialog::reject()
{
    Command2_Click();
}
