// Pictures in the designer as it starts: the picture tool and Insert
// command with the Select Picture dialog, the picture pane's edits (each
// undoable and marking the sign modified), and a picture sign saved,
// reopened and printed to PDF.
#include "AppContext.h"
#include "BackgroundSelect.h"
#include "Commands.h"
#include "DatabaseLink.h"
#include "DesignView.h"
#include "DesignerTest.h"
#include "DialogAnswer.h"
#include "ElementList.h"
#include "FileName.h"
#include "Image.h"
#include "ImageSelect.h"
#include "ImageView.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneControls.h"
#include "PaneParts.h"
#include "Paper.h"
#include "PdfSupport.h"
#include "PrintSignDlg.h"
#include "PrintToPdf.h"
#include "SignApp.h"
#include "SignData.h"
#include "TestSupport.h"
#include "UndoHistory.h"
#include "ui/ProgressDlg.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs the action on the first modal dialog of type T that shows while the
// object lives (once).
// A photo-like picture: dark blue with a red band across its top quarter.
QImage Photo(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, y < height / 4 ? qRgb(200, 0, 0) : qRgb(10, 20, 90 + x % 40));
    return image;
}

class PicturePaneTest : public CDesignerCanvasTest
{
protected:
    PicturePaneTest()
    {
        photoPath = home.FilePath("photo.png");
        Photo(600, 400).save(photoPath);
        CImageSelect::s_choose = [this](QWidget*, bool) { return chosenPicture; };
        chosenPicture = photoPath;
    }
    ~PicturePaneTest() override
    {
        CImageSelect::s_choose = nullptr;
        FrameHooks().chooseFile = nullptr;
    }

    // A picture placed with the tool at the point; it is the selection.
    CImage* PlacePicture(int x, int y)
    {
        Command(ID_TOOL_PICTURE);
        Click(x, y);
        return dynamic_cast<CImage*>(view->Selection().Primary());
    }

    QString photoPath;
    QString chosenPicture;
};

TEST_F(PicturePaneTest, TheToolPlacesTheChosenPictureAndThePaneShowsIt)
{
    ASSERT_NE(view, nullptr);
    // Cancelled: nothing is armed or placed.
    chosenPicture.clear();
    Command(ID_TOOL_PICTURE);
    EXPECT_EQ(view->PendingElement(), nullptr);
    EXPECT_EQ(TheElementList().GetCount(), 0);

    // A file that cannot be read is named and puts the tool down.
    chosenPicture = home.FilePath("not-there.png");
    Command(ID_TOOL_PICTURE);
    EXPECT_EQ(messages.LastText(), "Unable to find file " + chosenPicture);
    EXPECT_EQ(view->PendingElement(), nullptr);
    EXPECT_EQ(view->Mode(), MODE_SELECT);

    chosenPicture = photoPath;
    CImage* image = PlacePicture(200, 300);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->m_filePath, photoPath);
    EXPECT_EQ(image->m_designFilePath, photoPath);
    // 600 x 400 pixels at the printer's 600 dpi: 25.4 x 16.9 mm.
    EXPECT_EQ(image->m_pictureRect, CRect(200, 300, 454, 469));
    EXPECT_TRUE(frame->Document().IsModified());
    EXPECT_NE(qobject_cast<CImageView*>(frame->PropertyPane()), nullptr);
    EXPECT_EQ(Find<QLineEdit>(1008)->text(), "25.4");
    EXPECT_EQ(Find<QLineEdit>(1007)->text(), "16.9");
    EXPECT_EQ(Find<QLineEdit>(1029)->text(), "0");
    EXPECT_EQ(Find<QLineEdit>(1066)->text(), CFileName(photoPath).GetAbbreviatedPath(40));
    // Typed data of a picture is a file selected when the sign prints.
    auto* type = Find<QComboBox>(1000);
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->itemText(type->findData(int(SOURCE_KEYBOARD))), "Selection");
    // A picture never prints natively.
    EXPECT_FALSE(Find<QRadioButton>(1386)->isEnabled());
    // Undo takes the picture away again.
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(TheElementList().GetCount(), 0);
}

