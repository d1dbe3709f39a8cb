#include "DataCtrl.h"

#include "AppContext.h"
#include "Barcode.h"
#include "DataSourceMap.h"
#include "DateTime.h"
#include "EditTextDlg.h"
#include "Element.h"
#include "ElementList.h"
#include "Helpers.h"
#include "ImageSelect.h"
#include "IncNumber.h"
#include "OptionList.h"
#include "PriceCalculation.h"
#include "Seams.h"
#include "SpellCommands.h"
#include "SpellOCX.h"
#include "Text.h"
#include "Variable.h"
#include "VariableList.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

enum ControlBase : int
{
    kLabelBase = 1000,
    kEditBase = 2000,
    kSelectBase = 3000,
    kClearBase = 4000,
    kComboBase = 5000,
    kMoreBase = 6000,
};

// The symbol combo offers the one-character texts of these codes.
constexpr int kFirstSymbolCode = 33;
constexpr int kLastSymbolCode = 107;

int RoundHalfUp(double v)
{
    return int(std::floor(v + 0.5));
}

bool TakesManyLines(const CElement* element)
{
    if (const auto* text = dynamic_cast<const CText*>(element))
        return element->GetTypeCode() == TYPE_TEXT && text->m_maxLines != 1;
    if (const auto* code = dynamic_cast<const CBarcode*>(element)) {
        const int id = code->GetSymbologyId();
        return id == SYM_PDF417 || id == SYM_DATAMATRIX || id == SYM_QRCODE;
    }
    return false;
}

// The element's value as the row shows it: the text typed or read, without
// the prefix and suffix the element adds.
QString ElementValue(CElement* element)
{
    if (element->GetTypeCode() == TYPE_PICTURE)
        return element->GetText();
    return element->GetEnteredData();
}

QString PromptOf(const CDataEntryField& f)
{
    if (f.IsElement())
        return f.Element()->m_prompt;
    CVariable* variable = f.Variable();
    switch (f.kind) {
    case VARIABLE_OPTION_LIST:
    case VARIABLE_DATE_TIME:
        return variable->m_prompt;
    case VARIABLE_INCREMENTING: {
        auto* number = static_cast<CIncNumber*>(variable);
        return f.partName == QLatin1String("start") ? number->m_startPrompt : number->m_limitPrompt;
    }
    case VARIABLE_PRICE_CALC: {
        auto* calc = static_cast<CPriceCalculation*>(variable);
        return calc->m_inputs[f.partName == QLatin1String("source0") ? 0 : 1].prompt;
    }
    default:
        return QString();
    }
}

} // namespace

CElement* CDataEntryField::Element() const
{
    return IsElement() ? static_cast<CElement*>(owner) : nullptr;
}

CVariable* CDataEntryField::Variable() const
{
    return IsElement() ? nullptr : static_cast<CVariable*>(owner);
}

CDataCtrl::CDataCtrl(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("id%1").arg(IDD));
    m_labelFont = font();
    m_labelFont.setBold(true);
    m_controlFont = font();
    m_symbolFont = QFont(QStringLiteral("Tabrel Symbol 1"));
    m_symbolFont.setPixelSize(std::max(QFontMetrics(m_controlFont).height(), 12) * 2);
    m_symbolFont.setFamilies({QStringLiteral("Tabrel Symbol 1"), QStringLiteral("Symbola")});
}

CDataCtrl::~CDataCtrl() = default;

void CDataCtrl::Clear()
{
    for (CDataEntryField& f : m_fields) {
        for (QWidget* w : std::initializer_list<QWidget*>{f.label, f.edit, f.textEdit, f.button1,
                                                          f.button2, f.more, f.combo})
            delete w;
        delete f.timer;
    }
    m_fields.clear();
}

