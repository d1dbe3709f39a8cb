#include "Archive.h"
#include "AppContext.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

class CTestItem : public CObject
{
    DECLARE_PERSISTENT(CTestItem)
public:
    DWORD value = 0;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << value;
        else
            ar >> value;
    }
};
IMPLEMENT_PERSISTENT(CTestItem, CObject, 1)

// Holds references to other objects, which may be shared.
class CTestHolder : public CObject
{
    DECLARE_PERSISTENT(CTestHolder)
public:
    CObject* first = nullptr;
    CObject* second = nullptr;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar.WriteObject(first);
            ar.WriteObject(second);
        } else {
            first = ar.ReadObject(RUNTIME_CLASS(CObject));
            second = ar.ReadObject(RUNTIME_CLASS(CObject));
        }
    }
};
IMPLEMENT_PERSISTENT(CTestHolder, CObject, 1)

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

template <class F> QByteArray Store(F&& write)
{
    QByteArray bytes;
    {
        CArchive ar(&bytes, CArchive::store);
        write(ar);
    }
    return bytes;
}

QByteArray ClassRecord(const char* name)
{
    QByteArray record = Hex("ffff0100");
    const QByteArray n(name);
    record.append(char(n.size() & 0xFF));
    record.append(char(n.size() >> 8));
    record.append(n);
    return record;
}

QByteArray Le32(DWORD v)
{
    QByteArray b;
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
    return b;
}

} // namespace

