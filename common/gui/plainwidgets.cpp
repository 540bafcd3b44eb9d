#include "plainwidgets.h"

#include <QLabel>
#include <QTextDocument>

namespace PlainText {

QLabel *label(QWidget *parent, const QString &text)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

QString toolTip(const QString &text)
{
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpacePre) : text;
}

void setToolTip(QWidget *widget, const QString &text)
{
    widget->setToolTip(toolTip(text));
    widget->setAccessibleDescription(text);
}

} // namespace PlainText
