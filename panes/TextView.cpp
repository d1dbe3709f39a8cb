#include "TextView.h"

#include "PaneControls.h"

#include "AppContext.h"
#include "Box.h"
#include "BulletArray.h"
#include "EditTextDlg.h"
#include "ElementDefaults.h"
#include "Helpers.h"
#include "MessageBox.h"
#include "Preferences.h"
#include "Printer.h"
#include "ResourceIds.h"
#include "RichTextDlg.h"
#include "Rounding.h"
#include "SpellOCX.h"
#include "Strings.h"
#include "Text.h"
#include "TextPreview.h"
#include "UndoHistory.h"
#include "Variable.h"
#include "VariableList.h"
#include "WaitCursor.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using namespace PaneBuild;

namespace {

QSpinBox* Spin(QWidget* parent, int id, int low, int high)
{
    auto* spin = Named(new QSpinBox(parent), id);
    spin->setRange(low, high);
    return spin;
}

// The face list of the font blocks: the printer's faces, each with the
// data word that says what kind of face it is.
void FillFaces(QListWidget* list)
{
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setIconSize(QSize(14, 14));
    list->setMinimumHeight(110);
    for (const QString& face : CElementView::PrinterFaces()) {
        auto* item = new QListWidgetItem(face, list);
        item->setData(Qt::UserRole, QVariant::fromValue(quint32(CLogFont::EnumerateFace(face))));
    }
}

// Selects the face in the list (added at the top when the printer lacks
// it); returns its row.
int SelectFace(QListWidget* list, const QString& face)
{
    const QList<QListWidgetItem*> found = list->findItems(face, Qt::MatchFixedString);
    QListWidgetItem* item = found.isEmpty() ? nullptr : found.first();
    if (!item) {
        item = new QListWidgetItem(face);
        item->setData(Qt::UserRole, QVariant::fromValue(quint32(CLogFont::EnumerateFace(face))));
        list->insertItem(0, item);
    }
    list->setCurrentItem(item);
    list->scrollToItem(item);
    return list->row(item);
}

// Whether the spelling check can run: a dictionary is open, or one can be
// found for the user's setting.
bool SpellingAvailable()
{
    CSpellOCX& speller = CSpellOCX::Current();
    if (speller.IsAvailable())
        return true;
    return !CSpellOCX::FindMainDictionary(CSpellPreferences::Current().dictionary).isEmpty();
}

// The face of the bullet symbols.
bool IsBulletFace(const QString& face)
{
    return face.compare(QStringLiteral("Tabrel Bullets"), Qt::CaseInsensitive) == 0;
}

bool IsTrueType(DWORD faceData)
{
    return (faceData & 0x04) != 0;
}

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

// The font's line height in tenths of a millimetre.
int LineHeight(const CLogFont& font)
{
    const CTextMetrics& tm = font.GetTextMetrics();
    return tm.tmHeight + tm.tmExternalLeading;
}

} // namespace

static int Run(QDialog* dialog)
{
    return dialog->exec();
}

CTextView::CTextView(CText* text, QWidget* parent) : CElementView(text, kFormId, tr("Text"), parent)
{
    m_tabs = Named(new QTabWidget(Form()->parentWidget()), 1092);
    Form()->addWidget(m_tabs);
    m_pages[0] = BuildTextPage();
    m_pages[1] = BuildFormattingPage();
    m_pages[2] = BuildEffectsPage();
    m_tabs->addTab(m_pages[0], tr("Text"));
    m_tabs->addTab(m_pages[1], tr("Formatting"));
    m_tabs->addTab(m_pages[2], tr("Effects"));
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] {
        // Entering a page reads the element again.
        if (auto* t = ElementAs<CText>(); t && !IsLoading()) {
            SetLoading(true);
            LoadCopyFit(t);
            SetLoading(false);
            RefreshTextPage();
            ApplyRulesEnabling();
            ApplyEffectsEnabling();
        }
    });
    // The source block (of the base) changes the kind of data: the rules
    // follow.
    connect(this, &CElementView::elementEdited, this, [this] {
        if (!IsLoading()) {
            ApplyRulesEnabling();
            RefreshTextPage();
            ShowStampSample();
        }
    });
    if (text)
        Load(text);
    SetLoading(false);
}

CTextView::~CTextView() = default;

// --- the Text page ------------------------------------------------------------------

QWidget* CTextView::BuildTextPage()
{
    auto* page = Named(new QWidget(m_tabs), 372);
    auto* layout = new QVBoxLayout(page);

    QGridLayout* position = AddGroup(layout, tr("Position"));
    m_x = AddLengthField(position, 0, tr("X"), 1002, 1019, LENGTH_POSITION,
                         [this](int tenths) { OnPosition(0, tenths); });
    m_y = AddLengthField(position, 1, tr("Y"), 1005, 1020, LENGTH_POSITION,
                         [this](int tenths) { OnPosition(1, tenths); });
    m_angle = Named(new QLineEdit(position->parentWidget()), 1029);
    AddRow(position, 2, tr("Angle"), m_angle);
    position->addWidget(new QLabel(tr("degrees"), position->parentWidget()), 2, 2);
    connect(m_angle, &QLineEdit::textEdited, this, [this] { OnAngle(); });

    QGridLayout* font = AddGroup(layout, tr("Font"));
    QWidget* fontBox = font->parentWidget();
    m_faces = Named(new QListWidget(fontBox), 1164);
    FillFaces(m_faces);
    font->addWidget(m_faces, 0, 0, 1, 3);
    m_faceKind = Named(new QLabel(fontBox), 1165);
    m_faceKind->setWordWrap(true);
    font->addWidget(m_faceKind, 1, 0, 1, 3);
    m_size = Named(new QComboBox(fontBox), 1040);
    m_size->setEditable(true);
    m_size->setInsertPolicy(QComboBox::NoInsert);
    AddRow(font, 2, tr("Size"), m_size);
    m_style = Combo(fontBox, 1039, {tr("Regular"), tr("Italic"), tr("Bold"), tr("Bold Italic")});
    AddRow(font, 3, tr("Style"), m_style);
    m_underline = Named(new QCheckBox(tr("Underline"), fontBox), 1038);
    m_strikeOut = Named(new QCheckBox(tr("Strikeout"), fontBox), 1037);
    font->addWidget(m_underline, 4, 0, 1, 2);
    font->addWidget(m_strikeOut, 5, 0, 1, 2);
    m_preview = Named(new CTextPreviewFrame(fontBox), 1178);
    m_preview->setMinimumHeight(48);
    font->addWidget(m_preview, 6, 0, 1, 3);
    connect(m_faces, &QListWidget::itemSelectionChanged, this, [this] { OnFace(); });
    connect(m_size, &QComboBox::textActivated, this, [this](const QString& t) { OnSize(t); });
    connect(m_size->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& t) { OnSize(t); });
    connect(m_style, &QComboBox::activated, this, [this] { OnFontStyle(); });
    for (QCheckBox* check : {m_underline, m_strikeOut})
        connect(check, &QCheckBox::clicked, this, [this] { OnFontStyle(); });

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

    layout->addWidget(AddNameBlock());
    layout->addWidget(AddPrintOptions(false));
    layout->addWidget(AddSourceBlock(true));
    layout->addStretch(1);
    return page;
}

