// The font record every text-bearing element carries: a LOGFONT whose height
// is in tenths of a millimetre, plus what the layout code needs without a
// device context: the text metrics, the advance of each of the 256 byte
// characters (Windows-1252), the kerning pairs of the face and, for faces
// that come in fixed sizes only, the heights that exist.
//
// Everything is measured on the printer's device context (a virtual 600 dpi
// printer until the printer settings install the real one), so that layout
// on the screen matches print. Units: heights and text metrics in tenths of
// a millimetre; character widths and kerning amounts in hundredths.
//
// Measuring goes through a small provider interface so that wrapping,
// copy-fit and the like can be tested on synthetic widths.
#pragma once

#include "DC.h"
#include "LogFontFields.h"
#include "Object.h"
#include "Types.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class CArchive;
class CTextExportFile;
class QRawFont;

// One kerning pair of byte characters; the amount is added to the advance
// of the first character when the second follows it.
struct CKerningPair
{
    BYTE first = 0;
    BYTE second = 0;
    int amount = 0;

    bool operator==(const CKerningPair&) const = default;
};

// What a font gives at one height.
struct CFontMeasures
{
    CTextMetrics tm;                   // tenths of a millimetre
    std::array<int, 256> widths{};     // hundredths, byte characters 0..255
    std::vector<CKerningPair> kerning; // hundredths; the first pair of a key counts
    QString face;                      // the face that was actually measured
};

// One variant of a face as the font enumeration reports it.
struct CFaceVariant
{
    enum Kind
    {
        Raster,            // a bitmap face: never offered
        TrueType,          // glyph outlines of the TrueType kind
        Device,            // any other scalable face
        OpenTypePostScript // OpenType with PostScript (CFF) outlines
    };
    QString face;
    Kind kind = TrueType;
    LONG height = 0; // cell height of the variant
    LONG weight = 400;
    bool italic = false;
    DWORD data = 0; // character set << 16 | pitch and family << 8 | metric pitch and family
};

// What enumerating a face reports.
struct CFaceInfo
{
    bool found = false;
    BYTE charSet = 0;          // 0 ANSI, 2 symbol
    BYTE pitchAndFamily = 0;   // as a LOGFONT holds it
    BYTE tmPitchAndFamily = 0; // as the text metrics hold it; 0x02 set for a scalable face
    // A fixed-size face: every font it has, each size of each style, with
    // em heights in tenths of a millimetre.
    std::vector<CFaceVariant> variants;
};

// What the font record calls back. The program installs it at start-up.
struct CFontHooks
{
    // Called with each variant of a fixed-size face: keeps the heights the
    // record allows, in `heights`. Until it is installed such a face allows
    // any height.
    std::function<int(const CFaceVariant& variant, std::vector<int>& heights)> enumSize;
};

CFontHooks& FontHooks();

// Measures fonts for the font records of the current application context.
class CFontMetricsProvider
{
public:
    virtual ~CFontMetricsProvider() = default;

    // Measures the font; lf.lfHeight and lf.lfWidth are tenths of a
    // millimetre. False when there is nothing to measure on: the record then
    // keeps what it had.
    virtual bool Measure(const LogFontFields& lf, CFontMeasures& out) = 0;
    // The text metrics alone, in tenths of a millimetre.
    virtual bool GetTextMetrics(const LogFontFields& lf, CTextMetrics& out) = 0;
    virtual CFaceInfo EnumerateFace(const QString& face) = 0;

    // The provider of the current application context: the printer's unless
    // another one was installed.
    static CFontMetricsProvider& Current();
    // Replaces the current context's provider; null puts the printer's back.
    static void Install(std::unique_ptr<CFontMetricsProvider> provider);
};

// The provider that measures on the printer's device context
// (App().printerDC), or on a virtual 600 dpi printer of its own while there
// is none. Sizes are taken in whole device pixels, as a printer font gives
// them; advances are the face's unhinted ones. A face that is not installed
// is measured as "Liberation Sans" (or "DejaVu Sans" when that is missing
// too), with a warning, never as nothing.
class CPrinterFontMetrics : public CFontMetricsProvider
{
public:
    static constexpr int kVirtualPrinterDpi = 600;

