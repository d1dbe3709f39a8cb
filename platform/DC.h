// The device context every element draws through: one drawing path for the
// canvas (a widget's QPainter), the print preview, the printer and the test
// images. It keeps the conventions the drawing code was written for:
//
// - Logical coordinates are integers (tenths of a millimetre once
//   SetTenthsMmMapping is called), y down. Logical to device:
//     device = RoundHalfAway((logical - windowOrg) * viewportExt / windowExt)
//              + viewportOrg
//   and the inverse for device to logical. The default mapping is one
//   logical unit per device pixel.
// - Device pixel i covers [i, i + 1). Filled rectangles cover left..right-1
//   and top..bottom-1; Rectangle, RoundRect and Ellipse (outline and fill
//   together) stay within the same pixels when the pen is one pixel wide or
//   inside-frame. Inside-frame pens grow inward from the figure's rectangle;
//   other wide pens are centred on the one-pixel outline. Cosmetic lines (device width 1) leave out
//   their last pixel. Polygons fill with the alternate (even-odd) rule unless set otherwise.
// - Colours are COLORREF (0x00BBGGRR), converted when painting.
// - Text is placed by the top-left of its character cell unless the text
//   alignment says otherwise; the background mode is transparent by default;
//   font escapement is counter-clockwise tenths of a degree about the
//   reference point. Font heights above 0 are cell heights (the face's Windows
//   ascent plus descent), below 0 em heights. Advances are the face's own
//   unhinted design advances, without kerning, so a text measures the same in
//   logical units on every device.
//
// A CDC without a painter does all the mapping and measuring and ignores the
// drawing calls.
#pragma once

#include "LogFontFields.h"
#include "Types.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QRegion>
#include <QString>

#include <optional>
#include <span>
#include <vector>

class QPainterPath;

// Pen styles.
enum : int
{
    PS_SOLID = 0,
    PS_DASH = 1,
    PS_DOT = 2,
    PS_DASHDOT = 3,
    PS_DASHDOTDOT = 4,
    PS_NULL = 5,
    PS_INSIDEFRAME = 6,
};

// Brush styles and hatch kinds.
enum : int
{
    BS_SOLID = 0,
    BS_NULL = 1,
    BS_HOLLOW = BS_NULL,
    BS_HATCHED = 2,
};
enum : int
{
    HS_HORIZONTAL = 0, // -----
    HS_VERTICAL = 1,   // |||||
    HS_FDIAGONAL = 2,  // \\\\\ (top left to bottom right)
    HS_BDIAGONAL = 3,  // ///// (bottom left to top right)
    HS_CROSS = 4,      // +++++
    HS_DIAGCROSS = 5,  // xxxxx
};

// Background modes, polygon fill modes and raster operations.
enum : int
{
    TRANSPARENT = 1,
    OPAQUE = 2,
};
enum : int
{
    ALTERNATE = 1,
    WINDING = 2,
};
enum : int
{
    R2_NOT = 6,
    R2_XORPEN = 7,
    R2_NOTXORPEN = 10,
    R2_COPYPEN = 13,
};

// Text alignment: one horizontal and one vertical choice, optionally with
// TA_UPDATECP (text starts at and advances the current position).
enum : unsigned
{
    TA_NOUPDATECP = 0,
    TA_UPDATECP = 1,
    TA_LEFT = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
};

// ExtTextOut options.
enum : unsigned
{
    ETO_OPAQUE = 2,  // fill the given rectangle with the background colour first
    ETO_CLIPPED = 4, // clip the text to the given rectangle
};

// A pen as a value. Width is in logical units; 0 is one device pixel.
class CPen
{
public:
    int style = PS_SOLID;
    int width = 0;
    COLORREF color = 0;

    constexpr CPen() = default;
    constexpr CPen(int style_, int width_, COLORREF color_)
        : style(style_), width(width_), color(color_)
    {
    }
    static constexpr CPen Null() { return CPen(PS_NULL, 0, 0); }
    constexpr bool IsNull() const { return style == PS_NULL; }
    constexpr bool operator==(const CPen&) const = default;
};

