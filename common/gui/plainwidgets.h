#pragma once

#include <QString>

class QLabel;
class QWidget;

// Labels and tooltips that may show a path or a file's text show it as it is:
// Qt reads a text that looks like markup as markup (a picture tag in a file's
// name would make it load that picture), so every such text goes through here.
namespace PlainText {

// A label that shows its text as it is.
QLabel *label(QWidget *parent, const QString &text = QString());

// The tooltip that Qt shows reading as `text` does: a text Qt would take for
// markup is escaped, line breaks kept.
QString toolTip(const QString &text);

// Gives `widget` `text` as its tooltip, shown as it is, and as what a screen
// reader says of it.
void setToolTip(QWidget *widget, const QString &text);

} // namespace PlainText
