#include "ElementView.h"

#include "AppContext.h"
#include "ConnectionWizard.h"
#include "DatabaseLink.h"
#include "ElementList.h"
#include "Grid.h"
#include "Helpers.h"
#include "MacroScript.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "Messages.h"
#include "Preferences.h"
#include "ResourceIds.h"
#include "Rounding.h"
#include "ScriptPage.h"
#include "ScriptStore.h"
#include "Strings.h"
#include "Table.h"
#include "UndoHistory.h"
#include "Variable.h"
#include "VariableList.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

QString Id(int id)
{
    return QStringLiteral("id%1").arg(id);
}

} // namespace

// --- element handle -----------------------------------------------------------

CElementHandle::CElementHandle(CElement* element)
    : m_element(element), m_identity(element ? element->m_undoIdentity : 0)
{
}

CElement* CElementHandle::Get() const
{
    if (!m_element)
        return nullptr;
    // Only the address is compared until the element is known to be listed.
    for (CElement* listed : TheElementList()) {
        if (listed != m_element)
            continue;
        if (m_identity == 0)
            m_identity = listed->m_undoIdentity; // first recorded after the pane opened
        return listed->m_undoIdentity == m_identity ? listed : nullptr;
    }
    return nullptr;
}

// --- units --------------------------------------------------------------------

namespace PaneUnits {

bool Inches()
{
    return TheGrid().GetUnits() == 1;
}

double ToDisplay(int tenths)
{
    double mm = std::abs(tenths) / 10.0;
    if (Inches())
        MmToInches(mm);
    return tenths < 0 ? -mm : mm;
}

int FromDisplay(double value)
{
    double mm = std::abs(value);
    if (Inches())
        InchesToMm(mm);
    const int tenths = RoundHalfAway(mm * 10.0);
    return value < 0 ? -tenths : tenths;
}

QString Format(double displayValue)
{
    return QLocale().toString(displayValue, 'f', Inches() ? 2 : 1);
}

QString Format(int tenths)
{
    return Format(ToDisplay(tenths));
}

QString UnitName()
{
    return Inches() ? QObject::tr("inches") : QObject::tr("mm");
}

bool Parse(const QString& text, double& value)
{
    bool ok = false;
    value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok)
        value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(value);
}

} // namespace PaneUnits

// --- the source block's controls ---------------------------------------------

struct CElementView::CSourceBlock
{
    QComboBox* type = nullptr;
    QLabel* nameLabel = nullptr;
    QComboBox* name = nullptr;
    QPushButton* edit = nullptr;
    QPushButton* create = nullptr;
    QLabel* promptLabel = nullptr;
    QLineEdit* prompt = nullptr;
    QCheckBox* startOnly = nullptr;
    QCheckBox* mustEnter = nullptr;
    QCheckBox* useSample = nullptr;
    QCheckBox* readOnly = nullptr;
    int appliedKind = SOURCE_FIXED;
};

// --- the font block's controls -------------------------------------------------

struct CElementView::CFontBlock
{
    QListWidget* faces = nullptr;
    QLabel* faceKind = nullptr;
    QComboBox* size = nullptr;
    QComboBox* style = nullptr;
    QCheckBox* underline = nullptr;
    QCheckBox* strikeOut = nullptr;
    CColourSwatch* colour = nullptr;
    int faceRow = -1; // the face shown, selected again after a click on no item
};

// --- the pane -----------------------------------------------------------------

CElementView::CElementView(CElement* element, int formId, const QString& title, QWidget* parent)
    : QWidget(parent), m_handle(element)
{
    setObjectName(Id(formId));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    m_banner = new QLabel(title, this);
    m_banner->setObjectName(Id(1098));
    m_banner->setAutoFillBackground(true);
    m_banner->setMargin(6);
    QFont bannerFont = m_banner->font();
    bannerFont.setBold(true);
    bannerFont.setPointSizeF(bannerFont.pointSizeF() * 1.2);
    m_banner->setFont(bannerFont);
    m_banner->setStyleSheet(
        QStringLiteral("QLabel { color: white; background: qlineargradient(x1:0, y1:0, x2:1, y2:0, "
                       "stop:0 #2b4f81, stop:1 #7a9cc6); }"));
    outer->addWidget(m_banner);
    m_body = new QWidget(this);
    m_form = new QVBoxLayout(m_body);
    m_form->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_body);
    m_goneLabel = new QLabel(tr("The element is no longer in the sign."), this);
    m_goneLabel->setWordWrap(true);
    m_goneLabel->hide();
    outer->addWidget(m_goneLabel);
    outer->addStretch(1);
}

CElementView::~CElementView() = default;

CElement* CElementView::Element() const
{
    return m_handle.Get();
}

bool CElementView::IsElementGone() const
{
    return m_handle.WasSet() && !m_handle.Get();
}

std::function<void()>& CElementView::ModifiedHook()
{
    static std::function<void()> hook;
    return hook;
}

