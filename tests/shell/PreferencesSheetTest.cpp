// The Preferences menu of the designer: each command opens the sheet at its
// own page, OK stores what the pages show (in the display unit), Cancel
// changes nothing, and what was stored is in the profile at the next start.
#include "MainFrame.h"

#include "AppContext.h"
#include "BarcodeStyle.h"
#include "ElementDefaults.h"
#include "ListCtrlEx.h"
#include "LogFont.h"
#include "MessageBox.h"
#include "Preferences.h"
#include "PriceFontDlg.h"
#include "PriceSample.h"
#include "SignApp.h"
#include "Symbology.h"
#include "SystemCallbacks.h"
#include "TestSupport.h"
#include "TextBase.h"
#include "ui/PreferencesSheet.h"

#include "../support/DialogAnswer.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>
#include <map>
#include <optional>

namespace {

template <class T> T* Control(QWidget* page, int id)
{
    return page ? page->findChild<T*>(QStringLiteral("id%1").arg(id)) : nullptr;
}

class PreferencesSheetTest : public ::testing::Test
{
protected:
    PreferencesSheetTest()
    {
        EnsureWidgetApp();
        Start();
    }
    ~PreferencesSheetTest() override { Stop(); }

    void Start()
    {
        context.emplace();
        app.emplace();
        app->frameTemplate = CSignApp::DesignerFrameTemplate();
        if (app->InitInstance({"tabrel"}))
            frame = qobject_cast<CMainFrame*>(app->GetMainWindow());
        if (frame)
            frame->show();
    }
    // Exit writes the profile, as the program does.
    void Stop()
    {
        if (frame)
            frame->Document().SetModifiedFlag(false);
        if (app)
            app->ExitInstance();
        frame = nullptr;
        app.reset();
        context.reset();
    }

    // Runs a Preferences command from the menu; the answer acts on the sheet.
    void Run(int command, std::function<void(CPreferencesSheet*)> answer)
    {
        ASSERT_NE(frame, nullptr);
        frame->UpdateActionsNow();
        QAction* action = frame->Action(command);
        ASSERT_NE(action, nullptr);
        ASSERT_TRUE(action->isEnabled()) << command;
        CAnswer<CPreferencesSheet> answerer(std::move(answer));
        action->trigger();
        EXPECT_TRUE(answerer.Answered()) << command;
    }

    CTestHome home;
    CMessageResponder messages;
    std::optional<CAppContext> context;
    std::optional<CSignApp> app;
    CMainFrame* frame = nullptr;
};

} // namespace

