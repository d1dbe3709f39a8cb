#include "Image.h"

#include "AppContext.h"
#include "DC.h"
#include "ElementDefaults.h"
#include "FileName.h"
#include "Helpers.h"
#include "Messages.h"
#include "SignApp.h"
#include "SignData.h"
#include "TextExport.h"
#include "WaitCursor.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdlib>

IMPLEMENT_PERSISTENT(CImage, CElement, 1)
IMPLEMENT_PERSISTENT(CBackground, CImage, 1)

namespace {

// Stored coordinates beyond this cannot come from a sign: the record is
// damaged.
constexpr int kMaxStoredCoordinate = 1 << 20;

// Hundredths of a degree per radian.
constexpr double kHundredthsPerRadian = 5729.577951307855;

int NormalisedAngle(long long angle)
{
    return int(((angle % 36000) + 36000) % 36000);
}

int Half(int v)
{
    // (v + 1) x 0.5 truncated toward zero.
    return int((v + 1) * 0.5);
}

CPoint SnapPoint(int x, int y)
{
    const CSnapSeam* snap = App().snap;
    return snap ? snap->SnapPoint(x, y) : CPoint(x, y);
}

int ReadCoordinate(CArchive& ar)
{
    const int v = ar.ReadInt();
    if (std::abs(qint64(v)) > kMaxStoredCoordinate)
        throw CArchiveException(CArchiveException::generic, "archive: picture point out of range");
    return v;
}

double PrinterDpi(bool horizontal)
{
    if (App().printerDC) {
        if (CDC* dc = App().printerDC()) {
            const double dpi = horizontal ? dc->GetDeviceDpiX() : dc->GetDeviceDpiY();
            if (dpi >= 1 && dpi <= 100000)
                return dpi;
        }
    }
    return 600.0;
}

} // namespace

CPictureHooks& PictureHooks()
{
    static CPictureHooks hooks;
    return hooks;
}

// --- construction ------------------------------------------------------------

CImage::CImage()
{
    const CImagePreferences& prefs = CImagePreferences::Current();
    m_maintainAspect = prefs.constrainStretching ? 1 : 0;
    m_fastPrint = prefs.fastPrint ? 1 : 0;
}

CImage::~CImage() = default;

CBackground::CBackground() = default;
CBackground::CBackground(const CImage& image) : CImage(image) {}
CBackground::~CBackground() = default;

CElement* CopyImageElement(const CElement& element)
{
    if (const auto* background = dynamic_cast<const CBackground*>(&element))
        return new CBackground(*background);
    if (const auto* image = dynamic_cast<const CImage*>(&element))
        return new CImage(*image);
    return nullptr;
}

// --- sizes -------------------------------------------------------------------

double CImage::PrinterDpiX()
{
    return PrinterDpi(true);
}

double CImage::PrinterDpiY()
{
    return PrinterDpi(false);
}

CSize CImage::NaturalSize() const
{
    if (!m_bitmap.IsAllocated())
        return CSize(0, 0);
    return CSize(int(m_bitmap.Width() * 254.0 / PrinterDpiX() + 0.5),
                 int(m_bitmap.Height() * 254.0 / PrinterDpiY() + 0.5));
}

CRect CImage::OrientedFromAnchor(int width, int height) const
{
    const int x = m_imageAnchor.x;
    const int y = m_imageAnchor.y;
    switch (Quarter()) {
    case 1:
        return CRect(x - width, y, x, y + height);
    case 2:
        return CRect(x - width, y - height, x, y);
    case 3:
        return CRect(x, y - height, x + width, y);
    default:
        return CRect(x, y, x + width, y + height);
    }
}

