#include "ScopedEnv.h"

#include <QtGlobal>

#include <gtest/gtest.h>

#include <ctime>

// A test that changes the environment leaves it as it found it: a variable
// that was set gets its old value back, one that was not is removed again.
TEST(ScopedEnvTest, PutsBackWhatWasThere)
{
    const char* const name = "TABREL_SCOPED_ENV_TEST";
    ASSERT_FALSE(qEnvironmentVariableIsSet(name));
    {
        CScopedEnv outer(name, "first");
        EXPECT_EQ(qgetenv(name), "first");
        {
            CScopedEnv inner(name);
            EXPECT_EQ(qgetenv(name), "first") << "a guard made with a name only changes nothing";
            inner.Set("second");
            EXPECT_EQ(qgetenv(name), "second");
        }
        EXPECT_EQ(qgetenv(name), "first");
        {
            CScopedEnv empty(name, "");
            EXPECT_TRUE(qEnvironmentVariableIsSet(name));
        }
        EXPECT_EQ(qgetenv(name), "first");
    }
    EXPECT_FALSE(qEnvironmentVariableIsSet(name));
}

// The C library's local time follows TZ in and out of the guard.
TEST(ScopedEnvTest, LocalTimeFollowsTheTimeZone)
{
    const std::time_t noon = 1768478400; // 15 January 2026, 12:00 UTC
    auto localHour = [noon] {
        std::tm parts{};
        localtime_r(&noon, &parts);
        return parts.tm_hour;
    };
    CScopedEnv utc("TZ", "UTC");
    EXPECT_EQ(localHour(), 12);
    {
        CScopedEnv tokyo("TZ", "JST-9");
        EXPECT_EQ(localHour(), 21);
    }
    EXPECT_EQ(localHour(), 12);
}