TEST_F(PreferencesSheetTest, EachCommandOpensItsOwnPage)
{
    struct Case
    {
        int command;
        int page;
        const char* caption;
    };
    const Case cases[] = {
        {ID_PREF_GENERAL, 0, "General"},
        {ID_PREF_LINES, 1, "Lines"},
        {ID_PREF_BOXES, 2, "Boxes"},
        {ID_PREF_ELLIPSES, 3, "Ellipses"},
        {ID_PREF_TEXT, 4, "Text"},
        {ID_PREF_BARCODES, 5, "Barcodes"},
        {ID_PREF_PRICES, 6, "Prices"},
        {ID_PREF_PICTURES, 7, "Pictures"},
        {ID_PREF_BULLETS, 8, "Bullet Points"},
        {ID_PREF_SPELLING, 9, "Spelling"},
        {ID_PREF_SYMBOLS, 10, "Symbols"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        Run(c.command, [&c](CPreferencesSheet* sheet) {
            EXPECT_EQ(sheet->windowTitle(), "Preferences");
            EXPECT_EQ(sheet->PageCount(), 11);
            EXPECT_EQ(sheet->Tabs()->currentIndex(), c.page);
            EXPECT_EQ(sheet->Tabs()->tabText(c.page), c.caption);
            sheet->reject();
        });
    }
    EXPECT_EQ(PreferencePageIndex(ID_FILE_OPEN), 0);

    // The box page has corners; the ellipse page hides them.
    Run(ID_PREF_ELLIPSES, [](CPreferencesSheet* sheet) {
        for (int id : {1064, 1009, 1253, 1110, 1188}) {
            EXPECT_FALSE(Control<QWidget>(sheet->Page(2), id)->isHidden()) << id;
            EXPECT_TRUE(Control<QWidget>(sheet->Page(3), id)->isHidden()) << id;
        }
        // The fill colour shows only while the interior is filled.
        QWidget* page = sheet->Page(2);
        auto* filled = Control<QCheckBox>(page, 1203);
        filled->setChecked(false);
        EXPECT_TRUE(Control<QWidget>(page, 1017)->isHidden());
        filled->setChecked(true);
        EXPECT_FALSE(Control<QWidget>(page, 1017)->isHidden());
        sheet->reject();
    });
}

TEST_F(PreferencesSheetTest, AFaceThatIsNotInstalledStillShowsSelected)
{
    // New texts and prices start in "Arial", which this machine does not
    // have: the face lists show it, selected, rather than nothing.
    ASSERT_FALSE(QFontDatabase::families().contains(QStringLiteral("Arial")));
    for (const auto& [command, page] : {std::pair{ID_PREF_TEXT, 4}, std::pair{ID_PREF_PRICES, 6}}) {
        SCOPED_TRACE(page);
        Run(command, [page = page](CPreferencesSheet* sheet) {
            auto* faces = Control<CListCtrlEx>(sheet->Page(page), 1164);
            ASSERT_NE(faces, nullptr);
            EXPECT_EQ(faces->selectedItems().size(), 1);
            EXPECT_EQ(faces->CellText(faces->SelectedItem(), 0), QStringLiteral("Arial"));
            // Choosing another face and coming back works as for any face.
            ASSERT_TRUE(faces->SelectItem(faces->ItemCount() - 1));
            EXPECT_NE(faces->CellText(faces->SelectedItem(), 0), QStringLiteral("Arial"));
            ASSERT_GE(faces->SelectItemText(QStringLiteral("Arial")), 0);
            EXPECT_EQ(faces->CellText(faces->SelectedItem(), 0), QStringLiteral("Arial"));
            sheet->accept();
        });
    }
    EXPECT_EQ(CTextDefaults::Current().font.GetFaceName(), QStringLiteral("Arial"));
}

TEST_F(PreferencesSheetTest, CancelChangesNothing)
{
    const int undo = App().general.undoLevels;
    const int thickness = App().Get<CLineDefaults>().thickness;
    Run(ID_PREF_GENERAL, [](CPreferencesSheet* sheet) {
        Control<QSpinBox>(sheet->Page(0), 1171)->setValue(7);
        Control<QDoubleSpinBox>(sheet->Page(1), 1013)->setValue(99.9);
        sheet->reject();
    });
    EXPECT_EQ(App().general.undoLevels, undo);
    EXPECT_EQ(App().Get<CLineDefaults>().thickness, thickness);
    EXPECT_FALSE(frame->Document().IsModified());
}

TEST_F(PreferencesSheetTest, OkStoresThePagesAndTheNextStartReadsThem)
{
    App().general.displayUnits = 1; // inches
    App().general.duplicateY = 50;
    Run(ID_PREF_GENERAL, [](CPreferencesSheet* sheet) {
        QWidget* general = sheet->Page(0);
        EXPECT_EQ(Control<QLabel>(general, 1019)->text(), "inches");
        auto* x = Control<QDoubleSpinBox>(general, 1118);
        EXPECT_EQ(x->decimals(), 2);
        x->setValue(1.00); // an inch: 254 tenths of a millimetre
        Control<QSpinBox>(general, 1029)->setValue(45);
        Control<QSpinBox>(general, 1171)->setValue(250);
        Control<QCheckBox>(general, 1559)->setChecked(true);

        // Text: a maximum typed below the minimum makes both equal.
        QWidget* text = sheet->Page(4);
        Control<QComboBox>(text, 1206)->setEditText("36");
        Control<QComboBox>(text, 1207)->setEditText("12");

        // Barcodes: a symbology, then unticking the check digit clears
        // "Show Check Digit(s)".
        QWidget* barcodes = sheet->Page(5);
        auto* type = Control<QComboBox>(barcodes, 1179);
        type->setCurrentIndex(type->findData(int(SYM_EAN13)));
        emit type->activated(type->currentIndex());
        auto* calc = Control<QCheckBox>(barcodes, 1201);
        auto* human = Control<QCheckBox>(barcodes, 1198);
        auto* show = Control<QCheckBox>(barcodes, 1199);
        EXPECT_TRUE(human->isChecked());
        if (calc->isEnabled()) {
            calc->setChecked(true);
            show->setChecked(true);
            QTest::mouseClick(calc, Qt::LeftButton);
            EXPECT_FALSE(show->isChecked());
        }
        QTest::mouseClick(human, Qt::LeftButton); // off: the check digit goes too
        EXPECT_FALSE(show->isChecked());

        // Spelling: no option ticked.
        for (int id : {1244, 1245, 1249, 1250, 1251})
            Control<QCheckBox>(sheet->Page(9), id)->setChecked(false);
        Control<QSpinBox>(sheet->Page(9), 1248)->setValue(25);
        sheet->accept();
    });
    EXPECT_EQ(App().general.duplicateX, 254);
    EXPECT_EQ(App().general.duplicateY, 50) << "an untouched length keeps its value";
    EXPECT_EQ(App().general.undoLevels, 250);
    const auto& text = App().Get<CTextElementDefaults>();
    EXPECT_EQ(text.minHeight, text.maxHeight);
    EXPECT_EQ(CBarcodePreferences::Current().type, int(SYM_EAN13));
    EXPECT_EQ(CBarcodePreferences::Current().showHuman, 0);
    EXPECT_EQ(CBarcodePreferences::Current().showChecksum, 0);
    EXPECT_EQ(CSpellPreferences::Current().options, 35);

    const int maxHeight = text.maxHeight;
    Stop();
    Start();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(App().general.duplicateX, 254);
    EXPECT_NEAR(App().general.rotationAngle * 57.29577951307855, 45.0, 1e-6);
    EXPECT_EQ(App().general.undoLevels, 250);
    EXPECT_EQ(App().general.storeRelativePaths, 1);
    EXPECT_EQ(App().Get<CTextElementDefaults>().maxHeight, maxHeight);
    EXPECT_EQ(App().Get<CTextElementDefaults>().minHeight, maxHeight);
    EXPECT_EQ(CSpellPreferences::Current().options, 35);
    EXPECT_EQ(CSpellPreferences::Current().displayLimit, 25);
    EXPECT_EQ(CBarcodePreferences::Current().type, int(SYM_EAN13));
}

// The profile files as they stand on disk, by name.
static std::map<QString, QByteArray> ProfileFiles(const QString& folder)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, {QStringLiteral("*.ini")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            files[file.fileName()] = file.readAll();
    }
    return files;
}

