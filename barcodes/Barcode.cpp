#include "Barcode.h"

#include "AppContext.h"
#include "Archive.h"
#include "Codec1252.h"
#include "DC.h"
#include "EanUpc.h"
#include "Helpers.h"
#include "Messages.h"
#include "Printer.h"
#include "Rounding.h"
#include "SymbolMatrix.h"
#include "TextExport.h"
#include "UndoHistory.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

IMPLEMENT_RUNTIME(CBarcode, CElement, 1)

namespace {

constexpr int kFallbackDpi = 600;
constexpr std::array<WORD, CBarcode::kWidthClasses> kWidthsWithoutStyle = {4, 8, 12, 16,
                                                                           5, 9, 13, 17};

std::array<BarcodeCopyFunction, kSymbologyCount>& CopyFunctions()
{
    static std::array<BarcodeCopyFunction, kSymbologyCount> functions{};
    return functions;
}

int NormaliseOrientation(long long degrees)
{
    int turn = static_cast<int>(((degrees % 360) + 360) % 360);
    return turn - turn % 90;
}

// Pixels of a length in inches at a resolution, as the layout computes them:
// the single-precision inches widened, in hundred-thousandths truncated.
long long ScaledPixels(int resolution, float inches)
{
    double t = double(inches) * 100000.0;
    if (!(t > 0.0))
        t = 0.0;               // also NaN from a damaged file
    t = std::min(t, 100000.0); // nothing is wider than an inch
    return (static_cast<long long>(resolution) * static_cast<long long>(t) + 49999) / 100000;
}

WORD ToWord(long long value)
{
    return static_cast<WORD>(std::clamp<long long>(value, 0, 0xFFFF));
}

int HexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// The bytes a printer driver receives for a text: one byte per character,
// the encoders' internal function values as their single-byte codes.
QByteArray DriverBytes(const QString& text)
{
    QByteArray bytes;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x100)
            bytes.append(static_cast<char>(u));
        else if (u >= 0x180 && u < 0x200)
            bytes.append(static_cast<char>(u - 0x100));
        else
            bytes.append('?');
    }
    return bytes;
}

void AppendWord(QByteArray& out, long long value)
{
    const quint16 v = static_cast<quint16>(value);
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>(v >> 8));
}

