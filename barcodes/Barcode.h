// The barcode element (type code 6): the data to encode, the symbology and
// style it is drawn with, and what it draws: a 1-bit symbol bitmap made at
// the printer's resolution and stretched into the bar rectangle, and up to
// four human-readable text parts. Each symbology is a subclass that fills
// in the steps of Regenerate (prepare the data, build the pattern) and, when
// its layout is special, the bar and text layout too.
//
// Geometry: the symbol is laid out upright in its own frame (u along the
// symbol, v down the bars, tenths of a millimetre, the bars starting at
// (0, 0)) and placed on the sign by turning that frame clockwise by the
// orientation about the origin, so the origin is always the symbol's own
// top-left corner.
#pragma once

#include "BarcodeStyle.h"
#include "Element.h"
#include "Symbology.h"
#include "TextBase.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <array>
#include <memory>
#include <vector>

class CBarcode;
class CBarcodeAddOn;
class CSymbolMatrix;

// A copy of a barcode as its own class, or null.
using BarcodeCopyFunction = CBarcode* (*)(const CBarcode& barcode);

class CBarcode : public CElement
{
    DECLARE_RUNTIME(CBarcode)

public:
    static constexpr int kContextMenu = 189;
    static constexpr int kMinHeight = 10; // 1 mm
    static constexpr int kTextCount = 4;
    // Largest side of a symbol bitmap, in pixels.
    static constexpr int kMaxBitmapSide = 32767;
    // Largest distance of an origin from the sign's corner that a file may
    // give (about 100 m), in tenths of a millimetre.
    static constexpr int kMaxCoordinate = 1 << 20;
    // The escape number of native printing.
    static constexpr int kNativeEscape = 0x5001;

    // Pattern values: 0..3 a bar of 1..4 width classes, 4..7 a space; the
    // element-width table gives each its width in printer pixels.
    static constexpr int kWidthClasses = 8;

    ~CBarcode() override;
    CBarcode& operator=(const CBarcode&) = delete;

    // --- CElement ------------------------------------------------------------
    void Serialize(CArchive& ar) override;
    void BeginCreate(CView* view, int x, int y) override;
    void RecalcPosition(CView* view) override;
    void Draw(CDC* dc, const CRect& clip) override;
    void ApplyTrackRect(CView* view) override;
    void ScaleToPaper(CView* view, double factor) override;
    void Rotate(CView* view) override;
    void RotateAbout(CView* view, CPoint centre) override;
    BOOL IsHandleEnabled(int handle) const override;
    int GetContextMenuId() const override;
    int GetTypeCode() const override;
    QString GetTypeName() const override;
    void SetDataText(const QString& text, int kind, const QString& sourceName, BOOL flag) override;
    void BeginDataEntry() override;
    void EndDataEntry() override;
    void OnPrinterChanged(CPrinter* printer) override;
    int GetProgressWeight() const override;
    QString GetText() const override;
    QString GetSampleData() const override;
    void SetSampleData(CView* view, const QString& text) override;
    BOOL IsEmpty() const override;
    void WriteXml(CTextExportFile& file) override;
    void Refresh() override;

    // --- the barcode's own operations, in their fixed order -------------------
    // Expands %%, %Dnnn and %Hhh in place; returns the new length. The
    // text is taken one character per byte value.
    virtual int ExpandEscapes(QString& text);
    // PrepareData; then BuildPattern, LayoutBars and LayoutHumanReadable, or
    // ShowInvalid when the data cannot be encoded; OnRegenerated last.
    virtual void Regenerate();
    // Renders the pattern into the symbol bitmap and places it.
    virtual void LayoutBars();
    // Renders the "BARCODE DATA INVALID" placeholder in place of the symbol.
    virtual void ShowInvalid();
    // Positions the human-readable text.
    virtual void LayoutHumanReadable();
    // Checks and expands the data; FALSE when it cannot be encoded.
    virtual BOOL PrepareData();
    virtual void BuildPattern();
    // Draws the element scaled to fit the rectangle, centred (the type
    // dialog's preview).
    virtual void RenderPreview(CDC* dc, const CRect& rect);
    virtual void OnRegenerated();

