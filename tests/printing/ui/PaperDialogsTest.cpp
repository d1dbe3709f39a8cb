#include "PaperDesignDlg.h"
#include "PaperStockDlg.h"
#include "StockPicture.h"

#include "AppContext.h"
#include "BackgroundSelect.h"
#include "ImageSelect.h"
#include "DC.h"
#include "DialogAnswer.h"
#include "MessageBox.h"
#include "Paper.h"
#include "TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

template <class W> W* Control(QWidget& dialog, int id)
{
    W* w = dialog.findChild<W*>(QStringLiteral("id%1").arg(id));
    EXPECT_NE(w, nullptr) << "control " << id;
    return w;
}

// Types the text into an edit as a user would (replacing what is there).
void Type(QWidget& dialog, int id, const QString& text)
{
    auto* edit = Control<QLineEdit>(dialog, id);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// A sheet of 2 x 3 labels, 99.1 x 38.1 mm with a 2.5 mm gap across.
CPaperStock UserStock()
{
    CPaperStock s;
    s.category = QStringLiteral("Labels");
    s.name = QStringLiteral("Shelf 2x3");
    s.pageWidth = 2100;
    s.pageHeight = 2970;
    s.topMargin = 150;
    s.leftMargin = 47;
    s.labelWidth = 991;
    s.columns = 2;
    s.horzPitch = 10160;
    s.labelHeight = 381;
    s.rows = 3;
    s.vertPitch = 3810;
    s.selectionWidth = 2100;
    s.selectionHeight = 2970;
    return s;
}

class PaperDialogsTest : public ::testing::Test
{
protected:
    PaperDialogsTest()
    {
        EnsureWidgetApp();
        ThePaper().Init(QString());
        ThePaper().SetStock(UserStock());
    }
    ~PaperDialogsTest() override { CPaperDesignDlg::s_choosePicture = nullptr; }

    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
};

// Every way the Paper Design dialog's fields become a stock, or are refused.
TEST_F(PaperDialogsTest, DesignFieldsBecomeAStockOrAreRefused)
{
    struct Case
    {
        const char* what;
        int units; // 0 mm, 1 inches
        std::map<int, QString> typed;
        // Accepted: the fields of the stock made; refused: part of the message.
        std::map<const char*, int> expected;
        const char* refusal;
    };
    const std::map<int, QString> labels3x7 = {
        {1144, "63.5"},  {1145, "38.1"}, {1148, "210"}, {1139, "297"}, {1140, "7.2"},
        {1141, "15.15"}, {1143, "3"},    {1142, "2.5"}, {1146, "7"},   {1147, "0"}};
    auto with = [&](std::map<int, QString> m, int id, const QString& text) {
        m[id] = text;
        return m;
    };
    const Case cases[] = {
        {"gaps become pitches in hundredths",
         0,
         labels3x7,
         {{"labelWidth", 635},
          {"labelHeight", 381},
          {"horzPitch", 6600},
          {"vertPitch", 3810},
          {"leftMargin", 72},
          {"topMargin", 151},
          {"columns", 3},
          {"rows", 7},
          {"pageWidth", 2100},
          {"selectionWidth", 2100},
          {"selectionHeight", 2970}},
         nullptr},
        {"one label across has no pitch",
         0,
         with(labels3x7, 1143, "1"),
         {{"horzPitch", 0}},
         nullptr},
        {"inches are brought to millimetres",
         1,
         {{1144, "2.5"},
          {1145, "1.5"},
          {1148, "8.5"},
          {1139, "11.5"},
          {1140, "0"},
          {1141, "0"},
          {1143, "2"},
          {1142, "0.1"},
          {1146, "1"},
          {1147, "0"}},
         {{"labelWidth", 635},
          {"labelHeight", 381},
          {"horzPitch", 6600},
          {"vertPitch", 0},
          {"pageWidth", 2159},
          {"pageHeight", 2921}},
         nullptr},
        {"a length beyond 1500 mm", 0, with(labels3x7, 1144, "1500.5"), {}, "between 0 and 1500"},
        {"a length beyond 60 inches", 1, with(labels3x7, 1148, "60.5"), {}, "between 0 and 60"},
        {"a negative gap", 0, with(labels3x7, 1142, "-1"), {}, "between 0 and 1500"},
        {"a length that is no number", 0, with(labels3x7, 1145, "abc"), {}, "between 0 and 1500"},
        {"no label across", 0, with(labels3x7, 1143, "0"), {}, "between 1 and 100"},
        {"more than 100 labels down", 0, with(labels3x7, 1146, "101"), {}, "between 1 and 100"},
        {"a page without width", 0, with(labels3x7, 1148, "0"), {}, "cannot be used"},
        {"a label without height", 0, with(labels3x7, 1145, "0"), {}, "cannot be used"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        App().general.displayUnits = c.units;
        messages.Clear();
        CPaperDesignDlg dlg(UserStock(), true);
        dlg.show();
        for (const auto& [id, text] : c.typed)
            Type(dlg, id, text);
        Control<QLineEdit>(dlg, 1050)->setText(QStringLiteral("New stock"));
        dlg.accept();
        if (c.refusal) {
            EXPECT_EQ(dlg.result(), QDialog::Rejected);
            EXPECT_TRUE(dlg.isVisible());
            ASSERT_EQ(messages.Count(), 1);
            EXPECT_TRUE(messages.LastText().contains(QString::fromUtf8(c.refusal)))
                << messages.LastText().toStdString();
            continue;
        }
        ASSERT_EQ(dlg.result(), QDialog::Accepted) << messages.LastText().toStdString();
        const CPaperStock& r = dlg.Result();
        const std::map<std::string, int> actual = {{"labelWidth", r.labelWidth},
                                                   {"labelHeight", r.labelHeight},
                                                   {"horzPitch", r.horzPitch},
                                                   {"vertPitch", r.vertPitch},
                                                   {"leftMargin", r.leftMargin},
                                                   {"topMargin", r.topMargin},
                                                   {"columns", r.columns},
                                                   {"rows", r.rows},
                                                   {"pageWidth", r.pageWidth},
                                                   {"pageHeight", r.pageHeight},
                                                   {"selectionWidth", r.selectionWidth},
                                                   {"selectionHeight", r.selectionHeight}};
        for (const auto& [field, value] : c.expected)
            EXPECT_EQ(actual.at(field), value) << field;
        EXPECT_EQ(r.builtIn, 0);
        EXPECT_EQ(r.name, QStringLiteral("New stock"));
    }
}

// The library file has no quoting: a comma or a line break in a text would
// split the stock's line. The dialog says so and stays open.
TEST_F(PaperDialogsTest, CommasAndLineBreaksAreRefused)
{
    struct Case
    {
        const char* what;
        QString category;
        QString name;
        QString picture;
        const char* named;
    };
    const QString picture = home.FilePath("back.png");
    QImage(20, 10, QImage::Format_RGB32).save(picture);
    const QString commaPicture = home.FilePath("back,1.png");
    QImage(20, 10, QImage::Format_RGB32).save(commaPicture);
    const Case cases[] = {
        {"comma in the category", "Shelf, small", "Fine", picture, "category"},
        {"line break in the category", "Shelf\nsmall", "Fine", picture, "category"},
        {"comma in the name", "Labels", "40,5 mm", picture, "name"},
        {"line break in the name", "Labels", "Two\r\nlines", picture, "name"},
        {"comma in the picture path", "Labels", "Fine", commaPicture, "picture"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.Clear();
        CPaperDesignDlg::s_choosePicture = [&](QWidget*, const QString&) { return c.picture; };
        CPaperDesignDlg dlg(UserStock(), true);
        Control<QComboBox>(dlg, 1498)->setEditText(c.category);
        Control<QLineEdit>(dlg, 1050)->setText(c.name);
        Control<QCheckBox>(dlg, 1549)->click(); // opens the picture choice
        dlg.accept();
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
        ASSERT_EQ(messages.Count(), 1);
        EXPECT_TRUE(messages.LastText().contains(QStringLiteral("comma or a line break")));
        EXPECT_TRUE(messages.LastText().contains(QString::fromUtf8(c.named)));
        EXPECT_EQ(ThePaper().StockCount(), 2); // nothing stored
    }
    // The same stock with clean texts goes through, picture and all.
    CPaperDesignDlg::s_choosePicture = [&](QWidget*, const QString&) { return picture; };
    CPaperDesignDlg dlg(UserStock(), true);
    Control<QLineEdit>(dlg, 1050)->setText(QStringLiteral("Fine"));
    Control<QCheckBox>(dlg, 1549)->click();
    Control<QComboBox>(dlg, 1012)->setCurrentIndex(1);
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Result().backgroundImage, picture);
    EXPECT_EQ(dlg.Result().backgroundOrientation, 90);
}

// The Background box asks for the picture with "Select Background", which
// opens in the last picture folder, previews the file under the cursor with
// a background picture and remembers the folder of the picture taken.
TEST_F(PaperDialogsTest, BackgroundBoxAsksWithSelectBackground)
{
    QDir(home.Path()).mkpath(QStringLiteral("pictures"));
    const QString folder = home.FilePath("pictures");
    const QString picture = folder + QStringLiteral("/back.png");
    QImage(40, 20, QImage::Format_RGB32).save(picture);
    QDir(home.Path()).mkpath(QStringLiteral("elsewhere"));
    const QString elsewhere = home.FilePath("elsewhere");
    CImageSelect::LastPictureFolder() = elsewhere + u'/';

    CPaperDesignDlg dlg(UserStock(), true);
    QString title;
    QString openedIn;
    bool backgroundPreview = false;
    CAnswer<CBackgroundSelect> choose([&](CBackgroundSelect* box) {
        title = box->windowTitle();
        openedIn = box->directory().absolutePath();
        box->setDirectory(folder);
        box->selectFile(picture);
        emit box->currentChanged(picture);
        backgroundPreview = dynamic_cast<CBackground*>(&box->Preview()) != nullptr &&
                            box->Preview().m_bitmap.IsAllocated();
        box->accept();
    });
    Control<QCheckBox>(dlg, 1549)->click();
    ASSERT_TRUE(choose.Answered());
    EXPECT_EQ(title, "Select Background");
    EXPECT_EQ(openedIn, elsewhere);
    EXPECT_TRUE(backgroundPreview);
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    EXPECT_EQ(CImageSelect::LastPictureFolder(), folder + u'/');
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Result().backgroundImage, picture);
}

// A roll follows its labels: page as wide as the labels across with gaps
// and margins, as high as one label, one row.
TEST_F(PaperDialogsTest, ContinuousRollFollowsItsLabels)
{
    CPaperDesignDlg dlg(UserStock(), true);
    dlg.show();
    Control<QRadioButton>(dlg, 1461)->click();
    for (int id : {1148, 1139, 1141, 1146, 1147})
        EXPECT_FALSE(Control<QWidget>(dlg, id)->isEnabled()) << id;
    EXPECT_EQ(Control<QLineEdit>(dlg, 1139)->text(), QStringLiteral("38.1"));
    EXPECT_EQ(Control<QLineEdit>(dlg, 1146)->text(), QStringLiteral("1"));
    Type(dlg, 1143, "3");
    Type(dlg, 1142, "3");
    Type(dlg, 1140, "2");
    // (3 - 1) x (99.1 + 3) + 99.1 + 2 x 2
    EXPECT_EQ(Control<QLineEdit>(dlg, 1148)->text(), QStringLiteral("307.3"));
    Type(dlg, 1145, "25");
    EXPECT_EQ(Control<QLineEdit>(dlg, 1139)->text(), QStringLiteral("25"));
    EXPECT_TRUE(Control<QLabel>(dlg, 1555)->text().contains(QStringLiteral("303.3 mm x 25.0 mm")))
        << Control<QLabel>(dlg, 1555)->text().toStdString();
    Control<QLineEdit>(dlg, 1050)->setText(QStringLiteral("Roll"));
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted) << messages.LastText().toStdString();
    const CPaperStock& r = dlg.Result();
    EXPECT_EQ(r.continuous, 1);
    EXPECT_EQ(r.pageWidth, 3073);
    EXPECT_EQ(r.pageHeight, 250);
    EXPECT_EQ(r.rows, 1);
    EXPECT_EQ(r.vertPitch, 0);
    EXPECT_EQ(r.horzPitch, 10210);
    EXPECT_EQ(r.topMargin, 0);
}

