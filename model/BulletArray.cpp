#include "BulletArray.h"

#include "Archive.h"
#include "Codec1252.h"
#include "ElementDefaults.h"
#include "Helpers.h"
#include "Rounding.h"

#include <algorithm>
#include <climits>

IMPLEMENT_PERSISTENT(CBulletArray, CTextBase, 1)

namespace {

// What a stored list may hold; anything beyond is brought back into range.
constexpr int kMaxSize = 1000;    // per cent of the text height
constexpr int kMaxOffset = 15000; // 1500 mm, the panes' largest length
constexpr int kMaxCoordinate = 1 << 20;

const char* const kRomanTens[] = {"", "x", "xx", "xxx", "xl", "l", "lx", "lxx", "lxxx", "xc"};
const char* const kRomanUnits[] = {"", "i", "ii", "iii", "iv", "v", "vi", "vii", "viii", "ix"};

int ClampCoordinate(int v)
{
    return std::clamp(v, -kMaxCoordinate, kMaxCoordinate);
}

CTextBullets* MakeBulletArray()
{
    return new CBulletArray;
}

} // namespace

void RegisterBulletArray()
{
    RegisterTextBullets(&MakeBulletArray);
}

CBulletArray::CBulletArray()
{
    const CBulletPreferences& prefs = CBulletPreferences::Current();
    const CLogFont font(prefs.font);
    CreateOwnFont(&font);
    SetColour(prefs.colour);
    m_bulletChar = prefs.symbol;
    m_offset = prefs.offset;
    m_size = prefs.size;
}

CBulletArray::~CBulletArray() = default;

CTextBullets* CBulletArray::Clone() const
{
    return new CBulletArray(*this);
}

QString CBulletArray::FormatItemNumber(qint64 number, int style, BYTE bulletChar)
{
    switch (style) {
    case BULLET_DECIMAL:
        return QString::number(number);
    case BULLET_LOWER_LETTER:
    case BULLET_UPPER_LETTER: {
        const qint64 index = std::clamp<qint64>(number - 1, 0, 25);
        const QChar letter(u'a' + static_cast<char16_t>(index));
        return style == BULLET_UPPER_LETTER ? QString(letter.toUpper()) : QString(letter);
    }
    case BULLET_LOWER_ROMAN:
    case BULLET_UPPER_ROMAN: {
        const qint64 n = std::clamp<qint64>(number, 1, 99);
        const QString roman =
            QString::fromLatin1(kRomanTens[n / 10]) + QString::fromLatin1(kRomanUnits[n % 10]);
        return style == BULLET_UPPER_ROMAN ? roman.toUpper() : roman;
    }
    default:
        break;
    }
    const char c = static_cast<char>(bulletChar);
    return FromWindows1252(&c, 1);
}

QString CBulletArray::FormatNumber(qint64 number, int style) const
{
    return FormatItemNumber(number, style, m_bulletChar);
}

BOOL CBulletArray::Layout(int count, const std::vector<CPoint>* positions, int textHeight)
{
    Clear();
    if (count <= 0)
        return TRUE;
    m_count = count;
    m_positions.resize(size_t(count));
    m_itemTexts.resize(size_t(count));
    m_recompute = 1;

    // Items stand upright until the text turns them.
    if (GetFont().GetLogFont().lfOrientation != 0)
        SetRotation(0);
    SetHeight(RoundHalfAway(double(m_size) * textHeight * 0.01));

    int widest = 0;
    for (int i = 0; i < count; ++i) {
        QString item;
        if (m_style == BULLET_SYMBOL)
            item = FormatNumber(0, BULLET_SYMBOL);
        else
            item = m_prefix + FormatNumber(qint64(m_startNumber) + i, m_style) + m_suffix;
        SetText(item);
        m_itemTexts[size_t(i)] = GetText();
        widest = std::max(widest, (GetTextWidth() + 5) / 10);
    }
    m_indent = m_offset + widest;

    if (positions) {
        // Each item centred on its line's height.
        const int down = static_cast<int>((qint64(textHeight) - GetFont().GetHeight() + 1) / 2);
        for (int i = 0; i < count && size_t(i) < positions->size(); ++i) {
            const CPoint& p = (*positions)[size_t(i)];
            m_positions[size_t(i)] = CPoint(p.x, ClampCoordinate(p.y) + down);
        }
    }
    return TRUE;
}

