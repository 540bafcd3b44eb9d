#include "qtplatform.h"

#include "mainrules.h"
#include "messagebox.h"
#include "qtspeech.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QScreen>
#include <QTimer>

#include <chrono>
#include <filesystem>

namespace {
// Beeps of a burst are spaced so that the bell sounds each one and the
// window keeps handling events in between.
constexpr int BeepSpacingMs = 25;
} // namespace

QtPlatform::QtPlatform(QObject *parent, Machine machine)
    : QObject(parent)
    , m_machine(std::move(machine))
    , m_beepTimer(new QTimer(this))
    , m_speech(new QtSpeech(this))
{
    if (!m_machine.bell)
        m_machine.bell = &QApplication::beep;
    if (!m_machine.clock)
        m_machine.clock = [] { return qint64(std::chrono::system_clock::now().time_since_epoch().count()); };
    m_beepTimer->setInterval(BeepSpacingMs);
    connect(m_beepTimer, &QTimer::timeout, this, [this] {
        if (m_pendingBeeps <= 0) {
            m_beepTimer->stop();
            return;
        }
        --m_pendingBeeps;
        m_machine.bell();
    });
}

Platform::Answer QtPlatform::message(const QString &title, const QString &text, Buttons buttons, Icon icon)
{
    return messageBox(QApplication::activeWindow(), title, text, buttons, icon);
}

void QtPlatform::beep(int times)
{
    if (times <= 0)
        return;
    m_machine.bell();
    m_pendingBeeps += times - 1;
    if (m_pendingBeeps > 0 && !m_beepTimer->isActive())
        m_beepTimer->start();
}

double QtPlatform::random()
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_generator);
}

void QtPlatform::seedRandomFromClock()
{
    m_generator.seed(static_cast<std::mt19937::result_type>(m_machine.clock()));
}

QDate QtPlatform::currentDate()
{
    return QDate::currentDate();
}

QTime QtPlatform::currentTime()
{
    return QTime::currentTime();
}

QSize QtPlatform::screenSize()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return screen->geometry().size();
    return { 1024, 768 };
}

QString QtPlatform::currentFolder()
{
    std::error_code error;
    const std::string native = std::filesystem::current_path(error).native();
    const QString name = MainRules::currentFolderName(QByteArray::fromStdString(native));
    return error || !QFileInfo(name).isDir() ? QDir::currentPath() : name;
}

void QtPlatform::speak(const QString &text, QLocale::Language language)
{
    m_speech->speak(text, language);
}

Platform::Speech QtPlatform::canSpeak(QLocale::Language language)
{
    // Only English voices are looked for.
    if (language != QLocale::English)
        return Speech::NoVoice;
    return m_speech->status();
}

void QtPlatform::watchSpeech(QObject *context, const std::function<void()> &changed)
{
    connect(m_speech, &QtSpeech::statusChanged, context, changed);
}

QString QtPlatform::askFileName(const FileQuestion &question)
{
    // Qt's own dialogue, not the desktop's: it adds the suffix to a bare name
    // before it checks whether the file exists.
    QFileDialog dialog(QApplication::activeWindow(), question.title, question.folder, question.filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const bool save = question.mode == FileQuestion::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(question.suffix);
    if (save && !question.name.isEmpty())
        dialog.selectFile(question.name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