bool CElementView::LinkSignToDatabase()
{
    auto choose = [](QWidget* parent, const QString& filter, const QString& current) {
        CFileChoice choice;
        choice.title = tr("Select Database File");
        choice.filter = filter;
        choice.suggested =
            current.isEmpty() ? CShellSettings::Current().lastDatabaseFolder : current;
        if (FrameHooks().chooseFile)
            return FrameHooks().chooseFile(parent, choice);
        return QFileDialog::getOpenFileName(parent, choice.title, choice.suggested, filter);
    };
    CDatabaseLink& link = TheDatabaseLink();
    if (!RunConnectionWizard(this, link, choose, CShellSettings::Current().lastDatabaseFolder))
        return false;
    if (link.m_typeId != kDatabaseTypeConnectionString)
        CShellSettings::Current().lastDatabaseFolder = QFileInfo(link.m_dataSource).absolutePath();
    MarkModified();
    return true;
}

void CElementView::MarkModified()
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* frame = qobject_cast<CMainFrame*>(w)) {
            frame->Document().SetModifiedFlag(true);
            frame->updateActions();
            break;
        }
    }
    if (ModifiedHook())
        ModifiedHook()();
}

void CElementView::ElementEdited(CElement* element)
{
    if (!element)
        return;
    element->Refresh();
    // A table's cell stays where its table lays it out.
    if (auto* table =
            dynamic_cast<CTable*>(element->m_ownedByTable ? element->m_ownerTable : nullptr))
        table->PlaceCellElement(PaneBuild::View(), element);
    MarkModified();
    emit elementEdited();
}

void CElementView::ShowElementGone()
{
    if (m_body->isVisibleTo(this) || !m_goneLabel->isVisibleTo(this)) {
        m_body->hide();
        m_goneLabel->show();
    }
}

