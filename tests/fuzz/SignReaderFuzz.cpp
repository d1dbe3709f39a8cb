// libFuzzer entry point for the sign reader (built by `make fuzz`).
#include "SignReaderTarget.h"

#include <QDir>
#include <QFile>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PrepareSignReading();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ReadSignBytes(data, size);
    return 0;
}
