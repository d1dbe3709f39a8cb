// Reading signs through the main frame: the Missing File dialog for a
// picture, a paper stock's picture and a database that moved, the progress
// window of loading with its Cancel, and the open box with its preview.
#include "MainFrame.h"

#include "AppContext.h"
#include "Box.h"
#include "Damage.h"
#include "DatabaseLink.h"
#include "DesignView.h"
#include "DialogAnswer.h"
#include "ElementList.h"
#include "Image.h"
#include "MessageBox.h"
#include "Paper.h"
#include "PictureBitmap.h"
#include "ResourceIds.h"
#include "ShellParts.h"
#include "ShellTestSupport.h"
#include "SignPreviewWnd.h"
#include "TestSupport.h"
#include "ui/MissingFileDlg.h"
#include "ui/ProgressDlg.h"
#include "ui/SignSelect.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

template <class W> W* Control(QWidget* dialog, int id)
{
    return dialog->findChild<W*>(QStringLiteral("id%1").arg(id));
}

void Press(QWidget* dialog, int id)
{
    auto* button = Control<QPushButton>(dialog, id);
    ASSERT_NE(button, nullptr) << "button " << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

QString WritePicture(const QString& path, QColor colour = Qt::black)
{
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(colour);
    EXPECT_TRUE(image.save(path));
    return path;
}

// Dark pixels of a picture: the black parts of the sign shown.
int DarkPixels(const QImage& image)
{
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 60 ? 1 : 0;
    return dark;
}

// With TABREL_SHOTS set, a picture of the window for the record.
void SaveShot(QWidget* window, const char* name)
{
    if (qEnvironmentVariableIsEmpty("TABREL_SHOTS"))
        return;
    QApplication::processEvents();
    window->grab().save(qEnvironmentVariable("TABREL_SHOTS") + u'/' + QString::fromLatin1(name));
}

// Acts on the progress window at the first events it lets through once it
// is shown, as a user's click would arrive, however quickly the sign loads.
class CWhenProgressShown : public QObject
{
public:
    explicit CWhenProgressShown(std::function<void(CProgressDlg*)> action)
        : m_action(std::move(action))
    {
        qApp->installEventFilter(this);
    }
    ~CWhenProgressShown() override { qApp->removeEventFilter(this); }
    bool Answered() const { return m_answered; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && !m_shown) {
            if (auto* window = dynamic_cast<CProgressDlg*>(watched)) {
                m_shown = true;
                QPointer<CProgressDlg> shown(window);
                QMetaObject::invokeMethod(
                    this,
                    [this, shown] {
                        if (shown && shown->isVisible()) {
                            m_answered = true;
                            m_action(shown);
                        }
                    },
                    Qt::QueuedConnection);
            }
        }
        return false;
    }

private:
    std::function<void(CProgressDlg*)> m_action;
    bool m_shown = false;
    bool m_answered = false;
};

CImage* OnlyPicture()
{
    for (CElement* element : TheElementList().Elements()) {
        if (auto* image = dynamic_cast<CImage*>(element))
            return image;
    }
    return nullptr;
}

class ReadingTest : public ::testing::Test
{
protected:
    ReadingTest()
    {
        EnsureWidgetApp();
        RegisterAllClasses();
        FrameHooks() = CFrameHooks();
        FrameHooks().chooseFile = [this](QWidget*, const CFileChoice& choice) {
            choices.push_back(choice);
            if (answers.empty())
                return QString();
            const QString answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        };
        frame = std::make_unique<CMainFrame>();
        frame->UpdateActionsNow();
    }
    ~ReadingTest() override
    {
        frame->Document().SetModifiedFlag(false);
        frame.reset();
        FrameHooks() = CFrameHooks();
        CPictureBitmap::ClearCache();
    }

    QString Folder(const QString& name)
    {
        QDir(dir.path()).mkpath(name);
        return dir.filePath(name);
    }

    // A sign with a black box and a picture, saved through File > Save As.
    QString SavePictureSign(const QString& picture)
    {
        auto* box = new CBox;
        box->SetBounds(nullptr, CRect(100, 100, 500, 400));
        box->m_fillInterior = TRUE;
        box->m_fillColour = 0;
        TheElementList().AddTail(box);
        auto* image = new CImage;
        EXPECT_TRUE(image->LoadFile(nullptr, picture));
        image->BeginCreate(nullptr, 100, 500);
        TheElementList().AddTail(image);
        const QString sign = dir.filePath("pictured.sgn");
        answers = {sign};
        EXPECT_TRUE(frame->ExecuteCommand(ID_FILE_SAVE_AS));
        return sign;
    }

