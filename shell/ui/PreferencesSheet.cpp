#include "ui/PreferencesSheet.h"

#include "BarcodeStyle.h"
#include "Commands.h"
#include "ElementDefaults.h"
#include "Helpers.h"
#include "ListCtrlEx.h"
#include "LogFont.h"
#include "Messages.h"
#include "PriceField.h"
#include "PriceFontDlg.h"
#include "PriceSample.h"
#include "PriceFormatList.h"
#include "Preferences.h"
#include "ResourceIds.h"
#include "Strings.h"
#include "Rounding.h"
#include "SignApp.h"
#include "SpellOCX.h"
#include "Symbology.h"
#include "SystemCallbacks.h"
#include "TextBase.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDegreesToRadians = 0.017453292519944444;
constexpr double kRadiansToDegrees = 57.29577951307855;

struct PageEntry
{
    int command;
    const char* caption;
};

// The pages in their order; the index is the page a command opens.
constexpr PageEntry kPages[] = {
    {ID_PREF_GENERAL, "General"},   {ID_PREF_LINES, "Lines"},
    {ID_PREF_BOXES, "Boxes"},       {ID_PREF_ELLIPSES, "Ellipses"},
    {ID_PREF_TEXT, "Text"},         {ID_PREF_BARCODES, "Barcodes"},
    {ID_PREF_PRICES, "Prices"},     {ID_PREF_PICTURES, "Pictures"},
    {ID_PREF_BULLETS, "Bullet Points"}, {ID_PREF_SPELLING, "Spelling"},
    {ID_PREF_SYMBOLS, "Symbols"},
};

QString Id(int id)
{
    return QStringLiteral("id%1").arg(id);
}

template <class T> T* Named(T* widget, int id)
{
    widget->setObjectName(Id(id));
    return widget;
}

bool Inches()
{
    return App().general.displayUnits == 1;
}

QComboBox* Combo(QWidget* parent, int id, const QStringList& items)
{
    auto* combo = Named(new QComboBox(parent), id);
    combo->addItems(items);
    return combo;
}

// A length in tenths of a millimetre shown in the display unit: millimetres
// with one decimal, inches with two. A value the user did not touch is
// given back exactly as it came, so opening and closing the sheet never
// moves a length by the unit conversion.
class CLengthField
{
public:
    CLengthField(QWidget* parent, int id, double minMm, double maxMm)
    {
        m_box = Named(new QDoubleSpinBox(parent), id);
        m_inches = Inches();
        m_box->setDecimals(m_inches ? 2 : 1);
        double lo = minMm;
        double hi = maxMm;
        if (m_inches) {
            lo = std::copysign(std::max(0.01, std::abs(minMm) / 25.4), minMm);
            if (minMm == 0)
                lo = 0;
            hi = maxMm / 25.4;
        }
        m_box->setRange(lo, hi);
        m_box->setSingleStep(m_inches ? 0.01 : 0.1);
    }
    QDoubleSpinBox* Box() const { return m_box; }
    void Set(int tenths)
    {
        m_tenths = tenths;
        double value = tenths / 10.0;
        if (m_inches)
            MmToInches(value);
        m_box->setValue(value);
        m_shown = m_box->value();
    }
    int Get() const
    {
        if (m_box->value() == m_shown)
            return m_tenths;
        double value = m_box->value();
        if (m_inches)
            InchesToMm(value);
        // Nearest tenth: 12.3 mm is 123 even where 12.3 x 10 falls just short.
        return RoundHalfAway(value * 10.0);
    }

private:
    QDoubleSpinBox* m_box = nullptr;
    bool m_inches = false;
    int m_tenths = 0;
    double m_shown = 0;
};

QLabel* UnitLabel(QWidget* parent, int id)
{
    return Named(new QLabel(Inches() ? QObject::tr("inches") : QObject::tr("mm"), parent), id);
}

// A colour shown in a swatch with its "Select..." button, which opens the
// colour dialog.
class CColourField : public QObject
{
public:
    CColourField(QWidget* parent, int swatchId, int buttonId, COLORREF colour)
        : QObject(parent), m_colour(colour)
    {
        m_swatch = Named(new QFrame(parent), swatchId);
        m_swatch->setFixedSize(40, 20);
        m_swatch->setFrameShape(QFrame::Box);
        m_swatch->setAutoFillBackground(true);
        m_button = Named(new QPushButton(LoadStringId(IDS_SELECT_BUTTON), parent), buttonId);
        QObject::connect(m_button, &QPushButton::clicked, this, [this] { Choose(); });
        Paint();
    }
    QFrame* Swatch() const { return m_swatch; }
    QPushButton* Button() const { return m_button; }
    COLORREF Colour() const { return m_colour; }
    void SetVisible(bool visible)
    {
        m_swatch->setVisible(visible);
        m_button->setVisible(visible);
    }

private:
    static QColor ToQColor(COLORREF c)
    {
        return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
    }
    void Paint()
    {
        QPalette palette = m_swatch->palette();
        palette.setColor(QPalette::Window, ToQColor(m_colour));
        m_swatch->setPalette(palette);
    }
    void Choose()
    {
        QColorDialog dialog(ToQColor(m_colour), m_button->window());
        if (dialog.exec() != QDialog::Accepted)
            return;
        const QColor c = dialog.selectedColor();
        if (!c.isValid())
            return;
        m_colour = COLORREF(c.red() | (c.green() << 8) | (c.blue() << 16));
        Paint();
    }

    QFrame* m_swatch = nullptr;
    QPushButton* m_button = nullptr;
    COLORREF m_colour = 0;
};

// A label, a control and what follows it in one row of a grid.
void Row(QGridLayout* grid, int row, const QString& label, QWidget* control,
         QWidget* after = nullptr, QWidget* afterThat = nullptr)
{
    auto* text = new QLabel(label, grid->parentWidget());
    text->setBuddy(control);
    grid->addWidget(text, row, 0);
    grid->addWidget(control, row, 1);
    if (after)
        grid->addWidget(after, row, 2);
    if (afterThat)
        grid->addWidget(afterThat, row, 3);
}

void ColourRow(QGridLayout* grid, int row, const QString& label, CColourField* colour,
               QLabel** labelOut = nullptr)
{
    auto* text = new QLabel(label, grid->parentWidget());
    text->setBuddy(colour->Button());
    grid->addWidget(text, row, 0);
    grid->addWidget(colour->Swatch(), row, 1, Qt::AlignLeft);
    grid->addWidget(colour->Button(), row, 2);
    if (labelOut)
        *labelOut = text;
}

// A face list of a page: the faces with the pictures of their kinds.
CListCtrlEx* FaceList(QWidget* parent)
{
    auto* list = Named(new CListCtrlEx(parent), 1164);
    list->setMinimumHeight(110);
    PrepareFaceList(list);
    FillFaceList(list);
    return list;
}

