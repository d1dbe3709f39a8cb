#include "AppContext.h"
#include "ElementList.h"
#include "ElementView.h"
#include "FontColourBlock.h"
#include "ListCtrlEx.h"
#include "LogFont.h"
#include "MessageBox.h"
#include "ShellParts.h"
#include "TestSupport.h"
#include "Text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A view that maps tenths of a millimetre 1:1 and counts repaint requests.
class CRecordingView : public CViewSeam
{
public:
    CPoint LPtoDP(CPoint p) const override { return p; }
    CPoint DPtoLP(CPoint p) const override { return p; }
    CSize LPtoDPSize(CSize s) const override { return s; }
    CSize DPtoLPSize(CSize s) const override { return s; }
    void InvalidateRect(const CRect&, bool) override { ++invalidations; }
    int invalidations = 0;
};

// The printer's faces plus a bitmap face whose regular style comes in three
// sizes; its bold, italic and bold italic styles have sizes of their own,
// which a size list never offers. Its semibold counts as regular.
class CFixedFaceMetrics : public CPrinterFontMetrics
{
public:
    static inline const QString kFace = QStringLiteral("Tabrel Fixed Test");
    // A bitmap face in bold and italic only: no size of it is kept, so it
    // takes any size.
    static inline const QString kSlantedFace = QStringLiteral("Tabrel Slanted Test");

    CFaceInfo EnumerateFace(const QString& face) override
    {
        if (face != kFace && face != kSlantedFace)
            return CPrinterFontMetrics::EnumerateFace(face);
        CFaceInfo info;
        info.found = true;
        info.pitchAndFamily = 0x22;
        info.tmPitchAndFamily = 0x21; // neither scalable nor TrueType
        struct Style
        {
            LONG weight;
            bool italic;
            std::vector<LONG> heights;
        };
        const std::vector<Style> styles =
            face == kFace ? std::vector<Style>{{400, false, {35, 85}},
                                               {600, false, {53}},
                                               {700, false, {42, 71}},
                                               {400, true, {46, 64}},
                                               {700, true, {106}}}
                          : std::vector<Style>{{700, false, {42}}, {400, true, {46}}};
        for (const Style& style : styles)
            for (LONG height : style.heights)
                info.variants.push_back(
                    {face, CFaceVariant::Raster, height, style.weight, style.italic});
        return info;
    }
};

// A bare pane with the font block only, bound to its element as the panes
// bind it.
class CFontPane : public CElementView
{
public:
    explicit CFontPane(CElement* element) : CElementView(element, 371, QStringLiteral("Text"))
    {
        auto* block = new CFontColourBlock(CFontColourBlock::EFFECTS, this);
        Form()->addWidget(block);
        CFontColourBlock::Edits edits;
        edits.begin = [this](QObject*) -> CElement* { return IsLoading() ? nullptr : Element(); };
        edits.end = [this](CElement* e) { ElementEdited(e); };
        block->Bind(element, std::move(edits));
        SetLoading(false);
    }
};

class FontBlockTest : public ::testing::Test
{
protected:
    FontBlockTest()
    {
        EnsureWidgetApp();
        RegisterAllClasses();
        context.currentView = &view;
        CElementView::ModifiedHook() = [this] { ++modified; };
        // The faces the block's face list offers.
        CListCtrlEx offered;
        CFontColourBlock::FillFaces(&offered);
        for (int row = 0; row < offered.ItemCount(); ++row)
            faces << offered.CellText(row, 0);
    }
    ~FontBlockTest() override
    {
        pane.reset();
        CElementView::ModifiedHook() = nullptr;
        CFontMetricsProvider::Install(nullptr);
        context.currentView = nullptr;
    }

    CText* AddText(const QString& face, double points)
    {
        auto* text = new CText;
        text->m_name = QStringLiteral("Text1");
        text->SetTextFromLines(QStringLiteral("Sample"));
        CLogFont font;
        text->GetFont(font);
        font.SetFaceName(face);
        font.SetHeight(font.PointsToHeight(points));
        text->SetFont(nullptr, font);
        TheElementList().AddTail(text);
        return text;
    }
    void Open(CText* text)
    {
        pane = std::make_unique<CFontPane>(text);
        modified = 0;
        view.invalidations = 0;
    }
    template <class T> T* Find(int id) const
    {
        return pane->findChild<T*>(QStringLiteral("id%1").arg(id));
    }
    static CLogFont FontOf(const CText* text)
    {
        CLogFont font;
        text->GetFont(font);
        return font;
    }
    // A printer face other than the given one.
    QString OtherFace(const QString& face) const
    {
        for (const QString& f : faces)
            if (f != face && CLogFont::EnumerateFace(f) & 0x02)
                return f;
        return QString();
    }

    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    CRecordingView view;
    std::unique_ptr<CFontPane> pane;
    QStringList faces;
    int modified = 0;
};

TEST_F(FontBlockTest, ShowsTheElementsFaceSizeAndStyle)
{
    ASSERT_FALSE(faces.isEmpty()) << "the printer offers no face";
    const QString face = faces.first();
    CText* text = AddText(face, 14);
    CLogFont font = FontOf(text);
    font.SetBold(TRUE);
    font.SetUnderline(TRUE);
    text->SetFont(nullptr, font);
    Open(text);

    ASSERT_GE(Find<CListCtrlEx>(1164)->SelectedItem(), 0);
    EXPECT_EQ(Find<CListCtrlEx>(1164)->CellText(Find<CListCtrlEx>(1164)->SelectedItem(), 0), face);
    EXPECT_EQ(Find<QComboBox>(1040)->currentText(), font.FormatPointSize());
    EXPECT_EQ(Find<QComboBox>(1039)->currentIndex(), 2) << "Bold";
    EXPECT_TRUE(Find<QCheckBox>(1038)->isChecked());
    EXPECT_FALSE(Find<QCheckBox>(1037)->isChecked());
    EXPECT_EQ(modified, 0) << "showing is no edit";
}

