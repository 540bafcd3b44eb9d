#include "EnglishDrillWindow.h"

EnglishDrillWindow::EnglishDrillWindow(
    Session &session, Platform &platform, QWidget *parent, std::unique_ptr<Review::Round> review)
    : DrillWindow(session, platform, Direction::EnglishToItalian,
        QStringLiteral(":/inglese/bandiera_italia.svg"),
        Placement {
            .Label2 = { 195, 690, 8415, 255 },
            .Textin = { 225, 1005, 8415, 435 },
            .Label3 = { 195, 2085, 8415, 255 },
            .Textit = { 195, 2520, 8415, 480 },
            .Lablez = { 210, 1620, 1500, 315 },
            .aiuto = { 195, 4905, 8415, 435 },
        },
        parent, std::move(review))
{
    setObjectName(QStringLiteral("Form2"));
}
