#include "ArcTextView.h"

#include "PaneControls.h"
#include "PositionSizeBlock.h"
#include "RotationBlock.h"

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

    m_position = new CPositionSizeBlock(
        {tr("Circle"), true}, DirectEdits(),
        [](const CElement* e) {
            const auto* a = static_cast<const CArcText*>(e);
            return CPositionSizeBlock::Place{a->m_centreX, a->m_centreY};
        },
        [](CElement* e, CPositionSizeBlock::Field field, int tenths) {
            auto* a = static_cast<CArcText*>(e);
            (field == CPositionSizeBlock::FIELD_X ? a->m_centreX : a->m_centreY) = tenths;
            a->m_radius = std::max(a->m_radius, 0);
        },
        body);
    Form()->addWidget(m_position);
    QGridLayout* circle = m_position->Grid();
    m_radius = AddLengthField(circle, m_position->NextRow(), tr("Radius"), 1110, 1021, LENGTH_SIZE,
                              [this](int tenths) {
                                  if (auto* a = ElementAs<CArcText>())
                                      ApplyCircle(a->m_centreX, a->m_centreY, tenths);
                              });
    m_position->AddRotation(
        tr("Start Angle"), 359,
        [](const CElement* e) { return static_cast<const CArcText*>(e)->m_startAngle; },
        [](CElement* e, int degrees) {
            static_cast<CArcText*>(e)->m_startAngle = degrees;
            return true;
        });

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
        m_position->Bind(arc);
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
    m_position->Refresh();
    SetLength(m_radius, arc->m_radius);
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