void CDataCtrl::BuildRows()
{
    Clear();
    CDataSourceMap& map = TheDataSourceMap();
    CElementList& elements = TheElementList();
    for (int i = 0; i < elements.GetCount(); ++i) {
        CElement* element = elements.GetAt(i);
        if (element->m_dataSource != SOURCE_KEYBOARD && element->m_dataSource != SOURCE_DATABASE)
            continue;
        CDataEntryField f;
        f.kind = element->GetTypeCode();
        f.owner = element;
        f.entryIndex = element->m_dataEntryIndex;
        m_fields.push_back(f);
    }
    CVariableList& variables = TheVariableList();
    for (int i = 0; i < variables.GetCount(); ++i) {
        CVariable* variable = variables.GetAt(i);
        if (map.GetDependentCount(variable) < 1)
            continue;
        CDataEntryField f;
        f.kind = variable->GetTypeCode();
        f.owner = variable;
        f.entryIndex = variable->m_dataEntryIndex;
        switch (f.kind) {
        case VARIABLE_OPTION_LIST:
            m_fields.push_back(f);
            break;
        case VARIABLE_INCREMENTING: {
            auto* number = static_cast<CIncNumber*>(variable);
            if (number->m_startSource == SOURCE_KEYBOARD) {
                f.partName = QStringLiteral("start");
                m_fields.push_back(f);
            }
            if (number->m_limitSource == SOURCE_KEYBOARD) {
                f.partName = QStringLiteral("limit");
                m_fields.push_back(f);
            }
            break;
        }
        case VARIABLE_DATE_TIME:
            if (static_cast<CDateTime*>(variable)->m_allowAdditional)
                m_fields.push_back(f);
            break;
        case VARIABLE_PRICE_CALC: {
            auto* calc = static_cast<CPriceCalculation*>(variable);
            for (int input = 0; input < 2; ++input) {
                if (calc->m_inputs[size_t(input)].sourceKind == SOURCE_KEYBOARD) {
                    f.partName = QStringLiteral("source%1").arg(input);
                    m_fields.push_back(f);
                }
            }
            break;
        }
        default:
            break;
        }
    }
    std::stable_sort(m_fields.begin(), m_fields.end(),
                     [](const CDataEntryField& a, const CDataEntryField& b) {
                         return a.entryIndex < b.entryIndex;
                     });

    const int h = std::max(QFontMetrics(m_controlFont).height(), 1);
    const int g = (h + 1) / 2;
    int top = g;
    int width = 0;
    for (int i = 0; i < RowCount(); ++i) {
        m_fields[size_t(i)].rect = CRect(0, top, 0, top);
        CreateControls(i);
        const CRect& r = m_fields[size_t(i)].rect;
        width = std::max(width, r.right);
        top = r.bottom + g;
    }
    const int bottom = m_fields.empty() ? 0 : m_fields.back().rect.bottom;
    m_extent = QSize(width, bottom + 2 * g);
    setMinimumSize(m_extent);
    resize(m_extent);
    updateGeometry();
}