// The font controls of a page: the face list, style, point size and,
// where the page has them, underline and strike-out, over a working font.
class CFontControls : public QObject
{
public:
    CFontControls(QWidget* parent, QGridLayout* grid, int row, const LogFontFields& lf,
                  bool withStyle, bool withEffects, const QString& sizeLabel)
        : QObject(parent), m_font(CLogFont::BoundRecord(lf))
    {
        m_faces = FaceList(parent);
        grid->addWidget(m_faces, row, 0, 1, 4);
        if (withStyle) {
            m_style = Combo(parent, 1039,
                            {tr("Regular"), tr("Italic"), tr("Bold"), tr("Bold Italic")});
            Row(grid, row + 1, tr("St&yle"), m_style);
        }
        m_size = Named(new QComboBox(parent), 1040);
        m_size->setEditable(true);
        m_size->setInsertPolicy(QComboBox::NoInsert);
        Row(grid, row + 2, sizeLabel, m_size);
        if (withEffects) {
            m_underline = Named(new QCheckBox(tr("&Underline"), parent), 1038);
            m_strikeOut = Named(new QCheckBox(tr("Stri&keout"), parent), 1037);
            grid->addWidget(m_underline, row + 3, 0, 1, 2);
            grid->addWidget(m_strikeOut, row + 4, 0, 1, 2);
        }
        Show();
        connect(m_faces, &CListCtrlEx::itemSelectionChanged, this, [this] {
            if (m_loading)
                return;
            const int row = m_faces->SelectedItem();
            if (row < 0)
                return;
            Read();
            m_font.SetFaceFromList(m_faces->CellText(row, 0), DWORD(m_faces->ItemData(row)));
            m_font.SetHeight(m_font.GetHeight());
            Show();
        });
    }

    // The controls' values in the working font. A control the user left as
    // it was shown keeps the font's own value: the controls show it rounded
    // (the height to a half point, the weight as bold or not), and reading
    // the rounded value back would change a font nobody touched.
    const CLogFont& Read()
    {
        const LogFontFields before = m_font.GetLogFont();
        const int style = m_style ? m_style->currentIndex() : -1;
        const QString size = m_size->currentText();
        const bool underline = m_underline ? m_underline->isChecked() : before.lfUnderline != 0;
        const bool strikeOut = m_strikeOut ? m_strikeOut->isChecked() : before.lfStrikeOut != 0;
        CFontControlValues values;
        values.styleIndex = style != m_shown.style ? style : -1;
        values.sizeText = size;
        values.underline = underline;
        values.strikeOut = strikeOut;
        const int row = m_faces->SelectedItem();
        if (row >= 0 && m_faces->CellText(row, 0) != m_shown.face) {
            values.faceSelected = true;
            values.faceText = m_faces->CellText(row, 0);
            values.faceData = DWORD(m_faces->ItemData(row));
        }
        const bool sizeKept = size == m_shown.size || size.trimmed().isEmpty();
        if (sizeKept)
            values.sizeText = m_font.FormatPointSize();
        m_font.ReadFontControls(values);
        LogFontFields lf = m_font.GetLogFont();
        if (sizeKept)
            lf.lfHeight = before.lfHeight;
        if (underline == m_shown.underline)
            lf.lfUnderline = before.lfUnderline;
        if (strikeOut == m_shown.strikeOut)
            lf.lfStrikeOut = before.lfStrikeOut;
        if (!(lf == m_font.GetLogFont()))
            m_font.SetLogFont(lf);
        return m_font;
    }
    LogFontFields LogFont() { return Read().GetLogFont(); }
    void SetFont(const LogFontFields& lf)
    {
        m_font.SetLogFont(CLogFont::BoundRecord(lf));
        Show();
    }
    void SetEnabled(bool on)
    {
        for (QWidget* w : std::initializer_list<QWidget*>{m_faces, m_style, m_size})
            if (w)
                w->setEnabled(on);
    }
    CListCtrlEx* Faces() const { return m_faces; }
    QComboBox* Size() const { return m_size; }
    const CLogFont& Font() const { return m_font; }

private:
    void Show()
    {
        m_loading = true;
        m_faces->clearSelection();
        // A face the printer lacks is put at the top, so a stored face
        // always shows (another face stands in for it when drawn).
        SelectFaceInList(m_faces, m_font.GetFaceName());
        if (m_style)
            m_style->setCurrentIndex(m_font.GetStyleIndex());
        m_size->clear();
        m_size->addItems(FaceSizeItems(m_font));
        m_size->setEditText(m_font.FormatPointSize());
        if (m_underline)
            m_underline->setChecked(m_font.GetLogFont().lfUnderline != 0);
        if (m_strikeOut)
            m_strikeOut->setChecked(m_font.GetLogFont().lfStrikeOut != 0);
        const int row = m_faces->SelectedItem();
        m_shown.face = row < 0 ? QString() : m_faces->CellText(row, 0);
        m_shown.style = m_style ? m_style->currentIndex() : -1;
        m_shown.size = m_size->currentText();
        m_shown.underline = m_font.GetLogFont().lfUnderline != 0;
        m_shown.strikeOut = m_font.GetLogFont().lfStrikeOut != 0;
        m_loading = false;
    }

    // What Show put into the controls.
    struct Shown
    {
        QString face;
        int style = -1;
        QString size;
        bool underline = false;
        bool strikeOut = false;
    };

    CLogFont m_font;
    Shown m_shown;
    CListCtrlEx* m_faces = nullptr;
    QComboBox* m_style = nullptr;
    QComboBox* m_size = nullptr;
    QCheckBox* m_underline = nullptr;
    QCheckBox* m_strikeOut = nullptr;
    bool m_loading = false;
};

QStringList EndTypes()
{
    return {QObject::tr("Square"), QObject::tr("Rounded"), QObject::tr("Point-In"),
            QObject::tr("Point-Out")};
}

// --- General ---------------------------------------------------------------------

