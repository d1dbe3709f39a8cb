// The icons of the kinds of element and variable that the Data Entry Order
// and Data Tree dialogs show beside each name: 16 pixels, one per element
// type code (0..10) and variable type code (11..17).
#pragma once

#include <QIcon>

// The icon of a kind; an empty icon for a code outside 0..17.
QIcon NodeKindIcon(int kind);