void CDataCtrl::CreateControls(int row)
{
    CDataEntryField& f = m_fields[size_t(row)];
    const QFontMetrics metrics(m_controlFont);
    const int w = std::max(metrics.horizontalAdvance(QLatin1Char(' ')), 1);
    const int h = std::max(metrics.height(), 1);
    const int q = RoundHalfUp(h / 4.0);
    const int e1 = RoundHalfUp(1.5 * h);
    const int e2 = RoundHalfUp(2.5 * h);
    const int top = f.rect.top;
    const auto grow = [&f](QWidget* c) {
        const QRect g = c->geometry();
        f.rect.right = std::max(f.rect.right, g.x() + g.width());
        f.rect.bottom = std::max(f.rect.bottom, g.y() + g.height());
    };
    const auto place = [this, top](QWidget* c, int id, int left, int y, int right, int bottom) {
        c->setObjectName(QStringLiteral("id%1").arg(id));
        c->setGeometry(left, top + y, right - left, bottom - y);
        c->installEventFilter(this);
        c->show();
    };

    const QString prompt = PromptOf(f);
    f.label = new QLabel(prompt, this);
    f.label->setFont(m_labelFont);
    f.label->setWordWrap(false);
    const int lines = int(prompt.count(QLatin1Char('\n'))) + 1;
    place(f.label, kLabelBase + row, 2 * w, q, 52 * w, q + lines * h);
    f.label->removeEventFilter(this);
    grow(f.label);

    CElement* element = f.Element();
    const int type = element ? element->GetTypeCode() : -1;
    if (f.kind == TYPE_SYMBOL || f.kind == VARIABLE_OPTION_LIST) {
        f.combo = new QComboBox(this);
        f.combo->setFont(m_controlFont);
        if (f.kind == TYPE_SYMBOL) {
            f.combo->setFont(m_symbolFont);
            for (int code = kFirstSymbolCode; code <= kLastSymbolCode; ++code)
                f.combo->addItem(QString(QChar(code)));
        } else {
            f.combo->addItems(static_cast<COptionList*>(f.Variable())->FillOptionCombo());
        }
        f.combo->setMaxVisibleItems(8);
        place(f.combo, kComboBase + row, 53 * w, 0, 118 * w,
              std::max(e1, f.combo->sizeHint().height()));
        grow(f.combo);
        connect(f.combo, &QComboBox::currentIndexChanged, this,
                [this, row] { OnComboChosen(row); });
    } else if (element && TakesManyLines(element)) {
        f.textEdit = new QPlainTextEdit(this);
        f.textEdit->setFont(m_controlFont);
        f.textEdit->setTabChangesFocus(true);
        place(f.textEdit, kEditBase + row, 53 * w, 0, 113 * w, e2);
        grow(f.textEdit);
        connect(f.textEdit, &QPlainTextEdit::textChanged, this, [this, row] { OnEdited(row); });
        f.more = new QPushButton(QStringLiteral(">"), this);
        place(f.more, kMoreBase + row, 113 * w + 1, 0, 118 * w + 1, 5 * w);
        grow(f.more);
        connect(f.more, &QPushButton::clicked, this, [this, row] { OnMore(row); });
    } else {
        f.edit = new QLineEdit(this);
        f.edit->setFont(m_controlFont);
        place(f.edit, kEditBase + row, 53 * w, 0, 118 * w, e1);
        grow(f.edit);
        connect(f.edit, &QLineEdit::textEdited, this, [this, row] { OnEdited(row); });
    }
    if (type == TYPE_PICTURE && element->m_dataSource != SOURCE_DATABASE) {
        const int half = 65 * w / 2;
        f.button1 = new QPushButton(tr("Select..."), this);
        place(f.button1, kSelectBase + row, 53 * w, e1, 53 * w + half, 2 * e1);
        grow(f.button1);
        connect(f.button1, &QPushButton::clicked, this, [this, row] { OnSelectPicture(row); });
        f.button2 = new QPushButton(tr("Clear"), this);
        place(f.button2, kClearBase + row, 118 * w - half, e1, 118 * w, 2 * e1);
        grow(f.button2);
        connect(f.button2, &QPushButton::clicked, this, [this, row] { OnClearPicture(row); });
    }
    if (element && (type == TYPE_PICTURE ||
                    (element->m_dataSource == SOURCE_DATABASE && element->m_dbReadOnly))) {
        if (f.edit) {
            f.edit->setReadOnly(true);
            f.edit->setEnabled(false);
        }
        if (f.textEdit) {
            f.textEdit->setReadOnly(true);
            f.textEdit->setEnabled(false);
        }
    }
    f.timer = new QTimer(this);
    f.timer->setSingleShot(true);
    f.timer->setInterval(kRefreshMs);
    f.timer->setObjectName(QStringLiteral("timer%1").arg(kEditBase + row));
    connect(f.timer, &QTimer::timeout, this, [this, row] { OnRowTimer(row); });
}

int CDataCtrl::FindRow(const CObject* owner, const QString& partName) const
{
    for (int i = 0; i < RowCount(); ++i) {
        const CDataEntryField& f = m_fields[size_t(i)];
        if (f.owner == owner && (partName.isEmpty() || f.partName == partName))
            return i;
    }
    return -1;
}

QSize CDataCtrl::sizeHint() const
{
    return m_extent;
}

// --- values --------------------------------------------------------------------

void CDataCtrl::ShowText(int row, const QString& text)
{
    CDataEntryField& f = m_fields[size_t(row)];
    if (f.edit) {
        const QSignalBlocker blocker(f.edit);
        f.edit->setText(text);
        f.edit->setCursorPosition(0);
    } else if (f.textEdit) {
        const QSignalBlocker blocker(f.textEdit);
        f.textEdit->setPlainText(NormalizeLineBreaks(text));
    } else if (f.combo) {
        const QSignalBlocker blocker(f.combo);
        f.combo->setCurrentIndex(text.isEmpty() ? -1 : f.combo->findText(text));
    }
}

QString CDataCtrl::RowText(int row) const
{
    const CDataEntryField& f = m_fields[size_t(row)];
    if (f.edit)
        return f.edit->text();
    if (f.textEdit)
        return NormalizeLineBreaks(f.textEdit->toPlainText());
    if (f.combo)
        return f.combo->currentText();
    return QString();
}

void CDataCtrl::EnableRow(int row, bool enabled)
{
    CDataEntryField& f = m_fields[size_t(row)];
    CElement* element = f.Element();
    const bool readOnly =
        element && (element->GetTypeCode() == TYPE_PICTURE ||
                    (element->m_dataSource == SOURCE_DATABASE && element->m_dbReadOnly));
    for (QWidget* w : std::initializer_list<QWidget*>{f.button1, f.button2, f.more, f.combo}) {
        if (w)
            w->setEnabled(enabled);
    }
    if (f.edit)
        f.edit->setEnabled(enabled && !readOnly);
    if (f.textEdit)
        f.textEdit->setEnabled(enabled && !readOnly);
    if (f.more && readOnly)
        f.more->setEnabled(enabled); // shows the text, read-only
}