class CPreferencePage1 : public CPreferencePage
{
public:
    explicit CPreferencePage1(QWidget* parent) : CPreferencePage(parent)
    {
        const CGeneralPreferences& g = App().general;
        auto* grid = new QGridLayout(this);
        m_angle = Named(new QSpinBox(this), 1029);
        m_angle->setRange(0, 359);
        int degrees = RoundHalfAway(g.rotationAngle * kRadiansToDegrees) % 360;
        if (degrees < 0)
            degrees += 360;
        m_angle->setValue(degrees);
        m_shownAngle = m_angle->value();
        Row(grid, 0, tr("Default &Angle"), m_angle, new QLabel(tr("degrees"), this));
        auto* dup = new QGroupBox(tr("Duplication Offset"), this);
        auto* dupGrid = new QGridLayout(dup);
        m_x = std::make_unique<CLengthField>(dup, 1118, -1500, 1500);
        m_y = std::make_unique<CLengthField>(dup, 1125, -1500, 1500);
        m_x->Set(g.duplicateX);
        m_y->Set(g.duplicateY);
        Row(dupGrid, 0, tr("&X"), m_x->Box(), UnitLabel(dup, 1019));
        Row(dupGrid, 1, tr("&Y"), m_y->Box(), UnitLabel(dup, 1020));
        grid->addWidget(dup, 1, 0, 1, 4);
        m_undo = Named(new QSpinBox(this), 1171);
        m_undo->setRange(1, 1000);
        m_undo->setValue(std::clamp(g.undoLevels, 1, 1000));
        Row(grid, 2, tr("Max &Undo Levels"), m_undo);
        m_outline = new CColourField(this, 1035, 1036, g.variableOutline);
        ColourRow(grid, 3, tr("Variable Elements"), m_outline);
        m_native = Named(new QCheckBox(tr("Use &Native Printing (where possible)"), this), 1386);
        m_endJob = Named(new QCheckBox(tr("End Print Job Each Page"), this), 1552);
        m_relative = Named(new QCheckBox(tr("Store Relative Paths"), this), 1559);
        m_printer = Named(new QCheckBox(tr("Store Printer Settings"), this), 1560);
        m_native->setChecked(g.nativePrint);
        m_endJob->setChecked(g.endJobWithPage);
        m_relative->setChecked(g.storeRelativePaths);
        m_printer->setChecked(g.storePrinterSettings);
        int row = 4;
        for (QCheckBox* box : {m_native, m_endJob, m_relative, m_printer})
            grid->addWidget(box, row++, 0, 1, 4);
        grid->setRowStretch(row, 1);
    }
    void Store() override
    {
        CGeneralPreferences& g = App().general;
        // An angle left as shown keeps its value, which is shown in whole degrees.
        if (m_angle->value() != m_shownAngle)
            g.rotationAngle = m_angle->value() * kDegreesToRadians;
        g.duplicateX = m_x->Get();
        g.duplicateY = m_y->Get();
        g.undoLevels = m_undo->value();
        g.variableOutline = m_outline->Colour();
        g.nativePrint = m_native->isChecked();
        g.endJobWithPage = m_endJob->isChecked();
        g.storeRelativePaths = m_relative->isChecked();
        g.storePrinterSettings = m_printer->isChecked();
    }

private:
    QSpinBox* m_angle = nullptr;
    int m_shownAngle = 0;
    std::unique_ptr<CLengthField> m_x, m_y;
    QSpinBox* m_undo = nullptr;
    CColourField* m_outline = nullptr;
    QCheckBox *m_native = nullptr, *m_endJob = nullptr, *m_relative = nullptr,
              *m_printer = nullptr;
};

// --- Lines -----------------------------------------------------------------------

class CPreferencePage2 : public CPreferencePage
{
public:
    explicit CPreferencePage2(QWidget* parent) : CPreferencePage(parent)
    {
        const CLineDefaults& line = App().Get<CLineDefaults>();
        auto* grid = new QGridLayout(this);
        m_thickness = std::make_unique<CLengthField>(this, 1013, 0.1, 1500);
        m_thickness->Set(line.thickness);
        Row(grid, 0, tr("&Thickness"), m_thickness->Box(), UnitLabel(this, 1023));
        m_end = Combo(this, 1034, EndTypes());
        m_end->setCurrentIndex(std::clamp(line.endStyle, 0, 3));
        Row(grid, 1, tr("&End Type"), m_end);
        m_colour = new CColourField(this, 1035, 1036, line.colour);
        ColourRow(grid, 2, tr("Colour"), m_colour);
        grid->setRowStretch(3, 1);
    }
    void Store() override
    {
        CLineDefaults& line = App().Get<CLineDefaults>();
        line.thickness = m_thickness->Get();
        line.endStyle = m_end->currentIndex();
        line.colour = m_colour->Colour();
    }

private:
    std::unique_ptr<CLengthField> m_thickness;
    QComboBox* m_end = nullptr;
    CColourField* m_colour = nullptr;
};

// --- Boxes and Ellipses ------------------------------------------------------------

class CPreferencePage3 : public CPreferencePage
{
public:
    // box 1: boxes, 2: ellipses (no corners).
    CPreferencePage3(QWidget* parent, int box) : CPreferencePage(parent), m_box(box)
    {
        int thickness = 0;
        COLORREF outline = 0, fill = 0;
        BOOL filled = 0;
        if (box == 1) {
            const CBoxDefaults& d = App().Get<CBoxDefaults>();
            thickness = d.thickness;
            outline = d.outlineColour;
            fill = d.fillColour;
            filled = d.fillInterior;
        } else {
            const CEllipseDefaults& d = App().Get<CEllipseDefaults>();
            thickness = d.thickness;
            outline = d.outlineColour;
            fill = d.fillColour;
            filled = d.fillInterior;
        }
        auto* grid = new QGridLayout(this);
        m_thickness = std::make_unique<CLengthField>(this, 1013, 0.1, 1500);
        m_thickness->Set(thickness);
        Row(grid, 0, tr("Outline &Thickness"), m_thickness->Box(), UnitLabel(this, 1023));
        m_corner = Combo(this, 1009, {tr("Square"), tr("Rounded"), tr("Chamfered")});
        auto* cornerLabel = Named(new QLabel(tr("&Corner Type"), this), 1064);
        cornerLabel->setBuddy(m_corner);
        grid->addWidget(cornerLabel, 1, 0);
        grid->addWidget(m_corner, 1, 1);
        m_radius = Named(new QSpinBox(this), 1110);
        m_radius->setRange(0, 100);
        auto* radiusLabel = Named(new QLabel(tr("Corner &Radius"), this), 1253);
        radiusLabel->setBuddy(m_radius);
        auto* percent = Named(new QLabel(QStringLiteral("%"), this), 1188);
        grid->addWidget(radiusLabel, 2, 0);
        grid->addWidget(m_radius, 2, 1);
        grid->addWidget(percent, 2, 2);
        m_outline = new CColourField(this, 1018, 1015, outline);
        ColourRow(grid, 3, tr("Outline Colour"), m_outline);
        m_filled = Named(new QCheckBox(tr("Filled &Interior"), this), 1203);
        m_filled->setChecked(filled);
        grid->addWidget(m_filled, 4, 0, 1, 3);
        m_fill = new CColourField(this, 1017, 1016, fill);
        ColourRow(grid, 5, tr("&Fill Colour"), m_fill, &m_fillLabel);
        m_fillLabel->setObjectName(Id(1202));
        grid->setRowStretch(6, 1);
        if (box == 1) {
            const CBoxDefaults& d = App().Get<CBoxDefaults>();
            m_corner->setCurrentIndex(std::clamp(d.cornerType, 0, 2));
            m_radius->setValue(std::clamp(d.cornerRadius, 0, 100));
        } else {
            for (QWidget* w :
                 std::initializer_list<QWidget*>{cornerLabel, m_corner, radiusLabel, m_radius,
                                                 percent})
                w->setVisible(false);
        }
        connect(m_filled, &QCheckBox::toggled, this, [this](bool on) { ShowFill(on); });
        ShowFill(filled);
    }
    void Store() override
    {
        if (m_box == 1) {
            CBoxDefaults& d = App().Get<CBoxDefaults>();
            d.thickness = m_thickness->Get();
            d.outlineColour = m_outline->Colour();
            d.fillInterior = m_filled->isChecked();
            d.fillColour = m_fill->Colour();
            d.cornerType = m_corner->currentIndex();
            d.cornerRadius = m_radius->value();
        } else {
            CEllipseDefaults& d = App().Get<CEllipseDefaults>();
            d.thickness = m_thickness->Get();
            d.outlineColour = m_outline->Colour();
            d.fillInterior = m_filled->isChecked();
            d.fillColour = m_fill->Colour();
        }
    }

private:
    void ShowFill(bool on)
    {
        m_fill->SetVisible(on);
        m_fillLabel->setVisible(on);
    }

