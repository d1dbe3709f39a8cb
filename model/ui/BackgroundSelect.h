// "Select Background": the picture file dialog for the background picture
// of a paper stock, previewed by a background picture element.
#pragma once

#include "PictureSelect.h"

class CBackgroundSelect : public CPictureSelect
{
    Q_OBJECT

public:
    explicit CBackgroundSelect(QWidget* parent = nullptr);

    // Asks for a background picture file; empty when cancelled.
    static QString Choose(QWidget* parent) { return Ask<CBackgroundSelect>(parent, true); }
};