bool CElementView::event(QEvent* event)
{
    // Whenever the pane is shown, painted or entered, an element that has
    // gone takes the form with it.
    if (event->type() == QEvent::Show)
        KeepWheelForFocusedBoxes(this);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Paint:
    case QEvent::Enter:
    case QEvent::FocusIn:
    case QEvent::WindowActivate:
        if (IsElementGone())
            ShowElementGone();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

QLabel* CElementView::AddRow(QGridLayout* grid, int row, const QString& label, QWidget* control,
                             int labelId)
{
    return PaneBuild::AddRow(grid, row, label, control, labelId);
}

QLabel* PaneBuild::AddRow(QGridLayout* grid, int row, const QString& label, QWidget* control,
                          int labelId)
{
    auto* caption = new QLabel(label, control->parentWidget());
    if (labelId)
        caption->setObjectName(Id(labelId));
    caption->setBuddy(control);
    grid->addWidget(caption, row, 0);
    grid->addWidget(control, row, 1);
    return caption;
}

CElement* CElementView::BeginUndoStep(QObject* control)
{
    if (IsLoading())
        return nullptr;
    CElement* element = Element();
    if (!element)
        return nullptr;
    if (m_undoSteps++ > 0 && control != m_undoControl)
        TheUndoHistory().Record(UNDO_CHANGED, element);
    m_undoControl = control;
    return element;
}

// --- name ---------------------------------------------------------------------

QGroupBox* CElementView::AddNameBlock()
{
    auto* box = new QGroupBox(tr("Element Name"), m_body);
    auto* layout = new QVBoxLayout(box);
    m_nameEdit = new QLineEdit(box);
    m_nameEdit->setObjectName(Id(1050));
    layout->addWidget(m_nameEdit);
    connect(m_nameEdit, &QLineEdit::textEdited, this, &CElementView::OnNameEdited);
    m_form->addWidget(box);
    return box;
}

void CElementView::OnNameEdited(const QString& text)
{
    CElement* element = Element();
    if (!element || IsLoading() || text.isEmpty())
        return;
    QString name = text;
    if (!TheElementList().ValidateName(element, name))
        return; // the check told the user; the element keeps its name
    if (name == element->m_name)
        return;
    // The data-path map keys the element by its name: the node takes the new
    // key, and the elements and variables it feeds take the new name.
    const QString oldName = element->m_name;
    element->m_name = name;
    CDataPathSeam* paths = App().dataPaths;
    if (paths && element->m_dataSource != SOURCE_FIXED)
        paths->UpdateElement(element, oldName);
    MarkModified();
    emit elementEdited();
}

// --- print options --------------------------------------------------------------

QGroupBox* CElementView::AddPrintOptions(bool nativeOffered)
{
    auto* box = new QGroupBox(tr("Print Options"), m_body);
    auto* layout = new QVBoxLayout(box);
    m_standard = new QRadioButton(tr("Standard"), box);
    m_standard->setObjectName(Id(1287));
    m_native = new QRadioButton(tr("Native (Fastest)"), box);
    m_native->setObjectName(Id(1386));
    m_noPrint = new QRadioButton(tr("Do Not Print"), box);
    m_noPrint->setObjectName(Id(1133));
    auto* group = new QButtonGroup(box);
    for (QRadioButton* button : {m_standard, m_native, m_noPrint}) {
        group->addButton(button);
        layout->addWidget(button);
        connect(button, &QRadioButton::clicked, this, &CElementView::OnPrintOption);
    }
    m_native->setEnabled(nativeOffered);
    m_form->addWidget(box);
    return box;
}

void CElementView::OnPrintOption()
{
    CElement* element = Element();
    if (!element || IsLoading())
        return;
    element->m_notPrinted = m_noPrint->isChecked() ? TRUE : FALSE;
    element->m_nativePrint = m_native->isChecked() ? TRUE : FALSE;
    MarkModified();
    emit elementEdited();
}

void CElementView::LoadCommonBlocks(CElement* element, bool nativeOffered)
{
    if (!element)
        return;
    if (m_nameEdit)
        m_nameEdit->setText(element->m_name);
    if (m_standard) {
        m_native->setEnabled(nativeOffered);
        if (element->m_notPrinted)
            m_noPrint->setChecked(true);
        else if (element->m_nativePrint && nativeOffered)
            m_native->setChecked(true);
        else
            m_standard->setChecked(true);
    }
    if (m_source)
        LoadSourceBlock(element);
}

// --- lengths --------------------------------------------------------------------

QLineEdit* CElementView::AddLengthField(QGridLayout* grid, int row, const QString& label, int id,
                                        int unitLabelId, LengthKind kind,
                                        std::function<void(int)> apply)
{
    return PaneBuild::AddLengthField(
        grid, row, label, id, unitLabelId, kind, [this] { return !IsLoading() && Element(); },
        std::move(apply));
}

void CElementView::SetLength(QLineEdit* field, int tenths)
{
    field->setText(PaneUnits::Format(tenths));
}

namespace {

void OnLengthEdited(QLineEdit* field, LengthKind kind, const std::function<void(int)>& apply)
{
    QString text = field->text().trimmed();
    if (text.isEmpty())
        return; // an emptied field does not move the element
    if (text.startsWith(QLatin1Char('.'))) {
        text.prepend(QLatin1Char('0'));
        field->setText(text);
        field->setCursorPosition(int(text.size()));
    }
    double value = 0;
    if (!PaneUnits::Parse(text, value))
        return; // "-" or "1e" while typing: nothing to apply yet
    const double limit = PaneUnits::Inches() ? 60.0 : 1500.0;
    const double low = kind == LENGTH_POSITION ? -limit : 0.0;
    if (value < low || value > limit) {
        AppMessageBox(QObject::tr("Please enter a number between %1 and %2.")
                          .arg(QLocale().toString(low), QLocale().toString(limit)));
        return;
    }
    apply(PaneUnits::FromDisplay(value));
}

} // namespace

QLineEdit* PaneBuild::AddLengthField(QGridLayout* grid, int row, const QString& label, int id,
                                     int unitLabelId, LengthKind kind,
                                     std::function<bool()> active, std::function<void(int)> apply)
{
    QWidget* parent = grid->parentWidget();
    auto* field = new QLineEdit(parent);
    field->setObjectName(Id(id));
    AddRow(grid, row, label, field);
    auto* unit = new QLabel(PaneUnits::UnitName(), parent);
    if (unitLabelId)
        unit->setObjectName(Id(unitLabelId));
    grid->addWidget(unit, row, 2);
    QObject::connect(field, &QLineEdit::textEdited, field,
                     [field, kind, active = std::move(active), apply = std::move(apply)] {
                         if (active())
                             OnLengthEdited(field, kind, apply);
                     });
    return field;
}

// --- colour ---------------------------------------------------------------------

CColourSwatch* CElementView::AddColourRow(QGridLayout* grid, int row, const QString& label,
                                          int swatchId, int buttonId, COLORREF* colour,
                                          std::function<void(COLORREF)> apply)
{
    QWidget* parent = grid->parentWidget();
    auto* swatchControl = new QFrame(parent);
    swatchControl->setObjectName(Id(swatchId));
    swatchControl->setFixedSize(40, 20);
    auto* button = new QPushButton(tr("Select..."), parent);
    button->setObjectName(Id(buttonId));
    auto* swatch = new CColourSwatch;
    swatch->setParent(this);
    swatch->Attach(swatchControl, this, colour);
    m_swatches.push_back(swatch);
    AddRow(grid, row, label, swatchControl);
    grid->addWidget(button, row, 2);
    connect(button, &QPushButton::clicked, this, [this, swatch, apply = std::move(apply)] {
        if (!Element() || !swatch->ChooseColour())
            return; // a cancelled choice changes nothing
        apply(0);
    });
    return swatch;
}

// --- font -----------------------------------------------------------------------

QStringList CElementView::PrinterFaces()
{
    QStringList faces;
    for (const QString& family : QFontDatabase::families()) {
        if (QFontDatabase::isPrivateFamily(family) || family.startsWith(QLatin1Char('@')))
            continue;
        const QString face = CLogFont::FitFaceName(family);
        if (!faces.contains(face))
            faces << face;
    }
    faces.sort(Qt::CaseInsensitive);
    return faces;
}

QGroupBox* CElementView::AddFontBlock(COLORREF* colour, std::function<void(COLORREF)> applyColour)
{
    m_font = std::make_unique<CFontBlock>();
    CFontBlock& f = *m_font;
    auto* box = new QGroupBox(tr("Font"), m_body);
    box->setObjectName(QStringLiteral("fontBlock"));
    auto* grid = new QGridLayout(box);
    f.faces = new QListWidget(box);
    f.faces->setObjectName(Id(1164));
    f.faces->setSelectionMode(QAbstractItemView::SingleSelection);
    f.faces->setIconSize(QSize(14, 14));
    f.faces->setMinimumHeight(120);
    grid->addWidget(f.faces, 0, 0, 1, 3);
    f.faceKind = new QLabel(box);
    f.faceKind->setObjectName(Id(1165));
    f.faceKind->setWordWrap(true);
    grid->addWidget(f.faceKind, 1, 0, 1, 3);
    f.size = new QComboBox(box);
    f.size->setObjectName(Id(1040));
    f.size->setEditable(true);
    f.size->setInsertPolicy(QComboBox::NoInsert);
    AddRow(grid, 2, tr("Size"), f.size);
    f.style = new QComboBox(box);
    f.style->setObjectName(Id(1039));
    f.style->addItems({tr("Regular"), tr("Italic"), tr("Bold"), tr("Bold Italic")});
    AddRow(grid, 3, tr("Style"), f.style);
    f.underline = new QCheckBox(tr("Underline"), box);
    f.underline->setObjectName(Id(1038));
    f.strikeOut = new QCheckBox(tr("Strikeout"), box);
    f.strikeOut->setObjectName(Id(1037));
    grid->addWidget(f.underline, 4, 0, 1, 2);
    grid->addWidget(f.strikeOut, 5, 0, 1, 2);
    if (colour) {
        f.colour = AddColourRow(grid, 6, tr("Colour"), 1043, 1044, colour,
                                [this, colour, apply = std::move(applyColour)](COLORREF) {
                                    CElement* element = Element();
                                    if (!element)
                                        return;
                                    if (apply)
                                        apply(*colour);
                                    ElementEdited(element);
                                });
    }

    for (const QString& face : PrinterFaces()) {
        auto* item = new QListWidgetItem(face, f.faces);
        item->setData(Qt::UserRole, QVariant::fromValue(quint32(CLogFont::EnumerateFace(face))));
    }
    connect(f.faces, &QListWidget::itemSelectionChanged, this, &CElementView::OnFaceChosen);
    connect(f.size, &QComboBox::textActivated, this, &CElementView::OnSizeChosen);
    connect(f.size->lineEdit(), &QLineEdit::textEdited, this, &CElementView::OnSizeChosen);
    connect(f.style, &QComboBox::activated, this, &CElementView::OnFontStyle);
    for (QCheckBox* check : {f.underline, f.strikeOut})
        connect(check, &QCheckBox::clicked, this, &CElementView::OnFontStyle);
    m_form->addWidget(box);
    return box;
}

void CElementView::FillSizeList(const CLogFont& font)
{
    CFontBlock& f = *m_font;
    f.size->clear();
    f.size->addItems(font.GetSizeListItems());
    const QString shown = font.FormatPointSize();
    const int index = f.size->findText(shown);
    if (index >= 0)
        f.size->setCurrentIndex(index);
    f.size->setEditText(shown);
}

void CElementView::ShowFaceKind(DWORD faceData)
{
    const bool trueType = (faceData & 0x04) != 0;
    m_font->faceKind->setText(
        LoadStringId(trueType ? IDS_TRUETYPE_FONT_NOTE : IDS_PRINTER_FONT_NOTE));
}

void CElementView::LoadFontBlock(CElement* element)
{
    CLogFont font;
    if (!m_font || !element || !element->GetFont(font))
        return;
    CFontBlock& f = *m_font;
    const bool wasLoading = IsLoading();
    SetLoading(true);
    const QString face = font.GetFaceName();
    QList<QListWidgetItem*> found = f.faces->findItems(face, Qt::MatchFixedString);
    QListWidgetItem* item = found.isEmpty() ? nullptr : found.first();
    if (!item) {
        // A face the printer lacks still shows, first in the list.
        item = new QListWidgetItem(face);
        item->setData(Qt::UserRole, QVariant::fromValue(quint32(CLogFont::EnumerateFace(face))));
        f.faces->insertItem(0, item);
    }
    f.faces->setCurrentItem(item);
    f.faces->scrollToItem(item);
    f.faceRow = f.faces->row(item);
    ShowFaceKind(item->data(Qt::UserRole).toUInt());
    FillSizeList(font);
    f.style->setCurrentIndex(font.GetStyleIndex());
    f.underline->setChecked(font.GetLogFont().lfUnderline != 0);
    f.strikeOut->setChecked(font.GetLogFont().lfStrikeOut != 0);
    SetLoading(wasLoading);
}

void CElementView::ApplyFont(CElement* element, const CLogFont& font)
{
    element->SetFont(App().currentView, font);
    ElementEdited(element);
}

void CElementView::OnFaceChosen()
{
    if (IsLoading())
        return;
    CFontBlock& f = *m_font;
    QListWidgetItem* item = f.faces->currentItem();
    if (!item || !item->isSelected()) {
        // A click on no item: the face shown is selected again.
        if (f.faceRow >= 0 && f.faceRow < f.faces->count()) {
            SetLoading(true);
            f.faces->setCurrentRow(f.faceRow);
            SetLoading(false);
        }
        return;
    }
    CElement* element = Element();
    CLogFont font;
    if (!element || !element->GetFont(font))
        return;
    f.faceRow = f.faces->row(item);
    const DWORD data = item->data(Qt::UserRole).toUInt();
    font.SetFaceFromList(item->text(), data);
    font.SetHeight(font.GetHeight()); // the nearest size the new face allows
    ShowFaceKind(data);
    SetLoading(true);
    FillSizeList(font);
    SetLoading(false);
    ApplyFont(element, font);
}

void CElementView::OnSizeChosen(const QString& text)
{
    CElement* element = Element();
    CLogFont font;
    if (IsLoading() || !element || !element->GetFont(font))
        return;
    double points = 0;
    if (!PaneUnits::Parse(text, points) || points <= 0)
        return; // nothing to apply while the number is being typed
    const LONG before = font.GetHeight();
    font.SetHeight(font.PointsToHeight(points));
    if (font.GetHeight() == before)
        return;
    ApplyFont(element, font);
}

void CElementView::OnFontStyle()
{
    CElement* element = Element();
    CLogFont font;
    if (IsLoading() || !element || !element->GetFont(font))
        return;
    const CFontBlock& f = *m_font;
    CFontControlValues values;
    values.styleIndex = f.style->currentIndex();
    values.sizeText = font.FormatPointSize(); // the element's own size
    values.underline = f.underline->isChecked() ? 1 : 0;
    values.strikeOut = f.strikeOut->isChecked() ? 1 : 0;
    const LONG height = font.GetHeight();
    font.ReadFontControls(values);
    font.SetHeight(height); // the style leaves the size as it was
    ApplyFont(element, font);
}

// --- data source ----------------------------------------------------------------

QGroupBox* CElementView::AddSourceBlock(bool withCombination)
{
    m_source = std::make_unique<CSourceBlock>();
    CSourceBlock& s = *m_source;
    auto* box = new QGroupBox(tr("Source"), m_body);
    auto* grid = new QGridLayout(box);
    s.type = new QComboBox(box);
    s.type->setObjectName(Id(1000));
    struct Kind
    {
        int stringId;
        int kind;
    };
    const Kind kinds[] = {{IDS_SOURCE_FIXED, SOURCE_FIXED},
                          {IDS_SOURCE_KEYBOARD, SOURCE_KEYBOARD},
                          {IDS_SOURCE_DATABASE, SOURCE_DATABASE},
                          {IDS_SOURCE_OPTION_LIST, SOURCE_OPTION_LIST},
                          {IDS_SOURCE_INCREMENTING_NUMBER, SOURCE_INCREMENTING},
                          {IDS_SOURCE_DATE_TIME_STAMP, SOURCE_DATE_TIME},
                          {IDS_SOURCE_PRICE_CALCULATION, SOURCE_PRICE_CALC},
                          {IDS_SOURCE_COMBINATION, SOURCE_COMBINATION},
                          {IDS_SOURCE_MACRO_SCRIPT, SOURCE_MACRO},
                          {IDS_SOURCE_ANOTHER_ELEMENT, SOURCE_ELEMENT}};
    for (const Kind& k : kinds) {
        if (k.kind == SOURCE_COMBINATION && !withCombination)
            continue;
        s.type->addItem(LoadStringId(k.stringId), k.kind);
    }
    AddRow(grid, 0, tr("Type"), s.type);
    s.name = new QComboBox(box);
    s.name->setObjectName(Id(1001));
    s.nameLabel = AddRow(grid, 1, LoadStringId(IDS_LABEL_NAME), s.name, 1132);
    auto* buttons = new QHBoxLayout;
    s.readOnly = new QCheckBox(tr("Read Only"), box);
    s.readOnly->setObjectName(Id(1091));
    s.edit = new QPushButton(tr("Edit..."), box);
    s.edit->setObjectName(Id(1004));
    s.create = new QPushButton(tr("New..."), box);
    s.create->setObjectName(Id(1137));
    buttons->addWidget(s.readOnly);
    buttons->addStretch(1);
    buttons->addWidget(s.edit);
    buttons->addWidget(s.create);
    grid->addLayout(buttons, 2, 1);
    s.prompt = new QLineEdit(box);
    s.prompt->setObjectName(Id(1072));
    s.promptLabel = AddRow(grid, 3, tr("Prompt"), s.prompt, 1254);
    s.startOnly = new QCheckBox(tr("Data required only at start of batch"), box);
    s.startOnly->setObjectName(Id(1259));
    s.mustEnter = new QCheckBox(tr("Data must be entered when required"), box);
    s.mustEnter->setObjectName(Id(1263));
    s.useSample = new QCheckBox(tr("Use the sample as the initial print data"), box);
    s.useSample->setObjectName(Id(1265));
    grid->addWidget(s.startOnly, 4, 0, 1, 3);
    grid->addWidget(s.mustEnter, 5, 0, 1, 3);
    grid->addWidget(s.useSample, 6, 0, 1, 3);

    connect(s.type, &QComboBox::activated, this, &CElementView::OnSourceType);
    connect(s.name, &QComboBox::activated, this, &CElementView::OnSourceName);
    connect(s.prompt, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (CElement* element = Element(); element && !IsLoading()) {
            element->m_prompt = text;
            MarkModified();
        }
    });
    for (QCheckBox* check : {s.startOnly, s.mustEnter, s.useSample, s.readOnly})
        connect(check, &QCheckBox::clicked, this, &CElementView::OnSourceChecks);
    connect(s.edit, &QPushButton::clicked, this, &CElementView::OnSourceEdit);
    connect(s.create, &QPushButton::clicked, this, &CElementView::OnSourceNew);
    m_form->addWidget(box);
    return box;
}

