#include "BrowseInfoPane.h"


#include "AppContext.h"
#include "Archive.h"
#include "DataSourceMap.h"
#include "ElementList.h"
#include "MessageBox.h"
#include "PictureButton.h"
#include "ResourceIds.h"
#include "SignData.h"
#include "SignPreviewWnd.h"
#include "Strings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

#include <new>

namespace {

constexpr int kGap = 5;
constexpr int kCaptionWidth = 80;
constexpr int kFieldHeight = 22;

// The text after the first line break of a string-table entry: its tool tip.
QString TipOf(int id)
{
    const QString text = LoadStringId(id);
    const qsizetype newline = text.indexOf(QLatin1Char('\n'));
    return newline < 0 ? QString() : text.mid(newline + 1).left(80);
}

} // namespace

CBrowseInfoPane::CBrowseInfoPane(CSignData& document, QWidget* parent)
    : QWidget(parent), m_document(document)
{
    setObjectName(QStringLiteral("id%1").arg(IDD));
    setAutoFillBackground(true);
    const QString captions[5] = {tr("Folder:"), tr("File:"), tr("Title:"), tr("Author:"),
                                 tr("Description:")};
    for (int i = 0; i < 5; ++i)
        m_captions[i] = new QLabel(captions[i], this);
    auto field = [this](int id) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("id%1").arg(id));
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };
    m_folder = field(IDC_FOLDER);
    m_file = field(IDC_FILE);
    m_title = field(IDC_TITLE);
    m_author = field(IDC_AUTHOR);
    m_description = new QPlainTextEdit(this);
    m_description->setObjectName(QStringLiteral("id%1").arg(IDC_DESCRIPTION));
    m_description->setReadOnly(true);

    // The raised picture button with the program's print picture.
    auto* print = new CPictureButton(tr("Print"), this);
    print->SetFlat(false);
    print->SetIcon(QStringLiteral(":/icons/print.png"));
    if (!print->HasIcon())
        print->SetIconHandles(style()->standardIcon(QStyle::SP_DialogApplyButton));
    m_print = print;
    m_print->setObjectName(QStringLiteral("id%1").arg(IDC_PRINT));
    m_print->setIconSize(QSize(32, 32));
    m_print->setMinimumSize(96, 56);
    m_print->resize(96, 56);
    m_print->setEnabled(false);
    connect(m_print, &QPushButton::clicked, this, &CBrowseInfoPane::printRequested);

    m_preview = new CSignPreviewWnd(this);
    UpdatePrintTip();
    Layout();
}

void CBrowseInfoPane::SetFolder(const QString& folder)
{
    m_folder->setText(QDir::toNativeSeparators(folder));
}

BOOL CBrowseInfoPane::Load(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        m_problem = tr("%1 cannot be opened.").arg(QFileInfo(path).fileName());
        return FALSE;
    }
    App().loadOutcome = 0;
    // What the reader would tell in a box goes to the status bar instead: a
    // file chosen in the browser is only looked at. Questions are still
    // asked.
    QString told;
    MessageBoxPresenter previous;
    previous =
        SetMessageBoxPresenter([&told, &previous](const QString& text, unsigned style, int helpId) {
            if ((style & 0x0F) != MB_OK)
                return previous ? previous(text, style, helpId) : DefaultMessageBoxAnswer(style);
            if (told.isEmpty())
                told = text.simplified();
            return int(IDOK);
        });
    struct Restore
    {
        MessageBoxPresenter& previous;
        ~Restore() { SetMessageBoxPresenter(previous); }
    } restore{previous};
    CArchive ar(&file, CArchive::load);
    ar.SetFilePath(path);
    try {
        m_document.Serialize(ar);
    } catch (const CUserException&) {
        m_problem = told.isEmpty() ? tr("%1 was not loaded.").arg(QFileInfo(path).fileName())
                                   : QFileInfo(path).fileName() + QStringLiteral(": ") + told;
        return FALSE;
    } catch (const CArchiveException&) {
        m_problem = tr("%1 is not a sign that can be read.").arg(QFileInfo(path).fileName());
        return FALSE;
    } catch (const std::bad_alloc&) {
        m_problem = tr("%1 is too large to be read.").arg(QFileInfo(path).fileName());
        return FALSE;
    } catch (const std::exception&) {
        m_problem = tr("%1 is not a sign that can be read.").arg(QFileInfo(path).fileName());
        return FALSE;
    }
    m_problem = told;
    // A sign whose database could not be reached keeps its elements'
    // sample values.
    if (App().loadOutcome == 1) {
        TheElementList().BreakDataLinks();
        TheDataSourceMap().Rebuild();
    }
    return TRUE;
}

BOOL CBrowseInfoPane::ShowSign(const QString& path)
{
    m_problem.clear();
    m_document.DeleteContents();
    m_document.SetPathName(QString());
    BOOL loaded = FALSE;
    if (!path.isEmpty()) {
        loaded = Load(path);
        if (!loaded)
            m_document.DeleteContents();
    }
    if (loaded) {
        const QFileInfo info(path);
        m_document.SetPathName(info.absoluteFilePath());
        m_document.SetModifiedFlag(false);
        m_file->setText(info.fileName());
        m_title->setText(m_document.m_title);
        m_author->setText(m_document.m_author);
        m_description->setPlainText(m_document.m_description);
    } else {
        m_file->clear();
        m_title->clear();
        m_author->clear();
        m_description->clear();
    }
    m_print->setEnabled(loaded);
    UpdatePrintTip();
    RefreshPreview();
    return loaded;
}

void CBrowseInfoPane::RefreshPreview()
{
    m_preview->SetPosition(m_preview->geometry());
}

void CBrowseInfoPane::UpdatePrintTip()
{
    const bool linked = m_print->isEnabled() && TheElementList().HasLinkedElements();
    m_print->setToolTip(TipOf(linked ? IDS_ENTER_PRINT_DATA_PROMPT : IDS_PRINT_SIGN_PROMPT));
}

void CBrowseInfoPane::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout();
}

void CBrowseInfoPane::Layout()
{
    const QRect c = rect();
    const int half = c.width() / 2;
    // The Print button keeps its size at the bottom right.
    const QSize button = m_print->size();
    m_print->move(c.right() - kGap - button.width() + 1, c.bottom() - kGap - button.height() + 1);

    // The fields fill the left half below each other; the description takes
    // what is left down to the bottom.
    const int fieldLeft = kGap + kCaptionWidth;
    const int fieldRight = std::max(fieldLeft + 10, half - kGap);
    QWidget* fields[4] = {m_folder, m_file, m_title, m_author};
    int y = kGap;
    for (int i = 0; i < 4; ++i) {
        m_captions[i]->setGeometry(kGap, y, kCaptionWidth - kGap, kFieldHeight);
        fields[i]->setGeometry(fieldLeft, y, fieldRight - fieldLeft, kFieldHeight);
        y += kFieldHeight + kGap;
    }
    m_captions[4]->setGeometry(kGap, y, kCaptionWidth - kGap, kFieldHeight);
    const int descriptionBottom = std::max(y + kFieldHeight, c.bottom() - kGap);
    m_description->setGeometry(fieldLeft, y, fieldRight - fieldLeft, descriptionBottom - y + 1);

    // The preview between the fields and the Print button, from the Folder
    // field's top to the Description's bottom.
    const int previewLeft = half + kGap;
    const int previewRight = std::max(previewLeft + 1, m_print->x() - kGap);
    m_preview->SetPosition(
        QRect(QPoint(previewLeft, kGap), QPoint(previewRight - 1, descriptionBottom)));
}
