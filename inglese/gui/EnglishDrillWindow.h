#pragma once

#include "DrillWindow.h"

// The drill from English: the English word is shown, the Italian one typed.
class EnglishDrillWindow : public DrillWindow
{
    Q_OBJECT

public:
    EnglishDrillWindow(Session &session, Platform &platform, QWidget *parent = nullptr,
        std::unique_ptr<Review::Round> review = nullptr);
};