// A brush as a value: solid, hollow or hatched.
class CBrush
{
public:
    int style = BS_SOLID;
    COLORREF color = MakeRGB(255, 255, 255);
    int hatch = HS_HORIZONTAL;

    constexpr CBrush() = default;
    constexpr explicit CBrush(COLORREF color_) : color(color_) {}
    static constexpr CBrush Solid(COLORREF color) { return CBrush(color); }
    static constexpr CBrush Null()
    {
        CBrush b;
        b.style = BS_NULL;
        return b;
    }
    static constexpr CBrush Hatched(int hatchKind, COLORREF color)
    {
        CBrush b(color);
        b.style = BS_HATCHED;
        b.hatch = hatchKind;
        return b;
    }
    constexpr bool IsNull() const { return style == BS_NULL; }
    constexpr bool operator==(const CBrush&) const = default;
};

// Metrics of the selected font in logical units. Height is ascent plus
// descent; internal leading is height minus the em height.
struct CTextMetrics
{
    int tmHeight = 0;
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    int tmWeight = 0;
    bool tmItalic = false;
    bool tmUnderlined = false;
    bool tmStruckOut = false;
};

class CDC
{
public:
    // Draws with the painter (which may be null for a measuring-only context).
    // The painter's state is saved here and restored when the context goes.
    // The device resolution comes from the painter's device: its physical
    // resolution when printing, else its logical one.
    explicit CDC(QPainter* painter = nullptr, bool printing = false);
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // The painter itself, for drawing the layer has no call for; whoever
    // takes it may change its clip, so the next clip is set afresh.
    QPainter* GetPainter() const
    {
        m_clipApplied = false;
        return m_painter;
    }
    bool IsPrinting() const { return m_printing; }

    // The faces a context has read (each font's metrics and glyphs). A window
    // that makes a context for every picture it draws takes them from one
    // and gives them to the next, so that a face is read once, not once a
    // picture. They belong to the thread that read them.
    class Faces;
    Faces TakeFaces();
    void GiveFaces(Faces&& faces);

    // --- device -------------------------------------------------------------
    double GetDeviceDpiX() const { return m_dpiX; }
    double GetDeviceDpiY() const { return m_dpiY; }
    CSize GetDeviceSizePx() const { return m_deviceSize; }
    // Overrides what the device reports (or supplies it when there is none).
    void SetDeviceCaps(double dpiX, double dpiY, CSize sizePx);

    // --- mapping ------------------------------------------------------------
    CPoint SetWindowOrg(int x, int y);
    CPoint SetWindowOrg(CPoint p) { return SetWindowOrg(p.x, p.y); }
    CPoint OffsetWindowOrg(int dx, int dy);
    CPoint GetWindowOrg() const { return m_state.windowOrg; }
    // Extents with a zero component are ignored.
    CSize SetWindowExt(int cx, int cy);
    CSize SetWindowExt(CSize s) { return SetWindowExt(s.cx, s.cy); }
    CSize GetWindowExt() const { return m_state.windowExt; }
    CPoint SetViewportOrg(int x, int y);
    CPoint SetViewportOrg(CPoint p) { return SetViewportOrg(p.x, p.y); }
    CPoint OffsetViewportOrg(int dx, int dy);
    CPoint GetViewportOrg() const { return m_state.viewportOrg; }
    CSize SetViewportExt(int cx, int cy);
    CSize SetViewportExt(CSize s) { return SetViewportExt(s.cx, s.cy); }
    CSize GetViewportExt() const { return m_state.viewportExt; }

    // Tenths of a millimetre at the given resolution (254 logical units per
    // inch), or at the device's own. Origins are left as they are.
    void SetTenthsMmMapping(double dpiX, double dpiY);
    void SetTenthsMmMapping() { SetTenthsMmMapping(m_dpiX, m_dpiY); }

