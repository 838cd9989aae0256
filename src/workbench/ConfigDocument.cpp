#include "ConfigDocument.h"

#include "ConfigFile.h"
#include "SaveRows.h"

#include <QFileInfo>

#include <algorithm>

namespace {

const Section kSections[] = {Section::Kyr, Section::Pgm, Section::Cap, Section::Str};

int rowCount(Section section)
{
    return int(clsKYR::Definitions(section).size());
}

} // namespace

int ConfigDocument::RowIndex(Section section, int slot, int row)
{
    int index = 0;
    for (Section s : kSections) {
        if (s == section)
            return index + slot * rowCount(s) + row;
        index += clsKYR::Slots(s) * rowCount(s);
    }
    return index;
}

clsKYR ConfigDocument::Factory()
{
    clsKYR kyr;
    for (Section s : kSections) {
        for (int slot = 0; slot < clsKYR::Slots(s); ++slot) {
            for (int row = 0; row < rowCount(s); ++row)
                kyr.setText(s, slot, row, clsKYR::Definitions(s)[size_t(row)].Default);
        }
    }
    return kyr;
}

QString ConfigDocument::WithExtension(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1String(ConfigFile::Extension);
}

void ConfigDocument::fromUnit(const clsKYR &retrieved)
{
    from = Source::Unit;
    filePath.clear();
    base = retrieved;
    given.clear();
}

bool ConfigDocument::open(const QString &path, QStringList &problems)
{
    const ConfigFile file = ConfigFile::Read(path);
    if (!file.ok()) {
        problems = file.messages(QFileInfo(path).fileName());
        return false;
    }
    clsKYR shown = Factory();
    file.applyTo(shown);
    std::vector<bool> rows(size_t(Configuration::AllRows()), false);
    for (const ConfigFile::Setting &s : file.settings())
        rows[size_t(RowIndex(s.section, s.slot, s.row))] = true;
    from = Source::File;
    filePath = QFileInfo(path).absoluteFilePath();
    base = shown;
    given = std::all_of(rows.begin(), rows.end(), [](bool b) { return b; }) ? std::vector<bool>{} : rows;
    return true;
}

QString ConfigDocument::fileName() const
{
    return QFileInfo(filePath).fileName();
}

bool ConfigDocument::modified(const clsKYR &current) const
{
    for (Section s : kSections)
        for (int slot = 0; slot < clsKYR::Slots(s); ++slot)
            for (int row = 0; row < rowCount(s); ++row)
                if (current.text(s, slot, row) != base.text(s, slot, row))
                    return true;
    return false;
}

bool ConfigDocument::streamChanged(const clsKYR &current, int stream) const
{
    for (int row = 0; row < clsKYR::StrRows; ++row) {
        if (current.text(Section::Str, stream, row) != base.text(Section::Str, stream, row))
            return true;
    }
    return false;
}

bool ConfigDocument::writes(const clsKYR &current, Section section, int slot, int row) const
{
    if (given.empty() || given[size_t(RowIndex(section, slot, row))])
        return true;
    if (current.text(section, slot, row) != base.text(section, slot, row))
        return true;
    // A module changed goes whole; a free stream only with what changed.
    if (section != Section::Str || current.str(slot, StrRow::StreamType).toInt() == 0 || !streamChanged(current, slot))
        return false;
    const std::vector<int> saved = SaveRows(current, section, slot);
    return std::find(saved.begin(), saved.end(), row) != saved.end();
}

QByteArray ConfigDocument::text(const clsKYR &current, const QStringList &comments) const
{
    if (!partial())
        return ConfigFile::Text(current, comments);
    return ConfigFile::Text(current, comments,
                            [&](Section s, int slot, int row) { return writes(current, s, slot, row); });
}

bool ConfigDocument::write(const QString &path, const clsKYR &current, const QStringList &comments,
                           QString &error) const
{
    if (!partial())
        return ConfigFile::Write(path, current, error, comments);
    return ConfigFile::Write(path, current, error, comments,
                             [&](Section s, int slot, int row) { return writes(current, s, slot, row); });
}

bool ConfigDocument::save(const clsKYR &current, const QStringList &comments, QString &error)
{
    if (!write(filePath, current, comments, error))
        return false;
    if (partial()) {
        std::vector<bool> rows = given;
        for (Section s : kSections)
            for (int slot = 0; slot < clsKYR::Slots(s); ++slot)
                for (int row = 0; row < rowCount(s); ++row)
                    if (writes(current, s, slot, row))
                        rows[size_t(RowIndex(s, slot, row))] = true;
        given = rows;
    }
    base = current;
    return true;
}

Configuration ConfigDocument::configuration(const clsKYR &current) const
{
    if (!partial())
        return Configuration::FromEncoder(current);
    return Configuration::FromFile(ConfigFile::Parse(text(current, {})));
}

QStringList ConfigDocument::header(const clsKYR &current, const QString &where, const QDateTime &when) const
{
    const bool identity = !partial() || writes(current, Section::Kyr, 0, KyrRow::SerialNumber);
    return ConfigFile::Header(identity ? ConfigFile::Identity(current)
                                       : QStringLiteral("KYR7 configuration, some settings only"),
                              QStringLiteral("saved from ") + where, when, QStringLiteral("KYR7Set " KYR7_VERSION));
}
