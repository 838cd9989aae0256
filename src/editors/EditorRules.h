#pragma once

#include <QString>

class clsKYR;

// Small rules the module editors share; none of them needs a widget.

// The encoder's revision letter compared as text (character codes in order):
// true when Rev is lower than the given letter.
bool RevisionBelow(const clsKYR &kyr, const QString &letter);
// True when the program (0 or 1) requests SD video (any SD, 525 or 625
// lines); such video has no chroma channel for inserted data.
bool RequestsSD(const clsKYR &kyr, int program);
// True when the program requests 625-line video.
bool Requests625(const clsKYR &kyr, int program);
// The caption of a serial port's "Configure" button: Baud, Parity, WordSize
// and StopBits joined with ",", then ",HW" for hardware or ",SW" for software
// flow control ("9600,N,8,1,HW").
QString SerialCaption(const clsKYR &kyr, int stream);
