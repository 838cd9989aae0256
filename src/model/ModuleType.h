#pragma once

// Module types by a stream's StreamType value.
namespace ModuleType {
enum : int { Free = 0, Transparent = 1, Constant = 2, Bridging = 4, Caption = 16 };
}
