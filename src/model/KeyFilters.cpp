#include "KeyFilters.h"

namespace {
constexpr int kBackspace = 8;
}

int HexKeyFilter(int key)
{
    if (key == kBackspace || (key >= '0' && key <= '9') || (key >= 'A' && key <= 'F'))
        return key;
    if (key >= 'a' && key <= 'f')
        return key - 32;
    return 0;
}

int DecimalKeyFilter(int key)
{
    if (key == kBackspace || (key >= '0' && key <= '9'))
        return key;
    return 0;
}
