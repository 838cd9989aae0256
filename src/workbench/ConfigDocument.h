#pragma once

#include "Configuration.h"
#include "clsKYR.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

// The configuration being edited, as a document: where it came from (a unit
// or a file), what it held then (the baseline the review compares with and
// the unsaved edits are told by), and which rows a file of it gives.
//
// A file may give only some settings (kyr7ctl and kyr7sim take such files).
// The rows it does not give are shown at their factory defaults, so that
// every editor works, and a save keeps the file partial: it writes the rows
// the file gave, every setting the operator changed, and each module the
// operator changed whole (all the rows a save to a unit sends of its stream),
// so that the module lands on a unit as it was shown.
class ConfigDocument
{
public:
    enum class Source { None, Unit, File };

    // The configuration a unit sent: every row given.
    void fromUnit(const clsKYR &retrieved);
    // Reads a configuration file. A file with any problem is refused whole
    // (problems as "NAME:LINE: reason"), and the document stays as it was.
    bool open(const QString &path, QStringList &problems);

    Source source() const { return from; }
    bool isFile() const { return from == Source::File; }
    QString path() const { return filePath; }
    // The file's name without its folder.
    QString fileName() const;
    // True when the file gives only some rows.
    bool partial() const { return !given.empty(); }
    // What the unit or the file held when retrieved, opened or last saved.
    const clsKYR &baseline() const { return base; }
    // True when some setting's text differs from the baseline's.
    bool modified(const clsKYR &current) const;

    // Whether a file written from current gives this row.
    bool writes(const clsKYR &current, Section section, int slot, int row) const;
    // The file text of current: the comments, then the rows it gives.
    QByteArray text(const clsKYR &current, const QStringList &comments) const;
    // Writes current to a file (atomically); false with the reason.
    bool write(const QString &path, const clsKYR &current, const QStringList &comments, QString &error) const;
    // Writes current to the document's own file, which then holds it.
    bool save(const clsKYR &current, const QStringList &comments, QString &error);

    // What current is as a configuration to apply to a unit: the rows a
    // file of it gives (all of them for a unit's).
    Configuration configuration(const clsKYR &current) const;

    // The comment lines a written file starts with: the unit's identity (when
    // known), where it came from, when and by what.
    QStringList header(const clsKYR &current, const QString &from, const QDateTime &when) const;

    // Every row at its definition default: what a file shows for the rows it
    // does not give.
    static clsKYR Factory();
    // The path with the configuration file extension when it has none.
    static QString WithExtension(const QString &path);
    // Position of a row among all rows of all sections.
    static int RowIndex(Section section, int slot, int row);

private:
    bool streamChanged(const clsKYR &current, int stream) const;

    Source from = Source::None;
    QString filePath;
    clsKYR base;
    std::vector<bool> given; // by RowIndex; empty when every row is given
};
