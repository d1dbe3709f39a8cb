#include "LogFont.h"

#include "AppContext.h"
#include "Archive.h"
#include "Codec1252.h"
#include "Rounding.h"
#include "TextExport.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QRawFont>
#include <QSet>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <map>

IMPLEMENT_PERSISTENT(CLogFont, CObject, 1)

namespace {

constexpr double kPointsPerTenth = 0.28346456692913385; // 72 / 254
constexpr double kTenthsPerPoint = 3.5277777777777777;  // 254 / 72

// The fallback faces, in order of preference, for a face that is not installed.
constexpr const char* kFallbackFaces[] = {"Liberation Sans", "DejaVu Sans"};

// LOGFONT pitch and family values.
enum : BYTE
{
    FIXED_PITCH = 0x01,
    VARIABLE_PITCH = 0x02,
    FF_DONTCARE = 0x00,
    FF_ROMAN = 0x10,
    FF_SWISS = 0x20,
    FF_MODERN = 0x30,
    FF_SCRIPT = 0x40,
    FF_DECORATIVE = 0x50,
};

// Text-metric pitch and family bits. TMPF_FIXED_PITCH set means variable pitch.
enum : BYTE
{
    TMPF_FIXED_PITCH = 0x01,
    TMPF_VECTOR = 0x02,
    TMPF_TRUETYPE = 0x04,
};

constexpr BYTE SYMBOL_CHARSET = 2;

// The 256 byte characters, one UTF-16 unit each.
const QString& ByteCharacters()
{
    static const QString chars = [] {
        QByteArray bytes(256, '\0');
        for (int i = 0; i < 256; ++i)
            bytes[i] = static_cast<char>(i);
        return FromWindows1252(bytes);
    }();
    return chars;
}

BYTE ByteOf(QChar c)
{
    return static_cast<BYTE>(ToWindows1252Char(c));
}

quint16 PairKey(BYTE first, BYTE second)
{
    return static_cast<quint16>((first << 8) | second);
}

bool GuiAvailable()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

// Sorts the pairs by key and keeps the first of each key.
std::vector<CKerningPair> SortedPairs(std::vector<CKerningPair> pairs)
{
    std::stable_sort(pairs.begin(), pairs.end(), [](const CKerningPair& a, const CKerningPair& b) {
        return PairKey(a.first, a.second) < PairKey(b.first, b.second);
    });
    pairs.erase(std::unique(pairs.begin(), pairs.end(),
                            [](const CKerningPair& a, const CKerningPair& b) {
                                return a.first == b.first && a.second == b.second;
                            }),
                pairs.end());
    return pairs;
}

// Leading decimal number of a text, as atof reads it (C locale); 0 when
// there is none.
double LeadingNumber(const QString& text)
{
    const QByteArray bytes = text.trimmed().toLatin1();
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    if (first != last && *first == '+')
        ++first;
    double value = 0;
    const auto result = std::from_chars(first, last, value);
    return result.ec == std::errc() ? value : 0.0;
}

// --- font tables ----------------------------------------------------------------

// Big-endian reads that give 0 outside the table.
class TableReader
{
public:
    explicit TableReader(const QByteArray& data) : m_data(data) {}

