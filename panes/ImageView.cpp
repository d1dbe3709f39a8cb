#include "ImageView.h"

#include "PaneControls.h"
#include "PositionSizeBlock.h"
#include "RotationBlock.h"

#include "AppContext.h"
#include "FileName.h"
#include "ImageSelect.h"
#include "MessageBox.h"
#include "Rounding.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace PaneBuild;

namespace {

QScrollBar* Bar(QWidget* parent, int id, int low, int high, int page)
{
    auto* bar = Named(new QScrollBar(Qt::Horizontal, parent), id);
    bar->setRange(low, high);
    bar->setPageStep(page);
    bar->setSingleStep(std::max(1, page / 10));
    return bar;
}

} // namespace

CImageView::CImageView(CImage* image, QWidget* parent)
    : CElementView(image, kFormId, tr("Picture"), parent)
{
    // Entering a page enables it and reloads it from the picture; the page
    // left behind is disabled.
    m_tabs = new CTab(Form()->parentWidget());
    Form()->addWidget(m_tabs);
    // Both pages are built before the first is entered.
    auto* picture = new CImageViewPage1(*this, m_tabs);
    auto* formatting = new CImageViewPage2(*this, m_tabs);
    m_tabs->AddPage(picture, tr("Picture"));
    m_tabs->AddPage(formatting, tr("Formatting"));
    if (image)
        Load(image);
    SetLoading(false);
    // A change of data source reaches the Formatting page's enabling.
    connect(this, &CElementView::elementEdited, this, [this] { ApplyEnabling(); });
}

CImageView::~CImageView() = default;

// --- the Picture page ------------------------------------------------------------

CImageViewPage1::CImageViewPage1(CImageView& pane, QWidget* parent)
    : CPanePage(parent), m_pane(pane)
{
    Named(this, 379);
    pane.BuildPicturePage(this);
}

void CImageViewPage1::Refresh(bool)
{
    m_pane.ApplyEnabling();
}

void CImageViewPage1::RefreshGeometry()
{
    m_pane.RefreshGeometry();
}

