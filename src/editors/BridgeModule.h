#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

class clsKYR;

// One item of the bridge list: the bridge it sets up, or none for "Disable
// the Bridging Function".
struct BridgeChoice
{
    QString text;
    int type = -1; // -1 none, 0 WST (VBI) to OP-47 (VANC), 1 OP-47 (VANC) to WST (VBI)
    int source = 0;
    int destination = 0;
};

// The subtitle bridge as frmBridging edits it. It always uses INBRIDGE1,
// which decodes from the source program, and OUTBRIDGE1, which encodes into
// the destination program.
struct BridgeModule
{
    static constexpr int WstToOp47 = 0;
    static constexpr int Op47ToWst = 1;

    int type = WstToOp47;
    int source = 1; // program 1 or 2; anything else is no usable bridge
    int destination = 2;
    int did = 0x43;
    int sdid = 0x02;
    bool luma = true;
    qint32 vancMask = 0x100;   // line 9
    qint32 vbiMask = 0x100000; // line 21

    // The items offered when program 1 and program 2 do or do not request
    // 625-line video: one, three or five.
    static QList<BridgeChoice> Choices(bool program1is625, bool program2is625);
    // The position of the item that shows this bridge; 0 ("Disable") when
    // none does.
    int positionIn(const QList<BridgeChoice> &choices) const;
    void choose(const BridgeChoice &choice);

    // The stream and program of the VANC side: OUTBRIDGE1 and the destination
    // for WST to OP-47, INBRIDGE1 and the source for OP-47 to WST.
    int vancStream() const;
    int vancProgram() const;

    // The bridge stored in INBRIDGE1 and OUTBRIDGE1.
    static BridgeModule Read(const clsKYR &kyr);
    void Write(clsKYR &kyr) const;
    // Frees both bridge streams, their other parameters kept.
    static void Release(clsKYR &kyr);
};
