#pragma once

#include <QDialog>

class Platform;
struct Session;
class QSpinBox;

// "   RIPASSO": the daily limits of the review, kept in ripasso.tsv with the
// words' memories. OK writes them; "Annulla" leaves the file as it was.
class ReviewLimitsWindow : public QDialog
{
    Q_OBJECT

public:
    ReviewLimitsWindow(Session &session, Platform &platform, QWidget *parent = nullptr);

    void Command1_Click(); // OK

private:
    Session &m_session;
    Platform &m_platform;
    QSpinBox *m_text1; // words a day
    QSpinBox *m_text2; // new words a day
};