    qsizetype Size() const { return m_data.size(); }
    bool Has(qsizetype offset, qsizetype bytes) const
    {
        return offset >= 0 && bytes >= 0 && offset + bytes <= m_data.size();
    }
    quint32 U16(qsizetype offset) const
    {
        return Has(offset, 2) ? qFromBigEndian<quint16>(m_data.constData() + offset) : 0;
    }
    int S16(qsizetype offset) const
    {
        return Has(offset, 2) ? qFromBigEndian<qint16>(m_data.constData() + offset) : 0;
    }
    quint32 U32(qsizetype offset) const
    {
        return Has(offset, 4) ? qFromBigEndian<quint32>(m_data.constData() + offset) : 0;
    }
    // How many records of that size fit from offset on, at most count.
    qsizetype Fit(qsizetype offset, qsizetype count, qsizetype recordSize) const
    {
        if (offset < 0 || offset > m_data.size() || recordSize <= 0)
            return 0;
        return std::min(count, (m_data.size() - offset) / recordSize);
    }

private:
    const QByteArray& m_data;
};

struct GlyphPair
{
    quint32 left;
    quint32 right;
    int amount;
};

// Pairs of a format 0 'kern' subtable.
void ReadKernFormat0(const TableReader& t, qsizetype offset, std::vector<GlyphPair>& out)
{
    const qsizetype pairs = t.Fit(offset + 8, t.U16(offset), 6);
    for (qsizetype i = 0; i < pairs; ++i) {
        const qsizetype p = offset + 8 + i * 6;
        out.push_back({t.U16(p), t.U16(p + 2), t.S16(p + 4)});
    }
}

// The first horizontal format 0 subtable of a 'kern' table, in the Windows
// or the Apple layout.
std::vector<GlyphPair> ReadKernTable(const QByteArray& table)
{
    std::vector<GlyphPair> pairs;
    const TableReader t(table);
    if (t.Size() < 4)
        return pairs;
    if (t.U16(0) == 0) {
        const quint32 count = t.U16(2);
        qsizetype offset = 4;
        for (quint32 i = 0; i < count && t.Has(offset, 6); ++i) {
            const quint32 length = t.U16(offset + 2);
            const quint32 coverage = t.U16(offset + 4);
            // Horizontal, neither minimum values nor cross-stream.
            if ((coverage >> 8) == 0 && (coverage & 0x7) == 0x1) {
                ReadKernFormat0(t, offset + 6, pairs);
                break;
            }
            if (length < 6)
                break;
            offset += length;
        }
    } else if (t.U32(0) == 0x00010000) {
        const quint32 count = t.U32(4);
        qsizetype offset = 8;
        for (quint32 i = 0; i < count && t.Has(offset, 8); ++i) {
            const quint32 length = t.U32(offset);
            const quint32 coverage = t.U16(offset + 4);
            if ((coverage & 0xFF) == 0 && (coverage & 0xE000) == 0) {
                ReadKernFormat0(t, offset + 8, pairs);
                break;
            }
            if (length < 8)
                break;
            offset += length;
        }
    }
    return pairs;
}

int CoverageIndex(const TableReader& t, qsizetype offset, quint32 glyph)
{
    const quint32 format = t.U16(offset);
    if (format == 1) {
        const qsizetype count = t.Fit(offset + 4, t.U16(offset + 2), 2);
        for (qsizetype i = 0; i < count; ++i) {
            if (t.U16(offset + 4 + i * 2) == glyph)
                return static_cast<int>(i);
        }
    } else if (format == 2) {
        const qsizetype count = t.Fit(offset + 4, t.U16(offset + 2), 6);
        for (qsizetype i = 0; i < count; ++i) {
            const qsizetype r = offset + 4 + i * 6;
            if (glyph >= t.U16(r) && glyph <= t.U16(r + 2))
                return static_cast<int>(t.U16(r + 4) + glyph - t.U16(r));
        }
    }
    return -1;
}

quint32 GlyphClass(const TableReader& t, qsizetype offset, quint32 glyph)
{
    const quint32 format = t.U16(offset);
    if (format == 1) {
        const quint32 start = t.U16(offset + 2);
        const quint32 count = t.U16(offset + 4);
        if (glyph >= start && glyph - start < count)
            return t.U16(offset + 6 + (glyph - start) * 2);
    } else if (format == 2) {
        const qsizetype count = t.Fit(offset + 4, t.U16(offset + 2), 6);
        for (qsizetype i = 0; i < count; ++i) {
            const qsizetype r = offset + 4 + i * 6;
            if (glyph >= t.U16(r) && glyph <= t.U16(r + 2))
                return t.U16(r + 4);
        }
    }
    return 0;
}

// Size of a value record and the place of its x advance (-1: none).
qsizetype ValueRecordSize(quint32 format)
{
    return std::popcount(format & 0xFFu) * 2;
}
qsizetype XAdvanceOffset(quint32 format)
{
    return (format & 0x4) ? std::popcount(format & 0x3u) * 2 : -1;
}

// One pair adjustment subtable, for the given glyphs.
void ReadPairPos(const TableReader& t, qsizetype sub, const std::vector<quint32>& glyphs,
                 std::vector<GlyphPair>& out)
{
    const quint32 format = t.U16(sub);
    const qsizetype coverage = sub + t.U16(sub + 2);
    const quint32 format1 = t.U16(sub + 4);
    const quint32 format2 = t.U16(sub + 6);
    const qsizetype xAdvance = XAdvanceOffset(format1);
    if (xAdvance < 0)
        return;
    const qsizetype size1 = ValueRecordSize(format1);
    const qsizetype size2 = ValueRecordSize(format2);
    if (format == 1) {
        const quint32 setCount = t.U16(sub + 8);
        const qsizetype record = 2 + size1 + size2;
        for (quint32 left : glyphs) {
            const int index = CoverageIndex(t, coverage, left);
            if (index < 0 || quint32(index) >= setCount)
                continue;
            const qsizetype set = sub + t.U16(sub + 10 + index * 2);
            const qsizetype count = t.Fit(set + 2, t.U16(set), record);
            for (qsizetype i = 0; i < count; ++i) {
                const qsizetype r = set + 2 + i * record;
                const quint32 right = t.U16(r);
                if (std::binary_search(glyphs.begin(), glyphs.end(), right))
                    out.push_back({left, right, t.S16(r + 2 + xAdvance)});
            }
        }
    } else if (format == 2) {
        const qsizetype classDef1 = sub + t.U16(sub + 8);
        const qsizetype classDef2 = sub + t.U16(sub + 10);
        const quint32 class1Count = t.U16(sub + 12);
        const quint32 class2Count = t.U16(sub + 14);
        const qsizetype record = size1 + size2;
        const qsizetype base = sub + 16;
        if (!t.Has(base, qsizetype(class1Count) * class2Count * record))
            return;
        for (quint32 left : glyphs) {
            if (CoverageIndex(t, coverage, left) < 0)
                continue;
            const quint32 class1 = GlyphClass(t, classDef1, left);
            if (class1 >= class1Count)
                continue;
            for (quint32 right : glyphs) {
                const quint32 class2 = GlyphClass(t, classDef2, right);
                if (class2 >= class2Count)
                    continue;
                const int amount =
                    t.S16(base + (qsizetype(class1) * class2Count + class2) * record + xAdvance);
                if (amount != 0)
                    out.push_back({left, right, amount});
            }
        }
    }
}

// Pair adjustments of the lookups of every 'kern' feature, for the given
// glyphs (sorted).
std::vector<GlyphPair> ReadGposKerning(const QByteArray& table, const std::vector<quint32>& glyphs)
{
    std::vector<GlyphPair> pairs;
    const TableReader t(table);
    if (t.Size() < 10 || t.U16(0) != 1)
        return pairs;
    const qsizetype featureList = t.U16(6);
    const qsizetype lookupList = t.U16(8);

    std::vector<quint32> lookups;
    const qsizetype features = t.Fit(featureList + 2, t.U16(featureList), 6);
    for (qsizetype i = 0; i < features; ++i) {
        const qsizetype r = featureList + 2 + i * 6;
        if (!t.Has(r, 6) || table.mid(r, 4) != "kern")
            continue;
        const qsizetype feature = featureList + t.U16(r + 4);
        const qsizetype count = t.Fit(feature + 4, t.U16(feature + 2), 2);
        for (qsizetype k = 0; k < count; ++k)
            lookups.push_back(t.U16(feature + 4 + k * 2));
    }
    std::sort(lookups.begin(), lookups.end());
    lookups.erase(std::unique(lookups.begin(), lookups.end()), lookups.end());

    const quint32 lookupCount = t.U16(lookupList);
    for (quint32 index : lookups) {
        if (index >= lookupCount)
            continue;
        const qsizetype lookup = lookupList + t.U16(lookupList + 2 + index * 2);
        const quint32 type = t.U16(lookup);
        const qsizetype subtables = t.Fit(lookup + 6, t.U16(lookup + 4), 2);
        for (qsizetype s = 0; s < subtables; ++s) {
            qsizetype sub = lookup + t.U16(lookup + 6 + s * 2);
            quint32 subType = type;
            if (type == 9 && t.U16(sub) == 1) {
                subType = t.U16(sub + 2);
                sub += t.U32(sub + 4);
            }
            if (subType == 2)
                ReadPairPos(t, sub, glyphs, pairs);
        }
    }
    return pairs;
}

// The family nibble of a face from its PANOSE classification.
BYTE FamilyOf(const QByteArray& os2, bool fixedPitch)
{
    const TableReader t(os2);
    if (!t.Has(32, 2))
        return fixedPitch ? FF_MODERN : FF_DONTCARE;
    const int kind = static_cast<BYTE>(os2[32]);
    const int serif = static_cast<BYTE>(os2[33]);
    switch (kind) {
    case 2:
        if (fixedPitch)
            return FF_MODERN;
        return (serif >= 11 && serif <= 13) ? FF_SWISS : FF_ROMAN;
    case 3:
        return FF_SCRIPT;
    case 4:
    case 5:
        return FF_DECORATIVE;
    default:
        return fixedPitch ? FF_MODERN : FF_DONTCARE;
    }
}

// Symbol faces carry a (3, 0) character map.
bool IsSymbolFace(const QByteArray& cmap)
{
    const TableReader t(cmap);
    const qsizetype count = t.Fit(4, t.U16(2), 8);
    for (qsizetype i = 0; i < count; ++i) {
        if (t.U16(4 + i * 8) == 3 && t.U16(6 + i * 8) == 0)
            return true;
    }
    return false;
}

QFont MakeFont(const QString& family, LONG weight, bool italic)
{
    QFont font(family);
    font.setPixelSize(100);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferOutline);
    font.setKerning(false);
    if (weight > 0)
        font.setWeight(QFont::Weight(std::clamp(int(weight), 1, 1000)));
    font.setItalic(italic);
    return font;
}

