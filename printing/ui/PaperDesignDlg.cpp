#include "PaperDesignDlg.h"

#include "AppContext.h"
#include "BackgroundSelect.h"
#include "Helpers.h"
#include "MessageBox.h"
#include "Messages.h"
#include "ResourceIds.h"
#include "StockPicture.h"
#include "Strings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

std::function<QString(QWidget*, const QString&)> CPaperDesignDlg::s_choosePicture;
std::function<void(QWidget*)> CPaperDesignDlg::s_printSetup;

namespace {

// Messages that the string table has no text for.
const char* const kLengthRangeText = "Please enter a number between 0 and %1.";
const char* const kCountRangeText = "Please enter a whole number between 1 and %1.";
const char* const kCommaText =
    "The %1 cannot hold a comma or a line break: the paper stock library keeps each stock on "
    "one line of comma-separated fields. Please remove it.";
const char* const kUnusableText = "This paper type cannot be used: %1.";

QString IdName(int id)
{
    return QStringLiteral("id%1").arg(id);
}

QLocale DisplayLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

// A length as shown: at most two decimals, no trailing zeros.
QString FormatNumber(double value)
{
    value = std::round(value * 100.0) / 100.0;
    if (value == 0)
        value = 0; // no "-0"
    QString text = DisplayLocale().toString(value, 'f', 2);
    const QChar point = DisplayLocale().decimalPoint().at(0);
    if (text.contains(point)) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(point))
            text.chop(1);
    }
    return text;
}

// A number typed in the user's locale, or with a decimal point.
bool ParseNumber(const QString& text, double& value)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    value = DisplayLocale().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::c().toDouble(trimmed, &ok);
    return ok && std::isfinite(value);
}

bool HasCommaOrLineBreak(const QString& text)
{
    for (const QChar c : text) {
        if (c == u',' || c == u'\n' || c == u'\r')
            return true;
    }
    return false;
}

// Millimetres to a whole number of units (tenths or hundredths): truncated,
// but a value that is a whole number of units up to the error of the
// floating-point sum stays that number.
int ToUnits(double mm, double unitsPerMm)
{
    return static_cast<int>(std::floor(mm * unitsPerMm + 1e-6));
}

} // namespace

QString CPaperDesignDlg::SizeNote(double widthMm, double heightMm)
{
    QString size;
    if (App().general.displayUnits == 1) {
        MmToInches(widthMm);
        MmToInches(heightMm);
        size = QString::asprintf("%.2f inches x %.2f inches", widthMm, heightMm);
    } else {
        size = QString::asprintf("%.1f mm x %.1f mm", widthMm, heightMm);
    }
    return FormatStringId(IDS_CHECK_DRIVER_PAPER_SIZE, {size});
}