void CTextView::ShowFaceKind(DWORD faceData)
{
    m_faceKind->setText(
        LoadStringId(IsTrueType(faceData) ? IDS_TRUETYPE_FONT_NOTE : IDS_PRINTER_FONT_NOTE));
}

void CTextView::LoadFont(const CLogFont& font)
{
    const bool wasLoading = IsLoading();
    SetLoading(true);
    m_faceRow = SelectFace(m_faces, font.GetFaceName());
    ShowFaceKind(m_faces->item(m_faceRow)->data(Qt::UserRole).toUInt());
    m_size->clear();
    m_size->addItems(font.GetSizeListItems());
    const QString shown = font.FormatPointSize();
    const int index = m_size->findText(shown);
    if (index >= 0)
        m_size->setCurrentIndex(index);
    m_size->setEditText(shown);
    m_style->setCurrentIndex(font.GetStyleIndex());
    m_underline->setChecked(font.GetLogFont().lfUnderline != 0);
    m_strikeOut->setChecked(font.GetLogFont().lfStrikeOut != 0);
    CLogFont upright = font;
    upright.SetRotation(0);
    m_preview->SetSampleFont(upright);
    // The copy-fit size range is shown in the face's sizes.
    if (m_minSize) {
        for (QComboBox* combo : {m_minSize, m_maxSize}) {
            combo->clear();
            combo->addItems(font.GetSizeListItems());
        }
    }
    SetLoading(wasLoading);
}

void CTextView::ApplyFont(CText* t, const CLogFont& font)
{
    CLogFont turned = font;
    turned.SetRotation(t->GetAngle());
    t->SetFont(View(), turned);
    EndEdit(t);
    SetLoading(true);
    LoadFont(t->m_font);
    LoadCopyFit(t);
    SetLoading(false);
}

void CTextView::OnFace()
{
    if (IsLoading())
        return;
    QListWidgetItem* item = m_faces->currentItem();
    if (!item || !item->isSelected()) {
        // A click on no item: the face shown is selected again.
        if (m_faceRow >= 0 && m_faceRow < m_faces->count()) {
            SetLoading(true);
            m_faces->setCurrentRow(m_faceRow);
            SetLoading(false);
        }
        return;
    }
    CText* t = BeginEdit(m_faces);
    if (!t)
        return;
    m_faceRow = m_faces->row(item);
    const DWORD data = item->data(Qt::UserRole).toUInt();
    CLogFont font = t->m_font;
    font.SetFaceFromList(item->text(), data);
    font.SetHeight(font.GetHeight()); // the nearest size the new face allows
    ShowFaceKind(data);
    // A printer face prints natively; any other in the standard way.
    if (!t->m_notPrinted)
        t->m_nativePrint = IsTrueType(data) ? FALSE : TRUE;
    ApplyFont(t, font); // the copy-fit range snaps to the face's sizes
    SetLoading(true);
    LoadCommonBlocks(t, !IsTrueType(data));
    SetLoading(false);
}

void CTextView::OnSize(const QString& text)
{
    if (IsLoading())
        return;
    double points = 0;
    if (!PaneUnits::Parse(text, points) || points <= 0 || points > 10000)
        return; // nothing to apply while the number is being typed
    auto* t = ElementAs<CText>();
    if (!t)
        return;
    CLogFont font = t->m_font;
    const LONG before = font.GetHeight();
    font.SetHeight(font.PointsToHeight(points));
    if (font.GetHeight() == before)
        return;
    if ((t = BeginEdit(m_size))) {
        t->SetFont(View(), font);
        EndEdit(t);
        SetLoading(true);
        CLogFont upright = t->m_font;
        upright.SetRotation(0);
        m_preview->SetSampleFont(upright);
        SetLoading(false);
    }
}

void CTextView::OnFontStyle()
{
    CText* t = BeginEdit(m_style);
    if (!t)
        return;
    CFontControlValues values;
    values.styleIndex = m_style->currentIndex();
    values.sizeText = t->m_font.FormatPointSize();
    values.underline = m_underline->isChecked() ? 1 : 0;
    values.strikeOut = m_strikeOut->isChecked() ? 1 : 0;
    CLogFont font = t->m_font;
    const LONG height = font.GetHeight();
    font.ReadFontControls(values);
    font.SetHeight(height); // the style leaves the size as it was
    ApplyFont(t, font);
}

