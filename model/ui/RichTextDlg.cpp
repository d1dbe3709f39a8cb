#include "RichTextDlg.h"

#include "Mivant.h"
#include "Text.h"
#include "WaitCursor.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>

#include <cmath>

CRichTextDlg::CRichTextDlg(CText* element, QWidget* parent) : QDialog(parent), m_element(element)
{
    setObjectName(QStringLiteral("id%1").arg(kDialogId));
    setWindowTitle(tr("Rich Text Editor"));
    auto* layout = new QVBoxLayout(this);
    m_control = new CMivant(this);
    m_control->setObjectName(QStringLiteral("id%1").arg(kControlId));
    layout->addWidget(m_control, 1);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("id1"));
    m_buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("id2"));
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &CRichTextDlg::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(560, 360);
}

void CRichTextDlg::InitDialog()
{
    if (m_initialised || !m_element)
        return;
    m_initialised = true;
    CWaitCursor wait;
    const CLogFont& font = m_element->m_font;
    const LogFontFields& lf = font.GetLogFont();
    m_control->SetPrinter(m_printerName);
    m_control->SetTextColour(m_element->m_textColour);
    m_control->SetDefaultFont(
        font.GetFaceName(), static_cast<int>(std::trunc(font.HeightToPoints() * 20.0)),
        lf.lfCharSet, lf.lfWeight == 700, lf.lfItalic != 0, lf.lfUnderline != 0);
    m_control->SetText(m_element->m_sampleText);
}

int CRichTextDlg::exec()
{
    InitDialog();
    return QDialog::exec();
}

void CRichTextDlg::showEvent(QShowEvent* event)
{
    InitDialog();
    QDialog::showEvent(event);
}

void CRichTextDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // The layout moves the buttons; the control's editing area follows the
    // change of size since the first one.
    if (!m_firstSize.isValid()) {
        m_firstSize = event->size();
        m_controlStart = m_control->size();
        return;
    }
    const QSize change = event->size() - m_firstSize;
    m_control->SetSize(std::max(0, m_controlStart.width() + change.width()) / 2,
                       std::max(0, m_controlStart.height() + change.height()) / 2);
}

void CRichTextDlg::accept()
{
    if (m_element)
        m_element->m_sampleText = m_control->GetText();
    QDialog::accept();
}