void AppendDWord(QByteArray& out, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

// --- construction ------------------------------------------------------------

CBarcode::CBarcode(int symbologyId) : m_symbology(&GetSymbology(symbologyId))
{
    m_margins.assign(4, 0);
    const CBarcodePreferences& prefs = CBarcodePreferences::Current();
    const CLogFont font(prefs.DefaultFont());
    for (CTextBase& part : m_texts)
        part.CreateOwnFont(&font);
    m_hJustify = std::clamp(prefs.horzJustify, 0, 2);
    m_vJustify = std::clamp(prefs.vertJustify, 0, 1);
}

CBarcode::CBarcode(const CBarcode& other)
    : CElement(other), m_symbology(other.m_symbology), m_data(other.m_data),
      m_expandedData(other.m_expandedData), m_encodedText(other.m_encodedText),
      m_checkChars(other.m_checkChars), m_sampleData(other.m_sampleData),
      m_margins(other.m_margins), m_elementWidths(other.m_elementWidths),
      m_pattern(other.m_pattern), m_height(other.m_height), m_origin(other.m_origin),
      m_barRect(other.m_barRect), m_bitmap(other.m_bitmap.copy()),
      m_humanReadable(other.m_humanReadable), m_texts(other.m_texts), m_textRect(other.m_textRect),
      m_hJustify(other.m_hJustify), m_vJustify(other.m_vJustify), m_style(other.m_style),
      m_styleName(other.m_styleName), m_calculateCheck(other.m_calculateCheck),
      m_showCheck(other.m_showCheck), m_showHumanReadable(other.m_showHumanReadable),
      m_barLocal(other.m_barLocal), m_textLocal(other.m_textLocal),
      m_localShift(other.m_localShift), m_bitmapSize(other.m_bitmapSize),
      m_invalid(other.m_invalid), m_bitmapDpi(other.m_bitmapDpi)
{
    if (other.m_addOn)
        m_addOn = std::make_unique<CBarcodeAddOn>(*other.m_addOn);
    if (other.m_frameBox)
        m_frameBox.reset(CloneElement(other.m_frameBox.get()));
}

CBarcode::~CBarcode() = default;

void CBarcode::InitFromPreferences(const QString& defaultData, BOOL calculateCheck, BOOL showCheck,
                                   BOOL showHumanReadable)
{
    const CBarcodePreferences& prefs = CBarcodePreferences::Current();
    QString styleName =
        m_symbology->defaultStyle ? QString::fromLatin1(m_symbology->defaultStyle) : QString();
    m_height = m_symbology->defaultHeight;
    m_calculateCheck = calculateCheck;
    m_showCheck = showCheck;
    m_showHumanReadable = showHumanReadable;
    if (prefs.type == m_symbology->id) {
        if (!prefs.style.isEmpty())
            styleName = prefs.style;
        if (prefs.height >= kMinHeight)
            m_height = prefs.height;
        if (prefs.calcChecksum >= 0)
            m_calculateCheck = prefs.calcChecksum != 0;
        if (prefs.showHuman >= 0)
            m_showHumanReadable = prefs.showHuman != 0;
        if (prefs.showChecksum >= 0)
            m_showCheck = prefs.showChecksum != 0;
    }
    m_data = m_sampleData = defaultData;
    if (m_symbology->family != FAMILY_NONE)
        SetStyle(TheBarcodeStyleList().Find(styleName, m_symbology->family));
    ComputeLayout();
    Regenerate();
    RecalcPosition(nullptr);
}

void CBarcode::SetStyle(CBarcodeStyle* style)
{
    m_style = style;
    m_styleName = style ? style->name : QString();
}

// --- copies ------------------------------------------------------------------

void CBarcode::RegisterCopy(int symbologyId, BarcodeCopyFunction copy)
{
    if (symbologyId >= 0 && symbologyId < kSymbologyCount)
        CopyFunctions()[std::size_t(symbologyId)] = copy;
}

CElement* CBarcode::CopyElement(const CElement& element)
{
    const auto* barcode = dynamic_cast<const CBarcode*>(&element);
    if (!barcode)
        return nullptr;
    const BarcodeCopyFunction copy = CopyFunctions()[std::size_t(barcode->GetSymbologyId())];
    return copy ? copy(*barcode) : nullptr;
}

// --- add-on ------------------------------------------------------------------

BOOL CBarcode::SetAddOnDigits(int digits)
{
    if (digits == 0) {
        m_addOn.reset();
        return TRUE;
    }
    if ((digits != 2 && digits != 5) || !AllowsAddOn())
        return FALSE;
    if (!m_addOn || m_addOn->m_digits != digits)
        m_addOn = std::make_unique<CBarcodeAddOn>(digits);
    return TRUE;
}

int CBarcode::GetAddOnDigits() const
{
    return m_addOn ? m_addOn->m_digits : 0;
}

// --- resolution and sizes ------------------------------------------------------

namespace {

struct ResolutionOverride
{
    int dpi = 0;
};

} // namespace

void CBarcode::SetResolutionOverride(int dpi)
{
    if (dpi >= 0)
        App().Get<ResolutionOverride>().dpi = dpi;
}

int CBarcode::GetResolutionOverride()
{
    return App().Get<ResolutionOverride>().dpi;
}

int CBarcode::ResolutionAlong() const
{
    if (const int dpi = GetResolutionOverride(); dpi > 0)
        return dpi;
    const CPrinter& printer = ThePrinter();
    const int dpi = (m_orientation == 90 || m_orientation == 270) ? printer.GetPixelsPerInchY()
                                                                  : printer.GetPixelsPerInchX();
    return dpi > 0 ? dpi : kFallbackDpi;
}

int CBarcode::ResolutionAcross() const
{
    if (const int dpi = GetResolutionOverride(); dpi > 0)
        return dpi;
    const CPrinter& printer = ThePrinter();
    const int dpi = (m_orientation == 90 || m_orientation == 270) ? printer.GetPixelsPerInchX()
                                                                  : printer.GetPixelsPerInchY();
    return dpi > 0 ? dpi : kFallbackDpi;
}

int CBarcode::BarHeightPixels() const
{
    const double pixels = (double(ResolutionAcross()) * m_height + 0.5) / 254.0;
    return static_cast<int>(std::clamp(pixels, -1.0, double(kMaxBitmapSide) + 1.0));
}

long long CBarcode::SymbolWidthPixels() const
{
    long long width = 0;
    if (m_margins.size() >= 2)
        width += m_margins[0] + m_margins[1];
    for (BYTE value : m_pattern) {
        if (value < kWidthClasses)
            width += m_elementWidths[value];
    }
    return width;
}

void CBarcode::ComputeLayout()
{
    CPrinter& printer = ThePrinter();
    if (printer.GetPixelsPerInchX() <= 0 || printer.GetPixelsPerInchY() <= 0)
        printer.EnsurePrinter();
    if (!m_style) {
        m_elementWidths = kWidthsWithoutStyle;
        return;
    }
    const int resolution = ResolutionAlong();
    long long n = ScaledPixels(resolution, m_style->xDimension);
    const long long g = ScaledPixels(resolution, m_style->printGain);
    const int family = m_symbology->family;
    // A module of no width would make an empty symbol.
    if (family >= FAMILY_RATIO && n < 1)
        n = 1;
    auto& w = m_elementWidths;
    if (family == FAMILY_CODE128 || family == FAMILY_EAN_UPC) {
        for (int i = 0; i < 4; ++i) {
            w[std::size_t(i)] = ToWord(n * (i + 1));
            w[std::size_t(i + 4)] = ToWord(g + n * (i + 1));
        }
        return;
    }
    const long long ratio = std::clamp(m_style->ratio, 0, 10000);
    const long long wide = (ratio * n + 50) / 100;
    w = {ToWord(n), 0, ToWord(wide), ToWord(2 * wide), ToWord(g + n), 0, ToWord(g + wide), 0};
}

// --- 1-bit bitmaps -------------------------------------------------------------

QImage CBarcode::NewMonoImage(int width, int height)
{
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide)
        return QImage();
    QImage image(width, height, QImage::Format_Mono);
    if (image.isNull())
        return image;
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    return image;
}

namespace {

// Sets pixels left..right-1 of a 1-bit row (most significant bit first):
// the bytes between the two ends whole, the ends by mask.
void FillSpan(uchar* line, int left, int right)
{
    if (right <= left)
        return;
    const int firstByte = left >> 3;
    const int lastByte = (right - 1) >> 3;
    const uchar headMask = uchar(0xFF >> (left & 7));
    const uchar tailMask = uchar(0xFF << (7 - ((right - 1) & 7)));
    if (firstByte == lastByte) {
        line[firstByte] |= uchar(headMask & tailMask);
        return;
    }
    line[firstByte] |= headMask;
    if (lastByte > firstByte + 1)
        std::memset(line + firstByte + 1, 0xFF, size_t(lastByte - firstByte - 1));
    line[lastByte] |= tailMask;
}

// ORs the bytes of one row into rows top..bottom-1 of a 1-bit image, eight
// bytes at a time.
void OrRowInto(QImage& image, const std::vector<uchar>& row, int firstByte, int lastByte, int top,
               int bottom)
{
    uchar* base = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const uchar* from = row.data() + firstByte;
    const size_t count = size_t(lastByte - firstByte + 1);
    for (int y = top; y < bottom; ++y) {
        uchar* line = base + y * stride + firstByte;
        size_t b = 0;
        for (; b + 8 <= count; b += 8) {
            quint64 to = 0;
            quint64 bits = 0;
            std::memcpy(&to, line + b, 8);
            std::memcpy(&bits, from + b, 8);
            to |= bits;
            std::memcpy(line + b, &to, 8);
        }
        for (; b < count; ++b)
            line[b] |= from[b];
    }
}

} // namespace