void CTextView::OnPosition(int which, int tenths)
{
    CText* t = BeginEdit(which == 0 ? m_x : m_y);
    if (!t)
        return;
    t->Invalidate(View(), TRUE);
    // Only the coordinate typed changes; the copy-fit frame goes with the
    // position, keeping its size.
    CPoint position = t->m_position;
    (which == 0 ? position.x : position.y) = tenths;
    const CSize size(t->m_formatRect.Width(), t->m_formatRect.Height());
    t->m_position = position;
    t->m_formatRect = CRect(position.x, position.y, position.x + size.cx, position.y + size.cy);
    EndEdit(t);
}

void CTextView::OnAngle()
{
    if (IsLoading() || !Element())
        return;
    const QString text = m_angle->text().trimmed();
    bool ok = false;
    int value = QLocale().toInt(text, &ok);
    if (!ok)
        value = QLocale::c().toInt(text, &ok);
    if (!ok)
        return; // "" or "-" while typing: nothing to apply yet
    if (value < 0 || value > 360) {
        AppMessageBox(tr("Please enter a number between %1 and %2.")
                          .arg(QLocale().toString(0), QLocale().toString(360)));
        return;
    }
    CText* t = BeginEdit(m_angle);
    if (!t)
        return;
    // A full turn is no turn. The border box stays with the element: a
    // turned text only shows its border controls disabled.
    const int angle = value % 360;
    if (angle == t->GetAngle())
        return;
    t->Invalidate(View(), TRUE);
    t->m_font.SetRotation(angle);
    t->m_richText.SetDefaultFont(t->m_font, t->m_textColour);
    const CSize size(t->m_formatRect.Width(), t->m_formatRect.Height());
    t->m_formatRect = CRect(t->m_position.x, t->m_position.y, t->m_position.x + size.cx,
                            t->m_position.y + size.cy);
    EndEdit(t);
    ApplyEffectsEnabling();
}

void CTextView::OnTextEdited()
{
    if (IsLoading())
        return;
    ApplyText(m_text->toPlainText());
}

void CTextView::ApplyText(const QString& fieldText)
{
    CText* t = BeginEdit(m_text);
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
    EndEdit(t);
    SetLoading(true);
    LoadRules(t);
    LoadCopyFit(t);
    SetLoading(false);
}

void CTextView::OnEditText()
{
    if (!ElementAs<CText>())
        return;
    CEditTextDlg dialog(this);
    dialog.m_text = m_text->toPlainText();
    if (Run(&dialog) != QDialog::Accepted)
        return;
    SetLoading(true);
    m_text->setPlainText(dialog.m_text);
    SetLoading(false);
    ApplyText(dialog.m_text);
}

void CTextView::OnRichText()
{
    CText* t = ElementAs<CText>();
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
            dialog = std::make_unique<CRichTextDlg>(working.get(), this);
            dialog->SetPrinterName(ThePrinter().GetDeviceName());
        }
        if (Run(dialog.get()) != QDialog::Accepted)
            return;
        edited = working->m_sampleText;
    }
    SetLoading(true);
    m_text->setPlainText(edited);
    SetLoading(false);
    ApplyText(edited);
}

void CTextView::ShowStampSample()
{
    auto* t = ElementAs<CText>();
    if (!t)
        return;
    const QString source = QString::number(t->m_dataSource) + u':' + t->m_sourceName;
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
    SetLoading(true);
    m_text->setPlainText(value);
    SetLoading(false);
    ApplyText(value);
}

void CTextView::RefreshTextPage()
{
    auto* t = ElementAs<CText>();
    if (!t)
        return;
    const bool wasLoading = IsLoading();
    SetLoading(true);
    // Copy-fit chooses the size itself.
    if (t->m_copyFit) {
        const QString shown = t->m_font.FormatPointSize();
        m_size->setEditText(shown);
    }
    m_size->setEnabled(!t->m_copyFit);
    SetLoading(wasLoading);
}

// --- the Formatting page -------------------------------------------------------------