// OK on a sheet nobody touched stores nothing new: the profile written at
// exit is the one written before it, byte for byte, in either unit. Values
// the sheet shows rounded (the copy-fit minimum of 5 as a point size, the
// barcode font's height 36, a weight of 400 as Regular, an angle in
// radians as whole degrees) used to come back changed.
TEST_F(PreferencesSheetTest, AnUntouchedOkStoresNothingNew)
{
    for (const int units : {0, 1}) {
        SCOPED_TRACE(units);
        App().general.displayUnits = units;
        App().general.rotationAngle = 0.5;
        LogFontFields font = CTextDefaults::Current().font.GetLogFont();
        font.lfHeight = 37;
        font.lfWeight = 400;
        CTextDefaults::Current().font.SetLogFont(font);
        Stop(); // writes the profile
        Start();
        ASSERT_NE(frame, nullptr);
        const std::map<QString, QByteArray> before = ProfileFiles(home.Path());
        ASSERT_FALSE(before.empty());
        EXPECT_EQ(App().Get<CTextElementDefaults>().minHeight, 5);
        const LogFontFields barcodeFont = CBarcodePreferences::Current().font;
        const LogFontFields textFont = CTextDefaults::Current().font.GetLogFont();
        const double angle = App().general.rotationAngle;

        Run(ID_PREF_GENERAL, [](CPreferencesSheet* sheet) {
            QTest::mouseClick(sheet->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                              Qt::LeftButton);
        });
        EXPECT_EQ(App().Get<CTextElementDefaults>().minHeight, 5);
        EXPECT_EQ(CBarcodePreferences::Current().font, barcodeFont);
        EXPECT_EQ(CTextDefaults::Current().font.GetLogFont(), textFont);
        EXPECT_EQ(App().general.rotationAngle, angle);
        Stop();
        const std::map<QString, QByteArray> after = ProfileFiles(home.Path());
        ASSERT_EQ(after.size(), before.size());
        for (const auto& [name, bytes] : before) {
            // line by line, so that a failure names the keys that changed
            const QList<QByteArray> was = bytes.split('\n');
            const QList<QByteArray> is = after.at(name).split('\n');
            for (qsizetype i = 0; i < std::max(was.size(), is.size()); ++i)
                EXPECT_EQ(i < is.size() ? is[i].toStdString() : std::string(),
                          i < was.size() ? was[i].toStdString() : std::string())
                    << name.toStdString();
        }
        Start();
    }
}