void CBarcode::FillBlack(QImage& image, int x, int y, int width, int height)
{
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min<long long>(static_cast<long long>(x) + width, image.width());
    const int bottom = std::min<long long>(static_cast<long long>(y) + height, image.height());
    if (right <= left || bottom <= top)
        return;
    for (int row = top; row < bottom; ++row)
        FillSpan(image.scanLine(row), left, right);
}

QImage CBarcode::RotateImage(const QImage& image, int degrees)
{
    const int turn = NormaliseOrientation(degrees);
    if (turn == 0 || image.isNull())
        return image;
    const int w = image.width();
    const int h = image.height();
    QImage out = (turn == 180) ? NewMonoImage(w, h) : NewMonoImage(h, w);
    if (out.isNull())
        return out;
    const auto black = [](const uchar* line, int x) {
        return (line[x >> 3] & (0x80 >> (x & 7))) != 0;
    };
    if (turn == 180) {
        // Each row reversed into the mirrored row, a run of black at a time.
        for (int y = 0; y < h; ++y) {
            const uchar* line = image.constScanLine(y);
            uchar* target = out.scanLine(h - 1 - y);
            for (int x = 0; x < w;) {
                if (!black(line, x)) {
                    ++x;
                    continue;
                }
                int end = x + 1;
                while (end < w && black(line, end))
                    ++end;
                FillSpan(target, w - end, w - x);
                x = end;
            }
        }
        return out;
    }
    // A quarter turn: each source column becomes a row; runs of black down
    // a column become spans of that row.
    for (int x = 0; x < w; ++x) {
        uchar* target = out.scanLine(turn == 90 ? x : w - 1 - x);
        for (int y = 0; y < h;) {
            if (!black(image.constScanLine(y), x)) {
                ++y;
                continue;
            }
            int end = y + 1;
            while (end < h && black(image.constScanLine(end), x))
                ++end;
            if (turn == 90) // clockwise: row y goes to column h - 1 - y
                FillSpan(target, h - end, h - y);
            else
                FillSpan(target, y, end);
            y = end;
        }
    }
    return out;
}

// --- escapes -------------------------------------------------------------------

int CBarcode::DecimalEscapeValue(const QString& text, qsizetype letter)
{
    if (letter + 3 >= text.size())
        return -1;
    int value = 0;
    for (qsizetype i = letter + 1; i <= letter + 3; ++i) {
        const char16_t u = text[i].unicode();
        if (u < u'0' || u > u'9')
            return -1;
        value = value * 10 + (u - u'0');
    }
    // A byte is what the escape stands for.
    return value <= 255 ? value : -1;
}

qsizetype CBarcode::AppendNumericEscape(const QString& text, qsizetype percent, QString& out)
{
    const QChar letter = text[percent + 1];
    int value = -1;
    qsizetype length = 0;
    if (letter == u'D' || letter == u'd') {
        value = DecimalEscapeValue(text, percent + 1);
        length = 5;
    } else if (letter == u'H' || letter == u'h') {
        value = HexEscapeValue(text, percent + 1);
        length = 4;
    }
    if (value >= 0) {
        out += QChar(char16_t(value));
        return length;
    }
    // Not an escape: the percent sign stays and the letter is read as an
    // ordinary character.
    out += u'%';
    return 1;
}

int CBarcode::HexEscapeValue(const QString& text, qsizetype letter)
{
    if (letter + 2 >= text.size())
        return -1;
    const int high = HexValue(text[letter + 1]);
    const int low = HexValue(text[letter + 2]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

int CBarcode::ExpandEscapes(QString& text)
{
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c != u'%' || i + 1 >= text.size()) {
            out += c;
            ++i;
            continue;
        }
        const QChar letter = text[i + 1];
        if (letter == u'%') {
            out += u'%';
            i += 2;
            continue;
        }
        i += AppendNumericEscape(text, i, out);
    }
    text = out;
    return static_cast<int>(text.size());
}

// --- the regenerate template -------------------------------------------------------

void CBarcode::Regenerate()
{
    m_invalid = FALSE;
    if (PrepareData()) {
        BuildPattern();
        LayoutBars();
        LayoutHumanReadable();
    } else {
        ShowInvalid();
    }
    OnRegenerated();
}

BOOL CBarcode::PrepareData()
{
    return FALSE;
}

void CBarcode::BuildPattern() {}

void CBarcode::OnRegenerated() {}

BOOL CBarcode::CreateSymbolBitmap(long long width, long long height)
{
    m_bitmap = QImage();
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide)
        return FALSE;
    m_bitmap = NewMonoImage(static_cast<int>(width), static_cast<int>(height));
    return m_bitmap.isNull() ? FALSE : TRUE;
}

