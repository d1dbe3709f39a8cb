// The paper stock readers under damaged input: thousands of damaged copies
// of the built-in library, the user's library, the old archive library and
// a sign's paper record. Each is read as the program reads it at start-up
// (or when a sign is opened), then the program's save at exit runs. Nothing
// may crash, hang or trip a sanitizer; every stock read is within the range
// the rest of the program and the writer accept; a user library that could
// not be read whole is still on disk byte for byte, and one that could is
// written so that it reads back the same.
//
// TABREL_MUTATION_INPUTS sets the number of damaged copies of each kind.
#include "Damage.h"
#include "TestSupport.h"

#include "AppContext.h"
#include "Archive.h"
#include "Codec1252.h"
#include "MessageBox.h"
#include "Paper.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

namespace {

int Rounds()
{
    bool ok = false;
    const int rounds = qEnvironmentVariableIntValue("TABREL_MUTATION_INPUTS", &ok);
    return ok && rounds > 0 ? rounds : 2000;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

const QString kHeader = QString::fromLatin1(CPaper::kLibraryHeader);

QByteArray LibraryFile(const QStringList& lines)
{
    QString text = kHeader + QStringLiteral("\r\n");
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return ToWindows1252(text);
}

QByteArray ShippedLibrary()
{
    return ReadAll(QStringLiteral(TABREL_SOURCE_DIR "/resources/files/Stock.zel"));
}

QByteArray UserLibrarySeed()
{
    return LibraryFile({
        QStringLiteral("Mine,Shelf 2x7,2100,2970,0,151,46,0,0,991,2,10160,381,7,3810"),
        QStringLiteral("Mine,Round,2100,2970,1,100,100,1,25,500,3,6000,500,5,5200,2159,2794,,0"),
        QStringLiteral("Café,Pictured €,2100,2970,0,0,0,0,0,2100,1,0,2970,1,0,2100,2970,"
                       "./pics/back.png,90"),
        QStringLiteral("Roll,Tag,800,400,1,0,0,0,40,800,1,0,400,1,0,800,400,/mnt/share/x.png,270"),
    });
}

QByteArray SmallBuiltIn()
{
    return LibraryFile({QStringLiteral("Standard,A4,2100,2970,0,0,0,0,0,2100,1,0,2970,1,0"),
                        QStringLiteral("Standard,A5,1480,2100,0,0,0,0,0,1480,1,0,2100,1,0")});
}

struct OldStock
{
    const char* name;
    int values[11]; // page w, h, continuous, top, left, label w, columns, h pitch, label h, rows, v
                    // pitch
};

QByteArray OldLibrary(DWORD version)
{
    const OldStock stocks[] = {
        {"Old 2x7", {2100, 2970, 0, 151, 46, 991, 2, 10160, 381, 7, 3810}},
        {"Old roll", {800, 400, 1, 0, 0, 800, 1, 0, 400, 1, 0}},
        {"Old 3x8", {2100, 2970, 0, 130, 72, 635, 3, 6604, 339, 8, 3387}},
    };
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    ar << version;
    if (version >= 103)
        ar << DWORD(std::size(stocks));
    for (const OldStock& s : stocks) {
        ar << QString::fromLatin1(s.name);
        for (int i = 0; i < 11; ++i) {
            if (i == 2 && version < 264)
                continue;
            int value = s.values[i];
            if ((i == 7 || i == 10) && version < 110)
                value /= 10;
            ar << value;
        }
    }
    return bytes;
}

// A sign's paper record as the given file version wrote it.
QByteArray SignPaper(int version)
{
    CPaperStock s;
    s.category = QStringLiteral("Mine");
    s.name = QStringLiteral("In sign");
    s.pageWidth = s.selectionWidth = 2100;
    s.pageHeight = s.selectionHeight = 2970;
    s.topMargin = 151;
    s.leftMargin = 46;
    s.labelWidth = 991;
    s.labelHeight = 381;
    s.columns = 2;
    s.rows = 7;
    s.horzPitch = version < 110 ? 1016 : 10160;
    s.vertPitch = version < 110 ? 381 : 3810;
    s.cornerRadius = 20;
    s.type = 1;
    s.backgroundImage = QStringLiteral("./gone.png");
    s.backgroundOrientation = 90;
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    if (version >= 300)
        ar << s.category;
    ar << s.name << s.pageWidth << s.pageHeight;
    if (version >= 264)
        ar << s.continuous;
    ar << s.topMargin << s.leftMargin;
    if (version >= 300)
        ar << s.type << s.cornerRadius;
    ar << s.labelWidth << s.columns << s.horzPitch << s.labelHeight << s.rows << s.vertPitch;
    if (version >= 300)
        ar << s.builtIn << s.selectionWidth << s.selectionHeight;
    if (version >= 400)
        ar << s.backgroundImage << s.backgroundOrientation;
    return bytes;
}

// Every value of a stock within what the program and the writer accept.
void ExpectInRange(const CPaperStock& s, const std::string& where)
{
    EXPECT_TRUE(s.IsUsable()) << where << ": " << s.UnusableReason().toStdString();
    EXPECT_TRUE(s.continuous == 0 || s.continuous == 1) << where;
    EXPECT_TRUE(s.type == 0 || s.type == 1) << where;
    EXPECT_TRUE(s.cornerRadius >= 0 && s.cornerRadius <= 1000000) << where;
    EXPECT_TRUE(s.selectionWidth >= 0 && s.selectionWidth <= 1000000) << where;
    EXPECT_TRUE(s.selectionHeight >= 0 && s.selectionHeight <= 1000000) << where;
    EXPECT_TRUE(s.backgroundOrientation % 90 == 0 && s.backgroundOrientation >= 0 &&
                s.backgroundOrientation <= 270)
        << where;
    // What the print loop and the design view work out from it.
    const CPoint last = s.CellOrigin(s.LabelsPerSheet() - 1);
    (void)last;
    for (bool landscape : {false, true}) {
        const CRect r = CPaper::PrintableRectFor(s, landscape, CRect(42, 42, 2058, 2928));
        EXPECT_LE(r.left, r.right + 1) << where;
    }
}

std::map<QString, CPaperStock> UserStocks(const CPaper& paper)
{
    std::map<QString, CPaperStock> stocks;
    for (const QString& name : paper.StockNames()) {
        CPaperStock s;
        paper.GetStock(name, s);
        if (s.builtIn == 0)
            stocks[name] = s;
    }
    return stocks;
}

// Thousands of saves each wait for the disk: the program folder goes to a
// memory file system where there is one.
bool UseMemoryFolder()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    if (shm.isDir() && shm.isWritable())
        qputenv("TMPDIR", "/dev/shm");
    return true;
}

class PaperMutation : public ::testing::Test
{
protected:
    void SetUp() override { EnsureGuiApp(); }

