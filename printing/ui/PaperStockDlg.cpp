#include "PaperStockDlg.h"

#include "AppContext.h"
#include "Helpers.h"
#include "MessageBox.h"
#include "Messages.h"
#include "PaperDesignDlg.h"
#include "Printer.h"
#include "ResourceIds.h"
#include "StockPicture.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString IdName(int id)
{
    return QStringLiteral("id%1").arg(id);
}

// A length in tenths of a millimetre, in the display units.
QString FormatLength(int tmm)
{
    double value = tmm * 0.1;
    if (App().general.displayUnits == 1) {
        MmToInches(value);
        return QString::asprintf("%.2f", value);
    }
    return QString::asprintf("%.1f", value);
}

// Stock names in the order a reader expects: runs of digits by their value
// ("A4 2" before "A4 14"), the rest without regard to case.
bool NameBefore(const QString& a, const QString& b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a.at(i).isDigit() && b.at(j).isDigit()) {
            qsizetype endA = i;
            qsizetype endB = j;
            while (endA < a.size() && a.at(endA).isDigit())
                ++endA;
            while (endB < b.size() && b.at(endB).isDigit())
                ++endB;
            // Leading zeros do not count; then the longer run is the larger.
            qsizetype startA = i;
            qsizetype startB = j;
            while (startA + 1 < endA && a.at(startA) == u'0')
                ++startA;
            while (startB + 1 < endB && b.at(startB) == u'0')
                ++startB;
            const QStringView runA = QStringView(a).mid(startA, endA - startA);
            const QStringView runB = QStringView(b).mid(startB, endB - startB);
            if (runA.size() != runB.size())
                return runA.size() < runB.size();
            if (const int c = runA.compare(runB); c != 0)
                return c < 0;
            i = endA;
            j = endB;
            continue;
        }
        const QChar x = a.at(i).toCaseFolded();
        const QChar y = b.at(j).toCaseFolded();
        if (x != y)
            return x < y;
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j))
        return (a.size() - i) < (b.size() - j);
    return a < b; // names that differ only in case keep one order
}

QStringList StocksOf(const QString& category)
{
    QStringList names;
    ThePaper().FillStockList(names, category);
    std::stable_sort(names.begin(), names.end(), NameBefore);
    return names;
}

} // namespace

BOOL DesignPaperStock(QWidget* parent, CPaperStock& stock, bool newStock)
{
    CPaperDesignDlg dlg(stock, newStock, parent);
    if (dlg.exec() != QDialog::Accepted)
        return FALSE;
    if (!ThePaper().SetStock(dlg.Result()))
        return FALSE;
    stock = dlg.Result();
    return TRUE;
}

