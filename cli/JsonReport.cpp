#include "JsonReport.h"

#include "ProgramModules.h"
#include "TargetJob.h"

#include <QCoreApplication>
#include <QJsonDocument>

namespace {

QJsonValue textOrNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QString rowName(Section section, int row)
{
    return clsKYR::Definitions(section)[size_t(row)].Name;
}

// A number the unit gives, as a JSON number when it is one.
QJsonValue number(const KyrValue &value, const QString &text)
{
    bool ok = false;
    const double n = text.toDouble(&ok);
    if (ok)
        return n;
    const double v = value.toDouble();
    return v == v ? QJsonValue(v) : QJsonValue(text);
}

QJsonObject videoFormats(const clsKYR &kyr, int program)
{
    const int detected = kyr.pgm(program, PgmRow::VideoMode).toInt();
    const int requested = kyr.pgm(program, PgmRow::RequestedVideoMode).toInt();
    return {{"detected", detected},
            {"detected_name", clsKYR::VideoName(detected, false)},
            {"requested", requested},
            {"requested_name", clsKYR::VideoName(requested, true)}};
}

QJsonArray modules(const clsKYR &kyr, int program)
{
    QJsonArray out;
    for (int stream : ProgramModules(kyr, program)) {
        const int type = kyr.str(stream, StrRow::StreamType).toInt();
        QJsonArray streams{clsKYR::StreamText(stream)};
        out.append(QJsonObject{{"type", ModuleName(type)},
                               {"stream_type", type},
                               {"streams", streams},
                               {"source", kyr.Stream2Name(stream)}});
    }
    return out;
}

} // namespace

QByteArray JsonReport::Document(const QString &command, int exitStatus, const QString &error, const QJsonArray &targets,
                                const QJsonArray &differences)
{
    QJsonObject root{{"kyr7ctl", QCoreApplication::applicationVersion()},
                     {"command", textOrNull(command)},
                     {"exit_status", exitStatus},
                     {"error", textOrNull(error)},
                     {"targets", targets}};
    if (command == QLatin1String("diff"))
        root.insert("differences", differences);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QJsonObject JsonReport::Target(const TargetJob &job, const QJsonObject &details)
{
    QJsonArray notes;
    for (const QString &note : job.notes())
        notes.append(note);
    QJsonObject out{{"target", job.target().text},
                    {"device", job.target().key()},
                    {"ok", job.succeeded()},
                    {"outcome", job.outcome()},
                    {"state", TargetJob::StateName(job.state())},
                    {"message", textOrNull(job.message())},
                    {"changes", QJsonArray()},
                    {"not_written", QJsonArray()},
                    {"kept", QJsonArray()},
                    {"verification", VerificationOf(job.verification())},
                    {"notes", notes},
                    {"log", textOrNull(job.logPath())},
                    {"file", QJsonValue(QJsonValue::Null)},
                    {"unit", QJsonValue(QJsonValue::Null)}};
    for (auto it = details.begin(); it != details.end(); ++it)
        out.insert(it.key(), it.value());
    return out;
}

QJsonArray JsonReport::Changes(const std::vector<ConfigDiff::Difference> &changes)
{
    QJsonArray out;
    for (const auto &d : changes)
        out.append(QJsonObject{{"section", clsKYR::SectionName(d.section, d.slot)},
                               {"name", rowName(d.section, d.row)},
                               {"before", d.before},
                               {"after", d.after}});
    return out;
}

QJsonArray JsonReport::NotWritten(const std::vector<ApplyPlan::Unwritten> &rows)
{
    QJsonArray out;
    for (const auto &u : rows)
        out.append(QJsonObject{{"section", clsKYR::SectionName(u.section, u.slot)},
                               {"name", rowName(u.section, u.row)},
                               {"value", u.value},
                               {"reason", u.reason}});
    return out;
}

QJsonArray JsonReport::Kept(const std::vector<ApplyPlan::Kept> &rows)
{
    QJsonArray out;
    for (const auto &k : rows)
        out.append(QJsonObject{{"section", clsKYR::SectionName(k.section, k.slot)},
                               {"name", rowName(k.section, k.row)},
                               {"file", k.file},
                               {"unit", k.unit}});
    return out;
}

QJsonObject JsonReport::VerificationOf(const Verification &v)
{
    QJsonArray mismatches;
    for (const auto &m : v.mismatches)
        mismatches.append(QJsonObject{{"section", clsKYR::SectionName(m.section, m.slot)},
                                      {"name", rowName(m.section, m.row)},
                                      {"sent", m.sent},
                                      {"held", m.held}});
    return {{"result", Verification::Name(v.result)},
            {"checked", v.checked},
            {"mismatches", mismatches},
            {"message", textOrNull(v.message)}};
}

QJsonObject JsonReport::Unit(const clsKYR &kyr)
{
    QJsonObject limits;
    for (int row : {KyrRow::TransparentStreams, KyrRow::CaptionStreams, KyrRow::BfStreams, KyrRow::ConstantStreams,
                    KyrRow::BridgingStreams})
        limits.insert(rowName(Section::Kyr, row), number(kyr.KYR(row), kyr.sKYR(row)));
    QJsonObject network;
    for (int row : {KyrRow::IpNum, KyrRow::Netmask, KyrRow::Gateway, KyrRow::Broadcast})
        network.insert(rowName(Section::Kyr, row), kyr.sKYR(row));
    network.insert("DHCP", number(kyr.KYR(KyrRow::DHCP), kyr.sKYR(KyrRow::DHCP)));
    const int programCount = kyr.KYR(KyrRow::ProgramCount).toDouble() == 1 ? 1 : clsKYR::ProgramSlots;
    QJsonArray programs;
    for (int p = 0; p < programCount; ++p)
        programs.append(QJsonObject{{"program", p + 1}, {"video", videoFormats(kyr, p)}, {"modules", modules(kyr, p)}});
    return {{"ID", kyr.sKYR(KyrRow::ID)},
            {"SerialNumber", kyr.sKYR(KyrRow::SerialNumber)},
            {"Software", kyr.sKYR(KyrRow::Software)},
            {"Rev", kyr.sKYR(KyrRow::Rev)},
            {"ProgramCount", number(kyr.KYR(KyrRow::ProgramCount), kyr.sKYR(KyrRow::ProgramCount))},
            {"limits", limits},
            {"network", network},
            {"programs", programs}};
}

QJsonObject JsonReport::Differences(const QString &a, const QString &b, int compared,
                                    const std::vector<ConfigDiff::Difference> &lines)
{
    QJsonArray out;
    for (const auto &d : lines)
        out.append(QJsonObject{{"section", clsKYR::SectionName(d.section, d.slot)},
                               {"name", rowName(d.section, d.row)},
                               {"a", d.before},
                               {"b", d.after}});
    return {{"a", a}, {"b", b}, {"equal", lines.empty()}, {"compared", compared}, {"lines", out}};
}