TEST(Archive, PrimitivesAreLittleEndian)
{
    struct Case
    {
        const char* name;
        std::function<void(CArchive&)> write;
        const char* hex;
    };
    const Case cases[] = {
        {"byte", [](CArchive& ar) { ar << BYTE(0x12); }, "12"},
        {"word", [](CArchive& ar) { ar << WORD(0x1234); }, "3412"},
        {"dword", [](CArchive& ar) { ar << DWORD(0x12345678); }, "78563412"},
        {"negative int", [](CArchive& ar) { ar << -2; }, "feffffff"},
        {"float", [](CArchive& ar) { ar << 1.0f; }, "0000803f"},
        {"double", [](CArchive& ar) { ar << -2.5; }, "00000000000004c0"},
        {"rect", [](CArchive& ar) { ar << CRect(1, -1, 256, 2); },
         "01000000ffffffff0001000002000000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Store(c.write).toHex(), QByteArray(c.hex)) << c.name;

    QByteArray bytes = Hex("12"
                           "3412"
                           "78563412"
                           "feffffff"
                           "0000803f"
                           "00000000000004c0");
    CArchive ar(&bytes, CArchive::load);
    EXPECT_EQ(ar.ReadByte(), 0x12);
    EXPECT_EQ(ar.ReadWord(), 0x1234);
    EXPECT_EQ(ar.ReadDWord(), 0x12345678u);
    EXPECT_EQ(ar.ReadInt(), -2);
    float f;
    double d;
    ar >> f >> d;
    EXPECT_EQ(f, 1.0f);
    EXPECT_EQ(d, -2.5);
    EXPECT_EQ(ar.BytesRemaining(), 0);
}

TEST(Archive, StringLengthPrefixes)
{
    struct Case
    {
        int length;
        const char* prefix;
    };
    const Case cases[] = {
        {0, "00"},
        {3, "03"},
        {254, "fe"},
        {255, "ffff00"},
        {65533, "fffdff"},
        {65534, "fffffffeff0000"},
        {70000, "ffffff70110100"},
    };
    for (const Case& c : cases) {
        const QString text(c.length, QChar(u'x'));
        const QByteArray bytes = Store([&](CArchive& ar) { ar << text; });
        const QByteArray prefix = Hex(c.prefix);
        ASSERT_EQ(bytes.size(), prefix.size() + c.length) << c.length;
        EXPECT_EQ(bytes.left(prefix.size()).toHex(), QByteArray(c.prefix)) << c.length;

        QByteArray copy = bytes;
        CArchive ar(&copy, CArchive::load);
        EXPECT_EQ(ar.ReadString(), text) << c.length;
        EXPECT_EQ(ar.BytesRemaining(), 0);
    }
}

TEST(Archive, StringsAreWindows1252OnDisk)
{
    const QString text = QStringLiteral(u"\u20AC5 caf\u00E9 \u4E2D");
    const QByteArray bytes = Store([&](CArchive& ar) { ar << text; });
    EXPECT_EQ(bytes.toHex(), QByteArray("09803520636166e9203f"));
    QByteArray copy = bytes;
    CArchive ar(&copy, CArchive::load);
    EXPECT_EQ(ar.ReadString(), QStringLiteral(u"\u20AC5 caf\u00E9 ?"));
}

TEST(Archive, ReadsWideStrings)
{
    QByteArray bytes = Hex("fffeff02"
                           "4100ac20");
    CArchive ar(&bytes, CArchive::load);
    EXPECT_EQ(ar.ReadString(), QStringLiteral(u"A\u20AC"));
}

TEST(Archive, Counts)
{
    struct Case
    {
        DWORD count;
        const char* hex;
    };
    const Case cases[] = {
        {0, "0000"},
        {5, "0500"},
        {0xFFFE, "feff"},
        {0xFFFF, "ffffffff0000"},
        {70000, "ffff70110100"},
    };
    for (const Case& c : cases) {
        const QByteArray bytes = Store([&](CArchive& ar) { ar.WriteCount(c.count); });
        EXPECT_EQ(bytes.toHex(), QByteArray(c.hex)) << c.count;
        QByteArray copy = bytes + QByteArray(int(c.count), '\0');
        CArchive ar(&copy, CArchive::load);
        EXPECT_EQ(ar.ReadCount(1), c.count);
    }
}

TEST(Archive, ObjectReferencesNumberClassesAndObjectsTogether)
{
    CTestItem a, b;
    a.value = 7;
    b.value = 8;
    CTestHolder holder;
    holder.first = &a;
    holder.second = &a; // the same object twice
    const QByteArray bytes = Store([&](CArchive& ar) {
        ar.WriteObject(&holder); // class 1, object 2
        ar.WriteObject(&b);      // class 3 (new), object 4
        ar.WriteObject(nullptr);
        ar.WriteObject(&a);
    });
    QByteArray expected = ClassRecord("CTestHolder");
    expected += ClassRecord("CTestItem") + Le32(7); // a: class 3, object 4
    expected += Hex("0400");                        // a again
    expected += Hex("0380") + Le32(8);              // b: known class 3, object 5
    expected += Hex("0000");                        // null
    expected += Hex("0400");                        // a
    EXPECT_EQ(bytes.toHex(), expected.toHex());

    QByteArray copy = bytes;
    CArchive ar(&copy, CArchive::load);
    auto* h = ar.ReadObjectOf<CTestHolder>();
    auto* b2 = ar.ReadObjectOf<CTestItem>();
    EXPECT_EQ(ar.ReadObject(RUNTIME_CLASS(CObject)), nullptr);
    auto* a3 = ar.ReadObjectOf<CTestItem>();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->first, h->second);
    EXPECT_EQ(h->first, a3);
    EXPECT_EQ(static_cast<CTestItem*>(h->first)->value, 7u);
    EXPECT_EQ(b2->value, 8u);
    delete h;
    delete a3;
    delete b2;
}

TEST(Archive, TwoObjectsOfOneClassInAList)
{
    CTestItem a, b;
    const std::vector<CTestItem*> list = {&a, &b};
    const QByteArray bytes = Store([&](CArchive& ar) { ar.WriteObList(list); });
    QByteArray expected = Hex("0200") + ClassRecord("CTestItem") + Le32(0) + Hex("0180") + Le32(0);
    EXPECT_EQ(bytes.toHex(), expected.toHex());
}

TEST(Archive, BigIndexesUseTheEscape)
{
    // Enough objects to push the numbering past 0x7FFF.
    std::vector<CTestItem> items(0x7FFF);
    for (std::size_t i = 0; i < items.size(); ++i)
        items[i].value = DWORD(i);
    CTestHolder late; // its class gets an index above 0x7FFF
    late.first = &items[0];
    late.second = &items.back();
    QByteArray bytes = Store([&](CArchive& ar) {
        for (const CTestItem& item : items)
            ar.WriteObject(&item);
        ar.WriteObject(&late);
        ar.WriteObject(&late);
        CTestHolder again;
        ar.WriteObject(&again);
    });
    // Class CTestItem is 1, items are 2..0x8000; CTestHolder is 0x8001 and the
    // holder 0x8002; the second holder's class reference needs the escape.
    const QByteArray tail = bytes.right(2 + 4 + 2 + 2 + 2 + 4);
    EXPECT_EQ(tail.left(6).toHex(), (Hex("ff7f") + Le32(0x8002)).toHex()); // holder again
    EXPECT_EQ(tail.mid(6, 6).toHex(), (Hex("ff7f") + Le32(0x80008001)).toHex());
    EXPECT_EQ(tail.mid(12).toHex(), QByteArray("00000000")); // two null references

    CArchive ar(&bytes, CArchive::load);
    std::vector<CObject*> read;
    for (std::size_t i = 0; i < items.size(); ++i)
        read.push_back(ar.ReadObjectOf<CTestItem>());
    auto* h1 = ar.ReadObjectOf<CTestHolder>();
    auto* h2 = ar.ReadObjectOf<CTestHolder>();
    auto* h3 = ar.ReadObjectOf<CTestHolder>();
    EXPECT_EQ(h1, h2);
    EXPECT_EQ(h1->first, read.front());
    EXPECT_EQ(h1->second, read.back());
    EXPECT_EQ(static_cast<CTestItem*>(read.back())->value, DWORD(items.size() - 1));
    EXPECT_NE(h3, h1);
    EXPECT_EQ(ar.BytesRemaining(), 0);
    for (CObject* o : read)
        delete o;
    delete h1;
    delete h3;
}

TEST(Archive, StringMapsAndPlainArrays)
{
    CStringMap map;
    map.SetAt("Weekly", "SELECT *");
    map.SetAt("A", "");
    const std::vector<DWORD> dwords = {1, 0xFFFFFFFF};
    const std::vector<WORD> words = {2};
    const std::vector<BYTE> bytesIn = {3, 4};
    QByteArray bytes = Store([&](CArchive& ar) {
        ar.WriteStringMap(map);
        ar.WritePlainArray(dwords);
        ar.WritePlainArray(words);
        ar.WritePlainArray(bytesIn);
    });
    EXPECT_EQ(bytes.toHex(),
              (Hex("0200") + "\x06Weekly\x08SELECT *" + Hex("01") + "A" + Hex("00") + Hex("0200") +
               Le32(1) + Le32(0xFFFFFFFF) + Hex("01000200") + Hex("02000304"))
                  .toHex());
    CArchive ar(&bytes, CArchive::load);
    CStringMap map2;
    std::vector<DWORD> d2;
    std::vector<WORD> w2;
    std::vector<BYTE> b2;
    ar.ReadStringMap(map2);
    ar.ReadPlainArray(d2);
    ar.ReadPlainArray(w2);
    ar.ReadPlainArray(b2);
    EXPECT_EQ(map2, map);
    EXPECT_EQ(d2, dwords);
    EXPECT_EQ(w2, words);
    EXPECT_EQ(b2, bytesIn);
}

// A map of 200,000 keys reads at once, where a search per key took minutes
// (how the reading grows is measured in bench/, BM_ReadStringMap: the time
// of a reader that allocates this much depends on how busy the machine's
// memory is). A key read again takes the later value in its first place,
// and removing keeps the order of the rest.
TEST(Archive, LargeStringMapsReadInLinearTime)
{
    const auto stored = [](int keys) {
        return Store([&](CArchive& ar) {
            ar.WriteCount(DWORD(keys + 1));
            for (int i = 0; i < keys; ++i)
                ar << QString("key%1").arg(i) << QString::number(i);
            ar << QString("key7") << QString("again");
        });
    };

    constexpr int kKeys = 200000;
    QByteArray bytes = stored(kKeys);
    CArchive ar(&bytes, CArchive::load);
    CStringMap map;
    ar.ReadStringMap(map);
    ASSERT_EQ(map.GetCount(), kKeys);
    QString value;
    EXPECT_TRUE(map.Lookup("key7", value));
    EXPECT_EQ(value, "again");
    EXPECT_EQ(map.Pairs()[7].first, "key7");
    EXPECT_TRUE(map.RemoveKey("key3"));
    EXPECT_FALSE(map.RemoveKey("key3"));
    EXPECT_EQ(map.Pairs()[3].first, "key4");
    EXPECT_TRUE(map.Lookup("key199999", value));
    EXPECT_EQ(value, "199999");
    map.SetAt("key4", "changed");
    EXPECT_EQ(map.Pairs()[3].second, "changed");
    map.SetAt("key3", "back");
    EXPECT_EQ(map.Pairs().back(), CStringMap::Pair("key3", "back"));
    map.RemoveAll();
    EXPECT_FALSE(map.Lookup("key4", value));
}

TEST(Archive, EveryTruncationIsAnEndOfFileError)
{
    CTestItem a;
    a.value = 1;
    CTestHolder holder;
    holder.first = &a;
    CStringMap map;
    map.SetAt("key", "value");
    const QByteArray full = Store([&](CArchive& ar) {
        ar << QString("name") << DWORD(9);
        ar.WriteObject(&holder);
        ar.WriteStringMap(map);
        ar.WritePlainArray(std::vector<DWORD>{1, 2, 3});
    });
    for (qsizetype n = 0; n < full.size(); ++n) {
        QByteArray cut = full.left(n);
        CArchive ar(&cut, CArchive::load);
        CObject* object = nullptr;
        try {
            ar.ReadString();
            ar.ReadDWord();
            object = ar.ReadObject(RUNTIME_CLASS(CTestHolder));
            CStringMap m;
            ar.ReadStringMap(m);
            std::vector<DWORD> v;
            ar.ReadPlainArray(v);
            ADD_FAILURE() << "no error at length " << n;
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile) << n;
        }
        if (auto* h = static_cast<CTestHolder*>(object)) {
            delete h->first;
            delete h;
        }
    }
}

