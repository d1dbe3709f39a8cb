// The picture pane: a "Picture" tab with the name, print options, printing
// preference, position, angle, size, file and data source, and a
// "Formatting" tab with the sizing of variable pictures, the colour
// adjustments with their live preview, and the transparent colour.
#pragma once

#include "ElementView.h"
#include "PositionSizeBlock.h"
#include "Image.h"
#include "PaneControls.h"

#include <memory>

class CImagePreview;
class CImageView;
class QScrollBar;

// The "Picture" page (379): the name, print options, printing preference,
// position, angle, size, file and data source.
class CImageViewPage1 : public CPanePage
{
    Q_OBJECT

public:
    CImageViewPage1(CImageView& pane, QWidget* parent);
    // Entering the page re-applies the enabling for the element's source.
    void Refresh(bool full) override;
    void RefreshGeometry() override;

private:
    CImageView& m_pane;
};

// The "Formatting" page (380): the sizing of variable pictures, the colour
// adjustments with their live preview, and the transparent colour.
class CImageViewPage2 : public CPanePage
{
    Q_OBJECT

public:
    CImageViewPage2(CImageView& pane, QWidget* parent);
    // Entering the page makes the preview anew when the element's file has
    // changed since, and re-applies the enabling.
    void Refresh(bool full) override;

private:
    CImageView& m_pane;
};

class CImageView : public CElementView
{
    Q_OBJECT

public:
    static constexpr int kFormId = 378;

    explicit CImageView(CImage* image, QWidget* parent = nullptr);
    ~CImageView() override;
    void UpdateFromElement() override;

private:
    friend class CImageViewPage1;
    friend class CImageViewPage2;
    void BuildPicturePage(CImageViewPage1* page);
    void BuildFormattingPage(CImageViewPage2* page);
    void Load(CImage* image);
    // Position, angle, size and aspect ratio from the element.
    void RefreshGeometry();
    void ApplyEnabling();
    // Before an edit: the element's state is kept for Undo (typing on in
    // the same box adds no further step).
    CImage* BeginEdit(QObject* control);
    void EndEdit(CImage* image);
    // A typed position or size, with the four geometry fields, into the
    // element; with "Maintain Aspect Ratio" a typed side sets the other.
    void ApplyGeometry(CImage* image, CPositionSizeBlock::Field field, int tenths);
    void OnSelectFile();
    void OnPrefixSuffix();
    void OnBar();
    void OnApply();
    void OnTransparency();
    // The preview copy: the element's picture with the bars' values.
    void RebuildPreview();

    CTab* m_tabs = nullptr;
    double m_aspectRatio = 1.0;

    // Picture page.
    CPositionSizeBlock* m_position = nullptr;
    QCheckBox* m_maintain = nullptr;
    QRadioButton* m_quality = nullptr;
    QRadioButton* m_speed = nullptr;
    QLineEdit* m_file = nullptr;
    QPushButton* m_select = nullptr;

    // Formatting page.
    QComboBox* m_sizing = nullptr;
    QComboBox* m_horz = nullptr;
    QComboBox* m_vert = nullptr;
    QLineEdit* m_prefix = nullptr;
    QComboBox* m_suffix = nullptr;
    QScrollBar* m_brightness = nullptr;
    QScrollBar* m_contrast = nullptr;
    QScrollBar* m_gamma = nullptr;
    QLabel* m_brightnessLabel = nullptr;
    QLabel* m_contrastLabel = nullptr;
    QLabel* m_gammaLabel = nullptr;
    QPushButton* m_apply = nullptr;
    QCheckBox* m_useTransparent = nullptr;
    CColourSwatch* m_swatch = nullptr;
    QWidget* m_swatchRow = nullptr;
    COLORREF m_transparentColour = MakeRGB(255, 255, 255);
    std::unique_ptr<CImage> m_previewImage;
    CImagePreview* m_preview = nullptr;
    QString m_previewFile;
};
