#include "ImageSelect.h"

CImageSelect::CImageSelect(QWidget* parent)
    : CPictureSelect(parent, std::make_unique<CImage>(), 140, tr("Select Picture"), true)
{
}