void CImage::ClampToSign()
{
    const auto& signSize = PictureHooks().signSize;
    if (!signSize)
        return;
    const CSize sign = signSize();
    const int W = sign.cx;
    const int H = sign.cy;
    CRect& r = m_pictureRect;
    if (r.right <= W && r.bottom <= H)
        return;
    const int width = r.Width();
    const int height = r.Height();
    // A rectangle without width or height has no aspect to keep.
    if (r.left <= W && r.top <= H && width > 0 && height > 0) {
        const double ratio = double(height) / width;
        int w = W - r.left;
        int h = int(w * ratio + 0.5);
        if (r.top + h > H) {
            h = H - r.top;
            w = int(h / ratio + 0.5);
        }
        r.right = r.left + w;
        r.bottom = r.top + h;
        return;
    }
    r.right = r.left + std::min(width, W);
    r.bottom = r.top + std::min(height, H);
}

CRect CImage::ConstrainedRect() const
{
    const CSize natural = NaturalSize();
    const int fw = m_frameRect.Width();
    const int fh = m_frameRect.Height();
    CRect r;
    switch (m_sizeConstraint) {
    case SIZING_STRETCH:
        r = m_frameRect;
        break;
    case SIZING_REDUCE_TO_FIT: {
        int w = natural.cx;
        int h = natural.cy;
        if (w > fw && w > 0) {
            h = int(double(h) * fw / w + 0.5);
            w = fw;
        }
        if (h > fh && h > 0) {
            w = int(double(w) * fh / h + 0.5);
            h = fh;
        }
        r = OrientedFromAnchor(w, h);
        break;
    }
    case SIZING_FIT_KEEP_ASPECT: {
        if (natural.cx <= 0 || natural.cy <= 0) {
            r = m_frameRect;
            break;
        }
        const double rw = double(fw) / natural.cx;
        const double rh = double(fh) / natural.cy;
        int w, h;
        if (rw >= rh) {
            h = fh;
            w = int(natural.cx * rh + 0.5);
        } else {
            w = fw;
            h = int(natural.cy * rw + 0.5);
        }
        r = OrientedFromAnchor(w, h);
        break;
    }
    default:
        r = OrientedFromAnchor(natural.cx, natural.cy);
        break;
    }
    if (m_horzJustify != 0 || m_vertJustify != 0) {
        const int w = r.Width();
        const int h = r.Height();
        int dx = m_horzJustify == 1 ? Half(fw - w) : m_horzJustify == 2 ? fw - w : 0;
        int dy = m_vertJustify == 1 ? Half(fh - h) : m_vertJustify == 2 ? fh - h : 0;
        const int q = Quarter();
        if (q == 1 || q == 2)
            dx = -dx;
        if (q == 2 || q == 3)
            dy = -dy;
        r.OffsetRect(dx, dy);
    }
    return r;
}

void CImage::FitInRect(CView* view, const CRect& rect)
{
    if (!m_bitmap.IsAllocated() || m_bitmap.Width() <= 0 || m_bitmap.Height() <= 0)
        return;
    Redraw(view, [this, rect] {
        const double ratio = double(m_bitmap.Height()) / m_bitmap.Width();
        int w = rect.Width();
        int h = int(w * ratio + 0.5);
        if (h > rect.Height()) {
            h = rect.Height();
            w = int(h / ratio);
        }
        const int left = rect.left + (rect.Width() - w) / 2;
        const int top = rect.top + (rect.Height() - h) / 2;
        m_pictureRect = CRect(left, top, left + w, top + h);
        m_imageAnchor = m_pictureRect.TopLeft();
    });
}

// --- loading and processing --------------------------------------------------

