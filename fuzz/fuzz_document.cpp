// Fuzz target over configuration files opened as documents (ConfigDocument),
// as the program's File > Open, Save and the review see them.
//
// The input is a file's bytes. They are written to "input.kyr7" in a folder
// made once (in memory when the system has /dev/shm, since every save syncs
// the file to disk) and opened in a document that already holds another
// file, one that gives some rows only.
//
// Invariants:
// - A refused file leaves the document as it was: its source, path,
//   baseline and the rows it gives (nothing half-loaded); every problem
//   names the file, a line of it and a reason (the last may count the
//   problems beyond those kept).
// - An opened file is not modified against its own baseline; every row the
//   file gave shows the file's value in its kind's text form, every other
//   row its factory default; the document is partial unless the file gave
//   every row, and what it would apply to a unit gives the file's rows.
// - Saving the document and opening the saved file gives the same
//   configuration and the same rows given (a partial file stays partial, a
//   whole one whole); saving it twice, or saving the reopened document,
//   writes the same bytes.
#include "ConfigDocument.h"
#include "ConfigFile.h"
#include "FuzzCheck.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <set>

namespace {

const char kTarget[] = "fuzz_document";
QByteArray input; // the input being run, shown when an invariant breaks

void check(bool ok, const char *what)
{
    if (!ok)
        FuzzFail(kTarget, what, input);
}

void check(bool ok, const char *what, const QByteArray &detail)
{
    if (!ok)
        FuzzFail(kTarget, what, detail + "\ninput:\n" + input);
}

const Section kSections[] = {Section::Kyr, Section::Pgm, Section::Cap, Section::Str};

QByteArray contents(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        FuzzFail(kTarget, "cannot read a file written", path);
    return file.readAll();
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        FuzzFail(kTarget, "cannot write the input file", path);
}

struct Setup
{
    QTemporaryDir folder{QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/fuzz_document-XXXXXX")
                                                                   : QDir::tempPath() + "/fuzz_document-XXXXXX"};
    QString inputPath = folder.filePath(QStringLiteral("input.kyr7"));
    ConfigDocument before; // what the document holds before the input is opened
    QByteArray beforeText;
    clsKYR factory = ConfigDocument::Factory();
    QStringList comments = {QStringLiteral("a comment")};

    Setup()
    {
        if (!folder.isValid())
            FuzzFail(kTarget, "no temporary folder", folder.errorString());
        const QString path = folder.filePath(QStringLiteral("before.kyr7"));
        put(path, "[PGM1]\nRequestedVideoMode=5\n[LAN1]\nStreamType=0x0002\nFileName=before.txt\n");
        QStringList problems;
        if (!before.open(path, problems) || !before.partial())
            FuzzFail(kTarget, "the document to start from does not open partial", problems.join(u'\n'));
        beforeText = before.text(before.baseline(), {});
    }
};

using Row = std::tuple<int, int, int>; // section, slot, row

std::set<Row> rowsGiven(const ConfigFile &file)
{
    std::set<Row> rows;
    for (const ConfigFile::Setting &s : file.settings())
        rows.insert({int(s.section), s.slot, s.row});
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Setup setup;
    input = QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
    put(setup.inputPath, input);

    ConfigDocument doc = setup.before;
    QStringList problems;
    if (!doc.open(setup.inputPath, problems)) {
        check(!problems.isEmpty(), "a file refused without a problem");
        const int lines = int(input.count('\n')) + 1;
        static const QRegularExpression problem(QStringLiteral("^input\\.kyr7:([0-9]+): .+$"),
                                                QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression more(QStringLiteral("^input\\.kyr7: [0-9]+ more problems$"));
        for (qsizetype i = 0; i < problems.size(); ++i) {
            const QRegularExpressionMatch m = problem.match(problems[i]);
            const bool counted = i == problems.size() - 1 && more.match(problems[i]).hasMatch();
            check(counted || (m.hasMatch() && m.captured(1).toInt() >= 1 && m.captured(1).toInt() <= lines),
                  "a problem without its line or its reason", problems[i].toLatin1());
        }
        check(doc.source() == setup.before.source() && doc.path() == setup.before.path(),
              "a refused file changed where the document comes from");
        check(doc.partial() == setup.before.partial() && doc.baseline() == setup.before.baseline() &&
                  doc.text(doc.baseline(), {}) == setup.beforeText,
              "a refused file was loaded in part");
        return 0;
    }
    check(problems.isEmpty(), "a file opened with problems", problems.join(u'\n').toLatin1());
    check(doc.source() == ConfigDocument::Source::File && doc.fileName() == QLatin1String("input.kyr7"),
          "an opened file is not the document's");
    const clsKYR &shown = doc.baseline();
    check(!doc.modified(shown), "an opened file is modified against its own baseline");

    const ConfigFile file = ConfigFile::Parse(input);
    const std::set<Row> given = rowsGiven(file);
    for (const ConfigFile::Setting &s : file.settings()) {
        const int kind = clsKYR::Definitions(s.section)[size_t(s.row)].Kind;
        check(shown.text(s.section, s.slot, s.row) == clsKYR::ToText(kind, clsKYR::FromText(kind, s.value)),
              "a row the file gave does not show the file's value", s.value.toLatin1());
    }
    const Configuration toApply = doc.configuration(shown);
    for (Section s : kSections) {
        const int rows = int(clsKYR::Definitions(s).size());
        for (int slot = 0; slot < clsKYR::Slots(s); ++slot) {
            for (int row = 0; row < rows; ++row) {
                const bool fromFile = given.count({int(s), slot, row}) > 0;
                if (!fromFile)
                    check(shown.text(s, slot, row) == setup.factory.text(s, slot, row),
                          "a row the file did not give is not at its factory default");
                check(toApply.gives(s, slot, row) == fromFile,
                      "what the document applies to a unit is not the rows the file gave");
            }
        }
    }
    check(doc.partial() == (int(given.size()) < Configuration::AllRows()), "partial, or not, against the file");

    // Saved and opened again: the same configuration, the same rows.
    const QDateTime when(QDate(2024, 5, 17), QTime(12, 0));
    const QStringList header = doc.header(shown, QStringLiteral("fuzz"), when);
    QString error;
    check(doc.save(shown, header, error), "the document cannot be saved", error.toLatin1());
    const QByteArray saved = contents(setup.inputPath);
    check(!doc.modified(shown), "a saved document is modified", saved);
    ConfigDocument reopened;
    check(reopened.open(setup.inputPath, problems), "a saved document does not open again",
          problems.join(u'\n').toLatin1() + '\n' + saved);
    check(!reopened.modified(shown), "a saved document opens as another configuration", saved);
    check(reopened.partial() == doc.partial(), "a saved document opens partial, or whole, unlike before", saved);
    check(rowsGiven(ConfigFile::Parse(saved)) == given, "a saved document gives other rows than the file", saved);

    check(doc.save(shown, header, error), "the document cannot be saved again", error.toLatin1());
    check(contents(setup.inputPath) == saved, "saving twice writes different bytes", saved);
    check(reopened.save(reopened.baseline(), header, error), "the reopened document cannot be saved", error.toLatin1());
    check(contents(setup.inputPath) == saved, "the reopened document saves different bytes", saved);
    return 0;
}
