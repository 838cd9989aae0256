#include "ProgramModules.h"

#include "ModuleType.h"
#include "clsKYR.h"

namespace {

constexpr int kSlots = 8;

bool isNumber(const KyrValue &value, double number)
{
    return value.toDouble() == number;
}

} // namespace

bool IsPrimaryCaption(const clsKYR &kyr, int stream)
{
    return kyr.sSTR(stream, StrRow::Direction) == QLatin1String("E") && isNumber(kyr.str(stream, StrRow::Mode), 0);
}

bool ShownInProgram(const clsKYR &kyr, int stream, int program)
{
    if (!isNumber(kyr.str(stream, StrRow::Program), program + 1))
        return false;
    const KyrValue type = kyr.str(stream, StrRow::StreamType);
    if (isNumber(type, ModuleType::Transparent) || isNumber(type, ModuleType::Constant) ||
        isNumber(type, ModuleType::Bridging))
        return true;
    return isNumber(type, ModuleType::Caption) && IsPrimaryCaption(kyr, stream);
}

std::vector<int> ProgramModules(const clsKYR &kyr, int program)
{
    std::vector<int> streams;
    for (int s = 0; s < clsKYR::StreamSlots && int(streams.size()) < kSlots; ++s) {
        if (ShownInProgram(kyr, s, program))
            streams.push_back(s);
    }
    return streams;
}

QString ModuleName(int streamType)
{
    switch (streamType) {
    case ModuleType::Transparent:
        return QStringLiteral("Transparent Module");
    case ModuleType::Constant:
        return QStringLiteral("Constant Data Module");
    case ModuleType::Bridging:
        return QStringLiteral("Bridging Module");
    case ModuleType::Caption:
        return QStringLiteral("Caption Module");
    default:
        return {};
    }
}

QString ModuleKind(int streamType)
{
    switch (streamType) {
    case ModuleType::Free:
        return QStringLiteral("none");
    case ModuleType::Transparent:
        return QStringLiteral("transparent");
    case ModuleType::Constant:
        return QStringLiteral("constant data");
    case ModuleType::Bridging:
        return QStringLiteral("bridging");
    case ModuleType::Caption:
        return QStringLiteral("caption");
    default:
        return {};
    }
}