CPaperStockDlg::CPaperStockDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(IdName(IDD));
    setWindowTitle(tr("Paper Stock"));
    const bool inches = App().general.displayUnits == 1;
    const QString unit = inches ? tr("inches") : tr("mm");

    auto* chooseBox = new QGroupBox(tr("Stock"), this);
    auto* choose = new QGridLayout(chooseBox);
    m_category = new QComboBox(chooseBox);
    m_category->setObjectName(IdName(IDC_CATEGORY));
    m_list = new QListWidget(chooseBox);
    m_list->setObjectName(IdName(IDC_STOCK_LIST));
    m_list->setMinimumWidth(220);
    m_source = new QComboBox(chooseBox);
    m_source->setObjectName(IdName(IDC_SOURCE));
    choose->addWidget(new QLabel(tr("Stock Category:"), chooseBox), 0, 0);
    choose->addWidget(m_category, 1, 0);
    choose->addWidget(new QLabel(tr("Stock Name:"), chooseBox), 2, 0);
    choose->addWidget(m_list, 3, 0);
    choose->addWidget(new QLabel(tr("Source:"), chooseBox), 4, 0);
    choose->addWidget(m_source, 5, 0);

    auto* newButton = new QPushButton(tr("New..."), this);
    newButton->setObjectName(IdName(IDC_NEW));
    m_edit = new QPushButton(tr("Edit..."), this);
    m_edit->setObjectName(IdName(IDC_EDIT));
    m_delete = new QPushButton(tr("Delete"), this);
    m_delete->setObjectName(IdName(IDC_DELETE));
    auto* printSetup = new QPushButton(tr("Print Setup..."), this);
    printSetup->setObjectName(IdName(IDC_PRINT_SETUP));
    printSetup->setEnabled(static_cast<bool>(CPaperDesignDlg::s_printSetup));

    auto* sizeBox = new QGroupBox(tr("Dimensions"), this);
    auto* sizes = new QGridLayout(sizeBox);
    auto value = [&](int row, const QString& caption, int id, int unitId) {
        auto* label = new QLabel(sizeBox);
        label->setObjectName(IdName(id));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setMinimumWidth(60);
        sizes->addWidget(new QLabel(caption, sizeBox), row, 0);
        sizes->addWidget(label, row, 1);
        if (unitId) {
            auto* u = new QLabel(unit, sizeBox);
            u->setObjectName(IdName(unitId));
            sizes->addWidget(u, row, 2);
        }
        return label;
    };
    m_pageWidth = value(0, tr("Page Width:"), IDC_PAGE_WIDTH, 1019);
    m_pageHeight = value(1, tr("Page Height:"), IDC_PAGE_HEIGHT, 1020);
    m_signWidth = value(2, tr("Sign Width:"), IDC_SIGN_WIDTH, 1021);
    m_signHeight = value(3, tr("Sign Height:"), IDC_SIGN_HEIGHT, 1022);
    m_perPage = value(4, tr("Labels per Page:"), IDC_LABELS_PER_PAGE, 0);
    sizes->setColumnStretch(3, 1);

    m_picture = new CStockPicture(this);
    m_note = new QLabel(this);
    m_note->setObjectName(IdName(IDC_SIZE_NOTE));
    m_note->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("id1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("id2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CPaperStockDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPaperStockDlg::reject);

    auto* stockButtons = new QHBoxLayout;
    stockButtons->addWidget(newButton);
    stockButtons->addWidget(m_edit);
    stockButtons->addWidget(m_delete);
    stockButtons->addStretch(1);
    stockButtons->addWidget(printSetup);
    auto* left = new QVBoxLayout;
    left->addWidget(chooseBox, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(m_picture, 1);
    right->addWidget(sizeBox);
    right->addWidget(m_note);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right, 1);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(columns, 1);
    outer->addLayout(stockButtons);
    outer->addWidget(buttons);
    resize(700, 560);

    // The printer's bins; the working record is the current stock.
    QStringList sources;
    const int currentSource = ThePrinter().FillPaperSourceCombo(sources);
    m_source->addItems(sources);
    if (currentSource >= 0 && currentSource < sources.size())
        m_source->setCurrentIndex(currentSource);
    ThePaper().GetStock(QString(), m_work);
    Refresh();

    connect(m_category, &QComboBox::currentIndexChanged, this, [this] { OnCategory(); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { OnStock(); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    connect(newButton, &QPushButton::clicked, this, [this] { OnNewOrEdit(true); });
    connect(m_edit, &QPushButton::clicked, this, [this] { OnNewOrEdit(false); });
    connect(m_delete, &QPushButton::clicked, this, &CPaperStockDlg::OnDelete);
    connect(printSetup, &QPushButton::clicked, this, [this] {
        if (CPaperDesignDlg::s_printSetup)
            CPaperDesignDlg::s_printSetup(this);
    });
}

CPaperStockDlg::~CPaperStockDlg() = default;

void CPaperStockDlg::Refresh()
{
    m_filling = true;
    QStringList categories;
    ThePaper().FillCategoryCombo(categories);
    m_category->clear();
    m_category->addItems(categories);
    const int category = std::max(0, static_cast<int>(categories.indexOf(m_work.category)));
    m_category->setCurrentIndex(categories.isEmpty() ? -1 : category);
    const QStringList names = StocksOf(m_category->currentText());
    m_list->clear();
    m_list->addItems(names);
    const int row = static_cast<int>(names.indexOf(m_work.name));
    m_list->setCurrentRow(row >= 0 ? row : (names.isEmpty() ? -1 : 0));
    if (row < 0 && !names.isEmpty())
        ThePaper().GetStock(names.first(), m_work);
    m_filling = false;
    UpdateButtons();
    UpdateTexts();
}

void CPaperStockDlg::OnCategory()
{
    if (m_filling)
        return;
    m_filling = true;
    const QStringList names = StocksOf(m_category->currentText());
    m_list->clear();
    m_list->addItems(names);
    m_filling = false;
    if (!names.isEmpty()) {
        m_list->setCurrentRow(0); // loads it
    }
    UpdateButtons();
    UpdateTexts();
}

void CPaperStockDlg::OnStock()
{
    if (m_filling)
        return;
    if (QListWidgetItem* item = m_list->currentItem())
        ThePaper().GetStock(item->text(), m_work);
    UpdateButtons();
    UpdateTexts();
}

void CPaperStockDlg::UpdateButtons()
{
    const bool userStock = m_list->currentItem() && m_work.builtIn == 0;
    m_edit->setEnabled(userStock);
    m_delete->setEnabled(userStock);
}

void CPaperStockDlg::UpdateTexts()
{
    m_pageWidth->setText(FormatLength(m_work.pageWidth));
    m_pageHeight->setText(FormatLength(m_work.pageHeight));
    m_signWidth->setText(FormatLength(m_work.labelWidth));
    m_signHeight->setText(FormatLength(m_work.labelHeight));
    m_perPage->setText(QString::number(m_work.LabelsPerSheet()));
    const double noteWidth =
        (m_work.continuous ? m_work.pageWidth - 2 * m_work.leftMargin : m_work.pageWidth) * 0.1;
    m_note->setText(CPaperDesignDlg::SizeNote(noteWidth, m_work.pageHeight * 0.1));
    CStockPictureModel model = CStockPictureModel::FromStock(m_work);
    model.background =
        CStockPicture::LoadBackground(m_work.backgroundImage, m_work.backgroundOrientation);
    m_picture->SetModel(model);
}

void CPaperStockDlg::OnNewOrEdit(bool newStock)
{
    CPaperStock stock = m_work;
    if (!DesignPaperStock(this, stock, newStock))
        return;
    m_work = stock;
    Refresh();
}

void CPaperStockDlg::OnDelete()
{
    QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    const QString name = item->text();
    const CPaperStock* current = ThePaper().Current();
    if (current && current->name == name) {
        AppMessageBox(FormatStringId(IDS_PAPER_TYPE_IN_USE, {name}), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (AppMessageBox(FormatStringId(IDS_DELETE_PAPER_TYPE, {name}), MB_YESNO | MB_ICONQUESTION) !=
        IDYES)
        return;
    ThePaper().DeleteStock(name);
    ThePaper().GetStock(QString(), m_work);
    Refresh();
}

void CPaperStockDlg::accept()
{
    QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    m_selectedName = item->text();
    m_selectedSource = m_source->currentText();
    QDialog::accept();
}
