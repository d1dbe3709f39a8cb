// OLE objects: a sign made on Windows that holds one opens with the object
// left out and everything else kept; the placeholder, the copy and the
// export of an OLE object element.
#include "OleObject.h"
#include "AppContext.h"
#include "Box.h"
#include "Damage.h"
#include "ElementList.h"
#include "SignData.h"
#include "TestElements.h"
#include "TestSupport.h"
#include "Text.h"
#include "TextExport.h"
#include "UndoHistory.h"

#include <QFile>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>

namespace {

// Where each test object stands: a rectangle no other record holds, so that
// its bytes find the object in the file.
CRect ObjectRect(int i)
{
    return CRect(1234 + i, 2345 + i, 3456 + i, 4567 + i);
}

QByteArray RectBytes(const CRect& r)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    ar << r;
    return bytes;
}

// What a Windows object library might store for an object: binary noise
// with the shapes that a careless search would take for records (a class
// record of an element class, class references, string lengths).
QByteArray ItemBytes(unsigned seed)
{
    std::mt19937 rng(seed);
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i)
        bytes.append(char(rng()));
    bytes.append(QByteArray("\xFF\xFF\x01\x00\x04\x00"
                            "CBox\x05"
                            "Hello\x07\x00\x00\x00",
                            20));
    bytes.append(QByteArray("\x01\x80\x00\x00\xFF\xFF\x00\x00\x02\x80", 10));
    for (int i = 0; i < 1000; ++i)
        bytes.append(char(rng()));
    return bytes;
}

class OleObjectTest : public RealElementTest
{
public:
    void SetUp() override
    {
        EnsureGuiApp();
        RealElementTest::SetUp();
    }

    // Saves the list as a sign and gives every OLE object in it its item
    // data after its frame, as the Windows program wrote it.
    // The object given is written twice: the list holds it once more.
    QByteArray SignWithItems(int objects, COleObject* twice = nullptr)
    {
        const QString path = home.FilePath("made.sgn");
        CSignData sign;
        if (twice)
            list.AddTail(twice);
        EXPECT_TRUE(sign.OnSaveDocument(path));
        if (twice)
            list.Remove(twice);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        for (int i = 0; i < objects; ++i) {
            const QByteArray rect = RectBytes(ObjectRect(i));
            const qsizetype at = bytes.indexOf(rect);
            EXPECT_GE(at, 0);
            bytes.insert(at + rect.size(), ItemBytes(unsigned(i + 1)));
        }
        list.DeleteAll();
        return bytes;
    }

    bool Open(const QByteArray& bytes, CSignData& sign)
    {
        const QString path = home.FilePath("opened.sgn");
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes);
        file.close();
        return sign.OnOpenDocument(path);
    }

    void AddBox(const QString& name, int x)
    {
        auto* box = new CBox;
        box->m_name = name;
        box->SetBounds(nullptr, CRect(x, 10, x + 50, 60));
        ASSERT_TRUE(list.AddTail(box));
    }
    void AddText(const QString& name)
    {
        auto* text = new CText;
        text->m_name = name;
        ASSERT_TRUE(list.AddTail(text));
    }
    void AddElement(CElement* element) { ASSERT_TRUE(list.AddTail(element)); }
    void AddObject(int i)
    {
        auto* object = new COleObject;
        object->m_name = QString("Object%1").arg(i + 1);
        object->m_position = ObjectRect(i);
        object->RecalcPosition(nullptr);
        ASSERT_TRUE(list.AddTail(object));
    }

    QStringList Names() const
    {
        QStringList names;
        for (int i = 0; i < list.GetCount(); ++i)
            names << list.GetAt(i)->m_name;
        return names;
    }

    CTestHome home;
};

