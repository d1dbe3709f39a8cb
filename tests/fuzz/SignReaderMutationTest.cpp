#include "SignReaderTarget.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// One damaged copy of the seed: a few of the usual ways a file goes bad.
QByteArray Mutate(const QByteArray& seed, std::mt19937& rng)
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

} // namespace

TEST(SignReader, DamagedSignsNeverCrashTheReader)
{
    const QByteArray seed = MakeSeedSign();
    ASSERT_GT(seed.size(), 100);
    std::mt19937 rng(20261209);
    for (int i = 0; i < 3000; ++i) {
        const QByteArray bytes = Mutate(seed, rng);
        ReadSignBytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                      std::size_t(bytes.size()));
    }
    // and the undamaged seed still reads
    ReadSignBytes(reinterpret_cast<const std::uint8_t*>(seed.constData()),
                  std::size_t(seed.size()));
}
