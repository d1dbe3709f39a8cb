#include "PenBrush.h"

#include "Messages.h"

namespace pen_brush_detail {
std::function<void()> beforeCreate;
} // namespace pen_brush_detail

namespace {

template <class Make> BOOL CreateOrReport(Make make)
{
    try {
        if (pen_brush_detail::beforeCreate)
            pen_brush_detail::beforeCreate();
        make();
        return TRUE;
    } catch (const CResourceException&) {
        AppMessageBoxId(IDS_UNABLE_TO_ALLOCATE_RESOURCE, MB_OK, 0);
        return FALSE;
    }
}

} // namespace

BOOL CreateFramePen(CPen& pen, int width, COLORREF colour)
{
    return CreateOrReport([&] { pen = CPen(PS_INSIDEFRAME, width, colour); });
}

BOOL CreateFillBrush(CBrush& brush, COLORREF colour)
{
    return CreateOrReport([&] { brush = CBrush::Solid(colour); });
}