    CPoint LPtoDP(CPoint p) const;
    CRect LPtoDP(const CRect& r) const; // maps both corners, no normalising
    CSize LPtoDP(CSize s) const;        // scales only, keeps signs
    CPoint DPtoLP(CPoint p) const;
    CRect DPtoLP(const CRect& r) const;
    CSize DPtoLP(CSize s) const;
    // Unrounded mapping for callers that position things finer than a pixel.
    QPointF LPtoDPF(double x, double y) const;
    double DeviceUnitsPerLogicalX() const;
    double DeviceUnitsPerLogicalY() const;

    // --- state --------------------------------------------------------------
    // Saves the whole state (mapping, objects, colours, modes, clip, current
    // position) and returns its level, 1 for the first save.
    int SaveDC();
    // Restores the state saved at a level (> 0) or that many levels back
    // (< 0, -1 being the last save), dropping every later save.
    bool RestoreDC(int saved);

    CPen SelectPen(const CPen& pen);
    CBrush SelectBrush(const CBrush& brush);
    LogFontFields SelectFont(const LogFontFields& font);
    const CPen& GetCurrentPen() const { return m_state.pen; }
    const CBrush& GetCurrentBrush() const { return m_state.brush; }
    const LogFontFields& GetCurrentFont() const { return m_state.font; }

    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const { return m_state.textColor; }
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const { return m_state.bkColor; }
    int SetBkMode(int mode);
    int GetBkMode() const { return m_state.bkMode; }
    unsigned SetTextAlign(unsigned align);
    unsigned GetTextAlign() const { return m_state.textAlign; }
    int SetPolyFillMode(int mode);
    int GetPolyFillMode() const { return m_state.polyFillMode; }
    // R2_COPYPEN, R2_NOT, R2_XORPEN or R2_NOTXORPEN. The last three work on
    // raster devices only; elsewhere drawing is plain.
    int SetROP2(int rop);
    int GetROP2() const { return m_state.rop2; }

    // Figures are aliased unless asked; text is smoothed unless asked;
    // stretched pictures are sampled by nearest pixel unless asked.
    void SetAntialiasing(bool on) { m_state.antialias = on; }
    bool GetAntialiasing() const { return m_state.antialias; }
    void SetTextAntialiasing(bool on) { m_state.textAntialias = on; }
    void SetSmoothImages(bool on) { m_state.smoothImages = on; }

