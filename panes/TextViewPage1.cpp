#include "TextViewPage1.h"

#include "FontColourBlock.h"
#include "ListCtrlEx.h"
#include "PositionSizeBlock.h"
#include "RotationBlock.h"
#include "TextView.h"
#include "TextViewPage2.h"
#include "TextViewPage3.h"

#include "EditTextDlg.h"
#include "Helpers.h"
#include "MessageBox.h"
#include "Printer.h"
#include "RichTextDlg.h"
#include "Text.h"
#include "TextPreview.h"
#include "Variable.h"
#include "VariableList.h"
#include "WaitCursor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace PaneBuild;

namespace {

// Characters of a typed text as the sign counts them: a line break is a
// CR LF pair, two characters.
int CountWithPairs(const QString& text)
{
    const QString normal = NormalizeLineBreaks(text);
    return static_cast<int>(normal.size() + normal.count(u'\n'));
}

int LinesOf(const QString& text)
{
    return static_cast<int>(NormalizeLineBreaks(text).count(u'\n')) + 1;
}

int Run(QDialog* dialog)
{
    return dialog->exec();
}

QString SourceKey(const CText* t)
{
    return QString::number(t->m_dataSource) + u':' + t->m_sourceName;
}

} // namespace

CTextViewPage1::CTextViewPage1(CTextView* pane, QWidget* parent) : CPanePage(parent), m_pane(pane)
{
    Named(this, 372);
    auto* layout = new QVBoxLayout(this);

    CPaneBlock::Edits edits{[pane](QObject* control) -> CElement* { return pane->BeginEdit(control); },
                            [pane](CElement* e) { pane->EndEdit(static_cast<CText*>(e)); },
                            {}};
    m_position = new CPositionSizeBlock(
        {tr("Position")}, edits,
        CPositionSizeBlock::PositionOf<CText>(),
        [](CElement* e, CPositionSizeBlock::Field field, int tenths) {
            OnPosition(static_cast<CText*>(e), field, tenths);
        },
        this);
    layout->addWidget(m_position);
    CRotationBlock* rotation = m_position->AddRotation(
        tr("Angle"), 360, [](const CElement* e) { return static_cast<const CText*>(e)->GetAngle(); },
        [](CElement* e, int degrees) { return OnAngle(static_cast<CText*>(e), degrees); });
    connect(rotation, &CRotationBlock::edited, this, [this] { m_pane->Page3()->ApplyEnabling(); });

    m_font = new CFontColourBlock(CFontColourBlock::EFFECTS, this);
    layout->addWidget(m_font);
    m_preview = Named(new CTextPreviewFrame(m_font), 1178);
    m_preview->setMinimumHeight(48);
    m_font->Grid()->addWidget(m_preview, m_font->NextRow(), 0, 1, 3);
    connect(m_font, &CFontColourBlock::faceChosen, this, &CTextViewPage1::OnFace);
    connect(m_font, &CFontColourBlock::sizeChosen, this, &CTextViewPage1::OnSize);
    connect(m_font, &CFontColourBlock::styleChosen, this, &CTextViewPage1::OnFontStyle);

    QGridLayout* textBox = AddGroup(layout, tr("Text"));
    m_text = Named(new QPlainTextEdit(textBox->parentWidget()), 1049);
    m_text->setMinimumHeight(70);
    m_text->setTabChangesFocus(true);
    textBox->addWidget(m_text, 0, 0, 1, 2);
    m_editText = Named(new QPushButton(QStringLiteral(">"), textBox->parentWidget()), 1551);
    m_editText->setMaximumWidth(30);
    textBox->addWidget(m_editText, 0, 2, Qt::AlignTop);
    m_richText = Named(new QPushButton(tr("Rich Text Editor..."), textBox->parentWidget()), 1442);
    textBox->addWidget(m_richText, 1, 0, 1, 3);
    connect(m_text, &QPlainTextEdit::textChanged, this, [this] { OnTextEdited(); });
    connect(m_editText, &QPushButton::clicked, this, [this] { OnEditText(); });
    connect(m_richText, &QPushButton::clicked, this, [this] { OnRichText(); });

    layout->addWidget(pane->AddNameBlock());
    layout->addWidget(pane->AddPrintOptions(false));
    layout->addWidget(pane->AddSourceBlock(true));
    layout->addStretch(1);
}