TEST_F(PicturePaneTest, InsertPictureOpensSelectPictureAndPlacesItsChoice)
{
    ASSERT_NE(view, nullptr);
    CImageSelect::s_choose = nullptr;
    CImageSelect::LastPictureFolder().clear();
    QString title;
    CAnswer<CImageSelect> choose([this, &title](CImageSelect* dialog) {
        title = dialog->windowTitle();
        dialog->setDirectory(home.Path());
        dialog->selectFile(photoPath);
        dialog->accept();
    });
    Command(ID_TOOL_PICTURE);
    ASSERT_TRUE(choose.Answered());
    EXPECT_EQ(title, "Select Picture");
    ASSERT_NE(view->PendingElement(), nullptr);
    Click(300, 400);
    auto* image = dynamic_cast<CImage*>(view->Selection().Primary());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->m_filePath, photoPath);
    EXPECT_EQ(image->m_pictureRect.TopLeft(), CPoint(300, 400));
    EXPECT_EQ(CImageSelect::LastPictureFolder(), home.Path() + "/");

    // The pane's Select... asks again and reloads: turn and adjustments
    // are dropped, the new file's natural size taken.
    image->m_brightness = 300;
    const QString small = home.FilePath("small.png");
    Photo(60, 60).save(small);
    CAnswer<CImageSelect> again([&small](CImageSelect* dialog) {
        dialog->selectFile(small);
        dialog->accept();
    });
    Find<QPushButton>(1134)->click();
    ASSERT_TRUE(again.Answered());
    image = dynamic_cast<CImage*>(TheElementList().GetAt(0));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->m_filePath, small);
    EXPECT_EQ(image->m_brightness, 0);
    EXPECT_EQ(image->m_pictureRect, CRect(300, 400, 325, 425));
    EXPECT_EQ(Find<QLineEdit>(1008)->text(), "2.5");
}

TEST_F(PicturePaneTest, PaneEditsReachThePictureAndUndo)
{
    ASSERT_NE(view, nullptr);
    CImage* image = PlacePicture(200, 300);
    ASSERT_NE(image, nullptr);
    const CRect placed = image->m_pictureRect;
    frame->Document().SetModifiedFlag(false);

    // With the aspect kept, a typed width sets the height.
    Find<QCheckBox>(1067)->setChecked(false);
    Find<QCheckBox>(1067)->click();
    EXPECT_EQ(image->m_maintainAspect, 1);
    Type(1008, "30");
    EXPECT_EQ(Find<QLineEdit>(1007)->text(), "20.0");
    image = dynamic_cast<CImage*>(view->Selection().Primary());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->m_pictureRect, CRect(200, 300, 500, 500));
    EXPECT_TRUE(frame->Document().IsModified());

    // Typing an angle turns the frame by the difference: typed twice, it
    // turns once.
    Type(1029, "90");
    EXPECT_EQ(image->m_angle, 9000);
    EXPECT_EQ(image->m_orientation, 1);
    EXPECT_EQ(image->m_pictureRect, CRect(0, 300, 200, 600));
    Type(1029, "90");
    EXPECT_EQ(image->m_angle, 9000);
    EXPECT_EQ(Find<QLineEdit>(1008)->text(), "20.0");
    EXPECT_EQ(Find<QLineEdit>(1007)->text(), "30.0");

    // Undo goes back one edit at a time.
    Command(ID_EDIT_UNDO);
    image = dynamic_cast<CImage*>(TheElementList().GetAt(0));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->m_angle, 0);
    EXPECT_EQ(image->m_pictureRect, CRect(200, 300, 500, 500));
    // The undone copy reads its picture again.
    EXPECT_TRUE(image->m_bitmap.IsAllocated());
    EXPECT_EQ(image->m_bitmap.Size(), QSize(600, 400));

    // The first edits of the picture just placed have steps of their own:
    // Undo takes them back before it takes the picture away.
    Command(ID_EDIT_UNDO);
    ASSERT_EQ(TheElementList().GetCount(), 1);
    image = dynamic_cast<CImage*>(TheElementList().GetAt(0));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->m_pictureRect, placed);
    int presses = 0;
    while (TheElementList().GetCount() > 0 && presses < 5) {
        Command(ID_EDIT_UNDO);
        ++presses;
    }
    EXPECT_EQ(TheElementList().GetCount(), 0);
    EXPECT_LE(presses, 2);
}