int CBarcode::DrawRun(int x, int y, int first, int last, BOOL barFirst, int height)
{
    // The run's bars are the same on every row: they are set in one row,
    // span by span, and that row is laid over each row of the run.
    const int imageWidth = m_bitmap.width();
    std::vector<uchar> row(size_t((imageWidth + 7) / 8), 0);
    int firstByte = int(row.size());
    int lastByte = -1;
    bool bar = barFirst != 0;
    for (int i = first; i <= last && i < static_cast<int>(m_pattern.size()); ++i) {
        const BYTE value = m_pattern[std::size_t(i)];
        const int width = value < kWidthClasses ? m_elementWidths[value] : 0;
        if (bar) {
            const int left = std::max(x, 0);
            const int right =
                int(std::min<long long>(static_cast<long long>(x) + width, imageWidth));
            if (right > left) {
                FillSpan(row.data(), left, right);
                firstByte = std::min(firstByte, left >> 3);
                lastByte = std::max(lastByte, (right - 1) >> 3);
            }
        }
        x += width;
        bar = !bar;
    }
    if (lastByte >= firstByte) {
        const int top = std::max(y, 0);
        const int bottom =
            int(std::min<long long>(static_cast<long long>(y) + height, m_bitmap.height()));
        OrRowInto(m_bitmap, row, firstByte, lastByte, top, bottom);
    }
    return x;
}

void CBarcode::LayoutBars()
{
    const int barHeight = BarHeightPixels();
    const long long height = static_cast<long long>(barHeight) + m_margins[2] + m_margins[3];
    if (!CreateSymbolBitmap(SymbolWidthPixels(), height)) {
        ShowInvalid();
        return;
    }
    DrawRun(m_margins[0], m_margins[2], 0, static_cast<int>(m_pattern.size()) - 1, TRUE, barHeight);
    FinishSymbol();
}

void CBarcode::FinishSymbol()
{
    const int along = ResolutionAlong();
    const int across = ResolutionAcross();
    m_bitmapSize = CSize(m_bitmap.width(), m_bitmap.height());
    const bool upright = m_orientation == 0 || m_orientation == 180;
    m_bitmapDpi = upright ? CSize(along, across) : CSize(across, along);
    m_barLocal = CRect(0, 0, RoundHalfUp(m_bitmapSize.cx * 254.0 / along),
                       RoundHalfUp(m_bitmapSize.cy * 254.0 / across));
    m_bitmap = RotateImage(m_bitmap, m_orientation);
    m_localShift = CPoint();
    if (m_addOn) {
        m_addOn->Rotate(m_orientation, along);
        m_addOn->PlaceBars(m_barLocal, along, across);
    }
    PlaceAll();
}

void CBarcode::DrawInvalidBitmap(int width, int height)
{
    m_bitmap = NewMonoImage(width, height);
    if (m_bitmap.isNull())
        return;
    // A one-pixel frame inside the edge.
    FillBlack(m_bitmap, 1, 1, width - 2, 1);
    FillBlack(m_bitmap, 1, height - 2, width - 2, 1);
    FillBlack(m_bitmap, 1, 1, 1, height - 2);
    FillBlack(m_bitmap, width - 2, 1, 1, height - 2);

    // The message in the barcode font, centred, at the printer's resolution.
    const int along = ResolutionAlong();
    const int across = ResolutionAcross();
    LogFontFields font = CLogFont(CBarcodePreferences::Current().DefaultFont()).GetDrawingFont();
    font.lfEscapement = font.lfOrientation = 0;
    const int sign = font.lfHeight < 0 ? -1 : 1;
    font.lfHeight = sign * std::max(1, RoundHalfUp(std::abs(font.lfHeight) * across / 254.0));
    font.lfWidth = RoundHalfUp(std::abs(font.lfWidth) * along / 254.0);
    const QString text = LoadStringId(IDS_BARCODE_DATA_INVALID);

    CDC measure;
    measure.SetDeviceCaps(along, across, CSize(width, height));
    measure.SelectFont(font);
    const CSize extent = measure.GetTextExtent(text);
    if (extent.cx <= 0 || extent.cy <= 0 || extent.cy > kMaxBitmapSide)
        return;
    CImageDC dc(width, extent.cy, along, across);
    dc.SetTextAntialiasing(false);
    dc.SelectFont(font);
    dc.SetTextColor(0);
    dc.TextOut((width - extent.cx) / 2, 0, text);
    const QImage& drawn = dc.Image();
    const int top = (height - extent.cy) / 2;
    for (int y = 0; y < drawn.height(); ++y) {
        const int row = top + y;
        if (row < 0 || row >= height)
            continue;
        const auto* pixels = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
        for (int x = 0; x < drawn.width(); ++x) {
            if (qGray(pixels[x]) < 128)
                FillBlack(m_bitmap, x, row, 1, 1);
        }
    }
}

void CBarcode::ShowFixedPlaceholder()
{
    m_invalid = TRUE;
    DrawInvalidBitmap(3 * ResolutionAlong() / 2, 3 * ResolutionAcross() / 4);
    ClearText();
    FinishSymbol();
}

BOOL CBarcode::PlaceModules(const CSymbolMatrix& grid, int mw, int mh)
{
    if (!CreateSymbolBitmap(static_cast<long long>(grid.Columns()) * mw,
                            static_cast<long long>(grid.TotalHeight()) * mh)) {
        ShowInvalid();
        return FALSE;
    }
    int y = 0;
    for (int r = 0; r < grid.Rows(); ++r) {
        const int height = grid.RowHeight(r) * mh;
        for (int c = 0; c < grid.Columns();) {
            if (!grid.IsDark(r, c)) {
                ++c;
                continue;
            }
            int end = c + 1;
            while (end < grid.Columns() && grid.IsDark(r, end))
                ++end;
            FillBlack(m_bitmap, c * mw, y, (end - c) * mw, height);
            c = end;
        }
        y += height;
    }
    ClearText();
    FinishSymbol();
    return TRUE;
}

void CBarcode::WriteOwnBlockHead(CTextExportFile& file)
{
    file.WriteString(QStringLiteral("<barcode>\n"));
    CElement::WriteXml(file);
    file.WriteString(QStringLiteral("<type=\"%1\"/>\n").arg(GetSymbologyId()));
    file.WriteString(
        QStringLiteral("<position units=\"TMM\" x=\"%1\" y=\"%2\"/>\n").arg(m_origin.x).arg(m_origin.y));
    file.WriteString(QStringLiteral("<orientation=\"%1\"/>\n").arg(m_orientation));
}

