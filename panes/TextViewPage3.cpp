#include "TextViewPage3.h"

#include "FontColourBlock.h"
#include "ListCtrlEx.h"
#include "TextView.h"

#include "AppContext.h"
#include "Box.h"
#include "BulletArray.h"
#include "ElementDefaults.h"
#include "Text.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

using namespace PaneBuild;

namespace {

// The face of the bullet symbols.
bool IsBulletFace(const QString& face)
{
    return face.compare(QStringLiteral("Tabrel Bullets"), Qt::CaseInsensitive) == 0;
}

} // namespace

CTextViewPage3::CTextViewPage3(CTextView* pane, QWidget* parent) : CPanePage(parent), m_pane(pane)
{
    Named(this, 374);
    auto* layout = new QVBoxLayout(this);

    QGridLayout* border = AddGroup(layout, tr("Border"));
    QWidget* borderBox = border->parentWidget();
    m_border = Named(new QCheckBox(tr("Surround Text With Border"), borderBox), 1211);
    border->addWidget(m_border, 0, 0, 1, 3);
    connect(m_border, &QCheckBox::clicked, this, [this] { OnBorder(m_border); });
    m_thickness = m_pane->AddLengthField(border, 1, tr("Thickness"), 1013, 1019, LENGTH_SIZE,
                                         [this](int) { OnBorder(m_thickness); });
    m_corners = Combo(borderBox, 1009, {tr("Square"), tr("Rounded"), tr("Chamfered")});
    m_pane->AddRow(border, 2, tr("Corners"), m_corners);
    connect(m_corners, &QComboBox::activated, this, [this] { OnBorder(m_corners); });
    m_horzMargin = m_pane->AddLengthField(border, 3, tr("Horz Margin"), 1106, 1020, LENGTH_SIZE,
                                          [this](int) { OnBorder(m_horzMargin); });
    m_vertMargin = m_pane->AddLengthField(border, 4, tr("Vert Margin"), 1119, 1021, LENGTH_SIZE,
                                          [this](int) { OnBorder(m_vertMargin); });
    m_pane->AddColourRow(border, 5, tr("Colour"), 1035, 1036, &m_borderColour,
                         [this](COLORREF) { OnBorder(m_borderSelect); });
    m_borderSelect = qobject_cast<QPushButton*>(border->itemAtPosition(5, 2)->widget());
    m_turnedNote =
        Named(new QLabel(tr("( borders not available for rotated text items )"), borderBox), 1256);
    m_turnedNote->setWordWrap(true);
    border->addWidget(m_turnedNote, 6, 0, 1, 3);

    QGridLayout* bullets = AddGroup(layout, tr("Bullets"));
    QWidget* bulletBox = bullets->parentWidget();
    m_bulletNone = Named(new QRadioButton(tr("None"), bulletBox), 1220);
    m_bulletSymbol = Named(new QRadioButton(tr("Bullet"), bulletBox), 1218);
    m_bulletList = Named(new QRadioButton(tr("List"), bulletBox), 1219);
    auto* kinds = new QButtonGroup(bulletBox);
    auto* kindRow = new QHBoxLayout;
    for (QRadioButton* r : {m_bulletNone, m_bulletSymbol, m_bulletList}) {
        kinds->addButton(r);
        kindRow->addWidget(r);
        connect(r, &QRadioButton::clicked, this, [this, r] { OnBullets(r); });
    }
    bullets->addLayout(kindRow, 0, 0, 1, 3);
    m_bulletFaces = Named(new CListCtrlEx(bulletBox), 1164);
    CFontColourBlock::FillFaces(m_bulletFaces);
    bullets->addWidget(m_bulletFaces, 1, 0, 1, 3);
    connect(m_bulletFaces, &CListCtrlEx::itemSelectionChanged, this, [this] {
        if (m_pane->IsLoading())
            return;
        const int row = m_bulletFaces->SelectedItem();
        if (row < 0) {
            const CTextView::CFilling filling(m_pane);
            CFontColourBlock::SelectFace(m_bulletFaces, m_bulletFace);
            return;
        }
        m_bulletFace = m_bulletFaces->CellText(row, 0);
        ShowSymbol();
        OnBullets(m_bulletFaces);
    });
    m_symbol = Named(new QLabel(bulletBox), 1179);
    m_symbol->setMinimumSize(28, 28);
    m_symbol->setAlignment(Qt::AlignCenter);
    m_symbolSpin = Spin(bulletBox, 1216, 33, 255);
    m_pane->AddRow(bullets, 2, tr("Symbol"), m_symbol);
    bullets->addWidget(m_symbolSpin, 2, 2);
    connect(m_symbolSpin, &QSpinBox::valueChanged, this, [this](int code) {
        if (m_pane->IsLoading())
            return;
        m_symbolCode = code;
        ShowSymbol();
        OnBullets(m_symbolSpin);
    });
    m_numbering =
        Combo(bulletBox, 1222,
              {QStringLiteral("1,2,3..."), QStringLiteral("a,b,c..."), QStringLiteral("A,B,C..."),
               QStringLiteral("i,ii,iii..."), QStringLiteral("I,II,III...")});
    m_pane->AddRow(bullets, 3, tr("Numbering"), m_numbering);
    connect(m_numbering, &QComboBox::activated, this, [this] {
        ShowStart();
        OnBullets(m_numbering);
    });
    m_bulletPrefix = Named(new QLineEdit(bulletBox), 1214);
    m_pane->AddRow(bullets, 4, tr("Prefix"), m_bulletPrefix);
    m_start = Named(new QLineEdit(bulletBox), 1223);
    m_start->setReadOnly(true);
    m_startSpin = Spin(bulletBox, 1213, 1, 99);
    m_pane->AddRow(bullets, 5, tr("Start"), m_start);
    bullets->addWidget(m_startSpin, 5, 2);
    connect(m_startSpin, &QSpinBox::valueChanged, this, [this](int value) {
        if (m_pane->IsLoading())
            return;
        m_startValue = value;
        ShowStart();
        OnBullets(m_startSpin);
    });
    m_bulletSuffix = Named(new QLineEdit(bulletBox), 1215);
    m_pane->AddRow(bullets, 6, tr("Suffix"), m_bulletSuffix);
    m_offset = m_pane->AddLengthField(bullets, 7, tr("Text Offset"), 1217, 1022, LENGTH_SIZE,
                                      [this](int) { OnBullets(m_offset); });
    m_relativeSize = Spin(bulletBox, 1221, 1, 100);
    m_pane->AddRow(bullets, 8, tr("Relative Size"), m_relativeSize);
    bullets->addWidget(new QLabel(QStringLiteral("%"), bulletBox), 8, 2);
    connect(m_relativeSize, &QSpinBox::valueChanged, this, [this] { OnBullets(m_relativeSize); });
    for (QLineEdit* edit : {m_bulletPrefix, m_bulletSuffix})
        connect(edit, &QLineEdit::textEdited, this, [this, edit] { OnBullets(edit); });
    m_pane->AddColourRow(bullets, 9, tr("Colour"), 1535, 1536, &m_bulletColour,
                         [this](COLORREF) { OnBullets(m_bulletSelect); });
    m_bulletSelect = qobject_cast<QPushButton*>(bullets->itemAtPosition(9, 2)->widget());
    layout->addStretch(1);
}