// An angle outside 0 to 360 degrees is refused with the range message and
// leaves the picture as it was; a database source is refused with its own
// message while the program has no database support.
TEST_F(PicturePaneTest, AnAngleOutOfRangeAndADatabaseWithoutSupportAreRefusedWithTheirMessages)
{
    ASSERT_NE(view, nullptr);
    CImage* image = PlacePicture(200, 300);
    ASSERT_NE(image, nullptr);
    Type(1029, "45");
    image = dynamic_cast<CImage*>(view->Selection().Primary());
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->m_angle, 4500);
    const CRect turned = image->m_pictureRect;
    const int undoSteps = TheUndoHistory().GetCount();

    // Pasted whole, as typing would apply each digit on the way.
    auto* angle = Find<QLineEdit>(1029);
    for (const char* pasted : {"400", "-5", "361"}) {
        SCOPED_TRACE(pasted);
        messages.Clear();
        angle->setFocus();
        angle->selectAll();
        angle->insert(QString::fromLatin1(pasted));
        ASSERT_EQ(messages.Count(), 1);
        EXPECT_EQ(messages.LastText(), "Please enter a number between 0 and 360.");
        EXPECT_EQ(image->m_angle, 4500);
        EXPECT_EQ(image->m_pictureRect, turned);
        EXPECT_EQ(TheUndoHistory().GetCount(), undoSteps);
    }
    // Half typed ("-") is no number yet: nothing is said.
    messages.Clear();
    Type(1029, "-");
    EXPECT_EQ(messages.Count(), 0);

    TheDatabaseLink().m_jetPresent = FALSE;
    auto* type = Find<QComboBox>(1000);
    ASSERT_NE(type, nullptr);
    const int database = type->findData(int(SOURCE_DATABASE));
    ASSERT_GE(database, 0);
    const int before = type->currentIndex();
    messages.Clear();
    type->setCurrentIndex(database);
    emit type->activated(database);
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.LastText(), "The database support option has not been installed. Re-run "
                                   "the installation program and select this option.");
    EXPECT_EQ(type->currentIndex(), before);
    EXPECT_EQ(image->m_dataSource, SOURCE_FIXED);
}

TEST_F(PicturePaneTest, FormattingPageAdjustsOnlyOnApplyAndTransparencyForcesQuality)
{
    ASSERT_NE(view, nullptr);
    CImage* image = PlacePicture(100, 100);
    ASSERT_NE(image, nullptr);
    auto* tabs = frame->PropertyPane()->findChild<CTab*>();
    ASSERT_NE(tabs, nullptr);
    // Only the page on show takes input: the Formatting page until entered,
    // the Picture page once left.
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_TRUE(tabs->widget(0)->isEnabled());
    EXPECT_FALSE(tabs->widget(1)->isEnabled());
    tabs->setCurrentIndex(1);
    EXPECT_TRUE(tabs->widget(1)->isEnabled());
    EXPECT_FALSE(tabs->widget(0)->isEnabled());

    // Variable-picture settings follow the data source.
    EXPECT_FALSE(Find<QComboBox>(1257)->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(1214)->isEnabled());
    EXPECT_FALSE(Find<QComboBox>(1215)->isEnabled());

    // A bar moves the preview only.
    auto* brightness = Find<QScrollBar>(1434);
    auto* apply = Find<QPushButton>(1191);
    EXPECT_FALSE(apply->isEnabled());
    brightness->setValue(500);
    EXPECT_EQ(Find<QLabel>(1435)->text(), "(50%)");
    EXPECT_EQ(image->m_brightness, 0);
    EXPECT_TRUE(apply->isEnabled());
    Find<QScrollBar>(1438)->setValue(150);
    EXPECT_EQ(Find<QLabel>(1439)->text(), "(1.50)");
    const QRgb before = image->m_bitmap.Image().pixel(10, 300);
    apply->click();
    EXPECT_EQ(image->m_brightness, 500);
    EXPECT_EQ(image->m_gammaCorrection, 150);
    EXPECT_FALSE(apply->isEnabled());
    EXPECT_GT(qBlue(image->m_bitmap.Image().pixel(10, 300)), qBlue(before));

    // The transparent colour: quality printing, speed disabled.
    EXPECT_TRUE(Find<QRadioButton>(1419)->isChecked());
    EXPECT_FALSE(Find<QWidget>(1035)->isVisible());
    Find<QCheckBox>(1444)->click();
    EXPECT_EQ(image->m_transparency, 1);
    EXPECT_EQ(image->m_fastPrint, 0);
    EXPECT_TRUE(Find<QWidget>(1035)->isVisible());
    tabs->setCurrentIndex(0);
    EXPECT_TRUE(Find<QRadioButton>(1420)->isChecked());
    EXPECT_FALSE(Find<QRadioButton>(1419)->isEnabled());
}

