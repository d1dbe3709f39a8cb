// The archive: the flat little-endian byte stream of sign templates and side
// files. Reading mirrors writing step by step; records carry no lengths, so
// every reader checks what it takes against the bytes that remain.
#pragma once

#include "Object.h"
#include "Types.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <stdexcept>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

class QIODevice;

// Raised when an archive cannot be read or written; the load that ran it is
// abandoned.
class CArchiveException : public std::runtime_error
{
public:
    enum Cause
    {
        generic = 1,
        endOfFile,
        badIndex,
        badClass,
        badSchema,
        writeFailed,
    };

    CArchiveException(Cause cause, const char* what) : std::runtime_error(what), m_cause(cause) {}
    Cause m_cause;
};

// Raised after the user has been told why an operation cannot go on; the
// caller abandons it without a further message.
class CUserException : public std::exception
{
public:
    const char* what() const noexcept override { return "operation abandoned"; }
};

// An insertion-ordered map of strings, archived as count, then key and value.
class CStringMap
{
public:
    using Pair = std::pair<QString, QString>;

    bool Lookup(const QString& key, QString& value) const;
    void SetAt(const QString& key, const QString& value);
    bool RemoveKey(const QString& key);
    void RemoveAll()
    {
        m_pairs.clear();
        m_index.clear();
    }
    int GetCount() const { return static_cast<int>(m_pairs.size()); }
    bool IsEmpty() const { return m_pairs.empty(); }
    const std::vector<Pair>& Pairs() const { return m_pairs; }
    bool operator==(const CStringMap& other) const { return m_pairs == other.m_pairs; }

private:
    std::vector<Pair> m_pairs;
    QHash<QString, std::size_t> m_index; // each key's place in m_pairs
};

class CArchive
{
public:
    enum Mode
    {
        load,
        store
    };

    // Reads the given bytes, or appends what is written to them.
    CArchive(QByteArray* buffer, Mode mode);
    // Reads the whole device at once, or writes to it on Flush and destruction.
    CArchive(QIODevice* device, Mode mode);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return m_mode == load; }
    bool IsStoring() const { return m_mode == store; }

    // Writes what is buffered to the device; raises writeFailed on error.
    void Flush();

    // The path of the file behind the archive, when it has one.
    void SetFilePath(const QString& path) { m_filePath = path; }
    const QString& GetFilePath() const { return m_filePath; }

    // Bytes left to read; 0 when storing.
    qsizetype BytesRemaining() const;
    // Raises endOfFile unless that many bytes remain.
    void EnsureRemaining(qsizetype bytes) const;
    // The bytes not yet read (empty when storing), for a reader that must
    // look ahead to find where a record it cannot frame ends.
    QByteArrayView PeekRemaining() const;
    // Passes over that many bytes; raises endOfFile unless they remain.
    void Skip(qsizetype bytes);
    // The class a class reference of the given index names while loading,
    // or null when that index is no class read so far.
    const CRuntimeClass* LoadedClass(DWORD index) const;

    // Primitives.
    CArchive& operator<<(BYTE v) { return WriteLE(v); }
    CArchive& operator<<(WORD v) { return WriteLE(v); }
    CArchive& operator<<(DWORD v) { return WriteLE(v); }
    CArchive& operator<<(int v) { return WriteLE(v); }
    CArchive& operator<<(float v);
    CArchive& operator<<(double v);
    CArchive& operator<<(bool) = delete; // say BOOL (int) or BYTE
    CArchive& operator<<(const QString& s)
    {
        WriteString(s);
        return *this;
    }
    CArchive& operator<<(const CRect& r);
    CArchive& operator<<(const CPoint& p);
    CArchive& operator<<(const CSize& s);

    CArchive& operator>>(BYTE& v) { return ReadLE(v); }
    CArchive& operator>>(WORD& v) { return ReadLE(v); }
    CArchive& operator>>(DWORD& v) { return ReadLE(v); }
    CArchive& operator>>(int& v) { return ReadLE(v); }
    CArchive& operator>>(float& v);
    CArchive& operator>>(double& v);
    CArchive& operator>>(bool&) = delete;
    CArchive& operator>>(QString& s)
    {
        s = ReadString();
        return *this;
    }
    CArchive& operator>>(CRect& r);
    CArchive& operator>>(CPoint& p);
    CArchive& operator>>(CSize& s);

    DWORD ReadDWord();
    int ReadInt();
    WORD ReadWord();
    BYTE ReadByte();

    // A raw block: the bytes as they stand, with no length.
    void Write(const void* data, qsizetype size);
    void Read(void* data, qsizetype size);
    QByteArray ReadBytes(qsizetype size);

    // Strings: Windows-1252 on disk with a length prefix of 1, 3 or 7 bytes.
    void WriteString(const QString& s);
    QString ReadString();
    // The same with the bytes as they stand.
    void WriteRawString(const QByteArray& bytes);
    QByteArray ReadRawString();

    // Counts of list, array and map entries. Reading checks the count against
    // the bytes left, taking each entry to need at least minEntryBytes.
    void WriteCount(DWORD count);
    DWORD ReadCount(qsizetype minEntryBytes = 1);

    // Object references with their class records.
    void WriteObject(const CObject* object);
    // Reads a reference; the object must be of the expected class (or one
    // derived from it), else badClass. A new object is owned by the caller.
    CObject* ReadObject(const CRuntimeClass* expected);
    template <class T> T* ReadObjectOf() { return static_cast<T*>(ReadObject(T::ThisClass())); }
    // Deletes an object this archive read that the reader does not keep; a
    // later reference to it is refused as damage (badIndex) instead of
    // handing out the deleted object.
    void DiscardObject(CObject* object);

    // Object lists and arrays: count, then one reference per entry.
    template <class T> void WriteObList(const std::vector<T*>& list)
    {
        WriteCount(static_cast<DWORD>(list.size()));
        for (const T* object : list)
            WriteObject(object);
    }
    // Appends what it reads to the list; on an error the objects read so far
    // stay in the list.
    template <class T> void ReadObList(std::vector<T*>& list)
    {
        const DWORD count = ReadCount(2);
        for (DWORD i = 0; i < count; ++i)
            list.push_back(ReadObjectOf<T>());
    }

    // String maps: count, then key and value of each pair.
    void WriteStringMap(const CStringMap& map);
    void ReadStringMap(CStringMap& map);

    // Arrays of plain values (DWORD, WORD or BYTE): count, then one raw block.
    template <class T> void WritePlainArray(const std::vector<T>& values)
    {
        static_assert(std::is_integral_v<T> && std::is_unsigned_v<T>);
        WriteCount(static_cast<DWORD>(values.size()));
        for (T v : values)
            WriteLE(v);
    }
    template <class T> void ReadPlainArray(std::vector<T>& values)
    {
        static_assert(std::is_integral_v<T> && std::is_unsigned_v<T>);
        const DWORD count = ReadCount(sizeof(T));
        values.resize(count);
        for (DWORD i = 0; i < count; ++i)
            ReadLE(values[i]);
    }

    static constexpr int kMaxObjectDepth = 64;