QWidget* CTextView::BuildFormattingPage()
{
    auto* page = Named(new QWidget(m_tabs), 373);
    auto* layout = new QVBoxLayout(page);

    QGridLayout* colours = AddGroup(layout, tr("Colours"));
    m_textSwatch =
        AddColourRow(colours, 0, tr("Text Colour"), 1043, 1044, &m_textColour, [this](COLORREF) {
            if (CText* t = BeginEdit(m_textSwatch)) {
                t->m_textColour = m_textColour;
                EndEdit(t);
            }
        });
    m_coloured = Named(new QCheckBox(tr("Coloured Background"), colours->parentWidget()), 1204);
    colours->addWidget(m_coloured, 1, 0, 1, 3);
    CColourSwatch* background = AddColourRow(
        colours, 2, tr("Background Colour"), 1045, 1046, &m_backgroundColour, [this](COLORREF) {
            if (CText* t = BeginEdit(m_backgroundRow[2])) {
                t->m_backgroundColour = m_backgroundColour;
                if (t->m_frameBox)
                    t->m_frameBox->m_fillColour = m_backgroundColour;
                EndEdit(t);
            }
        });
    m_backgroundRow[0] = colours->itemAtPosition(2, 0)->widget();
    m_backgroundRow[0]->setObjectName(QStringLiteral("id1205"));
    m_backgroundRow[1] = background->Swatch();
    m_backgroundRow[2] = colours->itemAtPosition(2, 2)->widget();
    connect(m_coloured, &QCheckBox::clicked, this, [this](bool on) {
        if (CText* t = BeginEdit(m_coloured)) {
            t->m_colouredBackground = on ? TRUE : FALSE;
            if (t->m_frameBox) {
                t->m_frameBox->m_fillInterior = t->m_colouredBackground;
                t->m_frameBox->m_fillColour = t->m_backgroundColour;
            }
            EndEdit(t);
        }
        for (QWidget* w : m_backgroundRow)
            w->setVisible(on);
    });

    QGridLayout* fit = AddGroup(layout, tr("Copy Fit"));
    QWidget* fitBox = fit->parentWidget();
    m_copyFit = Named(new QCheckBox(tr("Copy Fit"), fitBox), 1173);
    fit->addWidget(m_copyFit, 0, 0, 1, 3);
    connect(m_copyFit, &QCheckBox::clicked, this, [this] { OnCopyFit(); });
    m_frameHeight = AddLengthField(fit, 1, tr("Height"), 1007, 1021, LENGTH_SIZE,
                                   [this](int tenths) { OnFrameSize(true, tenths); });
    m_frameWidth = AddLengthField(fit, 2, tr("Width"), 1008, 1022, LENGTH_SIZE,
                                  [this](int tenths) { OnFrameSize(false, tenths); });
    m_minSize = Named(new QComboBox(fitBox), 1206);
    m_maxSize = Named(new QComboBox(fitBox), 1207);
    for (QComboBox* combo : {m_minSize, m_maxSize}) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
    }
    AddRow(fit, 3, tr("Min Size"), m_minSize);
    AddRow(fit, 4, tr("Max Size"), m_maxSize);
    for (bool minimum : {true, false}) {
        QComboBox* combo = minimum ? m_minSize : m_maxSize;
        connect(combo, &QComboBox::textActivated, this,
                [this, minimum](const QString& t) { OnSizeRange(minimum, t); });
        connect(combo->lineEdit(), &QLineEdit::textEdited, this,
                [this, minimum](const QString& t) { OnSizeRange(minimum, t); });
    }
    m_horz = Combo(fitBox, 1079, {tr("Left"), tr("Centre"), tr("Right"), tr("Block Centre")});
    AddRow(fit, 5, tr("Horz"), m_horz);
    m_vert = Combo(fitBox, 1080, {tr("Top"), tr("Middle"), tr("Bottom")});
    AddRow(fit, 6, tr("Vert"), m_vert);
    for (QComboBox* combo : {m_horz, m_vert})
        connect(combo, &QComboBox::activated, this, [this] { OnJustify(); });
    m_preserve = Named(new QCheckBox(tr("Preserve Line Breaks"), fitBox), 1208);
    fit->addWidget(m_preserve, 7, 0, 1, 3);
    connect(m_preserve, &QCheckBox::clicked, this, [this](bool on) {
        if (CText* t = BeginEdit(m_preserve)) {
            t->m_preserveBreaks = on ? TRUE : FALSE;
            EndEdit(t);
        }
    });

    QGridLayout* spacing = AddGroup(layout, tr("Line Spacing"));
    QWidget* spacingBox = spacing->parentWidget();
    m_spacingMode = Combo(spacingBox, 1387, {tr("Normal"), tr("Relative"), tr("Fixed")});
    AddRow(spacing, 0, tr("Spacing"), m_spacingMode);
    m_spacing = Spin(spacingBox, 1104, 1, 999);
    AddRow(spacing, 1, tr("Amount"), m_spacing);
    m_spacingUnit = new QLabel(QStringLiteral("%"), spacingBox);
    spacing->addWidget(m_spacingUnit, 1, 2);
    m_restrict = Named(new QCheckBox(tr("Restrict Lines To"), spacingBox), 1209);
    m_lineCount = Spin(spacingBox, 1105, 1, 999);
    spacing->addWidget(m_restrict, 2, 0);
    spacing->addWidget(m_lineCount, 2, 1);
    connect(m_spacingMode, &QComboBox::activated, this, [this](int mode) { OnSpacingMode(mode); });
    connect(m_spacing, &QSpinBox::valueChanged, this, [this] { OnSpacing(); });
    connect(m_restrict, &QCheckBox::clicked, this, [this] { OnRestrict(); });
    connect(m_lineCount, &QSpinBox::valueChanged, this, [this] { OnRestrict(); });

    QGridLayout* rules = AddGroup(layout, tr("Data Constraints"));
    QWidget* rulesBox = rules->parentWidget();
    m_filter = Combo(
        rulesBox, 1076,
        {tr("None"), tr("Alpha"), tr("Numeric"), tr("Alphanumeric"), tr("Custom"), tr("Number")});
    AddRow(rules, 0, tr("Filtering"), m_filter);
    m_allow = Named(new QLineEdit(rulesBox), 1271);
    m_allowLabel = AddRow(rules, 1, tr("Allow"), m_allow, 1275);
    m_coercion = Combo(
        rulesBox, 1078,
        {tr("None"), tr("Upper Case"), tr("Lower Case"), tr("Title Case"), tr("Sentence Case")});
    AddRow(rules, 2, tr("Coercion"), m_coercion);
    m_prefix = Named(new QLineEdit(rulesBox), 1214);
    AddRow(rules, 3, tr("Prefix"), m_prefix);
    m_suffix = Named(new QLineEdit(rulesBox), 1215);
    AddRow(rules, 4, tr("Suffix"), m_suffix);
    m_length =
        Combo(rulesBox, 1277, {tr("Unrestricted"), tr("Fixed"), tr("Maximum"), tr("Minimum")});
    AddRow(rules, 5, tr("Length"), m_length);
    m_lengthValue = Named(new QLineEdit(rulesBox), 1278);
    m_lengthLabel = AddRow(rules, 6, LoadStringId(IDS_LABEL_IS), m_lengthValue, 1281);
    m_truncate = Combo(rulesBox, 1279, {tr("No"), tr("Left"), tr("Right")});
    AddRow(rules, 7, tr("Truncate"), m_truncate);
    m_pad = Combo(rulesBox, 1280, {tr("No"), tr("Left"), tr("Right")});
    AddRow(rules, 8, tr("Pad"), m_pad);
    m_padChar = Named(new QLineEdit(rulesBox), 1272);
    m_padChar->setMaxLength(1);
    m_padLabel = AddRow(rules, 9, tr("Using"), m_padChar, 1276);
    m_spellCheck = Named(new QCheckBox(tr("Spell check prior to print"), rulesBox), 1274);
    rules->addWidget(m_spellCheck, 10, 0, 1, 3);

    connect(m_filter, &QComboBox::activated, this, [this](int index) {
        if (CText* t = BeginEdit(m_filter)) {
            t->m_filterType = index;
            EndEdit(t);
            ApplyRulesEnabling();
            if (index == 4) {
                m_allow->setFocus();
                m_allow->selectAll();
            }
        }
    });
    connect(m_coercion, &QComboBox::activated, this, [this](int index) {
        if (CText* t = BeginEdit(m_coercion)) {
            t->m_caseCoercion = index;
            EndEdit(t);
        }
    });
    const auto textRule = [this](QLineEdit* edit, QString CElement::*field) {
        connect(edit, &QLineEdit::textEdited, this, [this, edit, field](const QString& text) {
            if (CText* t = BeginEdit(edit)) {
                t->*field = text;
                EndEdit(t);
            }
        });
    };
    textRule(m_allow, &CElement::m_filterList);
    textRule(m_prefix, &CElement::m_prefix);
    textRule(m_suffix, &CElement::m_suffix);
    connect(m_length, &QComboBox::activated, this, [this](int index) {
        CText* t = BeginEdit(m_length);
        if (!t)
            return;
        t->m_lengthConstraint = index;
        if (index == 0)
            t->m_truncation = t->m_paddingMode = 0;
        else if (index == 2)
            t->m_paddingMode = 0;
        else if (index == 3)
            t->m_truncation = 0;
        if (index != 0) {
            bool ok = false;
            const int limit = m_lengthValue->text().trimmed().toInt(&ok);
            if (ok && limit >= 0)
                t->m_lengthLimit = limit;
        }
        EndEdit(t);
        SetLoading(true);
        m_truncate->setCurrentIndex(t->m_truncation);
        m_pad->setCurrentIndex(t->m_paddingMode);
        SetLoading(false);
        ApplyRulesEnabling();
        if (index != 0) {
            m_lengthValue->setFocus();
            m_lengthValue->selectAll();
        }
    });
    connect(m_lengthValue, &QLineEdit::textEdited, this, [this](const QString& text) {
        bool ok = false;
        const int value = text.trimmed().toInt(&ok);
        if (!ok || value < 0)
            return;
        if (CText* t = BeginEdit(m_lengthValue)) {
            t->m_lengthLimit = value;
            EndEdit(t);
        }
    });
    connect(m_truncate, &QComboBox::activated, this, [this](int index) {
        if (CText* t = BeginEdit(m_truncate)) {
            t->m_truncation = index;
            EndEdit(t);
            ApplyRulesEnabling();
        }
    });
    connect(m_pad, &QComboBox::activated, this, [this](int index) {
        if (CText* t = BeginEdit(m_pad)) {
            t->m_paddingMode = index;
            EndEdit(t);
            ApplyRulesEnabling();
            if (index != 0) {
                m_padChar->setFocus();
                m_padChar->selectAll();
            }
        }
    });
    connect(m_padChar, &QLineEdit::textEdited, this, [this](const QString& text) {
        // An emptied field takes no character: the padding keeps its own.
        if (text.isEmpty())
            return;
        if (CText* t = BeginEdit(m_padChar)) {
            const QChar c = text.at(0);
            t->m_paddingChar = c.unicode() < 256 ? BYTE(c.unicode()) : BYTE('?');
            EndEdit(t);
        }
    });
    connect(m_spellCheck, &QCheckBox::clicked, this, [this](bool on) {
        if (CText* t = BeginEdit(m_spellCheck)) {
            t->m_forceSpellCheck = on ? TRUE : FALSE;
            MarkModified();
        }
    });
    layout->addStretch(1);
    return page;
}