TEST_F(PreferencesSheetTest, MillimetresAndNoPreference)
{
    App().general.displayUnits = 0;
    Run(ID_PREF_LINES, [](CPreferencesSheet* sheet) {
        auto* thickness = Control<QDoubleSpinBox>(sheet->Page(1), 1013);
        EXPECT_EQ(thickness->decimals(), 1);
        thickness->setValue(12.3); // 123 tenths, never 122
        QWidget* barcodes = sheet->Page(5);
        auto* type = Control<QComboBox>(barcodes, 1179);
        EXPECT_EQ(type->itemText(0), "No Preference");
        // Two-dimensional symbologies are not offered.
        for (int id : {int(SYM_PDF417), int(SYM_DATAMATRIX), int(SYM_QRCODE)})
            EXPECT_EQ(type->findData(id), -1) << id;
        type->setCurrentIndex(0);
        emit type->activated(0);
        EXPECT_FALSE(Control<QWidget>(barcodes, 1162)->isEnabled());
        EXPECT_TRUE(Control<QWidget>(barcodes, 1164)->isEnabled());
        sheet->accept();
    });
    EXPECT_EQ(App().Get<CLineDefaults>().thickness, 123);
    const CBarcodePreferences& barcode = CBarcodePreferences::Current();
    EXPECT_EQ(barcode.type, -1);
    EXPECT_TRUE(barcode.style.isEmpty());
    EXPECT_EQ(barcode.height, -1);
    EXPECT_EQ(barcode.calcChecksum, -1);
    EXPECT_EQ(barcode.showHuman, -1);
    EXPECT_EQ(barcode.showChecksum, -1);
}

