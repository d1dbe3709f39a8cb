#include "CombinationDlg.h"

#include "Combination.h"
#include "MessageBox.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CCombinationDlg::CCombinationDlg(CCombination& combination, const QStringList& linkedElements,
                                 QWidget* parent)
    : QDialog(parent), m_combination(combination)
{
    setObjectName(QStringLiteral("id%1").arg(kDialogId));
    setWindowTitle(tr("Combination"));
    const auto named = [](QWidget* widget, int id) {
        widget->setObjectName(QStringLiteral("id%1").arg(id));
        return widget;
    };

    m_elements = new QListWidget(this);
    named(m_elements, 1166);
    m_elements->addItems(linkedElements);
    m_items = new QListWidget(this);
    named(m_items, 1550);
    const std::size_t count =
        std::min(combination.m_itemKinds.size(), std::size_t(combination.m_itemTexts.size()));
    for (std::size_t i = 0; i < count; ++i)
        m_items->addItem(CCombination::ItemDisplayText(combination.m_itemKinds[i],
                                                       combination.m_itemTexts[qsizetype(i)]));
    m_freeText = new QLineEdit(this);
    named(m_freeText, 1049);
    m_code = new QLineEdit(this);
    named(m_code, 1501);
    // A character code is a number from 0 to 255.
    m_code->setValidator(new QIntValidator(0, 255, m_code));
    m_code->setMaxLength(3);
    m_add = new QPushButton(tr("Add"), this);
    named(m_add, 1243);
    m_remove = new QPushButton(tr("Remove"), this);
    named(m_remove, 1284);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Variable Elements :"), this), 0, 0);
    grid->addWidget(new QLabel(tr("Combination :"), this), 0, 2);
    grid->addWidget(m_elements, 1, 0);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(m_add);
    middle->addWidget(m_remove);
    middle->addStretch();
    grid->addLayout(middle, 1, 1);
    grid->addWidget(m_items, 1, 2);
    auto* freeLabel = new QLabel(tr("Free Text :"), this);
    freeLabel->setBuddy(m_freeText);
    grid->addWidget(freeLabel, 2, 0);
    grid->addWidget(m_freeText, 3, 0);
    auto* codeLabel = new QLabel(tr("ASCII Code :"), this);
    codeLabel->setBuddy(m_code);
    grid->addWidget(codeLabel, 4, 0);
    grid->addWidget(m_code, 5, 0);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_add, &QPushButton::clicked, this, &CCombinationDlg::OnAdd);
    connect(m_remove, &QPushButton::clicked, this, &CCombinationDlg::OnRemove);
    connect(m_elements, &QListWidget::itemSelectionChanged, this, &CCombinationDlg::UpdateButtons);
    connect(m_items, &QListWidget::itemSelectionChanged, this, &CCombinationDlg::UpdateButtons);
    connect(m_freeText, &QLineEdit::textChanged, this, &CCombinationDlg::UpdateButtons);
    connect(m_code, &QLineEdit::textChanged, this, &CCombinationDlg::UpdateButtons);
    UpdateButtons();
}

void CCombinationDlg::OnAdd()
{
    // A code that is no number from 0 to 255 is refused before anything
    // goes in.
    if (!m_code->text().isEmpty() && !m_code->hasAcceptableInput()) {
        AppMessageBox(tr("The ASCII code must be a number from 0 to 255."),
                      MB_OK | MB_ICONEXCLAMATION);
        m_code->setFocus();
        m_code->selectAll();
        return;
    }
    // All that is chosen and typed goes in at one click, in this order.
    const QList<QListWidgetItem*> selected = m_elements->selectedItems();
    if (!selected.isEmpty()) {
        const QString name = selected.first()->text();
        m_combination.AddItem(CCombination::ITEM_ELEMENT, name);
        m_items->addItem(name);
        m_elements->clearSelection();
    }
    if (!m_freeText->text().isEmpty()) {
        const QString text = m_freeText->text();
        m_combination.AddItem(CCombination::ITEM_TEXT, text);
        m_items->addItem(CCombination::ItemDisplayText(CCombination::ITEM_TEXT, text));
        m_freeText->clear();
    }
    if (!m_code->text().isEmpty()) {
        const QString code = m_code->text();
        m_combination.AddItem(CCombination::ITEM_CHARACTER, code);
        m_items->addItem(CCombination::ItemDisplayText(CCombination::ITEM_CHARACTER, code));
        m_code->clear();
    }
    UpdateButtons();
}

void CCombinationDlg::OnRemove()
{
    const int row = m_items->currentRow();
    if (row < 0 || m_items->selectedItems().isEmpty())
        return;
    if (m_combination.RemoveItem(row))
        delete m_items->takeItem(row);
    UpdateButtons();
}

void CCombinationDlg::UpdateButtons()
{
    m_add->setEnabled(!m_elements->selectedItems().isEmpty() || !m_freeText->text().isEmpty() ||
                      !m_code->text().isEmpty());
    m_remove->setEnabled(!m_items->selectedItems().isEmpty());
    m_ok->setEnabled(m_items->count() > 0);
}