void CImageView::BuildPicturePage(CImageViewPage1* page)
{
    auto* layout = new QVBoxLayout(page);

    layout->addWidget(AddNameBlock());
    layout->addWidget(AddPrintOptions(false));

    QGridLayout* preference = AddGroup(layout, tr("Printing Preference"));
    m_quality = Named(new QRadioButton(tr("Quality"), preference->parentWidget()), 1420);
    m_speed = Named(new QRadioButton(tr("Speed"), preference->parentWidget()), 1419);
    preference->addWidget(m_quality, 0, 0);
    preference->addWidget(m_speed, 0, 1);
    auto* preferences = new QButtonGroup(this);
    preferences->addButton(m_quality, 0);
    preferences->addButton(m_speed, 1);
    connect(preferences, &QButtonGroup::idClicked, this, [this](int speed) {
        if (CImage* image = BeginEdit(m_quality)) {
            image->m_fastPrint = speed;
            EndEdit(image);
        }
    });

    CPaneBlock::Edits edits{
        [this](QObject* control) -> CElement* { return BeginEdit(control); },
        [this](CElement* e) { EndEdit(static_cast<CImage*>(e)); }, {}};
    m_position = new CPositionSizeBlock(
        {tr("Position and Size"), false, true, LENGTH_SIZE, true}, edits,
        [](const CElement* e) {
            const auto* image = static_cast<const CImage*>(e);
            CRect r = image->m_pictureRect;
            r.NormalizeRect();
            return CPositionSizeBlock::Place{image->m_imageAnchor.x, image->m_imageAnchor.y,
                                             r.Width(), r.Height()};
        },
        [this](CElement* e, CPositionSizeBlock::Field field, int tenths) {
            ApplyGeometry(static_cast<CImage*>(e), field, tenths);
        },
        page);
    layout->addWidget(m_position);
    CRotationBlock* rotation = m_position->AddRotation(
        tr("Angle"), 360,
        [](const CElement* e) { return static_cast<const CImage*>(e)->m_angle / 100; },
        [](CElement* e, int degrees) {
            auto* image = static_cast<CImage*>(e);
            const int delta = degrees * 100 - image->m_angle;
            if (delta != 0)
                image->RotateFrame(View(), delta);
            return true;
        });
    // The turned frame has a size of its own.
    connect(rotation, &CRotationBlock::edited, this, [this] {
        CImage* image = ElementAs<CImage>();
        if (!image)
            return;
        CRect r = image->m_pictureRect;
        r.NormalizeRect();
        m_position->Show(CPositionSizeBlock::FIELD_WIDTH, r.Width());
        m_position->Show(CPositionSizeBlock::FIELD_HEIGHT, r.Height());
        if (r.Width() > 0 && r.Height() > 0)
            m_aspectRatio = double(r.Width()) / r.Height();
    });
    QGridLayout* geometry = m_position->Grid();
    m_maintain = Named(new QCheckBox(tr("Maintain Aspect Ratio"), m_position), 1067);
    geometry->addWidget(m_maintain, m_position->NextRow(), 0, 1, 3);
    connect(m_maintain, &QCheckBox::clicked, this, [this](bool on) {
        if (CImage* image = BeginEdit(m_maintain)) {
            image->m_maintainAspect = on ? 1 : 0;
            EndEdit(image);
        }
    });

    QGridLayout* file = AddGroup(layout, tr("File"));
    m_file = Named(new QLineEdit(file->parentWidget()), 1066);
    m_file->setReadOnly(true);
    m_select = Named(new QPushButton(tr("Select..."), file->parentWidget()), 1134);
    file->addWidget(m_file, 0, 0);
    file->addWidget(m_select, 0, 1);
    connect(m_select, &QPushButton::clicked, this, [this] { OnSelectFile(); });

    QGroupBox* source = AddSourceBlock(true);
    layout->addWidget(source);
    // For a picture, typed data is a file chosen when the sign prints.
    if (auto* type = source->findChild<QComboBox*>(QStringLiteral("id1000"))) {
        const int keyboard = type->findData(int(SOURCE_KEYBOARD));
        if (keyboard >= 0)
            type->setItemText(keyboard, tr("Selection"));
    }
    layout->addStretch(1);
}

// --- the Formatting page -----------------------------------------------------------

CImageViewPage2::CImageViewPage2(CImageView& pane, QWidget* parent)
    : CPanePage(parent), m_pane(pane)
{
    Named(this, 380);
    pane.BuildFormattingPage(this);
}

void CImageViewPage2::Refresh(bool)
{
    const CImage* image = m_pane.ElementAs<CImage>();
    if (image && image->m_filePath.compare(m_pane.m_previewFile, Qt::CaseInsensitive) != 0)
        m_pane.RebuildPreview();
    m_pane.ApplyEnabling();
}