void CBulletArray::Clear()
{
    m_positions.clear();
    m_itemTexts.clear();
    m_count = 0;
    m_indent = 0;
}

void CBulletArray::RotateItems(CPoint centre, int degrees)
{
    for (CPoint& p : m_positions)
        RotatePoint(p, centre.x, centre.y, degrees);
    SetRotation(degrees);
}

void CBulletArray::Offset(int dx, int dy)
{
    const CPoint origin = GetOrigin();
    SetOrigin(origin.x + dx, origin.y + dy);
    for (CPoint& p : m_positions)
        p = CPoint(p.x + dx, p.y + dy);
}

void CBulletArray::DrawItems(CDC* dc)
{
    const size_t count = std::min(m_positions.size(), m_itemTexts.size());
    for (size_t i = 0; i < count; ++i) {
        SetText(m_itemTexts[i]);
        SetOrigin(m_positions[i].x, m_positions[i].y);
        Draw(dc);
    }
}

CBulletSettings CBulletArray::GetSettings() const
{
    CBulletSettings s;
    s.style = m_style;
    s.symbol = m_bulletChar;
    s.prefix = m_prefix;
    s.suffix = m_suffix;
    s.startValue = m_startNumber;
    s.offset = m_offset;
    s.relativeSize = m_size;
    return s;
}

void CBulletArray::Serialize(CArchive& ar)
{
    CTextBase::Serialize(ar);
    if (ar.IsStoring()) {
        ar << DWORD(m_style) << m_bulletChar << m_prefix << DWORD(m_startNumber) << m_suffix
           << DWORD(m_offset) << DWORD(m_size) << DWORD(m_count);
        ar.WriteCount(DWORD(m_positions.size()));
        for (const CPoint& p : m_positions)
            ar << p;
        ar.WriteCount(DWORD(m_itemTexts.size()));
        for (const QString& item : m_itemTexts)
            ar << item;
        ar << DWORD(m_indent);
        return;
    }

    // The bullets always draw with a font of their own.
    if (!OwnsFont())
        CreateOwnFont(&GetFont());
    const int style = ar.ReadInt();
    const BYTE bulletChar = ar.ReadByte();
    const QString prefix = ar.ReadString();
    const int startNumber = ar.ReadInt();
    const QString suffix = ar.ReadString();
    const int offset = ar.ReadInt();
    const int size = ar.ReadInt();
    ar.ReadInt(); // the count: the arrays tell it
    std::vector<CPoint> positions(ar.ReadCount(8));
    for (CPoint& p : positions) {
        ar >> p;
        p = CPoint(ClampCoordinate(p.x), ClampCoordinate(p.y));
    }
    std::vector<QString> items(ar.ReadCount(1));
    for (QString& item : items)
        item = ar.ReadString();
    const int indent = ar.ReadInt();

    m_style = (style >= BULLET_SYMBOL && style <= BULLET_UPPER_ROMAN) ? style : BULLET_SYMBOL;
    m_bulletChar = bulletChar;
    m_prefix = prefix.left(kMaxAffixLength);
    m_startNumber = startNumber;
    m_suffix = suffix.left(kMaxAffixLength);
    m_offset = std::clamp(offset, -kMaxOffset, kMaxOffset);
    m_size = std::clamp(size, 1, kMaxSize);
    // Items and places go together; an item without a place is dropped.
    const size_t count = std::min(positions.size(), items.size());
    positions.resize(count);
    items.resize(count);
    m_positions = std::move(positions);
    m_itemTexts = std::move(items);
    m_count = static_cast<int>(count);
    m_indent = std::clamp(indent, -2 * kMaxCoordinate, 2 * kMaxCoordinate);
    m_recompute = 1;
}