void CElementView::SelectKind(int kind)
{
    const int index = m_source->type->findData(kind);
    m_source->type->setCurrentIndex(index);
}

void CElementView::FillNames(int kind, CElement* element, bool keepUnknownField)
{
    CSourceBlock& s = *m_source;
    s.name->clear();
    if (kind == SOURCE_MACRO) {
        // A macro source names a script of the store.
        FillScriptCombo(TheScriptStore(), s.name, element->m_sourceName);
        const int exact = s.name->findText(element->m_sourceName);
        if (exact >= 0)
            s.name->setCurrentIndex(exact);
        return;
    }
    if (kind == SOURCE_DATABASE) {
        // The fields of the linked table or view in their own order, the
        // element's field selected, else the first. A field the source no
        // longer has stays in the list as it is, so the pane never shows
        // another field than the one the element reads.
        CDatabaseLink& link = TheDatabaseLink();
        const QStringList fields =
            link.GetLinkKind() == 0 && link.IsConnected() ? link.FieldNames() : QStringList();
        s.name->addItems(fields);
        int at = -1;
        for (int i = 0; i < fields.size() && at < 0; ++i) {
            if (fields[i].compare(element->m_sourceName, Qt::CaseInsensitive) == 0)
                at = i;
        }
        if (at < 0 && keepUnknownField && !element->m_sourceName.isEmpty()) {
            s.name->addItem(element->m_sourceName);
            at = s.name->count() - 1;
        }
        s.name->setCurrentIndex(at >= 0 ? at : (fields.isEmpty() ? -1 : 0));
        return;
    }
    QStringList items;
    int selected = -1;
    if (kind >= SOURCE_OPTION_LIST && kind <= SOURCE_COMBINATION) {
        TheVariableList().FillComboBox(items, selected, kind + 8, element->m_sourceName);
    } else if (kind == SOURCE_ELEMENT) {
        selected = TheElementList().FillComboWithLinked(items, element->m_sourceName);
    }
    items.sort(Qt::CaseInsensitive);
    s.name->addItems(items);
    const int exact = s.name->findText(element->m_sourceName);
    s.name->setCurrentIndex(exact >= 0 ? exact : (items.isEmpty() ? -1 : 0));
}