namespace {

// Pictures with fewer pixels than this are processed before a window could
// be seen: they show none.
constexpr qint64 kProgressPixels = 1'000'000;

// The progress window of one picture operation, stepped with the percentage
// the operation reports (through the program's progress step, which finds
// the window as the one shown); it cannot be cancelled. While a sign is
// loaded or saved its own window stays the one shown, and the operation
// steps nothing.
class CPictureProgress
{
public:
    CPictureProgress(int captionId, const CPictureBitmap& bitmap)
    {
        if (App().progress || !SignHooks().openProgress ||
            qint64(bitmap.Width()) * bitmap.Height() < kProgressPixels)
            return;
        m_window = SignHooks().openProgress(captionId, 100);
        if (!m_window)
            return;
        App().progress = m_window.get();
        if (const PictureStatusCallback& step = PictureHooks().stepProgress) {
            m_previous = CPictureBitmap::SetStatusCallback(step);
            m_stepping = true;
        }
    }
    ~CPictureProgress()
    {
        if (m_stepping)
            CPictureBitmap::SetStatusCallback(std::move(m_previous));
        if (m_window)
            App().progress = nullptr;
    }
    CPictureProgress(const CPictureProgress&) = delete;
    CPictureProgress& operator=(const CPictureProgress&) = delete;

private:
    std::unique_ptr<CProgressSeam> m_window;
    PictureStatusCallback m_previous;
    bool m_stepping = false;
};

// One step on a picture under the progress window of its caption.
template <class Step> int WithProgress(int captionId, const CPictureBitmap& bitmap, Step step)
{
    CPictureProgress progress(captionId, bitmap);
    return step();
}

} // namespace

BOOL CImage::Check(int result, const QString& path) const
{
    if (result == PICTURE_OK)
        return TRUE;
    ShowPictureError(result, path.isEmpty() ? m_filePath : path);
    return FALSE;
}

BOOL CImage::LoadFile(CView*, const QString& path)
{
    CWaitCursor wait;
    const int result = m_bitmap.Load(path);
    if (result != PICTURE_OK) {
        ShowPictureError(result, path);
        return FALSE;
    }
    m_filePath = path;
    return TRUE;
}

BOOL CImage::ResamplePicture(CView* view)
{
    CRect r = m_pictureRect;
    r.NormalizeRect();
    const int w = int(r.Width() * PrinterDpiX() / 254.0 + 0.5);
    const int h = int(r.Height() * PrinterDpiY() / 254.0 + 0.5);
    CWaitCursor wait;
    int result = PICTURE_OK;
    {
        CPictureProgress progress(IDS_RESAMPLING_PICTURE, m_bitmap);
        result = m_bitmap.Resize(w, h);
    }
    if (!Check(result))
        return FALSE;
    m_resampled = 1;
    Invalidate(view, FALSE);
    return TRUE;
}

BOOL CImage::InvertPicture(CView* view)
{
    CWaitCursor wait;
    int result = PICTURE_OK;
    {
        CPictureProgress progress(IDS_INVERTING_PICTURE, m_bitmap);
        result = m_bitmap.Invert();
    }
    if (!Check(result))
        return FALSE;
    m_inverted = m_inverted ? 0 : 1;
    Invalidate(view, FALSE);
    return TRUE;
}

BOOL CImage::GreyscalePicture(CView* view)
{
    if (!m_bitmap.IsAllocated() || m_bitmap.IsGrey())
        return FALSE;
    CWaitCursor wait;
    int result = PICTURE_OK;
    {
        CPictureProgress progress(IDS_GREYSCALING_PICTURE, m_bitmap);
        result = m_bitmap.Greyscale();
    }
    if (!Check(result))
        return FALSE;
    m_greyScaled = 1;
    Invalidate(view, FALSE);
    return TRUE;
}

BOOL CImage::ApplyAdjustments(CView* view)
{
    if (m_angle > 0 && !Check(WithProgress(IDS_ROTATING_PICTURE, m_bitmap,
                                           [this] { return m_bitmap.Rotate(m_angle); })))
        return FALSE;
    if (m_resampled && !ResamplePicture(view))
        return FALSE;
    if (m_inverted) {
        // The flag says the picture was inverted once: it is inverted again
        // from the freshly loaded file, not toggled back.
        m_inverted = 0;
        if (!InvertPicture(view))
            return FALSE;
    }
    // A picture that is grey already (a file that was grey to start with)
    // has nothing to convert.
    if (m_greyScaled && !m_bitmap.IsGrey() && !GreyscalePicture(view))
        return FALSE;
    if (m_brightness != 0 && !Check(WithProgress(IDS_CHANGING_BRIGHTNESS, m_bitmap, [this] {
            return m_bitmap.Brightness(m_brightness);
        })))
        return FALSE;
    if (m_contrast != 0 && !Check(WithProgress(IDS_CHANGING_CONTRAST, m_bitmap,
                                               [this] { return m_bitmap.Contrast(m_contrast); })))
        return FALSE;
    if (m_gammaCorrection != 100 &&
        !Check(WithProgress(IDS_GAMMA_CORRECTING_PICTURE, m_bitmap,
                            [this] { return m_bitmap.Gamma(m_gammaCorrection); })))
        return FALSE;
    if (m_transparency && !Check(m_bitmap.SetTransparentColour(m_transparentColour)))
        return FALSE;
    Invalidate(view, FALSE);
    return TRUE;
}

