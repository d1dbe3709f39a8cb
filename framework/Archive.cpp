#include "Archive.h"

#include "Codec1252.h"

#include <QIODevice>
#include <cstring>

namespace {

constexpr WORD kNullTag = 0;
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kClassTag = 0x8000;
constexpr WORD kBigObjectTag = 0x7FFF;
constexpr DWORD kBigClassTag = 0x80000000;
constexpr DWORD kMaxMapCount = 0x3FFFFFFE;
constexpr WORD kMaxClassNameLength = 64;

[[noreturn]] void Fail(CArchiveException::Cause cause, const char* what)
{
    throw CArchiveException(cause, what);
}

} // namespace

// ---------------------------------------------------------------------------

bool CStringMap::Lookup(const QString& key, QString& value) const
{
    const auto it = m_index.constFind(key);
    if (it == m_index.constEnd())
        return false;
    value = m_pairs[*it].second;
    return true;
}

void CStringMap::SetAt(const QString& key, const QString& value)
{
    const auto it = m_index.constFind(key);
    if (it != m_index.constEnd()) {
        m_pairs[*it].second = value;
        return;
    }
    m_index.insert(key, m_pairs.size());
    m_pairs.emplace_back(key, value);
}

bool CStringMap::RemoveKey(const QString& key)
{
    const auto it = m_index.constFind(key);
    if (it == m_index.constEnd())
        return false;
    const std::size_t place = *it;
    m_index.erase(it);
    m_pairs.erase(m_pairs.begin() + std::ptrdiff_t(place));
    for (auto& later : m_index)
        if (later > place)
            --later;
    return true;
}

// ---------------------------------------------------------------------------

CArchive::CArchive(QByteArray* buffer, Mode mode) : m_mode(mode), m_buffer(buffer)
{
    m_loadArray.push_back({});
}

CArchive::CArchive(QIODevice* device, Mode mode)
    : m_mode(mode), m_buffer(&m_ownBuffer), m_device(device)
{
    m_loadArray.push_back({});
    if (mode == load)
        m_ownBuffer = device->readAll();
}

CArchive::~CArchive()
{
    if (m_mode == store && m_device) {
        // A destructor must not throw; a caller that cares calls Flush first.
        if (m_flushed < m_buffer->size())
            m_device->write(m_buffer->constData() + m_flushed, m_buffer->size() - m_flushed);
    }
}

void CArchive::Flush()
{
    if (m_mode != store || !m_device)
        return;
    const qsizetype pending = m_buffer->size() - m_flushed;
    if (pending > 0) {
        if (m_device->write(m_buffer->constData() + m_flushed, pending) != pending)
            Fail(CArchiveException::writeFailed, "archive: write failed");
        m_flushed = m_buffer->size();
    }
}

qsizetype CArchive::BytesRemaining() const
{
    return m_mode == load ? m_buffer->size() - m_pos : 0;
}

void CArchive::EnsureRemaining(qsizetype bytes) const
{
    if (bytes < 0 || BytesRemaining() < bytes)
        Fail(CArchiveException::endOfFile, "archive: unexpected end of file");
}

QByteArrayView CArchive::PeekRemaining() const
{
    if (m_mode != load)
        return {};
    return QByteArrayView(m_buffer->constData() + m_pos, m_buffer->size() - m_pos);
}

void CArchive::Skip(qsizetype bytes)
{
    EnsureRemaining(bytes);
    m_pos += bytes;
}

const CRuntimeClass* CArchive::LoadedClass(DWORD index) const
{
    if (m_mode != load || index == 0 || index >= m_loadArray.size())
        return nullptr;
    return m_loadArray[index].cls;
}

void CArchive::Write(const void* data, qsizetype size)
{
    if (m_mode != store)
        Fail(CArchiveException::generic, "archive: write to a loading archive");
    m_buffer->append(static_cast<const char*>(data), size);
}

void CArchive::Read(void* data, qsizetype size)
{
    if (m_mode != load)
        Fail(CArchiveException::generic, "archive: read from a storing archive");
    EnsureRemaining(size);
    std::memcpy(data, m_buffer->constData() + m_pos, static_cast<std::size_t>(size));
    m_pos += size;
}

QByteArray CArchive::ReadBytes(qsizetype size)
{
    EnsureRemaining(size);
    QByteArray bytes(m_buffer->constData() + m_pos, size);
    m_pos += size;
    return bytes;
}

CArchive& CArchive::operator<<(float v)
{
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return WriteLE(bits);
}

CArchive& CArchive::operator<<(double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return WriteLE(bits);
}

CArchive& CArchive::operator>>(float& v)
{
    std::uint32_t bits;
    ReadLE(bits);
    std::memcpy(&v, &bits, sizeof v);
    return *this;
}