TEST(FaceListTest, OneRowPerFaceTrueTypeWinsRasterNever)
{
    EnsureWidgetApp();
    CListCtrlEx list;
    PrepareFaceList(&list);
    CFaceVariant device{"Sample Face", CFaceVariant::Device};
    CFaceVariant trueType{"Sample Face", CFaceVariant::TrueType};
    CFaceVariant raster{"Fixed Raster", CFaceVariant::Raster};
    CFaceVariant postScript{"Sample Sans", CFaceVariant::OpenTypePostScript};
    for (const CFaceVariant& v : {device, trueType, device, raster, postScript})
        EXPECT_EQ(FontFaceListProc(v, &list), 1);
    ASSERT_EQ(list.ItemCount(), 2);
    EXPECT_EQ(list.columnCount(), 1) << "one full-width column";
    const int face = list.FindItemText("Sample Face");
    ASSERT_GE(face, 0);
    EXPECT_EQ(list.ItemImage(face), 0); // TrueType
    EXPECT_FALSE(list.item(face, 0)->icon().isNull());
    const int sans = list.FindItemText("Sample Sans");
    ASSERT_GE(sans, 0);
    EXPECT_EQ(list.ItemImage(sans), 2);
    EXPECT_EQ(quint32(list.ItemData(sans)) & 0x06u, 0x06u);

    // The installed faces: some, each once, in order, each with its picture.
    CListCtrlEx installed;
    FillFaceList(&installed);
    EXPECT_GT(installed.ItemCount(), 0);
    QStringList names;
    for (int row = 0; row < installed.ItemCount(); ++row) {
        names << installed.CellText(row, 0);
        EXPECT_FALSE(installed.item(row, 0)->icon().isNull()) << names.back().toStdString();
    }
    QStringList sorted = names;
    sorted.sort();
    EXPECT_EQ(names, sorted);
    EXPECT_EQ(names.removeDuplicates(), 0);

    // Sizes skip bold and italic variants; a face with only those has none.
    std::vector<int> heights;
    FontSizeEnumProc({"F", CFaceVariant::TrueType, 120, 700, false}, heights);
    FontSizeEnumProc({"F", CFaceVariant::TrueType, 140, 400, true}, heights);
    EXPECT_TRUE(heights.empty());
    FontSizeEnumProc({"F", CFaceVariant::TrueType, 100, 400, false}, heights);
    EXPECT_EQ(heights, std::vector<int>{100});

    EXPECT_LT(CompareItemData(-(1LL << 62), 1LL << 62, 0), 0);
    EXPECT_GT(CompareItemData(5, 3, 0), 0);
    EXPECT_EQ(CompareItemData(4, 4, 0), 0);
}

namespace {

// The printer's faces plus one that comes in three sizes only.
class CThreeSizeFaceMetrics : public CPrinterFontMetrics
{
public:
    static inline const QString kFace = QStringLiteral("Tabrel Three Sizes");

    CFaceInfo EnumerateFace(const QString& face) override
    {
        if (face != kFace)
            return CPrinterFontMetrics::EnumerateFace(face);
        CFaceInfo info;
        info.found = true;
        info.pitchAndFamily = 0x22;
        info.tmPitchAndFamily = 0x21; // neither scalable nor TrueType
        // Regular in three sizes; bold and italic in sizes of their own.
        for (LONG height : {35, 53, 85})
            info.variants.push_back({face, CFaceVariant::Raster, height});
        info.variants.push_back({face, CFaceVariant::Raster, 71, 700, false});
        info.variants.push_back({face, CFaceVariant::Raster, 64, 400, true});
        return info;
    }
};

} // namespace