void CBarcode::WriteOwnBlockTail(CTextExportFile& file)
{
    file.WriteString(
        QStringLiteral("<sample-data>%1</sample-data>\n").arg(HtmlEscape(m_sampleData)));
    file.WriteString(QStringLiteral("</barcode>\n"));
}

int CBarcode::QuarterTurn(long long degrees)
{
    return NormaliseOrientation(degrees);
}

CPoint CBarcode::ClampedOrigin(int x, int y)
{
    return CPoint(std::clamp(x, -kMaxCoordinate, kMaxCoordinate),
                  std::clamp(y, -kMaxCoordinate, kMaxCoordinate));
}

void CBarcode::ShowInvalid()
{
    m_invalid = TRUE;
    const int width = 3 * ResolutionAlong() / 2;
    long long height = static_cast<long long>(BarHeightPixels()) + m_margins[2] + m_margins[3];
    if (height < 8)
        height = ResolutionAcross() / 2; // a symbol of no height still shows the message
    DrawInvalidBitmap(width, static_cast<int>(std::min<long long>(height, kMaxBitmapSide)));
    // Every part, not only the first: the digit groups of a retail symbol
    // must not stay beside the placeholder.
    ClearText();
    if (m_addOn)
        m_addOn->ShowInvalid();
    FinishSymbol();
}

// --- text parts -------------------------------------------------------------------

void CBarcode::ClearText()
{
    for (int i = 0; i < kTextCount; ++i) {
        m_texts[std::size_t(i)].SetText(QString());
        m_textLocal[std::size_t(i)] = CRect();
    }
    m_textRect = CRect();
    if (m_addOn)
        m_addOn->LayoutHumanReadable(nullptr, m_orientation);
}

int CBarcode::TextHeight(int index) const
{
    const CLogFont& font = m_texts[std::size_t(index)].GetFont();
    if (font.GetHeight() > 0)
        return font.GetHeight();
    return font.GetTextMetrics().tmHeight;
}

CSize CBarcode::PrepText(int index, const QString& text, const CLogFont* font)
{
    CTextBase& part = m_texts[std::size_t(index)];
    if (!part.OwnsFont())
        part.CreateOwnFont(font);
    else if (font)
        part.SetFont(font);
    const LONG escapement = m_orientation == 0 ? 0 : (360 - m_orientation) * 10;
    if (part.GetFont().GetLogFont().lfEscapement != escapement)
        part.SetRotation(m_orientation);
    part.SetText(text);
    return CSize((part.GetTextWidth() + 5) / 10, TextHeight(index));
}

void CBarcode::PutText(int index, int u, int v, CSize size)
{
    m_textLocal[std::size_t(index)] = CRect(u, v, u + size.cx, v + size.cy);
}

void CBarcode::LayoutHumanReadable()
{
    ClearText();
    if (m_invalid || !m_symbology->humanReadable || !m_showHumanReadable) {
        PlaceAll();
        return;
    }
    const CSize size = PrepText(0, m_humanReadable);
    int u = 0;
    switch (m_hJustify) {
    case 1:
        u = (m_barLocal.left + m_barLocal.right - size.cx) / 2;
        break;
    case 2:
        u = m_barLocal.right - size.cx;
        break;
    default:
        u = m_barLocal.left;
        break;
    }
    const int v = m_vJustify == 1 ? m_barLocal.top - size.cy : m_barLocal.bottom;
    PutText(0, u, v, size);
    ApplyOverhang();
}

void CBarcode::ApplyOverhang()
{
    int minU = 0, minV = 0;
    auto take = [&minU, &minV](const CRect& r) {
        if (r.IsEmpty())
            return;
        minU = std::min(minU, r.left);
        minV = std::min(minV, r.top);
    };
    for (const CRect& r : m_textLocal)
        take(r);
    if (m_addOn) {
        take(m_addOn->m_barLocal);
        for (const CRect& r : m_addOn->m_textLocal)
            take(r);
    }
    m_localShift = CPoint(-minU, -minV);
    PlaceAll();
}

CPoint CBarcode::LocalToPage(CPoint local) const
{
    const int u = local.x + m_localShift.x;
    const int v = local.y + m_localShift.y;
    switch (m_orientation) {
    case 90:
        return CPoint(m_origin.x - v, m_origin.y + u);
    case 180:
        return CPoint(m_origin.x - u, m_origin.y - v);
    case 270:
        return CPoint(m_origin.x + v, m_origin.y - u);
    default:
        return CPoint(m_origin.x + u, m_origin.y + v);
    }
}

CRect CBarcode::LocalToPage(const CRect& local) const
{
    if (local.IsEmpty())
        return CRect();
    CRect r(LocalToPage(local.TopLeft()), LocalToPage(local.BottomRight()));
    r.NormalizeRect();
    return r;
}

void CBarcode::PlaceAll()
{
    m_barRect = LocalToPage(m_barLocal);
    m_textRect = CRect();
    for (int i = 0; i < kTextCount; ++i) {
        const CRect& local = m_textLocal[std::size_t(i)];
        if (local.IsEmpty())
            continue;
        const CPoint at = LocalToPage(local.TopLeft());
        m_texts[std::size_t(i)].SetOrigin(at.x, at.y);
        m_textRect = CRect::Union(m_textRect, LocalToPage(local));
    }
    if (m_addOn) {
        CBarcodeAddOn& addOn = *m_addOn;
        addOn.m_barRect = LocalToPage(addOn.m_barLocal);
        addOn.m_textRect = CRect();
        for (std::size_t i = 0; i < addOn.m_texts.size(); ++i) {
            const CRect& local = addOn.m_textLocal[i];
            if (local.IsEmpty())
                continue;
            const CPoint at = LocalToPage(local.TopLeft());
            addOn.m_texts[i].SetOrigin(at.x, at.y);
            addOn.m_textRect = CRect::Union(addOn.m_textRect, LocalToPage(local));
        }
        m_textRect = CRect::Union(m_textRect, addOn.m_textRect);
    }
}

