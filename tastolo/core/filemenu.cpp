#include "filemenu.h"

#include "textfile.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString Question = QStringLiteral("Attenzione !");
const QString Attention = QStringLiteral("Attenzione");
const QString Modified = QStringLiteral("ma il file corrente è stato modificato.");
// How many different characters a refused save names.
constexpr qsizetype MostNamed = 12;

} // namespace

QString inFolder(const QString &folder, const QString &name)
{
    return QDir::toNativeSeparators(QDir(QDir::fromNativeSeparators(folder)).filePath(name));
}

FileMenu::FileMenu(Platform &platform, ProgramState &state, View &view)
    : m_platform(platform)
    , m_state(state)
    , m_view(view)
{
}

bool FileMenu::isModified() const
{
    return !m_view.holdsUntouched(m_state.TestoRiferimento) && m_view.text() != m_state.TestoRiferimento;
}

Platform::Answer FileMenu::ask(const QString &firstLine, const QString &secondLine)
{
    return m_platform.message(Question,
        firstLine + QStringLiteral("\r\n") + secondLine + QStringLiteral("\r\nVuoi salvarlo ?"),
        Platform::Buttons::YesNo, Platform::Icon::None);
}

bool FileMenu::runDialogue(ProgramState::Operation operation)
{
    const QString previousName = m_state.NomeFileCorrente;
    m_state.Operazione = operation;
    const bool done = m_view.showDialogue();
    if (done) {
        if (operation == ProgramState::Open) {
            m_view.setText(m_state.TestoRiferimento);
            m_form = m_readForm;
        }
        showCurrentFile(m_state.NomeFileCorrente);
    } else {
        // A file clicked and then given up does not become the current one.
        m_state.Operazione = ProgramState::Cancelled;
        m_state.NomeFileCorrente = previousName;
    }
    return done;
}

// Asks whether to save a modified text before another one takes its place.
// False when the user backed out: the question was cancelled, or the text was
// to be saved and was not written. The text stays until the other one has
// taken its place.
bool FileMenu::mayReplaceText(const QString &question)
{
    m_state.Operazione = ProgramState::Open;
    if (isModified()) {
        const Platform::Answer answer = ask(question, Modified);
        if (answer == Platform::Answer::Cancel || (answer == Platform::Answer::Yes && !salvaConNome())) {
            m_state.Operazione = ProgramState::Cancelled;
            return false;
        }
    }
    m_state.Operazione = ProgramState::Open;
    return true;
}

void FileMenu::nuovo()
{
    if (!mayReplaceText(QStringLiteral("E' stato richiesto di Aprire un Nuovo File,")))
        return;
    m_view.setText(QString());
    m_form = TextFile::Form();
    // The empty area is the program's own text: it is not a change.
    m_state.TestoRiferimento.clear();
    showCurrentFile(QString());
    m_view.setSaveEnabled(false);
}

void FileMenu::apri()
{
    if (!mayReplaceText(QStringLiteral("E' stato richiesto di Aprire un altro File,")))
        return;
    runDialogue(ProgramState::Open);
    m_view.setSaveEnabled(true);
}

bool FileMenu::salvaConNome()
{
    // The dialogue writes the text of the area; until it has, the text keeps
    // counting as it did.
    const bool written = runDialogue(ProgramState::Save);
    m_view.setSaveEnabled(true);
    return written;
}

bool FileMenu::salva()
{
    // Without a current file there is nowhere to save to: ask for a name.
    if (m_shownPath.isEmpty() || m_state.NomeFileCorrente.trimmed().isEmpty())
        return salvaConNome();
    return write(m_state.NomeFileCorrente);
}

