#include "BackgroundSelect.h"

CBackgroundSelect::CBackgroundSelect(QWidget* parent)
    : CPictureSelect(parent, std::make_unique<CBackground>(), 391, tr("Select Background"), false)
{
}
