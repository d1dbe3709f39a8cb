#include "ArcTextView.h"

#include "PaneControls.h"

#include "AppContext.h"
#include "ArcText.h"
#include "FontColourBlock.h"
#include "Helpers.h"
#include "MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

using namespace PaneBuild;

CArcTextView::CArcTextView(CArcText* arc, QWidget* parent)
    : CElementView(arc, kFormId, tr("Arc Text"), parent)
{
    AddNameBlock();
    QWidget* body = Form()->parentWidget();

    // Only "Do Not Print": an arc text is always drawn through its picture.
    m_doNotPrint = Named(new QCheckBox(tr("Do Not Print"), body), 1133);
    Form()->addWidget(m_doNotPrint);
    connect(m_doNotPrint, &QCheckBox::clicked, this, [this](bool on) {
        if (auto* a = ElementAs<CArcText>(); a && !IsLoading()) {
            a->m_notPrinted = on ? TRUE : FALSE;
            ElementEdited(a);
        }
    });

    QGridLayout* circle = AddGroup(Form(), body, tr("Circle"));
    auto applyLength = [this](int which) {
        return [this, which](int tenths) {
            if (auto* a = ElementAs<CArcText>()) {
                int v[3] = {a->m_centreX, a->m_centreY, a->m_radius};
                v[which] = tenths;
                ApplyCircle(v[0], v[1], v[2]);
            }
        };
    };
    m_x = AddLengthField(circle, 0, tr("Origin X"), 1002, 1019, LENGTH_POSITION, applyLength(0));
    m_y = AddLengthField(circle, 1, tr("Origin Y"), 1005, 1020, LENGTH_POSITION, applyLength(1));
    m_radius = AddLengthField(circle, 2, tr("Radius"), 1110, 1021, LENGTH_SIZE, applyLength(2));
    m_startAngle = Named(new QLineEdit(circle->parentWidget()), 1029);
    AddRow(circle, 3, tr("Start Angle"), m_startAngle);
    circle->addWidget(new QLabel(tr("degrees"), circle->parentWidget()), 3, 2);
    connect(m_startAngle, &QLineEdit::textEdited, this, &CArcTextView::OnStartAngle);

    m_font = new CFontColourBlock(CFontColourBlock::EFFECTS | CFontColourBlock::COLOUR, body);
    Form()->addWidget(m_font);
    m_font->SetColourField(&m_colour);
    CFontColourBlock::Edits edits;
    edits.begin = [this](QObject*) -> CElement* { return IsLoading() ? nullptr : Element(); };
    edits.end = [this](CElement* e) { ElementEdited(e); };
    m_font->Bind(arc, std::move(edits), [this](CElement* e) {
        if (auto* a = dynamic_cast<CArcText*>(e))
            a->m_colour = m_colour;
    });

    QGridLayout* text = AddGroup(Form(), body, tr("Text"));
    m_text = Named(new QPlainTextEdit(text->parentWidget()), 1049);
    m_text->setMaximumHeight(80);
    text->addWidget(m_text, 0, 0, 1, 3);
    m_alignment = Named(new QComboBox(text->parentWidget()), 1177);
    m_alignment->addItems({tr("Left"), tr("Centre"), tr("Right")});
    AddRow(text, 1, tr("Alignment"), m_alignment);
    m_direction = Named(new QComboBox(text->parentWidget()), 1541);
    m_direction->addItems({tr("Clockwise"), tr("Anticlockwise")});
    AddRow(text, 2, tr("Direction"), m_direction);
    m_spellCheck =
        Named(new QCheckBox(tr("Spell check prior to print"), text->parentWidget()), 1274);
    text->addWidget(m_spellCheck, 3, 0, 1, 3);
    connect(m_text, &QPlainTextEdit::textChanged, this, &CArcTextView::OnTextEdited);
    connect(m_alignment, &QComboBox::activated, this, &CArcTextView::OnArrangement);
    connect(m_direction, &QComboBox::activated, this, &CArcTextView::OnArrangement);
    connect(m_spellCheck, &QCheckBox::clicked, this, [this](bool on) {
        if (auto* a = ElementAs<CArcText>(); a && !IsLoading()) {
            a->m_forceSpellCheck = on ? TRUE : FALSE;
            MarkModified();
        }
    });

    AddSourceBlock(true);
    // The spelling option belongs to typed data only.
    connect(this, &CElementView::elementEdited, this, &CArcTextView::UpdateSpellCheck);
    if (auto* type = findChild<QComboBox*>(QStringLiteral("id1000")))
        connect(type, &QComboBox::currentIndexChanged, this, &CArcTextView::UpdateSpellCheck);

    if (arc) {
        m_colour = arc->m_colour;
        m_doNotPrint->setChecked(arc->m_notPrinted != 0);
        m_text->setPlainText(ExpandLineBreaks(arc->m_sampleText));
        m_alignment->setCurrentIndex(std::clamp(arc->m_alignment, 0, 2));
        m_direction->setCurrentIndex(std::clamp(arc->m_direction, 0, 1));
        LoadCommonBlocks(arc, false);
    }
    UpdateFromElement();
    UpdateSpellCheck();
    SetLoading(false);
}

void CArcTextView::UpdateFromElement()
{
    auto* arc = ElementAs<CArcText>();
    if (!arc)
        return;
    const bool loading = IsLoading();
    SetLoading(true);
    SetLength(m_x, arc->m_centreX);
    SetLength(m_y, arc->m_centreY);
    SetLength(m_radius, arc->m_radius);
    m_startAngle->setText(QString::number(arc->m_startAngle));
    CLogFont font;
    if (arc->GetFont(font))
        m_font->ShowFont(font);
    SetLoading(loading);
}

void CArcTextView::UpdateSpellCheck()
{
    auto* arc = ElementAs<CArcText>();
    if (!arc)
        return;
    const bool keyboard = arc->m_dataSource == SOURCE_KEYBOARD;
    m_spellCheck->setEnabled(keyboard);
    const QSignalBlocker block(m_spellCheck);
    m_spellCheck->setChecked(keyboard && arc->m_forceSpellCheck);
}

void CArcTextView::ApplyCircle(int centreX, int centreY, int radius)
{
    auto* arc = ElementAs<CArcText>();
    if (!arc || IsLoading())
        return;
    arc->m_centreX = centreX;
    arc->m_centreY = centreY;
    arc->m_radius = std::max(radius, 0);
    ElementEdited(arc);
}

void CArcTextView::OnStartAngle()
{
    auto* arc = ElementAs<CArcText>();
    if (!arc || IsLoading())
        return;
    const QString text = m_startAngle->text().trimmed();
    if (text.isEmpty())
        return;
    bool ok = false;
    const int degrees = text.toInt(&ok);
    if (!ok)
        return;
    if (degrees < 0 || degrees > 359) {
        AppMessageBox(tr("Please enter a number between %1 and %2.").arg(0).arg(359));
        return;
    }
    arc->m_startAngle = degrees;
    ElementEdited(arc);
}

void CArcTextView::OnTextEdited()
{
    auto* arc = ElementAs<CArcText>();
    if (!arc || IsLoading())
        return;
    arc->m_sampleText = NormalizeLineBreaks(m_text->toPlainText());
    ElementEdited(arc);
}

void CArcTextView::OnArrangement()
{
    auto* arc = ElementAs<CArcText>();
    if (!arc || IsLoading())
        return;
    arc->m_alignment = std::max(m_alignment->currentIndex(), 0);
    arc->m_direction = std::max(m_direction->currentIndex(), 0);
    ElementEdited(arc);
}