void CDataCtrl::LoadValues()
{
    m_loading = true;
    CDataLinkSeam* link = App().dataLink;
    for (int i = 0; i < RowCount(); ++i) {
        CDataEntryField& f = m_fields[size_t(i)];
        if (CElement* element = f.Element()) {
            ShowText(i, ElementValue(element));
        } else if (f.kind == VARIABLE_OPTION_LIST) {
            CVariable* variable = f.Variable();
            if (link && link->GetLinkKind() == 1 && link->GetStoreRecordCount() > 0) {
                const QString value = link->GetFieldValue(variable->m_name);
                TheDataSourceMap().SetSourceValue(variable, value, SOURCE_DATABASE, QString(),
                                                  TRUE);
                ShowText(i, value);
            } else if (f.combo) {
                const QSignalBlocker blocker(f.combo);
                f.combo->setCurrentIndex(f.combo->count() > 0 ? 0 : -1);
            }
        } else if (f.kind == VARIABLE_DATE_TIME) {
            ShowText(i, f.Variable()->GetStoredData(FALSE));
        } else {
            ShowText(i, QString());
        }
        EnableRow(i, true);
    }
    m_loading = false;
    SetFocusToFirstField();
}

void CDataCtrl::LoadRecord()
{
    CDataLinkSeam* link = App().dataLink;
    if (!link || link->GetLinkKind() == -1)
        return;
    // A data store keeps the typed values too: its record fills the
    // keyboard rows as well.
    const bool store = link->GetLinkKind() == 1;
    for (int i = 0; i < RowCount(); ++i) {
        CDataEntryField& f = m_fields[size_t(i)];
        if (CElement* element = f.Element()) {
            if (element->m_dataSource == SOURCE_DATABASE || store)
                ShowText(i, ElementValue(element));
        } else if (store && f.kind == VARIABLE_OPTION_LIST) {
            ShowText(i, link->GetFieldValue(f.Variable()->m_name));
        } else if (f.kind == VARIABLE_DATE_TIME && f.Variable()->IsDatabaseSourced()) {
            ShowText(i, link->GetFieldValue(f.Variable()->GetSourceFieldName()));
        }
    }
}

void CDataCtrl::ResetFields()
{
    m_loading = true;
    CDataSourceMap& map = TheDataSourceMap();
    for (int i = 0; i < RowCount(); ++i) {
        CDataEntryField& f = m_fields[size_t(i)];
        CElement* element = f.Element();
        if (element && element->m_dataSource == SOURCE_KEYBOARD && element->m_mustEnterData) {
            f.timer->stop();
            f.pending = false;
            ShowText(i, QString());
            element->SetDataText(QString(), -1, QString(), TRUE);
            // What the emptied field feeds is emptied with it.
            map.PropagateElement(element);
        }
    }
    for (int i = 0; i < RowCount(); ++i)
        EnableRow(i, map.IsEntryEnabled(m_fields[size_t(i)].owner) != FALSE);
    m_loading = false;
    emit valuesChanged();
}

void CDataCtrl::SetFocusToFirstField()
{
    for (int i = 0; i < RowCount(); ++i) {
        CDataEntryField& f = m_fields[size_t(i)];
        QWidget* target = f.button1 ? static_cast<QWidget*>(f.button1)
                          : f.combo ? static_cast<QWidget*>(f.combo)
                          : f.edit  ? static_cast<QWidget*>(f.edit)
                                    : static_cast<QWidget*>(f.textEdit);
        if (!target || !target->isEnabled())
            continue;
        target->setFocus(Qt::OtherFocusReason);
        if (f.edit)
            f.edit->selectAll();
        else if (f.textEdit)
            f.textEdit->selectAll();
        EnsureVisible(i);
        return;
    }
}

void CDataCtrl::FlushPending()
{
    for (int i = 0; i < RowCount(); ++i) {
        if (m_fields[size_t(i)].pending)
            OnRowTimer(i);
    }
}

bool CDataCtrl::IsSpellChecked(int row, bool all) const
{
    const CDataEntryField& f = m_fields[size_t(row)];
    const CElement* element = f.Element();
    if (!element || element->m_dataSource != SOURCE_KEYBOARD ||
        (f.kind != TYPE_TEXT && f.kind != TYPE_ARC_TEXT))
        return false;
    return all || element->IsSpellCheckForced();
}