    BOOL OpenThroughMenu(const QString& sign)
    {
        answers.insert(answers.begin(), sign);
        frame->UpdateActionsNow();
        frame->ExecuteCommand(ID_FILE_OPEN);
        return frame->Document().GetPathName() == QFileInfo(sign).absoluteFilePath();
    }

    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    QTemporaryDir dir;
    std::vector<QString> answers;
    std::vector<CFileChoice> choices;
    std::unique_ptr<CMainFrame> frame;
};

// --- the Missing File dialog on its own --------------------------------------------

TEST_F(ReadingTest, MissingFileBoxOffersTheFilesOwnTypeFirst)
{
    struct Case
    {
        const char* missing;
        const char* filter;
    };
    const Case cases[] = {
        {"C:\\Data\\Shop.mdb", "*.mdb (*.mdb);;*.* (*)"},
        {"/data/Readme", "*.* (*);;*.* (*)"},
        {"C:\\Old.dir\\list.backup.csv", "*.backup.csv (*.backup.csv);;*.* (*)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CMissingFileDlg::FilterFor(c.missing), c.filter) << c.missing;

    CMissingFileDlg box("C:\\Data\\Shop.mdb");
    EXPECT_EQ(box.windowTitle(), "Missing File");
    EXPECT_FALSE(box.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(Control<QLabel>(&box, CMissingFileDlg::IDC_PATH)->text(), "C:\\Data\\Shop.mdb");
    EXPECT_TRUE(Control<QPushButton>(&box, CMissingFileDlg::IDC_BROWSE)->isDefault());
    EXPECT_EQ(Control<QPushButton>(&box, IDABORT)->text(), "&Abort");
}

TEST_F(ReadingTest, MissingFileBoxEndsOnlyWithAFileThatServesOrAbort)
{
    const QString picture = WritePicture(dir.filePath("found.png"));
    QFile text(dir.filePath("notes.png"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    const auto pictureCheck = [](const QString& path) {
        CPictureBitmap bitmap;
        return bitmap.Load(path) == PICTURE_OK ? QString() : QStringLiteral("no picture");
    };

    // Escape and a cancelled file box end it as Abort does.
    {
        CMissingFileDlg box("/gone/a.png");
        box.show();
        QTest::keyClick(&box, Qt::Key_Escape);
        EXPECT_EQ(box.result(), IDABORT);
    }
    {
        CMissingFileDlg box("/gone/a.png");
        box.show();
        answers = {QString()};
        Press(&box, CMissingFileDlg::IDC_BROWSE);
        EXPECT_EQ(box.result(), IDABORT);
        ASSERT_EQ(choices.size(), 1u);
        EXPECT_EQ(choices.back().suggested, "/gone/a.png");
        EXPECT_EQ(choices.back().filter, "*.png (*.png);;*.* (*)");
    }
    // A file that is not a picture is refused and the box stays; a picture
    // ends it with its path.
    CMissingFileDlg box("/gone/a.png");
    box.SetFileCheck(pictureCheck);
    box.show();
    answers = {text.fileName()};
    Press(&box, CMissingFileDlg::IDC_BROWSE);
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains("notes.png")) << messages.LastText().toStdString();
    EXPECT_EQ(box.GetPathName(), "/gone/a.png");
    answers = {picture};
    Press(&box, CMissingFileDlg::IDC_BROWSE);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), IDOK);
    EXPECT_EQ(box.GetPathName(), picture);
}

// --- signs whose files moved -------------------------------------------------------

TEST_F(ReadingTest, APictureThatMovedIsLocatedAndShows)
{
    const QString old = WritePicture(Folder("old") + "/logo.png");
    const QString sign = SavePictureSign(old);
    const QString moved = Folder("new") + "/logo.png";
    ASSERT_TRUE(QFile::rename(old, moved));
    CPictureBitmap::ClearCache();
    frame->ExecuteCommand(ID_FILE_NEW);

    QString shownPath;
    CAnswer<CMissingFileDlg> locate([&](CMissingFileDlg* box) {
        shownPath = Control<QLabel>(box, CMissingFileDlg::IDC_PATH)->text();
        SaveShot(box, "missing-file.png");
        answers = {moved};
        Press(box, CMissingFileDlg::IDC_BROWSE);
    });
    ASSERT_TRUE(OpenThroughMenu(sign));
    EXPECT_TRUE(locate.Answered());
    EXPECT_EQ(shownPath, QDir::toNativeSeparators(old));
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    CImage* image = OnlyPicture();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->m_filePath, moved);
    EXPECT_TRUE(image->m_bitmap.IsAllocated());
    EXPECT_TRUE(frame->Document().IsModified()) << "the sign now names the new place";

    // Saved, it opens without asking.
    ASSERT_TRUE(frame->SaveSign());
    ASSERT_TRUE(OpenThroughMenu(sign));
    EXPECT_EQ(OnlyPicture()->m_filePath, moved);
    EXPECT_FALSE(frame->Document().IsModified());
}

TEST_F(ReadingTest, AbandonedPictureKeepsItsPathAndTheSignOpens)
{
    const QString old = WritePicture(Folder("old") + "/logo.png");
    const QString sign = SavePictureSign(old);
    CImage* before = OnlyPicture();
    const CRect rect = before->m_pictureRect;
    ASSERT_TRUE(QFile::remove(old));
    CPictureBitmap::ClearCache();
    QByteArray resaved;
    frame->ExecuteCommand(ID_FILE_NEW);

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        CAnswer<CMissingFileDlg> abandon([&](CMissingFileDlg* box) { Press(box, IDABORT); });
        ASSERT_TRUE(OpenThroughMenu(sign));
        EXPECT_TRUE(abandon.Answered());
        EXPECT_EQ(messages.Count(), 0) << "the user knows: " << messages.LastText().toStdString();
        CImage* image = OnlyPicture();
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->m_filePath, old);
        EXPECT_EQ(image->m_pictureRect, rect);
        EXPECT_FALSE(image->m_bitmap.IsAllocated());
        EXPECT_EQ(TheElementList().GetCount(), 2);
        // Saving keeps the picture's name and settings: the same file.
        ASSERT_TRUE(frame->SaveSign());
        QFile file(sign);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray saved = file.readAll();
        EXPECT_TRUE(saved.contains(old.toLatin1()));
        if (round == 0)
            resaved = saved;
        else
            EXPECT_EQ(saved, resaved) << "opened and saved again: the same file";
    }
}

