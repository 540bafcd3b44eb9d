#include "ExchangeWindow.h"

#include "filechoice.h"
#include "platform.h"
#include "session.h"
#include "userfile.h"
#include "vocabularyfile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <memory>

namespace {
constexpr int PreviewRows = 8;

template<typename W> W *named(W *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

// "Colonna 2: house" — the column by its header or its first value.
QStringList columnNames(const Exchange::Table &table)
{
    QStringList names;
    const QStringList first = table.rows.value(0);
    for (int c = 0; c < table.columnCount(); ++c)
        names.append(QStringLiteral("Colonna %1: %2").arg(c + 1).arg(Exchange::shortName(first.value(c))));
    return names;
}
} // namespace

ExchangeWindow::ExchangeWindow(const Exchange::Table &table, QWidget *parent)
    : QDialog(parent)
    , m_table(table)
{
    buildImport(columnNames(table), true);
    m_inglese->setCurrentIndex(table.englishColumn);
    m_italiano->setCurrentIndex(table.italianColumn);
    m_colonnaLezione->setCurrentIndex(table.lessonColumn + 1);
    m_intestazione->setChecked(table.header);
    refreshPreview();
}

ExchangeWindow::ExchangeWindow(const Exchange::Kvtml &file, QWidget *parent)
    : QDialog(parent)
    , m_kvtml(file)
{
    buildImport(file.languages, false);
    m_inglese->setCurrentIndex(file.englishLanguage);
    m_italiano->setCurrentIndex(file.italianLanguage);
    refreshPreview();
}

void ExchangeWindow::buildImport(const QStringList &columns, bool tableFile)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(Exchange::ImportTitle);
    auto *layout = new QVBoxLayout(this);
    m_label1 = named(
        new QLabel(QStringLiteral("Le &prime parole come saranno lette:"), this), QStringLiteral("Label1"));
    layout->addWidget(m_label1);
    m_anteprima = named(new QTableWidget(PreviewRows, 4, this), QStringLiteral("Anteprima"));
    m_anteprima->setAccessibleName(QStringLiteral("Anteprima delle parole"));
    m_anteprima->setHorizontalHeaderLabels({ QStringLiteral("Lez."), QStringLiteral("Crit."),
        QStringLiteral("Inglese"), QStringLiteral("Italiano") });
    m_anteprima->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the preview for the choices below it; the arrows move in it.
    m_anteprima->setTabKeyNavigation(false);
    m_anteprima->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_anteprima->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_anteprima->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    m_anteprima->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
    m_anteprima->setMinimumSize(520, 230);
    m_label1->setBuddy(m_anteprima);
    layout->addWidget(m_anteprima);

    // Every choice has its letter (Alt+letter), the label's buddy.
    auto *form = new QFormLayout;
    const QString what = tableFile ? QStringLiteral("Colonna") : QStringLiteral("Lingua");
    m_inglese = named(new QComboBox(this), QStringLiteral("Inglese"));
    m_inglese->addItems(columns);
    form->addRow(what + QStringLiteral(" dell'&inglese:"), m_inglese);
    m_italiano = named(new QComboBox(this), QStringLiteral("Italiano"));
    m_italiano->addItems(columns);
    form->addRow(what + QStringLiteral(" dell'i&taliano:"), m_italiano);
    if (tableFile) {
        m_colonnaLezione = named(new QComboBox(this), QStringLiteral("ColonnaLezione"));
        m_colonnaLezione->addItem(QStringLiteral("(nessuna)"));
        m_colonnaLezione->addItems(columns);
        form->addRow(QStringLiteral("Colonna della le&zione:"), m_colonnaLezione);
        m_intestazione
            = named(new QCheckBox(QStringLiteral("La prima riga contiene i &nomi delle colonne"), this),
                QStringLiteral("Intestazione"));
        form->addRow(QString(), m_intestazione);
        connect(m_colonnaLezione, &QComboBox::currentIndexChanged, this, &ExchangeWindow::refreshPreview);
        connect(m_intestazione, &QCheckBox::toggled, this, [this](bool on) {
            m_table->header = on;
            refreshPreview();
        });
    }
    m_lezione = named(new QSpinBox(this), QStringLiteral("Lezione"));
    m_lezione->setRange(0, MaxLesson);
    m_lezione->setValue(1);
    form->addRow(QStringLiteral("Lezione delle parole &senza lezione:"), m_lezione);
    layout->addLayout(form);
    connect(m_inglese, &QComboBox::currentIndexChanged, this, &ExchangeWindow::refreshPreview);
    connect(m_italiano, &QComboBox::currentIndexChanged, this, &ExchangeWindow::refreshPreview);
    connect(m_lezione, &QSpinBox::valueChanged, this, &ExchangeWindow::refreshPreview);
    layout->addWidget(buttons(QStringLiteral("Importa")));
    // The dialogue opens on its first choice, not in the preview.
    m_inglese->setFocus();
}

