#pragma once

#include "WorkingNumber.h"

#include <array>

class clsKYR;

// The line usage of one program while frmLineUsage is open: per line 1..25
// and channel (0 chroma, 1 luma) whether inserted data is appended, and the
// bytes of existing data reserved on each field.
struct LineUsageCopy
{
    static constexpr int Lines = 25;
    static constexpr int Chroma = 0;
    static constexpr int Luma = 1;

    // append[channel][line - 1]
    std::array<std::array<bool, Lines>, 2> append{};
    // reserved[channel][field - 1][line - 1]
    std::array<std::array<std::array<WorkingNumber, Lines>, 2>, 2> reserved{};

    static LineUsageCopy Load(const clsKYR &kyr, int program);
    // Writes all 102 parameters of the program: the two append masks (lines
    // 1..25 only) and the 100 reserved counts.
    void Write(clsKYR &kyr, int program) const;
};