TEST_F(ReadingTest, TheCanvasLetsGoOfTheOldSignWhileANewOneIsRead)
{
    auto* view = new CDesignView(frame.get(), &frame->Document());
    frame->resize(900, 700);
    const QString old = WritePicture(Folder("old") + "/logo.png");
    const QString sign = SavePictureSign(old);
    ASSERT_TRUE(QFile::remove(old));
    CPictureBitmap::ClearCache();
    for (CElement* element : TheElementList().Elements())
        view->Selection().AddElement(element);
    ASSERT_EQ(view->Selection().GetCount(), 2);

    // While the dialog waits the program goes on: its commands are brought
    // up to date and the canvas asked to paint, with the old elements gone.
    int selectedMeanwhile = -1;
    bool paintedMeanwhile = true;
    CAnswer<CMissingFileDlg> abandon([&](CMissingFileDlg* box) {
        selectedMeanwhile = view->Selection().GetCount();
        paintedMeanwhile = view->viewport()->updatesEnabled();
        frame->UpdateActionsNow();
        view->viewport()->repaint();
        QApplication::processEvents();
        Press(box, IDABORT);
    });
    ASSERT_TRUE(OpenThroughMenu(sign));
    EXPECT_TRUE(abandon.Answered());
    EXPECT_EQ(selectedMeanwhile, 0);
    EXPECT_FALSE(paintedMeanwhile);
    EXPECT_TRUE(view->viewport()->updatesEnabled());
    EXPECT_EQ(TheElementList().GetCount(), 2);
}

