#include "SelectBarcodeTypeDlg.h"

#include "Barcode.h"
#include "BarcodeParts.h"
#include "DC.h"
#include "Printer.h"
#include "Symbology.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QVBoxLayout>

// --- the preview frame ----------------------------------------------------------------

CBarcodePreviewFrame::CBarcodePreviewFrame(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("id1178"));
    setMinimumSize(260, 160);
}

void CBarcodePreviewFrame::SetElement(CBarcode* element)
{
    m_element = element;
    update();
}

void CBarcodePreviewFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect r = rect();
    painter.fillRect(r, Qt::white);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    if (!m_element)
        return;
    CDC dc(&painter);
    CRect inner(10, 10, r.width() - 10, r.height() - 10);
    if (inner.Width() > 0 && inner.Height() > 0)
        m_element->RenderPreview(&dc, inner);
}

// --- the dialog -------------------------------------------------------------------------

CSelectBarcodeTypeDlg::CSelectBarcodeTypeDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("id%1").arg(kDialogId));
    setWindowTitle(tr("Select Barcode Type"));

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("id1089"));
    m_list->setSortingEnabled(true);
    for (int id = 0; id < kSymbologyCount; ++id) {
        const SymbologyInfo& info = GetSymbology(id);
        // Only the symbologies this program can make an element of.
        if (!info.listed || !BarcodeClassName(id))
            continue;
        auto* item = new QListWidgetItem(QString::fromLatin1(info.name));
        item->setData(Qt::UserRole, id);
        m_list->addItem(item);
    }
    m_nativeBox = new QCheckBox(tr("Use &Native Printer Facility"), this);
    m_nativeBox->setObjectName(QStringLiteral("id1386"));
    m_frame = new CBarcodePreviewFrame(this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(tr("Preview:"), this));
    right->addWidget(m_frame, 1);
    right->addWidget(m_nativeBox);
    auto* row = new QHBoxLayout;
    row->addWidget(m_list);
    row->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row, 1);
    layout->addWidget(buttons);

    // The dialog always opens on Code 39.
    m_selectedId = SYM_CODE39;
    if (ThePrinter().IsNativeBarcodeSupported(SYM_CODE39)) {
        m_native = RememberedNativeChoice();
        m_nativeBox->setEnabled(true);
    } else {
        m_native = FALSE;
        m_nativeBox->setEnabled(false);
    }
    m_nativeBox->setChecked(m_native);
    SelectSymbology(SYM_CODE39);
    CreatePreview();

    connect(m_list, &QListWidget::currentItemChanged, this, [this] { OnSelectionChanged(); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    connect(m_nativeBox, &QCheckBox::toggled, this, [this](bool on) {
        m_native = on ? TRUE : FALSE;
        RememberedNativeChoice() = m_native;
    });
}

CSelectBarcodeTypeDlg::~CSelectBarcodeTypeDlg()
{
    m_frame->SetElement(nullptr);
}

BOOL& CSelectBarcodeTypeDlg::RememberedNativeChoice()
{
    static BOOL choice = FALSE;
    return choice;
}

bool CSelectBarcodeTypeDlg::SelectSymbology(int id)
{
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem* item = m_list->item(row);
        if (item->data(Qt::UserRole).toInt() == id) {
            m_list->setCurrentItem(item);
            return true;
        }
    }
    return false;
}

void CSelectBarcodeTypeDlg::OnSelectionChanged()
{
    QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    m_selectedId = item->data(Qt::UserRole).toInt();
    const bool native = ThePrinter().IsNativeBarcodeSupported(m_selectedId);
    {
        const QSignalBlocker block(m_nativeBox);
        m_nativeBox->setChecked(native);
        m_nativeBox->setEnabled(native);
    }
    m_native = native ? TRUE : FALSE;
    CreatePreview();
}

void CSelectBarcodeTypeDlg::CreatePreview()
{
    m_frame->SetElement(nullptr);
    m_preview.reset(NewBarcode(m_selectedId));
    m_frame->SetElement(m_preview.get());
}