private:
    template <class T> CArchive& WriteLE(T v)
    {
        using U = std::make_unsigned_t<T>;
        U u = static_cast<U>(v);
        char bytes[sizeof(T)];
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            bytes[i] = static_cast<char>(u & 0xFF);
            if constexpr (sizeof(T) > 1)
                u >>= 8;
        }
        Write(bytes, sizeof(T));
        return *this;
    }
    template <class T> CArchive& ReadLE(T& v)
    {
        using U = std::make_unsigned_t<T>;
        unsigned char bytes[sizeof(T)];
        Read(bytes, sizeof(T));
        U u = 0;
        for (std::size_t i = sizeof(T); i-- > 0;) {
            if constexpr (sizeof(T) > 1)
                u <<= 8;
            u |= bytes[i];
        }
        v = static_cast<T>(u);
        return *this;
    }

    void WriteClass(const CRuntimeClass* cls);
    // Reads a class tag: the class, or null with the object index in *objectIndex.
    const CRuntimeClass* ReadClass(DWORD* objectIndex);
    DWORD NextIndex();

    Mode m_mode;
    QByteArray* m_buffer = nullptr; // the bytes read or written
    QByteArray m_ownBuffer;
    QIODevice* m_device = nullptr;
    qsizetype m_pos = 0;
    qsizetype m_flushed = 0;
    QString m_filePath;

    // One numbering of classes and objects in order of first appearance.
    DWORD m_mapCount = 1;
    std::unordered_map<const void*, DWORD> m_storeMap;
    struct LoadEntry
    {
        const CRuntimeClass* cls = nullptr;
        CObject* object = nullptr;
    };
    std::vector<LoadEntry> m_loadArray; // index 0 is the null reference
    std::unordered_map<const CObject*, std::size_t> m_loadSlots; // object -> its entry
    int m_depth = 0;
};