TEST_F(OleObjectTest, SignOpensWithTheObjectLeftOutAndEverythingElseKept)
{
    struct
    {
        const char* what;
        std::function<void(OleObjectTest&)> make;
        int objects;
        QStringList kept;
    } const cases[] = {
        {"between elements of classes read before",
         [](OleObjectTest& t) {
             t.AddBox("Before", 0);
             t.AddText("Title");
             t.AddObject(0);
             t.AddBox("After", 100);
             t.AddText("Footer");
         },
         1,
         {"Before", "Title", "After", "Footer"}},
        {"followed by a class read for the first time",
         [](OleObjectTest& t) {
             t.AddBox("Before", 0);
             t.AddObject(0);
             t.AddText("Title");
         },
         1,
         {"Before", "Title"}},
        {"the last element, the rest of the sign after it",
         [](OleObjectTest& t) {
             t.AddBox("Before", 0);
             t.AddObject(0);
         },
         1,
         {"Before"}},
        {"the only element", [](OleObjectTest& t) { t.AddObject(0); }, 1, {}},
        {"two objects in a row and one at the end",
         [](OleObjectTest& t) {
             t.AddBox("First", 0);
             t.AddObject(0);
             t.AddObject(1);
             t.AddBox("Middle", 200);
             t.AddObject(2);
         },
         3,
         {"First", "Middle"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.make(*this);
        const QByteArray bytes = SignWithItems(c.objects);
        messages.Clear();
        CSignData sign;
        ASSERT_TRUE(Open(bytes, sign)) << messages.LastText().toStdString();
        EXPECT_EQ(Names(), c.kept);
        ASSERT_EQ(messages.Count(), 1);
        EXPECT_TRUE(messages.LastText().contains("OLE object"))
            << messages.LastText().toStdString();
        EXPECT_TRUE(messages.LastText().contains("left out"));
        // The sign no longer matches its file.
        EXPECT_TRUE(sign.IsModified());
        // What was kept saves and opens again without a word.
        const QString again = home.FilePath("again.sgn");
        ASSERT_TRUE(sign.OnSaveDocument(again));
        messages.Clear();
        CSignData reopened;
        ASSERT_TRUE(reopened.OnOpenDocument(again));
        EXPECT_EQ(Names(), c.kept);
        EXPECT_EQ(messages.Count(), 0);
        list.DeleteAll();
    }
}

TEST_F(OleObjectTest, ObjectDataWithNothingReadableAfterItFailsTheOpenCleanly)
{
    AddBox("Before", 0);
    AddObject(0);
    QByteArray bytes = SignWithItems(1);
    const QByteArray rect = RectBytes(ObjectRect(0));
    // Everything after the object is noise.
    bytes.truncate(bytes.indexOf(rect) + rect.size() + 500);
    bytes.append(QByteArray(2000, '\x7F'));
    CSignData sign;
    EXPECT_FALSE(Open(bytes, sign));
    EXPECT_EQ(list.GetCount(), 0);
    ASSERT_GE(messages.Count(), 1);
}

TEST_F(OleObjectTest, DamagedSignsWithObjectsReadSafely)
{
    AddBox("Before", 0);
    AddObject(0);
    AddText("After");
    const QByteArray seed = SignWithItems(1);
    std::mt19937 rng(1109);
    for (int i = 0; i < 150; ++i) {
        CSignData sign;
        messages.Clear();
        if (Open(DamagedCopy(seed, rng), sign)) {
            for (int j = 0; j < list.GetCount(); ++j)
                EXPECT_NE(list.GetAt(j)->GetTypeCode(), TYPE_OLE);
        } else {
            EXPECT_EQ(list.GetCount(), 0);
        }
        list.DeleteAll();
    }
}

// A second reference to an object that was left out is damage: the sign is
// refused with the damaged-sign message. It used to hand out the deleted
// object to the element list.
TEST_F(OleObjectTest, ReferenceBackToALeftOutObjectIsRefusedAsDamage)
{
    struct
    {
        const char* what;
        std::function<void(OleObjectTest&, COleObject*)> make; // the reference follows
    } const cases[] = {
        {"after other elements",
         [](OleObjectTest& t, COleObject* object) {
             t.AddBox("Before", 0);
             t.AddElement(object);
             t.AddText("Title");
             t.AddBox("After", 100);
         }},
        {"right after the object",
         [](OleObjectTest& t, COleObject* object) { t.AddElement(object); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto* object = new COleObject;
        object->m_position = ObjectRect(0);
        object->RecalcPosition(nullptr);
        c.make(*this, object);
        const QByteArray bytes = SignWithItems(1, object);
        messages.Clear();
        CSignData sign;
        EXPECT_FALSE(Open(bytes, sign));
        EXPECT_EQ(list.GetCount(), 0);
        EXPECT_TRUE(messages.LastText().contains("is damaged"))
            << messages.LastText().toStdString();
    }
}

TEST_F(OleObjectTest, PlaceholderCopyAndExport)
{
    COleObject object;
    object.m_name = "Chart";
    object.m_position = CRect(20, 20, 180, 120);
    object.RecalcPosition(nullptr);
    EXPECT_EQ(object.m_bounds, CRect(20, 20, 180, 120));
    EXPECT_EQ(object.GetTypeCode(), TYPE_OLE);
    EXPECT_EQ(object.GetTypeName(), "OleObject");
    EXPECT_EQ(object.GetContextMenuId(), 315);
    for (int handle = 0; handle < 8; ++handle)
        EXPECT_EQ(object.IsHandleEnabled(handle) != 0, handle % 2 == 0) << handle;

    // Drawn as a labelled frame.
    const QImage image = Render(object, 200, 140);
    EXPECT_FALSE(IsWhite(image, 20, 70));
    EXPECT_FALSE(IsWhite(image, 100, 20));
    EXPECT_EQ(InkBounds(image), CRect(20, 20, 179, 119));

    std::unique_ptr<CElement> copy(CloneElement(&object));
    auto* clone = dynamic_cast<COleObject*>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->m_position, object.m_position);
    EXPECT_EQ(clone->m_notYetPlaced, 0);

    QByteArray out;
    {
        CTextExportFile file(&out);
        object.WriteXml(file);
    }
    const QString text = QString::fromLatin1(out);
    EXPECT_TRUE(text.startsWith("  <object>\r\n\r\n"));
    EXPECT_TRUE(text.contains("    <name=\"Chart\"/>\r\n"));
    EXPECT_TRUE(text.contains("    <position units=\"TMM\" x=\"20\" y=\"20\"/>\r\n"));
    EXPECT_TRUE(text.contains("    <size units=\"TMM\" width=\"160\" height=\"100\"/>\r\n"));
    EXPECT_TRUE(text.endsWith("\r\n  </object>\r\n\r\n"));
}

} // namespace
