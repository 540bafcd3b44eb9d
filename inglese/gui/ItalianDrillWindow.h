#pragma once

#include "DrillWindow.h"

// The drill from Italian: the Italian word is shown, the English one typed.
class ItalianDrillWindow : public DrillWindow
{
    Q_OBJECT

public:
    ItalianDrillWindow(Session &session, Platform &platform, QWidget *parent = nullptr,
        std::unique_ptr<Review::Round> review = nullptr);
};