void CElementView::LoadSourceBlock(CElement* element)
{
    CSourceBlock& s = *m_source;
    const int kind = element->m_dataSource;
    SelectKind(kind);
    s.nameLabel->setText(LoadStringId(kind == SOURCE_DATABASE ? IDS_LABEL_FIELD : IDS_LABEL_NAME));
    FillNames(kind, element);
    if (kind == SOURCE_DATABASE) {
        // An element that names no field yet shows none chosen.
        if (element->m_sourceName.isEmpty())
            s.name->setCurrentIndex(-1);
        s.readOnly->setChecked(element->m_dbReadOnly);
    }
    if (kind != SOURCE_FIXED) {
        s.prompt->setText(element->m_prompt);
        s.startOnly->setChecked(element->m_startDataOnly);
        s.mustEnter->setChecked(element->m_mustEnterData);
        s.useSample->setChecked(element->m_useSampleData);
    }
    EnableSource(kind);
    s.appliedKind = kind;
}

void CElementView::EnableSource(int kind)
{
    CSourceBlock& s = *m_source;
    CElement* element = Element();
    const bool fixed = kind == SOURCE_FIXED;
    const bool keyboard = kind == SOURCE_KEYBOARD;
    const bool variable = kind >= SOURCE_OPTION_LIST && kind <= SOURCE_COMBINATION &&
                          kind != SOURCE_MACRO && kind != SOURCE_GS1;
    s.nameLabel->setEnabled(!fixed && !keyboard);
    s.name->setEnabled(!fixed && !keyboard);
    s.readOnly->setVisible(kind == SOURCE_DATABASE);
    s.edit->setVisible(variable || kind == SOURCE_MACRO);
    bool offerNew = kind == SOURCE_MACRO;
    if (variable)
        offerNew = !element || s.name->findText(element->m_name) < 0;
    s.create->setVisible(offerNew);
    s.promptLabel->setEnabled(!fixed);
    s.prompt->setEnabled(!fixed);
    if (!fixed)
        s.prompt->setReadOnly(!keyboard && kind != SOURCE_DATABASE);
    s.startOnly->setEnabled(!fixed);
    s.mustEnter->setEnabled(keyboard);
    s.useSample->setEnabled(keyboard && !s.mustEnter->isChecked());
}

