#pragma once

#include "WorkingNumber.h"

#include <QList>
#include <QString>

#include <array>

class clsKYR;
struct SharedState;

// One port of a caption module.
struct CaptionPort
{
    int stream = -1; // the stream chosen now, -1 for none
    int loaded = -1; // the stream the port had when the editor opened
    bool echo = false;
    bool externalModem = false;
    bool passThrough = false;
    bool fieldMarked = false; // captioning ports: field marked input
    QString init;             // modem init string
};

// The caption module of one program as frmCaption edits it: up to five
// streams, one per port (primary, secondary and XDS encode ports, 708 and 608
// output ports), the values all its streams share, both service mappings and
// the program's caption settings. Values stored outside what the dialog
// offers (a mapping target of 40000, an RCControl of 7) are written back as
// they were unless the operator changes them.
class CaptionModule
{
public:
    enum Port { Primary = 0, Secondary, Xds, Output708, Output608, Ports };
    // The dialog opened after choosing a port's stream.
    enum Preset { NoPreset, PrimaryPreset, SecondaryPreset };
    // Streams a port can use: the serial ports, the modem and the LAN ports.
    static constexpr int PortStreams = 12;
    static constexpr int Streams = 18;

    // The module of CurrentProgram whose primary stream is CurrentStream; a
    // program may hold more than one, each with the other ports' streams
    // that share its insertion. A program that already has caption streams
    // opens on them even when CurrentStream is -1, so a new module never
    // starts over existing streams.
    static CaptionModule Read(const clsKYR &kyr, const SharedState &state);

    // The streams the port list offers besides "None": the port's own stream
    // and every port stream (serial, modem, LAN) no module uses, in order.
    QList<int> offered(int port) const;
    // The shown stream of a port: none for every port while the primary port
    // has none.
    int shownStream(int port) const;
    // Choosing None for the primary port disables captioning: the dialog asks
    // first.
    bool asksBeforeChoosing(int port, int stream) const;
    // Gives a port its stream and says which preset the change calls for.
    // Releasing the primary port releases the secondary and XDS ports too;
    // the XDS port takes XDS from the primary port and gives it back.
    Preset choose(int port, int stream);

    // The tables a mapping dialog works on, with the presence of the ports.
    void publishPorts(SharedState &state) const;
    // After a preset's OK: the primary tables and the XDS port flag, and for
    // the secondary preset the secondary tables.
    void takePreset(const SharedState &state, Preset preset);
    // After the mapping drawing's Apply: the tables of the ports present.
    void takePorts(const SharedState &state);
    void publishUpstream(SharedState &state) const;
    void takeUpstream(const SharedState &state);

    // Apply: releases the streams the ports had, then (with a primary port)
    // writes the caption program and the ports 1, 2, 3, 5 and 4.
    void Write(clsKYR &kyr, SharedState &state) const;

    // Whether the broadcast flag mode can be chosen: two broadcast flag
    // resources, or one that the other program does not use.
    static bool BroadcastFlagShown(const clsKYR &kyr, int program);
    // Which modem controls a captioning port shows.
    struct ModemControls
    {
        bool externalModem = false;
        bool passThrough = false;
        bool init = false;
        bool operator==(const ModemControls &) const = default;
    };
    ModemControls modemControls(const clsKYR &kyr, int port) const;
    // Why an init string cannot be sent to the encoder (a control character,
    // a character outside Latin-1), or "" when it can.
    static QString InitFault(const QString &init);

    int program = 0;
    bool existing = false;
    std::array<CaptionPort, Ports> ports{};
    std::array<bool, Streams> inUse{};
    bool pull = true; // 708 output: SMPTE 333 (pull) or push
    WorkingNumber frameDelay;

    std::array<WorkingNumber, 5> primary608{}; // CC1..CC4, then 5 when XDS travels on the primary port
    std::array<WorkingNumber, 4> primary708{};
    std::array<WorkingNumber, 4> secondary608{};
    std::array<WorkingNumber, 4> secondary708{};
    bool xdsPort = false; // XDS taken from the XDS port
    std::array<WorkingNumber, 5> upstream608{};
    std::array<WorkingNumber, 4> upstream708{};
    std::array<WorkingNumber, 6> upstreamServices{};

    // Shared by all the module's streams.
    int did = 0x61;
    int sdid = 0x01;
    bool luma = true;
    int line = 9;

    // The caption program.
    bool replace = true;
    WorkingNumber rcControl;            // the broadcast flag mode
    std::array<QString, 2> language608; // "" for none
    std::array<QString, 6> language708;
    std::array<bool, 2> easyReader608{};
    std::array<bool, 6> easyReader708{};
};