TEST(Archive, CorruptInputsAreRejected)
{
    struct Case
    {
        const char* name;
        QByteArray bytes;
        CArchiveException::Cause cause;
    };
    const Case cases[] = {
        {"unknown class", ClassRecord("CNoSuchClass"), CArchiveException::badClass},
        {"wrong schema", Hex("ffff02000900") + "CTestItem" + Le32(0), CArchiveException::badSchema},
        {"empty class name", Hex("ffff01000000"), CArchiveException::badClass},
        {"huge class name", Hex("ffff0100ff7f"), CArchiveException::badClass},
        {"object index never given", Hex("0500"), CArchiveException::badIndex},
        {"class index never given", Hex("0380"), CArchiveException::badIndex},
        {"big class index never given", Hex("ff7f") + Le32(0x80001000),
         CArchiveException::badIndex},
        {"class not derived from the expected", ClassRecord("CTestHolder") + Hex("00000000"),
         CArchiveException::badClass},
    };
    for (const Case& c : cases) {
        QByteArray bytes = c.bytes;
        CArchive ar(&bytes, CArchive::load);
        try {
            delete ar.ReadObject(RUNTIME_CLASS(CTestItem));
            ADD_FAILURE() << c.name;
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, c.cause) << c.name;
        }
    }
}