int ToDevice(LONG tenths, double dpi)
{
    if (tenths == 0)
        return 0;
    const int px = RoundHalfAway(tenths * dpi / 254.0);
    return px != 0 ? px : (tenths > 0 ? 1 : -1);
}

int PxToTenths(int px, double dpi)
{
    return RoundHalfUp(std::max(px, 0) * 254.0 / dpi);
}

} // namespace

// --- providers --------------------------------------------------------------------

namespace {

struct ProviderSlot
{
    std::unique_ptr<CFontMetricsProvider> provider;
};

} // namespace

CFontHooks& FontHooks()
{
    static CFontHooks hooks;
    return hooks;
}

CFontMetricsProvider& CFontMetricsProvider::Current()
{
    ProviderSlot& slot = App().Get<ProviderSlot>();
    if (!slot.provider)
        slot.provider = std::make_unique<CPrinterFontMetrics>();
    return *slot.provider;
}

void CFontMetricsProvider::Install(std::unique_ptr<CFontMetricsProvider> provider)
{
    App().Get<ProviderSlot>().provider = std::move(provider);
}

// What the printer provider keeps of one face (family, weight and slant):
// its advances and kerning in font units.
struct CPrinterFontMetrics::FaceData
{
    std::array<double, 256> unitAdvances{};
    std::vector<CKerningPair> kerning; // font units
};