TEST_F(FontBlockTest, EditsReachTheElementsFont)
{
    ASSERT_FALSE(faces.isEmpty());
    const QString face = faces.first();
    const QString other = OtherFace(face);
    ASSERT_FALSE(other.isEmpty()) << "needs two scalable faces";
    enum Edit
    {
        FACE,
        SIZE_TYPED,
        SIZE_LISTED,
        BOLD,
        ITALIC,
        UNDERLINE,
        STRIKEOUT
    };
    const Edit edits[] = {FACE, SIZE_TYPED, SIZE_LISTED, BOLD, ITALIC, UNDERLINE, STRIKEOUT};
    for (Edit edit : edits) {
        CText* text = AddText(face, 12);
        Open(text);
        const CLogFont before = FontOf(text);
        switch (edit) {
        case FACE: {
            CListCtrlEx* list = Find<CListCtrlEx>(1164);
            ASSERT_GE(list->SelectItemText(other), 0);
            break;
        }
        case SIZE_TYPED: {
            QComboBox* size = Find<QComboBox>(1040);
            size->lineEdit()->selectAll();
            QTest::keyClicks(size->lineEdit(), QStringLiteral("24"));
            break;
        }
        case SIZE_LISTED: {
            QComboBox* size = Find<QComboBox>(1040);
            const int index = size->findText(QStringLiteral("36"));
            ASSERT_GE(index, 0);
            size->setCurrentIndex(index);
            emit size->textActivated(size->itemText(index));
            break;
        }
        case BOLD:
        case ITALIC: {
            QComboBox* style = Find<QComboBox>(1039);
            style->setCurrentIndex(edit == BOLD ? 2 : 1);
            emit style->activated(style->currentIndex());
            break;
        }
        case UNDERLINE:
            Find<QCheckBox>(1038)->click();
            break;
        case STRIKEOUT:
            Find<QCheckBox>(1037)->click();
            break;
        }
        const CLogFont after = FontOf(text);
        const LogFontFields& lf = after.GetLogFont();
        EXPECT_EQ(after.GetFaceName(), edit == FACE ? other : face) << edit;
        if (edit == SIZE_TYPED) {
            EXPECT_EQ(after.GetHeight(), after.SnapHeight(after.PointsToHeight(24)));
        } else if (edit == SIZE_LISTED) {
            EXPECT_EQ(after.GetHeight(), after.SnapHeight(after.PointsToHeight(36)));
        } else if (edit != FACE) {
            EXPECT_EQ(after.GetHeight(), before.GetHeight()) << edit;
        }
        EXPECT_EQ(lf.lfWeight >= 700, edit == BOLD) << edit;
        EXPECT_EQ(lf.lfItalic != 0, edit == ITALIC) << edit;
        EXPECT_EQ(lf.lfUnderline != 0, edit == UNDERLINE) << edit;
        EXPECT_EQ(lf.lfStrikeOut != 0, edit == STRIKEOUT) << edit;
        EXPECT_GT(modified, 0) << "the sign is marked modified: " << edit;
        EXPECT_GT(view.invalidations, 0) << "the element redraws: " << edit;
    }
}

TEST_F(FontBlockTest, SizeListShowsTheHeightsTheFaceAllows)
{
    CFontMetricsProvider::Install(std::make_unique<CFixedFaceMetrics>());
    ASSERT_FALSE(faces.isEmpty());
    CText* fixed = AddText(CFixedFaceMetrics::kFace, 10);
    CText* scalable = AddText(OtherFace(QString()), 10);
    CText* slanted = AddText(CFixedFaceMetrics::kSlantedFace, 10);
    struct Case
    {
        CText* text;
        QStringList expected;
    };
    // The em heights 35, 53 and 85 tenths are 9.9, 15.0 and 24.1 points.
    const QStringList fixedSizes = {"10", "15", "24"};
    const QStringList standard = {"2",  "4",  "6",  "8",   "9",   "10",  "11",  "12",
                                  "14", "16", "18", "20",  "22",  "24",  "26",  "28",
                                  "36", "48", "72", "108", "144", "192", "288", "432"};
    const Case cases[] = {{fixed, fixedSizes}, {scalable, standard}, {slanted, standard}};
    for (const Case& c : cases) {
        Open(c.text);
        QComboBox* size = Find<QComboBox>(1040);
        QStringList shown;
        for (int i = 0; i < size->count(); ++i)
            shown << size->itemText(i);
        EXPECT_EQ(shown, c.expected) << FontOf(c.text).GetFaceName().toStdString();
    }

    // A typed size the fixed face lacks becomes its nearest allowed height.
    Open(fixed);
    QComboBox* size = Find<QComboBox>(1040);
    size->lineEdit()->selectAll();
    QTest::keyClicks(size->lineEdit(), QStringLiteral("20"));
    const CLogFont after = FontOf(fixed);
    const std::vector<int>& allowed = after.GetAllowedHeights();
    ASSERT_EQ(allowed.size(), 3u);
    EXPECT_EQ(after.GetHeight(), allowed.back()) << "20 points is nearest 24";
}

} // namespace
