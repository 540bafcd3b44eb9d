#include "ItalianDrillWindow.h"

ItalianDrillWindow::ItalianDrillWindow(
    Session &session, Platform &platform, QWidget *parent, std::unique_ptr<Review::Round> review)
    : DrillWindow(session, platform, Direction::ItalianToEnglish, QStringLiteral(":/inglese/bandiera_gb.svg"),
        Placement {
            .Label2 = { 720, 2085, 7560, 255 },
            .Textin = { 255, 2505, 8220, 480 },
            .Label3 = { 705, 720, 7560, 255 },
            .Textit = { 240, 1035, 8235, 480 },
            .Lablez = { 240, 1695, 1500, 315 },
            .aiuto = { 210, 4920, 8400, 480 },
        },
        parent, std::move(review))
{
    setObjectName(QStringLiteral("Form3"));
}
