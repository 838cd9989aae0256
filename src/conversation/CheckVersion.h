#pragma once

#include <QString>

class clsKYR;
class Messages;

// What the software check makes of an encoder: whether this program suits
// it, and the box that says why not (or warns).
struct VersionVerdict
{
    enum Outcome { Suits, Warning, Refused };
    Outcome outcome = Suits;
    // The box's title and text (line breaks CR LF); empty when it suits.
    QString title;
    QString text;
};

// The check of the encoder's part numbers, without boxes.
VersionVerdict JudgeVersion(const clsKYR &kyr);

// Checks that this program suits the encoder's software, with the message
// boxes of the check. Returns false when the program must end.
bool CheckVersion(const clsKYR &kyr, Messages &messages);
