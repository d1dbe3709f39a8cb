#include "SignSelect.h"

#include "MessageBox.h"
#include "Messages.h"
#include "SignPreviewWnd.h"

#include <QDir>

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const char* const kSignFilter = "Tabrel Files (*.sgn);;All Files (*)";

} // namespace

CSignSelect::CSignSelect(QWidget* owner, bool open, const QString& proposed,
                         const QString& startFolder)
    : QFileDialog(owner)
{
    setObjectName(QStringLiteral("signSelect"));
    // The preview sits in the box itself, which needs Qt's own file box.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setOption(QFileDialog::ReadOnly, false);
    setWindowTitle(open ? tr("Open") : tr("Save As"));
    setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    setNameFilter(QString::fromLatin1(kSignFilter));
    setDefaultSuffix(QStringLiteral("sgn"));
    setOption(QFileDialog::DontConfirmOverwrite, true);

    const QFileInfo proposedInfo(proposed);
    if (!proposed.isEmpty() && proposedInfo.isFile()) {
        setDirectory(proposedInfo.absolutePath());
        selectFile(proposedInfo.fileName());
    } else {
        QString folder = startFolder;
        if (folder.isEmpty() && !proposed.isEmpty())
            folder = proposedInfo.isDir() ? proposed : proposedInfo.absolutePath();
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            setDirectory(folder);
        if (!open && !proposed.isEmpty() && !proposedInfo.isDir())
            selectFile(proposedInfo.fileName());
    }

    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(new QLabel(tr("Preview"), side));
    m_preview = new CSignPreviewWnd(side);
    m_preview->setMinimumSize(220, 220);
    m_preview->Clear();
    sideLayout->addWidget(m_preview, 1);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(side, 0, grid->columnCount(), grid->rowCount(), 1);
    else
        layout()->addWidget(side);

    m_previewTimer = new QTimer(this);
    m_previewTimer->setSingleShot(true);
    m_previewTimer->setInterval(150);
    connect(m_previewTimer, &QTimer::timeout, this, [this] { PreviewFile(m_pending); });
    connect(this, &QFileDialog::currentChanged, this, [this](const QString& path) {
        m_pending = path;
        m_previewTimer->start();
    });
    resize(860, 480);
}

QString CSignSelect::GetPathName() const
{
    const QStringList files = selectedFiles();
    return files.isEmpty() ? QString() : QFileInfo(files.first()).absoluteFilePath();
}

void CSignSelect::PreviewFile(const QString& path)
{
    m_previewTimer->stop();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        m_preview->Clear();
    else
        m_preview->ShowFile(path);
}

void CSignSelect::accept()
{
    if (acceptMode() == QFileDialog::AcceptSave) {
        QString path = GetPathName();
        if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".sgn");
        if (QFileInfo(path).isFile() &&
            AppMessageBox(FormatMessageText(tr("%1 already exists.\nDo you want to replace it?"),
                                            {QDir::toNativeSeparators(path)}),
                          MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
            return;
    }
    QFileDialog::accept();
}
