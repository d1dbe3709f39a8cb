// The pens and brushes that framed and filled shapes are drawn with:
// selection handles, the rulers' frame, colour swatches. Pens and brushes
// are values of our device-context layer, so making one cannot run out of
// a resource; the failure rule (message 63001 "Unable to allocate
// resource", FALSE, the caller draws without it) is kept so that callers
// are written as they would be for a system where creation can fail.
#pragma once

#include "DC.h"
#include "Types.h"

#include <exception>
#include <functional>

// What creating a drawing object throws when the platform cannot give one.
class CResourceException : public std::exception
{
public:
    const char* what() const noexcept override { return "resource exception"; }
};

// An inside-frame pen (grows inward from a rectangle) of the given width in
// logical units and colour. TRUE once the pen is set; on a resource
// exception message 63001 is shown and FALSE returned, the pen untouched.
BOOL CreateFramePen(CPen& pen, int width, COLORREF colour);

// A solid brush of the colour; the same rule as CreateFramePen.
BOOL CreateFillBrush(CBrush& brush, COLORREF colour);

namespace pen_brush_detail {
// Called before each creation; tests make it throw to follow the failure
// path. Unset in the program.
extern std::function<void()> beforeCreate;
} // namespace pen_brush_detail