// Turning a large picture with the pane and applying its colour adjustments
// show the one progress window for each step, with the step's caption, run
// to the end.
TEST_F(PicturePaneTest, TurningAndAdjustingALargePictureShowEachStepsProgress)
{
    ASSERT_NE(view, nullptr);
    chosenPicture = home.FilePath("large.png");
    ASSERT_TRUE(Photo(1200, 1000).save(chosenPicture));
    CImage* image = PlacePicture(100, 100);
    ASSERT_NE(image, nullptr);
    struct Shown
    {
        QString caption;
        int last = -1;
    };
    std::vector<Shown> shown;
    CShownWatch<CProgressDlg> watch([&shown](CProgressDlg* window) {
        shown.push_back({window->windowTitle(), -1});
        auto* bar = window->findChild<QProgressBar*>(
            QStringLiteral("id%1").arg(CProgressDlg::IDC_PROGRESS));
        const size_t index = shown.size() - 1;
        QObject::connect(bar, &QProgressBar::valueChanged, window,
                         [&shown, index](int value) { shown[index].last = value; });
    });
    const auto captions = [&shown] {
        QStringList list;
        for (const Shown& s : shown) {
            list << s.caption;
            EXPECT_EQ(s.last, 100) << s.caption.toStdString();
        }
        shown.clear();
        return list;
    };

    Type(1029, "9");
    ASSERT_EQ(image->m_angle, 900);
    EXPECT_EQ(captions(), QStringList{"Rotating Picture..."});

    auto* tabs = frame->PropertyPane()->findChild<CTab*>();
    ASSERT_NE(tabs, nullptr);
    tabs->setCurrentIndex(1);
    Find<QScrollBar>(1434)->setValue(300);
    Find<QScrollBar>(1436)->setValue(200);
    Find<QScrollBar>(1438)->setValue(150);
    EXPECT_TRUE(shown.empty()) << "the bars move the preview only";
    Find<QPushButton>(1191)->click();
    ASSERT_EQ(image->m_brightness, 300);
    // The picture is made again from its file: turned, then adjusted.
    EXPECT_EQ(captions(),
              (QStringList{"Rotating Picture...", "Changing Picture Brightness...",
                           "Changing Picture Contrast...", "Gamma Correcting Picture..."}));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the windows went";
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
}