CArchive& CArchive::operator>>(double& v)
{
    std::uint64_t bits;
    ReadLE(bits);
    std::memcpy(&v, &bits, sizeof v);
    return *this;
}

CArchive& CArchive::operator<<(const CRect& r)
{
    return *this << r.left << r.top << r.right << r.bottom;
}

CArchive& CArchive::operator<<(const CPoint& p)
{
    return *this << p.x << p.y;
}

CArchive& CArchive::operator<<(const CSize& s)
{
    return *this << s.cx << s.cy;
}

CArchive& CArchive::operator>>(CRect& r)
{
    return *this >> r.left >> r.top >> r.right >> r.bottom;
}

CArchive& CArchive::operator>>(CPoint& p)
{
    return *this >> p.x >> p.y;
}

CArchive& CArchive::operator>>(CSize& s)
{
    return *this >> s.cx >> s.cy;
}

DWORD CArchive::ReadDWord()
{
    DWORD v;
    ReadLE(v);
    return v;
}

int CArchive::ReadInt()
{
    int v;
    ReadLE(v);
    return v;
}

WORD CArchive::ReadWord()
{
    WORD v;
    ReadLE(v);
    return v;
}

BYTE CArchive::ReadByte()
{
    BYTE v;
    ReadLE(v);
    return v;
}

// --- strings ---------------------------------------------------------------

void CArchive::WriteRawString(const QByteArray& bytes)
{
    const auto length = static_cast<std::uint64_t>(bytes.size());
    if (length < 255) {
        *this << BYTE(length);
    } else if (length < 0xFFFE) {
        *this << BYTE(0xFF) << WORD(length);
    } else {
        *this << BYTE(0xFF) << WORD(0xFFFF) << DWORD(length);
    }
    Write(bytes.constData(), bytes.size());
}

void CArchive::WriteString(const QString& s)
{
    WriteRawString(ToWindows1252(s));
}

QByteArray CArchive::ReadRawString()
{
    DWORD length = ReadByte();
    if (length == 0xFF) {
        length = ReadWord();
        if (length == 0xFFFF)
            length = ReadDWord();
    }
    EnsureRemaining(length);
    return ReadBytes(length);
}

QString CArchive::ReadString()
{
    // A wide string carries the marker FF FE FF before its own length in
    // characters; single-byte writers never produce that word.
    if (BytesRemaining() >= 3 && static_cast<BYTE>(m_buffer->at(m_pos)) == 0xFF &&
        static_cast<BYTE>(m_buffer->at(m_pos + 1)) == 0xFE &&
        static_cast<BYTE>(m_buffer->at(m_pos + 2)) == 0xFF) {
        m_pos += 3;
        DWORD length = ReadByte();
        if (length == 0xFF) {
            length = ReadWord();
            if (length == 0xFFFF)
                length = ReadDWord();
        }
        if (length > static_cast<DWORD>(BytesRemaining() / 2))
            Fail(CArchiveException::endOfFile, "archive: unexpected end of file");
        QString s(static_cast<qsizetype>(length), Qt::Uninitialized);
        for (DWORD i = 0; i < length; ++i)
            s[i] = QChar(ReadWord());
        return s;
    }
    return FromWindows1252(ReadRawString());
}

// --- counts ----------------------------------------------------------------

void CArchive::WriteCount(DWORD count)
{
    if (count < 0xFFFF) {
        *this << WORD(count);
    } else {
        *this << WORD(0xFFFF) << count;
    }
}

DWORD CArchive::ReadCount(qsizetype minEntryBytes)
{
    DWORD count = ReadWord();
    if (count == 0xFFFF)
        count = ReadDWord();
    if (minEntryBytes < 1)
        minEntryBytes = 1;
    if (static_cast<std::uint64_t>(count) * static_cast<std::uint64_t>(minEntryBytes) >
        static_cast<std::uint64_t>(BytesRemaining()))
        Fail(CArchiveException::endOfFile, "archive: count exceeds the data");
    return count;
}

// --- object references -----------------------------------------------------

DWORD CArchive::NextIndex()
{
    if (m_mapCount >= kMaxMapCount)
        Fail(CArchiveException::badIndex, "archive: too many objects");
    return m_mapCount++;
}

void CArchive::WriteClass(const CRuntimeClass* cls)
{
    const auto it = m_storeMap.find(cls);
    if (it != m_storeMap.end()) {
        const DWORD index = it->second;
        if (index < kBigObjectTag) {
            *this << WORD(kClassTag | index);
        } else {
            *this << kBigObjectTag << DWORD(kBigClassTag | index);
        }
        return;
    }
    const QByteArray name(cls->m_className);
    *this << kNewClassTag << cls->m_schema << WORD(name.size());
    Write(name.constData(), name.size());
    m_storeMap.emplace(cls, NextIndex());
}

