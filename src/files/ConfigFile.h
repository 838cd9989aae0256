#pragma once

#include "clsKYR.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// The configuration file: Latin-1 text of "[SECTION]" lines, each followed by
// "name=value" lines. Sections and their rows may be partial and in any
// order; blank lines and lines starting with ";" are skipped; lines end with
// LF or CR LF. kyr7sim starts from such files and writes its saved state as
// one; kyr7ctl writes the configurations it fetches as one and reads them
// back.
//
// The reader takes only what it can take whole: every line it cannot apply
// exactly as written (an unknown section or name, a line without "=", a
// value that is not in its kind's text form, a setting given twice) is a
// problem with its line number and the reason, never a silently changed or
// dropped value.
class ConfigFile
{
public:
    // One setting given by a line of the file.
    struct Setting
    {
        Section section = Section::Kyr;
        int slot = 0;
        int row = 0;
        QString value;
        int line = 0;
    };
    // A line the reader refused; line 0 is the file as a whole.
    struct Problem
    {
        int line = 0;
        QString reason;
    };

    // The extension of configuration files. Files named otherwise (".cfg",
    // as kyr7ctl named them before) are read all the same.
    static constexpr char Extension[] = ".kyr7";

    // Larger files are refused unread: no configuration comes near it.
    static constexpr qint64 MaxSize = 16 * 1024 * 1024;
    // Problems kept with their reasons; further ones are only counted.
    static constexpr int MaxProblems = 100;

    static ConfigFile Parse(const QByteArray &text);
    // An unreadable or oversized file is one problem at line 0.
    static ConfigFile Read(const QString &path);

    const std::vector<Setting> &settings() const { return givenSettings; }
    const std::vector<Problem> &problems() const { return foundProblems; }
    // Every problem, also those beyond MaxProblems.
    int problemCount() const { return totalProblems; }
    bool ok() const { return totalProblems == 0; }
    // "NAME:LINE: reason" for each kept problem, then a count of the rest.
    QStringList messages(const QString &name) const;

    // Stores every setting with the model's conversion of its kind.
    void applyTo(clsKYR &kyr) const;
    // True when the file gives this row of this section.
    bool gives(Section section, int slot, int row) const;

    // Which rows a file written from a model gives; every row when empty.
    using RowFilter = std::function<bool(Section section, int slot, int row)>;

    // Every defined row of every section (or those the filter keeps; a
    // section without any is left out), in table order. A value's CR and LF
    // are left out, as they are on the wire, so that one row stays one line.
    // comments are written first, each as a ";" line.
    static QByteArray Text(const clsKYR &kyr, const QStringList &comments = {}, const RowFilter &rows = {});
    // Writes Text() atomically; false with a description on failure.
    static bool Write(const QString &path, const clsKYR &kyr, QString &error, const QStringList &comments = {},
                      const RowFilter &rows = {});

    // The comment lines a written file starts with: what it holds (Identity(),
    // or what stands for it when the file gives no identity), where it came
    // from ("fetched from lan:10.0.0.7", "saved from unit.kyr7"), when, and by
    // which program ("kyr7ctl 1.7").
    static QStringList Header(const QString &holds, const QString &origin, const QDateTime &when,
                              const QString &program);
    // "KYR7 12345, software 36-47215-01 rev. G".
    static QString Identity(const clsKYR &kyr);

    // Why a value is not in the text form of its kind, or empty text when it is.
    static QString ValueProblem(int kind, const QString &value);

private:
    void addProblem(int line, const QString &reason);
    static int Key(Section section, int slot, int row);

    std::vector<Setting> givenSettings;
    QHash<int, int> lineOfSetting; // by Key()
    std::vector<Problem> foundProblems;
    int totalProblems = 0;
};
