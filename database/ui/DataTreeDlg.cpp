#include "DataTreeDlg.h"

#include "DataSourceMap.h"
#include "NodeIcons.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <vector>

CDataTreeDlg::CDataTreeDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("id%1").arg(IDD));
    setWindowTitle(tr("Data Tree"));
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("id%1").arg(IDC_TREE));
    m_tree->setHeaderHidden(true);
    m_tree->setIconSize(QSize(16, 16));
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    box->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("id1"));
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addWidget(box);

    // The walk gives each item after its parent, with its depth: the last
    // item of each depth is the parent of the next deeper one.
    std::vector<QTreeWidgetItem*> parents;
    TheDataSourceMap().WalkTree([&](const QString& name, int kind, int depth) {
        if (depth < 0 || size_t(depth) > parents.size())
            return;
        parents.resize(size_t(depth));
        auto* item = depth == 0 ? new QTreeWidgetItem(m_tree) : new QTreeWidgetItem(parents.back());
        item->setText(0, name);
        item->setData(0, Qt::UserRole, kind);
        item->setIcon(0, NodeKindIcon(kind));
        parents.push_back(item);
    });
    m_tree->expandAll();
    resize(360, 420);
}
