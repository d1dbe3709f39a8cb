#include "CustomViewsDlg.h"

#include "Messages.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton* NumberedButton(const QString& text, int id, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QStringLiteral("id%1").arg(id));
    button->setAutoDefault(false);
    return button;
}

} // namespace

CCustomViewsDlg::CCustomViewsDlg(CCustomViewList views, CDatabaseLink& link, QWidget* parent)
    : QDialog(parent), m_views(std::move(views)), m_link(link)
{
    setWindowTitle(tr("Custom Views"));
    setObjectName(QStringLiteral("CustomViewsDlg"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(tr("Views :"), this), 0, 0);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("id%1").arg(IDC_VIEWS));
    layout->addWidget(m_list, 1, 0, 4, 1);
    auto* nameLabel = new QLabel(tr("Name :"), this);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("id%1").arg(IDC_NAME));
    nameLabel->setBuddy(m_name);
    layout->addWidget(nameLabel, 0, 1);
    layout->addWidget(m_name, 1, 1);
    m_query = new QPlainTextEdit(this);
    m_query->setObjectName(QStringLiteral("id%1").arg(IDC_QUERY));
    layout->addWidget(m_query, 2, 1);
    auto* row = new QHBoxLayout;
    m_add = NumberedButton(tr("Add"), IDC_ADD, this);
    m_update = NumberedButton(tr("Update"), IDC_UPDATE, this);
    m_delete = NumberedButton(tr("Delete"), IDC_DELETE, this);
    m_test = NumberedButton(tr("Test"), IDC_TEST, this);
    for (QPushButton* button : {m_add, m_update, m_delete, m_test})
        row->addWidget(button);
    layout->addLayout(row, 3, 1);
    auto* buttons = new QDialogButtonBox(this);
    m_use = buttons->addButton(tr("Use"), QDialogButtonBox::AcceptRole);
    m_use->setObjectName(QStringLiteral("idOK"));
    buttons->addButton(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("idCancel"));
    layout->addWidget(buttons, 5, 0, 1, 2);

    FillViewList(*m_list, m_views);
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] { ShowSelection(); });
    connect(m_name, &QLineEdit::textChanged, this, [this] { SetButtons(); });
    connect(m_query, &QPlainTextEdit::textChanged, this, [this] { SetButtons(); });
    connect(m_add, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(m_update, &QPushButton::clicked, this, [this] { OnUpdate(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { OnDelete(); });
    connect(m_test, &QPushButton::clicked, this, [this] { OnTest(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnUse(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    SetButtons();
}

QString CCustomViewsDlg::SelectedName() const
{
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? QString() : selected.front()->text();
}

void CCustomViewsDlg::ShowSelection()
{
    const QString name = SelectedName();
    m_name->setText(name);
    m_query->setPlainText(name.isEmpty() ? QString() : m_views.Find(name));
    SetButtons();
}

void CCustomViewsDlg::SetButtons()
{
    const QString name = m_name->text();
    const QString query = m_query->toPlainText();
    const QString selected = SelectedName();
    const bool listed = !m_views.Find(name).isNull();
    m_add->setEnabled(!name.trimmed().isEmpty() && !listed && !query.trimmed().isEmpty());
    m_update->setEnabled(!selected.isEmpty() && name.compare(selected, Qt::CaseInsensitive) == 0 &&
                         query.compare(m_views.Find(selected), Qt::CaseInsensitive) != 0 &&
                         !query.trimmed().isEmpty());
    m_delete->setEnabled(!selected.isEmpty());
    m_use->setEnabled(!selected.isEmpty());
    m_test->setEnabled(!query.trimmed().isEmpty());
}

void CCustomViewsDlg::OnAdd()
{
    const QString name = m_name->text().trimmed();
    const QString query = m_query->toPlainText().trimmed();
    if (name.isEmpty() || query.isEmpty() || !m_views.Find(name).isNull())
        return;
    m_views.Set(name, query);
    m_list->addItem(name);
    m_list->setCurrentRow(m_list->count() - 1);
    ShowSelection();
}

void CCustomViewsDlg::OnUpdate()
{
    const QString selected = SelectedName();
    const QString query = m_query->toPlainText().trimmed();
    if (selected.isEmpty() || query.isEmpty())
        return;
    m_views.Set(selected, query);
    SetButtons();
}

void CCustomViewsDlg::OnDelete()
{
    const QString selected = SelectedName();
    if (selected.isEmpty())
        return;
    m_views.Remove(selected);
    delete m_list->takeItem(m_list->currentRow());
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    else
        m_list->clearSelection();
    ShowSelection();
}

void CCustomViewsDlg::OnTest()
{
    const QString query = m_query->toPlainText().trimmed();
    if (query.isEmpty())
        return;
    // The query is opened as the view it would be.
    const QString used = m_link.m_customViewQuery;
    m_link.m_customViewQuery = query;
    const int count = m_link.OpenRecordset();
    m_link.m_customViewQuery = used;
    AppMessageBoxIdArgs(IDS_RECORDS_CREATED, {QString::number(count)}, MB_OK | MB_ICONINFORMATION);
    m_link.CloseRecordset();
}

void CCustomViewsDlg::OnUse()
{
    const QString selected = SelectedName();
    if (selected.isEmpty())
        return;
    m_chosen = selected;
    accept();
}

int FillViewList(QListWidget& list, const CCustomViewList& views)
{
    list.clear();
    for (const auto& [name, query] : views.Views())
        list.addItem(name);
    return list.count();
}

QString RunCustomViews(QWidget* parent, CDatabaseLink& link)
{
    CCustomViewsDlg dialog(TheCustomViewList(), link, parent);
    const bool used = dialog.exec() == QDialog::Accepted;
    TheCustomViewList() = dialog.Views();
    return used ? dialog.ChosenName() : QString();
}
