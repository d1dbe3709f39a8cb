#include "MissingFileDlg.h"

#include "FileName.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "Messages.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The name part of a stored path, which may use either separator.
QString NameOf(const QString& path)
{
    QString name = path;
    name.replace(u'\\', u'/');
    return name.mid(name.lastIndexOf(u'/') + 1);
}

QString ChooseReplacement(QWidget* parent, const QString& missingPath)
{
    CFileChoice choice;
    choice.title = QObject::tr("Browse");
    choice.filter = CMissingFileDlg::FilterFor(missingPath);
    choice.suggested = missingPath;
    if (const FileChooser& chooser = FrameHooks().chooseFile)
        return chooser(parent, choice);
    QFileDialog box(parent, choice.title, QFileInfo(missingPath).absolutePath(), choice.filter);
    box.setAcceptMode(QFileDialog::AcceptOpen);
    box.setFileMode(QFileDialog::ExistingFile);
    box.setOption(QFileDialog::ReadOnly, false);
    box.selectFile(NameOf(missingPath));
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return QString();
    return box.selectedFiles().first();
}

// Why a file cannot be read at all; empty when it can.
QString Unreadable(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QObject::tr("it does not exist");
    if (!info.isFile())
        return QObject::tr("it is not a file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    return QString();
}

} // namespace

CMissingFileDlg::CMissingFileDlg(const QString& missingPath, QWidget* parent)
    : QDialog(parent), m_path(missingPath)
{
    setObjectName(QStringLiteral("id%1").arg(IDD));
    setWindowTitle(tr("Missing File"));
    // A title and nothing to close it with: Browse or Abort.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    auto* text = new QLabel(tr("Unable to locate required file :"), this);
    auto* path = new QLabel(QDir::toNativeSeparators(ElideMiddle(missingPath, 260)), this);
    path->setObjectName(QStringLiteral("id%1").arg(IDC_PATH));
    path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    path->setWordWrap(true);
    path->setMinimumWidth(320);
    path->setToolTip(QDir::toNativeSeparators(missingPath));

    auto* browse = new QPushButton(tr("&Browse..."), this);
    browse->setObjectName(QStringLiteral("id%1").arg(IDC_BROWSE));
    browse->setDefault(true);
    browse->setAutoDefault(true);
    auto* abort = new QPushButton(tr("&Abort"), this);
    abort->setObjectName(QStringLiteral("id%1").arg(IDABORT));
    abort->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &CMissingFileDlg::OnBrowse);
    connect(abort, &QPushButton::clicked, this, &CMissingFileDlg::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(browse);
    buttons->addWidget(abort);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(path);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    browse->setFocus();
}

QString CMissingFileDlg::FilterFor(const QString& missingPath)
{
    const QString own = CFileName(NameOf(missingPath)).GetExtensionFilter(QStringLiteral("*.*"));
    // "*.*" stands for every name, with or without a dot.
    const auto patternOf = [](const QString& e) { return e == u"*.*" ? QStringLiteral("*") : e; };
    return own + QStringLiteral(" (") + patternOf(own) + QStringLiteral(");;*.* (*)");
}

void CMissingFileDlg::OnBrowse()
{
    const QString chosen = ChooseReplacement(this, m_path);
    if (chosen.isEmpty()) {
        done(IDABORT);
        return;
    }
    QString why = Unreadable(chosen);
    if (why.isEmpty() && m_check)
        why = m_check(chosen);
    if (!why.isEmpty()) {
        // The file stays missing until one that serves is chosen: the box
        // stays, to browse again or abort.
        AppMessageBox(FormatMessageText(tr("The file \"%1\" cannot be used in its place: %2."),
                                        {QDir::toNativeSeparators(chosen), why}),
                      MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_path = QFileInfo(chosen).absoluteFilePath();
    done(IDOK);
}

void CMissingFileDlg::reject()
{
    done(IDABORT);
}

QString AskForMissingFile(const QString& missingPath, const CMissingFileDlg::FileCheck& check,
                          QWidget* parent)
{
    CMissingFileDlg dialog(missingPath, parent);
    dialog.SetFileCheck(check);
    return dialog.exec() == IDOK ? dialog.GetPathName() : QString();
}