void CTextView::LoadRules(CText* t)
{
    m_filter->setCurrentIndex(std::clamp(t->m_filterType, 0, 5));
    m_allow->setText(t->m_filterList);
    m_coercion->setCurrentIndex(std::clamp(t->m_caseCoercion, 0, 4));
    m_prefix->setText(t->m_prefix);
    m_suffix->setText(t->m_suffix);
    m_length->setCurrentIndex(std::clamp(t->m_lengthConstraint, 0, 3));
    m_lengthValue->setText(QString::number(
        t->m_lengthConstraint ? t->m_lengthLimit : int(t->GetEnteredData().size())));
    m_truncate->setCurrentIndex(std::clamp(t->m_truncation, 0, 2));
    m_pad->setCurrentIndex(std::clamp(t->m_paddingMode, 0, 2));
    m_padChar->setText(t->m_paddingChar ? QString(QChar(t->m_paddingChar)) : QString());
    m_spellCheck->setChecked(t->m_forceSpellCheck);
    // Without spelling there is nothing to check before printing.
    m_spellCheck->setVisible(SpellingAvailable());
}

void CTextView::LoadCopyFit(CText* t)
{
    m_copyFit->setChecked(t->m_copyFit);
    const CRect frame = t->m_copyFit ? t->m_formatRect : t->m_textRect;
    SetLength(m_frameHeight, std::abs(frame.Height()));
    // The width shown is at least the smallest width a field takes.
    SetLength(m_frameWidth, std::max(std::abs(frame.Width()), 1));
    m_horz->setCurrentIndex(std::clamp(t->m_horzJustify, 0, 3));
    m_vert->setCurrentIndex(std::clamp(t->m_vertJustify, 0, 2));
    m_spacingMode->setCurrentIndex(std::clamp(t->m_lineSpaceMode, 0, 2));
    m_spacing->setValue(std::clamp(t->m_lineSpaceAmount, 1, 999));
    m_preserve->setChecked(t->m_preserveBreaks);
    m_restrict->setChecked(t->m_maxLines != -1);
    const int lines = t->m_maxLines > 0 ? t->m_maxLines : static_cast<int>(t->m_lines.size());
    m_lineCount->setValue(std::clamp(lines, 1, 999));
    m_minSize->setEditText(t->m_font.FormatPointSize(t->m_minHeight));
    m_maxSize->setEditText(t->m_font.FormatPointSize(t->m_maxHeight));
    ApplyCopyFitEnabling();
}

