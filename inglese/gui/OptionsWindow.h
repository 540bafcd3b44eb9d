#pragma once

#include "lessons.h"
#include "optionschoice.h"

#include <QDialog>
#include <QFont>
#include <QList>
#include <QStringList>
#include <QWidget>

#include <array>

class Platform;
struct Session;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// A box that text is printed into, line after line, each line in the font
// that was current when it was printed.
class PrintBox : public QWidget
{
    Q_OBJECT

public:
    explicit PrintBox(QWidget *parent = nullptr);

    // Prints `text` (lines separated by CR LF) and ends it with a line break.
    void print(const QString &text, const QFont &font, Qt::Alignment alignment = Qt::AlignLeft);
    QStringList lines() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Line
    {
        QString text;
        QFont font;
        Qt::Alignment alignment;
    };
    QList<Line> m_lines;
};

// "   OPZIONI": the order in which the drills ask the words and the lessons
// they draw from; with the choice controls hidden it shows the rules of the
// drill. Closing it by any route commits the choices once.
class OptionsWindow : public QDialog
{
    Q_OBJECT

public:
    OptionsWindow(Session &session, Platform &platform, QWidget *parent = nullptr);

    // Turns the window into the rules view: only the rules and the button
    // that closes them stay.
    void showRules();

    // The four blocks of the rules, one string per line.
    static QList<QStringList> rulesBlocks();

public slots:
    void reject() override;

protected:
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void buildOrderButtons();
    void buildLessonBoxes();
    void buildCommands();
    void applyOptions();
    void showChoice();
    void printRules();

    Session &m_session;
    Platform &m_platform;
    OptionsChoice m_choice;

    QLabel *m_label6;
    QGroupBox *m_frame1;
    QGroupBox *m_frame2;
    std::array<QRadioButton *, 4> m_option {};
    PerLesson<QCheckBox *> m_ckles {};
    PrintBox *m_peri;
    QPushButton *m_command1;
    QPushButton *m_command2;

    bool m_applying = false; // a message box shown while applying must not apply again
    bool m_closed = false;
    bool m_wasActive = false;
};