CPaperDesignDlg::CPaperDesignDlg(const CPaperStock& stock, bool newStock, QWidget* parent)
    : QDialog(parent), m_stock(stock), m_new(newStock), m_inches(App().general.displayUnits == 1)
{
    setObjectName(IdName(IDD));
    setWindowTitle(tr("Paper Design"));
    if (m_new) {
        m_stock.name = LoadStringId(IDS_UNTITLED);
        m_stock.category = LoadStringId(IDS_CUSTOM_CATEGORY);
        m_stock.builtIn = 0;
    }
    const QString unit = m_inches ? tr("inches") : tr("mm");

    // Sign stock type.
    auto* typeBox = new QGroupBox(LoadStringId(IDS_SIGN_STOCK_TYPE), this);
    auto* typeLayout = new QVBoxLayout(typeBox);
    m_sheet = new QRadioButton(tr("Sheet Stock (Laser / Inkjet Printers)"), typeBox);
    m_sheet->setObjectName(IdName(IDC_SHEET_STOCK));
    m_roll = new QRadioButton(tr("Continuous Roll (Thermal Printers)"), typeBox);
    m_roll->setObjectName(IdName(IDC_CONTINUOUS));
    typeLayout->addWidget(m_sheet);
    typeLayout->addWidget(m_roll);
    auto* typeGroup = new QButtonGroup(this);
    typeGroup->addButton(m_sheet);
    typeGroup->addButton(m_roll);

    // Category and name.
    auto* nameBox = new QGroupBox(tr("Paper Type"), this);
    auto* nameLayout = new QGridLayout(nameBox);
    m_category = new QComboBox(nameBox);
    m_category->setObjectName(IdName(IDC_CATEGORY));
    m_category->setEditable(true);
    m_category->setInsertPolicy(QComboBox::NoInsert);
    QStringList categories;
    ThePaper().FillCategoryCombo(categories);
    m_category->addItems(categories);
    m_category->setEditText(m_stock.category);
    m_name = new QLineEdit(m_stock.name, nameBox);
    m_name->setObjectName(IdName(IDC_NAME));
    nameLayout->addWidget(new QLabel(tr("Category:"), nameBox), 0, 0);
    nameLayout->addWidget(m_category, 0, 1);
    nameLayout->addWidget(new QLabel(tr("Name:"), nameBox), 1, 0);
    nameLayout->addWidget(m_name, 1, 1);

    // A grid of length rows: caption, edit, unit.
    auto addRow = [&](QGridLayout* grid, int row, int column, const QString& caption, QWidget* edit,
                      bool withUnit) {
        QWidget* owner = grid->parentWidget();
        grid->addWidget(new QLabel(caption, owner), row, column);
        grid->addWidget(edit, row, column + 1);
        if (withUnit) {
            auto* label = new QLabel(unit, owner);
            label->setObjectName(QStringLiteral("unit"));
            grid->addWidget(label, row, column + 2);
        }
    };

    auto* signBox = new QGroupBox(LoadStringId(IDS_SIGN_DIMENSIONS), this);
    auto* signGrid = new QGridLayout(signBox);
    addRow(signGrid, 0, 0, tr("Width:"), AddLength(SignWidth, IDC_SIGN_WIDTH), true);
    addRow(signGrid, 1, 0, tr("Height:"), AddLength(SignHeight, IDC_SIGN_HEIGHT), true);

    auto* shapeBox = new QGroupBox(LoadStringId(IDS_SIGN_SHAPE), this);
    auto* shapeGrid = new QGridLayout(shapeBox);
    m_rectangular = new QRadioButton(tr("Rectangular"), shapeBox);
    m_rectangular->setObjectName(IdName(IDC_RECTANGULAR));
    m_elliptical = new QRadioButton(tr("Elliptical"), shapeBox);
    m_elliptical->setObjectName(IdName(IDC_ELLIPTICAL));
    auto* shapeGroup = new QButtonGroup(this);
    shapeGroup->addButton(m_rectangular);
    shapeGroup->addButton(m_elliptical);
    shapeGrid->addWidget(m_rectangular, 0, 0, 1, 3);
    shapeGrid->addWidget(m_elliptical, 1, 0, 1, 3);
    addRow(shapeGrid, 2, 0, tr("Corner Radius:"), AddLength(CornerRadius, IDC_CORNER_RADIUS), true);

    auto* pageBox = new QGroupBox(tr("Page"), this);
    auto* pageGrid = new QGridLayout(pageBox);
    addRow(pageGrid, 0, 0, tr("Width:"), AddLength(PageWidth, IDC_PAGE_WIDTH), true);
    addRow(pageGrid, 1, 0, tr("Height:"), AddLength(PageHeight, IDC_PAGE_HEIGHT), true);
    addRow(pageGrid, 2, 0, tr("Left Margin:"), AddLength(LeftMargin, IDC_LEFT_MARGIN), true);
    addRow(pageGrid, 3, 0, tr("Top Margin:"), AddLength(TopMargin, IDC_TOP_MARGIN), true);

    auto* layoutBox = new QGroupBox(tr("Layout"), this);
    auto* layoutGrid = new QGridLayout(layoutBox);
    m_across = new QLineEdit(layoutBox);
    m_across->setObjectName(IdName(IDC_ACROSS));
    m_down = new QLineEdit(layoutBox);
    m_down->setObjectName(IdName(IDC_DOWN));
    for (QLineEdit* count : {m_across, m_down}) {
        count->setMinimumWidth(72);
        count->setMaximumWidth(96);
        connect(count, &QLineEdit::textEdited, this,
                [this, count] { OnNumberEdited(count, FieldCount); });
    }
    addRow(layoutGrid, 0, 0, tr("Number Across:"), m_across, false);
    addRow(layoutGrid, 1, 0, tr("Horizontal Gap:"), AddLength(HorzGap, IDC_HORZ_GAP), true);
    addRow(layoutGrid, 2, 0, tr("Number Down:"), m_down, false);
    addRow(layoutGrid, 3, 0, tr("Vertical Gap:"), AddLength(VertGap, IDC_VERT_GAP), true);

    auto* backBox = new QGroupBox(tr("Background"), this);
    auto* backLayout = new QHBoxLayout(backBox);
    m_background = new QCheckBox(tr("Background"), backBox);
    m_background->setObjectName(IdName(IDC_BACKGROUND));
    m_select = new QPushButton(tr("Select..."), backBox);
    m_select->setObjectName(IdName(IDC_SELECT_PICTURE));
    m_orientation = new QComboBox(backBox);
    m_orientation->setObjectName(IdName(IDC_ORIENTATION));
    m_orientation->addItems({QStringLiteral("0°"), QStringLiteral("90°"), QStringLiteral("180°"),
                             QStringLiteral("270°")});
    backLayout->addWidget(m_background);
    backLayout->addWidget(m_select);
    backLayout->addWidget(new QLabel(tr("Orientation:"), backBox));
    backLayout->addWidget(m_orientation);
    backLayout->addStretch(1);

    m_picture = new CStockPicture(this);
    m_note = new QLabel(this);
    m_note->setObjectName(IdName(IDC_SIZE_NOTE));
    m_note->setWordWrap(true);
    m_note->setMinimumWidth(260);
    auto* printSetup = new QPushButton(tr("Print Setup..."), this);
    printSetup->setObjectName(IdName(IDC_PRINT_SETUP));
    printSetup->setEnabled(static_cast<bool>(s_printSetup));
    connect(printSetup, &QPushButton::clicked, this, [this] {
        if (s_printSetup)
            s_printSetup(this);
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("id1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("id2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CPaperDesignDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPaperDesignDlg::reject);

    auto* left = new QVBoxLayout;
    left->addWidget(typeBox);
    left->addWidget(nameBox);
    auto* sizes = new QGridLayout;
    sizes->addWidget(signBox, 0, 0);
    sizes->addWidget(shapeBox, 0, 1);
    sizes->addWidget(pageBox, 1, 0);
    sizes->addWidget(layoutBox, 1, 1);
    left->addLayout(sizes);
    left->addWidget(backBox);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(m_picture, 1);
    right->addWidget(m_note);
    right->addWidget(printSetup, 0, Qt::AlignLeft);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right, 1);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(columns);
    outer->addWidget(buttons);

    // The values.
    const CPaperStock& s = m_stock;
    const double signWidth = s.labelWidth * 0.1;
    const double signHeight = s.labelHeight * 0.1;
    SetLength(SignWidth, signWidth);
    SetLength(SignHeight, signHeight);
    SetLength(CornerRadius, s.cornerRadius * 0.1);
    SetLength(PageWidth, s.pageWidth * 0.1);
    SetLength(PageHeight, s.pageHeight * 0.1);
    SetLength(LeftMargin, s.leftMargin * 0.1);
    SetLength(TopMargin, s.topMargin * 0.1);
    SetLength(HorzGap, s.columns > 1 ? s.horzPitch * 0.01 - signWidth : 0.0);
    SetLength(VertGap, s.rows > 1 ? s.vertPitch * 0.01 - signHeight : 0.0);
    m_across->setText(QString::number(std::max(1, s.columns)));
    m_down->setText(QString::number(std::max(1, s.rows)));
    (s.continuous ? m_roll : m_sheet)->setChecked(true);
    (s.type == 1 ? m_elliptical : m_rectangular)->setChecked(true);
    m_orientation->setCurrentIndex(std::clamp(s.backgroundOrientation / 90, 0, 3));
    if (!s.backgroundImage.isEmpty()) {
        m_background->setChecked(true);
        m_picturePath = s.backgroundImage;
        m_pictureImage = CStockPicture::LoadBackground(m_picturePath, 0);
    }
    m_select->setEnabled(m_background->isChecked());
    m_orientation->setEnabled(m_background->isChecked());
    OnShape();
    if (s.continuous) {
        for (Field f : {PageWidth, PageHeight, TopMargin, VertGap})
            m_lengths[f].edit->setEnabled(false);
        m_down->setEnabled(false);
    }

    connect(m_sheet, &QRadioButton::clicked, this, &CPaperDesignDlg::OnStockType);
    connect(m_roll, &QRadioButton::clicked, this, &CPaperDesignDlg::OnStockType);
    connect(m_rectangular, &QRadioButton::clicked, this, &CPaperDesignDlg::OnShape);
    connect(m_elliptical, &QRadioButton::clicked, this, &CPaperDesignDlg::OnShape);
    connect(m_background, &QCheckBox::clicked, this, &CPaperDesignDlg::OnBackground);
    connect(m_select, &QPushButton::clicked, this, &CPaperDesignDlg::OnSelectPicture);
    UpdatePicture();
}

CPaperDesignDlg::~CPaperDesignDlg() = default;

QLineEdit* CPaperDesignDlg::AddLength(Field field, int id)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(IdName(id));
    edit->setMinimumWidth(72);
    edit->setMaximumWidth(96);
    m_lengths[field].edit = edit;
    connect(edit, &QLineEdit::textEdited, this,
            [this, edit, field] { OnNumberEdited(edit, field); });
    return edit;
}

