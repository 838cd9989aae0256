// Fuzz target over the configuration file reader and writer.
//
// The input is the file's bytes. Every line must end up either as one
// setting or as one problem with its line number, a setting must hold a
// value in its kind's text form, and what the writer makes of the result
// must read back without a problem to the same text. Any broken invariant
// aborts.
#include "ConfigFile.h"
#include "FuzzCheck.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <set>

#define CHECK(cond, detail) FUZZ_CHECK("fuzz_configfile", cond, detail)

namespace {

// The comment lines of a written file and the sections named in keep.
QByteArray onlySections(const QByteArray &written, const std::set<QByteArray> &keep)
{
    QByteArray out;
    bool kept = true;
    for (const QByteArray &line : written.split('\n')) {
        if (line.startsWith('['))
            kept = keep.count(line) > 0;
        if (kept && !line.isEmpty())
            out += line + '\n';
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const ConfigFile file = ConfigFile::Parse(text);
    const int lines = int(text.count('\n')) + 1;

    // Lines in order, each a setting or a problem at most once.
    CHECK(file.problemCount() >= int(file.problems().size()), text);
    CHECK(file.problems().size() <= size_t(ConfigFile::MaxProblems), text);
    CHECK(file.ok() == (file.problemCount() == 0), text);
    std::set<int> used;
    int previous = 0;
    for (const auto &problem : file.problems()) {
        CHECK(problem.line > previous && problem.line <= lines && !problem.reason.isEmpty(), text);
        previous = problem.line;
        used.insert(problem.line);
    }
    previous = 0;
    for (const auto &setting : file.settings()) {
        CHECK(setting.line > previous && setting.line <= lines && !used.count(setting.line), text);
        previous = setting.line;
        const int kind = clsKYR::Definitions(setting.section)[size_t(setting.row)].Kind;
        CHECK(ConfigFile::ValueProblem(kind, setting.value).isEmpty(), setting.value.toLatin1());
        CHECK(file.gives(setting.section, setting.slot, setting.row), text);
    }

    // What was taken survives a write and a read unchanged, and reading is
    // idempotent.
    clsKYR kyr;
    file.applyTo(kyr);
    for (const auto &setting : file.settings()) {
        const int kind = clsKYR::Definitions(setting.section)[size_t(setting.row)].Kind;
        CHECK(ConfigFile::ValueProblem(kind, kyr.text(setting.section, setting.slot, setting.row)).isEmpty(),
              setting.value.toLatin1());
    }
    clsKYR twice = kyr;
    file.applyTo(twice);
    CHECK(twice == kyr, text);
    // The sections the file left alone are written as a fresh model's, the
    // same for every input: those were read back once, the first time.
    static const bool freshReadsBack = [] {
        const QByteArray fresh = ConfigFile::Text(clsKYR());
        return ConfigFile::Parse(fresh).ok();
    }();
    CHECK(freshReadsBack, QByteArray());
    std::set<QByteArray> touched;
    for (const auto &setting : file.settings())
        touched.insert('[' + clsKYR::SectionName(setting.section, setting.slot).toLatin1() + ']');
    const QByteArray written = onlySections(ConfigFile::Text(kyr, {QString::fromLatin1(text.left(80))}), touched);
    const ConfigFile again = ConfigFile::Parse(written);
    CHECK(again.ok(), again.messages(QStringLiteral("written")).join(u'\n').toLatin1() + '\n' + written);
    clsKYR back;
    again.applyTo(back);
    CHECK(onlySections(ConfigFile::Text(back, {QString::fromLatin1(text.left(80))}), touched) == written, written);
    return 0;
}