void CTextViewPage1::SetElement(CText* t)
{
    // The name, print options and source block.
    const int row = m_font->Faces()->FindItemText(t->m_font.GetFaceName(), Qt::CaseInsensitive);
    const DWORD data = row < 0 ? CLogFont::EnumerateFace(t->m_font.GetFaceName())
                               : DWORD(m_font->Faces()->ItemData(row));
    m_pane->LoadCommonBlocks(t, !CFontColourBlock::IsTrueType(data));
    m_position->Bind(t);
    LoadFont(t->m_font);
    m_text->setPlainText(t->m_sampleText);
    // The rich-text editor is part of the program.
    m_richText->setEnabled(true);
    m_stampSource = SourceKey(t);
}

void CTextViewPage1::Refresh(bool /*full*/)
{
    RefreshSize();
}

void CTextViewPage1::RefreshGeometry()
{
    auto* t = m_pane->ElementAs<CText>();
    if (!t)
        return;
    const CTextView::CFilling filling(m_pane);
    m_position->Refresh();
    m_font->ShowSize(t->m_font.FormatPointSize());
    // A text changed outside the pane (the spelling check) shows as it is
    // now, so that the next keystroke does not bring the old words back.
    if (NormalizeLineBreaks(m_text->toPlainText()) != t->m_sampleText)
        m_text->setPlainText(t->m_sampleText);
}

void CTextViewPage1::LoadFont(const CLogFont& font)
{
    const CTextView::CFilling filling(m_pane);
    m_font->ShowFont(font);
    CLogFont upright = font;
    upright.SetRotation(0);
    m_preview->SetSampleFont(upright);
    // The copy-fit size range is shown in the face's sizes.
    if (CTextViewPage2* formatting = m_pane->Page2())
        formatting->LoadSizeLists(font);
}

void CTextViewPage1::ApplyFont(CText* t, const CLogFont& font)
{
    CLogFont turned = font;
    turned.SetRotation(t->GetAngle());
    t->SetFont(View(), turned);
    m_pane->EndEdit(t);
    const CTextView::CFilling filling(m_pane);
    LoadFont(t->m_font);
    m_pane->Page2()->LoadCopyFit(t);
}

void CTextViewPage1::OnFace(const QString& face, DWORD data)
{
    CText* t = m_pane->BeginEdit(m_font->Faces());
    if (!t)
        return;
    CLogFont font = t->m_font;
    font.SetFaceFromList(face, data);
    font.SetHeight(font.GetHeight()); // the nearest size the new face allows
    // A printer face prints natively; any other in the standard way.
    const bool trueType = CFontColourBlock::IsTrueType(data);
    if (!t->m_notPrinted)
        t->m_nativePrint = trueType ? FALSE : TRUE;
    ApplyFont(t, font); // the copy-fit range snaps to the face's sizes
    const CTextView::CFilling filling(m_pane);
    m_pane->LoadCommonBlocks(t, !trueType);
}

void CTextViewPage1::OnSize(double points)
{
    if (m_pane->IsLoading())
        return;
    auto* t = m_pane->ElementAs<CText>();
    if (!t)
        return;
    CLogFont font = t->m_font;
    const LONG before = font.GetHeight();
    font.SetHeight(font.PointsToHeight(points));
    if (font.GetHeight() == before)
        return;
    if ((t = m_pane->BeginEdit(m_font->Size()))) {
        t->SetFont(View(), font);
        m_pane->EndEdit(t);
        {
            const CTextView::CFilling filling(m_pane);
            CLogFont upright = t->m_font;
            upright.SetRotation(0);
            m_preview->SetSampleFont(upright);
        }
    }
}

void CTextViewPage1::OnFontStyle()
{
    if (CText* t = m_pane->BeginEdit(m_font->Style()))
        ApplyFont(t, m_font->ReadStyle(t->m_font));
}

void CTextViewPage1::OnPosition(CText* t, int which, int tenths)
{
    t->Invalidate(View(), TRUE);
    // Only the coordinate typed changes; the copy-fit frame goes with the
    // position, keeping its size.
    CPoint position = t->m_position;
    (which == CPositionSizeBlock::FIELD_X ? position.x : position.y) = tenths;
    const CSize size(t->m_formatRect.Width(), t->m_formatRect.Height());
    t->m_position = position;
    t->m_formatRect = CRect(position.x, position.y, position.x + size.cx, position.y + size.cy);
}