void CPaperDesignDlg::SetLength(Field field, double mm)
{
    Length& length = m_lengths[field];
    length.exactMm = mm;
    double shown = mm;
    if (m_inches)
        MmToInches(shown);
    length.shown = FormatNumber(shown);
    length.edit->setText(length.shown);
}

bool CPaperDesignDlg::LengthMm(Field field, double& mm) const
{
    const Length& length = m_lengths[field];
    if (length.edit->text() == length.shown) {
        mm = length.exactMm;
        return true;
    }
    double value = 0;
    if (!ParseNumber(length.edit->text(), value))
        return false;
    if (m_inches)
        value = value * 25.4;
    mm = value;
    return true;
}

bool CPaperDesignDlg::Count(QLineEdit* edit, int& value) const
{
    bool ok = false;
    value = edit->text().trimmed().toInt(&ok);
    return ok;
}

void CPaperDesignDlg::OnNumberEdited(QLineEdit* edit, Field field)
{
    if (edit->text().startsWith(u'.')) {
        edit->setText(QStringLiteral("0") + edit->text());
        edit->end(false);
    }
    if (m_roll->isChecked()) {
        // A roll is as wide as its labels across with their gaps and the
        // two side margins, and as high as one label.
        const bool widthChanged =
            edit == m_across || field == HorzGap || field == SignWidth || field == LeftMargin;
        double w = 0, gap = 0, left = 0;
        int across = 0;
        if (widthChanged && LengthMm(SignWidth, w) && LengthMm(HorzGap, gap) &&
            LengthMm(LeftMargin, left) && Count(m_across, across)) {
            SetLength(PageWidth, (across - 1) * (w + gap) + w + 2 * left);
        }
        double h = 0;
        if (field == SignHeight && LengthMm(SignHeight, h))
            SetLength(PageHeight, h);
    }
    UpdatePicture();
}

