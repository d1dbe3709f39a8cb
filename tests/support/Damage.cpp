#include "Damage.h"

#include <QList>

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
