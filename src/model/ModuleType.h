#pragma once

#include "clsKYR.h"

// Module types by a stream's StreamType value.
namespace ModuleType {
enum : int { Free = 0, Transparent = 1, Constant = 2, Bridging = 4, Caption = 16 };

// True unless the stream's StreamType is 0. A type this program does not
// know belongs to a module too (the encoder's own): such a stream is never
// offered to another module, and a save sends its rows back as they came.
inline bool Used(const clsKYR &kyr, int stream)
{
    return kyr.str(stream, StrRow::StreamType).toDouble() != double(Free);
}
} // namespace ModuleType