// Inches are shown with two decimals; a field the user leaves alone keeps
// its exact value instead of coming back rounded.
TEST_F(PaperDialogsTest, EditingInInchesKeepsWhatWasNotTouched)
{
    App().general.displayUnits = 1;
    messages.QueueAnswer(IDYES); // replace the stock of that name
    CPaperDesignDlg dlg(UserStock(), false);
    EXPECT_EQ(Control<QLineEdit>(dlg, 1144)->text(), QStringLiteral("3.9")); // 99.1 mm
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("unit"))->text(), QStringLiteral("inches"));
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Result(), UserStock());
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains(QStringLiteral("Replace existing data")));
}

TEST_F(PaperDialogsTest, NamesInUse)
{
    // A new stock may not take a name in use, not even the default one.
    ThePaper().SetStock([] {
        CPaperStock s = UserStock();
        s.name = QStringLiteral("Untitled");
        return s;
    }());
    {
        CPaperDesignDlg dlg(UserStock(), true);
        Control<QLineEdit>(dlg, 1050)->setText(QString());
        dlg.accept();
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
        EXPECT_EQ(messages.LastText(),
                  QStringLiteral("Paper type name already in use. Please choose another name."));
    }
    // Editing asks before replacing; No keeps the dialog open.
    messages.QueueAnswer(IDNO);
    CPaperDesignDlg dlg(UserStock(), false);
    Control<QLineEdit>(dlg, 1050)->setText(QStringLiteral("Untitled"));
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(messages.LastText(),
              QStringLiteral("Replace existing data for paper type Untitled ?"));
}

