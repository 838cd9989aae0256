#include "LineUsageCopy.h"

#include "clsKYR.h"

namespace {
const int kMaskRow[2] = {PgmRow::AddToCLines, PgmRow::AddToLLines};
}

LineUsageCopy LineUsageCopy::Load(const clsKYR &kyr, int program)
{
    LineUsageCopy copy;
    for (int channel : {Chroma, Luma}) {
        const qint32 mask = kyr.pgm(program, kMaskRow[channel]).toInt();
        for (int line = 1; line <= Lines; ++line) {
            copy.append[channel][line - 1] = mask & clsKYR::InsertLines(line);
            for (int field = 1; field <= 2; ++field)
                copy.reserved[channel][field - 1][line - 1] =
                    WorkingNumber(kyr.pgm(program, PgmRow::LineCfg(channel, line, field)));
        }
    }
    return copy;
}

void LineUsageCopy::Write(clsKYR &kyr, int program) const
{
    for (int channel : {Luma, Chroma}) {
        qint32 mask = 0;
        for (int line = 1; line <= Lines; ++line) {
            if (append[channel][line - 1])
                mask |= clsKYR::InsertLines(line);
        }
        kyr.setPgm(program, kMaskRow[channel], KyrValue(mask));
    }
    for (int channel : {Luma, Chroma}) {
        for (int field = 1; field <= 2; ++field) {
            for (int line = 1; line <= Lines; ++line)
                reserved[channel][field - 1][line - 1].store(kyr, Section::Pgm, program,
                                                             PgmRow::LineCfg(channel, line, field));
        }
    }
}