TEST_F(ReadingTest, ARecentSignThatMovedIsLocatedAndTakesItsPlaceInTheList)
{
    const QString sign = SavePictureSign(WritePicture(dir.filePath("element.png")));
    const QString moved = Folder("new") + "/pictured.sgn";
    ASSERT_TRUE(QFile::rename(sign, moved));
    const QString notASign = dir.filePath("element.png");
    frame->ExecuteCommand(ID_FILE_NEW);
    ASSERT_EQ(frame->RecentFiles().value(0), sign);

    // A file that is not a sign is refused; the sign in its new place opens.
    CAnswer<CMissingFileDlg> locate([&](CMissingFileDlg* box) {
        answers = {notASign};
        Press(box, CMissingFileDlg::IDC_BROWSE);
        EXPECT_TRUE(box->isVisible());
        answers = {moved};
        Press(box, CMissingFileDlg::IDC_BROWSE);
    });
    frame->UpdateActionsNow();
    frame->Action(ID_FILE_MRU_FIRST)->trigger();
    EXPECT_TRUE(locate.Answered());
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains("not a sign")) << messages.LastText().toStdString();
    EXPECT_EQ(frame->Document().GetPathName(), moved);
    EXPECT_EQ(TheElementList().GetCount(), 2);
    EXPECT_EQ(frame->RecentFiles().value(0), moved);
    EXPECT_FALSE(frame->RecentFiles().contains(sign));
}

TEST_F(ReadingTest, AStocksMissingPictureIsAskedForAndKept)
{
    const QString old = WritePicture(Folder("old") + "/back.png");
    CPaperStock stock;
    stock.category = "Test";
    stock.name = "Pictured";
    stock.pageWidth = stock.selectionWidth = 2100;
    stock.pageHeight = stock.selectionHeight = 2970;
    stock.columns = stock.rows = 1;
    stock.leftMargin = 100;
    stock.topMargin = 200;
    stock.labelWidth = 600;
    stock.labelHeight = 1200;
    stock.horzPitch = 6500;
    stock.vertPitch = 12500;
    stock.backgroundImage = old;
    ASSERT_TRUE(ThePaper().SetStock(stock));
    ASSERT_TRUE(ThePaper().SelectStock(stock.name));
    const QString sign = SavePictureSign(WritePicture(dir.filePath("element.png")));
    const QString moved = Folder("new") + "/back.png";
    ASSERT_TRUE(QFile::rename(old, moved));
    frame->ExecuteCommand(ID_FILE_NEW);

    struct Case
    {
        const char* what;
        bool locate;
        QString expected;
    };
    const Case cases[] = {{"abandoned", false, old}, {"located", true, moved}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QString asked;
        CAnswer<CMissingFileDlg> answer([&](CMissingFileDlg* box) {
            asked = box->GetPathName();
            if (c.locate) {
                answers = {moved};
                Press(box, CMissingFileDlg::IDC_BROWSE);
            } else {
                Press(box, IDABORT);
            }
        });
        ASSERT_TRUE(OpenThroughMenu(sign));
        EXPECT_EQ(asked, old);
        CPaperStock back;
        ASSERT_TRUE(ThePaper().GetStock(QString(), back));
        EXPECT_EQ(back.backgroundImage, c.expected);
        EXPECT_EQ(frame->Document().IsModified(), c.locate);
        frame->Document().SetModifiedFlag(false);
    }
}

