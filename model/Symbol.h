// The symbol element: a character (or a few) of a symbol font placed at an
// origin, turned by the font's angle, on an optional coloured background.
// Its text, font and colour live in an embedded text base; the frame is the
// unturned cell of the text, and the bounds are the frame turned about its
// top-left corner.
#pragma once

#include "AppContext.h"
#include "Element.h"
#include "LogFontFields.h"
#include "TextBase.h"

#include <QString>

// What new symbols start with ("SymbolPreferences"): the default symbol
// font, the symbol colour and the background.
struct CSymbolDefaults
{
    CSymbolDefaults();
    LogFontFields font;
    COLORREF symbolColour = 0;
    BOOL colouredBackground = 0;
    COLORREF backgroundColour = 16777215;

    static CSymbolDefaults& Current() { return App().Get<CSymbolDefaults>(); }
};

class CSymbol : public CElement
{
    DECLARE_PERSISTENT(CSymbol)

public:
    // The character codes a symbol offers.
    static constexpr int kFirstCode = 33;
    static constexpr int kLastCode = 124;
    // Stored positions beyond this cannot come from a sign.
    static constexpr int kMaxStoredCoordinate = 1 << 20;

    // A symbol with the defaults for new symbols and no character yet.
    CSymbol();
    CSymbol(const CSymbol& other) = default;
    CSymbol& operator=(const CSymbol& other) = default;
    ~CSymbol() override;

    void Serialize(CArchive& ar) override;

    void BeginCreate(CView* view, int x, int y) override;
    void RecalcPosition(CView* view) override;
    void Draw(CDC* dc, const CRect& clip) override;
    void ApplyTrackRect(CView* view) override;
    void Rotate(CView* view) override;
    void RotateAbout(CView* view, CPoint centre) override;
    BOOL IsHandleEnabled(int handle) const override;
    int GetTypeCode() const override;
    QString GetTypeName() const override;
    void SetDataText(const QString& text, int kind, const QString& sourceName, BOOL flag) override;
    void BeginDataEntry() override;
    void EndDataEntry() override;
    QString GetText() const override;
    QString GetSampleData() const override;
    void SetSampleData(CView* view, const QString& text) override;
    void WriteXml(CTextExportFile& file) override;
    BOOL GetColour(COLORREF& colour) const override;
    void SetBounds(CView* view, const CRect& bounds) override;
    void Refresh() override;

    // The display angle in clockwise degrees, 0 to 359.
    int GetAngle() const;
    // Setters of the property pane; a null view changes without repainting.
    void SetAngle(CView* view, int degrees);
    void SetOrigin(CView* view, int x, int y);
    void SetPointSize(CView* view, double points);
    // The font's height in tenths of a millimetre (snapped to the face).
    void SetFontHeight(CView* view, int height);
    void SetColour(CView* view, COLORREF colour);
    void SetBackground(CView* view, BOOL coloured, COLORREF colour);
    // Takes a face (with its list item data word, see CLogFont::SetFaceFromList).
    void SetFace(CView* view, const QString& face, DWORD faceData);
    const CTextBase& TextBase() const { return m_text; }
    const CRect& Frame() const { return m_frame; }

    // --- fields, in declaration order ---------------------------------------
    CTextBase m_text;
    CRect m_frame;
    BOOL m_colouredBackground = 0;
    COLORREF m_backgroundColour = 16777215;
    QString m_symbolText;

private:
    // The frame from the text's origin, width and font height.
    void RecalcFrame();
    // The origin laid into a rectangle for an angle that is a multiple of 90.
    CPoint OriginInRect(const CRect& r, int angle) const;
    void Changed(CView* view);
};

// The element copy for the symbol type code; null for another element.
CElement* CopySymbolElement(const CElement& element);