void CElementView::RefreshDataPath(CElement* element)
{
    if (CDataPathSeam* paths = App().dataPaths) {
        paths->RemoveElement(element);
        if (element->m_dataSource != SOURCE_FIXED)
            paths->AddElement(element);
    }
}

void CElementView::ReleaseMacroVariable(CElement* element, const QString& name)
{
    CVariableList& variables = TheVariableList();
    CVariable* variable = variables.FindVariable(VARIABLE_MACRO, name);
    if (!variable)
        return;
    bool used = false;
    if (CDataPathSeam* paths = App().dataPaths) {
        // Take this element's own link out first, so the count is of the others.
        paths->RemoveElement(element);
        used = paths->GetDependentCount(variable) != 0;
    } else {
        for (CElement* other : TheElementList()) {
            if (other != element && other->m_dataSource == SOURCE_MACRO &&
                other->m_sourceName == name)
                used = true;
        }
        for (int i = 0; i < variables.GetCount() && !used; ++i) {
            auto* macro = dynamic_cast<CMacroScript*>(variables.GetAt(i));
            if (macro && macro != variable && macro->m_sourceNames.contains(name))
                used = true;
        }
    }
    if (used)
        return;
    if (CDataPathSeam* paths = App().dataPaths)
        paths->RemoveVariable(variable);
    variables.RemoveVariable(variable);
}