TEST_F(ReadingTest, ASignLinkedToACsvThatMovedIsLinkedToItsNewPlace)
{
    const QString csv = Folder("old") + "/prices.csv";
    {
        QFile file(csv);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Name,Price\r\nApples,1.20\r\nPears,2.10\r\n");
    }
    CDatabaseLink& link = TheDatabaseLink();
    link.SetDatabaseType(kDatabaseTypeText);
    link.m_textHeader = TRUE;
    ASSERT_TRUE(link.Connect(csv, TRUE)) << messages.LastText().toStdString();
    link.m_linkKind = 0;
    ASSERT_TRUE(link.OpenTable("prices#csv")) << messages.LastText().toStdString();
    const QString sign = SavePictureSign(WritePicture(dir.filePath("element.png")));
    {
        // The open box shows a linked sign without linking it, and the
        // sign on the canvas keeps its link.
        CSignSelect box(frame.get(), true, sign);
        box.PreviewFile(sign);
        EXPECT_FALSE(box.Preview()->FilePicture().isNull());
        EXPECT_TRUE(link.IsConnected());
        EXPECT_EQ(link.m_dataSource, csv);
    }
    const QString moved = Folder("new") + "/prices.csv";
    ASSERT_TRUE(QFile::rename(csv, moved));
    const QByteArray bytes = [&] {
        QFile file(sign);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    frame->ExecuteCommand(ID_FILE_NEW);
    ASSERT_FALSE(link.IsConnected());

    // Abort: the sign is not opened, and stays on disk as it was.
    {
        CAnswer<CMissingFileDlg> abandon([&](CMissingFileDlg* box) { Press(box, IDABORT); });
        EXPECT_FALSE(OpenThroughMenu(sign));
        EXPECT_TRUE(abandon.Answered());
        EXPECT_FALSE(link.IsConnected());
        EXPECT_EQ(TheElementList().GetCount(), 0);
        QFile file(sign);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), bytes);
    }
    // Located: the link is made again on the moved file.
    QString asked;
    CAnswer<CMissingFileDlg> locate([&](CMissingFileDlg* box) {
        asked = box->GetPathName();
        answers = {moved};
        Press(box, CMissingFileDlg::IDC_BROWSE);
    });
    ASSERT_TRUE(OpenThroughMenu(sign));
    EXPECT_EQ(asked, csv);
    EXPECT_EQ(choices.back().filter, "*.csv (*.csv);;*.* (*)");
    ASSERT_TRUE(link.IsConnected()) << messages.LastText().toStdString();
    EXPECT_EQ(link.m_dataSource, moved);
    EXPECT_EQ(link.GetLinkKind(), 0);
    EXPECT_TRUE(frame->Document().IsModified());
}

// --- the progress window -----------------------------------------------------------

TEST_F(ReadingTest, ProgressPercentFollowsTheBar)
{
    struct Case
    {
        int pos, low, high, percent;
    };
    const Case cases[] = {
        {50, 0, 100, 50}, {100, 0, 100, 100}, {110, 0, 100, 10}, {0, 0, 4, 0},
        {3, 0, 4, 75},    {-5, 0, 100, 0},    {15, 10, 20, 50},  {2000000, 0, 1000004, 99}};
    for (const Case& c : cases) {
        EXPECT_EQ(CProgressDlg::PercentFor(c.pos, c.low, c.high), c.percent)
            << c.pos << " in " << c.low << ".." << c.high;
    }

    CProgressDlg window(IDS_LOADING_TEMPLATE);
    window.SetRange(0, 100);
    window.SetStep(10);
    window.SetPos(100);
    EXPECT_EQ(window.PercentText(), "100%");
    window.StepIt();
    EXPECT_EQ(window.PercentText(), "10%");
    EXPECT_EQ(window.windowTitle(), "Loading Sign Template...");
}

TEST_F(ReadingTest, LoadingShowsProgressAndCancelLeavesANewSign)
{
    for (int i = 0; i < 200; ++i) {
        auto* box = new CBox;
        box->SetBounds(nullptr, CRect(10 + i, 10, 100 + i, 100));
        TheElementList().AddTail(box);
    }
    const QString sign = dir.filePath("many.sgn");
    answers = {sign};
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_SAVE_AS));
    frame->ExecuteCommand(ID_FILE_NEW);

    // Shown while the sign loads, over the frame, with nothing else taking
    // input; the sign opens whole.
    {
        int seenMax = 0;
        QString caption;
        bool modal = false;
        CWhenProgressShown watch([&](CProgressDlg* window) {
            caption = window->windowTitle();
            seenMax = Control<QProgressBar>(window, CProgressDlg::IDC_PROGRESS)->maximum();
            modal = window->isModal();
            SaveShot(window, "progress-loading.png");
        });
        ASSERT_TRUE(OpenThroughMenu(sign));
        EXPECT_TRUE(watch.Answered());
        EXPECT_EQ(caption, "Loading Sign Template...");
        EXPECT_EQ(seenMax, 200 + 4);
        EXPECT_TRUE(modal);
        EXPECT_EQ(TheElementList().GetCount(), 200);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the window went";
    }
    // Cancel: nothing is read, the frame shows a new sign, the file stays.
    frame->ExecuteCommand(ID_FILE_NEW);
    CWhenProgressShown cancel([&](CProgressDlg* window) { Press(window, IDCANCEL); });
    EXPECT_FALSE(OpenThroughMenu(sign));
    EXPECT_TRUE(cancel.Answered());
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    EXPECT_EQ(TheElementList().GetCount(), 0);
    EXPECT_TRUE(frame->Document().GetPathName().isEmpty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ASSERT_TRUE(OpenThroughMenu(sign));
    EXPECT_EQ(TheElementList().GetCount(), 200);
}