void CPaperDesignDlg::OnStockType()
{
    const bool roll = m_roll->isChecked();
    for (Field f : {PageWidth, PageHeight, TopMargin, VertGap})
        m_lengths[f].edit->setEnabled(!roll);
    m_down->setEnabled(!roll);
    if (roll) {
        double h = 0;
        if (LengthMm(SignHeight, h))
            SetLength(PageHeight, h);
        SetLength(TopMargin, 0);
        m_down->setText(QStringLiteral("1"));
        SetLength(VertGap, 0);
    }
    UpdatePicture();
}

void CPaperDesignDlg::OnShape()
{
    m_lengths[CornerRadius].edit->setEnabled(m_rectangular->isChecked());
    UpdatePicture();
}

void CPaperDesignDlg::OnBackground()
{
    const bool on = m_background->isChecked();
    m_select->setEnabled(on);
    m_orientation->setEnabled(on);
    if (on) {
        OnSelectPicture();
        if (m_picturePath.isEmpty()) {
            m_background->setChecked(false);
            m_select->setEnabled(false);
            m_orientation->setEnabled(false);
        }
    } else {
        m_picturePath.clear();
        m_pictureImage = QImage();
    }
    UpdatePicture();
}

void CPaperDesignDlg::OnSelectPicture()
{
    QString chosen;
    if (s_choosePicture) {
        chosen = s_choosePicture(this, m_picturePath);
    } else {
        chosen = CBackgroundSelect::Choose(this);
    }
    if (chosen.isEmpty())
        return;
    m_picturePath = chosen;
    m_pictureImage = CStockPicture::LoadBackground(chosen, 0);
    UpdatePicture();
}