CPrinterFontMetrics::CPrinterFontMetrics()
{
    // A4 at the virtual printer's resolution.
    m_virtualPrinter.SetDeviceCaps(kVirtualPrinterDpi, kVirtualPrinterDpi, CSize(4961, 7016));
}

CPrinterFontMetrics::~CPrinterFontMetrics() = default;

CDC* CPrinterFontMetrics::MeasuringDC()
{
    if (!GuiAvailable()) {
        static bool warned = false;
        if (!warned) {
            warned = true;
            qWarning("Fonts cannot be measured without a GUI application");
        }
        return nullptr;
    }
    if (App().printerDC) {
        if (CDC* dc = App().printerDC())
            return dc;
    }
    return &m_virtualPrinter;
}

// Whether a family is installed. Asking the font database runs a fontconfig
// match each time, and every font record read asks; the answers are kept
// (up to a bound, as a damaged sign can name any number of faces).
static bool FamilyInstalled(const QString& family)
{
    static QHash<QString, bool> known;
    const auto it = known.constFind(family);
    if (it != known.constEnd())
        return *it;
    const bool installed = QFontDatabase::hasFamily(family);
    if (known.size() < 4096)
        known.insert(family, installed);
    return installed;
}

QString CPrinterFontMetrics::ResolveFace(const QString& face)
{
    const QString name = CDC::SubstituteFaceName(face.trimmed());
    if (!name.isEmpty() && FamilyInstalled(name))
        return name;
    QString fallback = QString::fromLatin1(kFallbackFaces[0]);
    for (const char* candidate : kFallbackFaces) {
        if (FamilyInstalled(QString::fromLatin1(candidate))) {
            fallback = QString::fromLatin1(candidate);
            break;
        }
    }
    static QSet<QString> warned;
    if (!warned.contains(name)) {
        warned.insert(name);
        qWarning("Font \"%s\" is not installed; \"%s\" stands in for it", qPrintable(name),
                 qPrintable(fallback));
    }
    return fallback;
}

std::vector<CKerningPair> CPrinterFontMetrics::ReadKerningPairs(const QRawFont& font)
{
    std::vector<CKerningPair> result;
    if (!font.isValid())
        return result;
    // Which byte characters each glyph stands for (glyph 0 is "missing").
    const QList<quint32> indexes = font.glyphIndexesForString(ByteCharacters());
    std::map<quint32, std::vector<BYTE>> bytesOf;
    for (qsizetype i = 0; i < indexes.size() && i < 256; ++i) {
        if (indexes[i] != 0)
            bytesOf[indexes[i]].push_back(static_cast<BYTE>(i));
    }

    std::vector<GlyphPair> pairs = ReadKernTable(font.fontTable("kern"));
    if (pairs.empty()) {
        std::vector<quint32> glyphs;
        for (const auto& entry : bytesOf)
            glyphs.push_back(entry.first); // ascending
        pairs = ReadGposKerning(font.fontTable("GPOS"), glyphs);
    }
    for (const GlyphPair& p : pairs) {
        const auto left = bytesOf.find(p.left);
        const auto right = bytesOf.find(p.right);
        if (left == bytesOf.end() || right == bytesOf.end() || p.amount == 0)
            continue;
        for (BYTE first : left->second) {
            for (BYTE second : right->second)
                result.push_back({first, second, p.amount});
        }
    }
    return SortedPairs(std::move(result));
}

const CPrinterFontMetrics::FaceData& CPrinterFontMetrics::Face(const LogFontFields& deviceFont)
{
    const bool italic = deviceFont.lfItalic != 0;
    const QString key = QStringLiteral("%1|%2|%3")
                            .arg(deviceFont.lfFaceName)
                            .arg(deviceFont.lfWeight)
                            .arg(italic ? 1 : 0);
    auto it = m_faces.find(key);
    if (it != m_faces.end())
        return *it->second;

    auto data = std::make_unique<FaceData>();
    QRawFont raw = QRawFont::fromFont(MakeFont(deviceFont.lfFaceName, deviceFont.lfWeight, italic));
    if (raw.isValid()) {
        const int unitsPerEm = static_cast<int>(TableReader(raw.fontTable("head")).U16(18));
        raw.setPixelSize(unitsPerEm > 0 ? unitsPerEm : 1000);
        const QList<quint32> glyphs = raw.glyphIndexesForString(ByteCharacters());
        const QList<QPointF> advances =
            raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
        for (qsizetype i = 0; i < advances.size() && i < 256; ++i)
            data->unitAdvances[size_t(i)] = advances[i].x();
        data->kerning = ReadKerningPairs(raw);
    }
    return *m_faces.emplace(key, std::move(data)).first->second;
}