    // --- non-virtual operations ----------------------------------------------
    // The element-width table from the style and the printer resolution.
    void ComputeLayout();
    // Regenerate with the redraw around it.
    void RegenerateAndRedraw();
    // Takes the style (of the symbology's family) and its name.
    void SetStyle(CBarcodeStyle* style);
    // 0 removes the add-on; 2 or 5 gives the element one of that many digits
    // (only symbologies that allow one take it). FALSE when refused.
    BOOL SetAddOnDigits(int digits);
    int GetAddOnDigits() const;
    virtual BOOL AllowsAddOn() const { return FALSE; }

    const SymbologyInfo& Symbology() const { return *m_symbology; }
    int GetSymbologyId() const { return m_symbology->id; }
    // TRUE while the placeholder stands in for the symbol.
    BOOL IsShowingInvalid() const { return m_invalid; }
    // TRUE when the symbol in hand is made from this data at the current
    // resolution: giving the data again changes nothing.
    BOOL IsMadeFor(const QString& data) const;

    // Printer pixels per inch along the bars and across them, for the
    // current orientation: the resolution override when one is set, else
    // the printer's (600 when the printer cannot say).
    int ResolutionAlong() const;
    int ResolutionAcross() const;
    // Bar height in printer pixels.
    int BarHeightPixels() const;
    // Margins plus every pattern element, in printer pixels.
    long long SymbolWidthPixels() const;

    // The native-printing record handed to a printer driver that draws the
    // symbology itself: the fixed 44-byte head, then the encoded text and
    // the check characters.
    QByteArray NativeRecord(CPoint labelOrigin) const;
    // Whether this element would be printed natively on the context.
    BOOL CanPrintNatively(const CDC* dc) const;

    // Symbols made from now on are made for this resolution (dots per inch,
    // both ways) instead of the printer's: proofs for a printer other than
    // the current one, and tests at other printers' resolutions. 0 goes
    // back to the printer's; other values below 1 are ignored. Lives in the
    // application context, so a fresh context starts without one.
    static void SetResolutionOverride(int dpi);
    static int GetResolutionOverride();

    // The element copy of type code 6: the class is chosen by symbology.
    static CElement* CopyElement(const CElement& element);
    static void RegisterCopy(int symbologyId, BarcodeCopyFunction copy);

    // The byte of a "%D" escape whose letter is at that position (three
    // decimal digits, at most 255) or of a "%H" escape (two hexadecimal
    // digits); -1 when the escape is incomplete or malformed.
    static int DecimalEscapeValue(const QString& text, qsizetype letter);
    static int HexEscapeValue(const QString& text, qsizetype letter);
    // Appends what a %D or %H escape at text[percent] stands for (or the
    // percent sign alone when it is none) and returns how far to move on.
    static qsizetype AppendNumericEscape(const QString& text, qsizetype percent, QString& out);

    // --- 1-bit bitmaps (index 0 white, 1 black) -------------------------------
    static QImage NewMonoImage(int width, int height);
    static void FillBlack(QImage& image, int x, int y, int width, int height);
    // Turned clockwise by a multiple of 90 degrees.
    static QImage RotateImage(const QImage& image, int degrees);

    // --- fields, in declaration order ----------------------------------------
    const SymbologyInfo* m_symbology = nullptr;
    QString m_data;
    QString m_expandedData;
    QString m_encodedText;
    QString m_checkChars;
    QString m_sampleData;
    std::vector<WORD> m_margins; // left, right, top, bottom; printer pixels
    std::array<WORD, kWidthClasses> m_elementWidths{};
    std::vector<BYTE> m_pattern;
    int m_height = 0; // bar height, tenths of a millimetre
    CPoint m_origin;  // the symbol's top-left
    CRect m_barRect;
    QImage m_bitmap; // the rendered symbol, turned; null when none
    QString m_humanReadable;
    std::array<CTextBase, kTextCount> m_texts;
    CRect m_textRect;
    int m_hJustify = 1;               // 0 left, 1 centre, 2 right
    int m_vJustify = 0;               // 0 below the bars, 1 above
    CBarcodeStyle* m_style = nullptr; // lives in TheBarcodeStyleList()
    QString m_styleName;
    BOOL m_calculateCheck = FALSE;
    BOOL m_showCheck = FALSE;
    BOOL m_showHumanReadable = FALSE;
    std::unique_ptr<CBarcodeAddOn> m_addOn;
    std::unique_ptr<CElement> m_frameBox; // drawn around the symbol, moved with it