// Saving shows the same window, stepped once for every part written, and it
// offers no Cancel: a save always finishes.
TEST_F(ReadingTest, SavingShowsProgressThatCannotBeCancelled)
{
    for (int i = 0; i < 150; ++i) {
        auto* box = new CBox;
        box->SetBounds(nullptr, CRect(10 + i, 10, 100 + i, 100));
        TheElementList().AddTail(box);
    }
    QString caption;
    int maximum = 0;
    bool cancelOffered = true;
    std::vector<int> positions;
    CShownWatch<CProgressDlg> watch([&](CProgressDlg* window) {
        caption = window->windowTitle();
        auto* bar = Control<QProgressBar>(window, CProgressDlg::IDC_PROGRESS);
        maximum = bar->maximum();
        cancelOffered = !Control<QPushButton>(window, IDCANCEL)->isHidden();
        QObject::connect(bar, &QProgressBar::valueChanged, window,
                         [&](int value) { positions.push_back(value); });
    });
    const QString sign = dir.filePath("saved-with-progress.sgn");
    answers = {sign};
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_SAVE_AS));
    EXPECT_EQ(watch.Count(), 1);
    EXPECT_EQ(caption, "Saving Sign Template...");
    EXPECT_EQ(maximum, 150 + 4);
    EXPECT_FALSE(cancelOffered);
    // One step per box at least, in order.
    EXPECT_GE(positions.size(), 150u);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the window went";
    EXPECT_TRUE(QFileInfo::exists(sign));
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
}

// --- the open box --------------------------------------------------------------------

TEST_F(ReadingTest, OpenBoxPreviewsGoodAndDamagedSignsWithoutTouchingTheCurrentOne)
{
    const QString sign = SavePictureSign(WritePicture(dir.filePath("element.png")));
    QFile file(sign);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray good = file.readAll();
    file.close();
    frame->ExecuteCommand(ID_FILE_NEW);
    auto* current = new CBox;
    current->SetBounds(nullptr, CRect(0, 0, 50, 50));
    TheElementList().AddTail(current);

    CSignSelect box(frame.get(), true, sign);
    box.show();
    box.PreviewFile(sign);
    const QImage shown = box.Preview()->FilePicture();
    ASSERT_FALSE(shown.isNull());
    EXPECT_GT(DarkPixels(shown), 100) << "the black box of the sign in the file";
    ASSERT_EQ(TheElementList().GetCount(), 1);
    EXPECT_EQ(TheElementList().Elements().front(), current);

    // Damaged copies clear the preview (or show what could be read), ask
    // nothing, and a good file shows again afterwards.
    std::mt19937 rng(142);
    const QString damaged = dir.filePath("damaged.sgn");
    for (int i = 0; i < 60; ++i) {
        QFile out(damaged);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(i == 0 ? good.left(good.size() / 2) : DamagedCopy(good, rng));
        out.close();
        box.PreviewFile(damaged);
        if (i == 0) {
            EXPECT_TRUE(box.Preview()->FilePicture().isNull()) << "a sign cut short";
        }
    }
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    box.PreviewFile(dir.filePath("element.png"));
    EXPECT_TRUE(box.Preview()->FilePicture().isNull()) << "not a sign";
    box.PreviewFile(sign);
    EXPECT_EQ(box.Preview()->FilePicture(), shown);
    EXPECT_EQ(TheElementList().GetCount(), 1);
    EXPECT_EQ(TheElementList().Elements().front(), current);
}

TEST_F(ReadingTest, FileOpenUsesTheBoxWithThePreview)
{
    const QString sign = SavePictureSign(WritePicture(dir.filePath("element.png")));
    frame->ExecuteCommand(ID_FILE_NEW);
    FrameHooks().chooseFile = nullptr; // the program's own box

    bool previewed = false;
    QString title;
    CAnswer<CSignSelect> choose([&](CSignSelect* box) {
        title = box->windowTitle();
        box->selectFile(sign);
        box->PreviewFile(sign);
        previewed = !box->Preview()->FilePicture().isNull();
        SaveShot(box, "open-box-preview.png");
        QMetaObject::invokeMethod(box, "accept");
    });
    frame->ExecuteCommand(ID_FILE_OPEN);
    EXPECT_TRUE(choose.Answered());
    EXPECT_EQ(title, "Open");
    EXPECT_TRUE(previewed);
    EXPECT_EQ(frame->Document().GetPathName(), sign);
    EXPECT_EQ(TheElementList().GetCount(), 2);
}

