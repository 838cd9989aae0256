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
    module.stream = stream;
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
    if (file == None) {
        if (stream >= 0) {
            state.StreamInUse.at(size_t(stream)) = false;
            kyr.setStr(stream, StrRow::StreamType, KyrValue(qint32(ModuleType::Free)));
        }
        state.CurrentStream = -1;
        return;
    }
    // A module stays in the stream it was found in (a program's module may
    // stand in the other program's file stream), so that it is never written
    // twice nor left where None cannot remove it.
    const int written = stream >= 0 ? stream : FileStream(program);
    state.StreamInUse.at(size_t(written)) = true;
    state.CurrentStream = written;
    const qint32 mask = clsKYR::InsertLines(line);
    kyr.setStr(written, StrRow::StreamType, KyrValue(qint32(ModuleType::Constant)));
    kyr.setSSTR(written, StrRow::Program, QString::number(program + 1));
    kyr.setStr(written, StrRow::Did, KyrValue(quint8(did)));
    kyr.setStr(written, StrRow::SDid, KyrValue(quint8(sdid)));
    kyr.setSSTR(written, StrRow::DataChannel, luma ? QStringLiteral("L") : QStringLiteral("C"));
    kyr.setStr(written, StrRow::InsertLinesF2, KyrValue(mask));
    kyr.setStr(written, StrRow::InsertLinesF1, KyrValue(mask));
    kyr.setSSTR(written, StrRow::FileName, FileName(file));
    kyr.setSSTR(written, StrRow::ConditionalInsertion, conditional ? QStringLiteral("1") : QStringLiteral("0"));
}