    CPrinterFontMetrics();
    ~CPrinterFontMetrics() override;

    bool Measure(const LogFontFields& lf, CFontMeasures& out) override;
    bool GetTextMetrics(const LogFontFields& lf, CTextMetrics& out) override;
    CFaceInfo EnumerateFace(const QString& face) override;

    // The installed family a face name is measured and drawn with.
    static QString ResolveFace(const QString& face);

    // The kerning pairs of the byte characters in the font's own units:
    // from its 'kern' table, or from the pair adjustments of its GPOS 'kern'
    // feature when it has no 'kern' table.
    static std::vector<CKerningPair> ReadKerningPairs(const QRawFont& font);

private:
    struct FaceData;
    const FaceData& Face(const LogFontFields& deviceFont);
    CDC* MeasuringDC();

    CDC m_virtualPrinter;
    std::map<QString, std::unique_ptr<FaceData>> m_faces; // by family, weight and slant
};

// What the font controls of a property page hold, for ReadFontControls.
struct CFontControlValues
{
    int styleIndex = -1; // 0 regular, 1 italic, 2 bold, 3 bold italic; -1 none selected
    QString sizeText;    // points
    int underline = 0;
    int strikeOut = 0;
    bool faceSelected = false;
    QString faceText;   // the selected face item's text
    DWORD faceData = 0; // and its data word (see CLogFont::EnumerateFace)
};

class CLogFont : public CObject
{
    DECLARE_PERSISTENT(CLogFont)

public:
    static constexpr int kMaxFaceLength = 31;
    static constexpr int kDefaultHeight = 47;
    static constexpr int kMinHeight = 3;
    static constexpr int kMaxHeight = 3527;
    // The widest character width a record may ask for, in heights.
    static constexpr int kMaxWidthRatio = 4;

    // The default font: 47 tenths, weight 400, "Arial", swiss, variable pitch.
    CLogFont();
    explicit CLogFont(const LogFontFields& lf);
    CLogFont(const CLogFont& other);
    CLogFont& operator=(const CLogFont& other);
    ~CLogFont() override;

    static LogFontFields DefaultLogFont();

    // --- the record --------------------------------------------------------
    const LogFontFields& GetLogFont() const { return m_lf; }
    LONG GetHeight() const { return m_lf.lfHeight; }
    const QString& GetFaceName() const { return m_lf.lfFaceName; }
    const CTextMetrics& GetTextMetrics() const { return m_tm; }
    // The text metrics' pitch-and-family byte: bit 0x02 set for a scalable face.
    BYTE GetMetricPitchAndFamily() const { return m_tmPitchAndFamily; }
    bool IsScalable() const { return (m_tmPitchAndFamily & 0x02) != 0; }
    // Heights a fixed-size face offers, ascending; empty: any height.
    const std::vector<int>& GetAllowedHeights() const { return m_allowedHeights; }
    const std::array<int, 256>& GetCharWidths() const { return m_widths; }
    int GetCharWidth(QChar c) const;
    // Kerning amount of the pair, 0 when the face has none for it.
    int GetKerning(QChar first, QChar second) const;
    const std::vector<CKerningPair>& GetKerningPairs() const { return m_kerning; }
    // The face the metrics come from: the face name, or the installed face
    // that stands for it.
    const QString& GetMeasuredFace() const { return m_measuredFace; }
    // The LOGFONT to select for drawing in tenths of a millimetre: the
    // record's own with the measured face, so that glyphs match the widths.
    LogFontFields GetDrawingFont() const;

    // --- construction and measuring ----------------------------------------
    // Takes the LOGFONT and measures it again.
    void SetLogFont(const LogFontFields& lf);
    // Measures text metrics, widths, kerning and the cell ratio on the
    // printer. Every setter ends with it, so nothing measured is ever stale.
    void BuildMetrics();
    // Cell height over character (em) height of the face; 1.0 before
    // anything could be measured.
    double GetCellRatio() const { return m_cellRatio; }