    // --- figures ------------------------------------------------------------
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(CPoint p) { return MoveTo(p.x, p.y); }
    void LineTo(int x, int y);
    void LineTo(CPoint p) { LineTo(p.x, p.y); }
    CPoint GetCurrentPosition() const { return m_state.currentPos; }
    void Polyline(std::span<const CPoint> points);
    void Polyline(const CPoint* points, int count) { Polyline({points, size_t(count)}); }
    void Polygon(std::span<const CPoint> points);
    void Polygon(const CPoint* points, int count) { Polygon({points, size_t(count)}); }
    void Rectangle(int l, int t, int r, int b);
    void Rectangle(const CRect& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
    // width and height are the diameters of the corner ellipse.
    void RoundRect(int l, int t, int r, int b, int width, int height);
    void RoundRect(const CRect& r, CPoint corner)
    {
        RoundRect(r.left, r.top, r.right, r.bottom, corner.x, corner.y);
    }
    void Ellipse(int l, int t, int r, int b);
    void Ellipse(const CRect& r) { Ellipse(r.left, r.top, r.right, r.bottom); }
    // Parts of the ellipse in the rectangle, counter-clockwise from the
    // radial through start to the radial through end (a whole turn when the
    // two radials coincide).
    void Arc(const CRect& r, CPoint start, CPoint end);
    void Pie(const CRect& r, CPoint start, CPoint end);
    void Chord(const CRect& r, CPoint start, CPoint end);

    void FillRect(const CRect& r, const CBrush& brush);
    void FillSolidRect(const CRect& r, COLORREF color);
    void FillSolidRect(int l, int t, int w, int h, COLORREF color)
    {
        FillSolidRect(CRect(l, t, l + w, t + h), color);
    }
    // A border one logical unit (at least one pixel) wide, inside the rect.
    void FrameRect(const CRect& r, const CBrush& brush);
    // Inverts the pixels (raster devices only).
    void InvertRect(const CRect& r);
    // A dotted frame drawn by inversion, so drawing it twice removes it
    // (raster devices only).
    void DrawFocusRect(const CRect& r);
    void SetPixel(int x, int y, COLORREF color);

    // --- text ---------------------------------------------------------------
    void TextOut(int x, int y, const QString& text);
    // dx, when given, holds the advance of each UTF-16 unit in logical units;
    // characters past its end take their natural advance. rect is used by
    // ETO_OPAQUE and ETO_CLIPPED and may be null otherwise.
    void ExtTextOut(int x, int y, unsigned options, const CRect* rect, const QString& text,
                    std::span<const int> dx = {});
    // Width of the text and height of the cell, in logical units.
    CSize GetTextExtent(const QString& text) const;
    // Natural advance of each UTF-16 unit in logical units (0 for the second
    // half of a surrogate pair).
    std::vector<double> GetCharAdvances(const QString& text) const;
    CTextMetrics GetTextMetrics() const;
    // The family the selected font resolved to.
    QString GetTextFace() const;
    // "Arial" -> "Liberation Sans" and the like; other names pass unchanged.
    static QString SubstituteFaceName(const QString& face);

    // --- clipping -----------------------------------------------------------
    void IntersectClipRect(const CRect& r);
    void IntersectClipRect(int l, int t, int r, int b) { IntersectClipRect(CRect(l, t, r, b)); }
    void ExcludeClipRect(const CRect& r);
    // Replaces the clip with the rectangle.
    void SelectClipRect(const CRect& r);
    // Removes the clip.
    void SelectClipNone();
    bool HasClip() const { return m_state.clip.has_value(); }
    // Smallest logical rectangle around the visible part of the device.
    CRect GetClipBox() const;
    bool RectVisible(const CRect& r) const;

    // --- pictures -----------------------------------------------------------
    // Stretches the image (or part of it) over the logical rectangle; a
    // mapping that reverses an axis mirrors the picture.
    //
    // A black-and-white 1-bit picture (a barcode's symbol, say) reaches
    // every device losslessly, never resampled into colour: runs of
    // identical rows go out as a white rectangle with the row's black runs
    // on it as rectangles on device pixels (a PDF gets vector bars), and a
    // picture with few repeated rows as a 1-bit image.
    void DrawImage(const QImage& image, const CRect& dest);
    void DrawImage(const QImage& image, const CRect& dest, const QRect& source);
    // Draws a picture made for a device of the given resolution (dots per
    // inch) at its own size, its top-left corner at the logical point: each
    // picture pixel covers the same whole number of device pixels when the
    // device's resolution is a whole multiple of the picture's, and the
    // corner is then snapped to the picture's own pixel grid, so that its
    // edges fall on the device's dots exactly.
    void DrawImageAt(const QImage& image, CPoint topLeft, double dpiX, double dpiY);

private:
    struct State
    {
        CPoint windowOrg{0, 0};
        CSize windowExt{1, 1};
        CPoint viewportOrg{0, 0};
        CSize viewportExt{1, 1};
        CPen pen;
        CBrush brush;
        LogFontFields font;
        COLORREF textColor = 0;
        COLORREF bkColor = MakeRGB(255, 255, 255);
        int bkMode = TRANSPARENT;
        unsigned textAlign = TA_TOP | TA_LEFT;
        int polyFillMode = ALTERNATE;
        int rop2 = R2_COPYPEN;
        CPoint currentPos;
        std::optional<QRegion> clip; // device pixels
        bool antialias = false;
        bool textAntialias = true;
        bool smoothImages = false;
    };

    // A face as selected: everything that does not depend on the mapping.
    struct Face
    {
        LogFontFields font;
        QRawFont design; // pixel size = units per em, so advances are font units
        QString family;
        double unitsPerEm = 1000;
        double emLog = 0; // em height in logical units
        double ascentLog = 0;
        double descentLog = 0;
        double externalLeadingLog = 0;
        double aveCharWidthLog = 0;
        double maxCharWidthLog = 0;
        double stretchX = 1; // from lfWidth
        // Decoration strokes: the underline's top below the baseline, the
        // strike-out's top above it, and their thicknesses.
        double underlineTopLog = 0;
        double underlineSizeLog = 0;
        double strikeOutTopLog = 0;
        double strikeOutSizeLog = 0;
        // Glyph and design advance (font units) of each character drawn or
        // measured so far: read from the font once per face and size.
        struct GlyphMetric
        {
            quint32 index = 0;
            double advance = 0;
        };
        mutable QHash<char16_t, GlyphMetric> glyphs;
        // The face at the pixel size it was last drawn at.
        mutable QRawFont sized;
        mutable double sizedPixels = -1;
    };

public:
    class Faces
    {
        friend class CDC;
        std::vector<Face> list;
    };

private:
    struct Stroke
    {
        bool visible = false;
        bool cosmetic = true;
        bool insideFrame = false;
        int width = 1; // device pixels
    };

    struct Glyphs
    {
        QList<quint32> indexes;
        std::vector<double> advancesLog; // per UTF-16 unit
        std::vector<int> unitOfGlyph;    // first UTF-16 unit of each glyph
    };

    const Face& CurrentFace() const;
    QRawFont GlyphFont(const Face& face, double pixelSize) const;
    Glyphs Shape(const Face& face, const QString& text) const;
    void DrawText(QPointF refDevice, const QString& text, std::span<const int> dx, bool updateCp);

    bool Prepare();
    void ApplyClip();
    QRect DeviceRect(int l, int t, int r, int b) const; // normalised
    Stroke CurrentStroke() const;
    QPen MakeQPen(const Stroke& s, COLORREF color, bool styled, Qt::PenJoinStyle join) const;
    void StrokeAreaPath(const QPainterPath& areaPath, const Stroke& s, Qt::PenJoinStyle join,
                        bool curved);
    void FillDeviceRect(const QRect& r, const CBrush& brush);
    void FillDevicePath(const QPainterPath& path, const CBrush& brush);
    template <typename MakeShape>
    void ClosedFigure(const QRect& box, MakeShape makeShape, bool curved, bool fillInside = true);
    enum class ArcKind
    {
        Arc,
        Pie,
        Chord
    };
    void ArcFigure(const CRect& r, CPoint start, CPoint end, ArcKind kind);
    void InvertPixels(const QRegion& region);
    // Paints the picture over the device rectangle (mirrored as asked), a
    // 1-bit one as 1-bit.
    void PaintImage(const QImage& image, const QRect& target, bool mirrorX, bool mirrorY);

    QPainter* m_painter = nullptr;
    bool m_printing = false;
    double m_dpiX = 96;
    double m_dpiY = 96;
    CSize m_deviceSize;
    std::optional<QRegion> m_baseClip; // the painter's own clip on arrival
    // The clip last given to the painter (none: clipping off), while
    // m_clipApplied holds; a clip the painter already has is not set again,
    // which a PDF would write out again.
    mutable bool m_clipApplied = false;
    std::optional<QRegion> m_appliedClip;
    State m_state;
    std::vector<State> m_saved;

    mutable std::vector<Face> m_faces; // small cache, most recent last
};

namespace dc_detail {
// Holds the image and its painter ahead of the CDC that draws on them.
struct ImageSurface
{
    QImage image;
    QPainter painter;
    ImageSurface(int widthPx, int heightPx, double dpiX, double dpiY);
};
} // namespace dc_detail

// A context drawing into its own white ARGB32 image of the given size in
// pixels and resolution, for tests and off-screen rendering.
class CImageDC : private dc_detail::ImageSurface, public CDC
{
public:
    CImageDC(int widthPx, int heightPx, double dpiX = 96, double dpiY = 96);
    ~CImageDC() override;

    const QImage& Image() const { return image; }
};