    int m_box;
    std::unique_ptr<CLengthField> m_thickness;
    QComboBox* m_corner = nullptr;
    QSpinBox* m_radius = nullptr;
    CColourField* m_outline = nullptr;
    QCheckBox* m_filled = nullptr;
    CColourField* m_fill = nullptr;
    QLabel* m_fillLabel = nullptr;
};

// A colour with a "Coloured Background" box that shows or hides the
// background colour.
struct CBackgroundRows
{
    QCheckBox* coloured = nullptr;
    CColourField* colour = nullptr;
    QLabel* label = nullptr;

    void Build(QWidget* page, QGridLayout* grid, int row, BOOL on, COLORREF background)
    {
        coloured = Named(new QCheckBox(QObject::tr("&Coloured Background"), page), 1204);
        coloured->setChecked(on);
        grid->addWidget(coloured, row, 0, 1, 3);
        colour = new CColourField(page, 1045, 1046, background);
        ColourRow(grid, row + 1, QObject::tr("&Background Colour"), colour, &label);
        label->setObjectName(Id(1205));
        QObject::connect(coloured, &QCheckBox::toggled, page, [this](bool v) { Show(v); });
        Show(on);
    }
    void Show(bool on)
    {
        colour->SetVisible(on);
        label->setVisible(on);
    }
};

// --- Text ------------------------------------------------------------------------

class CPreferencePage5 : public CPreferencePage
{
public:
    explicit CPreferencePage5(QWidget* parent) : CPreferencePage(parent)
    {
        const CTextDefaults& defaults = CTextDefaults::Current();
        const CTextElementDefaults& text = App().Get<CTextElementDefaults>();
        auto* grid = new QGridLayout(this);
        m_font = new CFontControls(this, grid, 0, defaults.font.GetLogFont(), true, true,
                                   tr("Point Si&ze"));
        m_colour = new CColourField(this, 1043, 1044, defaults.colour);
        ColourRow(grid, 5, tr("&Text Colour"), m_colour);
        m_background.Build(this, grid, 6, text.colouredBackground, text.backgroundColour);
        m_horz = Combo(this, 1079, {tr("Left"), tr("Centre"), tr("Right"), tr("Block Centre")});
        m_horz->setCurrentIndex(std::clamp(text.horzJustify, 0, 3));
        Row(grid, 8, tr("&Horz Justify"), m_horz);
        m_vert = Combo(this, 1080, {tr("Top"), tr("Middle"), tr("Bottom")});
        m_vert->setCurrentIndex(std::clamp(text.vertJustify, 0, 2));
        Row(grid, 9, tr("&Vert Justify"), m_vert);
        m_preserve = Named(new QCheckBox(tr("&Preserve Line Breaks"), this), 1208);
        m_preserve->setChecked(text.preserveLineBreaks);
        grid->addWidget(m_preserve, 10, 0, 1, 3);
        m_min = Named(new QComboBox(this), 1206);
        m_max = Named(new QComboBox(this), 1207);
        const QStringList sizes = FaceSizeItems(m_font->Font());
        for (QComboBox* combo : {m_min, m_max}) {
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->addItems(sizes);
        }
        m_min->setEditText(m_font->Font().FormatPointSize(text.minHeight));
        m_max->setEditText(m_font->Font().FormatPointSize(text.maxHeight));
        m_shownMin = m_min->currentText();
        m_shownMax = m_max->currentText();
        Row(grid, 11, tr("Mi&n Size"), m_min);
        Row(grid, 12, tr("Ma&x Size"), m_max);
    }
    bool Validate() override
    {
        for (QComboBox* combo : {m_min, m_max}) {
            bool ok = false;
            const double points = combo->currentText().trimmed().toDouble(&ok);
            if (!ok || points <= 0 || points > 1000) {
                AppMessageBox(tr("Please enter a point size from 1 to 1000."),
                              MB_OK | MB_ICONEXCLAMATION);
                combo->setFocus();
                return false;
            }
        }
        return true;
    }
    void Store() override
    {
        CTextDefaults& defaults = CTextDefaults::Current();
        CTextElementDefaults& text = App().Get<CTextElementDefaults>();
        defaults.font.SetLogFont(m_font->LogFont());
        defaults.colour = m_colour->Colour();
        text.colouredBackground = m_background.coloured->isChecked();
        text.backgroundColour = m_background.colour->Colour();
        text.horzJustify = m_horz->currentIndex();
        text.vertJustify = m_vert->currentIndex();
        text.preserveLineBreaks = m_preserve->isChecked();
        // A size left as shown keeps its height: the point size shown is
        // rounded to a half point.
        const CLogFont& font = m_font->Font();
        auto height = [&font](QComboBox* combo, const QString& shown, int kept) {
            if (combo->currentText() == shown)
                return kept;
            return std::clamp(font.PointsToHeight(combo->currentText().trimmed().toDouble()),
                              CLogFont::kMinHeight, CLogFont::kMaxHeight);
        };
        text.minHeight = height(m_min, m_shownMin, text.minHeight);
        text.maxHeight = height(m_max, m_shownMax, text.maxHeight);
        // A minimum not below the maximum becomes the maximum.
        if (text.minHeight >= text.maxHeight)
            text.minHeight = text.maxHeight;
    }

private:
    CFontControls* m_font = nullptr;
    CColourField* m_colour = nullptr;
    CBackgroundRows m_background;
    QComboBox *m_horz = nullptr, *m_vert = nullptr, *m_min = nullptr, *m_max = nullptr;
    QString m_shownMin, m_shownMax;
    QCheckBox* m_preserve = nullptr;
};

