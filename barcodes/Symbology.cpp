#include "Symbology.h"

#include <cassert>

namespace {

constexpr SymbologyInfo kTable[kSymbologyCount] = {
    {0, "Code39", 1, 1, "Standard", 127, 1, 1, 0, 0, 1},
    {1, "Code39 ASCII", 0, 1, "Standard", 127, 1, 1, 0, 0, 1},
    {2, "Code93", 1, 2, "Standard", 127, 1, 0, 1, 1, 1},
    {3, "Interleaved 2-of-5", 1, 1, "Standard", 127, 1, 1, 0, 0, 1},
    {4, "Code128 - Set A", 1, 2, "Standard", 130, 1, 0, 1, 1, 1},
    {5, "Code128 - Set B", 1, 2, "Standard", 130, 1, 0, 1, 1, 1},
    {6, "Code128 - Set C", 1, 2, "Standard", 130, 1, 0, 1, 1, 1},
    {7, "Code128 - Auto", 1, 2, "Standard", 130, 1, 0, 1, 1, 1},
    {8, "EAN-8", 1, 3, "EAN 100%", 228, 1, 0, 1, 0, 1},
    {9, "EAN-13", 1, 3, "EAN 100%", 228, 1, 0, 1, 0, 1},
    {10, "UPC-A", 1, 3, "EAN 100%", 228, 1, 0, 1, 0, 1},
    {11, "UPC-E", 1, 3, "EAN 100%", 228, 1, 0, 1, 0, 1},
    {12, "Postnet", 1, 0, "Standard", 50, 0, 1, 0, 1, 0},
    {13, "FIM", 0, 0, "Standard", 50, 0, 1, 0, 1, 0},
    {14, "Codabar", 1, 1, "Standard", 127, 1, 0, 0, 1, 1},
    {15, "EAN-128", 0, 2, "Standard", 130, 1, 0, 1, 1, 1},
    {16, "EAN-128-A", 0, 2, "Standard", 130, 1, 0, 1, 1, 1},
    {17, "EAN-128-B", 0, 2, "Standard", 130, 1, 0, 1, 1, 1},
    {18, "EAN-128-C", 0, 2, "Standard", 130, 1, 0, 1, 1, 1},
    {19, "Plessey", 1, 1, "Standard", 127, 1, 0, 1, 1, 1},
    {20, "MSI (Modified Plessey)", 1, 1, "Standard", 127, 1, 1, 0, 0, 1},
    {21, "Telepen", 1, 1, "Standard", 127, 1, 0, 1, 1, 1},
    {22, "Telepen Numeric", 1, 1, "Standard", 127, 1, 0, 1, 1, 1},
    {23, "UK Royal Mail 4 State", 1, 0, "Standard", 50, 0, 0, 1, 1, 0},
    {24, "PDF417", 1, -1, nullptr, -1, 0, 0, 1, 1, 0},
    {25, "MS 7", 1, 3, "EAN 100%", 230, 1, 0, 1, 0, 1},
    {26, "UPC-E System-1", 1, 3, "EAN 100%", 228, 1, 0, 1, 0, 1},
    {27, "DataMatrix", 1, -1, nullptr, -1, 0, 0, 1, 1, 0},
    {28, "GS1-128 (UCC/EAN-128)", 1, 2, "Standard", 130, 1, 0, 1, 1, 1},
    {29, "ITF-14", 1, 1, "ITF-14 100%", 320, 1, 0, 1, 0, 1},
    {30, "GS1 DataMatrix", 1, -1, nullptr, -1, 0, 0, 1, 1, 0},
    {31, "GS1 DataBar (RSS)", 1, -1, nullptr, -1, 0, 0, 1, 1, 1},
    {32, "QR-Code", 1, -1, nullptr, -1, 0, 0, 1, 1, 1},
};

constexpr bool IdsMatchIndexes()
{
    for (int i = 0; i < kSymbologyCount; ++i) {
        if (kTable[i].id != i)
            return false;
    }
    return true;
}
static_assert(IdsMatchIndexes(), "a symbology record out of place");

} // namespace

const SymbologyInfo& GetSymbology(int id)
{
    assert(id >= 0 && id < kSymbologyCount);
    return kTable[id];
}

const SymbologyInfo* FindSymbology(int id)
{
    return id >= 0 && id < kSymbologyCount ? &kTable[id] : nullptr;
}
