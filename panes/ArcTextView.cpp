#include "ArcTextView.h"

#include "PaneControls.h"

#include "AppContext.h"
#include "ArcText.h"
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

namespace {

QString Id(int id)
{
    return QStringLiteral("id%1").arg(id);
}

} // namespace

CArcTextView::CArcTextView(CArcText* arc, QWidget* parent)
    : CElementView(arc, kFormId, tr("Arc Text"), parent)
{
    AddNameBlock();
    QWidget* body = Form()->parentWidget();

    // Only "Do Not Print": an arc text is always drawn through its picture.
    m_doNotPrint = new QCheckBox(tr("Do Not Print"), body);
    m_doNotPrint->setObjectName(Id(1133));
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
    m_startAngle = new QLineEdit(circle->parentWidget());
    m_startAngle->setObjectName(Id(1029));
    AddRow(circle, 3, tr("Start Angle"), m_startAngle);
    circle->addWidget(new QLabel(tr("degrees"), circle->parentWidget()), 3, 2);
    connect(m_startAngle, &QLineEdit::textEdited, this, &CArcTextView::OnStartAngle);

    AddFontBlock(&m_colour, [this](COLORREF colour) {
        if (auto* a = ElementAs<CArcText>())
            a->m_colour = colour;
    });

    QGridLayout* text = AddGroup(Form(), body, tr("Text"));
    m_text = new QPlainTextEdit(text->parentWidget());
    m_text->setObjectName(Id(1049));
    m_text->setMaximumHeight(80);
    text->addWidget(m_text, 0, 0, 1, 3);
    m_alignment = new QComboBox(text->parentWidget());
    m_alignment->setObjectName(Id(1177));
    m_alignment->addItems({tr("Left"), tr("Centre"), tr("Right")});
    AddRow(text, 1, tr("Alignment"), m_alignment);
    m_direction = new QComboBox(text->parentWidget());
    m_direction->setObjectName(Id(1541));
    m_direction->addItems({tr("Clockwise"), tr("Anticlockwise")});
    AddRow(text, 2, tr("Direction"), m_direction);
    m_spellCheck = new QCheckBox(tr("Spell check prior to print"), text->parentWidget());
    m_spellCheck->setObjectName(Id(1274));
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
    if (auto* type = findChild<QComboBox*>(Id(1000)))
        connect(type, &QComboBox::currentIndexChanged, this, &CArcTextView::UpdateSpellCheck);

    if (arc) {
        m_colour = arc->m_colour;
        m_doNotPrint->setChecked(arc->m_notPrinted != 0);
        m_text->setPlainText(ExpandLineBreaks(arc->m_sampleText));
        m_alignment->setCurrentIndex(std::clamp(arc->m_alignment, 0, 2));
        m_direction->setCurrentIndex(std::clamp(arc->m_direction, 0, 1));
        LoadCommonBlocks(arc, false);
        LoadFontBlock(arc);
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
    LoadFontBlock(arc);
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