    // --- size and style ----------------------------------------------------
    // Stores SnapHeight(height); returns the stored height.
    LONG SetHeight(int height);
    // Sizes the font so that its line (cell plus external leading) fills the
    // given height; TRUE when the height changed.
    BOOL FitLineHeight(int lineHeight);
    // Clockwise degrees, stored as counter-clockwise tenths.
    void SetRotation(int degrees);
    void SetBold(int flag);
    void SetItalic(int flag);
    void SetUnderline(int flag);
    void SetStrikeOut(int flag);
    // Takes the face with its character set and pitch-and-family, measures,
    // rebuilds the allowed heights and snaps the height to them.
    void SetFaceName(const QString& name);
    // Takes a face from a face list item: its text and its data word (the
    // character set in bits 16-23, the pitch-and-family in bits 8-15). The
    // height is not snapped.
    void SetFaceFromList(const QString& itemText, DWORD itemData);
    // The data word of a face list item for the face: character set (bits
    // 16-23), LOGFONT pitch-and-family (8-15), text-metric pitch-and-family
    // with 0x02 for a scalable face (0-7). 0 when the face is not installed.
    static DWORD EnumerateFace(const QString& face);

    // --- conversions -------------------------------------------------------
    // Points of a height (0: the font's own); points count the em height.
    double HeightToPoints(int height = 0) const;
    int PointsToHeight(double points) const;
    // The height in points to the nearest half point: "12" or "12.5".
    QString FormatPointSize(int height = 0) const;
    // The nearest height the face allows: 3..3527 for a scalable face.
    int SnapHeight(int height) const;
    // 0 regular, 1 italic, 2 bold, 3 bold italic (bold is weight 700).
    int GetStyleIndex() const;

    // --- measuring text (hundredths of a millimetre) ------------------------
    // Widths of the characters plus the kerning of every adjacent pair.
    int GetTextWidth(const QString& text) const;
    // Per character: its width plus the kerning with the next one, then in
    // tenths ((value + 5) / 10): the spacing array text drawing passes on.
    std::vector<int> GetCharAdvances(const QString& text) const;
    // Number of kerning pairs of the face at this size (0: none).
    int LoadKerningPairs() const { return static_cast<int>(m_kerning.size()); }

    // --- font controls -----------------------------------------------------
    // The entries of the point-size list for this face.
    QStringList GetSizeListItems() const;
    // Takes style, size, underline, strike-out and the selected face.
    void ReadFontControls(const CFontControlValues& values);

    // --- archive and export ------------------------------------------------
    void Serialize(CArchive& ar) override;
    void WriteXml(CTextExportFile& file) const;
    // A LOGFONT as the raw 60-byte structure: five 32-bit values, eight
    // bytes and the face name in 32 bytes, Windows-1252, zero-padded.
    static void WriteRawLogFont(CArchive& ar, const LogFontFields& lf);
    static LogFontFields ReadRawLogFont(CArchive& ar);
    // A record as a file may hold it, brought into what the program writes:
    // a height of kMinHeight to kMaxHeight either way (none: the default),
    // a width of at most kMaxWidthRatio heights, angles within one turn and
    // a weight of 0 to 1000.
    static LogFontFields BoundRecord(const LogFontFields& lf);

    // A face name cut to what the record holds.
    static QString FitFaceName(const QString& name);

private:
    void RebuildAllowedHeights();
    void SetFaceBytesFrom(DWORD data);

    LogFontFields m_lf;
    CTextMetrics m_tm;
    BYTE m_tmPitchAndFamily = 0x02;
    std::vector<int> m_allowedHeights;
    std::array<int, 256> m_widths{};
    std::vector<CKerningPair> m_kerning; // sorted by (first, second)
    double m_cellRatio = 1.0;
    QString m_measuredFace;
};