void CTextView::OnCopyFit()
{
    CText* t = BeginEdit(m_copyFit);
    if (!t)
        return;
    const bool on = m_copyFit->isChecked();
    if (on && !t->m_copyFit) {
        // The frame starts as the text stands; no line limit with copy-fit.
        const CRect r = t->m_textRect;
        t->m_formatRect = CRect(t->m_position.x, t->m_position.y,
                                t->m_position.x + std::max(std::abs(r.Width()), 1),
                                t->m_position.y + std::max(std::abs(r.Height()), 1));
        t->m_maxLines = -1;
    }
    t->m_copyFit = on ? TRUE : FALSE;
    EndEdit(t);
    SetLoading(true);
    LoadCopyFit(t);
    SetLoading(false);
    RefreshTextPage();
}

void CTextView::OnFrameSize(bool height, int tenths)
{
    // The frame is at least a tenth of a millimetre each way.
    if (tenths < 1)
        return;
    CText* t = BeginEdit(height ? m_frameHeight : m_frameWidth);
    if (!t)
        return;
    CRect& f = t->m_formatRect;
    f = CRect(t->m_position.x, t->m_position.y, t->m_position.x + f.Width(),
              t->m_position.y + f.Height());
    if (height)
        f.bottom = f.top + tenths;
    else
        f.right = f.left + tenths;
    EndEdit(t);
    RefreshTextPage();
}

void CTextView::OnJustify()
{
    if (CText* t = BeginEdit(m_horz)) {
        t->m_horzJustify = m_horz->currentIndex();
        t->m_vertJustify = m_vert->currentIndex();
        EndEdit(t);
    }
}

void CTextView::OnSpacingMode(int mode)
{
    CText* t = BeginEdit(m_spacingMode);
    if (!t)
        return;
    const int before = t->m_lineSpaceMode;
    int amount = t->m_lineSpaceAmount;
    const double lineHeight = LineHeight(t->m_font);
    if (mode == LINESPACE_OWN) {
        amount = 100;
    } else if (mode == LINESPACE_PERCENT && before == LINESPACE_PER_INCH) {
        if (amount > 0 && lineHeight > 0)
            amount = RoundHalfUp(254.0 / (amount * lineHeight) * 100.0);
    } else if (mode == LINESPACE_PER_INCH && before != LINESPACE_PER_INCH) {
        if (amount > 0 && lineHeight > 0)
            amount = RoundHalfUp(254.0 / (lineHeight * amount * 0.01));
    }
    t->m_lineSpaceMode = mode;
    t->m_lineSpaceAmount = std::clamp(amount, 1, 999);
    EndEdit(t);
    SetLoading(true);
    m_spacing->setValue(t->m_lineSpaceAmount);
    SetLoading(false);
    ApplyCopyFitEnabling();
}

void CTextView::OnSpacing()
{
    if (CText* t = BeginEdit(m_spacing)) {
        t->m_lineSpaceAmount = m_spacing->value();
        EndEdit(t);
    }
}

void CTextView::OnRestrict()
{
    if (CText* t = BeginEdit(m_restrict)) {
        t->m_maxLines = m_restrict->isChecked() ? m_lineCount->value() : -1;
        EndEdit(t);
        ApplyCopyFitEnabling();
    }
}

void CTextView::OnSizeRange(bool minimum, const QString& text)
{
    if (IsLoading())
        return;
    double points = 0;
    if (!PaneUnits::Parse(text, points) || points <= 0 || points > 10000)
        return;
    auto* t = ElementAs<CText>();
    if (!t)
        return;
    const int height = t->m_font.SnapHeight(t->m_font.PointsToHeight(points));
    if ((minimum ? t->m_minHeight : t->m_maxHeight) == height)
        return;
    if (!(t = BeginEdit(minimum ? m_minSize : m_maxSize)))
        return;
    // A minimum above the maximum is the maximum.
    if (minimum)
        t->m_minHeight = std::min(height, t->m_maxHeight);
    else
        t->m_maxHeight = height;
    EndEdit(t);
    RefreshTextPage();
}

void CTextView::ApplyCopyFitEnabling()
{
    const bool fit = m_copyFit->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{m_frameHeight, m_frameWidth, m_minSize,
                                                      m_maxSize, m_vert, m_preserve})
        w->setEnabled(fit);
    m_lineCount->setEnabled(m_restrict->isChecked());
    const int mode = m_spacingMode->currentIndex();
    m_spacing->setEnabled(mode != LINESPACE_OWN);
    m_spacingUnit->setText(mode == LINESPACE_PER_INCH ? tr("lpi") : QStringLiteral("%"));
}

void CTextView::ApplyRulesEnabling()
{
    auto* t = ElementAs<CText>();
    if (!t)
        return;
    const bool wasLoading = IsLoading();
    SetLoading(true);
    const int kind = t->m_dataSource;
    const bool linked = kind != SOURCE_FIXED;
    if (!linked) {
        // Fixed text has no rules: the controls show none, whatever the
        // element keeps.
        m_filter->setCurrentIndex(0);
        m_allow->clear();
        m_coercion->setCurrentIndex(0);
        m_prefix->clear();
        m_suffix->clear();
        m_length->setCurrentIndex(0);
        m_truncate->setCurrentIndex(0);
        m_pad->setCurrentIndex(0);
        m_spellCheck->setChecked(false);
    } else {
        LoadRules(t);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{m_filter, m_coercion, m_prefix, m_suffix,
                                                      m_length, m_truncate, m_pad})
        w->setEnabled(linked);
    m_spellCheck->setEnabled(kind == SOURCE_KEYBOARD);
    const bool custom = m_filter->currentIndex() == 4;
    m_allow->setVisible(custom);
    m_allowLabel->setVisible(custom);
    const int length = m_length->currentIndex();
    m_lengthLabel->setVisible(length != 0);
    m_lengthValue->setVisible(length != 0);
    m_lengthLabel->setText(LoadStringId(length == 1 ? IDS_LABEL_AT : IDS_LABEL_IS));
    m_truncate->setEnabled(linked && (length == 1 || length == 2));
    m_pad->setEnabled(linked && (length == 1 || length == 3));
    const bool padding = m_pad->currentIndex() != 0;
    m_padChar->setVisible(padding);
    m_padLabel->setVisible(padding);
    SetLoading(wasLoading);
}