// A sign whose element list refers back to an OLE object, which this system
// leaves out, is refused as damaged wherever it is read: File > Open, and
// the open box's preview as the file is selected. Reading it used to hand
// out the object already deleted, and the designer crashed.
TEST_F(ReadingTest, ASignReferringBackToALeftOutObjectIsRefusedAsDamaged)
{
    const QString good = SavePictureSign(WritePicture(dir.filePath("element.png")));
    const QString bad = dir.filePath("back.sgn");
    {
        QFile file(bad);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(SignReferringBackToAnOleObject());
    }

    // File > Open
    messages.Clear();
    EXPECT_FALSE(OpenThroughMenu(bad));
    EXPECT_EQ(messages.LastText(),
              "The sign \"back.sgn\" is damaged or is not a sign, and cannot be opened.");
    EXPECT_EQ(TheElementList().GetCount(), 0);
    EXPECT_TRUE(frame->Document().GetPathName().isEmpty());

    // The preview of the open box, as the user selects one file and then the other.
    FrameHooks().chooseFile = nullptr; // the program's own box
    messages.Clear();
    bool goodShown = false, badCleared = false;
    CAnswer<CSignSelect> choose([&](CSignSelect* box) {
        box->setDirectory(dir.path());
        auto* list = box->findChild<QListView*>(QStringLiteral("listView"));
        auto* model = box->findChild<QFileSystemModel*>();
        ASSERT_NE(list, nullptr);
        ASSERT_NE(model, nullptr);
        // A click on the file's row in the list, as the user selects it.
        const auto click = [&](const QString& path) {
            QModelIndex row;
            ASSERT_TRUE(QTest::qWaitFor([&] {
                row = model->index(path);
                return row.isValid() && !list->visualRect(row).isEmpty();
            }));
            list->scrollTo(row);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                              list->visualRect(row).center());
        };
        click(good);
        goodShown = QTest::qWaitFor([&] { return !box->Preview()->FilePicture().isNull(); });
        click(bad);
        badCleared = QTest::qWaitFor([&] { return box->Preview()->FilePicture().isNull(); });
        box->reject();
    });
    frame->ExecuteCommand(ID_FILE_OPEN);
    ASSERT_TRUE(choose.Answered());
    EXPECT_TRUE(goodShown);
    EXPECT_TRUE(badCleared);
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    EXPECT_TRUE(frame->Document().GetPathName().isEmpty());
}

TEST_F(ReadingTest, SaveAsBoxAsksBeforeWritingOverASign)
{
    const QString sign = SavePictureSign(WritePicture(dir.filePath("element.png")));
    const QString other = dir.filePath("other.sgn");
    {
        QFile file(other);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("someone's sign");
    }
    FrameHooks().chooseFile = nullptr; // the program's own box
    frame->Document().SetPathName(QString());

    struct Case
    {
        int answer;
        bool written;
    };
    for (const Case& c : {Case{IDNO, false}, Case{IDYES, true}}) {
        SCOPED_TRACE(c.answer);
        messages.Clear();
        messages.QueueAnswer(c.answer);
        bool stayed = false;
        CAnswer<CSignSelect> choose([&](CSignSelect* box) {
            EXPECT_EQ(box->windowTitle(), "Save As");
            box->selectFile(other);
            QMetaObject::invokeMethod(box, "accept");
            stayed = box->isVisible();
            if (stayed)
                box->reject();
        });
        EXPECT_EQ(frame->SaveSignAs(), c.written ? TRUE : FALSE);
        EXPECT_TRUE(choose.Answered());
        ASSERT_EQ(messages.Count(), 1);
        EXPECT_TRUE(messages.LastText().contains("other.sgn")) << messages.LastText().toStdString();
        EXPECT_EQ(stayed, !c.written);
        QFile file(other);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll() == "someone's sign", !c.written);
    }
    EXPECT_EQ(frame->Document().GetPathName(), other);
    (void)sign;
}

} // namespace
