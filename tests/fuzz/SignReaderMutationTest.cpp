#include "Damage.h"
#include "SignReaderTarget.h"

#include <gtest/gtest.h>

#include <random>

TEST(SignReader, DamagedSignsNeverCrashTheReader)
{
    const QByteArray seed = MakeSeedSign();
    ASSERT_GT(seed.size(), 100);
    std::mt19937 rng(20261209);
    for (int i = 0; i < 3000; ++i) {
        const QByteArray bytes = DamagedCopy(seed, rng);
        ReadSignBytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                      std::size_t(bytes.size()));
    }
    // and the undamaged seed still reads
    ReadSignBytes(reinterpret_cast<const std::uint8_t*>(seed.constData()),
                  std::size_t(seed.size()));
}