BOOL CImage::Rebuild(CView* view)
{
    if (m_filePath.isEmpty())
        return FALSE;
    if (!LoadFile(view, m_filePath))
        return FALSE;
    return ApplyAdjustments(view);
}

void CImage::Reload(CView* view)
{
    Invalidate(view, TRUE);
    LoadFile(view, m_filePath);
    m_angle = 0;
    m_orientation = 0;
    m_resampled = 0;
    m_inverted = 0;
    m_greyScaled = 0;
    m_brightness = 0;
    m_contrast = 0;
    m_gammaCorrection = 100;
    m_transparency = 0;
    m_transparentColour = MakeRGB(255, 255, 255);
    const CSize natural = NaturalSize();
    m_pictureRect = CRect(m_imageAnchor.x, m_imageAnchor.y, m_imageAnchor.x + natural.cx,
                          m_imageAnchor.y + natural.cy);
    ClampToSign();
    m_designFilePath = m_filePath;
    m_frameRect = m_pictureRect;
    UpdateRects(view);
    Invalidate(view, FALSE);
}

void CImage::RotateFrame(CView* view, int delta)
{
    CRect old = m_pictureRect;
    old.NormalizeRect();
    const int previous = m_angle;
    m_angle = NormalisedAngle((long long)m_angle + delta);
    // The turned picture is made from the file each time, so that many
    // small turns never blur it or grow its white corners. The scale is
    // kept from the picture's turned sizes before any resampling.
    QSizeF before(m_bitmap.Size());
    QSizeF after;
    CPictureBitmap file;
    if (m_bitmap.IsAllocated() && !m_filePath.isEmpty() && !m_resampled &&
        file.Load(m_filePath) == PICTURE_OK) {
        // Unrounded turned sizes, so that a frame typed through several
        // angles comes back to its size.
        before = CPictureBitmap::TurnedSizeF(file.Size(), previous);
        after = CPictureBitmap::TurnedSizeF(file.Size(), m_angle);
        m_bitmap = file;
        ApplyAdjustments(nullptr);
    } else {
        WithProgress(IDS_ROTATING_PICTURE, m_bitmap,
                     [this, delta] { return m_bitmap.Rotate(delta); });
        after = QSizeF(m_bitmap.Size());
    }
    int w = old.Width();
    int h = old.Height();
    if (before.width() > 0 && before.height() > 0) {
        const double sx = old.Width() / before.width();
        const double sy = old.Height() / before.height();
        if (std::abs(sx - sy) <= 0.5 / before.width() + 0.5 / before.height() + 1e-9) {
            // One scale both ways (the frame's sides were rounded apart):
            // taken from both sides together, so that turns never make
            // the picture creep.
            const double scale = (old.Width() + old.Height()) / (before.width() + before.height());
            w = int(after.width() * scale + 0.5);
            h = int(after.height() * scale + 0.5);
        } else {
            w = int(after.width() * sx + 0.5);
            h = int(after.height() * sy + 0.5);
        }
    }
    m_orientation = Quarter();
    m_pictureRect = OrientedFromAnchor(w, h);
    UpdateRects(view);
}

// --- archive -----------------------------------------------------------------

