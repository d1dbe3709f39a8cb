// Plain value types shared by every layer: fixed-width integers, colours,
// points, sizes and rectangles in the design's integer units.
#pragma once

#include <algorithm>
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using BOOL = int;
using COLORREF = std::uint32_t; // 0x00BBGGRR

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

constexpr COLORREF MakeRGB(int r, int g, int b)
{
    return COLORREF(BYTE(r)) | (COLORREF(BYTE(g)) << 8) | (COLORREF(BYTE(b)) << 16);
}
constexpr int GetRValue(COLORREF c)
{
    return int(c & 0xFF);
}
constexpr int GetGValue(COLORREF c)
{
    return int((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c)
{
    return int((c >> 16) & 0xFF);
}

struct CPoint
{
    int x = 0;
    int y = 0;

    constexpr CPoint() = default;
    constexpr CPoint(int x_, int y_) : x(x_), y(y_) {}
    constexpr bool operator==(const CPoint&) const = default;
    constexpr CPoint operator+(const CPoint& o) const { return {x + o.x, y + o.y}; }
    constexpr CPoint operator-(const CPoint& o) const { return {x - o.x, y - o.y}; }
};

struct CSize
{
    int cx = 0;
    int cy = 0;

    constexpr CSize() = default;
    constexpr CSize(int cx_, int cy_) : cx(cx_), cy(cy_) {}
    constexpr bool operator==(const CSize&) const = default;
};

// A rectangle whose right and bottom edges lie just outside it: a point is
// inside when left <= x < right and top <= y < bottom.
struct CRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    constexpr CRect(CPoint tl, CPoint br) : left(tl.x), top(tl.y), right(br.x), bottom(br.y) {}
    constexpr bool operator==(const CRect&) const = default;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr CPoint TopLeft() const { return {left, top}; }
    constexpr CPoint BottomRight() const { return {right, bottom}; }
    constexpr CPoint CenterPoint() const { return {(left + right) / 2, (top + bottom) / 2}; }
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr bool IsNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    constexpr bool PtInRect(CPoint p) const
    {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    constexpr void SetRect(int l, int t, int r, int b)
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    constexpr void SetRectEmpty() { left = top = right = bottom = 0; }
    constexpr void OffsetRect(int dx, int dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    // Grows the rectangle by the given amounts on each side.
    constexpr void InflateRect(int l, int t, int r, int b)
    {
        left -= l;
        top -= t;
        right += r;
        bottom += b;
    }
    constexpr void NormalizeRect()
    {
        if (left > right)
            std::swap(left, right);
        if (top > bottom)
            std::swap(top, bottom);
    }
    // Intersection; empty (all zero) when the two do not overlap.
    static constexpr CRect Intersect(const CRect& a, const CRect& b)
    {
        CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom));
        if (r.IsEmpty())
            return CRect();
        return r;
    }
    // Union of two rectangles; an empty operand is ignored.
    static constexpr CRect Union(const CRect& a, const CRect& b)
    {
        if (a.IsEmpty())
            return b;
        if (b.IsEmpty())
            return a;
        return CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                     std::max(a.bottom, b.bottom));
    }
    constexpr bool Intersects(const CRect& o) const { return !Intersect(*this, o).IsEmpty(); }
};

// Button codes returned by message boxes, and the style flags they take.
enum : int
{
    IDOK = 1,
    IDCANCEL = 2,
    IDABORT = 3,
    IDRETRY = 4,
    IDIGNORE = 5,
    IDYES = 6,
    IDNO = 7,
};

enum : unsigned
{
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_TYPEMASK = 0xF,
    MB_ICONHAND = 0x10,
    MB_ICONERROR = 0x10,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONWARNING = 0x30,
    MB_ICONASTERISK = 0x40,
    MB_ICONINFORMATION = 0x40,
    MB_ICONMASK = 0xF0,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
};