void CBarcode::MoveBy(int dx, int dy)
{
    if (dx == 0 && dy == 0)
        return;
    m_origin.x += dx;
    m_origin.y += dy;
    PlaceAll();
    if (m_frameBox) {
        CRect r = m_frameBox->m_bounds;
        r.OffsetRect(dx, dy);
        m_frameBox->SetBounds(nullptr, r);
    }
}

// --- element operations ------------------------------------------------------------

void CBarcode::RecalcPosition(CView* view)
{
    CRect r = CRect::Union(m_barRect, m_textRect);
    if (m_addOn)
        r = CRect::Union(r, CRect::Union(m_addOn->m_barRect, m_addOn->m_textRect));
    if (m_frameBox) {
        m_frameBox->RecalcPosition(view);
        r = CRect::Union(r, m_frameBox->m_bounds);
    }
    m_bounds = r;
}

void CBarcode::BeginCreate(CView* view, int x, int y)
{
    const CPoint p = App().snap ? App().snap->SnapPoint(x, y) : CPoint(x, y);
    Redraw(view, [this, p] { MoveBy(p.x - m_origin.x, p.y - m_origin.y); });
}

void CBarcode::ApplyTrackRect(CView* view)
{
    if (m_trackRect == m_startRect)
        return;
    const CRect& track = m_trackRect;
    const CRect& start = m_startRect;
    const bool upright = m_orientation == 0 || m_orientation == 180;
    const int startAcross = upright ? start.Height() : start.Width();
    const int trackAcross = upright ? track.Height() : track.Width();
    if (startAcross == trackAcross) {
        MoveBy(track.left - start.left, track.top - start.top);
        return;
    }
    m_height = std::max(kMinHeight, m_height + (trackAcross - startAcross));
    Regenerate();
    RecalcPosition(view);
    // The edge that was not dragged stays where it was.
    const CRect now = m_bounds;
    int dx = track.left - now.left;
    int dy = track.top - now.top;
    if (upright && track.top != start.top)
        dy = track.bottom - now.bottom;
    if (!upright && track.left != start.left)
        dx = track.right - now.right;
    MoveBy(dx, dy);
}

// A new paper type: the symbol's width follows its style and its
// human-readable text keeps its font, so of its size only the bars' height
// is a design length that scales (and only where the symbology lets it
// change). Charging the whole change of the element's rectangle to the bars,
// as a resize does, would leave a line no reader can scan under text of full
// size. The symbol keeps its top-left corner's place on the scaled sign.
void CBarcode::ScaleToPaper(CView* view, double factor)
{
    RecalcPosition(view);
    const CPoint corner(RoundHalfAway(m_bounds.left * factor),
                        RoundHalfAway(m_bounds.top * factor));
    Redraw(view, [this, view, factor, corner] {
        if (m_symbology->heightAdjustable && factor > 0.0) {
            m_height = std::max(kMinHeight, RoundHalfUp(m_height * factor));
            Regenerate();
        }
        RecalcPosition(view);
        MoveBy(corner.x - m_bounds.left, corner.y - m_bounds.top);
    });
    m_state &= ~DWORD(STATE_SELECTED | STATE_PRIMARY | STATE_TRACKING);
    UpdateRects(view);
}

void CBarcode::Rotate(CView* view)
{
    const int delta = RoundHalfAway(App().general.rotationAngle * 180.0 / M_PI);
    Redraw(view, [this, delta] {
        m_orientation = NormaliseOrientation(static_cast<long long>(m_orientation) + delta);
        ComputeLayout();
        Regenerate();
    });
}

void CBarcode::RotateAbout(CView* view, CPoint centre)
{
    const int delta = RoundHalfAway(App().general.rotationAngle * 180.0 / M_PI);
    Redraw(view, [this, delta, centre] {
        const int before = m_orientation;
        m_orientation = NormaliseOrientation(static_cast<long long>(m_orientation) + delta);
        // The origin turns with the symbol, clockwise, by the same quarter turns.
        const int turns = NormaliseOrientation(m_orientation - before) / 90;
        for (int i = 0; i < turns; ++i) {
            const CPoint rel = m_origin - centre;
            m_origin = CPoint(centre.x - rel.y, centre.y + rel.x);
        }
        ComputeLayout();
        Regenerate();
    });
}

BOOL CBarcode::IsHandleEnabled(int handle) const
{
    if (!m_symbology->heightAdjustable)
        return FALSE;
    if (m_orientation == 0 || m_orientation == 180)
        return handle == HANDLE_TOP || handle == HANDLE_BOTTOM ? TRUE : FALSE;
    return handle == HANDLE_RIGHT || handle == HANDLE_LEFT ? TRUE : FALSE;
}

int CBarcode::GetContextMenuId() const
{
    return kContextMenu;
}

int CBarcode::GetTypeCode() const
{
    return TYPE_BARCODE;
}

QString CBarcode::GetTypeName() const
{
    return QStringLiteral("Barcode");
}

int CBarcode::GetProgressWeight() const
{
    return 5;
}

QString CBarcode::GetText() const
{
    return m_data;
}

QString CBarcode::GetSampleData() const
{
    return m_sampleData;
}

BOOL CBarcode::IsEmpty() const
{
    return m_data.isEmpty() ? TRUE : FALSE;
}