void CImageView::BuildFormattingPage(CImageViewPage2* page)
{
    auto* layout = new QVBoxLayout(page);

    QGridLayout* variable = AddGroup(layout, tr("Variable Pictures"));
    QWidget* box = variable->parentWidget();
    m_sizing = Named(new QComboBox(box), 1257);
    m_sizing->addItems({tr("Natural size and shape (1:1)"),
                        tr("Make same size and shape as sample"),
                        tr("Contain within sample outline - preserve shape"),
                        tr("Make same size as sample - preserve shape")});
    AddRow(variable, 0, tr("Sizing"), m_sizing);
    m_horz = Named(new QComboBox(box), 1079);
    m_horz->addItems({tr("Left"), tr("Centre"), tr("Right")});
    AddRow(variable, 1, tr("Horz Justify"), m_horz);
    m_vert = Named(new QComboBox(box), 1080);
    m_vert->addItems({tr("Top"), tr("Centre"), tr("Bottom")});
    AddRow(variable, 2, tr("Vert Justify"), m_vert);
    auto onLists = [this](QComboBox* control) {
        if (CImage* image = BeginEdit(control)) {
            image->m_sizeConstraint = m_sizing->currentIndex();
            image->m_horzJustify = m_horz->currentIndex();
            image->m_vertJustify = m_vert->currentIndex();
            EndEdit(image);
        }
    };
    for (QComboBox* combo : {m_sizing, m_horz, m_vert})
        connect(combo, &QComboBox::activated, this, [onLists, combo] { onLists(combo); });
    m_prefix = Named(new QLineEdit(box), 1214);
    AddRow(variable, 3, tr("Directory Prefix"), m_prefix);
    m_suffix = Named(new QComboBox(box), 1215);
    m_suffix->setEditable(true);
    m_suffix->addItems({".bmp", ".wmf", ".pcx", ".tif", ".wpg",  ".jpg",  ".eps", ".avi",
                        ".ico", ".cur", ".fpx", ".jif", ".jpeg", ".msp",  ".pcd", ".pct",
                        ".dcx", ".png", ".psd", ".ras", ".tga",  ".tiff", ".emf"});
    AddRow(variable, 4, tr("Extension Suffix"), m_suffix);
    connect(m_prefix, &QLineEdit::editingFinished, this, [this] { OnPrefixSuffix(); });
    connect(m_suffix, &QComboBox::activated, this, [this] { OnPrefixSuffix(); });
    if (m_suffix->lineEdit())
        connect(m_suffix->lineEdit(), &QLineEdit::editingFinished, this,
                [this] { OnPrefixSuffix(); });

    QGridLayout* adjust = AddGroup(layout, tr("Colour Adjustments"));
    QWidget* adjustBox = adjust->parentWidget();
    m_brightness = Bar(adjustBox, 1434, -1000, 1000, 100);
    m_brightnessLabel = Named(new QLabel(adjustBox), 1435);
    m_contrast = Bar(adjustBox, 1436, -1000, 1000, 100);
    m_contrastLabel = Named(new QLabel(adjustBox), 1437);
    m_gamma = Bar(adjustBox, 1438, 1, 500, 10);
    m_gammaLabel = Named(new QLabel(adjustBox), 1439);
    adjust->addWidget(new QLabel(tr("Brightness"), adjustBox), 0, 0);
    adjust->addWidget(m_brightness, 0, 1);
    adjust->addWidget(m_brightnessLabel, 0, 2);
    adjust->addWidget(new QLabel(tr("Contrast"), adjustBox), 1, 0);
    adjust->addWidget(m_contrast, 1, 1);
    adjust->addWidget(m_contrastLabel, 1, 2);
    adjust->addWidget(new QLabel(tr("Gamma"), adjustBox), 2, 0);
    adjust->addWidget(m_gamma, 2, 1);
    adjust->addWidget(m_gammaLabel, 2, 2);
    for (QScrollBar* bar : {m_brightness, m_contrast, m_gamma})
        connect(bar, &QScrollBar::valueChanged, this, [this] { OnBar(); });
    m_previewImage = std::make_unique<CImage>();
    m_preview = new CImagePreview(m_previewImage.get(), adjustBox);
    m_preview->setObjectName(QStringLiteral("id1152"));
    adjust->addWidget(m_preview, 3, 0, 1, 3);
    m_apply = Named(new QPushButton(tr("Apply"), adjustBox), 1191);
    adjust->addWidget(m_apply, 4, 2);
    connect(m_apply, &QPushButton::clicked, this, [this] { OnApply(); });

    QGridLayout* transparency = AddGroup(layout, tr("Transparency"));
    m_useTransparent =
        Named(new QCheckBox(tr("Use Transparent Colour :"), transparency->parentWidget()), 1444);
    transparency->addWidget(m_useTransparent, 0, 0, 1, 3);
    connect(m_useTransparent, &QCheckBox::clicked, this, [this] { OnTransparency(); });
    m_swatch = AddColourRow(transparency, 1, tr("Colour"), 1035, 1036, &m_transparentColour,
                            [this](COLORREF colour) {
                                if (CImage* image = BeginEdit(m_swatch)) {
                                    image->m_transparentColour = colour;
                                    image->Rebuild(View());
                                    EndEdit(image);
                                }
                            });
    m_swatchRow = transparency->parentWidget();
    layout->addStretch(1);
}

// --- loading -------------------------------------------------------------------------

