#include "ReviewLimitsWindow.h"

#include "platform.h"
#include "review.h"
#include "session.h"
#include "twips.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>

namespace {
QSpinBox *spinBox(const QString &name, int minimum, int value, QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(minimum, Review::Limits::Most);
    box->setValue(value);
    return box;
}
} // namespace

ReviewLimitsWindow::ReviewLimitsWindow(Session &session, Platform &platform, QWidget *parent)
    : QDialog(parent)
    , m_session(session)
    , m_platform(platform)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("   RIPASSO"));
    setModal(true);
    Review::Store &store = session.review;
    store.refresh(session.dataFolder.path(DataFolder::ReviewFile), &session.words);
    m_text1 = spinBox(QStringLiteral("Text1"), 1, store.limits().daily, this);
    m_text2 = spinBox(QStringLiteral("Text2"), 0, store.limits().newWords, this);
    // The new words are part of the day's words, never more.
    m_text2->setMaximum(m_text1->value());
    connect(m_text1, &QSpinBox::valueChanged, m_text2, &QSpinBox::setMaximum);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Annulla"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    connect(ok, &QPushButton::clicked, this, &ReviewLimitsWindow::Command1_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Parole da ripassare al giorno, al più:"), m_text1);
    form->addRow(QStringLiteral("Parole &nuove al giorno, al più:"), m_text2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    form->addRow(buttons);
    setMinimumWidth(Twips::px(5200));
}

void ReviewLimitsWindow::Command1_Click()
{
    const QString path = m_session.dataFolder.path(DataFolder::ReviewFile);
    QString error;
    if (!m_session.review.writeLimits(path, { m_text1->value(), m_text2->value() }, &error)) {
        m_platform.message(Review::Title,
            QStringLiteral("Non riesco a scrivere i limiti in %1:\r\n%2").arg(path, error),
            Platform::Buttons::Ok, Platform::Icon::Stop);
        return;
    }
    accept();
}
