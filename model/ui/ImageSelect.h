// "Select Picture": the picture file dialog of picture elements, picture
// data-entry fields and the picture pane.
#pragma once

#include "PictureSelect.h"

class CImageSelect : public CPictureSelect
{
    Q_OBJECT

public:
    explicit CImageSelect(QWidget* parent = nullptr);

    // Asks for a picture file; empty when cancelled.
    static QString Choose(QWidget* parent) { return Ask<CImageSelect>(parent, false); }
};