TEST_F(PicturePaneTest, APictureSignIsSavedReopenedAndPrinted)
{
    ASSERT_NE(view, nullptr);
    CImage* image = PlacePicture(150, 120);
    ASSERT_NE(image, nullptr);
    image->m_angle = 0;
    // Turned a quarter with the pane, so the reopened sign must turn it too.
    Type(1029, "90");
    ASSERT_EQ(image->m_angle, 9000);
    const CRect placed = image->m_pictureRect;

    QString chosenFile = home.FilePath("picture.sgn");
    FrameHooks().chooseFile = [&chosenFile](QWidget*, const CFileChoice&) { return chosenFile; };
    Command(ID_FILE_SAVE_AS);
    ASSERT_TRUE(QFile::exists(chosenFile));
    Command(ID_FILE_NEW);
    EXPECT_EQ(TheElementList().GetCount(), 0);
    Command(ID_FILE_OPEN);
    ASSERT_EQ(TheElementList().GetCount(), 1);
    auto* reopened = dynamic_cast<CImage*>(TheElementList().GetAt(0));
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->m_filePath, photoPath);
    EXPECT_EQ(reopened->m_angle, 9000);
    EXPECT_EQ(reopened->m_pictureRect, placed);
    // The bitmap is turned as its frame: the red band now on the right.
    ASSERT_EQ(reopened->m_bitmap.Size(), QSize(400, 600));
    EXPECT_EQ(reopened->m_bitmap.Image().pixel(390, 300), qRgb(200, 0, 0));
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();

    const int dpi = 100;
    QImage page;
    ASSERT_NO_FATAL_FAILURE(PrintSignToPdf(frame, home.FilePath("picture.pdf"), dpi, page));
    const CPoint origin = FirstLabelOrigin();
    CRect where = placed;
    where.OffsetRect(origin.x, origin.y);
    CRect inner = where;
    inner.InflateRect(-10, -10, -10, -10);
    const int area = qRound(inner.Width() * dpi / 254.0) * qRound(inner.Height() * dpi / 254.0);
    EXPECT_GT(PageInk(page, inner, dpi), area * 8 / 10);
    // Beside the picture the label is clean.
    CRect beside = where;
    beside.OffsetRect(where.Width() + 50, 0);
    EXPECT_EQ(PageInk(page, beside, dpi), 0);
}

TEST_F(PicturePaneTest, TheSelectPictureDialogPreviewsAndRefusesWhatItCannotRead)
{
    const QString garbage = home.FilePath("garbage.png");
    QFile file(garbage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("no picture in here");
    file.close();

    CImageSelect dialog(frame);
    EXPECT_EQ(dialog.windowTitle(), "Select Picture");
    dialog.show();
    EXPECT_TRUE(
        CImageSelect::Filters().first().startsWith("All Graphics Files" + QString(26, ' ')));
    EXPECT_EQ(dialog.nameFilters().size(), 19);
    dialog.setDirectory(home.Path());
    // A wildcard is not a file: nothing is loaded.
    dialog.selectFile("*.png");
    EXPECT_FALSE(dialog.Preview().m_bitmap.IsAllocated());

    // The picture under the cursor is shown, fitted into the preview.
    dialog.selectFile(photoPath);
    emit dialog.currentChanged(photoPath);
    ASSERT_TRUE(dialog.Preview().m_bitmap.IsAllocated());
    auto* area = dialog.findChild<QWidget*>("id1119");
    ASSERT_NE(area, nullptr);
    const CRect fitted = dialog.Preview().m_pictureRect;
    EXPECT_LE(fitted.right, area->width());
    EXPECT_NEAR(double(fitted.Width()) / fitted.Height(), 1.5, 0.05);

    // A file it cannot read: its message, "Invalid selection", and the
    // dialog stays open.
    messages.Clear();
    dialog.selectFile(garbage);
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_GE(messages.Count(), 2);
    EXPECT_EQ(messages.Messages()[0].text, "Unsupported picture format " + garbage);
    EXPECT_EQ(messages.LastText(), "Invalid selection");

    // Accepted: the folder is remembered for both dialogs.
    dialog.selectFile(photoPath);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetPathName(), photoPath);
    EXPECT_EQ(CImageSelect::LastPictureFolder(), home.Path() + "/");
    CBackgroundSelect background(frame);
    EXPECT_EQ(background.windowTitle(), "Select Background");
    EXPECT_EQ(background.directory().absolutePath(), home.Path());
}

} // namespace