CVariable* CElementView::NewVariable(int kind, CElement* element)
{
    CVariableList& variables = TheVariableList();
    CVariable* variable = variables.CreateVariable(kind + 8, element->m_name);
    if (!variable)
        return nullptr;
    if (!variable->DoNewDialog(this)) {
        variables.RemoveVariable(variable);
        return nullptr;
    }
    if (CDataPathSeam* paths = App().dataPaths)
        paths->AddVariable(variable);
    return variable;
}

void CElementView::OnSourceNew()
{
    CElement* element = Element();
    if (!element || IsLoading())
        return;
    CSourceBlock& s = *m_source;
    const int kind = element->m_dataSource;
    CVariable* variable = NewVariable(kind, element);
    if (!variable)
        return;
    const QString name = variable->GetName();
    int at = s.name->findText(name);
    if (at < 0) {
        s.name->addItem(name);
        at = s.name->count() - 1;
    }
    s.name->setCurrentIndex(at);
    OnSourceName(at);
    if (kind != SOURCE_MACRO)
        s.create->setVisible(false);
    emit elementEdited();
}

void CElementView::OnSourceEdit()
{
    CElement* element = Element();
    if (!element || IsLoading())
        return;
    CSourceBlock& s = *m_source;
    const int kind = element->m_dataSource;
    const QString name = s.name->currentText();
    CVariableList& variables = TheVariableList();
    CVariable* variable = variables.FindVariable(kind + 8, name);
    if (!variable && kind == SOURCE_MACRO && !name.isEmpty()) {
        if (auto* macro =
                dynamic_cast<CMacroScript*>(variables.CreateVariable(VARIABLE_MACRO, name))) {
            macro->m_scriptName = name;
            macro->CompileFromStore();
            if (CDataPathSeam* paths = App().dataPaths)
                paths->AddVariable(macro);
            variable = macro;
        }
    }
    if (!variable || !variable->DoEditDialog(this))
        return;
    s.prompt->setText(variable->m_prompt);
    element->m_prompt = variable->m_prompt;
    RefreshDataPath(element);
    MarkModified();
    emit elementEdited();
}