// The stock picture: the page at most 80 % of the frame and centred, white
// label cells where the print loop puts them, a roll as a light-yellow band.
TEST_F(PaperDialogsTest, StockPictureScalesAndPlacesTheCells)
{
    CStockPictureModel wide;
    wide.pageWidth = 2000;
    wide.pageHeight = 1000;
    EXPECT_EQ(CStockPicture::PageRect(CRect(0, 0, 200, 200), wide, nullptr),
              CRect(20, 60, 180, 140));
    EXPECT_TRUE(
        CStockPicture::PageRect(CRect(0, 0, 200, 200), CStockPictureModel(), nullptr).IsEmpty());

    CPaperStock roll = UserStock();
    roll.continuous = 1;
    roll.rows = 1;
    roll.pageHeight = 381;
    CStockPictureModel model = CStockPictureModel::FromStock(roll);
    model.rollBand = true;
    QImage image(400, 400, QImage::Format_RGB32);
    image.fill(Qt::gray);
    {
        QPainter painter(&image);
        CDC dc(&painter);
        CStockPicture::Draw(dc, CRect(0, 0, 400, 400), model);
    }
    double s = 0;
    const CRect page = CStockPicture::PageRect(CRect(0, 0, 400, 400), model, &s);
    const CPoint first = roll.CellOrigin(0);
    const CPoint second = roll.CellOrigin(1);
    auto at = [&](double x, double y) {
        return image.pixelColor(page.left + int(x * s), page.top + int(y * s));
    };
    // Inside each cell: white; between the cells: the band.
    EXPECT_EQ(at(first.x + 400, 190), QColor(255, 255, 255));
    EXPECT_EQ(at(second.x + 400, 190), QColor(255, 255, 255));
    EXPECT_EQ(at(first.x + 991 + 12, 190), QColor(255, 255, 120));
    EXPECT_EQ(at(20, 190), QColor(255, 255, 120));
}

