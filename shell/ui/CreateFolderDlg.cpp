#include "CreateFolderDlg.h"

#include "MessageBox.h"
#include "Messages.h"
#include "ResourceIds.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CCreateFolderDlg::CCreateFolderDlg(const QString& currentFolder, QWidget* parent)
    : QDialog(parent), m_current(QDir::fromNativeSeparators(currentFolder))
{
    setObjectName(QStringLiteral("createFolder"));
    setWindowTitle(tr("Create Folder"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto* current = new QLabel(QDir::toNativeSeparators(currentFolder), this);
    current->setObjectName(QStringLiteral("id%1").arg(IDC_CURRENT));
    form->addRow(tr("Current Folder :"), current);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("id%1").arg(IDC_NAME));
    form->addRow(tr("&Name :"), m_name);
    layout->addLayout(form);
    auto* note = new QLabel(tr("Note : You can create a folder automatically by typing the name in "
                               "the \"Extract To\" field of the Import dialog box."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("id%1").arg(IDOK));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("id%1").arg(IDCANCEL));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CCreateFolderDlg::accept()
{
    const QString typed = m_name->text().trimmed();
    if (typed.isEmpty())
        return;
    // A name with a separator or a colon is a path of its own.
    QString path = QDir::fromNativeSeparators(typed);
    if (!typed.contains(u'/') && !typed.contains(u'\\') && !typed.contains(u':'))
        path = QDir(m_current).filePath(typed);
    const QFileInfo info(path);
    if (info.exists() || !QDir().mkdir(path)) {
        AppMessageBoxIdArgs(IDS_CANNOT_CREATE_FOLDER, {QDir::toNativeSeparators(path)},
                            MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_path = QFileInfo(path).canonicalFilePath();
    QDialog::accept();
}