// --- the Effects page ------------------------------------------------------------------

QWidget* CTextView::BuildEffectsPage()
{
    auto* page = Named(new QWidget(m_tabs), 374);
    auto* layout = new QVBoxLayout(page);

    QGridLayout* border = AddGroup(layout, tr("Border"));
    QWidget* borderBox = border->parentWidget();
    m_border = Named(new QCheckBox(tr("Surround Text With Border"), borderBox), 1211);
    border->addWidget(m_border, 0, 0, 1, 3);
    connect(m_border, &QCheckBox::clicked, this, [this] { OnBorder(m_border); });
    m_thickness = AddLengthField(border, 1, tr("Thickness"), 1013, 1019, LENGTH_SIZE,
                                 [this](int) { OnBorder(m_thickness); });
    m_corners = Combo(borderBox, 1009, {tr("Square"), tr("Rounded"), tr("Chamfered")});
    AddRow(border, 2, tr("Corners"), m_corners);
    connect(m_corners, &QComboBox::activated, this, [this] { OnBorder(m_corners); });
    m_horzMargin = AddLengthField(border, 3, tr("Horz Margin"), 1106, 1020, LENGTH_SIZE,
                                  [this](int) { OnBorder(m_horzMargin); });
    m_vertMargin = AddLengthField(border, 4, tr("Vert Margin"), 1119, 1021, LENGTH_SIZE,
                                  [this](int) { OnBorder(m_vertMargin); });
    AddColourRow(border, 5, tr("Colour"), 1035, 1036, &m_borderColour,
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
    m_bulletFaces = Named(new QListWidget(bulletBox), 1164);
    FillFaces(m_bulletFaces);
    bullets->addWidget(m_bulletFaces, 1, 0, 1, 3);
    connect(m_bulletFaces, &QListWidget::itemSelectionChanged, this, [this] {
        if (IsLoading())
            return;
        QListWidgetItem* item = m_bulletFaces->currentItem();
        if (!item || !item->isSelected()) {
            SetLoading(true);
            SelectFace(m_bulletFaces, m_bulletFace);
            SetLoading(false);
            return;
        }
        m_bulletFace = item->text();
        ShowSymbol();
        OnBullets(m_bulletFaces);
    });
    m_symbol = Named(new QLabel(bulletBox), 1179);
    m_symbol->setMinimumSize(28, 28);
    m_symbol->setAlignment(Qt::AlignCenter);
    m_symbolSpin = Spin(bulletBox, 1216, 33, 255);
    AddRow(bullets, 2, tr("Symbol"), m_symbol);
    bullets->addWidget(m_symbolSpin, 2, 2);
    connect(m_symbolSpin, &QSpinBox::valueChanged, this, [this](int code) {
        if (IsLoading())
            return;
        m_symbolCode = code;
        ShowSymbol();
        OnBullets(m_symbolSpin);
    });
    m_numbering =
        Combo(bulletBox, 1222,
              {QStringLiteral("1,2,3..."), QStringLiteral("a,b,c..."), QStringLiteral("A,B,C..."),
               QStringLiteral("i,ii,iii..."), QStringLiteral("I,II,III...")});
    AddRow(bullets, 3, tr("Numbering"), m_numbering);
    connect(m_numbering, &QComboBox::activated, this, [this] {
        ShowStart();
        OnBullets(m_numbering);
    });
    m_bulletPrefix = Named(new QLineEdit(bulletBox), 1214);
    AddRow(bullets, 4, tr("Prefix"), m_bulletPrefix);
    m_start = Named(new QLineEdit(bulletBox), 1223);
    m_start->setReadOnly(true);
    m_startSpin = Spin(bulletBox, 1213, 1, 99);
    AddRow(bullets, 5, tr("Start"), m_start);
    bullets->addWidget(m_startSpin, 5, 2);
    connect(m_startSpin, &QSpinBox::valueChanged, this, [this](int value) {
        if (IsLoading())
            return;
        m_startValue = value;
        ShowStart();
        OnBullets(m_startSpin);
    });
    m_bulletSuffix = Named(new QLineEdit(bulletBox), 1215);
    AddRow(bullets, 6, tr("Suffix"), m_bulletSuffix);
    m_offset = AddLengthField(bullets, 7, tr("Text Offset"), 1217, 1022, LENGTH_SIZE,
                              [this](int) { OnBullets(m_offset); });
    m_relativeSize = Spin(bulletBox, 1221, 1, 100);
    AddRow(bullets, 8, tr("Relative Size"), m_relativeSize);
    bullets->addWidget(new QLabel(QStringLiteral("%"), bulletBox), 8, 2);
    connect(m_relativeSize, &QSpinBox::valueChanged, this, [this] { OnBullets(m_relativeSize); });
    for (QLineEdit* edit : {m_bulletPrefix, m_bulletSuffix})
        connect(edit, &QLineEdit::textEdited, this, [this, edit] { OnBullets(edit); });
    AddColourRow(bullets, 9, tr("Colour"), 1535, 1536, &m_bulletColour,
                 [this](COLORREF) { OnBullets(m_bulletSelect); });
    m_bulletSelect = qobject_cast<QPushButton*>(bullets->itemAtPosition(9, 2)->widget());
    layout->addStretch(1);
    return page;
}

void CTextView::OnBorder(QObject* control)
{
    CText* t = BeginEdit(control);
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
    EndEdit(t);
    ApplyEffectsEnabling();
}

void CTextView::ApplyEffectsEnabling()
{
    auto* t = ElementAs<CText>();
    if (!t)
        return;
    const bool wasLoading = IsLoading();
    SetLoading(true);
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
        SelectFace(m_bulletFaces, m_bulletFace);
    }
    SetLoading(wasLoading);
}

