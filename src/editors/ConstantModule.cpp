#include "ConstantModule.h"

#include "ModuleType.h"
#include "SharedState.h"
#include "clsKYR.h"

namespace {
const char *const kFileNames[] = {"", "metadata_stereo", "metadata_51", "stereo_sap", "51_sap"};
}

int ConstantModule::FileStream(int program)
{
    return program == 0 ? StreamSlot::FILE1 : StreamSlot::FILE2;
}

ConstantModule::File ConstantModule::FileOf(const QString &fileName)
{
    for (File file : {Stereo, Surround, StereoSap}) {
        if (fileName == QLatin1String(kFileNames[file]))
            return file;
    }
    return SurroundSap;
}

QString ConstantModule::FileName(File file)
{
    return QString::fromLatin1(kFileNames[file == None ? SurroundSap : file]);
}

ConstantModule ConstantModule::Read(const clsKYR &kyr, int stream)
{
    ConstantModule module;
    module.file = FileOf(kyr.sSTR(stream, StrRow::FileName));
    module.did = kyr.str(stream, StrRow::Did).toInt();
    module.sdid = kyr.str(stream, StrRow::SDid).toInt();
    module.luma = kyr.sSTR(stream, StrRow::DataChannel) == QLatin1String("L");
    module.line = clsKYR::LineNumber(kyr.str(stream, StrRow::InsertLinesF1).toInt());
    module.conditional = kyr.str(stream, StrRow::ConditionalInsertion).toDouble() == 1;
    return module;
}

void ConstantModule::Write(clsKYR &kyr, SharedState &state, int program) const
{
    const int stream = FileStream(program);
    if (file == None) {
        state.StreamInUse.at(stream) = false;
        kyr.setStr(stream, StrRow::StreamType, KyrValue(qint32(ModuleType::Free)));
        state.CurrentStream = -1;
        return;
    }
    state.StreamInUse.at(stream) = true;
    state.CurrentStream = stream;
    const qint32 mask = clsKYR::InsertLines(line);
    kyr.setStr(stream, StrRow::StreamType, KyrValue(qint32(ModuleType::Constant)));
    kyr.setSSTR(stream, StrRow::Program, QString::number(program + 1));
    kyr.setStr(stream, StrRow::Did, KyrValue(quint8(did)));
    kyr.setStr(stream, StrRow::SDid, KyrValue(quint8(sdid)));
    kyr.setSSTR(stream, StrRow::DataChannel, luma ? QStringLiteral("L") : QStringLiteral("C"));
    kyr.setStr(stream, StrRow::InsertLinesF2, KyrValue(mask));
    kyr.setStr(stream, StrRow::InsertLinesF1, KyrValue(mask));
    kyr.setSSTR(stream, StrRow::FileName, FileName(file));
    kyr.setSSTR(stream, StrRow::ConditionalInsertion, conditional ? QStringLiteral("1") : QStringLiteral("0"));
}