void CPaperDesignDlg::UpdatePicture()
{
    // Whatever can be read now; a field that is not a number counts as 0.
    auto mm = [this](Field f) {
        double v = 0;
        return LengthMm(f, v) ? v : 0.0;
    };
    auto count = [this](QLineEdit* e) {
        int v = 0;
        return Count(e, v) ? std::clamp(v, 0, kMaxLabels) : 0;
    };
    const double w = mm(SignWidth);
    const double h = mm(SignHeight);
    const double pageWidth = mm(PageWidth);
    const double pageHeight = mm(PageHeight);
    const double left = mm(LeftMargin);
    const double top = mm(TopMargin);

    CStockPictureModel model;
    model.pageWidth = pageWidth;
    model.pageHeight = pageHeight;
    model.signWidth = w;
    model.signHeight = h;
    model.type = m_elliptical->isChecked() ? 1 : 0;
    model.cornerRadius = mm(CornerRadius);
    model.rollBand = m_roll->isChecked();
    for (int c = 0; c < count(m_across); ++c)
        model.columnOffsets.push_back((w + mm(HorzGap)) * c + left);
    for (int r = 0; r < count(m_down); ++r)
        model.rowOffsets.push_back((h + mm(VertGap)) * r + top);
    model.background = m_pictureImage;
    m_picture->SetModel(model);

    const double noteWidth = m_roll->isChecked() ? pageWidth - 2 * left : pageWidth;
    m_note->setText(SizeNote(noteWidth, pageHeight));
}

bool CPaperDesignDlg::Refuse(QWidget* field, const QString& text)
{
    AppMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    if (field) {
        field->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(field))
            edit->selectAll();
    }
    return false;
}