// Paths are written in full, or as ".\" and the rest when the profile asks
// for relative paths and the file lies in the program folder, or while a
// package is exported as the package's folder and the file's name. On
// reading, a leading ".\" (or "./") stands for the program folder and "\"
// separates folders; every other path is used as stored.
QString CImage::StoredPath(const QString& path)
{
    if (path.isEmpty())
        return path;
    if (App().packageExport)
        return App().packagePicturePrefix + CFileName(path).GetFileTitle(true);
    if (App().general.storeRelativePaths) {
        const QString folder = CSignApp::GetProgramFolder(true);
        if (!folder.isEmpty() && path.startsWith(folder) && path.size() > folder.size()) {
            QString rest = path.mid(folder.size());
            rest.replace(QLatin1Char('/'), QLatin1Char('\\'));
            return QStringLiteral(".\\") + rest;
        }
    }
    return path;
}

QString CImage::ResolveStoredPath(const QString& stored)
{
    if (stored.startsWith(QLatin1String(".\\")) || stored.startsWith(QLatin1String("./")))
        return CSignApp::ResolveRelativePicture(stored);
    return NormalizeStoredPath(stored, QString());
}

void CImage::Serialize(CArchive& ar)
{
    CElement::Serialize(ar);
    if (ar.IsStoring()) {
        ar << StoredPath(m_filePath) << m_imageAnchor << m_pictureRect << DWORD(m_angle)
           << DWORD(m_resampled) << DWORD(m_inverted) << DWORD(m_greyScaled)
           << StoredPath(m_designFilePath) << DWORD(m_sizeConstraint) << DWORD(m_maintainAspect)
           << DWORD(m_fastPrint) << DWORD(m_horzJustify) << DWORD(m_vertJustify)
           << DWORD(m_brightness) << DWORD(m_contrast) << DWORD(m_gammaCorrection)
           << DWORD(m_transparency) << DWORD(m_transparentColour);
        return;
    }

    const int version = App().fileVersion;
    const QString filePath = ResolveStoredPath(ar.ReadString());
    CPoint anchor;
    anchor.x = ReadCoordinate(ar);
    anchor.y = ReadCoordinate(ar);
    CRect rect;
    rect.left = ReadCoordinate(ar);
    rect.top = ReadCoordinate(ar);
    rect.right = ReadCoordinate(ar);
    rect.bottom = ReadCoordinate(ar);
    // A negative turn (older files kept one) is the same turn forwards.
    const int angle = NormalisedAngle(ar.ReadInt());
    const BOOL resampled = ar.ReadInt() != 0;
    const BOOL inverted = ar.ReadInt() != 0;
    const BOOL greyScaled = ar.ReadInt() != 0;
    const QString designPath = ResolveStoredPath(ar.ReadString());
    int sizeConstraint = ar.ReadInt();
    if (sizeConstraint < SIZING_NATURAL || sizeConstraint > SIZING_FIT_KEEP_ASPECT)
        sizeConstraint = SIZING_NATURAL;
    BOOL maintainAspect = m_maintainAspect;
    if (version >= 104)
        maintainAspect = ar.ReadInt() != 0;
    BOOL fastPrint = m_fastPrint;
    if (version >= 250)
        fastPrint = ar.ReadInt() != 0;
    int horz = 0, vert = 0;
    if (version >= 110) {
        horz = std::clamp(ar.ReadInt(), 0, 2);
        vert = std::clamp(ar.ReadInt(), 0, 2);
    }
    int brightness = 0, contrast = 0, gamma = 100;
    if (version >= 250) {
        brightness = std::clamp(ar.ReadInt(), -1000, 1000);
        contrast = std::clamp(ar.ReadInt(), -1000, 1000);
        gamma = std::clamp(ar.ReadInt(), 1, 500);
    }
    BOOL transparency = 0;
    COLORREF transparent = MakeRGB(255, 255, 255);
    if (version >= 260) {
        transparency = ar.ReadInt() != 0;
        transparent = ar.ReadDWord() & 0xFFFFFF;
    }

    m_filePath = filePath;
    m_imageAnchor = anchor;
    m_pictureRect = rect;
    m_angle = angle;
    m_resampled = resampled;
    m_inverted = inverted;
    m_greyScaled = greyScaled;
    m_designFilePath = designPath;
    m_sizeConstraint = sizeConstraint;
    m_maintainAspect = maintainAspect;
    m_fastPrint = fastPrint;
    m_horzJustify = horz;
    m_vertJustify = vert;
    m_brightness = brightness;
    m_contrast = contrast;
    m_gammaCorrection = gamma;
    m_transparency = transparency;
    m_transparentColour = transparent;
    m_frameRect = m_pictureRect;
    m_orientation = Quarter();
    m_bounds = m_pictureRect;
    m_bounds.NormalizeRect();

    if (m_filePath.isEmpty())
        return;
    const QFileInfo info(m_filePath);
    if (!info.exists() || info.isDir()) {
        const auto& locate = PictureHooks().locateMissingFile;
        if (locate) {
            bool abort = false;
            const QString chosen = locate(m_filePath, abort);
            if (abort)
                throw CUserException();
            if (chosen.isEmpty()) {
                // The user left the file missing and knows it: the element
                // keeps its path and settings, and shows no picture.
                m_bitmap.Free();
                return;
            }
            if (chosen != m_filePath) {
                m_filePath = chosen;
                App().loadOutcome = 3;
            }
        }
    }
    // A picture that cannot be read is named and the element keeps its
    // path and settings: the rest of the sign still opens, and saving it
    // again loses nothing.
    if (LoadFile(nullptr, m_filePath))
        ApplyAdjustments(nullptr);
    else
        m_bitmap.Free();
}

