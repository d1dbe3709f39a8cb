#include "SignPropertiesDlg.h"

#include "AppContext.h"
#include "Messages.h"
#include "SignData.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString FullTime(const QDateTime& time)
{
    return time.isValid() ? QLocale().toString(time, QStringLiteral("dd MMMM yyyy HH:mm:ss"))
                          : QString();
}

QString Day(const QDateTime& time)
{
    return time.isValid() ? QLocale().toString(time, QStringLiteral("dd MMMM yyyy")) : QString();
}

} // namespace

CSignPropertiesDlg::CSignPropertiesDlg(CSignData& document, QWidget* parent)
    : QDialog(parent), m_document(document)
{
    setObjectName(QStringLiteral("signProperties"));
    setWindowTitle(tr("Template Properties"));

    auto* fileGroup = new QGroupBox(tr("File"), this);
    auto* fileForm = new QFormLayout(fileGroup);
    const QString& path = document.GetPathName();
    const bool saved = !path.isEmpty();
    const QFileInfo info(path);
    AddInfo(fileForm, tr("File Name:"), QStringLiteral("fileName"),
            saved ? info.fileName() : LoadStringId(IDS_UNTITLED));
    AddInfo(fileForm, tr("File Location:"), QStringLiteral("fileLocation"),
            saved ? QDir::toNativeSeparators(info.absolutePath()) : QString());
    AddInfo(fileForm, tr("File Size:"), QStringLiteral("fileSize"),
            saved ? tr("%1 bytes").arg(info.size()) : QString());
    QDateTime created = saved ? info.birthTime() : QDateTime();
    if (saved && !created.isValid())
        created = info.metadataChangeTime();
    AddInfo(fileForm, tr("Created:"), QStringLiteral("created"), FullTime(created));
    AddInfo(fileForm, tr("Modified:"), QStringLiteral("modified"),
            saved ? FullTime(info.lastModified()) : QString());
    AddInfo(fileForm, tr("Accessed:"), QStringLiteral("accessed"),
            saved ? Day(info.lastRead()) : QString());
    QLabel* version = AddInfo(fileForm, tr("Last modified by version:"), QStringLiteral("version"),
                              QString::asprintf("%.2f", App().fileVersion / 100.0));
    if (!saved)
        fileForm->setRowVisible(version, false);

    auto* summary = new QGroupBox(tr("Summary"), this);
    auto* summaryForm = new QFormLayout(summary);
    m_title = new QLineEdit(document.m_title, summary);
    m_title->setObjectName(QStringLiteral("title"));
    summaryForm->addRow(tr("&Title:"), m_title);
    m_author = new QLineEdit(document.m_author, summary);
    m_author->setObjectName(QStringLiteral("author"));
    summaryForm->addRow(tr("&Author:"), m_author);
    m_description = new QPlainTextEdit(document.m_description, summary);
    m_description->setObjectName(QStringLiteral("description"));
    m_description->setTabChangesFocus(true);
    m_description->setFixedHeight(m_description->fontMetrics().lineSpacing() * 4 + 12);
    summaryForm->addRow(tr("&Description:"), m_description);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("id%1").arg(IDOK));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("id%1").arg(IDCANCEL));
    connect(buttons, &QDialogButtonBox::accepted, this, &CSignPropertiesDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fileGroup);
    layout->addWidget(summary);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    m_title->setFocus();
}

QLabel* CSignPropertiesDlg::AddInfo(QFormLayout* form, const QString& label, const QString& name,
                                    const QString& value)
{
    auto* text = new QLabel(value, form->parentWidget());
    text->setObjectName(name);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(label, text);
    return text;
}

void CSignPropertiesDlg::accept()
{
    m_document.m_title = m_title->text();
    m_document.m_author = m_author->text();
    m_document.m_description = m_description->toPlainText();
    QDialog::accept();
}