namespace {

// The font as the device selects it: the installed face, sizes in device
// pixels, upright (advances run along the baseline whatever the angle).
LogFontFields DeviceFont(const LogFontFields& lf, const QString& face, double dpiX, double dpiY)
{
    LogFontFields device = lf;
    device.lfFaceName = face;
    device.lfHeight = ToDevice(lf.lfHeight, dpiY);
    device.lfWidth = ToDevice(lf.lfWidth, dpiX);
    device.lfEscapement = 0;
    device.lfOrientation = 0;
    return device;
}

// One device pixel per logical unit, from the origin.
void PixelMapping(CDC& dc)
{
    dc.SetWindowOrg(0, 0);
    dc.SetViewportOrg(0, 0);
    dc.SetWindowExt(1, 1);
    dc.SetViewportExt(1, 1);
}

CTextMetrics MetricsToTenths(const CTextMetrics& px, double dpiX, double dpiY)
{
    CTextMetrics tm = px;
    tm.tmAscent = PxToTenths(px.tmAscent, dpiY);
    tm.tmDescent = PxToTenths(px.tmDescent, dpiY);
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = PxToTenths(px.tmInternalLeading, dpiY);
    tm.tmExternalLeading = PxToTenths(px.tmExternalLeading, dpiY);
    tm.tmAveCharWidth = PxToTenths(px.tmAveCharWidth, dpiX);
    tm.tmMaxCharWidth = PxToTenths(px.tmMaxCharWidth, dpiX);
    return tm;
}

} // namespace

bool CPrinterFontMetrics::GetTextMetrics(const LogFontFields& lf, CTextMetrics& out)
{
    CDC* dc = MeasuringDC();
    if (!dc)
        return false;
    const double dpiX = dc->GetDeviceDpiX();
    const double dpiY = dc->GetDeviceDpiY();
    const int saved = dc->SaveDC();
    PixelMapping(*dc);
    dc->SelectFont(DeviceFont(lf, ResolveFace(lf.lfFaceName), dpiX, dpiY));
    out = MetricsToTenths(dc->GetTextMetrics(), dpiX, dpiY);
    dc->RestoreDC(saved);
    return true;
}

bool CPrinterFontMetrics::Measure(const LogFontFields& lf, CFontMeasures& out)
{
    CDC* dc = MeasuringDC();
    if (!dc)
        return false;
    const double dpiX = dc->GetDeviceDpiX();
    const double dpiY = dc->GetDeviceDpiY();
    const LogFontFields device = DeviceFont(lf, ResolveFace(lf.lfFaceName), dpiX, dpiY);

    const int saved = dc->SaveDC();
    PixelMapping(*dc);
    dc->SelectFont(device);
    const CTextMetrics px = dc->GetTextMetrics();
    const std::vector<double> advances = dc->GetCharAdvances(ByteCharacters());
    dc->RestoreDC(saved);

    out.tm = MetricsToTenths(px, dpiX, dpiY);
    out.face = device.lfFaceName;
    // Whole device pixels, as the printer sets the characters.
    for (size_t i = 0; i < out.widths.size(); ++i) {
        const int widthPx = i < advances.size() ? RoundHalfUp(std::max(advances[i], 0.0)) : 0;
        out.widths[i] = RoundHalfUp(widthPx * 2540.0 / dpiX);
    }

    // Font units to device pixels: the ratio of the advances measured here to
    // the advances in font units, which also carries any stretch from lfWidth.
    const FaceData& face = Face(device);
    double measured = 0, units = 0;
    for (size_t i = 0; i < advances.size() && i < 256; ++i) {
        if (face.unitAdvances[i] > 0 && advances[i] > 0) {
            measured += advances[i];
            units += face.unitAdvances[i];
        }
    }
    out.kerning.clear();
    if (units > 0) {
        const double scale = measured / units;
        for (const CKerningPair& pair : face.kerning) {
            const int amountPx = RoundHalfAway(pair.amount * scale);
            const int amount = RoundHalfAway(amountPx * 2540.0 / dpiX);
            if (amount != 0)
                out.kerning.push_back({pair.first, pair.second, amount});
        }
    }
    return true;
}

CFaceInfo CPrinterFontMetrics::EnumerateFace(const QString& face)
{
    CFaceInfo info;
    if (!GuiAvailable())
        return info;
    const QString family = CDC::SubstituteFaceName(face.trimmed());
    if (family.isEmpty() || !FamilyInstalled(family))
        return info;
    info.found = true;
    const bool fixedPitch = QFontDatabase::isFixedPitch(family);
    const bool scalable = QFontDatabase::isScalable(family);
    const QRawFont raw = QRawFont::fromFont(MakeFont(family, 400, false));
    // Outlines of either kind, TrueType ("glyf") or PostScript ("CFF ",
    // "CFF2"), draw alike on the screen and the printer.
    const bool outline =
        raw.isValid() && (!raw.fontTable("glyf").isEmpty() || !raw.fontTable("CFF ").isEmpty() ||
                          !raw.fontTable("CFF2").isEmpty());
    const BYTE familyBits =
        FamilyOf(raw.isValid() ? raw.fontTable("OS/2") : QByteArray(), fixedPitch);
    info.charSet = raw.isValid() && IsSymbolFace(raw.fontTable("cmap")) ? SYMBOL_CHARSET : 0;
    info.pitchAndFamily = familyBits | (fixedPitch ? FIXED_PITCH : VARIABLE_PITCH);
    info.tmPitchAndFamily = familyBits | (fixedPitch ? 0 : TMPF_FIXED_PITCH) |
                            (scalable ? TMPF_VECTOR : 0) | (outline ? TMPF_TRUETYPE : 0);
    if (!scalable) {
        // Each style of a bitmap family has sizes of its own.
        for (const QString& style : QFontDatabase::styles(family)) {
            CFaceVariant variant;
            variant.face = face;
            variant.kind = CFaceVariant::Raster;
            variant.weight = QFontDatabase::weight(family, style);
            variant.italic = QFontDatabase::italic(family, style);
            for (int points : QFontDatabase::pointSizes(family, style)) {
                variant.height = RoundHalfUp(points * kTenthsPerPoint);
                info.variants.push_back(variant);
            }
        }
    }
    return info;
}