// The Text page's size lists (Point Size, Min Size and Max Size) offer what
// the face allows: a face in fixed sizes its regular sizes, a scalable face
// the usual ones.
TEST_F(PreferencesSheetTest, SizeListsOfferWhatTheFaceAllows)
{
    CFontMetricsProvider::Install(std::make_unique<CThreeSizeFaceMetrics>());
    struct Restore
    {
        ~Restore() { CFontMetricsProvider::Install(nullptr); }
    } restore;
    struct Case
    {
        QString face;
        QStringList sizes;
    };
    // The em heights 35, 53 and 85 tenths are 9.9, 15.0 and 24.1 points.
    const Case cases[] = {
        {CThreeSizeFaceMetrics::kFace, {"10", "15", "24"}},
        {QStringLiteral("Liberation Sans"),
         {"2",  "4",  "6",  "8",  "9",  "10", "11", "12",  "14",  "16",  "18",  "20",
          "22", "24", "26", "28", "36", "48", "72", "108", "144", "192", "288", "432"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.face.toStdString());
        CTextDefaults::Current().font.SetFaceName(c.face);
        Run(ID_PREF_TEXT, [&c](CPreferencesSheet* sheet) {
            for (int id : {1040, 1206, 1207}) {
                auto* list = Control<QComboBox>(sheet->Page(4), id);
                ASSERT_NE(list, nullptr) << id;
                QStringList shown;
                for (int i = 0; i < list->count(); ++i)
                    shown << list->itemText(i);
                EXPECT_EQ(shown, c.sizes) << id;
            }
            sheet->reject();
        });
    }
}

// The Prices page's "Advanced..." opens the per-part fonts of the sample
// price with the printer's faces, each with the picture of its kind, the
// part's own face selected; a style applied there leaves Single Typeface
// cleared on OK.
TEST_F(PreferencesSheetTest, PricesAdvancedShowsTheFacesWithTheirPictures)
{
    bool answered = false;
    Run(ID_PREF_PRICES, [&answered](CPreferencesSheet* sheet) {
        QWidget* page = sheet->Page(6);
        auto* single = Control<QCheckBox>(page, 1197);
        auto* advanced = Control<QPushButton>(page, 1196);
        ASSERT_TRUE(single && advanced);
        if (single->isChecked())
            single->click();
        ASSERT_TRUE(advanced->isEnabled());
        CAnswer<CPriceFontDlg> fonts([](CPriceFontDlg* dlg) {
            auto* faces = dlg->findChild<CListCtrlEx*>(QStringLiteral("typeface"));
            ASSERT_NE(faces, nullptr);
            ASSERT_GE(faces->SelectedItem(), 0);
            EXPECT_EQ(faces->CellText(faces->SelectedItem(), 0),
                      dlg->Sample().Part(dlg->CurrentPart()).GetFont().GetFaceName());
            const int serif = faces->FindItemText(QStringLiteral("Liberation Serif"));
            ASSERT_GE(serif, 0);
            EXPECT_EQ(faces->ItemImage(serif), 0) << "TrueType outlines";
            EXPECT_FALSE(faces->item(serif, 0)->icon().isNull());
            auto* style = dlg->findChild<QComboBox*>(QStringLiteral("style"));
            style->setCurrentIndex(2);
            emit style->activated(2);
            dlg->findChild<QPushButton*>(QStringLiteral("apply"))->click();
            dlg->accept();
        });
        advanced->click();
        EXPECT_TRUE(fonts.Answered());
        EXPECT_FALSE(single->isChecked()) << "the parts differ now";
        answered = true;
        sheet->reject();
    });
    EXPECT_TRUE(answered);
}

// A face clicked in the Bullet Points page's face list draws the symbol in
// that face and is the bullet face once the sheet is closed with OK.
TEST_F(PreferencesSheetTest, BulletFaceClickedIsStored)
{
    Run(ID_PREF_BULLETS, [](CPreferencesSheet* sheet) {
        auto* faces = Control<CListCtrlEx>(sheet->Page(8), 1164);
        ASSERT_NE(faces, nullptr);
        const int row = faces->FindItemText(QStringLiteral("Liberation Serif"));
        ASSERT_GE(row, 0);
        EXPECT_FALSE(faces->item(row, 0)->icon().isNull());
        faces->scrollToItem(faces->item(row, 0));
        QTest::mouseClick(faces->viewport(), Qt::LeftButton, Qt::NoModifier,
                          faces->visualItemRect(faces->item(row, 0)).center());
        EXPECT_EQ(faces->SelectedItem(), row);
        sheet->accept();
    });
    EXPECT_EQ(CBulletPreferences::Current().font.lfFaceName, QStringLiteral("Liberation Serif"));
}