// --- Barcodes --------------------------------------------------------------------

class CPreferencePage6 : public CPreferencePage
{
public:
    explicit CPreferencePage6(QWidget* parent) : CPreferencePage(parent)
    {
        const CBarcodePreferences& prefs = CBarcodePreferences::Current();
        auto* grid = new QGridLayout(this);
        m_type = Named(new QComboBox(this), 1179);
        m_type->addItem(LoadStringId(IDS_NO_PREFERENCE), -1);
        for (int id = 0; id < kSymbologyCount; ++id) {
            const SymbologyInfo& info = GetSymbology(id);
            if (!info.name || !*info.name || id == SYM_PDF417 || id == SYM_DATAMATRIX ||
                id == SYM_GS1_DATAMATRIX || id == SYM_GS1_DATABAR || id == SYM_QRCODE)
                continue;
            m_type->addItem(QString::fromUtf8(info.name), id);
        }
        Row(grid, 0, tr("&Type"), m_type);
        m_style = Combo(this, 1162, {});
        Row(grid, 1, tr("&Style"), m_style);
        m_height = std::make_unique<CLengthField>(this, 1007, 0.1, 1500);
        Row(grid, 2, tr("&Height"), m_height->Box(), UnitLabel(this, 1023));
        m_calc = Named(new QCheckBox(tr("Calculate &Check Digit"), this), 1201);
        m_human = Named(new QCheckBox(tr("Show Human-&Readable"), this), 1198);
        m_showCheck = Named(new QCheckBox(tr("Show Check &Digit(s)"), this), 1199);
        grid->addWidget(m_calc, 3, 0, 1, 3);
        grid->addWidget(m_human, 4, 0, 1, 3);
        grid->addWidget(m_showCheck, 5, 0, 1, 3);
        m_font = new CFontControls(this, grid, 6, prefs.font, true, false, tr("&Point Size"));
        m_horz = Combo(this, 1079, {tr("Left"), tr("Centre"), tr("Right")});
        m_horz->setCurrentIndex(std::clamp(prefs.horzJustify, 0, 2));
        Row(grid, 9, tr("Hor&z Justify"), m_horz);
        m_vert = Combo(this, 1080, {tr("Below"), tr("Above")});
        m_vert->setCurrentIndex(std::clamp(prefs.vertJustify, 0, 1));
        Row(grid, 10, tr("&Vert Position"), m_vert);

        const int index = m_type->findData(prefs.type);
        m_type->setCurrentIndex(index < 0 ? 0 : index);
        OnType();
        // The stored values over the symbology's defaults.
        if (Symbology()) {
            const int style = m_style->findText(prefs.style);
            if (style >= 0)
                m_style->setCurrentIndex(style);
            if (prefs.height > 0)
                m_height->Set(prefs.height);
            if (prefs.calcChecksum >= 0)
                m_calc->setChecked(prefs.calcChecksum);
            if (prefs.showHuman >= 0)
                m_human->setChecked(prefs.showHuman);
            if (prefs.showChecksum >= 0)
                m_showCheck->setChecked(prefs.showChecksum && m_calc->isChecked() &&
                                        m_human->isChecked());
            Enable();
        }
        connect(m_type, &QComboBox::activated, this, [this] { OnType(); });
        connect(m_calc, &QCheckBox::clicked, this, [this](bool on) {
            if (!on)
                m_showCheck->setChecked(false);
            Enable();
        });
        connect(m_human, &QCheckBox::clicked, this, [this](bool on) {
            const SymbologyInfo* info = Symbology();
            if (!on)
                m_showCheck->setChecked(false);
            else if (info && (info->checkOptional || info->checkDefault) && !info->checkHidden)
                m_showCheck->setChecked(true);
            Enable();
        });
    }
    void Store() override
    {
        CBarcodePreferences& prefs = CBarcodePreferences::Current();
        const SymbologyInfo* info = Symbology();
        prefs.font = m_font->LogFont();
        prefs.horzJustify = m_horz->currentIndex();
        prefs.vertJustify = m_vert->currentIndex();
        if (!info) {
            prefs.type = -1;
            prefs.style.clear();
            prefs.height = prefs.calcChecksum = prefs.showHuman = prefs.showChecksum = -1;
            return;
        }
        prefs.type = info->id;
        prefs.style = m_style->currentText();
        prefs.height = m_height->Get();
        prefs.calcChecksum = m_calc->isChecked() ? 1 : 0;
        prefs.showHuman = m_human->isChecked() ? 1 : 0;
        prefs.showChecksum = m_showCheck->isChecked() ? 1 : 0;
    }

private:
    const SymbologyInfo* Symbology() const
    {
        return FindSymbology(m_type->currentData().toInt());
    }
    void OnType()
    {
        const SymbologyInfo* info = Symbology();
        m_style->clear();
        if (!info) {
            m_height->Box()->clear();
            for (QCheckBox* box : {m_calc, m_human, m_showCheck})
                box->setChecked(false);
            Enable();
            return;
        }
        if (info->family != FAMILY_NONE) {
            m_style->addItems(TheBarcodeStyleList().StyleNames(info->family));
            const int style = m_style->findText(QString::fromUtf8(info->defaultStyle));
            if (style >= 0)
                m_style->setCurrentIndex(style);
        }
        m_height->Set(std::max(info->defaultHeight, 1));
        const bool check = info->checkOptional || info->checkDefault;
        m_calc->setChecked(check);
        m_human->setChecked(info->humanReadable);
        m_showCheck->setChecked(m_calc->isChecked() && m_human->isChecked() && check &&
                                !info->checkHidden);
        Enable();
    }
    void Enable()
    {
        const SymbologyInfo* info = Symbology();
        if (!info) {
            for (QWidget* w : std::initializer_list<QWidget*>{m_style, m_height->Box(), m_calc,
                                                              m_human, m_showCheck})
                w->setEnabled(false);
            m_font->SetEnabled(true);
            m_horz->setEnabled(true);
            m_vert->setEnabled(true);
            return;
        }
        m_style->setEnabled(true);
        m_height->Box()->setEnabled(info->heightAdjustable);
        m_calc->setEnabled(info->checkOptional);
        if (info->humanReadable) {
            m_human->setEnabled(true);
            m_showCheck->setEnabled(m_calc->isChecked() && m_human->isChecked() &&
                                    info->checkOptional && !info->checkHidden);
            const bool text = m_human->isChecked();
            m_font->SetEnabled(text);
            m_horz->setEnabled(text);
            m_vert->setEnabled(text);
        } else {
            for (QWidget* w : std::initializer_list<QWidget*>{m_human, m_showCheck, m_horz, m_vert})
                w->setEnabled(false);
            m_font->SetEnabled(false);
        }
    }

