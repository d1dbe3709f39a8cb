#include "Damage.h"

#include <QList>

#include <cctype>

QByteArray DamagedCopy(const QByteArray& seed, std::mt19937& rng)
{
    QByteArray bytes = seed;
    std::uniform_int_distribution<int> kindOf(0, 5);
    const int edits = 1 + int(rng() % 4);
    for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
        const auto at = qsizetype(rng() % std::uint32_t(bytes.size()));
        switch (kindOf(rng)) {
        case 0: // flip a byte
            bytes[at] = char(rng());
            break;
        case 1: // cut the file short
            bytes.truncate(at);
            break;
        case 2: // a large number where a small one stood
            for (int i = 0; i < 4 && at + i < bytes.size(); ++i)
                bytes[at + i] = char(i == 3 ? 0x7F : 0xFF);
            break;
        case 3: // insert noise
            bytes.insert(at, QByteArray(1 + int(rng() % 8), char(rng())));
            break;
        case 4: // drop a few bytes
            bytes.remove(at, 1 + qsizetype(rng() % 8));
            break;
        default: // repeat a piece
            bytes.insert(at, bytes.mid(qsizetype(rng() % std::uint32_t(bytes.size())), 16));
            break;
        }
    }
    return bytes;
}

std::vector<CArchiveTag> FindArchiveTags(const QByteArray& archive)
{
    std::vector<CArchiveTag> tags;
    const auto byte = [&](qsizetype i) { return quint8(archive[i]); };
    const qsizetype size = archive.size();
    for (qsizetype p = 0; p + 2 <= size; ++p) {
        // a class record: 0xFFFF, schema, name length, name ("C...")
        if (byte(p) == 0xFF && byte(p + 1) == 0xFF && p + 6 <= size) {
            const qsizetype length = qsizetype(byte(p + 4) | byte(p + 5) << 8);
            if (length >= 2 && length <= 64 && p + 6 + length <= size && byte(p + 6) == 'C') {
                bool name = true;
                for (qsizetype i = p + 6; i < p + 6 + length && name; ++i)
                    name = std::isalnum(byte(i)) || byte(i) == '_';
                if (name) {
                    tags.push_back({p, 6 + length});
                    p += 5 + length;
                    continue;
                }
            }
        }
        // a reference to a class read before: 0x8000 | its number, a small
        // one (at most two numbers, a class and an object, per tag before)
        if (byte(p + 1) == 0x80 && byte(p) != 0 &&
            qsizetype(byte(p)) <= 2 * qsizetype(tags.size()) + 2)
            tags.push_back({p, 2});
    }
    return tags;
}

QByteArray WithBackReference(const QByteArray& archive, const CArchiveTag& tag, quint32 index,
                             bool replace, bool big)
{
    QByteArray reference;
    if (big || index >= 0x7FFF) {
        reference = QByteArray("\xFF\x7F", 2);
        for (int i = 0; i < 4; ++i)
            reference.append(char((index >> (8 * i)) & 0xFF));
    } else {
        reference.append(char(index & 0xFF));
        reference.append(char((index >> 8) & 0xFF));
    }
    QByteArray bytes = archive;
    if (replace)
        bytes.replace(tag.at, tag.length, reference);
    else
        bytes.insert(tag.at, reference);
    return bytes;
}

QByteArray BackReferenceCopy(const QByteArray& archive, std::mt19937& rng)
{
    const std::vector<CArchiveTag> tags = FindArchiveTags(archive);
    if (tags.empty())
        return archive;
    const std::size_t which = rng() % tags.size();
    const auto index = quint32(1 + rng() % (2 * which + 4));
    return WithBackReference(archive, tags[which], index, rng() % 2 == 0, rng() % 8 == 0);
}

QByteArray DamagedTextCopy(const QByteArray& seed, std::mt19937& rng)
{
    if (rng() % 3 == 0)
        return DamagedCopy(seed, rng);
    QList<QByteArray> lines = seed.split('\n');
    static const char* const numbers[] = {"2147483647", "-2147483648", "4294967296", "-1", "0",
                                          "99999999999999999999", "1e308", "nan", ""};
    const int edits = 1 + int(rng() % 3);
    for (int e = 0; e < edits && !lines.isEmpty(); ++e) {
        const auto at = qsizetype(rng() % std::uint32_t(lines.size()));
        QByteArray& line = lines[at];
        switch (rng() % 6) {
        case 0: { // repeat a line many times (a copy: inserting moves the lines)
            const QByteArray repeated = line;
            for (int i = int(rng() % 50); i >= 0; --i)
                lines.insert(at, repeated);
            break;
        }
        case 1: // drop a line
            lines.removeAt(at);
            break;
        case 2: { // a number turned into an extreme one
            qsizetype d = 0;
            while (d < line.size() && !(line[d] >= '0' && line[d] <= '9'))
                ++d;
            qsizetype end = d;
            while (end < line.size() && ((line[end] >= '0' && line[end] <= '9') || line[end] == '.'))
                ++end;
            line.replace(d, end - d, numbers[rng() % std::size(numbers)]);
            break;
        }
        case 3: // separators added or taken away
            if (rng() % 2)
                line.insert(qsizetype(rng() % std::uint32_t(line.size() + 1)), QByteArray(1 + int(rng() % 4), ','));
            else
                line.replace(',', ";");
            break;
        case 4: // a very long value
            line.insert(qsizetype(rng() % std::uint32_t(line.size() + 1)), QByteArray(4096, 'X'));
            break;
        default: // swap two lines
            lines.swapItemsAt(at, qsizetype(rng() % std::uint32_t(lines.size())));
            break;
        }
    }
    return lines.join('\n');
}
