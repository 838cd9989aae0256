#include "EditorRules.h"

#include "clsKYR.h"

namespace {
int requested(const clsKYR &kyr, int program)
{
    if (program < 0 || program >= clsKYR::ProgramSlots)
        return -1;
    return kyr.pgm(program, PgmRow::RequestedVideoMode).toInt();
}
} // namespace

bool RevisionBelow(const clsKYR &kyr, const QString &letter)
{
    return kyr.sKYR(KyrRow::Rev) < letter;
}

bool RequestsSD(const clsKYR &kyr, int program)
{
    const int mode = requested(kyr, program);
    return mode >= 1 && mode <= 3;
}

bool Requests625(const clsKYR &kyr, int program)
{
    return requested(kyr, program) == 3;
}

QString SerialCaption(const clsKYR &kyr, int stream)
{
    QString caption = kyr.sSTR(stream, StrRow::Baud) + u',' + kyr.sSTR(stream, StrRow::Parity) + u',' +
                      kyr.sSTR(stream, StrRow::WordSize) + u',' + kyr.sSTR(stream, StrRow::StopBits);
    const double flow = kyr.str(stream, StrRow::RxFlowCtrl).toDouble();
    if (flow == 2)
        caption += QLatin1String(",HW");
    else if (flow == 1)
        caption += QLatin1String(",SW");
    return caption;
}