QWidget *ExchangeWindow::buttons(const QString &okText)
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    m_command1 = named(new QPushButton(okText, row), QStringLiteral("Command1"));
    m_command1->setDefault(true);
    m_command2 = named(new QPushButton(QStringLiteral("Annulla"), row), QStringLiteral("Command2"));
    layout->addWidget(m_command1);
    layout->addWidget(m_command2);
    connect(m_command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_command2, &QPushButton::clicked, this, &QDialog::reject);
    return row;
}

void ExchangeWindow::refreshPreview()
{
    const QList<Exchange::Word> chosen = words();
    m_anteprima->clearContents();
    for (int r = 0; r < std::min<int>(PreviewRows, int(chosen.size())); ++r) {
        const Exchange::Word &word = chosen.at(r);
        const int lesson = word.lesson >= 0 ? word.lesson : m_lezione->value();
        // A lesson field that leaves the word out shows as it is.
        const QStringList cells { word.badLesson.isNull() ? QString::number(lesson) : word.badLesson,
            word.critical ? QStringLiteral("c") : QString(), Exchange::oneLine(word.english),
            Exchange::oneLine(word.italian) };
        for (int c = 0; c < cells.size(); ++c)
            m_anteprima->setItem(r, c, new QTableWidgetItem(cells.at(c)));
    }
    // The same column (or language) cannot be both sides.
    m_command1->setEnabled(m_inglese->currentIndex() >= 0 && m_italiano->currentIndex() >= 0
        && m_inglese->currentIndex() != m_italiano->currentIndex());
}

QList<Exchange::Word> ExchangeWindow::words() const
{
    if (m_kvtml)
        return Exchange::kvtmlWords(
            *m_kvtml, m_inglese->currentIndex(), m_italiano->currentIndex(), PreviewRows);
    if (m_table)
        return Exchange::tableWords(*m_table, tableColumns(), PreviewRows);
    return {};
}

Exchange::Lines ExchangeWindow::lines(
    int existingRows, const Exchange::KnownWords *known, bool leaveKnownOut) const
{
    Exchange::LineMaker maker(lesson(), existingRows, known, leaveKnownOut);
    if (m_kvtml)
        Exchange::forEachWord(*m_kvtml, m_inglese->currentIndex(), m_italiano->currentIndex(),
            [&maker](const Exchange::Word &word) {
                maker.add(word);
                return true;
            });
    if (m_table) {
        // Once the list is full the rest of a big file is counted, not read word by word.
        qsizetype seen = 0;
        Exchange::forEachWord(*m_table, tableColumns(), [&maker, &seen](const Exchange::Word &word) {
            ++seen;
            maker.add(word);
            return !maker.full();
        });
        if (maker.full())
            maker.addOver(Exchange::wordRows(*m_table) - seen);
    }
    return maker.lines();
}

Exchange::Columns ExchangeWindow::tableColumns() const
{
    // The lesson box's first entry is "no column".
    return { m_inglese->currentIndex(), m_italiano->currentIndex(), m_colonnaLezione->currentIndex() - 1,
        m_table->criticalColumn };
}

int ExchangeWindow::lesson() const
{
    return m_lezione ? m_lezione->value() : 0;
}

ExchangeWindow::ExchangeWindow(const LessonFlags &present, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(Exchange::ExportTitle);
    auto *layout = new QVBoxLayout(this);

    auto *formats = named(new QGroupBox(QStringLiteral("Formato"), this), QStringLiteral("Frame1"));
    auto *formatLayout = new QVBoxLayout(formats);
    m_optCsv = named(
        new QRadioButton(QStringLiteral("&CSV, per i fogli di calcolo"), formats), QStringLiteral("OptCsv"));
    m_optTsv = named(
        new QRadioButton(
            QStringLiteral("&TSV, per i programmi di schede (fronte inglese, retro italiano)"), formats),
        QStringLiteral("OptTsv"));
    m_optKvtml = named(new QRadioButton(QStringLiteral("&KVTML 2.0, per i programmi di vocaboli"), formats),
        QStringLiteral("OptKvtml"));
    m_optCsv->setChecked(true);
    formatLayout->addWidget(m_optCsv);
    formatLayout->addWidget(m_optTsv);
    formatLayout->addWidget(m_optKvtml);
    layout->addWidget(formats);

    auto *which = named(new QGroupBox(QStringLiteral("Parole"), this), QStringLiteral("Frame2"));
    auto *whichLayout = new QVBoxLayout(which);
    m_optTutte
        = named(new QRadioButton(QStringLiteral("Tutto l'&elenco"), which), QStringLiteral("OptTutte"));
    m_optScelte = named(
        new QRadioButton(QStringLiteral("Solo le &lezioni scelte:"), which), QStringLiteral("OptScelte"));
    m_optTutte->setChecked(true);
    whichLayout->addWidget(m_optTutte);
    whichLayout->addWidget(m_optScelte);
    auto *grid = new QGridLayout;
    for (int k = 0; k <= MaxLesson; ++k) {
        m_ckles[std::size_t(k)]
            = named(new QCheckBox(QString::number(k), which), QStringLiteral("Ckles%1").arg(k));
        m_ckles[std::size_t(k)]->setEnabled(false);
        grid->addWidget(m_ckles[std::size_t(k)], k / 7, k % 7);
    }
    whichLayout->addLayout(grid);
    layout->addWidget(which);
    connect(m_optScelte, &QRadioButton::toggled, this, [this, present](bool on) {
        for (int k = 0; k <= MaxLesson; ++k)
            m_ckles[std::size_t(k)]->setEnabled(on && present[std::size_t(k)]);
    });
    layout->addWidget(buttons(QStringLiteral("Esporta")));
}

