// Zip packages: signs packed with their pictures and database and unpacked
// elsewhere, where their references lead to the unpacked files; hostile
// packages that try to write outside the folder; what an export leaves out
// and how it says so.
#include "ZipPackage.h"

#include "AppContext.h"
#include "Box.h"
#include "Damage.h"
#include "DatabaseLink.h"
#include "ElementList.h"
#include "Image.h"
#include "LabelStock.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "Paper.h"
#include "PdfSupport.h"
#include "PrintBatchDlg.h"
#include "PrintCommands.h"
#include "Printer.h"
#include "SequenceStore.h"
#include "ShellParts.h"
#include "ShellTestSupport.h"
#include "SignApp.h"
#include "SignData.h"
#include "SmallDisk.h"
#include "TestSupport.h"
#include "Text.h"
#include "UndoHistory.h"
#include "ZipTestSupport.h"
#include "ui/CreateFolderDlg.h"
#include "ui/ExportOptionsDlg.h"
#include "ui/ZipExport.h"
#include "ui/ZipImportDlg.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QUrl>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

class ZipPackageTest : public ::testing::Test
{
protected:
    ZipPackageTest()
    {
        EnsureWidgetApp();
        RegisterAllClasses();
    }

    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    QTemporaryDir work;

    QString Path(const QString& name) const { return work.filePath(name); }
};

TEST_F(ZipPackageTest, FolderNamesLoseWhatCouldLeaveThePackage)
{
    const struct
    {
        const char* typed;
        const char* clean; // null: refused
    } cases[] = {
        {"Pics", "Pics"},    {"Pics\\Logo", "PicsLogo"}, {"a/../b", "ab"},
        {"C:Data", "CData"}, {"..\\..\\etc", "etc"},     {".", nullptr},
        {"..", nullptr},     {"...", nullptr},           {"/\\:", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        bool ok = true;
        const QString clean = CleanPackageFolderName(QString::fromUtf8(c.typed), &ok);
        EXPECT_EQ(ok, c.clean != nullptr) << c.typed;
        EXPECT_EQ(clean, c.clean ? QString::fromUtf8(c.clean) : QString()) << c.typed;
    }
}

// A sign with a picture and a CSV link, packed with the pictures and the
// database in folders of their own, unpacked elsewhere and read from there.
// The sign being edited meanwhile keeps its elements, its unsaved state and
// its undo history.
TEST_F(ZipPackageTest, RoundTripLeadsTheSignToItsUnpackedFiles)
{
    const CZipFixture fixture(work.filePath(QStringLiteral("original")));
    const QString sign = fixture.WriteSign(QStringLiteral("shelf.sgn"));
    ASSERT_FALSE(sign.isEmpty()) << messages.LastText().toStdString();

    // What the user is editing: one element, one undo step, not saved.
    CSignData editing;
    auto* box = new CBox;
    box->SetBounds(nullptr, CRect(10, 10, 200, 200));
    TheElementList().AddTail(box);
    TheUndoHistory().Record(0, box);
    editing.SetModifiedFlag(true);
    const int undoSteps = TheUndoHistory().GetCount();

    CZipExportOptions options;
    options.picturesToSubfolder = true;
    options.pictureSubfolder = QStringLiteral("Pics\\Logo");
    options.databasesToSubfolder = true;
    options.databaseSubfolder = QStringLiteral("Data");
    options.schemaFile = true;
    const QString package = Path(QStringLiteral("out/job.zip"));
    QDir().mkpath(Path(QStringLiteral("out")));
    const CZipExportResult exported = ExportZipPackage(package, {sign}, options);
    ASSERT_TRUE(exported.Complete())
        << exported.error.toStdString() << " " << exported.omitted.join(u'\n').toStdString();
    EXPECT_EQ(exported.stored,
              QStringList({"shelf.sgn", "PicsLogo/logo.png", "Data/stock.csv", "Data/SCHEMA.INI"}));
    EXPECT_EQ(PackageNames(package), exported.stored);
    // No temporary template is left anywhere.
    EXPECT_EQ(QDir(Path(QStringLiteral("out"))).entryList(QDir::Files), QStringList({"job.zip"}));
    EXPECT_EQ(QDir(home.Path()).entryList({"Tb*"}, QDir::Files), QStringList());

    // The sign being edited is as it was.
    ASSERT_EQ(TheElementList().GetCount(), 1);
    EXPECT_EQ(TheElementList().GetAt(0), box);
    EXPECT_EQ(TheUndoHistory().GetCount(), undoSteps);
    EXPECT_TRUE(editing.IsModified());
    EXPECT_FALSE(TheDatabaseLink().IsConnected());

    // Unpacked into a new folder after the originals have gone.
    ASSERT_TRUE(QDir(fixture.Folder()).removeRecursively());
    const QString target = Path(QStringLiteral("unpacked"));
    const CZipImportResult imported = ImportZipPackage(package, target, {});
    ASSERT_FALSE(imported.Failed())
        << imported.error.toStdString() << imported.refused.join(u'\n').toStdString();
    EXPECT_EQ(imported.firstSign, target + "/shelf.sgn");
    EXPECT_EQ(imported.unpacked.size(), 4);

    CSignData document;
    ASSERT_TRUE(document.OnOpenDocument(imported.firstSign)) << messages.LastText().toStdString();
    CImage* picture = nullptr;
    for (CElement* element : TheElementList())
        if (element->GetTypeCode() == TYPE_PICTURE)
            picture = static_cast<CImage*>(element);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->m_filePath, target + "/PicsLogo/logo.png");
    EXPECT_TRUE(picture->m_bitmap.IsAllocated());
    CDatabaseLink& link = TheDatabaseLink();
    EXPECT_EQ(link.m_dataSource, target + "/Data/stock.csv");
    EXPECT_TRUE(link.IsConnected()) << messages.LastText().toStdString();
    EXPECT_EQ(App().loadOutcome, 0);
    document.DeleteContents();
}