BOOL CDataCtrl::CheckSpelling(bool all)
{
    // The checker is made ready only when a text is to be checked: a sign
    // that asks for no check prints without opening a dictionary.
    bool any = false;
    for (int i = 0; i < RowCount() && !any; ++i)
        any = IsSpellChecked(i, all);
    if (!any || !PrepareSpellChecker(false))
        return TRUE;
    CSpellOCX& speller = CSpellOCX::Current();
    for (int i = 0; i < RowCount(); ++i) {
        if (!IsSpellChecked(i, all))
            continue;
        QString corrected;
        switch (speller.CheckText(RowText(i), corrected)) {
        case 1:
            ShowText(i, corrected);
            Deliver(i, corrected, TRUE);
            break;
        case 2:
            return FALSE;
        default:
            break;
        }
    }
    return TRUE;
}

void CDataCtrl::EnsureVisible(int row)
{
    if (row < 0 || row >= RowCount())
        return;
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* area = qobject_cast<QScrollArea*>(w)) {
            const CRect& r = m_fields[size_t(row)].rect;
            area->ensureVisible(0, (r.top + r.bottom) / 2, 0, (r.bottom - r.top) / 2 + 2);
            return;
        }
    }
}

// --- handlers ----------------------------------------------------------------------

void CDataCtrl::Deliver(int row, const QString& value, BOOL refresh)
{
    CDataEntryField& f = m_fields[size_t(row)];
    TheDataSourceMap().SetSourceValue(f.owner, value, SOURCE_KEYBOARD, f.partName, refresh);
    emit valuesChanged();
}

void CDataCtrl::OnEdited(int row)
{
    if (m_loading)
        return;
    // Only what the user typed arrives here: the rows fill their edits with
    // their signals blocked.
    CDataEntryField& f = m_fields[size_t(row)];
    Deliver(row, RowText(row), FALSE);
    f.pending = true;
    f.timer->start();
}

void CDataCtrl::OnRowTimer(int row)
{
    CDataEntryField& f = m_fields[size_t(row)];
    f.timer->stop();
    if (!f.pending)
        return;
    f.pending = false;
    TheDataSourceMap().RefreshDependents(f.owner);
    emit valuesChanged();
}

void CDataCtrl::OnComboChosen(int row)
{
    if (m_loading)
        return;
    CDataEntryField& f = m_fields[size_t(row)];
    if (f.combo->currentIndex() < 0)
        return;
    Deliver(row, f.combo->currentText(), TRUE);
}

void CDataCtrl::OnSelectPicture(int row)
{
    const QString path = CImageSelect::Choose(this);
    if (path.isEmpty())
        return;
    Deliver(row, path, TRUE);
    ShowText(row, path);
}

void CDataCtrl::OnClearPicture(int row)
{
    Deliver(row, QString(), TRUE);
    ShowText(row, QString());
}

void CDataCtrl::OnMore(int row)
{
    CDataEntryField& f = m_fields[size_t(row)];
    CElement* element = f.Element();
    CEditTextDlg dialog(this);
    dialog.m_text = ExpandLineBreaks(RowText(row));
    dialog.m_readOnly =
        element && element->m_dataSource == SOURCE_DATABASE && element->m_dbReadOnly;
    if (dialog.exec() != QDialog::Accepted || dialog.m_readOnly)
        return;
    const QString text = NormalizeLineBreaks(dialog.m_text);
    f.timer->stop();
    f.pending = false;
    ShowText(row, text);
    Deliver(row, text, TRUE);
}

void CDataCtrl::OnFocusIn(int row)
{
    TheDataSourceMap().HighlightDependents(m_fields[size_t(row)].owner, TRUE);
    EnsureVisible(row);
    emit valuesChanged();
}

void CDataCtrl::OnFocusOut(int row)
{
    CDataEntryField& f = m_fields[size_t(row)];
    CDataSourceMap& map = TheDataSourceMap();
    map.HighlightDependents(f.owner, FALSE);
    if (f.pending) {
        f.timer->stop();
        f.pending = false;
        map.RefreshDependents(f.owner);
    }
    emit valuesChanged();
}

bool CDataCtrl::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        const QString name = watched->objectName();
        if (name.startsWith(QLatin1String("id"))) {
            const int id = name.mid(2).toInt();
            const int row = id % 1000;
            const int base = id - row;
            if (row < RowCount() && base >= kEditBase && base <= kComboBase) {
                if (event->type() == QEvent::FocusIn)
                    OnFocusIn(row);
                else
                    OnFocusOut(row);
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