    QComboBox *m_type = nullptr, *m_style = nullptr, *m_horz = nullptr, *m_vert = nullptr;
    std::unique_ptr<CLengthField> m_height;
    QCheckBox *m_calc = nullptr, *m_human = nullptr, *m_showCheck = nullptr;
    CFontControls* m_font = nullptr;
};

// --- Prices ----------------------------------------------------------------------

class CPreferencePage7 : public CPreferencePage
{
public:
    explicit CPreferencePage7(QWidget* parent) : CPreferencePage(parent)
    {
        const CPricePreferences& prefs = CPricePreferences::Current();
        auto* grid = new QGridLayout(this);
        CPriceFormatList& formats = ThePriceFormatList();
        m_format = Combo(this, 1162, formats.GetFormatNames(true));
        const int chosen = m_format->findText(prefs.format);
        m_format->setCurrentIndex(chosen < 0 ? 0 : chosen);
        m_view = Named(new QPushButton(tr("&View..."), this), 1185);
        m_view->setEnabled(formats.GetCount() >= 2);
        Row(grid, 0, tr("&Format"), m_format, m_view);
        connect(m_view, &QPushButton::clicked, this, [this] {
            if (CPriceFormat* format = ThePriceFormatList().SelectFormat(
                    this, m_format->currentText(), true)) {
                const int index = m_format->findText(format->m_name);
                if (index >= 0)
                    m_format->setCurrentIndex(index);
            }
        });

        for (int part = 0; part < CPriceField::kPartCount; ++part) {
            const CLogFont font(CLogFont::BoundRecord(prefs.partFonts[size_t(part)]));
            m_sample.Part(part).CreateOwnFont(&font);
        }
        m_font = new CFontControls(this, grid, 1, prefs.partFonts[0], true, false,
                                   tr("Point Si&ze"));
        m_single = Named(new QCheckBox(tr("&Single Typeface"), this), 1197);
        m_single->setChecked(m_sample.HasUniformTypeface());
        m_advanced = Named(new QPushButton(tr("&Advanced..."), this), 1196);
        m_advanced->setEnabled(!m_single->isChecked());
        grid->addWidget(m_single, 4, 0, 1, 2);
        grid->addWidget(m_advanced, 4, 2);
        connect(m_single, &QCheckBox::toggled, m_advanced, &QWidget::setDisabled);
        connect(m_advanced, &QPushButton::clicked, this, [this] { OnAdvanced(); });

        m_colour = new CColourField(this, 1043, 1044, prefs.textColour);
        ColourRow(grid, 5, tr("&Text Colour"), m_colour);
        m_background.Build(this, grid, 6, prefs.colouredBackground, prefs.backgroundColour);
        m_crossColour = new CColourField(this, 1047, 1048, prefs.crossOutColour);
        ColourRow(grid, 8, tr("Cross-&Out Colour"), m_crossColour);
        m_pattern = Combo(this, 1058,
                          {tr("Upward Diagonal"), tr("Downward Diagonal"), tr("Diagonal Cross")});
        m_pattern->setCurrentIndex(std::clamp(prefs.crossOutPattern, 0, 2));
        Row(grid, 9, tr("&Pattern"), m_pattern);
        m_thickness = std::make_unique<CLengthField>(this, 1013, 0.1, 1500);
        m_thickness->Set(prefs.crossOutThickness);
        Row(grid, 10, tr("Line Thic&kness"), m_thickness->Box(), UnitLabel(this, 1023));
        m_end = Combo(this, 1034, EndTypes());
        m_end->setCurrentIndex(std::clamp(prefs.crossOutEndStyle, 0, 3));
        Row(grid, 11, tr("Line &End Type"), m_end);
    }
    void Store() override
    {
        CPricePreferences& prefs = CPricePreferences::Current();
        TakeFonts();
        for (int part = 0; part < CPriceField::kPartCount; ++part)
            prefs.partFonts[size_t(part)] = m_sample.Part(part).GetFont().GetLogFont();
        prefs.format = m_format->currentText();
        prefs.textColour = m_colour->Colour();
        prefs.colouredBackground = m_background.coloured->isChecked();
        prefs.backgroundColour = m_background.colour->Colour();
        prefs.crossOutColour = m_crossColour->Colour();
        prefs.crossOutPattern = m_pattern->currentIndex();
        prefs.crossOutThickness = m_thickness->Get();
        prefs.crossOutEndStyle = m_end->currentIndex();
    }

private:
    // The controls' font into the sample: with a single typeface to every
    // part, the point size to the price's own font (part 0) in any case.
    void TakeFonts()
    {
        const LogFontFields lf = m_font->LogFont();
        if (m_single->isChecked()) {
            for (int part = 0; part < CPriceField::kPartCount; ++part) {
                LogFontFields partFont = m_sample.Part(part).GetFont().GetLogFont();
                const LONG height = partFont.lfHeight;
                partFont = lf;
                if (part != 0)
                    partFont.lfHeight = height;
                m_sample.Part(part).SetLogFont(partFont);
            }
        } else {
            LogFontFields own = m_sample.Part(0).GetFont().GetLogFont();
            own.lfHeight = lf.lfHeight;
            m_sample.Part(0).SetLogFont(own);
        }
    }
    void OnAdvanced()
    {
        TakeFonts();
        CPriceFontDlg dialog(m_sample, FillFaceList, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        for (int part = 0; part < CPriceField::kPartCount; ++part)
            m_sample.Part(part).SetLogFont(
                dialog.Sample().Part(part).GetFont().GetLogFont());
        m_font->SetFont(m_sample.Part(0).GetFont().GetLogFont());
        m_single->setChecked(m_sample.HasUniformTypeface());
    }

    CPriceField m_sample;
    QComboBox *m_format = nullptr, *m_pattern = nullptr, *m_end = nullptr;
    QPushButton *m_view = nullptr, *m_advanced = nullptr;
    CFontControls* m_font = nullptr;
    QCheckBox* m_single = nullptr;
    CColourField *m_colour = nullptr, *m_crossColour = nullptr;
    CBackgroundRows m_background;
    std::unique_ptr<CLengthField> m_thickness;
};

// --- Pictures --------------------------------------------------------------------

class CPreferencePage8 : public CPreferencePage
{
public:
    explicit CPreferencePage8(QWidget* parent) : CPreferencePage(parent)
    {
        const CImagePreferences& prefs = CImagePreferences::Current();
        auto* layout = new QVBoxLayout(this);
        m_constrain =
            Named(new QCheckBox(tr("Always &maintain aspect ratio when stretching"), this), 1163);
        m_constrain->setChecked(prefs.constrainStretching);
        layout->addWidget(m_constrain);
        layout->addWidget(new QLabel(tr("Printing Preference :"), this));
        m_quality = Named(new QRadioButton(tr("&Quality"), this), 1420);
        m_speed = Named(new QRadioButton(tr("&Speed"), this), 1419);
        (prefs.fastPrint ? m_speed : m_quality)->setChecked(true);
        layout->addWidget(m_quality);
        layout->addWidget(m_speed);
        layout->addStretch(1);
    }
    void Store() override
    {
        CImagePreferences& prefs = CImagePreferences::Current();
        prefs.constrainStretching = m_constrain->isChecked();
        prefs.fastPrint = m_speed->isChecked() ? 1 : 0;
    }

private:
    QCheckBox* m_constrain = nullptr;
    QRadioButton *m_quality = nullptr, *m_speed = nullptr;
};

// --- Bullet Points ---------------------------------------------------------------

// The bullet character drawn in the chosen face, as tall as the field less
// two pixels.
class CBulletSample : public QFrame
{
public:
    explicit CBulletSample(QWidget* parent) : QFrame(parent)
    {
        setFrameShape(QFrame::StyledPanel);
        setMinimumSize(40, 40);
    }
    void Set(const QString& face, int code)
    {
        m_face = face;
        m_code = code;
        update();
    }
    int Code() const { return m_code; }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QFrame::paintEvent(event);
        QPainter painter(this);
        QFont font(CPrinterFontMetrics::ResolveFace(m_face));
        font.setPixelSize(std::max(1, height() - 2));
        painter.setFont(font);
        painter.drawText(rect(), Qt::AlignCenter, QString(QChar::fromLatin1(char(m_code))));
    }

private:
    QString m_face;
    int m_code = 34;
};

