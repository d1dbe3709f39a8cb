// libFuzzer entry point for the sign reader (built by `make fuzz`): every
// input is read, and a sign that reads is drawn, exported, saved and read
// back; one in fifty is printed as well.
#include "SignReaderTarget.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PrepareSignReading();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static int calls = 0;
    const SignUse use = ++calls % 50 == 0 ? SignUse::Print : SignUse::Use;
    const SignOutcome outcome = ReadSignBytes(data, size, use);
    if (!outcome.problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(outcome.problem));
        std::abort();
    }
    return 0;
}