void CImageView::Load(CImage* image)
{
    SetLoading(true);
    LoadCommonBlocks(image, false);
    m_position->Bind(image);
    m_quality->setChecked(!image->m_fastPrint);
    m_speed->setChecked(image->m_fastPrint);
    m_maintain->setChecked(image->m_maintainAspect);
    m_file->setText(CFileName(image->m_filePath).GetAbbreviatedPath(40));
    m_sizing->setCurrentIndex(std::clamp(image->m_sizeConstraint, 0, 3));
    m_horz->setCurrentIndex(std::clamp(image->m_horzJustify, 0, 2));
    m_vert->setCurrentIndex(std::clamp(image->m_vertJustify, 0, 2));
    m_prefix->setText(image->m_prefix);
    m_suffix->setEditText(image->m_suffix);
    m_brightness->setValue(image->m_brightness);
    m_contrast->setValue(image->m_contrast);
    m_gamma->setValue(image->m_gammaCorrection);
    m_transparentColour = image->m_transparentColour;
    m_useTransparent->setChecked(image->m_transparency);
    RefreshGeometry();
    RebuildPreview();
    m_apply->setEnabled(false);
    ApplyEnabling();
    SetLoading(false);
}

void CImageView::UpdateFromElement()
{
    const bool loading = IsLoading();
    SetLoading(true);
    RefreshGeometry();
    SetLoading(loading);
}

void CImageView::RefreshGeometry()
{
    CImage* image = ElementAs<CImage>();
    if (!image)
        return;
    CRect r = image->m_pictureRect;
    r.NormalizeRect();
    m_position->Refresh();
    // A picture without height keeps the last ratio.
    if (r.Width() > 0 && r.Height() > 0)
        m_aspectRatio = double(r.Width()) / r.Height();
    m_brightnessLabel->setText(QString::asprintf("(%d%%)", m_brightness->value() / 10));
    m_contrastLabel->setText(QString::asprintf("(%d%%)", m_contrast->value() / 10));
    m_gammaLabel->setText(QString::asprintf("(%.2f)", m_gamma->value() * 0.01));
}

void CImageView::ApplyEnabling()
{
    CImage* image = ElementAs<CImage>();
    if (!image)
        return;
    const int kind = image->m_dataSource;
    for (QWidget* w : std::initializer_list<QWidget*>{m_sizing, m_horz, m_vert})
        w->setEnabled(kind != SOURCE_FIXED);
    m_prefix->setEnabled(kind >= SOURCE_DATABASE);
    m_suffix->setEnabled(kind >= SOURCE_DATABASE);
    if (image->m_transparency) {
        m_quality->setChecked(true);
        m_speed->setEnabled(false);
    } else {
        m_speed->setEnabled(true);
    }
    m_swatchRow->findChild<QWidget*>(QStringLiteral("id1035"))->setVisible(image->m_transparency);
    m_swatchRow->findChild<QWidget*>(QStringLiteral("id1036"))->setVisible(image->m_transparency);
}

// --- edits ----------------------------------------------------------------------------

CImage* CImageView::BeginEdit(QObject* control)
{
    if (!ElementAs<CImage>())
        return nullptr;
    auto* image = static_cast<CImage*>(BeginUndoStep(control));
    if (image)
        image->Invalidate(View(), TRUE);
    return image;
}

void CImageView::EndEdit(CImage* image)
{
    image->UpdateRects(View());
    ElementEdited(image);
    ApplyEnabling();
}

void CImageView::ApplyGeometry(CImage* image, CPositionSizeBlock::Field field, int tenths)
{
    using Block = CPositionSizeBlock;
    const bool sized = field == Block::FIELD_WIDTH || field == Block::FIELD_HEIGHT;
    if (sized && m_maintain->isChecked() && m_aspectRatio > 0) {
        // The other side in the shown precision: tenths of a millimetre
        // (or hundredths of an inch, as the field shows it).
        const bool width = field == Block::FIELD_WIDTH;
        const int other =
            width ? RoundHalfAway(tenths / m_aspectRatio) : RoundHalfAway(tenths * m_aspectRatio);
        m_position->Show(width ? Block::FIELD_HEIGHT : Block::FIELD_WIDTH, other);
    }
    const int x = m_position->Typed(Block::FIELD_X, image->m_imageAnchor.x);
    const int y = m_position->Typed(Block::FIELD_Y, image->m_imageAnchor.y);
    const int w = m_position->Typed(Block::FIELD_WIDTH, image->m_pictureRect.Width());
    const int h = m_position->Typed(Block::FIELD_HEIGHT, image->m_pictureRect.Height());
    image->m_imageAnchor = CPoint(x, y);
    image->m_pictureRect = CRect(x, y, x + w, y + h);
}