// A package made to harm: names that climb out, absolute names, drive
// letters, a link, a name twice and a folder of the target that is a link
// elsewhere. Nothing lands outside the folder, each is named, and the good
// entries are unpacked.
TEST_F(ZipPackageTest, HostilePackageWritesNothingOutsideItsFolder)
{
    const QString outside = Path(QStringLiteral("outside"));
    QDir().mkpath(outside);
    const QString target = Path(QStringLiteral("inbox/target"));
    QDir().mkpath(target);
    ASSERT_TRUE(QFile::link(outside, target + "/escape"));

    const QString package = Path(QStringLiteral("hostile.zip"));
    CHostilePackage hostile;
    hostile.Add("good.sgn", "sign");
    hostile.Add("../evil1.txt", "x");
    hostile.Add("sub/../../evil2.txt", "x");
    hostile.Add("sub\\..\\..\\evil3.txt", "x");
    hostile.Add("/tmp/evil4.txt", "x");
    hostile.Add("C:/evil5.txt", "x");
    hostile.Add("D:evil6.txt", "x");
    hostile.AddLink("pointer", "../../outside/evil7.txt");
    hostile.Add("escape/evil8.txt", "x");
    hostile.Add("twice.txt", "first");
    hostile.Add("twice.txt", "second");
    hostile.Add("ok/nested.txt", "fine");
    ASSERT_TRUE(hostile.Write(package));

    const CZipImportResult result = ImportZipPackage(package, target, {});
    EXPECT_TRUE(result.read);
    EXPECT_TRUE(result.Failed());
    EXPECT_EQ(result.unpacked, QStringList({target + "/good.sgn", target + "/twice.txt",
                                            target + "/ok/nested.txt"}));
    EXPECT_EQ(result.firstSign, target + "/good.sgn");

    const QStringList refusedNames = {
        "../evil1.txt",   "sub/../../evil2.txt", "sub\\..\\..\\evil3.txt",
        "/tmp/evil4.txt", "C:/evil5.txt",        "D:evil6.txt",
        "pointer",        "escape/evil8.txt",    "twice.txt"};
    ASSERT_EQ(result.refused.size(), refusedNames.size())
        << result.refused.join(u'\n').toStdString();
    for (int i = 0; i < refusedNames.size(); ++i)
        EXPECT_TRUE(result.refused[i].startsWith(refusedNames[i] + ": "))
            << result.refused[i].toStdString();

    // Nothing outside: not beside the target, not in the folder the link
    // leads to, not in /tmp.
    EXPECT_EQ(
        QDir(Path(QStringLiteral("inbox"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        QStringList({"target"}));
    EXPECT_EQ(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    EXPECT_EQ(QDir(work.path()).entryList(QStringList{"evil*"}), QStringList());
    EXPECT_FALSE(QFile::exists("/tmp/evil4.txt"));
    EXPECT_FALSE(QFileInfo(target + "/pointer").exists());
    QFile twice(target + "/twice.txt");
    ASSERT_TRUE(twice.open(QIODevice::ReadOnly));
    EXPECT_EQ(twice.readAll(), "first");
}

// Damaged packages are refused with a reason, and the folder keeps what it
// held.
TEST_F(ZipPackageTest, DamagedPackagesAreRefusedWhole)
{
    const QString target = Path(QStringLiteral("target"));
    QDir().mkpath(target);
    QFile keep(target + "/keep.txt");
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.write("mine");
    keep.close();

    const QString package = Path(QStringLiteral("p.zip"));
    CHostilePackage good;
    good.Add("keep.txt", "theirs");
    good.Add("new.txt", std::string(5000, 'n'));
    ASSERT_TRUE(good.Write(package));
    QFile file(package);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();

    for (const QByteArray& damaged :
         {QByteArray("not a zip at all"), bytes.left(bytes.size() / 2), QByteArray()}) {
        const QString path = Path(QStringLiteral("damaged.zip"));
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(damaged);
        out.close();
        const CZipImportResult result = ImportZipPackage(path, target, {});
        EXPECT_TRUE(result.Failed());
        EXPECT_FALSE(result.error.isEmpty());
        EXPECT_TRUE(result.unpacked.isEmpty());
    }

    // Without "overwrite" a file that is there stays, and is not a failure.
    CZipImportResult result = ImportZipPackage(package, target, {});
    EXPECT_FALSE(result.Failed());
    EXPECT_EQ(result.kept, QStringList({target + "/keep.txt"}));
    ASSERT_TRUE(keep.open(QIODevice::ReadOnly));
    EXPECT_EQ(keep.readAll(), "mine");
    keep.close();
    result = ImportZipPackage(package, target, {true, false});
    EXPECT_EQ(result.unpacked.size(), 2);
    ASSERT_TRUE(keep.open(QIODevice::ReadOnly));
    EXPECT_EQ(keep.readAll(), "theirs");
}

// What an export cannot pack is named, and success is claimed only for a
// whole package; a failed export leaves the old package as it was.
TEST_F(ZipPackageTest, ExportNamesWhatItLeftOut)
{
    const CZipFixture first(work.filePath(QStringLiteral("one")));
    const CZipFixture second(work.filePath(QStringLiteral("two")));
    const QString a = first.WriteSign(QStringLiteral("shelf.sgn"));
    const QString b = second.WriteSign(QStringLiteral("shelf.sgn"));
    ASSERT_FALSE(a.isEmpty());
    ASSERT_FALSE(b.isEmpty());
    const QString broken = Path(QStringLiteral("broken.sgn"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("this is no sign");
    file.close();

    const QString package = Path(QStringLiteral("job.zip"));
    QFile old(package);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the old package");
    old.close();

    // Only a sign that cannot be read: nothing to pack, the old file stays.
    messages.Clear();
    CZipExportResult result = ExportZipPackage(package, {broken}, {});
    EXPECT_FALSE(result.written);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_GE(messages.Count(), 1) << "the unreadable sign is reported";
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "the old package");
    old.close();

    // Two signs of one name: both packed, the later one renamed. Their
    // pictures and data files share names but not contents: the second of
    // each is left out and named.
    CZipExportOptions options;
    options.schemaFile = true;
    result = ExportZipPackage(package, {a, broken, b}, options);
    EXPECT_TRUE(result.written);
    EXPECT_FALSE(result.Complete());
    EXPECT_EQ(result.stored,
              QStringList({"shelf.sgn", "logo.png", "stock.csv", "SCHEMA.INI", "shelf (2).sgn"}));
    ASSERT_EQ(result.omitted.size(), 4) << result.omitted.join(u'\n').toStdString();
    EXPECT_TRUE(result.omitted[0].contains("broken.sgn"));
    EXPECT_TRUE(result.omitted[1].contains(QDir::toNativeSeparators(second.Folder())));
    EXPECT_EQ(PackageNames(package), result.stored);

    // A picture that is gone is named too.
    QFile::remove(first.Folder() + "/art/logo.png");
    result = ExportZipPackage(package, {a}, {});
    EXPECT_TRUE(result.written);
    ASSERT_EQ(result.omitted.size(), 1);
    EXPECT_TRUE(result.omitted[0].contains("logo.png"));

    // A folder name that is only dots is refused before anything is done.
    options.picturesToSubfolder = true;
    options.pictureSubfolder = QStringLiteral("..");
    result = ExportZipPackage(package, {a}, options);
    EXPECT_FALSE(result.written);
    EXPECT_FALSE(result.error.isEmpty());
}

// A package that cannot be written whole (the disk is full) leaves the old
// one as it was, and no half-written file behind.
TEST_F(ZipPackageTest, FullDiskKeepsTheOldPackage)
{
    CSmallDisk disk(256);
    if (!disk.Available())
        GTEST_SKIP() << disk.Why().toStdString();
    const CZipFixture fixture(Path(QStringLiteral("original")));
    const QString sign = fixture.WriteSign(QStringLiteral("shelf.sgn"));
    ASSERT_FALSE(sign.isEmpty());
    const QString package = disk.FilePath(QStringLiteral("job.zip"));
    QFile old(package);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the old package");
    old.close();
    disk.Fill();
    const CZipExportResult result = ExportZipPackage(package, {sign}, {});
    disk.Unfill();
    EXPECT_FALSE(result.written);
    EXPECT_FALSE(result.error.isEmpty());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "the old package");
    old.close();
    QStringList left = QDir(disk.Path()).entryList(QDir::Files);
    left.removeAll(QStringLiteral("job.zip"));
    for (const QString& name : left)
        EXPECT_FALSE(name.startsWith(QStringLiteral("job.zip"))) << name.toStdString();
}

// Damaged copies of a good package: whatever they hold, nothing lands
// outside the folder and the program goes on.
TEST_F(ZipPackageTest, DamagedPackagesNeverWriteOutsideTheirFolder)
{
    CHostilePackage good;
    good.Add("shelf.sgn", std::string(3000, 's'));
    good.Add("Pics/logo.png", std::string(5000, 'p'));
    good.Add("Data/stock.csv", "Name,Code\r\nApples,C1\r\n");
    good.Add("../up.txt", "x");
    const QString seedPath = Path(QStringLiteral("seed.zip"));
    ASSERT_TRUE(good.Write(seedPath));
    QFile seedFile(seedPath);
    ASSERT_TRUE(seedFile.open(QIODevice::ReadOnly));
    const QByteArray seed = seedFile.readAll();
    seedFile.close();

    const QString area = Path(QStringLiteral("area"));
    std::mt19937 rng(2711);
    for (int round = 0; round < 200; ++round) {
        QDir(area).removeRecursively();
        QDir().mkpath(area + "/in");
        const QString package = area + "/damaged.zip";
        QFile file(package);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(DamagedCopy(seed, rng));
        file.close();
        const CZipImportResult result = ImportZipPackage(package, area + "/in/target", {});
        EXPECT_EQ(QDir(area).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList({"damaged.zip", "in"}))
            << "round " << round;
        EXPECT_EQ(QDir(area + "/in").entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList({"target"}))
            << "round " << round;
        // What was unpacked is whole: the files the package names in full,
        // and no more than a package of its size can hold.
        qint64 unpackedBytes = 0;
        for (const QString& path : result.unpacked) {
            EXPECT_TRUE(path.startsWith(area + "/in/target/")) << path.toStdString();
            unpackedBytes += QFileInfo(path).size();
        }
        EXPECT_LE(unpackedBytes, (16 << 20) + QFileInfo(package).size() * 1100)
            << "round " << round;
    }
}

// A package whose directory lists one packed entry many times over under
// other names: a few kilobytes that would unpack to hundreds of megabytes.
QByteArray OverlappingPackage(const QString& seedPath, int copies)
{
    CHostilePackage one;
    one.Add("f000.bin", std::string(4 << 20, '\0'));
    if (!one.Write(seedPath))
        return {};
    QFile file(seedPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const auto u16 = [&bytes](qsizetype at) {
        return quint16(quint8(bytes[at]) | quint8(bytes[at + 1]) << 8);
    };
    const auto u32 = [&](qsizetype at) { return quint32(u16(at) | quint32(u16(at + 2)) << 16); };
    const qsizetype end = bytes.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0)
        return {};
    const qsizetype directory = u32(end + 16);
    const qsizetype entryBytes =
        46 + u16(directory + 28) + u16(directory + 30) + u16(directory + 32);
    const QByteArray entry = bytes.mid(directory, entryBytes);
    QByteArray listing;
    for (int i = 0; i < copies; ++i) {
        QByteArray copy = entry;
        copy.replace(46, 4, QByteArray::number(1000 + i).right(3).prepend('f'));
        listing += copy;
    }
    QByteArray tail = bytes.mid(end, 22);
    const auto put16 = [&tail](int at, int v) {
        tail[at] = char(v & 0xFF);
        tail[at + 1] = char((v >> 8) & 0xFF);
    };
    put16(8, copies);
    put16(10, copies);
    put16(12, int(listing.size() & 0xFFFF));
    put16(14, int(listing.size() >> 16));
    put16(20, 0);
    return bytes.left(directory) + listing + tail;
}

// A package can unpack to no more than a package of its size can hold: one
// of entries that share their data is stopped with a message before a byte
// is written, and the damaged copies of a package never unpack beyond it.
TEST_F(ZipPackageTest, WhatAPackageUnpacksIsBoundedByItsSize)
{
    const QByteArray bomb = OverlappingPackage(Path(QStringLiteral("seed.zip")), 60);
    ASSERT_FALSE(bomb.isEmpty());
    ASSERT_LT(bomb.size(), 64 * 1024);
    const QString package = Path(QStringLiteral("bomb.zip"));
    {
        QFile out(package);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bomb);
    }
    ASSERT_EQ(PackageNames(package).size(), 60);
    const QString target = Path(QStringLiteral("target"));
    const CZipImportResult result = ImportZipPackage(package, target, {});
    EXPECT_TRUE(result.Failed());
    EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(package)))
        << result.error.toStdString();
    EXPECT_TRUE(result.error.contains("240 MB")) << result.error.toStdString();
    EXPECT_TRUE(result.unpacked.isEmpty());
    EXPECT_EQ(QDir(target).entryList(QDir::Files), QStringList());

    // A few copies of the entry are what such a package may hold, and are
    // unpacked whole.
    const QByteArray few = OverlappingPackage(Path(QStringLiteral("seed.zip")), 3);
    {
        QFile out(package);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(few);
    }
    const CZipImportResult three = ImportZipPackage(package, target, {});
    EXPECT_FALSE(three.Failed()) << three.error.toStdString();
    EXPECT_EQ(three.unpacked.size(), 3);
    EXPECT_EQ(QFileInfo(target + "/f001.bin").size(), 4 << 20);
}

// Side files go in the package's root when chosen and there; one that is
// not there is no omission.
TEST_F(ZipPackageTest, ChosenSideFilesGoWhenTheyAreThere)
{
    const CZipFixture fixture(Path(QStringLiteral("original")));
    const QString sign = fixture.WriteSign(QStringLiteral("shelf.sgn"));
    CZipExportOptions options;
    options.pictures = options.databases = false;
    options.serialNumbers = options.databaseFilters = options.customDictionary = true;
    const QString package = Path(QStringLiteral("side.zip"));
    CZipExportResult result = ExportZipPackage(package, {sign}, options);
    EXPECT_TRUE(result.Complete()) << result.omitted.join(u'\n').toStdString();
    EXPECT_EQ(result.stored, QStringList({"shelf.sgn"}));

    for (const char* extension : {".flf", ".dic"}) {
        QFile file(CSignApp::GetProgramFileName(QString::fromLatin1(extension)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("content");
    }
    result = ExportZipPackage(package, {sign}, options);
    EXPECT_TRUE(result.Complete());
    EXPECT_EQ(result.stored, QStringList({"shelf.sgn", "Tabrel.flf", "Tabrel.dic"}));
}

// The package's number sequences join the program's; the program's own
// values stay.
TEST_F(ZipPackageTest, ImportMergesNewNumberSequences)
{
    LoadSequenceStore();
    const QString target = Path(QStringLiteral("t"));
    const QString package = Path(QStringLiteral("seq.zip"));
    // The side file as the program writes it.
    CSequenceStore& store = TheSequenceStore();
    store.SetValue(QStringLiteral("Shelf"), QStringLiteral("5"));
    store.SetValue(QStringLiteral("Bin"), QStringLiteral("7"));
    ASSERT_TRUE(store.Save());
    QFile sns(CSignApp::GetProgramFileName(QStringLiteral(".sns")));
    ASSERT_TRUE(sns.open(QIODevice::ReadOnly));
    CHostilePackage p;
    p.Add("Tabrel.sns", sns.readAll().toStdString());
    ASSERT_TRUE(p.Write(package));
    store.RemoveAll();
    store.SetValue(QStringLiteral("Shelf"), QStringLiteral("100"));

    const CZipImportResult result = ImportZipPackage(package, target, {});
    ASSERT_FALSE(result.Failed());
    EXPECT_EQ(TheSequenceStore().GetValue(QStringLiteral("Shelf")), QStringLiteral("100"));
    EXPECT_EQ(TheSequenceStore().GetValue(QStringLiteral("Bin")), QStringLiteral("7"));
}

// --- the dialogs, through the designer's File menu ------------------------------

template <class W> W* Control(QWidget* dialog, int id)
{
    W* w = dialog->findChild<W*>(QStringLiteral("id%1").arg(id));
    EXPECT_NE(w, nullptr) << "control " << id;
    return w;
}

void Click(QWidget* dialog, int id)
{
    QTest::mouseClick(Control<QPushButton>(dialog, id), Qt::LeftButton);
}

void Type(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// Receives the help pages the program hands to the desktop.
class CHelpCatcher : public QObject
{
    Q_OBJECT

public:
    CHelpCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open"); }
    ~CHelpCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened << url; }
};

class ZipDialogTest : public ZipPackageTest
{
protected:
    ZipDialogTest()
    {
        FrameHooks() = CFrameHooks();
        FrameHooks().chooseFile = [this](QWidget*, const CFileChoice& choice) {
            choices.push_back(choice);
            if (answers.isEmpty())
                return QString();
            return answers.takeFirst();
        };
        frame = std::make_unique<CMainFrame>();
        frame->UpdateActionsNow();
    }
    ~ZipDialogTest() override
    {
        if (frame)
            frame->Document().SetModifiedFlag(false);
        frame.reset();
        FrameHooks() = CFrameHooks();
    }

    QStringList answers; // what the file boxes answer, in turn
    std::vector<CFileChoice> choices;
    std::unique_ptr<CMainFrame> frame;
};

// Export As Zip on a sign with unsaved changes: the list starts with the
// sign's file, a template added twice is listed once, Remove takes the
// selected one out, the options put pictures in a subfolder, and Save packs
// and says so; the sign being edited keeps its changes and undo steps.
TEST_F(ZipDialogTest, ExportAsZipPacksTheListedTemplates)
{
    const CZipFixture fixture(Path(QStringLiteral("original")));
    const QString sign = fixture.WriteSign(QStringLiteral("shelf.sgn"));
    const QString other = fixture.WriteSign(QStringLiteral("other.sgn"));
    ASSERT_TRUE(frame->OpenSign(sign));
    auto* box = new CBox;
    box->SetBounds(nullptr, CRect(10, 10, 200, 200));
    TheElementList().AddTail(box);
    TheUndoHistory().Record(0, box);
    frame->Document().SetModifiedFlag(true);
    const int elements = TheElementList().GetCount();
    const int undoSteps = TheUndoHistory().GetCount();
    const QString package = Path(QStringLiteral("job.zip"));

    answers = {other, other, package};
    bool optionsAnswered = false;
    CAnswerDialog<CZipExport> answer([&](CZipExport* dialog) {
        auto* list = Control<QListWidget>(dialog, CZipExport::IDC_TEMPLATES);
        ASSERT_EQ(list->count(), 1);
        EXPECT_EQ(list->item(0)->text(), "shelf.sgn");
        auto* templates = Control<QCheckBox>(dialog, CZipExport::IDC_INCLUDE_TEMPLATES);
        EXPECT_TRUE(templates->isChecked());
        EXPECT_FALSE(templates->isEnabled());
        Click(dialog, CZipExport::IDC_ADD);
        Click(dialog, CZipExport::IDC_ADD);
        EXPECT_EQ(list->count(), 2);
        list->setCurrentRow(1);
        Click(dialog, CZipExport::IDC_REMOVE);
        EXPECT_EQ(dialog->Templates(), QStringList({sign}));

        CAnswerDialog<CExportOptionsDlg> options([&](CExportOptionsDlg* options) {
            optionsAnswered = true;
            auto* schema = Control<QCheckBox>(options, CExportOptionsDlg::IDC_SCHEMA);
            EXPECT_TRUE(schema->isEnabled()) << "the sign's database is a text file";
            EXPECT_TRUE(schema->isChecked());
            auto* folder = Control<QLineEdit>(options, CExportOptionsDlg::IDC_PICTURE_FOLDER);
            EXPECT_FALSE(folder->isEnabled());
            Control<QRadioButton>(options, CExportOptionsDlg::IDC_PICTURES_SUBFOLDER)->click();
            EXPECT_TRUE(folder->isEnabled());
            // Dots alone are refused and the dialog stays.
            Type(folder, "..");
            Click(options, IDOK);
            EXPECT_TRUE(options->isVisible());
            EXPECT_TRUE(messages.LastText().contains("\"..\""))
                << messages.LastText().toStdString();
            Type(folder, "Pics\\Logo");
            Click(options, IDOK);
        });
        Click(dialog, CZipExport::IDC_ADVANCED);

        Click(dialog, CZipExport::IDC_BROWSE); // answered with the package
        EXPECT_EQ(dialog->PackagePath(), package);
        messages.Clear();
        Click(dialog, IDOK);
    });
    ASSERT_TRUE(frame->ExecuteCommand(ID_EXPORT_ZIP));
    ASSERT_TRUE(answer.Answered());
    EXPECT_TRUE(optionsAnswered);
    EXPECT_EQ(messages.LastText(),
              "Export file " + QDir::toNativeSeparators(package) + " successfully created");
    EXPECT_EQ(PackageNames(package),
              QStringList({"shelf.sgn", "PicsLogo/logo.png", "stock.csv", "SCHEMA.INI"}));
    ASSERT_EQ(choices.size(), 3u);
    EXPECT_EQ(choices[2].title, "Export As");
    EXPECT_TRUE(choices[2].save);

    EXPECT_TRUE(frame->Document().IsModified());
    EXPECT_EQ(frame->Document().GetPathName(), sign);
    EXPECT_EQ(TheElementList().GetCount(), elements);
    EXPECT_EQ(TheElementList().GetAt(elements - 1), box);
    EXPECT_EQ(TheUndoHistory().GetCount(), undoSteps);
    EXPECT_TRUE(frame->Canvas()->updatesEnabled()) << "the canvas paints again";

    // Saving over it asks first; No leaves it and keeps the box open.
    answers.clear();
    CAnswerDialog<CZipExport> again([&](CZipExport* dialog) {
        Type(Control<QLineEdit>(dialog, CZipExport::IDC_FILE_NAME), package);
        messages.QueueAnswer(IDNO);
        Click(dialog, IDOK);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(messages.LastText().contains("already exists"));
        Click(dialog, IDCANCEL);
    });
    ASSERT_TRUE(frame->ExecuteCommand(ID_EXPORT_ZIP));
    EXPECT_TRUE(again.Answered());
}

// Add takes several signs from one file box, each listed once however its
// name is written; the Export Options dialog's Help opens the help pages at
// the topic of zip packages.
TEST_F(ZipDialogTest, AddTakesSeveralSignsAndExportOptionsHasHelp)
{
    const CZipFixture fixture(Path(QStringLiteral("several")));
    const QString sign = fixture.WriteSign(QStringLiteral("shelf.sgn"));
    const QString second = fixture.WriteSign(QStringLiteral("second.sgn"));
    const QString third = fixture.WriteSign(QStringLiteral("third.sgn"));
    ASSERT_TRUE(frame->OpenSign(sign));
    QFile pages(CSignApp::GetHelpFilePath());
    ASSERT_TRUE(pages.open(QIODevice::WriteOnly));
    pages.write("<html><body><h2 id=\"zip\">Zip packages</h2></body></html>");
    pages.close();
    CHelpCatcher help;

    // The sign open, two more, and the open one again in other letters.
    QString upper = sign;
    upper.replace(QStringLiteral("shelf.sgn"), QStringLiteral("SHELF.sgn"));
    answers = {second + u'\n' + third + u'\n' + upper};
    bool optionsAnswered = false;
    CAnswerDialog<CZipExport> answer([&](CZipExport* dialog) {
        Click(dialog, CZipExport::IDC_ADD);
        EXPECT_EQ(dialog->Templates(), QStringList({sign, second, third}));
        auto* list = Control<QListWidget>(dialog, CZipExport::IDC_TEMPLATES);
        ASSERT_EQ(list->count(), 3);
        EXPECT_EQ(list->item(2)->text(), "third.sgn");

        CAnswerDialog<CExportOptionsDlg> options([&](CExportOptionsDlg* options) {
            optionsAnswered = true;
            auto* button = Control<QPushButton>(options, ID_HELP);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->text(), "Help");
            Click(options, ID_HELP);
            EXPECT_TRUE(options->isVisible()) << "Help leaves the dialog open";
            Click(options, IDCANCEL);
        });
        Click(dialog, CZipExport::IDC_ADVANCED);
        Click(dialog, IDCANCEL);
    });
    ASSERT_TRUE(frame->ExecuteCommand(ID_EXPORT_ZIP));
    ASSERT_TRUE(answer.Answered());
    EXPECT_TRUE(optionsAnswered);
    ASSERT_FALSE(choices.empty());
    EXPECT_TRUE(choices.front().multiple);
    EXPECT_FALSE(choices.front().save);
    ASSERT_EQ(help.opened.size(), 1);
    QUrl expected = QUrl::fromLocalFile(CSignApp::GetHelpFilePath());
    expected.setFragment(QStringLiteral("zip"));
    EXPECT_EQ(help.opened.front(), expected);
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
}

// Import From Zip: the package is asked for, the folder typed (and made),
// the package unpacked and its sign opened; a package with refused entries
// is reported and opens nothing.
TEST_F(ZipDialogTest, ImportFromZipUnpacksAndOpensTheSign)
{
    const CZipFixture fixture(Path(QStringLiteral("original")));
    const QString sign = fixture.WriteSign(QStringLiteral("shelf.sgn"));
    const QString package = Path(QStringLiteral("job.zip"));
    ASSERT_TRUE(ExportZipPackage(package, {sign}, {}).Complete());
    const QString target = Path(QStringLiteral("unpacked"));

    answers = {package};
    CAnswerDialog<CZipImportDlg> answer([&](CZipImportDlg* dialog) {
        EXPECT_EQ(Control<QLabel>(dialog, CZipImportDlg::IDC_PACKAGE)->text(),
                  QDir::toNativeSeparators(package));
        EXPECT_FALSE(Control<QCheckBox>(dialog, CZipImportDlg::IDC_OVERWRITE)->isChecked());
        EXPECT_FALSE(Control<QCheckBox>(dialog, CZipImportDlg::IDC_SKIP_OLDER)->isChecked());
        Type(Control<QLineEdit>(dialog, CZipImportDlg::IDC_FOLDER), target);
        messages.Clear();
        Click(dialog, IDOK);
    });
    ASSERT_TRUE(frame->ExecuteCommand(ID_IMPORT_ZIP));
    ASSERT_TRUE(answer.Answered());
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_EQ(choices[0].title, "Import From");
    EXPECT_FALSE(choices[0].save);
    EXPECT_EQ(messages.LastText(),
              "'" + QDir::toNativeSeparators(package) + "' successfully imported");
    EXPECT_EQ(frame->Document().GetPathName(), target + "/shelf.sgn");
    EXPECT_EQ(TheDatabaseLink().m_dataSource, target + "/stock.csv");

    // A hostile package: reported entry by entry, nothing opened.
    const QString hostile = Path(QStringLiteral("hostile.zip"));
    CHostilePackage bad;
    bad.Add("first.sgn", "no sign");
    bad.Add("../evil.txt", "x");
    ASSERT_TRUE(bad.Write(hostile));
    answers = {hostile};
    CAnswerDialog<CZipImportDlg> refuse([&](CZipImportDlg* dialog) {
        Type(Control<QLineEdit>(dialog, CZipImportDlg::IDC_FOLDER), Path("other"));
        messages.Clear();
        Click(dialog, IDOK);
    });
    ASSERT_TRUE(frame->ExecuteCommand(ID_IMPORT_ZIP));
    ASSERT_TRUE(refuse.Answered());
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().startsWith("Error importing from"));
    EXPECT_TRUE(messages.LastText().contains("../evil.txt: the name climbs out of the folder"))
        << messages.LastText().toStdString();
    EXPECT_EQ(frame->Document().GetPathName(), target + "/shelf.sgn") << "nothing else opened";
    EXPECT_FALSE(QFile::exists(Path("evil.txt")));
}

// A package whose sign refers back to an OLE object that the reader leaves
// out: the sign is unpacked and then refused as damaged when it is opened,
// instead of crashing the designer.
TEST_F(ZipDialogTest, ImportedSignReferringBackToALeftOutObjectIsRefusedAsDamaged)
{
    const QString package = Path(QStringLiteral("back.zip"));
    const QByteArray sign = SignReferringBackToAnOleObject();
    CHostilePackage p;
    p.Add("back.sgn", sign.toStdString());
    ASSERT_TRUE(p.Write(package));
    const QString target = Path(QStringLiteral("unpacked"));

    answers = {package};
    CAnswerDialog<CZipImportDlg> answer([&](CZipImportDlg* dialog) {
        Type(Control<QLineEdit>(dialog, CZipImportDlg::IDC_FOLDER), target);
        messages.Clear();
        Click(dialog, IDOK);
    });
    ASSERT_TRUE(frame->ExecuteCommand(ID_IMPORT_ZIP));
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(messages.LastText(),
              "The sign \"back.sgn\" is damaged or is not a sign, and cannot be opened.");
    EXPECT_TRUE(frame->Document().GetPathName().isEmpty());
    EXPECT_EQ(TheElementList().GetCount(), 0);
    // the file unpacked stays as it came
    QFile unpacked(target + "/back.sgn");
    ASSERT_TRUE(unpacked.open(QIODevice::ReadOnly));
    EXPECT_EQ(unpacked.readAll(), sign);
}

// The folder box: "->" finds a typed folder or says it cannot, and New
// Folder makes one inside the current folder and selects it.
TEST_F(ZipDialogTest, ImportDialogFindsAndMakesFolders)
{
    const QString package = Path(QStringLiteral("p.zip"));
    CHostilePackage p;
    p.Add("a.txt", "a");
    ASSERT_TRUE(p.Write(package));
    QDir().mkpath(Path("base/inner"));
    CZipImportDlg dialog(package, Path("base"));
    auto* folder = Control<QLineEdit>(&dialog, CZipImportDlg::IDC_FOLDER);
    EXPECT_EQ(folder->text(), QDir::toNativeSeparators(Path("base")));

    Type(folder, Path("base/missing"));
    Click(&dialog, CZipImportDlg::IDC_GO_TO);
    EXPECT_EQ(messages.LastText(), "Could not find the folder '" + Path("base/missing") + "'");
    Type(folder, Path("base/inner"));
    Click(&dialog, CZipImportDlg::IDC_GO_TO);
    EXPECT_TRUE(dialog.findChild<QTreeView*>()->currentIndex().isValid());

    CAnswerDialog<CCreateFolderDlg> create([&](CCreateFolderDlg* made) {
        // A folder that is there already cannot be made again.
        Type(Control<QLineEdit>(made, CCreateFolderDlg::IDC_NAME), "..");
        Click(made, IDOK);
        EXPECT_TRUE(made->isVisible());
        EXPECT_TRUE(messages.LastText().startsWith("Unable to create the folder"));
        Type(Control<QLineEdit>(made, CCreateFolderDlg::IDC_NAME), "fresh");
        Click(made, IDOK);
    });
    Click(&dialog, CZipImportDlg::IDC_NEW_FOLDER);
    ASSERT_TRUE(create.Answered());
    EXPECT_TRUE(QFileInfo(Path("base/inner/fresh")).isDir());
    EXPECT_EQ(folder->text(), QDir::toNativeSeparators(Path("base/inner/fresh")));
}

// --- a job moved to another machine ------------------------------------------------

// A program folder of its own with the stock library, and the designer
// started in it through its application object.
class CDesignerOnHome
{
public:
    CDesignerOnHome()
    {
        WriteLabelStockLibrary(home);
        app.frameTemplate = CSignApp::DesignerFrameTemplate();
        if (app.InitInstance({"tabrel"}))
            frame = qobject_cast<CMainFrame*>(app.GetMainWindow());
        if (frame)
            frame->resize(1200, 860);
    }
    ~CDesignerOnHome()
    {
        if (frame)
            frame->Document().SetModifiedFlag(false);
        app.ExitInstance();
    }

    CTestHome home;
    CAppContext context;
    CSignApp app;
    CMainFrame* frame = nullptr;
};

// The whole text of a PDF's first page.
QString FirstPageText(const QString& pdf)
{
    QProcess process;
    process.start("pdftotext", {"-f", "1", "-l", "1", "-enc", "UTF-8", pdf, "-"});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// How many label cells of the first row show the red picture.
int RedCells(const QImage& page, int dpi)
{
    int cells = 0;
    for (int column = 0; column < 3; ++column) {
        // The picture lies 10 mm into its cell; the cells are 66 mm apart,
        // the first 7.2 mm and 12.9 mm in.
        const int x = qRound((72 + column * 660 + 100 + 20) * dpi / 254.0);
        const int y = qRound((129 + 100 + 20) * dpi / 254.0);
        const QColor colour = page.pixelColor(x, y);
        if (colour.red() > 200 && colour.green() < 80 && colour.blue() < 80)
            ++cells;
    }
    return cells;
}

// A sign with a picture and a CSV link is packed with Export As Zip on one
// home, the originals go, and on another home Import From Zip unpacks it,
// opens it and prints one label per record: each label has the picture
// and its record's name.
TEST(ZipHomesTest, SignPackedOnOneHomeIsUnpackedAndPrintedOnAnother)
{
    EnsureWidgetApp();
    RegisterAllClasses();
    CMessageResponder messages;
    QTemporaryDir exchange;
    const QString package = exchange.filePath("job.zip");
    QStringList answers;
    FrameHooks() = CFrameHooks();
    const auto install = [&answers] {
        FrameHooks().chooseFile = [&answers](QWidget*, const CFileChoice&) {
            return answers.isEmpty() ? QString() : answers.takeFirst();
        };
    };

    {
        CDesignerOnHome first;
        ASSERT_NE(first.frame, nullptr) << messages.LastText().toStdString();
        install();
        ThePaper().SelectStock(QStringLiteral("Labels 3x8"));
        const CZipFixture fixture(first.home.FilePath("work"));
        ASSERT_TRUE(fixture.FillSign()) << messages.LastText().toStdString();
        auto* name = static_cast<CText*>(TheElementList().CreateElement("CText"));
        name->BeginCreate(nullptr, 100, 250);
        name->m_name = "Name";
        name->SetDataSource(SOURCE_DATABASE, "Name");
        const QString sign = fixture.Folder() + "/signs/shelf.sgn";
        answers = {sign};
        first.frame->UpdateActionsNow();
        ASSERT_TRUE(first.frame->ExecuteCommand(ID_FILE_SAVE_AS));
        ASSERT_TRUE(QFile::exists(sign));

        CAnswerDialog<CZipExport> answer([&](CZipExport* dialog) {
            Type(Control<QLineEdit>(dialog, CZipExport::IDC_FILE_NAME), package);
            messages.Clear();
            Click(dialog, IDOK);
        });
        ASSERT_TRUE(first.frame->ExecuteCommand(ID_EXPORT_ZIP));
        ASSERT_TRUE(answer.Answered());
        EXPECT_TRUE(messages.LastText().endsWith("successfully created"))
            << messages.LastText().toStdString();
        FrameHooks().chooseFile = nullptr;
    }
    ASSERT_TRUE(QFile::exists(package));

    CDesignerOnHome second;
    ASSERT_NE(second.frame, nullptr) << messages.LastText().toStdString();
    install();
    const QString target = second.home.FilePath("arrived");
    answers = {package};
    CAnswerDialog<CZipImportDlg> answer([&](CZipImportDlg* dialog) {
        Type(Control<QLineEdit>(dialog, CZipImportDlg::IDC_FOLDER), target);
        messages.Clear();
        Click(dialog, IDOK);
    });
    ASSERT_TRUE(second.frame->ExecuteCommand(ID_IMPORT_ZIP));
    ASSERT_TRUE(answer.Answered());
    EXPECT_TRUE(messages.LastText().endsWith("successfully imported"))
        << messages.LastText().toStdString();
    ASSERT_EQ(second.frame->Document().GetPathName(), target + "/shelf.sgn");
    EXPECT_EQ(App().loadOutcome, 0) << "nothing had to be looked for";
    ASSERT_TRUE(TheDatabaseLink().IsConnected());
    EXPECT_EQ(TheDatabaseLink().m_dataSource, target + "/stock.csv");

    // Printed with Print All from the print station into a PDF file.
    const QString pdf = second.home.FilePath("labels.pdf");
    second.frame->UpdateActionsNow();
    ASSERT_TRUE(second.frame->ExecuteCommand(ID_FILE_PRINT));
    CPrintCommands* commands = CPrintCommands::Of(second.frame);
    ASSERT_TRUE(commands->IsStationOpen());
    CPrintBatchDlg* batch = commands->BatchDialog();
    answers = {pdf};
    auto* destination =
        batch->findChild<QComboBox*>(QStringLiteral("id%1").arg(CPrintBatchDlg::IDC_DESTINATION));
    destination->setFocus();
    QTest::keyClick(destination, Qt::Key_Down);
    ASSERT_EQ(batch->Destination(), 1);
    second.frame->UpdateActionsNow();
    QAction* printAll = second.frame->Action(ID_RECORD_PRINT_ALL);
    ASSERT_TRUE(printAll->isEnabled());
    messages.SetDefaultAnswer(IDYES);
    printAll->trigger();
    auto* back =
        batch->findChild<QPushButton*>(QStringLiteral("id%1").arg(CPrintBatchDlg::IDC_RETURN));
    back->click();
    back->click();

    ASSERT_EQ(PdfPageCount(pdf), 1);
    const QString text = FirstPageText(pdf);
    for (const QString& record : ZipFixtureNames())
        EXPECT_TRUE(text.contains(record)) << record.toStdString() << " in " << text.toStdString();
    const int dpi = 100;
    const QImage page = RenderPdfPage(pdf, 1, dpi);
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(RedCells(page, dpi), 3) << "the picture on every label";
    FrameHooks() = CFrameHooks();
}

} // namespace

#include "ZipPackageTest.moc"
