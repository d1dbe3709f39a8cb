// The picture element: a raster picture from a file, and the sign's
// background picture. The sign keeps only the file's path and the
// processing settings; every load reads the file (through the decoded-file
// cache) and applies the processing again in a fixed order: turn, resample,
// invert, grey scale, brightness, contrast, gamma, transparent colour.
//
// Picture rectangles are in tenths of a millimetre. A picture's natural size
// follows the printer's resolution: a pixel is one printer dot.
#pragma once

#include "Element.h"
#include "PictureBitmap.h"

#include <functional>

// What the picture element asks of the layers above it. Each is optional.
struct CPictureHooks
{
    // The sign's width and height in tenths of a millimetre.
    std::function<CSize()> signSize;
    // The stock's background picture orientation (0, 90, 180, 270) when the
    // stock names a background picture, else 0.
    std::function<int()> backgroundOrientation;
    // The printer's page orientation: 1 portrait, 2 landscape.
    std::function<int()> pageOrientation;
    // A picture file named by a sign being read is missing: returns the
    // file the user chose in its place, or sets abort to end the reading.
    std::function<QString(const QString& missing, bool& abort)> locateMissingFile;
    // Steps the progress window of a picture step with the percentage the
    // picture library reports.
    PictureStatusCallback stepProgress;
};

CPictureHooks& PictureHooks();

// Size constraints of data-linked and table-cell pictures.
enum PictureSizing : int
{
    SIZING_NATURAL = 0,
    SIZING_STRETCH = 1,
    SIZING_REDUCE_TO_FIT = 2,
    SIZING_FIT_KEEP_ASPECT = 3,
};

class CImage : public CElement
{
    DECLARE_PERSISTENT(CImage)

public:
    CImage();
    CImage(const CImage& other) = default;
    CImage& operator=(const CImage& other) = default;
    ~CImage() override;

    void Serialize(CArchive& ar) override;

    void BeginCreate(CView* view, int x, int y) override;
    void RecalcPosition(CView* view) override;
    void Draw(CDC* dc, const CRect& clip) override;
    BOOL KeepsAspectRatio() const override;
    void ApplyTrackRect(CView* view) override;
    void Rotate(CView* view) override;
    void RotateAbout(CView* view, CPoint centre) override;
    BOOL IsHandleEnabled(int handle) const override;
    int GetTypeCode() const override;
    QString GetTypeName() const override;
    BOOL ResamplePicture(CView* view) override;
    BOOL InvertPicture(CView* view) override;
    BOOL GreyscalePicture(CView* view) override;
    void SetDataText(const QString& text, int kind, const QString& sourceName, BOOL flag) override;
    void BeginDataEntry() override;
    void EndDataEntry() override;
    void ReleaseCachedData() override;
    void ResetState(CView* view) override;
    QString GetText() const override;
    QString GetSampleData() const override;
    BOOL IsEmpty() const override;
    void WriteXml(CTextExportFile& file) override;
    void SetBounds(CView* view, const CRect& bounds) override;
    void Refresh() override;

    // Loads the file into the bitmap; on failure the message is shown and
    // the bitmap stays empty.
    virtual BOOL LoadFile(CView* view, const QString& path);
    // Applies the stored processing to the freshly loaded bitmap; FALSE at
    // the first step that fails.
    BOOL ApplyAdjustments(CView* view);
    // Loads the file again and drops every processing setting (the pane's
    // Select...).
    void Reload(CView* view);
    // Fits the picture into the rectangle, aspect kept, centred.
    void FitInRect(CView* view, const CRect& rect);
    // Turns the picture by delta hundredths of a degree (clockwise).
    void RotateFrame(CView* view, int delta);
    // Reloads the file and applies the processing (after a setting changed).
    BOOL Rebuild(CView* view);

    // The size of the bitmap in tenths of a millimetre at the printer's
    // resolution.
    CSize NaturalSize() const;
    // The printer's resolution that natural sizes follow.
    static double PrinterDpiX();
    static double PrinterDpiY();

    // The stored paths as written and read: see the path rules in Image.cpp.
    static QString StoredPath(const QString& path);
    static QString ResolveStoredPath(const QString& stored);

    // --- fields, in declaration order ---------------------------------------
    QString m_filePath;
    QString m_designFilePath;
    CPictureBitmap m_bitmap;
    CPoint m_imageAnchor;
    CRect m_pictureRect;
    int m_angle = 0; // hundredths of a degree, 0..35999
    BOOL m_resampled = 0;
    BOOL m_inverted = 0;
    BOOL m_greyScaled = 0;
    BOOL m_transparency = 0;
    COLORREF m_transparentColour = MakeRGB(255, 255, 255);
    CRect m_frameRect;
    int m_sizeConstraint = SIZING_NATURAL;
    int m_horzJustify = 0;
    int m_vertJustify = 0;
    BOOL m_maintainAspect = 1;
    BOOL m_fastPrint = 1;
    int m_brightness = 0;
    int m_contrast = 0;
    int m_gammaCorrection = 100;

protected:
    // The picture's rectangle of the given size placed from the anchor by
    // the orientation.
    CRect OrientedFromAnchor(int width, int height) const;
    // The picture rectangle by the size-constraint rule from the frame.
    CRect ConstrainedRect() const;
    // Shrinks the picture rectangle to the sign.
    void ClampToSign();
    int Quarter() const { return m_angle / 9000; }
    // Reports a failed step and returns FALSE; TRUE for success.
    BOOL Check(int result, const QString& path = QString()) const;
};

class CBackground : public CImage
{
    DECLARE_PERSISTENT(CBackground)

public:
    CBackground();
    explicit CBackground(const CImage& image);
    CBackground(const CBackground& other) = default;
    CBackground& operator=(const CBackground& other) = default;
    ~CBackground() override;

    // As CImage::LoadFile; a stock whose background is turned by 180 or 270
    // degrees gets the picture turned by 180.
    BOOL LoadFile(CView* view, const QString& path) override;
    // Fits the picture to the sign, aspect kept, centred.
    void FitToPage(CView* view);
    // Turns the picture a quarter for the page orientation and fits it.
    void UpdateForPaper(CView* view);
};

// The element copy for the picture type code.
CElement* CopyImageElement(const CElement& element);