void CPaperDesignDlg::accept()
{
    // 1. Every field checked and read, in millimetres.
    const double maxShown = m_inches ? kMaxLengthInches : kMaxLengthMm;
    std::array<double, FieldCount> mm{};
    for (int f = 0; f < FieldCount; ++f) {
        Length& length = m_lengths[f];
        double value = 0;
        bool ok = LengthMm(Field(f), value);
        if (ok && length.edit->text() != length.shown) {
            // A typed value: its range is checked as typed; inches are
            // brought to millimetres as the display rounds them.
            double typed = 0;
            ParseNumber(length.edit->text(), typed);
            ok = typed >= 0 && typed <= maxShown;
            if (ok && m_inches)
                InchesToMm(typed);
            value = typed;
        } else if (ok) {
            double shown = 0;
            ok = ParseNumber(length.shown, shown) && shown >= 0 && shown <= maxShown;
        }
        if (!ok) {
            Refuse(length.edit, QString::fromUtf8(kLengthRangeText)
                                    .arg(DisplayLocale().toString(maxShown, 'f', 0)));
            return;
        }
        mm[std::size_t(f)] = value;
    }
    int across = 0;
    int down = 0;
    for (auto [edit, value] : {std::pair{m_across, &across}, std::pair{m_down, &down}}) {
        if (!Count(edit, *value) || *value < 1 || *value > kMaxLabels) {
            Refuse(edit, QString::fromUtf8(kCountRangeText).arg(kMaxLabels));
            return;
        }
    }

    // 2. The texts must fit a line of the library file.
    QString category = m_category->currentText().trimmed();
    QString name = m_name->text().trimmed();
    const QString picture = m_background->isChecked() ? m_picturePath : QString();
    if (HasCommaOrLineBreak(category)) {
        Refuse(m_category, QString::fromUtf8(kCommaText).arg(tr("category")));
        return;
    }
    if (HasCommaOrLineBreak(name)) {
        Refuse(m_name, QString::fromUtf8(kCommaText).arg(tr("paper type's name")));
        return;
    }
    if (HasCommaOrLineBreak(picture)) {
        Refuse(m_select, QString::fromUtf8(kCommaText).arg(tr("background picture's path")));
        return;
    }
    if (category.isEmpty())
        category = LoadStringId(IDS_CUSTOM_CATEGORY);
    if (name.isEmpty())
        name = LoadStringId(IDS_UNTITLED);

    // 3. A name in use: refused for a new stock, asked about for an edit.
    CPaperStock existing;
    if (ThePaper().GetStock(name, existing)) {
        if (m_new) {
            Refuse(m_name, LoadStringId(IDS_PAPER_TYPE_NAME_IN_USE));
            return;
        }
        if (AppMessageBox(FormatStringId(IDS_REPLACE_PAPER_TYPE, {name}),
                          MB_YESNO | MB_ICONQUESTION) != IDYES) {
            m_name->setFocus();
            return;
        }
    }

    // 4. The record.
    const bool roll = m_roll->isChecked();
    CPaperStock r;
    r.category = category;
    r.name = name;
    r.pageWidth = ToUnits(mm[PageWidth], 10);
    r.pageHeight = ToUnits(mm[PageHeight], 10);
    r.continuous = roll ? 1 : 0;
    r.topMargin = ToUnits(mm[TopMargin], 10);
    r.leftMargin = ToUnits(mm[LeftMargin], 10);
    r.type = m_elliptical->isChecked() ? 1 : 0;
    r.cornerRadius = ToUnits(mm[CornerRadius], 10);
    r.labelWidth = ToUnits(mm[SignWidth], 10);
    r.columns = across;
    r.horzPitch = across != 1 ? ToUnits(mm[SignWidth] + mm[HorzGap], 100) : 0;
    r.labelHeight = ToUnits(mm[SignHeight], 10);
    r.rows = down;
    r.vertPitch = down != 1 ? ToUnits(mm[SignHeight] + mm[VertGap], 100) : 0;
    r.builtIn = 0;
    r.selectionWidth = r.pageWidth;
    r.selectionHeight = r.pageHeight;
    r.backgroundImage = picture;
    r.backgroundOrientation = picture.isEmpty() ? 0 : m_orientation->currentIndex() * 90;

    const QString reason = r.UnusableReason();
    if (!reason.isEmpty()) {
        QWidget* field = m_lengths[SignWidth].edit;
        if (r.pageWidth < 1 || r.pageHeight < 1)
            field = m_lengths[r.pageWidth < 1 ? PageWidth : PageHeight].edit;
        Refuse(field, QString::fromUtf8(kUnusableText).arg(reason));
        return;
    }
    m_result = r;
    QDialog::accept();
}