    QString PathOf(const char* name) const { return m_home.FilePath(QString::fromLatin1(name)); }

    // What one damaged library must come through: start-up reads it, the
    // program's save at exit leaves what it could not read as it was. Then
    // a session that changed the stocks: the save either refuses (leaving
    // the user file as it was) or writes a file that reads back the same.
    void StartAndExit(const std::string& where, const QString& damagedPath)
    {
        const QByteArray userBefore = ReadAll(PathOf("Stock2.zel"));
        const QByteArray damagedBefore = ReadAll(damagedPath);
        const bool oldLibraryThere = QFileInfo::exists(PathOf("Tabrel.plf"));
        std::map<QString, CPaperStock> saved;
        {
            CAppContext context;
            CMessageResponder messages;
            CPaper& paper = ThePaper();
            paper.Init(QStringLiteral("Shelf 2x7"));
            ASSERT_NE(paper.Current(), nullptr) << where;
            EXPECT_LE(messages.Count(), 1) << where; // told once
            for (const auto& m : messages.Messages())
                EXPECT_LE(m.text.size(), kMaxMessageText) << where;
            for (const QString& name : paper.StockNames()) {
                CPaperStock s;
                ASSERT_TRUE(paper.GetStock(name, s));
                ExpectInRange(s, where + " stock " + name.left(40).toStdString());
            }
            const bool oldLibraryRemoved =
                oldLibraryThere && !QFileInfo::exists(PathOf("Tabrel.plf"));
            if (oldLibraryThere && !oldLibraryRemoved) {
                EXPECT_EQ(ReadAll(PathOf("Tabrel.plf")), damagedBefore) << where;
            }
            if (!oldLibraryRemoved) { // nothing was imported into the user file yet
                EXPECT_EQ(ReadAll(PathOf("Stock2.zel")), userBefore) << where;
            }

            // The save at exit, nothing changed (stocks taken from an old
            // library that is kept are saved now).
            const QByteArray userAtStart = ReadAll(PathOf("Stock2.zel"));
            paper.SaveUserStocks();
            if (!oldLibraryThere) {
                EXPECT_EQ(ReadAll(PathOf("Stock2.zel")), userAtStart) << where;
            }

            // A session that added a stock.
            const QByteArray userBeforeSave = ReadAll(PathOf("Stock2.zel"));
            const int before = messages.Count();
            CPaperStock added;
            added.category = QStringLiteral("Mine");
            added.name = QStringLiteral("Added in session");
            added.pageWidth = added.selectionWidth = added.labelWidth = 1000;
            added.pageHeight = added.selectionHeight = added.labelHeight = 500;
            added.columns = added.rows = 1;
            ASSERT_TRUE(paper.SetStock(added));
            if (paper.SaveUserStocks()) {
                EXPECT_EQ(messages.Count(), before) << where;
                saved = UserStocks(paper);
            } else {
                EXPECT_EQ(messages.Count(), before + 1) << where;
                EXPECT_EQ(ReadAll(PathOf("Stock2.zel")), userBeforeSave) << where;
            }
        }
        if (!saved.empty()) {
            // What the program wrote, it reads back whole and the same.
            CAppContext context;
            CMessageResponder messages;
            QFile::remove(PathOf("Tabrel.plf"));
            ThePaper().LoadStockLibrary();
            const std::map<QString, CPaperStock> back = UserStocks(ThePaper());
            for (const auto& m : messages.Messages())
                EXPECT_FALSE(m.text.contains(u"Stock2.zel"))
                    << where << ": " << m.text.toStdString();
            EXPECT_TRUE(back == saved) << where;
        }
    }