void CBarcode::SetDataText(const QString& text, int, const QString&, BOOL)
{
    if (ThePrinter().m_labelPosition > 0 && m_startDataOnly && m_dataSource != SOURCE_INCREMENTING)
        return;
    CView* view = CurrentView();
    if (text.isEmpty()) {
        Invalidate(view, TRUE);
        m_data.clear();
        return;
    }
    QString formatted = text;
    FormatDataText(formatted);
    // The same data again (the next copy of a label, say) keeps the symbol
    // that is already made for it.
    if (IsMadeFor(formatted))
        return;
    Redraw(view, [this, &formatted] {
        m_data = formatted;
        Regenerate();
    });
    if (m_ownedByTable && m_ownerTable)
        m_ownerTable->OnCellDataChanged();
}

BOOL CBarcode::IsMadeFor(const QString& data) const
{
    if (data != m_data || m_bitmap.isNull())
        return FALSE;
    const bool upright = m_orientation == 0 || m_orientation == 180;
    const CSize dpi = upright ? CSize(ResolutionAlong(), ResolutionAcross())
                              : CSize(ResolutionAcross(), ResolutionAlong());
    return dpi == m_bitmapDpi ? TRUE : FALSE;
}

void CBarcode::BeginDataEntry()
{
    if (m_dataSource == SOURCE_KEYBOARD || m_dataSource == SOURCE_DATABASE)
        SetDataText(GetDataText(FALSE), m_dataSource, m_sourceName, FALSE);
    CElement::BeginDataEntry();
}

void CBarcode::EndDataEntry()
{
    if (m_dataSource != SOURCE_FIXED) {
        QString text = m_sampleData;
        FormatDataText(text);
        if (!IsMadeFor(text)) {
            Redraw(CurrentView(), [this, &text] {
                m_data = text;
                Regenerate();
            });
        }
    }
    CElement::EndDataEntry();
}

void CBarcode::SetSampleData(CView* view, const QString& text)
{
    Redraw(view, [this, &text] {
        m_sampleData = text;
        Regenerate();
    });
}

void CBarcode::OnPrinterChanged(CPrinter*)
{
    Redraw(CurrentView(), [this] {
        ComputeLayout();
        Regenerate();
    });
}

void CBarcode::Refresh()
{
    RegenerateAndRedraw();
}

void CBarcode::RegenerateAndRedraw()
{
    Redraw(CurrentView(), [this] { Regenerate(); });
}

// --- drawing -------------------------------------------------------------------

BOOL CBarcode::CanPrintNatively(const CDC* dc) const
{
    if (!dc || !dc->IsPrinting() || !m_nativePrint || m_addOn)
        return FALSE;
    const CPrinter& printer = ThePrinter();
    return printer.IsNativeBarcodeSupported(GetSymbologyId()) &&
                   printer.IsNativeRotationSupported(m_orientation / 90)
               ? TRUE
               : FALSE;
}

QByteArray CBarcode::NativeRecord(CPoint labelOrigin) const
{
    const CRect area = CRect::Union(m_barRect, m_textRect);
    const QByteArray text = DriverBytes(m_encodedText);
    const QByteArray check = DriverBytes(m_checkChars);
    QByteArray out;
    AppendWord(out, area.left + labelOrigin.x);
    AppendWord(out, area.top + labelOrigin.y);
    AppendWord(out, GetSymbologyId());
    for (WORD w : m_elementWidths)
        AppendWord(out, w);
    AppendWord(out, m_height);
    AppendDWord(out, 0);
    AppendWord(out, 1 << (m_orientation / 90));
    AppendWord(out, m_bitmapSize.cx); // along the bars whatever the turn
    AppendDWord(out, 0);
    out.append(static_cast<char>(m_showHumanReadable ? 1 : 0));
    out.append(static_cast<char>(m_calculateCheck ? 1 : 0));
    AppendWord(out, check.size());
    AppendWord(out, text.size());
    AppendWord(out, 0);
    out.append(text);
    out.append(check);
    return out;
}

void CBarcode::Draw(CDC* dc, const CRect& clip)
{
    if (!IsVisibleIn(dc, clip))
        return;
    if (IsTracking(dc) || m_data.isEmpty()) {
        DrawTracker(dc);
        return;
    }
    // A printer that draws the symbology itself would be handed NativeRecord
    // here; no printer on this platform takes it, so the bitmap is always
    // drawn and what is printed is what the screen shows.
    if (!m_bitmap.isNull())
        dc->DrawImageAt(m_bitmap, m_barRect.TopLeft(), m_bitmapDpi.cx, m_bitmapDpi.cy);
    for (const CTextBase& part : m_texts)
        part.Draw(dc);
    if (m_addOn)
        m_addOn->Draw(dc, m_bitmapDpi);
    if (m_frameBox)
        m_frameBox->Draw(dc, clip);
    DrawTracker(dc);
}

void CBarcode::RenderPreview(CDC* dc, const CRect& rect)
{
    if (!dc)
        return;
    RecalcPosition(nullptr);
    const CRect bounds = m_bounds;
    const int inset = m_frameBox ? std::max(0, m_frameBox->GetThickness()) : 0;
    const int width = bounds.Width() + 2 * inset;
    const int height = bounds.Height() + 2 * inset;
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
        rect.Width() <= 0 || rect.Height() <= 0)
        return;
    // One pixel per tenth of a millimetre.
    CImageDC image(width, height, 254, 254);
    image.SetWindowOrg(bounds.left - inset, bounds.top - inset);
    Draw(&image, bounds);
    const double scale = std::min(double(rect.Width()) / width, double(rect.Height()) / height);
    const int w = std::max(1, RoundHalfUp(width * scale));
    const int h = std::max(1, RoundHalfUp(height * scale));
    const int left = rect.left + (rect.Width() - w) / 2;
    const int top = rect.top + (rect.Height() - h) / 2;
    dc->DrawImage(image.Image(), CRect(left, top, left + w, top + h));
}

// --- archive and export --------------------------------------------------------------

