#include "BridgeModule.h"

#include "ModuleType.h"
#include "clsKYR.h"

QList<BridgeChoice> BridgeModule::Choices(bool program1is625, bool program2is625)
{
    QList<BridgeChoice> choices{{QStringLiteral("Disable the Bridging Function"), -1, 0, 0}};
    if (program1is625) {
        choices.append(
            {QStringLiteral("Bridge WST from VBI of Program 1 to OP47 in Vanc of Program 2"), WstToOp47, 1, 2});
        choices.append(
            {QStringLiteral("Bridge OP47 from Vanc of Program 2 to WST in VBI of Program 1"), Op47ToWst, 2, 1});
    }
    if (program2is625) {
        choices.append(
            {QStringLiteral("Bridge WST from VBI of Program 2 to OP47 in Vanc of Program 1"), WstToOp47, 2, 1});
        choices.append(
            {QStringLiteral("Bridge OP47 from Vanc of Program 1 to WST in VBI of Program 2"), Op47ToWst, 1, 2});
    }
    return choices;
}

int BridgeModule::positionIn(const QList<BridgeChoice> &choices) const
{
    for (int k = 1; k < choices.size(); ++k) {
        if (choices[k].type == type && choices[k].source == source)
            return k;
    }
    return 0;
}

void BridgeModule::choose(const BridgeChoice &choice)
{
    if (choice.type < 0)
        return;
    type = choice.type;
    source = choice.source;
    destination = choice.destination;
}

int BridgeModule::vancStream() const
{
    return type == Op47ToWst ? StreamSlot::INBRIDGE1 : StreamSlot::OUTBRIDGE1;
}

int BridgeModule::vancProgram() const
{
    return type == Op47ToWst ? source : destination;
}

BridgeModule BridgeModule::Read(const clsKYR &kyr)
{
    BridgeModule bridge;
    const double program = kyr.str(StreamSlot::INBRIDGE1, StrRow::Program).toDouble();
    bridge.source = program == 1 ? 1 : program == 2 ? 2 : 0;
    bridge.destination = bridge.source == 1 ? 2 : bridge.source == 2 ? 1 : 0;
    bridge.type = kyr.str(StreamSlot::INBRIDGE1, StrRow::BridgeType).toDouble() == Op47ToWst ? Op47ToWst : WstToOp47;
    const int vanc = bridge.vancStream();
    bridge.did = kyr.str(vanc, StrRow::Did).toInt();
    bridge.sdid = kyr.str(vanc, StrRow::SDid).toInt();
    bridge.luma = kyr.sSTR(vanc, StrRow::DataChannel) == QLatin1String("L");
    bridge.vancMask = kyr.str(vanc, StrRow::InsertLinesF1).toInt();
    if (bridge.type == WstToOp47)
        bridge.vbiMask = kyr.str(StreamSlot::INBRIDGE1, StrRow::InsertLinesF1).toInt();
    return bridge;
}

void BridgeModule::Write(clsKYR &kyr) const
{
    for (int stream : {int(StreamSlot::INBRIDGE1), int(StreamSlot::OUTBRIDGE1)}) {
        const bool in = stream == StreamSlot::INBRIDGE1;
        kyr.setStr(stream, StrRow::StreamType, KyrValue(qint32(ModuleType::Bridging)));
        kyr.setSSTR(stream, StrRow::Program, QString::number(in ? source : destination));
        kyr.setSSTR(stream, StrRow::Direction, in ? QStringLiteral("D") : QStringLiteral("E"));
        kyr.setSSTR(stream, StrRow::BridgeType, QString::number(type));
    }
    const int vanc = vancStream();
    kyr.setStr(vanc, StrRow::Did, KyrValue(quint8(did)));
    kyr.setStr(vanc, StrRow::SDid, KyrValue(quint8(sdid)));
    kyr.setSSTR(vanc, StrRow::DataChannel, luma ? QStringLiteral("L") : QStringLiteral("C"));
    kyr.setStr(vanc, StrRow::InsertLinesF1, KyrValue(vancMask));
    kyr.setStr(vanc, StrRow::InsertLinesF2, KyrValue(vancMask));
    if (type == WstToOp47) {
        kyr.setStr(StreamSlot::INBRIDGE1, StrRow::InsertLinesF1, KyrValue(vbiMask));
        kyr.setStr(StreamSlot::INBRIDGE1, StrRow::InsertLinesF2, KyrValue(vbiMask));
    }
}

void BridgeModule::Release(clsKYR &kyr)
{
    for (int stream : {int(StreamSlot::INBRIDGE1), int(StreamSlot::OUTBRIDGE1)})
        kyr.setStr(stream, StrRow::StreamType, KyrValue(qint32(ModuleType::Free)));
}