// The Paper Stock dialog lists by category, tells built-in from user
// stocks, and guards the current stock against deletion.
TEST_F(PaperDialogsTest, StockDialogChoosesAndDeletes)
{
    ThePaper().SelectStock(QStringLiteral("A4"));
    CPaperStockDlg dlg;
    auto* category = Control<QComboBox>(dlg, 1498);
    auto* list = Control<QListWidget>(dlg, 1136);
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("A4"));
    EXPECT_FALSE(Control<QPushButton>(dlg, 1004)->isEnabled()); // built in
    category->setCurrentText(QStringLiteral("Labels"));
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("Shelf 2x3"));
    EXPECT_EQ(Control<QLabel>(dlg, 1144)->text(), QStringLiteral("99.1"));
    EXPECT_EQ(Control<QLabel>(dlg, 1138)->text(), QStringLiteral("6"));
    EXPECT_TRUE(Control<QPushButton>(dlg, 1515)->isEnabled());

    messages.QueueAnswer(IDNO);
    Control<QPushButton>(dlg, 1515)->click();
    EXPECT_EQ(messages.LastText(), QStringLiteral("OK to delete paper type Shelf 2x3 ?"));
    EXPECT_EQ(ThePaper().StockCount(), 2);

    // The current stock cannot go.
    ThePaper().SelectStock(QStringLiteral("Shelf 2x3"));
    Control<QPushButton>(dlg, 1515)->click();
    EXPECT_EQ(messages.LastText(),
              QStringLiteral("Paper type Shelf 2x3 currently in use - unable to delete."));
    EXPECT_EQ(ThePaper().StockCount(), 2);

    dlg.accept();
    EXPECT_EQ(dlg.SelectedName(), QStringLiteral("Shelf 2x3"));
}

} // namespace