class CPreferencePage9 : public CPreferencePage
{
public:
    explicit CPreferencePage9(QWidget* parent) : CPreferencePage(parent)
    {
        const CBulletPreferences& prefs = CBulletPreferences::Current();
        auto* grid = new QGridLayout(this);
        m_faces = FaceList(this);
        grid->addWidget(m_faces, 0, 0, 1, 4);
        m_lf = prefs.font;
        SelectFaceInList(m_faces, m_lf.lfFaceName);
        m_sample = Named(new CBulletSample(this), 1179);
        m_code = Named(new QSpinBox(this), 1216);
        m_code->setRange(33, 255);
        m_code->setValue(std::clamp(int(prefs.symbol), 33, 255));
        Row(grid, 1, tr("Symbol"), m_sample, m_code);
        m_offset = std::make_unique<CLengthField>(this, 1217, 0, 1500);
        m_offset->Set(prefs.offset);
        Row(grid, 2, tr("Text Offset"), m_offset->Box(), UnitLabel(this, 1023));
        m_size = Named(new QSpinBox(this), 1221);
        m_size->setRange(10, 100);
        m_size->setValue(std::clamp(prefs.size, 10, 100));
        Row(grid, 3, tr("Relative Size"), m_size, new QLabel(QStringLiteral("%"), this));
        m_colour = new CColourField(this, 1035, 1036, prefs.colour);
        ColourRow(grid, 4, tr("Colour"), m_colour);
        ShowSample();
        connect(m_faces, &CListCtrlEx::itemSelectionChanged, this, [this] {
            const QString face = m_faces->CellText(m_faces->SelectedItem(), 0);
            if (!face.isEmpty())
                m_lf.lfFaceName = face;
            ShowSample();
        });
        connect(m_code, &QSpinBox::valueChanged, this, [this] { ShowSample(); });
    }
    void Store() override
    {
        CBulletPreferences& prefs = CBulletPreferences::Current();
        prefs.font = m_lf;
        prefs.symbol = BYTE(m_code->value());
        prefs.offset = m_offset->Get();
        prefs.size = m_size->value();
        prefs.colour = m_colour->Colour();
    }

private:
    void ShowSample() { m_sample->Set(m_lf.lfFaceName, m_code->value()); }

    LogFontFields m_lf;
    CListCtrlEx* m_faces = nullptr;
    CBulletSample* m_sample = nullptr;
    QSpinBox *m_code = nullptr, *m_size = nullptr;
    std::unique_ptr<CLengthField> m_offset;
    CColourField* m_colour = nullptr;
};

// --- Spelling --------------------------------------------------------------------

// The dictionaries offered: each words file with its affix file beside it
// in the program folder and the dictionary folders, by title.
QList<QFileInfo> Dictionaries()
{
    QList<QFileInfo> found;
    QStringList titles;
    QStringList folders{CSignApp::GetProgramFolder()};
    folders += CSpellOCX::DictionaryFolders();
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QFileInfo& info :
             dir.entryInfoList({QStringLiteral("*.dic")}, QDir::Files, QDir::Name)) {
            if (!dir.exists(info.completeBaseName() + QStringLiteral(".aff")) ||
                titles.contains(info.completeBaseName()))
                continue;
            titles << info.completeBaseName();
            found << info;
        }
    }
    return found;
}

class CPreferencePage10 : public CPreferencePage
{
public:
    explicit CPreferencePage10(QWidget* parent) : CPreferencePage(parent)
    {
        const CSpellPreferences& prefs = CSpellPreferences::Current();
        auto* grid = new QGridLayout(this);
        m_language = Named(new QComboBox(this), 1247);
        for (const QFileInfo& info : Dictionaries())
            m_language->addItem(info.completeBaseName(), info.absoluteFilePath());
        const int chosen = m_language->findText(QFileInfo(prefs.dictionary).completeBaseName());
        m_language->setCurrentIndex(chosen < 0 ? 0 : chosen);
        m_shownLanguage = m_language->currentIndex();
        Row(grid, 0, tr("&Language :"), m_language);
        m_performance = Named(new QSlider(Qt::Horizontal, this), 1246);
        m_performance->setRange(-7, 7);
        m_performance->setValue(std::clamp<int>(prefs.performance, -7, 7));
        Row(grid, 1, tr("Per&formance"), m_performance);
        struct Option
        {
            int id;
            const char* text;
            WORD bit;
        };
        const Option options[] = {
            {1244, "Ignore Words In &UPPERCASE", CSpellPreferences::IgnoreUpperCase},
            {1245, "Ignore &Partial Numbers", CSpellPreferences::IgnorePartialNumbers},
            {1249, "Ignore Pure &Numbers", CSpellPreferences::IgnorePureNumbers},
            {1250, "Exact &Case Match Required", CSpellPreferences::ExactCase},
            {1251, "Check &Hyphenated Words Separately", CSpellPreferences::SplitHyphenated},
        };
        int row = 2;
        for (const Option& option : options) {
            auto* box = Named(new QCheckBox(tr(option.text), this), option.id);
            box->setChecked((prefs.options & option.bit) != 0);
            m_options.push_back({box, option.bit});
            grid->addWidget(box, row++, 0, 1, 3);
        }
        m_search = Named(new QSpinBox(this), 1109);
        m_search->setRange(100, 10000);
        m_search->setValue(std::clamp<int>(prefs.searchLimit, 100, 10000));
        Row(grid, row++, tr("Suggestion &Search Limit :"), m_search);
        m_display = Named(new QSpinBox(this), 1248);
        m_display->setRange(1, 50);
        m_display->setValue(std::clamp<int>(prefs.displayLimit, 1, 50));
        Row(grid, row++, tr("Suggestion &Display Limit :"), m_display);
        grid->setRowStretch(row, 1);
    }
    void Store() override
    {
        CSpellPreferences& prefs = CSpellPreferences::Current();
        // A dictionary left as shown keeps the stored one, which the list
        // may only stand in for (a dictionary that is not installed here).
        if (m_language->currentIndex() >= 0 && m_language->currentIndex() != m_shownLanguage &&
            !m_language->currentText().isEmpty())
            prefs.dictionary = m_language->currentData().toString();
        prefs.performance = short(m_performance->value());
        WORD options = CSpellPreferences::AlwaysSet;
        for (const auto& [box, bit] : m_options)
            if (box->isChecked())
                options |= bit;
        prefs.options = options;
        prefs.searchLimit = short(m_search->value());
        prefs.displayLimit = short(m_display->value());
    }

private:
    QComboBox* m_language = nullptr;
    QSlider* m_performance = nullptr;
    std::vector<std::pair<QCheckBox*, WORD>> m_options;
    QSpinBox *m_search = nullptr, *m_display = nullptr;
    int m_shownLanguage = -1;
};

