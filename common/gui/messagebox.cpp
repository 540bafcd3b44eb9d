#include "messagebox.h"

#include "plaintext.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

namespace {
// Room in a title bar besides the title: icon and window buttons.
constexpr int TitleBarExtra = 120;

QMessageBox::StandardButtons standardButtons(Messages::Buttons buttons)
{
    switch (buttons) {
    case Messages::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Messages::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Messages::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Messages::Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon boxIcon(Messages::Icon icon)
{
    switch (icon) {
    case Messages::Icon::Information:
        return QMessageBox::Information;
    case Messages::Icon::Stop:
        return QMessageBox::Critical;
    case Messages::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

Messages::Answer messageBox(QWidget *parent, const QString &title, const QString &text,
    Messages::Buttons buttons, Messages::Icon icon)
{
    QMessageBox box(parent);
    const QString shownTitle = PlainText::fit(title, 1);
    box.setWindowTitle(shownTitle);
    box.setTextFormat(Qt::PlainText);
    box.setText(PlainText::fit(text));
    box.setIcon(boxIcon(icon));
    box.setStandardButtons(standardButtons(buttons));
    // Escape and the close button press Cancel, in a Yes/No box a hidden one:
    // Qt would take No for them, and No may throw the user's work away.
    if (buttons != Messages::Buttons::Ok) {
        QAbstractButton *cancel = box.button(QMessageBox::Cancel);
        if (!cancel) {
            cancel = box.addButton(QMessageBox::Cancel);
            cancel->hide();
        }
        box.setEscapeButton(cancel);
    }
    // The box is sized after its text; a spacer as wide as the title (and the
    // title bar's buttons) keeps the title whole.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
        // A quarter more for a title bar font larger or bolder than the box's.
        const int width = box.fontMetrics().horizontalAdvance(shownTitle) * 5 / 4 + TitleBarExtra;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(),
            0, 1, grid->columnCount());
    }
    box.exec();
    const QAbstractButton *clicked = box.clickedButton();
    if (clicked && clicked == box.button(QMessageBox::Yes))
        return Messages::Answer::Yes;
    if (clicked && clicked == box.button(QMessageBox::No))
        return Messages::Answer::No;
    if (buttons == Messages::Buttons::Ok || (clicked && clicked == box.button(QMessageBox::Ok)))
        return Messages::Answer::Ok;
    return Messages::Answer::Cancel;
}