void CElementView::OnSourceType(int index)
{
    CElement* element = Element();
    if (!element || IsLoading())
        return;
    CSourceBlock& s = *m_source;
    const int kind = s.type->itemData(index).toInt();
    auto refuse = [&] { SelectKind(s.appliedKind); };

    switch (kind) {
    case SOURCE_FIXED:
        s.name->clear();
        s.prompt->clear();
        element->m_startDataOnly = element->m_mustEnterData = element->m_useSampleData = 0;
        s.startOnly->setChecked(false);
        s.mustEnter->setChecked(false);
        s.useSample->setChecked(false);
        break;
    case SOURCE_KEYBOARD:
        s.name->clear();
        s.prompt->setText(element->m_prompt);
        s.startOnly->setChecked(element->m_startDataOnly);
        s.mustEnter->setChecked(element->m_mustEnterData);
        s.useSample->setChecked(element->m_useSampleData);
        break;
    case SOURCE_DATABASE: {
        // Without the SQL drivers no database can be linked at all.
        if (!TheDatabaseLink().m_jetPresent) {
            AppMessageBoxId(IDS_DATABASE_SUPPORT_NOT_INSTALLED);
            return refuse();
        }
        CDataLinkSeam* link = App().dataLink;
        const int linkKind = link ? link->GetLinkKind() : -1;
        if (linkKind == 1) {
            AppMessageBoxId(IDS_LINK_USED_FOR_DATA_STORAGE);
            return refuse();
        }
        if (linkKind != 0) {
            // No database yet: the user links the sign to one first.
            if (!LinkSignToDatabase())
                return refuse();
        }
        FillNames(kind, element, element->m_dataSource == SOURCE_DATABASE);
        element->m_dbReadOnly = 1;
        s.readOnly->setChecked(true);
        break;
    }
    case SOURCE_ELEMENT:
        if (!TheElementList().HasLinkedElements()) {
            AppMessageBoxId(IDS_NO_VARIABLE_ELEMENTS);
            return refuse();
        }
        FillNames(kind, element);
        break;
    default:
        if (kind >= SOURCE_OPTION_LIST && kind <= SOURCE_COMBINATION && kind != SOURCE_GS1) {
            FillNames(kind, element);
            if (s.name->count() == 0) {
                // No variable (or script) of this kind yet: the user makes one.
                CVariable* made = NewVariable(kind, element);
                if (!made)
                    return refuse();
                s.name->addItem(made->GetName());
                s.name->setCurrentIndex(0);
            }
            const int own = s.name->findText(element->m_name);
            if (own >= 0 && kind != SOURCE_MACRO)
                s.name->setCurrentIndex(own);
            if (kind == SOURCE_INCREMENTING)
                element->m_startDataOnly = 1;
        }
        break;
    }
    if (kind >= SOURCE_DATABASE) {
        s.startOnly->setChecked(element->m_startDataOnly);
        element->m_mustEnterData = element->m_useSampleData = 0;
        s.mustEnter->setChecked(false);
        s.useSample->setChecked(false);
    }
    s.nameLabel->setText(LoadStringId(kind == SOURCE_DATABASE ? IDS_LABEL_FIELD : IDS_LABEL_NAME));
    if (element->m_dataSource == SOURCE_MACRO && kind != SOURCE_MACRO)
        ReleaseMacroVariable(element, element->m_sourceName);
    element->m_dataSource = kind;
    if (kind > SOURCE_KEYBOARD && s.name->currentIndex() >= 0)
        OnSourceName(s.name->currentIndex());
    EnableSource(kind);
    RefreshDataPath(element);
    s.appliedKind = kind;
    MarkModified();
    emit elementEdited();
}

void CElementView::OnSourceName(int index)
{
    CElement* element = Element();
    if (!element || IsLoading() || index < 0)
        return;
    CSourceBlock& s = *m_source;
    const QString name = s.name->itemText(index);
    const int kind = element->m_dataSource;
    QString prompt;
    if (kind == SOURCE_DATABASE) {
        element->m_prompt = name;
        s.prompt->setText(name);
    } else if (kind >= SOURCE_OPTION_LIST && kind <= SOURCE_COMBINATION && kind != SOURCE_MACRO) {
        if (CVariable* variable = TheVariableList().FindVariable(kind + 8, name)) {
            s.prompt->setText(variable->m_prompt);
            if (!variable->m_prompt.isEmpty())
                element->m_prompt = variable->m_prompt;
        }
    } else if (kind == SOURCE_MACRO) {
        if (name != element->m_sourceName)
            ReleaseMacroVariable(element, element->m_sourceName);
        // The sign runs the chosen script through a variable of its name.
        if (!TheVariableList().FindVariable(VARIABLE_MACRO, name)) {
            if (auto* macro = dynamic_cast<CMacroScript*>(
                    TheVariableList().CreateVariable(VARIABLE_MACRO, name))) {
                macro->m_scriptName = name;
                macro->CompileFromStore();
                if (CDataPathSeam* paths = App().dataPaths)
                    paths->AddVariable(macro);
            }
        }
        element->m_prompt.clear();
        s.prompt->clear();
    } else if (kind == SOURCE_ELEMENT) {
        if (CElement* other = TheElementList().FindByName(name)) {
            s.prompt->setText(other->m_prompt);
            if (!other->m_prompt.isEmpty())
                element->m_prompt = other->m_prompt;
        }
    }
    element->m_sourceName = name;
    RefreshDataPath(element);
    MarkModified();
}

void CElementView::OnSourceChecks()
{
    CElement* element = Element();
    if (!element || IsLoading())
        return;
    CSourceBlock& s = *m_source;
    if (sender() == s.mustEnter) {
        if (s.mustEnter->isChecked())
            s.useSample->setChecked(false);
        s.useSample->setEnabled(!s.mustEnter->isChecked());
    }
    element->m_startDataOnly = s.startOnly->isChecked();
    element->m_mustEnterData = s.mustEnter->isChecked();
    element->m_useSampleData = s.useSample->isChecked();
    element->m_dbReadOnly = s.readOnly->isChecked();
    MarkModified();
}
