// Free helpers used all over the program: text escaping for the template
// text export, line-break conversions for multi-line edit fields, unit
// conversions for display, rotation of points and rectangles, locale texts
// and conversions between a view's logical and device units.
#pragma once

#include "Types.h"

#include <QString>

class CViewSeam;

// Text ------------------------------------------------------------------

// '>', '<', '&' and '"' as entities; every run of CR and LF characters, in
// any mix, as one "<br>". Values written in double quotes by the text
// export pass through this.
QString HtmlEscape(const QString& text);

// "#RRGGBB" in upper-case hexadecimal.
QString ColourToHtml(COLORREF colour);

// Puts a CR before every LF (also before one that already follows a CR),
// for text going into a multi-line edit field.
QString ExpandLineBreaks(const QString& text);

// Turns each LF, VT, FF or CR into one LF; a second such character right
// after it is dropped, so a CR LF pair gives one LF and two pairs give two.
QString NormalizeLineBreaks(const QString& text);

// Locale items, numbered as stored locale item numbers are.
enum LocaleItem : int
{
    LOCALE_SDECIMAL = 14,
    LOCALE_STHOUSAND = 15,
    LOCALE_SCURRENCY = 20,
    LOCALE_SMONDECIMALSEP = 22,
    LOCALE_SMONTHOUSANDSEP = 23,
    LOCALE_ICURRENCY = 27,     // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    LOCALE_SSHORTDATE = 31,    // in QDateTime format notation
    LOCALE_STIMEFORMAT = 4099, // in QDateTime format notation
};

// One item of the system locale as text; empty for an unknown item or one
// the locale does not give. The monetary separators are the C library's
// (localeconv), never the numeric ones; a locale without a monetary decimal
// point (C, POSIX) gives ".".
QString GetLocaleString(int item);

// Units -----------------------------------------------------------------

// Millimetres to inches with two decimals, in place; the rounding adds
// 0.005 and truncates toward zero (-1.0 mm gives -0.03).
void MmToInches(double& value);

// Inches to millimetres with one decimal, in place; adds 0.05 and truncates
// toward zero.
void InchesToMm(double& value);

// Rotation --------------------------------------------------------------
// Angles in whole degrees are converted with the 12-digit value of pi, and
// angles above pi are taken as negative. Rotated offsets are rounded half
// away from zero, so repeated turns never creep.

// Turns the point in place about (cx, cy).
void RotatePoint(CPoint& point, int cx, int cy, int degrees);
void RotatePointRadians(CPoint& point, int cx, int cy, double radians);

// The rectangle from (left, top) to (right, bottom) turned about its first
// corner: out[0] the first corner, out[1] the end of the turned top edge,
// out[2] the opposite corner, out[3] the end of the turned left edge.
void RotateRectCorners(int left, int top, int right, int bottom, CPoint out[4], int degrees);

// View coordinates ------------------------------------------------------
// A null view leaves the value unchanged.

CPoint WindowLPtoDP(CViewSeam* view, CPoint point);
CPoint WindowDPtoLP(CViewSeam* view, CPoint point);
// Distances and sizes: the scale only, without the view's origin.
CSize WindowLPtoDPSize(CViewSeam* view, CSize size);
CSize WindowDPtoLPSize(CViewSeam* view, CSize size);
// The device rectangle of two logical points, widened by 1 on the left and
// top and by 2 on the right and bottom, for repainting an element's area.
// A null view gives the logical rectangle as it is.
CRect WindowLPtoDPRect(CViewSeam* view, CPoint topLeft, CPoint bottomRight);