Exchange::Format ExchangeWindow::format() const
{
    if (m_optTsv->isChecked())
        return Exchange::Format::Tsv;
    return m_optKvtml->isChecked() ? Exchange::Format::Kvtml : Exchange::Format::Csv;
}

LessonFlags ExchangeWindow::lessons() const
{
    LessonFlags chosen {};
    for (int k = 0; k <= MaxLesson; ++k)
        chosen[std::size_t(k)] = m_optTutte->isChecked() || m_ckles[std::size_t(k)]->isChecked();
    return chosen;
}

namespace {
std::unique_ptr<ExchangeWindow> refused(const QString &why, Platform &platform)
{
    platform.message(Exchange::ImportTitle, why, Platform::Buttons::Ok, Platform::Icon::Stop);
    return nullptr;
}

// The dialogue over the file's words, or none after a message that says why.
std::unique_ptr<ExchangeWindow> importDialogue(QWidget *parent, const QString &path, Platform &platform)
{
    const Exchange::ImportSource source
        = ExchangeWindow::offThread([&path] { return Exchange::readImport(path); });
    if (!source.refusal.isEmpty())
        return refused(source.refusal, platform);
    if (source.kvtml)
        return std::make_unique<ExchangeWindow>(*source.kvtml, parent);
    return std::make_unique<ExchangeWindow>(*source.table, parent);
}
} // namespace

QString ExchangeWindow::importFile(
    QWidget *parent, const QString &path, const QString &wordText, Platform &platform)
{
    const std::unique_ptr<ExchangeWindow> dialog = importDialogue(parent, path, platform);
    if (!dialog || dialog->exec() != QDialog::Accepted)
        return QString();
    const int rows = int(wordText.split(Vocabulary::CrLf, Qt::SkipEmptyParts).size());
    const Exchange::KnownWords known(wordText);
    Exchange::Lines lines = dialog->lines(rows, &known);
    if (lines.known > 0) {
        // Yes adds them again, No leaves them out; Escape leaves the list as it was.
        const Platform::Answer answer = platform.message(Exchange::ImportTitle,
            Exchange::knownQuestion(lines.known), Platform::Buttons::YesNo, Platform::Icon::Information);
        if (answer == Platform::Answer::Cancel)
            return QString();
        if (answer == Platform::Answer::No)
            lines = dialog->lines(rows, &known, true);
    }
    platform.message(Exchange::ImportTitle, Exchange::importMessage(lines), Platform::Buttons::Ok,
        Exchange::importIcon(lines));
    return lines.text;
}

void ExchangeWindow::exportWords(
    QWidget *parent, Session &session, const QString &wordText, const CriticalList *memoc, Platform &platform)
{
    const Exchange::ListWords list = Exchange::listWords(wordText, memoc);
    ExchangeWindow dialog(list.present, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const Exchange::Format format = dialog.format();
    const QList<Exchange::Word> chosen = Exchange::ofLessons(list.words, dialog.lessons());
    const QString left = list.refused == 0
        ? QString()
        : Exchange::listed(QStringLiteral("Non sono uscite, perch\u00e9 "
                                          "il salvataggio non le accetterebbe:"),
            list.problems, list.refused);
    if (chosen.isEmpty()) {
        platform.message(Exchange::ExportTitle,
            QStringLiteral("Nessuna parola da esportare: scegli almeno una lezione che ne abbia.") + left,
            Platform::Buttons::Ok, Platform::Icon::Information);
        return;
    }
    const QString suffix = Exchange::suffix(format);
    const QString path = FileChoice::ask(platform,
        { Platform::FileQuestion::Mode::Save, Exchange::ExportTitle, QString(),
            QStringLiteral("vocaboli.") + suffix,
            format == Exchange::Format::Kvtml ? QStringLiteral("KVTML (*.kvtml)")
                                              : QStringLiteral("%1 (*.%2)").arg(suffix.toUpper(), suffix),
            suffix },
        session.fileFolder, session.dataFolder);
    if (path.isEmpty())
        return;
    QString error;
    if (!Exchange::writeFile(path, Exchange::write(format, chosen), &error))
        platform.message(Exchange::ExportTitle, error, Platform::Buttons::Ok, Platform::Icon::Stop);
    else
        platform.message(Exchange::ExportTitle,
            (chosen.size() == 1 ? QStringLiteral("\u00c8 stata esportata ")
                                : QStringLiteral("Sono state esportate "))
                + Exchange::wordCount(chosen.size()) + QStringLiteral(" nel file ") + path + u'.' + left,
            Platform::Buttons::Ok, left.isEmpty() ? Platform::Icon::Information : Platform::Icon::Stop);
}