// --- the record ---------------------------------------------------------------------

LogFontFields CLogFont::DefaultLogFont()
{
    LogFontFields lf;
    lf.lfHeight = kDefaultHeight;
    lf.lfWeight = 400;
    lf.lfOutPrecision = 4;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lf.lfFaceName = QStringLiteral("Arial");
    return lf;
}

CLogFont::CLogFont() : m_lf(DefaultLogFont())
{
    BuildMetrics();
}

CLogFont::CLogFont(const LogFontFields& lf) : m_lf(lf)
{
    m_lf.lfFaceName = FitFaceName(lf.lfFaceName);
    BuildMetrics();
}

// A copy carries the measures with it: they belong to the same LOGFONT.
CLogFont::CLogFont(const CLogFont& other) = default;
CLogFont& CLogFont::operator=(const CLogFont& other) = default;
CLogFont::~CLogFont() = default;

QString CLogFont::FitFaceName(const QString& name)
{
    if (name.size() <= kMaxFaceLength)
        return name;
    qsizetype length = kMaxFaceLength;
    if (name.at(length - 1).isHighSurrogate())
        --length;
    return name.left(length);
}

int CLogFont::GetCharWidth(QChar c) const
{
    return m_widths[ByteOf(c)];
}

int CLogFont::GetKerning(QChar first, QChar second) const
{
    if (m_kerning.empty())
        return 0;
    const quint16 key = PairKey(ByteOf(first), ByteOf(second));
    const auto it = std::lower_bound(
        m_kerning.begin(), m_kerning.end(), key,
        [](const CKerningPair& p, quint16 k) { return PairKey(p.first, p.second) < k; });
    if (it == m_kerning.end() || PairKey(it->first, it->second) != key)
        return 0;
    return it->amount;
}

LogFontFields CLogFont::GetDrawingFont() const
{
    LogFontFields lf = m_lf;
    if (!m_measuredFace.isEmpty())
        lf.lfFaceName = m_measuredFace;
    return lf;
}

void CLogFont::SetLogFont(const LogFontFields& lf)
{
    m_lf = lf;
    m_lf.lfFaceName = FitFaceName(lf.lfFaceName);
    BuildMetrics();
}

void CLogFont::BuildMetrics()
{
    CFontMetricsProvider& provider = CFontMetricsProvider::Current();
    CFontMeasures measures;
    if (!provider.Measure(m_lf, measures))
        return;
    m_tm = measures.tm;
    m_widths = measures.widths;
    m_kerning = SortedPairs(std::move(measures.kerning));
    m_measuredFace = measures.face;

    // Scalability from the face, or from the face that stood in for it.
    CFaceInfo info = provider.EnumerateFace(m_lf.lfFaceName);
    if (!info.found && !m_measuredFace.isEmpty())
        info = provider.EnumerateFace(m_measuredFace);
    m_tmPitchAndFamily = info.found ? info.tmPitchAndFamily : BYTE(TMPF_VECTOR);

    // The cell ratio does not depend on the size; a large one keeps it exact.
    LogFontFields probe = m_lf;
    probe.lfHeight = 1000;
    probe.lfWidth = 0;
    CTextMetrics tm;
    if (provider.GetTextMetrics(probe, tm) && tm.tmHeight > tm.tmInternalLeading && tm.tmHeight > 0)
        m_cellRatio = double(tm.tmHeight) / double(tm.tmHeight - tm.tmInternalLeading);

    // Allowed heights of a fixed-size face: the sizes the size callback
    // keeps of its fonts, as cell heights.
    m_allowedHeights.clear();
    if (!(m_tmPitchAndFamily & TMPF_VECTOR)) {
        if (const auto& enumSize = FontHooks().enumSize) {
            for (const CFaceVariant& variant : info.variants)
                enumSize(variant, m_allowedHeights);
        }
        for (int& height : m_allowedHeights)
            height = RoundHalfUp(m_cellRatio * height);
        std::sort(m_allowedHeights.begin(), m_allowedHeights.end());
    }
}

LONG CLogFont::SetHeight(int height)
{
    m_lf.lfHeight = SnapHeight(height);
    BuildMetrics();
    return m_lf.lfHeight;
}

BOOL CLogFont::FitLineHeight(int lineHeight)
{
    const int line = m_tm.tmHeight + m_tm.tmExternalLeading;
    if (line <= 0)
        return FALSE;
    const int height = SnapHeight(static_cast<int>(double(m_tm.tmHeight) / line * lineHeight));
    if (height == m_lf.lfHeight)
        return FALSE;
    m_lf.lfHeight = height;
    BuildMetrics();
    return TRUE;
}

