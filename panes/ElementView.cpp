#include "ElementView.h"

#include "DataSourceBlock.h"

#include "AppContext.h"
#include "DatabaseCommands.h"
#include "DatabaseLink.h"
#include "ElementList.h"
#include "Grid.h"
#include "Helpers.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "Preferences.h"
#include "Rounding.h"
#include "Table.h"
#include "UndoHistory.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
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
    if (!RunDatabaseWizard(this))
        return false;
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
        m_source->Bind(element);
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

CPaneEdits CElementView::DirectEdits()
{
    return {[this](QObject*) -> CElement* { return IsLoading() ? nullptr : Element(); },
            [this](CElement* e) { ElementEdited(e); }, {}};
}

// --- data source ----------------------------------------------------------------

QGroupBox* CElementView::AddSourceBlock(bool withCombination)
{
    // A change of source keeps no Undo step: begin only says whether the
    // pane takes edits now.
    CPaneBlock::Edits edits{
        [this](QObject*) -> CElement* { return IsLoading() ? nullptr : Element(); }, {},
        [this] { MarkModified(); }};
    m_source = new CDataSourceBlock(withCombination, std::move(edits),
                                    [this] { return LinkSignToDatabase(); }, m_body);
    connect(m_source, &CPaneBlock::edited, this, &CElementView::elementEdited);
    m_form->addWidget(m_source);
    return m_source;
}