void CTextView::ShowSymbol()
{
    QFont font(CPrinterFontMetrics::ResolveFace(m_bulletFace));
    font.setPixelSize(std::max(m_symbol->height() - 2, 8));
    m_symbol->setFont(font);
    const QString text = QString::fromLatin1(QByteArray(1, char(m_symbolCode)));
    m_symbol->setText(text);
}

void CTextView::ShowStart()
{
    const int style = m_numbering->currentIndex();
    const bool letters = style == 1 || style == 2;
    const bool wasLoading = IsLoading();
    SetLoading(true);
    m_startSpin->setMaximum(letters ? 26 : 99);
    m_startValue = std::clamp(m_startValue, 1, letters ? 26 : 99);
    m_startSpin->setValue(m_startValue);
    SetLoading(wasLoading);
    m_start->setText(CBulletArray::FormatItemNumber(m_startValue, style + 1, 0));
}

// --- loading and the edit protocol -----------------------------------------------------------

void CTextView::Load(CText* t)
{
    SetLoading(true);
    // The name, print options and source block.
    CLogFont font = t->m_font;
    const QList<QListWidgetItem*> found =
        m_faces->findItems(font.GetFaceName(), Qt::MatchFixedString);
    const DWORD data = found.isEmpty() ? CLogFont::EnumerateFace(font.GetFaceName())
                                       : found.first()->data(Qt::UserRole).toUInt();
    LoadCommonBlocks(t, !IsTrueType(data));
    LoadFont(font);
    m_text->setPlainText(t->m_sampleText);
    // The rich-text editor is part of the program.
    m_richText->setEnabled(true);

    m_textColour = t->m_textColour;
    m_backgroundColour = t->m_backgroundColour;
    m_coloured->setChecked(t->m_colouredBackground);
    for (QWidget* w : m_backgroundRow)
        w->setVisible(t->m_colouredBackground);
    LoadRules(t);
    LoadCopyFit(t);
    LoadEffects(t);

    UpdateFromElement();
    ApplyRulesEnabling();
    RefreshTextPage();
    m_stampSource = QString::number(t->m_dataSource) + u':' + t->m_sourceName;
    SetLoading(false);
}

void CTextView::LoadEffects(CText* t)
{
    const CBoxDefaults& boxDefaults = App().Get<CBoxDefaults>();
    const CBox* box = t->m_frameBox.get();
    m_border->setChecked(box != nullptr);
    SetLength(m_thickness, box ? box->m_thickness : boxDefaults.thickness);
    m_corners->setCurrentIndex(std::clamp(box ? box->m_cornerType : boxDefaults.cornerType, 0, 2));
    m_borderColour = box ? box->m_outlineColour : boxDefaults.outlineColour;
    SetLength(m_horzMargin, t->m_horzMargin);
    SetLength(m_vertMargin, t->m_vertMargin);
    LoadBullets(t);
    ApplyEffectsEnabling();
}

void CTextView::UpdateFromElement()
{
    auto* t = ElementAs<CText>();
    if (!t)
        return;
    const bool wasLoading = IsLoading();
    SetLoading(true);
    SetLength(m_x, t->m_position.x);
    SetLength(m_y, t->m_position.y);
    m_angle->setText(QString::number(t->GetAngle()));
    m_size->setEditText(t->m_font.FormatPointSize());
    // A text changed outside the pane (the spelling check) shows as it is
    // now, so that the next keystroke does not bring the old words back.
    if (NormalizeLineBreaks(m_text->toPlainText()) != t->m_sampleText)
        m_text->setPlainText(t->m_sampleText);
    const CRect frame = t->m_copyFit ? t->m_formatRect : t->m_textRect;
    SetLength(m_frameHeight, std::abs(frame.Height()));
    SetLength(m_frameWidth, std::max(std::abs(frame.Width()), 1));
    SetLoading(wasLoading);
}

CText* CTextView::BeginEdit(QObject* control)
{
    if (IsLoading())
        return nullptr;
    auto* t = ElementAs<CText>();
    if (!t)
        return nullptr;
    // The pane's opening normally kept the state before the first edit;
    // when it did not (the text tool's new text), the first edit keeps it.
    CUndoHistory& history = TheUndoHistory();
    bool record = m_edits > 0 && control != m_lastEdit;
    if (m_edits == 0) {
        const int current = history.GetCurrent();
        const bool kept = current >= 0 && current < history.GetCount() &&
                          history.GetRecord(current).kind == UNDO_CHANGED &&
                          history.GetRecord(current).identity == t->m_undoIdentity;
        record = !kept;
    }
    ++m_edits;
    if (record)
        history.Record(UNDO_CHANGED, t);
    m_lastEdit = control;
    return t;
}

void CTextView::EndEdit(CText* t)
{
    ElementEdited(t);
    t->RecalcPosition(View());
}

// --- bullets ------------------------------------------------------------------------------

void CTextView::LoadBullets(CText* t)
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
    SelectFace(m_bulletFaces, m_bulletFace);
    SetLength(m_offset, b.m_offset);
    m_relativeSize->setValue(std::clamp(b.m_size, 1, 100));
    m_bulletColour = b.GetColour();
    ShowStart();
    ShowSymbol();
}

void CTextView::OnBullets(QObject* control)
{
    CText* t = BeginEdit(control);
    if (!t)
        return;
    // Numbers and letters are not drawn in the bullet symbols' face.
    if (m_bulletList->isChecked() && IsBulletFace(m_bulletFace)) {
        m_bulletFace = QStringLiteral("Arial");
        const bool wasLoading = IsLoading();
        SetLoading(true);
        SelectFace(m_bulletFaces, m_bulletFace);
        SetLoading(wasLoading);
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
    EndEdit(t);
    ApplyEffectsEnabling();
}
