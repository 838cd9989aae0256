#pragma once

class clsKYR;
class Messages;

// Checks that this program suits the encoder's software, with the message
// boxes of the check. Returns false when the program must end.
bool CheckVersion(const clsKYR &kyr, Messages &messages);