void CImageView::OnSelectFile()
{
    CImage* image = ElementAs<CImage>();
    if (!image)
        return;
    const QString chosen = CImageSelect::Choose(this);
    if (chosen.isEmpty())
        return;
    image = BeginEdit(m_select);
    if (!image)
        return;
    image->m_filePath = chosen;
    image->Reload(View());
    EndEdit(image);
    Load(image);
}

void CImageView::OnPrefixSuffix()
{
    QString prefix = m_prefix->text();
    QString suffix = m_suffix->currentText();
    if (!prefix.isEmpty() && !prefix.endsWith(QLatin1Char('\\')))
        prefix += QLatin1Char('\\');
    if (!suffix.isEmpty() && !suffix.startsWith(QLatin1Char('.')))
        suffix.prepend(QLatin1Char('.'));
    CImage* image = ElementAs<CImage>();
    if (!image || (image->m_prefix == prefix && image->m_suffix == suffix))
        return;
    image = BeginEdit(m_prefix);
    if (!image)
        return;
    image->m_prefix = prefix;
    image->m_suffix = suffix;
    EndEdit(image);
    SetLoading(true);
    m_prefix->setText(prefix);
    m_suffix->setEditText(suffix);
    SetLoading(false);
}

void CImageView::OnBar()
{
    if (IsLoading())
        return;
    m_brightnessLabel->setText(QString::asprintf("(%d%%)", m_brightness->value() / 10));
    m_contrastLabel->setText(QString::asprintf("(%d%%)", m_contrast->value() / 10));
    m_gammaLabel->setText(QString::asprintf("(%.2f)", m_gamma->value() * 0.01));
    RebuildPreview();
    m_apply->setEnabled(true);
}

void CImageView::OnApply()
{
    CImage* image = BeginEdit(m_apply);
    if (!image)
        return;
    image->m_brightness = m_brightness->value();
    image->m_contrast = m_contrast->value();
    image->m_gammaCorrection = m_gamma->value();
    image->Rebuild(View());
    EndEdit(image);
    m_apply->setEnabled(false);
}

void CImageView::OnTransparency()
{
    CImage* image = BeginEdit(m_useTransparent);
    if (!image)
        return;
    image->m_transparency = m_useTransparent->isChecked() ? 1 : 0;
    if (image->m_transparency)
        image->m_fastPrint = 0;
    image->Rebuild(View());
    EndEdit(image);
}

void CImageView::RebuildPreview()
{
    CImage* image = ElementAs<CImage>();
    if (!image || !m_previewImage)
        return;
    CImage& preview = *m_previewImage;
    preview.m_bitmap.Free();
    preview.m_filePath.clear();
    m_previewFile = image->m_filePath;
    if (!image->m_filePath.isEmpty() && preview.m_bitmap.Load(image->m_filePath) == PICTURE_OK) {
        preview.m_filePath = image->m_filePath;
        CPictureBitmap& bitmap = preview.m_bitmap;
        if (image->m_inverted)
            bitmap.Invert();
        if (image->m_greyScaled && !bitmap.IsGrey())
            bitmap.Greyscale();
        if (m_brightness->value() != 0)
            bitmap.Brightness(m_brightness->value());
        if (m_contrast->value() != 0)
            bitmap.Contrast(m_contrast->value());
        if (m_gamma->value() != 100)
            bitmap.Gamma(m_gamma->value());
        const QRect area = m_preview->rect().adjusted(10, 10, -10, -10);
        preview.FitInRect(nullptr,
                          CRect(area.left(), area.top(), area.right() + 1, area.bottom() + 1));
    }
    m_preview->update();
}
