#pragma once

#include "ColorSetRecord.h"

#include <QString>

#include <cstdint>

class QFile;

namespace tintaro {

// The saved colour sets, kept in two files of the current directory that
// agree by position: "set.dat" holds the names, one quoted line each (CR LF,
// the locale's 8-bit encoding), and "colorset.dat" the colours, record n
// (from 1) belonging to line n. List position p is line and record p + 1.
//
// Reading when the files disagree: nothing is repaired and no other set is
// touched. A name without its record, or with a record cut short, reads as
// a record whose missing fields are blank; a field that is not six
// hexadecimal digits gives no colour (ColorSetRecord::color()). Whoever
// shows the set leaves those colours as they are. Records past the last
// name are ignored; the next save overwrites the first of them.
//
// Crashes: saving writes the record first and appends the name last, so an
// interruption leaves at most a record past the names. Deleting rewrites
// both files under temporary names and commits by renaming "set.tmp" over
// "set.dat"; recover() finishes or undoes an interrupted deletion, so that
// the sets are always those from before or from after it.
class ColorSetStore
{
public:
    static constexpr const char* kNamesFile = "set.dat";
    static constexpr const char* kColoursFile = "colorset.dat";
    static constexpr const char* kNamesTemp = "set.tmp";
    static constexpr const char* kColoursTemp = "colorset.tmp";

    struct Result
    {
        bool ok = false;
        QString error; // why it failed, naming the file and the folder
        QString name;  // save: the name as "set.dat" gives it back
    };

    // Appends `name` as the last line of "set.dat" (both files are created
    // when missing) and writes `record` as record k, k being the number of
    // lines after the append. A last line without its line end gets one
    // first. Checks before writing anything that the folder and both files
    // can be written; on any failure both files are as they were.
    Result save(const QString& name, const ColorSetRecord& record);

    // The record of list position `position` (record position + 1), read as
    // the class comment says; a blank record when there is none.
    ColorSetRecord read(std::int32_t position) const;

    // Deletes the set at `position` from both files: every later set moves
    // up one. Recovers leftovers of an interrupted deletion first. On
    // failure both files are as they were.
    Result remove(std::int32_t position);

    // Finishes or undoes a deletion that was interrupted; run at start-up
    // before "set.dat" is read. Harmless when nothing was interrupted.
    static Result recover();

    // The file that holds the colours of the names in "set.dat": normally
    // "colorset.dat", but "colorset.tmp" after a deletion committed and
    // before its colours were renamed into place.
    static QString coloursFileInUse();

private:
    bool readyToWrite(const char* done, Result* result) const;
    static bool writeAll(QFile& file, const QByteArray& bytes, QString* why);
    static bool writeTemporary(const char* temporary, const char* target, const QByteArray& bytes,
                               QString* error);
};

} // namespace tintaro
