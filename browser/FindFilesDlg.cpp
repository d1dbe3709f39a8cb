#include "FindFilesDlg.h"

#include "BrowseItem.h"
#include "Messages.h"
#include "ResourceIds.h"
#include "Strings.h"
#include "WaitCursor.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString WithoutTrailingSeparator(QString folder)
{
    while (folder.size() > 1 &&
           (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))))
        folder.chop(1);
    return folder;
}

int SearchFolder(const QString& folder, const QString& pattern, bool subfolders,
                 std::vector<CFindFilesDlg::Found>& rows, QSet<QString>& visited)
{
    const QFileInfo here(folder);
    const QString canonical = here.canonicalFilePath();
    if (canonical.isEmpty() || !here.isDir() || visited.contains(canonical))
        return 0;
    visited.insert(canonical);

    QDir dir(folder);
    int count = 0;
    const QFileInfoList matches = dir.entryInfoList(
        {pattern}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
        QDir::Name | QDir::IgnoreCase);
    const QString shownFolder = WithoutTrailingSeparator(QDir::cleanPath(here.absoluteFilePath()));
    for (const QFileInfo& info : matches) {
        CFindFilesDlg::Found row;
        row.name = info.fileName();
        row.folder = shownFolder;
        row.size = info.isDir() ? 0 : info.size();
        row.modified = info.lastModified();
        rows.insert(rows.begin() + count, row);
        ++count;
    }
    if (subfolders) {
        QFileInfoList folders =
            dir.entryInfoList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                              QDir::Name | QDir::IgnoreCase);
        // Folders themselves before links to folders, so that a file is
        // shown in its own folder rather than through a link to it.
        std::stable_partition(folders.begin(), folders.end(),
                              [](const QFileInfo& sub) { return !sub.isSymLink(); });
        for (const QFileInfo& sub : folders)
            count += SearchFolder(sub.absoluteFilePath(), pattern, subfolders, rows, visited);
    }
    return count;
}

} // namespace

int CFindFilesDlg::Search(const QString& folder, const QString& pattern, bool subfolders,
                          std::vector<Found>& rows)
{
    QSet<QString> visited;
    return SearchFolder(folder, pattern.isEmpty() ? QStringLiteral("*") : pattern, subfolders, rows,
                        visited);
}

CFindFilesDlg::CFindFilesDlg(const QString& folder, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("id%1").arg(IDD));
    setWindowTitle(tr("Find Files"));

    m_lookFor = new QLineEdit(QStringLiteral("*.") + QLatin1String(kSignSuffix), this);
    m_lookFor->setObjectName(QStringLiteral("id%1").arg(IDC_LOOK_FOR));
    m_lookIn = new QLineEdit(folder, this);
    m_lookIn->setObjectName(QStringLiteral("id%1").arg(IDC_LOOK_IN));
    auto* findNow = new QPushButton(tr("&Find Now"), this);
    findNow->setObjectName(QStringLiteral("id%1").arg(IDC_FIND_NOW));
    m_subfolders = new QCheckBox(tr("Include &subfolders"), this);
    m_subfolders->setObjectName(QStringLiteral("id%1").arg(IDC_SUBFOLDERS));
    m_subfolders->setChecked(true);

    m_results = new QTreeWidget(this);
    m_results->setObjectName(QStringLiteral("id%1").arg(IDC_RESULTS));
    m_results->setRootIsDecorated(false);
    m_results->setSelectionMode(QAbstractItemView::SingleSelection);
    m_results->setHeaderLabels({LoadStringId(IDS_COLUMN_NAME), LoadStringId(IDS_COLUMN_FOLDER),
                                LoadStringId(IDS_COLUMN_SIZE), LoadStringId(IDS_COLUMN_MODIFIED)});
    const int widths[] = {120, 220, 50, 90};
    for (int i = 0; i < 4; ++i)
        m_results->setColumnWidth(i, widths[i]);
    m_results->headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);

    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("id%1").arg(IDC_COUNT));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("id1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("id2"));

    auto* fields = new QFormLayout;
    fields->addRow(tr("Look f&or:"), m_lookFor);
    fields->addRow(tr("Look &in:"), m_lookIn);
    auto* top = new QHBoxLayout;
    top->addLayout(fields, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(findNow);
    side->addStretch();
    top->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_subfolders);
    layout->addWidget(m_results, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_count, 1);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);
    resize(560, 380);

    connect(findNow, &QPushButton::clicked, this, &CFindFilesDlg::OnFindNow);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_results, &QTreeWidget::itemSelectionChanged, this,
            &CFindFilesDlg::OnSelectionChanged);
    connect(m_results, &QTreeWidget::itemDoubleClicked, this, [this] { accept(); });
}

void CFindFilesDlg::OnFindNow()
{
    const CWaitCursor wait;
    m_results->clear();
    m_result.clear();
    QString pattern = m_lookFor->text().trimmed();
    if (pattern.isEmpty())
        pattern = QStringLiteral("*.*");
    // "*.*" means every name here, dotted or not.
    if (pattern == QLatin1String("*.*"))
        pattern = QStringLiteral("*");
    std::vector<Found> rows;
    const int count = Search(m_lookIn->text().trimmed(), pattern, m_subfolders->isChecked(), rows);
    for (const Found& found : rows) {
        BrowseItem item;
        item.name = found.name;
        item.size = found.size;
        item.modified = found.modified;
        auto* row = new QTreeWidgetItem(m_results);
        row->setText(0, found.name);
        row->setText(1, found.folder);
        row->setText(2, item.ColumnText(1));
        row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        row->setText(3, item.ColumnText(3));
    }
    m_count->setText(FormatStringId(IDS_FILES_FOUND, {QString::number(count)}));
}

void CFindFilesDlg::OnSelectionChanged()
{
    const QList<QTreeWidgetItem*> selected = m_results->selectedItems();
    if (selected.isEmpty())
        return;
    QString folder = selected.front()->text(1);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    m_result = folder + selected.front()->text(0);
}
