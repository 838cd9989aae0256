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
    const QByteArray written = ConfigFile::Text(kyr, {QString::fromLatin1(text.left(80))});
    const ConfigFile again = ConfigFile::Parse(written);
    CHECK(again.ok(), again.messages(QStringLiteral("written")).join(u'\n').toLatin1() + '\n' + written);
    clsKYR back;
    again.applyTo(back);
    CHECK(ConfigFile::Text(back, {QString::fromLatin1(text.left(80))}) == written, written);
    return 0;
}
