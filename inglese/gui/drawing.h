#pragma once

#include <QFont>
#include <QPixmap>
#include <QSize>
#include <QString>

// The fonts and pictures of the windows, made one way for all of them.
namespace Drawing {

QFont font(const QString &family, qreal points, bool bold = false);

// The SVG picture `file` drawn over `size` logical pixels, sharp on a screen
// of the given pixel ratio; transparent where the file cannot be read.
QPixmap svg(const QString &file, QSize size, qreal ratio);

} // namespace Drawing
