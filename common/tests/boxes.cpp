#include "boxes.h"

#include "looks.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace Boxes {

Seen answer(const std::function<Messages::Answer()> &open, const Way &way)
{
    Seen seen;
    QTimer user; // gone with the call, so that it never answers a later box
    user.setSingleShot(true);
    QObject::connect(&user, &QTimer::timeout, &user, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        (void)QTest::qWaitForWindowActive(box); // a box not made active shows in its focus line
        QList<QAbstractButton *> buttons = box->buttons();
        buttons.removeIf([](QAbstractButton *button) { return !button->isVisible(); });
        std::ranges::sort(buttons, {}, &QWidget::x);
        QAbstractButton *pressed = nullptr;
        for (QAbstractButton *button : buttons)
            if ((seen.buttons << button->text().remove(u'&')).last() == way)
                pressed = button;
        const auto *label = box->findChild<QLabel *>("qt_msgbox_label");
        seen.title = box->windowTitle();
        seen.text = label ? label->text() : QString();
        seen.plain = label && label->textFormat() == Qt::PlainText;
        seen.icon = box->icon();
        seen.picture = box->grab().toImage();
        seen.state = Looks::windowState(box);
        if (way == "Escape")
            QTest::keyClick(box, Qt::Key_Escape);
        else if (way == "close")
            box->close();
        else if (pressed)
            pressed->click();
        if ((seen.leftOpen = box->isVisible()))
            box->done(-1);
    });
    user.start(0);
    seen.answer = open();
    return seen;
}

} // namespace Boxes