// --- geometry ----------------------------------------------------------------

void CImage::BeginCreate(CView* view, int x, int y)
{
    const CPoint p = SnapPoint(x, y);
    Redraw(view, [this, p] {
        m_imageAnchor = p;
        const CSize natural = NaturalSize();
        m_pictureRect = OrientedFromAnchor(natural.cx, natural.cy);
        ClampToSign();
        m_designFilePath = m_filePath;
        m_frameRect = m_pictureRect;
    });
}

void CImage::RecalcPosition(CView*)
{
    m_orientation = Quarter();
    m_bounds = m_pictureRect;
    m_bounds.NormalizeRect();
}

BOOL CImage::KeepsAspectRatio() const
{
    return m_maintainAspect;
}

void CImage::ApplyTrackRect(CView*)
{
    CRect r = m_trackRect;
    r.NormalizeRect();
    m_imageAnchor = QuarterTurnCorner(r, Quarter() * 90);
    m_pictureRect = r;
}

void CImage::Rotate(CView* view)
{
    const int delta = int(App().general.rotationAngle * kHundredthsPerRadian);
    Invalidate(view, TRUE);
    RotateFrame(view, delta);
    Invalidate(view, FALSE);
}

void CImage::RotateAbout(CView* view, CPoint centre)
{
    const int delta = int(App().general.rotationAngle * kHundredthsPerRadian);
    Invalidate(view, TRUE);
    RotatePointRadians(m_imageAnchor, centre.x, centre.y, App().general.rotationAngle);
    RotateFrame(view, delta);
    Invalidate(view, FALSE);
}

BOOL CImage::IsHandleEnabled(int handle) const
{
    if (!m_maintainAspect)
        return TRUE;
    return handle == HANDLE_TOP_LEFT || handle == HANDLE_TOP_RIGHT ||
           handle == HANDLE_BOTTOM_RIGHT || handle == HANDLE_BOTTOM_LEFT;
}

void CImage::SetBounds(CView* view, const CRect& bounds)
{
    CRect r = bounds;
    r.NormalizeRect();
    m_imageAnchor = QuarterTurnCorner(r, Quarter() * 90);
    m_frameRect = r;
    m_sizeConstraint = SIZING_FIT_KEEP_ASPECT;
    m_pictureRect = ConstrainedRect();
    if (view) {
        UpdateRects(view);
        Invalidate(view, FALSE);
        m_trackRect = m_pictureRect;
        m_startRect = m_trackRect;
    }
}