void CArchive::WriteObject(const CObject* object)
{
    if (m_mode != store)
        Fail(CArchiveException::generic, "archive: write to a loading archive");
    if (!object) {
        *this << kNullTag;
        return;
    }
    const auto it = m_storeMap.find(object);
    if (it != m_storeMap.end()) {
        const DWORD index = it->second;
        if (index < kBigObjectTag) {
            *this << WORD(index);
        } else {
            *this << kBigObjectTag << index;
        }
        return;
    }
    WriteClass(object->GetRuntimeClass());
    m_storeMap.emplace(object, NextIndex());
    const_cast<CObject*>(object)->Serialize(*this);
}

const CRuntimeClass* CArchive::ReadClass(DWORD* objectIndex)
{
    const WORD tag = ReadWord();
    DWORD objTag;
    if (tag == kBigObjectTag)
        objTag = ReadDWord();
    else
        objTag = (DWORD(tag & kClassTag) << 16) | (tag & kBigObjectTag);

    if (tag == kNewClassTag) {
        const WORD schema = ReadWord();
        const WORD length = ReadWord();
        if (length == 0 || length > kMaxClassNameLength)
            Fail(CArchiveException::badClass, "archive: bad class name");
        const QByteArray name = ReadBytes(length);
        const CRuntimeClass* cls =
            CRuntimeClass::FromName(std::string_view(name.constData(), name.size()));
        if (!cls || !cls->m_create)
            Fail(CArchiveException::badClass, "archive: unknown class");
        if (cls->m_schema != schema)
            Fail(CArchiveException::badSchema, "archive: wrong schema");
        m_loadArray.push_back({cls, nullptr});
        NextIndex();
        return cls;
    }
    if (objTag & kBigClassTag) {
        const DWORD index = objTag & ~kBigClassTag;
        if (index == 0 || index >= m_loadArray.size() || !m_loadArray[index].cls)
            Fail(CArchiveException::badIndex, "archive: bad class reference");
        return m_loadArray[index].cls;
    }
    *objectIndex = objTag;
    return nullptr;
}

CObject* CArchive::ReadObject(const CRuntimeClass* expected)
{
    if (m_mode != load)
        Fail(CArchiveException::generic, "archive: read from a storing archive");
    DWORD objectIndex = 0;
    const CRuntimeClass* cls = ReadClass(&objectIndex);
    if (!cls) {
        if (objectIndex == 0)
            return nullptr;
        if (objectIndex >= m_loadArray.size() || !m_loadArray[objectIndex].object)
            Fail(CArchiveException::badIndex, "archive: bad object reference");
        CObject* object = m_loadArray[objectIndex].object;
        if (expected && !object->IsKindOf(expected))
            Fail(CArchiveException::badClass, "archive: object of the wrong class");
        return object;
    }
    if (expected && !cls->IsDerivedFrom(expected))
        Fail(CArchiveException::badClass, "archive: object of the wrong class");
    if (m_depth >= kMaxObjectDepth)
        Fail(CArchiveException::generic, "archive: objects nested too deeply");

    CObject* object = cls->CreateObject();
    const std::size_t slot = m_loadArray.size();
    try {
        m_loadArray.push_back({nullptr, object});
        m_loadSlots.emplace(object, slot);
    } catch (...) {
        if (m_loadArray.size() > slot)
            m_loadArray.pop_back();
        delete object;
        throw;
    }
    NextIndex();
    ++m_depth;
    try {
        object->Serialize(*this);
    } catch (...) {
        --m_depth;
        m_loadArray[slot].object = nullptr;
        m_loadSlots.erase(object);
        delete object;
        throw;
    }
    --m_depth;
    return object;
}

void CArchive::DiscardObject(CObject* object)
{
    if (!object)
        return;
    if (const auto it = m_loadSlots.find(object); it != m_loadSlots.end()) {
        m_loadArray[it->second].object = nullptr;
        m_loadSlots.erase(it);
    }
    delete object;
}

// --- string maps -----------------------------------------------------------

void CArchive::WriteStringMap(const CStringMap& map)
{
    WriteCount(static_cast<DWORD>(map.GetCount()));
    for (const auto& [key, value] : map.Pairs()) {
        WriteString(key);
        WriteString(value);
    }
}

void CArchive::ReadStringMap(CStringMap& map)
{
    const DWORD count = ReadCount(2);
    for (DWORD i = 0; i < count; ++i) {
        const QString key = ReadString();
        const QString value = ReadString();
        map.SetAt(key, value);
    }
}