// Writes the text of the area to `path` in the form of the current file. A
// character the encoding cannot hold is selected and named, and the text is
// written only without them, when the user wants; a file that another program
// changed since it was read or written here, or whose content other names
// share, is replaced only when the user wants. False when nothing was written.
bool FileMenu::write(const QString &path)
{
    QString text = m_view.text();
    const QList<qsizetype> refused = m_form.unencodable(text);
    if (!refused.isEmpty()) {
        QStringList named;
        for (const qsizetype position : refused) {
            const QString name = TextFile::describe(text, position);
            if (!named.contains(name) && named.size() < MostNamed)
                named.append(name);
        }
        m_view.select(refused.first());
        if (m_platform.message(Attention,
                QStringLiteral("Il testo contiene caratteri che questo file non può contenere:\r\n%1%2\r\n"
                               "Il primo è selezionato nel testo.\r\n\r\nSalvarlo senza questi caratteri?")
                    .arg(named.join(QStringLiteral(", ")),
                        named.size() == MostNamed ? QStringLiteral(", ...") : QString()),
                Platform::Buttons::YesNo, Platform::Icon::None)
            != Platform::Answer::Yes)
            return false;
        m_view.removeCharacters(refused);
        text = m_view.text();
    }
    const QString shown = QDir::toNativeSeparators(TextFile::shownName(path));
    const auto declined = [this](const QString &question) {
        return m_platform.message(Attention, question, Platform::Buttons::YesNo, Platform::Icon::None)
            != Platform::Answer::Yes;
    };
    if ((path == m_stampedPath && UserFile::changedSince(path, m_stamp)
            && declined(
                QStringLiteral("Il file\r\n%1\r\nè stato cambiato da un altro programma dopo che l'hai "
                               "aperto o salvato.\r\n\r\nSovrascriverlo con questo testo?\r\n(No: il "
                               "file resta com'è e il testo resta da salvare)")
                    .arg(shown)))
        || (UserFile::otherNames(path) > 0 && declined(UserFile::otherNamesQuestion(shown))))
        return false;
    const std::optional<QByteArray> bytes = m_form.bytes(text);
    if (!bytes) {
        stop(QStringLiteral("Il testo contiene ancora caratteri che questo file non può contenere."));
        return false;
    }
    const UserFile::Written written = TextFile::write(path, *bytes);
    if (!written) {
        stop(TextFile::writeFailedText(path, written));
        return false;
    }
    m_state.TestoRiferimento = text;
    m_stampedPath = path;
    m_stamp = written.stamp;
    return true;
}

bool FileMenu::mayClose()
{
    if (!isModified())
        return true;
    switch (ask(QStringLiteral("E' stato chiesto di chiudere il programma,"),
        QStringLiteral("ma il file corrente non è stato salvato dopo le modifiche."))) {
    case Platform::Answer::No:
        return true;
    case Platform::Answer::Yes:
        return salvaConNome();
    default:
        return false;
    }
}

FileMenu::Folder FileMenu::openingFolder()
{
    if (m_state.CartellaCorrente.isEmpty())
        m_state.CartellaCorrente = m_platform.currentFolder();
    for (const QString &candidate : { m_state.CartellaCorrente, m_platform.currentFolder() }) {
        if (!candidate.isEmpty() && m_platform.setCurrentFolder(candidate)) {
            m_state.CartellaCorrente = candidate;
            return { candidate, false };
        }
    }
    // Both have been deleted while the program ran: a save must never go to
    // a folder the lists cannot show.
    const QString home = m_platform.homeFolder();
    m_platform.setCurrentFolder(home);
    m_state.CartellaCorrente = home;
    return { home, true };
}

QString FileMenu::proposedName()
{
    m_state.NomeFileCorrente = m_state.NomeFileCorrente.trimmed();
    return QFileInfo(m_state.NomeFileCorrente).fileName();
}

void FileMenu::fileClicked(const QString &folder, const QString &name)
{
    m_state.NomeFileCorrente = inFolder(folder, name);
    m_state.CartellaCorrente = folder;
}

bool FileMenu::confirm(const QString &folder, const QString &typed)
{
    if (typed.trimmed().isEmpty()) {
        m_platform.message(Attention, QStringLiteral("il Nome File non è valido, ripovare"),
            Platform::Buttons::Ok, Platform::Icon::None);
        return false;
    }
    QString path = inFolder(folder, typed);
    if (m_state.Operazione == ProgramState::Open) {
        const TextFile::ReadResult result = TextFile::read(path);
        if (!result.ok()) {
            stop(result.error);
            return false;
        }
        m_state.TestoRiferimento = result.text;
        m_readForm = result.form;
        m_stampedPath = path;
        m_stamp = result.stamp;
    } else {
        path = TextFile::saveName(path);
        // Another file than the one the text came from is replaced only when
        // the user wants.
        const bool another = m_shownPath.isEmpty() || !TextFile::sameFile(path, m_shownPath);
        if (another && TextFile::exists(path)
            && m_platform.message(Attention,
                   QStringLiteral("Il file\r\n%1\r\nesiste già.\r\n\r\nSovrascriverlo con questo testo?\r\n"
                                  "(No: il file resta com'è e puoi scegliere un altro nome)")
                       .arg(QDir::toNativeSeparators(TextFile::shownName(path))),
                   Platform::Buttons::YesNo, Platform::Icon::None)
                != Platform::Answer::Yes)
            return false;
        if (!write(path))
            return false;
    }
    m_state.NomeFileCorrente = path;
    return true;
}

void FileMenu::cancel()
{
    m_state.Operazione = ProgramState::Cancelled;
}

void FileMenu::stop(const QString &text)
{
    m_platform.message(Attention, text, Platform::Buttons::Ok, Platform::Icon::Stop);
}

void FileMenu::showCurrentFile(const QString &path)
{
    m_shownPath = path;
    m_view.showCurrentFile(path);
}