TEST(Archive, HostileLengthsDoNotAllocate)
{
    const QByteArray cases[] = {
        Hex("ffffffffffff7f"),       // string of 2 GB
        Hex("ffffffffffffff"),       // string of 4 GB
        Hex("fffeffffffffffffff7f"), // wide string of 2 G characters
    };
    for (QByteArray bytes : cases) {
        CArchive ar(&bytes, CArchive::load);
        EXPECT_THROW(ar.ReadString(), CArchiveException);
    }
    QByteArray count = Hex("ffff") + Le32(0x7FFFFFFF) + Hex("0000");
    CArchive ar(&count, CArchive::load);
    std::vector<DWORD> values;
    EXPECT_THROW(ar.ReadPlainArray(values), CArchiveException);
    EXPECT_TRUE(values.empty());
}

TEST(Archive, DeeplyNestedObjectsAreRefused)
{
    // Each holder's first reference is a new holder: unbounded recursion.
    QByteArray bytes = ClassRecord("CTestHolder");
    for (int i = 0; i < 200; ++i)
        bytes += Hex("0180");
    CArchive ar(&bytes, CArchive::load);
    EXPECT_THROW(ar.ReadObject(RUNTIME_CLASS(CTestHolder)), CArchiveException);
}

TEST(Archive, WritesThroughADevice)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        CArchive ar(&buffer, CArchive::store);
        ar << QString("sign") << DWORD(514);
        ar.Flush();
    }
    EXPECT_EQ(buffer.data().toHex(), (Hex("04") + "sign" + Le32(514)).toHex());
    buffer.close();
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load);
    EXPECT_EQ(ar.ReadString(), "sign");
    EXPECT_EQ(ar.ReadDWord(), 514u);
}

TEST(AppContext, FreshContextPerScope)
{
    App().fileVersion = 300;
    {
        CAppContext context;
        EXPECT_EQ(App().fileVersion, 514);
        App().Get<CStringMap>().SetAt("k", "v");
        EXPECT_EQ(App().Get<CStringMap>().GetCount(), 1);
    }
    EXPECT_EQ(App().fileVersion, 300);
    EXPECT_EQ(App().Get<CStringMap>().GetCount(), 0);
    App().fileVersion = 514;
}
