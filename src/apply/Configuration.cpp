#include "Configuration.h"

Configuration Configuration::FromEncoder(const clsKYR &kyr)
{
    Configuration c;
    c.kyr = kyr;
    return c;
}

Configuration Configuration::FromFile(const ConfigFile &file)
{
    Configuration c;
    file.applyTo(c.kyr);
    c.file = std::make_shared<const ConfigFile>(file);
    return c;
}

bool Configuration::gives(Section section, int slot, int row) const
{
    return !file || file->gives(section, slot, row);
}

int Configuration::given() const
{
    return file ? int(file->settings().size()) : AllRows();
}

int Configuration::AllRows()
{
    int count = 0;
    for (Section s : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str})
        count += int(clsKYR::Definitions(s).size()) * clsKYR::Slots(s);
    return count;
}

bool Configuration::IsUnitFact(Section section, int row)
{
    return (section == Section::Kyr && row < KyrRow::IpNum) || (section == Section::Pgm && row == PgmRow::VideoMode);
}

bool Configuration::IsNetwork(Section section, int row)
{
    return section == Section::Kyr && row >= KyrRow::IpNum && row <= KyrRow::DHCP;
}

clsKYR Configuration::over(const clsKYR &encoder, bool withNetwork) const
{
    clsKYR merged = encoder;
    for (Section s : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str}) {
        const int rows = int(clsKYR::Definitions(s).size());
        for (int slot = 0; slot < clsKYR::Slots(s); ++slot) {
            for (int row = 0; row < rows; ++row) {
                if (!gives(s, slot, row) || IsUnitFact(s, row) || (IsNetwork(s, row) && !withNetwork))
                    continue;
                merged.setValue(s, slot, row, kyr.value(s, slot, row));
            }
        }
    }
    return merged;
}
