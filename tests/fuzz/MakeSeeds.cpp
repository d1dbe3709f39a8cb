// Writes the seed signs of the fuzzer's corpus into the folder given.
#include "SignReaderTarget.h"

#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s corpus-folder\n", argv[0]);
        return 2;
    }
    QDir().mkpath(argv[1]);
    QFile file(QDir(argv[1]).filePath("seed.sgn"));
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(MakeSeedSign());
    return 0;
}
