#include "SettingsView.h"

#include "Commands.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "Paper.h"
#include "Printer.h"
#include "ResourceIds.h"
#include "Strings.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

QLabel* AddValue(QGridLayout* grid, int row, const QString& caption, int captionId, int valueId,
                 int unitId = 0)
{
    QWidget* parent = grid->parentWidget();
    auto* label = new QLabel(caption, parent);
    if (captionId)
        label->setObjectName(QStringLiteral("id%1").arg(captionId));
    auto* value = new QLabel(parent);
    value->setObjectName(QStringLiteral("id%1").arg(valueId));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(label, row, 0);
    grid->addWidget(value, row, 1);
    if (unitId) {
        auto* unit = new QLabel(PaneUnits::UnitName(), parent);
        unit->setObjectName(QStringLiteral("id%1").arg(unitId));
        grid->addWidget(unit, row, 2);
    }
    return value;
}

} // namespace

std::function<bool(QWidget*)>& CSettingsView::ChangePaper()
{
    static std::function<bool(QWidget*)> change;
    return change;
}

std::function<bool(QWidget*)>& CSettingsView::ChangePrinter()
{
    static std::function<bool(QWidget*)> change;
    return change;
}

CSettingsView::CSettingsView(bool signCaptions, QWidget* parent)
    : CElementView(nullptr, 361, tr("Sign Settings"), parent)
{
    QWidget* body = Form()->parentWidget();
    auto* stockBox =
        new QGroupBox(signCaptions ? LoadStringId(IDS_SIGN_STOCK) : tr("Label Stock"), body);
    auto* stock = new QGridLayout(stockBox);
    m_stock = AddValue(stock, 0, signCaptions ? LoadStringId(IDS_SIGN_STOCK) : tr("Label Stock"),
                       1530, 1528);
    m_width = AddValue(stock, 1, signCaptions ? LoadStringId(IDS_SIGN_WIDTH) : tr("Label Width"),
                       1531, 1144, 1019);
    m_height = AddValue(stock, 2, signCaptions ? LoadStringId(IDS_SIGN_HEIGHT) : tr("Label Height"),
                        1532, 1145, 1020);
    m_widthUnit = stockBox->findChild<QLabel*>(QStringLiteral("id1019"));
    m_heightUnit = stockBox->findChild<QLabel*>(QStringLiteral("id1020"));
    m_perPage = AddValue(stock, 3, tr("Per Page"), 0, 1138);
    auto* paperButton = new QPushButton(tr("Change..."), stockBox);
    paperButton->setObjectName(QStringLiteral("id1526"));
    stock->addWidget(paperButton, 4, 1, Qt::AlignLeft);
    Form()->addWidget(stockBox);

    auto* printerBox = new QGroupBox(tr("Printer"), body);
    auto* printer = new QGridLayout(printerBox);
    m_printer = AddValue(printer, 0, tr("Printer"), 0, 1529);
    m_port = AddValue(printer, 1, tr("Port"), 0, 1160);
    m_source = AddValue(printer, 2, tr("Source"), 0, 1499);
    auto* printerButton = new QPushButton(tr("Change..."), printerBox);
    printerButton->setObjectName(QStringLiteral("id1527"));
    printer->addWidget(printerButton, 3, 1, Qt::AlignLeft);
    Form()->addWidget(printerBox);

    connect(paperButton, &QPushButton::clicked, this, [this] { OnChange(true); });
    connect(printerButton, &QPushButton::clicked, this, [this] { OnChange(false); });
    UpdateSettings();
    SetLoading(false);
}

void CSettingsView::UpdateSettings()
{
    CPaper& paper = ThePaper();
    m_stock->setText(paper.GetPaperName());
    m_width->setText(paper.FormatSignWidth());
    m_height->setText(paper.FormatSignHeight());
    m_widthUnit->setText(PaneUnits::UnitName());
    m_heightUnit->setText(PaneUnits::UnitName());
    m_perPage->setText(paper.FormatLabelsPerPage());
    CPrinter& printer = ThePrinter();
    if (printer.EnsurePrinter()) {
        m_printer->setText(printer.GetDeviceName());
        m_port->setText(printer.GetPort());
        m_source->setText(printer.GetPaperSourceName());
    } else {
        m_printer->clear();
        m_port->clear();
        m_source->clear();
    }
}

// The pane waits hidden while data is entered; shown again, it reads the
// paper and the printer afresh.
void CSettingsView::showEvent(QShowEvent* event)
{
    CElementView::showEvent(event);
    if (event->spontaneous())
        return;
    if (m_shownOnce)
        UpdateSettings();
    m_shownOnce = true;
}

void CSettingsView::OnChange(bool paper)
{
    const auto& change = paper ? ChangePaper() : ChangePrinter();
    bool ran = change && change(this);
    if (!ran) {
        // The frame's own command, when something carries it out.
        for (QWidget* w = parentWidget(); w && !ran; w = w->parentWidget()) {
            if (auto* frame = qobject_cast<CMainFrame*>(w)) {
                const int id = paper ? ID_PAPER_SELECT : ID_FILE_PRINT_SETUP;
                ran = frame->IsCommandHandled(id) && frame->ExecuteCommand(id);
                // With a single stock there is nothing to choose from: the
                // user designs a new one.
                if (paper && !ran && frame->IsCommandHandled(ID_PAPER_NEW))
                    ran = frame->ExecuteCommand(ID_PAPER_NEW);
            }
        }
    }
    if (!ran) {
        // Only a pane outside the designer's frame gets here.
        AppMessageBox(paper ? tr("The label stock is chosen with Sign > Paper > Select.")
                            : tr("The printer is chosen with File > Print Setup."));
        return;
    }
    UpdateSettings();
}