void CTextViewPage3::Refresh(bool /*full*/)
{
    if (!m_pane->IsLoading())
        ApplyEnabling();
}

void CTextViewPage3::OnBorder(QObject* control)
{
    CText* t = m_pane->BeginEdit(control);
    if (!t)
        return;
    const auto read = [](QLineEdit* field, int& tenths) {
        double value = 0;
        if (!PaneUnits::Parse(field->text(), value) || value < 0)
            return false;
        tenths = PaneUnits::FromDisplay(value);
        return true;
    };
    if (!m_border->isChecked()) {
        t->RemoveFrameBox();
    } else {
        const bool made = !t->m_frameBox;
        if (made)
            t->SetFrameBox(nullptr);
        CBox& box = *t->m_frameBox;
        // A new border takes every value shown; an edit writes only the
        // value edited.
        int value = 0;
        if ((made || control == m_thickness) && read(m_thickness, value) && value >= 1)
            box.m_thickness = value;
        if (made || control == m_corners)
            box.m_cornerType = m_corners->currentIndex();
        if ((made || control == m_horzMargin) && read(m_horzMargin, value))
            t->m_horzMargin = value;
        if ((made || control == m_vertMargin) && read(m_vertMargin, value))
            t->m_vertMargin = value;
        box.m_outlineColour = m_borderColour;
        box.m_fillInterior = t->m_colouredBackground;
        box.m_fillColour = t->m_backgroundColour;
    }
    m_pane->EndEdit(t);
    ApplyEnabling();
}

void CTextViewPage3::ApplyEnabling()
{
    auto* t = m_pane->ElementAs<CText>();
    if (!t)
        return;
    const CTextView::CFilling filling(m_pane);
    // A turned text keeps its border box (drawn upright around the turned
    // frame); it cannot be edited until the text stands upright again.
    const bool upright = t->GetAngle() == 0;
    m_border->setChecked(t->m_frameBox != nullptr);
    m_border->setEnabled(upright);
    const bool on = upright && m_border->isChecked();
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_thickness, m_corners, m_horzMargin, m_vertMargin})
        w->setEnabled(upright);
    m_borderSelect->setEnabled(on);
    m_turnedNote->setVisible(!upright);

    const bool none = m_bulletNone->isChecked();
    const bool list = m_bulletList->isChecked();
    m_symbol->setEnabled(!none && !list);
    m_symbolSpin->setEnabled(!none && !list);
    for (QWidget* w : std::initializer_list<QWidget*>{m_numbering, m_bulletPrefix, m_start,
                                                      m_startSpin, m_bulletSuffix})
        w->setEnabled(list);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_bulletFaces, m_offset, m_relativeSize, m_bulletSelect})
        w->setEnabled(!none);
    if (list && IsBulletFace(m_bulletFace)) {
        m_bulletFace = QStringLiteral("Arial");
        CFontColourBlock::SelectFace(m_bulletFaces, m_bulletFace);
    }
}