void CLogFont::SetRotation(int degrees)
{
    const int turn = ((degrees % 360) + 360) % 360;
    m_lf.lfEscapement = m_lf.lfOrientation = turn == 0 ? 0 : (360 - turn) * 10;
    BuildMetrics();
}

void CLogFont::SetBold(int flag)
{
    m_lf.lfWeight = flag == 1 ? 700 : 0;
    BuildMetrics();
}

void CLogFont::SetItalic(int flag)
{
    m_lf.lfItalic = flag == 1 ? 1 : 0;
    BuildMetrics();
}

void CLogFont::SetUnderline(int flag)
{
    m_lf.lfUnderline = flag == 1 ? 1 : 0;
    BuildMetrics();
}

void CLogFont::SetStrikeOut(int flag)
{
    m_lf.lfStrikeOut = flag == 1 ? 1 : 0;
    BuildMetrics();
}

void CLogFont::SetFaceName(const QString& name)
{
    m_lf.lfFaceName = FitFaceName(name);
    const CFaceInfo info = CFontMetricsProvider::Current().EnumerateFace(m_lf.lfFaceName);
    if (info.found) {
        m_lf.lfCharSet = info.charSet;
        m_lf.lfPitchAndFamily = info.pitchAndFamily;
    }
    BuildMetrics();
    const int snapped = SnapHeight(m_lf.lfHeight);
    if (snapped != m_lf.lfHeight) {
        m_lf.lfHeight = snapped;
        BuildMetrics();
    }
}

void CLogFont::SetFaceBytesFrom(DWORD data)
{
    m_lf.lfCharSet = static_cast<BYTE>((data >> 16) & 0xFF);
    m_lf.lfPitchAndFamily = static_cast<BYTE>((data >> 8) & 0xFF);
}

void CLogFont::SetFaceFromList(const QString& itemText, DWORD itemData)
{
    m_lf.lfFaceName = FitFaceName(itemText);
    SetFaceBytesFrom(itemData);
    BuildMetrics();
}

DWORD CLogFont::EnumerateFace(const QString& face)
{
    const CFaceInfo info = CFontMetricsProvider::Current().EnumerateFace(face);
    if (!info.found)
        return 0;
    return (DWORD(info.charSet) << 16) | (DWORD(info.pitchAndFamily) << 8) |
           DWORD(info.tmPitchAndFamily);
}

double CLogFont::HeightToPoints(int height) const
{
    if (height == 0)
        height = m_lf.lfHeight;
    return height / m_cellRatio * kPointsPerTenth;
}

int CLogFont::PointsToHeight(double points) const
{
    return RoundHalfUp(m_cellRatio * points * kTenthsPerPoint);
}

QString CLogFont::FormatPointSize(int height) const
{
    int tenths = static_cast<int>((HeightToPoints(height) + 0.25) * 10);
    tenths = tenths / 5 * 5;
    if (tenths % 10 != 0)
        return QString::number(tenths / 10.0, 'f', 1);
    return QString::number(tenths / 10);
}

int CLogFont::SnapHeight(int height) const
{
    const std::vector<int>& h = m_allowedHeights;
    if (h.empty()) {
        const double points = height * kPointsPerTenth;
        if (points < 1.0)
            return kMinHeight;
        if (points > 1000.0)
            return kMaxHeight;
        return height;
    }
    if (h.size() == 1 || height <= h.front())
        return h.front();
    for (size_t i = 0; i + 1 < h.size(); ++i) {
        if (height >= h[i] && height < h[i + 1])
            return (h[i + 1] - height <= height - h[i]) ? h[i + 1] : h[i];
    }
    return h.back();
}

int CLogFont::GetStyleIndex() const
{
    return (m_lf.lfWeight == 700 ? 2 : 0) + (m_lf.lfItalic ? 1 : 0);
}

int CLogFont::GetTextWidth(const QString& text) const
{
    int width = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        width += GetCharWidth(text.at(i));
        if (i + 1 < text.size())
            width += GetKerning(text.at(i), text.at(i + 1));
    }
    return width;
}

std::vector<int> CLogFont::GetCharAdvances(const QString& text) const
{
    std::vector<int> advances(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        int value = GetCharWidth(text.at(i));
        if (i + 1 < text.size())
            value += GetKerning(text.at(i), text.at(i + 1));
        advances[size_t(i)] = (value + 5) / 10;
    }
    return advances;
}

QStringList CLogFont::GetSizeListItems() const
{
    QStringList items;
    if (IsScalable() || m_allowedHeights.empty()) {
        static constexpr int kPoints[] = {2,  4,  6,  8,  9,  10, 11, 12,  14,  16,  18,  20,
                                          22, 24, 26, 28, 36, 48, 72, 108, 144, 192, 288, 432};
        for (int points : kPoints)
            items << QString::number(points);
    } else {
        for (int height : m_allowedHeights)
            items << FormatPointSize(height);
    }
    return items;
}

void CLogFont::ReadFontControls(const CFontControlValues& values)
{
    if (values.styleIndex >= 0 && values.styleIndex <= 3) {
        m_lf.lfWeight = (values.styleIndex & 2) ? 700 : 0;
        m_lf.lfItalic = (values.styleIndex & 1) ? 1 : 0;
    }
    m_lf.lfHeight = SnapHeight(PointsToHeight(LeadingNumber(values.sizeText)));
    m_lf.lfUnderline = values.underline ? 1 : 0;
    m_lf.lfStrikeOut = values.strikeOut ? 1 : 0;
    if (values.faceSelected) {
        m_lf.lfFaceName = FitFaceName(values.faceText);
        SetFaceBytesFrom(values.faceData);
    }
    BuildMetrics();
}