void CImage::Refresh()
{
    Redraw(CurrentView(), [] {});
    if (m_ownerTable)
        m_ownerTable->OnCellDataChanged();
}

// --- drawing -----------------------------------------------------------------

void CImage::Draw(CDC* dc, const CRect& clip)
{
    if (!IsVisibleIn(dc, clip))
        return;
    if (IsTracking(dc)) {
        DrawTracker(dc);
        return;
    }
    if (!m_filePath.isEmpty()) {
        CRect r = m_pictureRect;
        r.NormalizeRect();
        if (m_bitmap.IsAllocated() && r.Width() > 0 && r.Height() > 0) {
            const CRect device = dc->LPtoDP(r);
            const QSize pixels(std::abs(device.Width()), std::abs(device.Height()));
            // Speed prints by nearest pixel; quality (and every transparent
            // picture) smoothly.
            const bool smooth = !(dc->IsPrinting() && m_fastPrint && !m_transparency);
            const int saved = dc->SaveDC();
            dc->SetSmoothImages(smooth);
            dc->DrawImage(m_bitmap.ForDevice(pixels, smooth), r);
            dc->RestoreDC(saved);
        } else if (!dc->IsPrinting() && r.Width() > 0 && r.Height() > 0) {
            // A picture that could not be read shows where it stands.
            const int saved = dc->SaveDC();
            dc->SelectPen(CPen(PS_DOT, 0, MakeRGB(160, 160, 160)));
            dc->SelectBrush(CBrush::Null());
            dc->Rectangle(r);
            dc->MoveTo(r.left, r.top);
            dc->LineTo(r.right, r.bottom);
            dc->MoveTo(r.right, r.top);
            dc->LineTo(r.left, r.bottom);
            dc->RestoreDC(saved);
        }
    }
    DrawTracker(dc);
}

// --- types and texts -----------------------------------------------------------

int CImage::GetTypeCode() const
{
    return TYPE_PICTURE;
}

QString CImage::GetTypeName() const
{
    return QStringLiteral("Picture");
}

QString CImage::GetText() const
{
    return m_filePath;
}

QString CImage::GetSampleData() const
{
    return m_designFilePath;
}

BOOL CImage::IsEmpty() const
{
    return m_filePath.isEmpty();
}

void CImage::ReleaseCachedData()
{
    m_bitmap.Free();
}

void CImage::ResetState(CView* view)
{
    if (!m_filePath.isEmpty() && LoadFile(view, m_filePath))
        ApplyAdjustments(view);
    CElement::ResetState(view);
}

// --- data entry --------------------------------------------------------------

void CImage::SetDataText(const QString& text, int, const QString&, BOOL)
{
    if (KeepsStartOnlyData())
        return;
    CView* view = CurrentView();
    Invalidate(view, TRUE);
    if (text.isEmpty()) {
        m_filePath.clear();
        m_bitmap.Free();
        // An emptied cell gives up its row's space as a filled one takes it.
        if (m_ownerTable)
            m_ownerTable->OnCellDataChanged();
        return;
    }
    QString value = text;
    if (m_dataSource > SOURCE_KEYBOARD)
        value = m_prefix + value + m_suffix;
    const QString path = ResolveStoredPath(value);
    if (!LoadFile(view, path))
        return;
    // The other processing belongs to the design picture only. This runs
    // for each sign printed: it shows no progress window.
    if (m_angle > 0 && !Check(m_bitmap.Rotate(m_angle)))
        return;
    if (m_transparency && !Check(m_bitmap.SetTransparentColour(m_transparentColour)))
        return;
    if (path.compare(m_designFilePath, Qt::CaseInsensitive) == 0)
        m_pictureRect = m_frameRect;
    else
        m_pictureRect = ConstrainedRect();
    UpdateRects(view);
    Invalidate(view, FALSE);
    if (m_ownerTable)
        m_ownerTable->OnCellDataChanged();
}