void CTextViewPage3::ShowSymbol()
{
    QFont font(CPrinterFontMetrics::ResolveFace(m_bulletFace));
    font.setPixelSize(std::max(m_symbol->height() - 2, 8));
    m_symbol->setFont(font);
    const QString text = QString::fromLatin1(QByteArray(1, char(m_symbolCode)));
    m_symbol->setText(text);
}

void CTextViewPage3::ShowStart()
{
    const int style = m_numbering->currentIndex();
    const bool letters = style == 1 || style == 2;
    const CTextView::CFilling filling(m_pane);
    m_startSpin->setMaximum(letters ? 26 : 99);
    m_startValue = std::clamp(m_startValue, 1, letters ? 26 : 99);
    m_startSpin->setValue(m_startValue);
    m_start->setText(CBulletArray::FormatItemNumber(m_startValue, style + 1, 0));
}

void CTextViewPage3::SetElement(CText* t)
{
    const CBoxDefaults& boxDefaults = App().Get<CBoxDefaults>();
    const CBox* box = t->m_frameBox.get();
    m_border->setChecked(box != nullptr);
    m_pane->SetLength(m_thickness, box ? box->m_thickness : boxDefaults.thickness);
    m_corners->setCurrentIndex(std::clamp(box ? box->m_cornerType : boxDefaults.cornerType, 0, 2));
    m_borderColour = box ? box->m_outlineColour : boxDefaults.outlineColour;
    m_pane->SetLength(m_horzMargin, t->m_horzMargin);
    m_pane->SetLength(m_vertMargin, t->m_vertMargin);
    LoadBullets(t);
    ApplyEnabling();
}

void CTextViewPage3::LoadBullets(CText* t)
{
    const auto* own = dynamic_cast<const CBulletArray*>(t->m_bullets.get());
    const CBulletArray defaults;
    const CBulletArray& b = own ? *own : defaults;
    (!own                         ? m_bulletNone
     : b.m_style == BULLET_SYMBOL ? m_bulletSymbol
                                  : m_bulletList)
        ->setChecked(true);
    m_numbering->setCurrentIndex(std::clamp(b.m_style - 1, 0, 4));
    m_symbolCode = std::clamp<int>(b.m_bulletChar, 33, 255);
    m_symbolSpin->setValue(m_symbolCode);
    m_bulletPrefix->setText(b.m_prefix);
    m_bulletSuffix->setText(b.m_suffix);
    m_startValue = b.m_startNumber;
    m_bulletFace = b.GetFont().GetFaceName();
    CFontColourBlock::SelectFace(m_bulletFaces, m_bulletFace);
    m_pane->SetLength(m_offset, b.m_offset);
    m_relativeSize->setValue(std::clamp(b.m_size, 1, 100));
    m_bulletColour = b.GetColour();
    ShowStart();
    ShowSymbol();
}

void CTextViewPage3::OnBullets(QObject* control)
{
    CText* t = m_pane->BeginEdit(control);
    if (!t)
        return;
    // Numbers and letters are not drawn in the bullet symbols' face.
    if (m_bulletList->isChecked() && IsBulletFace(m_bulletFace)) {
        m_bulletFace = QStringLiteral("Arial");
        const CTextView::CFilling filling(m_pane);
        CFontColourBlock::SelectFace(m_bulletFaces, m_bulletFace);
    }
    if (m_bulletNone->isChecked()) {
        t->RemoveBullets();
    } else {
        const bool made = !t->m_bullets;
        if (made)
            t->SetBullets(nullptr);
        auto* b = dynamic_cast<CBulletArray*>(t->m_bullets.get());
        if (!b) {
            // No bullet list could be made: the element stays as it was.
            t->RemoveBullets();
            return;
        }
        b->m_style = m_bulletSymbol->isChecked() ? BULLET_SYMBOL : m_numbering->currentIndex() + 1;
        if (b->GetFont().GetFaceName() != m_bulletFace && !m_bulletFace.isEmpty()) {
            CLogFont font = b->GetFont();
            font.SetFaceName(m_bulletFace);
            b->SetFont(&font);
        }
        b->m_bulletChar = BYTE(m_symbolCode);
        b->m_prefix = m_bulletPrefix->text();
        b->m_startNumber = m_startValue;
        b->m_suffix = m_bulletSuffix->text();
        double offset = 0;
        if ((made || control == m_offset) && PaneUnits::Parse(m_offset->text(), offset) &&
            offset >= 0)
            b->m_offset = PaneUnits::FromDisplay(offset);
        b->m_size = m_relativeSize->value();
        b->SetColour(m_bulletColour);
    }
    m_pane->EndEdit(t);
    ApplyEnabling();
}