// --- archive and export ---------------------------------------------------------------

void CLogFont::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << int(m_lf.lfHeight) << int(m_lf.lfWidth) << int(m_lf.lfEscapement)
           << int(m_lf.lfOrientation) << int(m_lf.lfWeight);
        ar << m_lf.lfItalic << m_lf.lfUnderline << m_lf.lfStrikeOut << m_lf.lfCharSet
           << m_lf.lfOutPrecision << m_lf.lfClipPrecision << m_lf.lfQuality
           << m_lf.lfPitchAndFamily;
        ar << m_lf.lfFaceName;
        return;
    }
    LogFontFields lf;
    lf.lfHeight = ar.ReadInt();
    lf.lfWidth = ar.ReadInt();
    lf.lfEscapement = ar.ReadInt();
    lf.lfOrientation = ar.ReadInt();
    lf.lfWeight = ar.ReadInt();
    ar >> lf.lfItalic >> lf.lfUnderline >> lf.lfStrikeOut >> lf.lfCharSet >> lf.lfOutPrecision >>
        lf.lfClipPrecision >> lf.lfQuality >> lf.lfPitchAndFamily;
    lf.lfFaceName = FitFaceName(ar.ReadString());
    m_lf = BoundRecord(lf);
    BuildMetrics();
}

LogFontFields CLogFont::BoundRecord(const LogFontFields& lf)
{
    LogFontFields bounded = lf;
    const qint64 height = lf.lfHeight;
    const qint64 size = height == 0 ? kDefaultHeight
                                     : std::clamp<qint64>(std::abs(height), kMinHeight, kMaxHeight);
    bounded.lfHeight = LONG(height < 0 ? -size : size);
    const qint64 widest = std::min<qint64>(kMaxHeight, size * kMaxWidthRatio);
    bounded.lfWidth = LONG(std::clamp<qint64>(lf.lfWidth, -widest, widest));
    bounded.lfEscapement = lf.lfEscapement % 3600;
    bounded.lfOrientation = lf.lfOrientation % 3600;
    bounded.lfWeight = std::clamp<LONG>(lf.lfWeight, 0, 1000);
    return bounded;
}

void CLogFont::WriteRawLogFont(CArchive& ar, const LogFontFields& lf)
{
    ar << int(lf.lfHeight) << int(lf.lfWidth) << int(lf.lfEscapement) << int(lf.lfOrientation)
       << int(lf.lfWeight);
    ar << lf.lfItalic << lf.lfUnderline << lf.lfStrikeOut << lf.lfCharSet << lf.lfOutPrecision
       << lf.lfClipPrecision << lf.lfQuality << lf.lfPitchAndFamily;
    QByteArray face = ToWindows1252(FitFaceName(lf.lfFaceName)).left(kMaxFaceLength);
    face.append(QByteArray(kMaxFaceLength + 1 - face.size(), '\0'));
    ar.Write(face.constData(), face.size());
}

LogFontFields CLogFont::ReadRawLogFont(CArchive& ar)
{
    LogFontFields lf;
    ar.EnsureRemaining(LogFontFields::kRawSize);
    lf.lfHeight = ar.ReadInt();
    lf.lfWidth = ar.ReadInt();
    lf.lfEscapement = ar.ReadInt();
    lf.lfOrientation = ar.ReadInt();
    lf.lfWeight = ar.ReadInt();
    ar >> lf.lfItalic >> lf.lfUnderline >> lf.lfStrikeOut >> lf.lfCharSet >> lf.lfOutPrecision >>
        lf.lfClipPrecision >> lf.lfQuality >> lf.lfPitchAndFamily;
    const QByteArray face = ar.ReadBytes(kMaxFaceLength + 1);
    const qsizetype end = face.indexOf('\0');
    lf.lfFaceName = FromWindows1252(
        face.left(end < 0 ? kMaxFaceLength : std::min<qsizetype>(end, kMaxFaceLength)));
    return BoundRecord(lf);
}

void CLogFont::WriteXml(CTextExportFile& file) const
{
    file.WriteString(QStringLiteral("    <font>\n\n"));
    file.WriteString(ExportLine(8, "name", m_lf.lfFaceName));
    file.WriteString(QStringLiteral("        <point-size=\"%1\"/>\n")
                         .arg(QString::number(HeightToPoints(), 'f', 1)));
    file.WriteString(ExportLine(8, "orientation", int(m_lf.lfOrientation)));
    file.WriteString(ExportLine(8, "weight", int(m_lf.lfWeight)));
    file.WriteString(ExportLine(8, "italic", int(m_lf.lfItalic)));
    file.WriteString(ExportLine(8, "underline", int(m_lf.lfUnderline)));
    file.WriteString(ExportLine(8, "strike-out", int(m_lf.lfStrikeOut)));
    file.WriteString(QStringLiteral("\n    </font>\n\n"));
}
