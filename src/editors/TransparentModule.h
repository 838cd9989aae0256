#pragma once

#include "WorkingNumber.h"

#include <QList>
#include <QString>

#include <array>

class clsKYR;
struct SharedState;

// A transparent data stream as frmTransparent edits it: the working copy from
// the moment the dialog opens until Apply writes it. Generic ancillary data
// goes from one of the encoder's data ports into the video (encode) or out of
// it (decode), in one of six data types; five of them are presets.
//
// Every stored value the dialog cannot show as one of its choices (a data
// type of 9, a timeout position of 45, a count above 32767, a direction other
// than "E" or "D", a channel other than "L" or "C", a field indicator of 2)
// shows none of them chosen and is written back unchanged unless the operator
// changes that setting.
struct TransparentModule
{
    // DataType codes. Custom is 0 in byte mode and 6 in packet mode.
    enum Type : int {
        Unknown = -1,
        CustomBytes = 0,
        Bytes = 1,
        HighCapacity = 2,
        AudioMetadata = 3,
        CaptionCdp = 4,
        SubtitleSdp = 5,
        CustomPackets = 6,
    };
    // Streams a transparent module can use: the data ports, and the programs'
    // test streams; the file and bridge streams above them never.
    static constexpr int Streams = 18;

    int program = 0;
    int chosen = -1; // the stream Apply writes, -1 for none
    int loaded = -1; // the stream the module had when the dialog opened, -1 for a new one
    // The dialog's own in-use marks: another module's stream is never offered.
    std::array<bool, Streams> inUse{};

    QString direction = QStringLiteral("E");
    WorkingNumber dataType;
    int did = 0x50;
    int sdid = 0x01;
    qint32 identifier = 0x9669; // packet identifier, HeaderId1 and HeaderId2
    QString channel = QStringLiteral("C");
    int line = 9;
    qint32 lines = 0x100; // both fields' line mask
    WorkingNumber fieldIndicator;
    bool byteMode = true; // byte mode selected rather than packet mode
    std::array<WorkingNumber, 2> count;
    WorkingNumber timedFlush;
    WorkingNumber vancFlush;
    WorkingNumber priority;
    WorkingNumber timeout; // position in the timeout list: "1" to "30" frames

    // The module of CurrentStream, or a new one (audio metadata on line 9)
    // when CurrentStream is -1.
    static TransparentModule Open(const clsKYR &kyr, const SharedState &state);

    // The data type; Unknown for a stored code that is none of the seven.
    Type type() const;
    bool custom() const;
    bool encode() const { return direction == QLatin1String("E"); }
    bool luma() const { return channel == QLatin1String("L"); }

    // An option of "Data Type": the type with its preset. Custom keeps every
    // setting and takes packet mode when packet mode is selected.
    void choose(Type chosenType);
    void setEncode(bool encodeIntoSignal);
    // RB_ByteMode (true) or RB_Packet (false).
    void setByteMode(bool bytes);
    void setLuma(bool lumaChannel);
    // The line list's line, chosen by the operator or shown by the dialog.
    // The mask keeps what it holds beyond lines 1 to 25 as long as it still
    // stands for that one line.
    void selectLine(int shownLine);

    // The streams the port list offers, in order: the chosen one and every
    // one not in use.
    QList<int> ports() const;
    // The stream of a port list item (-1 for "None"): the old one is free
    // again, the new one in use.
    void choosePort(int stream);

    // Apply: releases the loaded stream, then writes the module to the chosen
    // stream. The shared in-use marks follow.
    void Write(clsKYR &kyr, SharedState &state) const;
};