    // Layout in the symbol's own frame (see the top of this file).
    CRect m_barLocal;
    std::array<CRect, kTextCount> m_textLocal; // empty: the part is not shown
    CPoint m_localShift;                       // moves the whole frame off the origin
    CSize m_bitmapSize;                        // the symbol bitmap before turning, pixels
    BOOL m_invalid = FALSE;
    // The resolution the bitmap was made for, across and down the page
    // (dots per inch); it is drawn at that resolution, on the device's dots.
    CSize m_bitmapDpi;

protected:
    // Points the element at its symbology record; the subclass constructor
    // then calls InitFromPreferences.
    explicit CBarcode(int symbologyId);
    CBarcode(const CBarcode& other);

    // Takes the last-used settings when they are for this symbology, else
    // the record's default style and height and the given switches; sets
    // data and sample data, looks up the style, computes the layout and
    // regenerates.
    void InitFromPreferences(const QString& defaultData, BOOL calculateCheck, BOOL showCheck,
                             BOOL showHumanReadable);

    // --- steps the symbologies share -----------------------------------------
    // A white bitmap of that size; FALSE (and the placeholder shown) when the
    // size is out of range.
    BOOL CreateSymbolBitmap(long long width, long long height);
    // Draws pattern elements first..last from x at y, alternating from a bar
    // or a space; only bars are painted. Returns the x after the run.
    int DrawRun(int x, int y, int first, int last, BOOL barFirst, int height);
    // Turns the symbol bitmap (and the add-on's) by the orientation and
    // places the bar rectangle at the origin.
    void FinishSymbol();
    // Empties every text part, the text rectangle and the add-on's text.
    void ClearText();
    // Gives the part its text, the orientation and a font, and returns its
    // upright size in tenths of a millimetre.
    CSize PrepText(int index, const QString& text, const CLogFont* font = nullptr);
    // Puts the part's cell, of the size PrepText gave, with its top-left
    // at (u, v) of the symbol's frame.
    void PutText(int index, int u, int v, CSize size);
    // Moves the frame so nothing lies above or left of the origin, then
    // places everything on the sign.
    void ApplyOverhang();
    void PlaceAll();
    CPoint LocalToPage(CPoint local) const;
    CRect LocalToPage(const CRect& local) const;
    // Moves the whole symbol (origin included).
    void MoveBy(int dx, int dy);

    int TextHeight(int index) const;

    // Renders the placeholder into a new symbol bitmap of that size.
    void DrawInvalidBitmap(int width, int height);
    // The placeholder of the symbols drawn from a grid of modules: 1.5
    // inches along the symbol by 0.75 inch across.
    void ShowFixedPlaceholder();
    // Paints the grid into a new symbol bitmap, each module mw pixels wide
    // and its row's height times mh pixels high, and places it; FALSE (and
    // the placeholder) when the symbol would be too large.
    BOOL PlaceModules(const CSymbolMatrix& grid, int mw, int mh);
    // The text-export lines that open and close the own block of a symbol
    // with its own record: tag, common element block, type, position and
    // orientation; then the sample data and the closing tag.
    void WriteOwnBlockHead(CTextExportFile& file);
    void WriteOwnBlockTail(CTextExportFile& file);
    // A turn from a file as a quarter turn, 0..270.
    static int QuarterTurn(long long degrees);
    // A point from a file within reach of the sign.
    static CPoint ClampedOrigin(int x, int y);
    // Gives every text part a usable font (a file may name none).
    void EnsureTextFonts();

private:
};