bool CTextViewPage1::OnAngle(CText* t, int value)
{
    // A full turn is no turn. The border box stays with the element: a
    // turned text only shows its border controls disabled.
    const int angle = value % 360;
    if (angle == t->GetAngle())
        return false;
    t->Invalidate(View(), TRUE);
    t->m_font.SetRotation(angle);
    t->m_richText.SetDefaultFont(t->m_font, t->m_textColour);
    const CSize size(t->m_formatRect.Width(), t->m_formatRect.Height());
    t->m_formatRect = CRect(t->m_position.x, t->m_position.y, t->m_position.x + size.cx,
                            t->m_position.y + size.cy);
    return true;
}

void CTextViewPage1::OnTextEdited()
{
    if (m_pane->IsLoading())
        return;
    ApplyText(m_text->toPlainText());
}

void CTextViewPage1::ApplyText(const QString& fieldText)
{
    CText* t = m_pane->BeginEdit(m_text);
    if (!t)
        return;
    const QString text = NormalizeLineBreaks(fieldText);
    if (!t->m_copyFit && t->m_maxLines != -1)
        t->m_maxLines = std::max(t->m_maxLines, LinesOf(text));
    // The length limit follows the sample only while no length rule is set:
    // a rule's own length stays as the user chose it.
    if (t->m_lengthConstraint == 0)
        t->m_lengthLimit = CountWithPairs(fieldText);
    t->m_sampleText = text;
    m_pane->EndEdit(t);
    const CTextView::CFilling filling(m_pane);
    m_pane->Page2()->LoadRules(t);
    m_pane->Page2()->LoadCopyFit(t);
}

void CTextViewPage1::ShowAndApplyText(const QString& text)
{
    {
        const CTextView::CFilling filling(m_pane);
        m_text->setPlainText(text);
    }
    ApplyText(text);
}

void CTextViewPage1::OnEditText()
{
    if (!m_pane->ElementAs<CText>())
        return;
    CEditTextDlg dialog(m_pane);
    dialog.m_text = m_text->toPlainText();
    if (Run(&dialog) != QDialog::Accepted)
        return;
    ShowAndApplyText(dialog.m_text);
}

void CTextViewPage1::OnRichText()
{
    CText* t = m_pane->ElementAs<CText>();
    if (!t)
        return;
    QString edited;
    {
        // The dialog edits the text as the field holds it, on a working copy
        // of the element, so that Cancel leaves the element untouched.
        std::unique_ptr<CText> working;
        std::unique_ptr<CRichTextDlg> dialog;
        {
            CWaitCursor wait;
            working = std::make_unique<CText>(*t);
            working->m_sampleText = NormalizeLineBreaks(m_text->toPlainText());
            dialog = std::make_unique<CRichTextDlg>(working.get(), m_pane);
            dialog->SetPrinterName(ThePrinter().GetDeviceName());
        }
        if (Run(dialog.get()) != QDialog::Accepted)
            return;
        edited = working->m_sampleText;
    }
    ShowAndApplyText(edited);
}

void CTextViewPage1::ShowStampSample()
{
    auto* t = m_pane->ElementAs<CText>();
    if (!t)
        return;
    const QString source = SourceKey(t);
    if (source == m_stampSource)
        return;
    m_stampSource = source;
    if (t->m_dataSource != SOURCE_DATE_TIME)
        return;
    // A date/time stamp shows what it stamps now, as if it had been typed.
    CVariable* stamp = TheVariableList().FindVariable(VARIABLE_DATE_TIME, t->m_sourceName);
    if (!stamp)
        return;
    stamp->ResetValue();
    const QString value = stamp->GetValue();
    ShowAndApplyText(value);
}

void CTextViewPage1::RefreshSize()
{
    auto* t = m_pane->ElementAs<CText>();
    if (!t)
        return;
    const CTextView::CFilling filling(m_pane);
    // Copy-fit chooses the size itself.
    if (t->m_copyFit)
        m_font->ShowSize(t->m_font.FormatPointSize());
    m_font->Size()->setEnabled(!t->m_copyFit);
}
