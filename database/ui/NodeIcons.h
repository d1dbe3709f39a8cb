// The icons of the kinds of element and variable that the Data Entry Order
// and Data Tree dialogs show beside each name: 16 pixels, one per element
// type code (0..10) and variable type code (11..17); and the drawn pictures
// of the database dialogs' small buttons.
#pragma once

#include <QIcon>

#include <functional>

class QColor;
class QPainter;

// The icon of a kind; an empty icon for a code outside 0..17.
QIcon NodeKindIcon(int kind);

// A 16-pixel button picture: draw paints it on a clear ground, smoothed, with
// no outline and the dialogs' dark ink (also handed to it) as the fill.
QIcon DrawnButtonIcon(const std::function<void(QPainter& p, const QColor& ink)>& draw);