// --- Symbols ---------------------------------------------------------------------

class CPreferencePage11 : public CPreferencePage
{
public:
    explicit CPreferencePage11(QWidget* parent) : CPreferencePage(parent)
    {
        const CSymbolPreferences& prefs = CSymbolPreferences::Current();
        auto* grid = new QGridLayout(this);
        m_font = new CFontControls(this, grid, 0, prefs.font, false, false, tr("Point Si&ze"));
        m_colour = new CColourField(this, 1043, 1044, prefs.symbolColour);
        ColourRow(grid, 3, tr("&Symbol Colour"), m_colour);
        m_background.Build(this, grid, 4, prefs.colouredBackground, prefs.backgroundColour);
        grid->setRowStretch(6, 1);
    }
    void Store() override
    {
        CSymbolPreferences& prefs = CSymbolPreferences::Current();
        LogFontFields lf = m_font->LogFont();
        // The symbol font keeps its own style; only face and size are chosen here.
        lf.lfWeight = prefs.font.lfWeight;
        lf.lfItalic = prefs.font.lfItalic;
        prefs.font = lf;
        prefs.symbolColour = m_colour->Colour();
        prefs.colouredBackground = m_background.coloured->isChecked();
        prefs.backgroundColour = m_background.colour->Colour();
    }

private:
    CFontControls* m_font = nullptr;
    CColourField* m_colour = nullptr;
    CBackgroundRows m_background;
};

} // namespace

int PreferencePageIndex(int commandId)
{
    for (int index = 0; index < int(std::size(kPages)); ++index)
        if (kPages[index].command == commandId)
            return index;
    return 0;
}

CPreferencesSheet::CPreferencesSheet(QWidget* parent, int pageIndex) : QDialog(parent)
{
    std::vector<int> all(std::size(kPages));
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = int(i);
    Build(all, std::clamp(pageIndex, 0, int(all.size()) - 1));
}

CPreferencesSheet::CPreferencesSheet(QWidget* parent, SpellingOnly) : QDialog(parent)
{
    Build({PreferencePageIndex(ID_PREF_SPELLING)}, 0);
}

CPreferencePage* CPreferencesSheet::MakePage(int index)
{
    switch (index) {
    case 0:
        return new CPreferencePage1(m_tabs);
    case 1:
        return new CPreferencePage2(m_tabs);
    case 2:
        return new CPreferencePage3(m_tabs, 1);
    case 3:
        return new CPreferencePage3(m_tabs, 2);
    case 4:
        return new CPreferencePage5(m_tabs);
    case 5:
        return new CPreferencePage6(m_tabs);
    case 6:
        return new CPreferencePage7(m_tabs);
    case 7:
        return new CPreferencePage8(m_tabs);
    case 8:
        return new CPreferencePage9(m_tabs);
    case 9:
        return new CPreferencePage10(m_tabs);
    default:
        return new CPreferencePage11(m_tabs);
    }
}

void CPreferencesSheet::Build(const std::vector<int>& pageIndices, int current)
{
    setObjectName(QStringLiteral("preferencesSheet"));
    setWindowTitle(LoadStringId(IDS_PREFERENCES));
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    layout->addWidget(m_tabs);
    for (int i : pageIndices) {
        CPreferencePage* page = MakePage(i);
        QString caption = tr(kPages[i].caption);
        if (i == 2)
            caption = LoadStringId(IDS_BOXES);
        else if (i == 3)
            caption = LoadStringId(IDS_ELLIPSES);
        page->setObjectName(QStringLiteral("page%1").arg(i));
        m_pages.push_back(page);
        m_tabs->addTab(page, caption);
    }
    m_tabs->setCurrentIndex(current);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

CPreferencePage* CPreferencesSheet::Page(int index) const
{
    return index >= 0 && index < PageCount() ? m_pages[std::size_t(index)] : nullptr;
}

void CPreferencesSheet::accept()
{
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        if (!m_pages[i]->Validate()) {
            m_tabs->setCurrentIndex(int(i));
            return;
        }
    }
    for (CPreferencePage* page : m_pages)
        page->Store();
    // The spelling checker takes its new settings at once.
    CSpellOCX& speller = CSpellOCX::Current();
    if (speller.IsCreated()) {
        const CSpellPreferences& prefs = CSpellPreferences::Current();
        CSpellSettings settings;
        settings.dictionary = prefs.dictionary;
        settings.options = prefs.options;
        settings.searchLimit = prefs.searchLimit;
        settings.displayLimit = prefs.displayLimit;
        settings.performance = prefs.performance;
        if (!(speller.Settings() == settings))
            speller.ApplySettings(settings);
    }
    QDialog::accept();
}

bool PreferencesSheet(QWidget* parent, int commandId)
{
    CPreferencesSheet sheet(parent, PreferencePageIndex(commandId));
    return sheet.exec() == QDialog::Accepted;
}

bool SpellingPreferencesSheet(QWidget* parent)
{
    CPreferencesSheet sheet(parent, CPreferencesSheet::SpellingOnly{});
    return sheet.exec() == QDialog::Accepted;
}