void CImage::BeginDataEntry()
{
    if (m_dataSource != SOURCE_FIXED) {
        m_frameRect = m_pictureRect;
        TakeUpEntryData(FALSE, true);
    }
    CElement::BeginDataEntry();
}

void CImage::EndDataEntry()
{
    if (m_dataSource != SOURCE_FIXED) {
        m_filePath = m_designFilePath;
        m_pictureRect = m_frameRect;
        if (!m_filePath.isEmpty() && LoadFile(nullptr, m_filePath))
            ApplyAdjustments(nullptr);
    }
    CElement::EndDataEntry();
}

// --- text export -------------------------------------------------------------

void CImage::WriteXml(CTextExportFile& file)
{
    file.WriteString(QStringLiteral("  <picture>\n\n"));
    CElement::WriteXml(file);
    file.WriteString(ExportLine(4, "file", m_designFilePath));
    file.WriteString(QString::asprintf("    <position units=\"TMM\" x=\"%d\" y=\"%d\"/>\n",
                                       m_imageAnchor.x, m_imageAnchor.y));
    file.WriteString(ExportLine(4, "angle", m_angle / 100));
    file.WriteString(QString::asprintf("    <size units=\"TMM\" width=\"%d\" height=\"%d\"/>\n",
                                       m_pictureRect.Width(), m_pictureRect.Height()));
    file.WriteString(ExportLine(4, "maintain-aspect", m_maintainAspect));
    file.WriteString(ExportLine(4, "resampled", m_resampled));
    file.WriteString(ExportLine(4, "inverted", m_inverted));
    file.WriteString(ExportLine(4, "grey-scaled", m_greyScaled));
    file.WriteString(ExportLine(4, "size-constraint", m_sizeConstraint));
    file.WriteString(ExportLine(4, "fast-print", m_fastPrint));
    file.WriteString(QString::asprintf("    <justification horizontal=\"%d\" vertical=\"%d\"/>\n",
                                       m_horzJustify, m_vertJustify));
    file.WriteString(ExportLine(4, "brightness", m_brightness));
    file.WriteString(ExportLine(4, "contrast", m_contrast));
    file.WriteString(ExportLine(4, "gamma-correction", m_gammaCorrection));
    file.WriteString(ExportLine(4, "transparency", m_transparency));
    file.WriteString(ExportLine(4, "transparent-colour", ColourToHtml(m_transparentColour)));
    file.WriteString(QStringLiteral("\n  </picture>\n\n"));
}

// --- the background picture ---------------------------------------------------

BOOL CBackground::LoadFile(CView* view, const QString& path)
{
    if (!CImage::LoadFile(view, path))
        return FALSE;
    const auto& orientation = PictureHooks().backgroundOrientation;
    const int turn = orientation ? orientation() : 0;
    if (turn == 180 || turn == 270)
        m_bitmap.Rotate(18000);
    return TRUE;
}

void CBackground::FitToPage(CView* view)
{
    const CSize natural = NaturalSize();
    const auto& signSize = PictureHooks().signSize;
    if (!signSize || natural.cx <= 0 || natural.cy <= 0)
        return;
    const CSize sign = signSize();
    Redraw(view, [this, natural, sign] {
        const double scale = std::min(double(sign.cx) / natural.cx, double(sign.cy) / natural.cy);
        const int w = int(natural.cx * scale);
        const int h = int(natural.cy * scale);
        m_pictureRect =
            CRect(m_imageAnchor.x, m_imageAnchor.y, m_imageAnchor.x + w, m_imageAnchor.y + h);
        m_pictureRect.OffsetRect(Half(sign.cx - w), Half(sign.cy - h));
    });
}

void CBackground::UpdateForPaper(CView* view)
{
    if (!m_bitmap.IsAllocated())
        return;
    const auto& page = PictureHooks().pageOrientation;
    m_bitmap.Rotate(page && page() == 2 ? -9000 : 9000);
    FitToPage(view);
}