    bool m_inMemory = UseMemoryFolder(); // before the home is made
    CTestHome m_home;
};

TEST_F(PaperMutation, DamagedBuiltInLibraries)
{
    const QByteArray seed = ShippedLibrary();
    ASSERT_GT(seed.size(), 500);
    const QByteArray user = UserLibrarySeed();
    std::mt19937 rng(1401);
    const int rounds = Rounds();
    for (int i = 0; i < rounds; ++i) {
        const QByteArray damaged = DamagedTextCopy(seed, rng);
        WriteAll(PathOf("Stock.zel"), damaged);
        WriteAll(PathOf("Stock2.zel"), user);
        StartAndExit("built-in library " + std::to_string(i), PathOf("Stock.zel"));
        EXPECT_EQ(ReadAll(PathOf("Stock.zel")), damaged) << i; // never written
        if (HasFailure())
            break;
    }
}

TEST_F(PaperMutation, DamagedUserLibraries)
{
    const QByteArray seed = UserLibrarySeed();
    std::mt19937 rng(1402);
    const int rounds = Rounds();
    for (int i = 0; i < rounds; ++i) {
        WriteAll(PathOf("Stock.zel"), SmallBuiltIn());
        WriteAll(PathOf("Stock2.zel"), DamagedTextCopy(seed, rng));
        StartAndExit("user library " + std::to_string(i), PathOf("Stock2.zel"));
        if (HasFailure())
            break;
    }
}

TEST_F(PaperMutation, DamagedOldLibraries)
{
    const DWORD versions[] = {2, 103, 110, 264, 300};
    std::mt19937 rng(1403);
    const int rounds = Rounds();
    for (int i = 0; i < rounds; ++i) {
        WriteAll(PathOf("Stock.zel"), SmallBuiltIn());
        WriteAll(PathOf("Stock2.zel"), UserLibrarySeed());
        WriteAll(PathOf("Tabrel.plf"), DamagedCopy(OldLibrary(versions[i % 5]), rng));
        StartAndExit("old library " + std::to_string(i), PathOf("Tabrel.plf"));
        QFile::remove(PathOf("Tabrel.plf"));
        if (HasFailure())
            break;
    }
}

TEST_F(PaperMutation, DamagedSignPaperRecords)
{
    const int versions[] = {100, 200, 264, 300, 514};
    std::mt19937 rng(1404);
    const int rounds = Rounds();
    CAppContext context;
    CMessageResponder messages;
    CPaper& paper = ThePaper();
    WriteAll(PathOf("Stock.zel"), SmallBuiltIn());
    paper.Init(QStringLiteral("A4"));
    int read = 0;
    for (int i = 0; i < rounds; ++i) {
        const int version = versions[i % 5];
        QByteArray bytes = DamagedCopy(SignPaper(version), rng);
        const std::string where = "sign paper " + std::to_string(i);
        messages.Clear();
        App().fileVersion = version;
        try {
            CArchive ar(&bytes, CArchive::load);
            paper.Serialize(ar);
        } catch (const CArchiveException&) {
            continue;
        } catch (const CUserException&) {
            EXPECT_EQ(messages.Count(), 1) << where;
            EXPECT_LE(messages.LastText().size(), kMaxMessageText) << where;
            continue;
        }
        ++read;
        CPaperStock s;
        ASSERT_TRUE(paper.GetStock(QString(), s)) << where;
        ExpectInRange(s, where);
        paper.GetPrintableRect();
        paper.GetRightMargin();
        paper.GetBottomMargin();

        // Stored again by the program, it reads back the same.
        QByteArray again;
        {
            CArchive store(&again, CArchive::store);
            paper.Serialize(store);
        }
        App().fileVersion = 514;
        CArchive load(&again, CArchive::load);
        EXPECT_NO_THROW(paper.Serialize(load)) << where;
        CPaperStock back;
        ASSERT_TRUE(paper.GetStock(QString(), back)) << where;
        EXPECT_TRUE(back == s) << where;
        if (HasFailure())
            break;
    }
    EXPECT_GT(read, rounds / 20); // the damage leaves many records readable
    // The library saved at exit holds what the signs brought, and reads back.
    EXPECT_TRUE(paper.SaveUserStocks());
}

} // namespace
