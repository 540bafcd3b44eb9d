#include "Form5.h"

#include "helptext.h"
#include "platform.h"
#include "session.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QResizeEvent>

namespace {
// Sizes are designed in twips; 15 twips make one logical pixel.
constexpr int tw(int twips)
{
    return twips / 15;
}
} // namespace

Form5::Form5(Session &session, Platform &platform, QWidget *form1)
    : QDialog(form1)
    , m_session(session)
    , m_platform(platform)
    , m_form1(form1)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("    A I U T O"));
    setWindowIcon(QIcon(QStringLiteral(":/inglese/icona.svg")));
    resize(tw(8070), tw(6180));

    m_listai = new QListWidget(this);
    m_listai->setObjectName(QStringLiteral("Listai"));
    m_listai->setGeometry(tw(90), tw(255), tw(7845), tw(5070));
    QFont listFont(QStringLiteral("Liberation Sans"));
    listFont.setPointSizeF(9.75);
    m_listai->setFont(listFont);

    m_command1 = new QPushButton(QStringLiteral("Ritorno"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(tw(6075), tw(5535), tw(1245), tw(420));
    QFont buttonFont(QStringLiteral("Liberation Sans"));
    buttonFont.setPointSize(8);
    buttonFont.setBold(true);
    m_command1->setFont(buttonFont);
    connect(m_command1, &QPushButton::clicked, this, &QDialog::accept);
}

bool Form5::load()
{
    if (m_form1) {
        move(m_form1->pos());
        resize(width(), m_form1->height());
    }

    QFile file(m_session.dataFolder + QStringLiteral("aiutoV5.txt"));
    if (!file.open(QIODevice::ReadOnly)) {
        m_platform.message(QStringLiteral("Richiesta ignorata ..."), QStringLiteral("File AIUTO.TXT non trovato"),
                           Platform::Buttons::Ok, Platform::Icon::Information);
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_platform.message(QStringLiteral("Richiesta ignorata ..."), QStringLiteral("File AIUTO.TXT non trovato"),
                           Platform::Buttons::Ok, Platform::Icon::Information);
        return false;
    }
    m_listai->clear();
    m_listai->addItems(helpLines(bytes));
    return true;
}

void Form5::showInstructions(Session &session, Platform &platform, QWidget *form1)
{
    Form5 window(session, platform, form1);
    if (window.load())
        window.exec();
}

void Form5::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    const int h = event->size().height();
    m_listai->resize(m_listai->width(), std::max(h - tw(700), 0));
    m_command1->move(m_command1->x(), h - tw(450));
}
