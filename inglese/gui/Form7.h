#pragma once

#include "wordexchange.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>

class CriticalList;
class Platform;
struct WordTable;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

// "Importa vocaboli" / "Esporta vocaboli": the small dialogue between the
// word list and the files of other programs. On import it shows the first
// words as they will be read and lets the user say which column (or
// language) is English and which Italian, where the lessons are and which
// lesson the words without one go to; on export it asks for the format and
// for the whole list or some lessons.
class Form7 : public QDialog
{
    Q_OBJECT

public:
    explicit Form7(const Exchange::Table &table, QWidget *parent = nullptr);
    explicit Form7(const Exchange::Kvtml &file, QWidget *parent = nullptr);
    // Export: `present` says which lessons have words.
    explicit Form7(const std::array<bool, 21> &present, QWidget *parent = nullptr);

    // Import: the words as chosen, and the lesson for those without one.
    QList<Exchange::Word> words() const;
    int lesson() const;
    // Export: the format and the lessons chosen (all true for the whole list).
    Exchange::Format format() const;
    std::array<bool, 21> lessons() const;

    // The file dialogue of the import: the file chosen, or empty.
    static QString chooseImportFile(QWidget *parent, const QString &folder);
    // Reads the file and runs this dialogue: the word lines to append (empty
    // when nothing is to be added), after one message about what went in.
    static QString importFile(QWidget *parent, const QString &path, int existingRows, Platform &platform);
    // The file dialogue of the export: the file chosen (suggested, with only
    // files matching the filter shown), or empty. Tests put their own answer.
    static std::function<QString(QWidget *parent, const QString &suggested, const QString &filter)>
        askExportFile;
    // The whole export: this dialogue, file dialogue, atomic write.
    static void exportWords(QWidget *parent, const QString &folder, const WordTable &words,
        const CriticalList &memoc, Platform &platform);

private:
    void buildImport(const QStringList &columns, bool lessonColumn);
    void refreshPreview();
    QWidget *buttons(const QString &okText);

    std::optional<Exchange::Table> m_table;
    std::optional<Exchange::Kvtml> m_kvtml;

    QLabel *m_label1 = nullptr;
    QTableWidget *m_anteprima = nullptr;
    QComboBox *m_inglese = nullptr;
    QComboBox *m_italiano = nullptr;
    QComboBox *m_colonnaLezione = nullptr;
    QCheckBox *m_intestazione = nullptr;
    QSpinBox *m_lezione = nullptr;
    QRadioButton *m_optCsv = nullptr;
    QRadioButton *m_optTsv = nullptr;
    QRadioButton *m_optKvtml = nullptr;
    QRadioButton *m_optTutte = nullptr;
    QRadioButton *m_optScelte = nullptr;
    std::array<QCheckBox *, 21> m_ckles {};
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
};
