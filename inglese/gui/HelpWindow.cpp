#include "HelpWindow.h"

#include "drawing.h"

#include "helptext.h"
#include "platform.h"
#include "session.h"
#include "twips.h"
#include "userfile.h"

#include <QListWidget>
#include <QPushButton>
#include <QResizeEvent>

namespace {
using Twips::px;
} // namespace

HelpWindow::HelpWindow(Session &session, Platform &platform, QWidget *mainWindow)
    : QDialog(mainWindow)
    , m_session(session)
    , m_platform(platform)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("    A I U T O"));
    resize(px(8070), px(6180));

    m_listai = new QListWidget(this);
    m_listai->setObjectName(QStringLiteral("Listai"));
    m_listai->setAccessibleName(QStringLiteral("Istruzioni generali"));
    m_listai->setGeometry(px(90), px(255), px(7845), px(5070));
    // One line per entry: the list need not measure every entry of a long file.
    m_listai->setUniformItemSizes(true);
    m_listai->setFont(Drawing::font(QStringLiteral("Liberation Sans"), 9.75));

    m_command1 = new QPushButton(QStringLiteral("Ritorno"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(px(6075), px(5535), px(1245), px(420));
    m_command1->setFont(Drawing::font(QStringLiteral("Liberation Sans"), 8, true));
    connect(m_command1, &QPushButton::clicked, this, &QDialog::accept);
}

bool HelpWindow::load()
{
    if (m_mainWindow) {
        move(m_mainWindow->pos());
        resize(width(), m_mainWindow->height());
    }

    // A missing file is reported in the usual words; any other refusal says why.
    const QString path = m_session.dataFolder.path(DataFolder::HelpFile);
    const UserFile::Text read = UserFile::readText(path, MaxHelpBytes);
    if (!read) {
        m_platform.message(QStringLiteral("Richiesta ignorata ..."),
            read.problem == UserFile::Problem::Missing
                ? QStringLiteral("File AIUTO.TXT non trovato")
                : UserFile::problemText(path, read.problem, MaxHelpBytes, read.reason),
            Platform::Buttons::Ok, Platform::Icon::Information);
        return false;
    }
    m_listai->clear();
    m_listai->addItems(helpLines(read.text));
    return true;
}

void HelpWindow::showInstructions(Session &session, Platform &platform, QWidget *mainWindow)
{
    HelpWindow window(session, platform, mainWindow);
    if (window.load())
        window.exec();
}

void HelpWindow::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    const int h = event->size().height();
    m_listai->resize(m_listai->width(), std::max(h - px(700), 0));
    m_command1->move(m_command1->x(), h - px(450));
}