void CBarcode::EnsureTextFonts()
{
    const LogFontFields fallback = CBarcodePreferences::Current().DefaultFont();
    for (CTextBase& part : m_texts) {
        if (!part.OwnsFont()) {
            const CLogFont font(fallback);
            part.CreateOwnFont(&font);
            continue;
        }
        LogFontFields lf = part.GetFont().GetLogFont();
        const QString face = CBarcodePreferences::UsableFace(lf.lfFaceName);
        // A character width beyond any font's height is no width a font has.
        const bool oddWidth = std::llabs(static_cast<long long>(lf.lfWidth)) > CLogFont::kMaxHeight;
        if (face != lf.lfFaceName || oddWidth) {
            lf.lfFaceName = face;
            if (oddWidth)
                lf.lfWidth = 0;
            part.SetLogFont(lf);
        }
        // Every font height passes through the font's snapping; a file may
        // hold one that no font has.
        const long long height = lf.lfHeight;
        if (height == 0 || std::llabs(height) > CLogFont::kMaxHeight)
            part.SetHeight(part.GetFont().SnapHeight(height > 0 ? CLogFont::kMaxHeight : 0));
    }
}

void CBarcode::Serialize(CArchive& ar)
{
    CElement::Serialize(ar);
    CBarcodeStyleList& styles = TheBarcodeStyleList();
    if (ar.IsStoring()) {
        ar << m_data << m_sampleData << DWORD(m_height) << m_origin.x << m_origin.y
           << DWORD(m_calculateCheck) << DWORD(m_showHumanReadable) << DWORD(m_showCheck)
           << m_styleName;
        ar.WritePlainArray(m_margins);
        ar << DWORD(m_orientation);
        for (CTextBase& part : m_texts)
            part.Serialize(ar);
        ar << DWORD(m_hJustify) << DWORD(m_vJustify) << DWORD(GetAddOnDigits());
        styles.SerializeStyle(ar, m_style, m_symbology->family);
        return;
    }

    const int version = App().fileVersion;
    ar >> m_data >> m_sampleData;
    m_height = ar.ReadInt();
    if (version < 250) {
        CRect old;
        ar >> old;
        if (version < 200)
            m_origin = old.TopLeft();
    }
    if (version >= 200) {
        m_origin.x = ar.ReadInt();
        m_origin.y = ar.ReadInt();
    }
    // Beyond any sign; the placement arithmetic must not overflow.
    m_origin.x = std::clamp(m_origin.x, -kMaxCoordinate, kMaxCoordinate);
    m_origin.y = std::clamp(m_origin.y, -kMaxCoordinate, kMaxCoordinate);
    if (version < 250)
        ar.ReadDWord();
    m_calculateCheck = ar.ReadInt() != 0 ? TRUE : FALSE;
    m_showHumanReadable = ar.ReadInt() != 0 ? TRUE : FALSE;
    m_showCheck = ar.ReadInt() != 0 ? TRUE : FALSE;
    if (version < 250)
        ar.ReadDWord();
    ar >> m_styleName;
    ar.ReadPlainArray(m_margins);
    m_margins.resize(4, 0);
    m_orientation = NormaliseOrientation(ar.ReadInt());
    if (version < 110) {
        m_filterType = ar.ReadInt();
        m_caseCoercion = ar.ReadInt();
    }
    if (version >= 250) {
        for (CTextBase& part : m_texts)
            part.Serialize(ar);
        m_hJustify = ar.ReadInt();
        m_vJustify = ar.ReadInt();
        const int digits = ar.ReadInt();
        if (digits != 0 && digits != 2 && digits != 5)
            throw CArchiveException(CArchiveException::generic, "barcode: bad add-on size");
        SetAddOnDigits(digits);
    } else {
        CLogFont font;
        font.Serialize(ar);
        for (CTextBase& part : m_texts)
            part.CreateOwnFont(&font);
    }
    if (version >= 230)
        styles.SerializeStyle(ar, nullptr, m_symbology->family);

    EnsureTextFonts();
    if (m_symbology->family != FAMILY_NONE)
        SetStyle(styles.Find(m_styleName, m_symbology->family));
    ComputeLayout();
    Regenerate();
    RecalcPosition(nullptr);
}

void CBarcode::WriteXml(CTextExportFile& file)
{
    file.WriteString(QStringLiteral("  <barcode>\n\n"));
    CElement::WriteXml(file);
    file.WriteString(QStringLiteral("    <type=\"%1\"/>\n").arg(GetSymbologyId()));
    file.WriteString(QStringLiteral("    <position units=\"TMM\" x=\"%1\" y=\"%2\"/>\n")
                         .arg(m_origin.x)
                         .arg(m_origin.y));
    file.WriteString(QStringLiteral("    <height units=\"TMM\" value=\"%1\"/>\n").arg(m_height));
    file.WriteString(QStringLiteral("    <orientation=\"%1\"/>\n").arg(m_orientation));
    file.WriteString(QStringLiteral("    <checksum generate=\"%1\" show=\"%2\"/>\n")
                         .arg(m_calculateCheck)
                         .arg(m_showCheck));
    file.WriteString(QStringLiteral("    <human-readable=\"%1\"/>\n").arg(m_showHumanReadable));
    file.WriteString(QStringLiteral("\n"));
    m_texts[0].GetFont().WriteXml(file);
    file.WriteString(QStringLiteral("    <justification horizontal=\"%1\" vertical=\"%2\"/>\n")
                         .arg(m_hJustify)
                         .arg(m_vJustify));
    if (m_addOn)
        file.WriteString(QStringLiteral("    <add-on=\"%1\"/>\n").arg(m_addOn->m_digits));
    if (m_style)
        m_style->WriteXml(file);
    file.WriteString(
        QStringLiteral("    <sample-data>%1</sample-data>\n").arg(HtmlEscape(m_sampleData)));
    file.WriteString(QStringLiteral("\n  </barcode>\n\n"));
}
