#pragma once

#include "ColorRecord.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

namespace tintaro {

class PaletteFile;

// Rebuilds the user's colour file from the records it keeps (deleting a
// colour, cleaning duplicates): the kept records, in their order, replace the
// file in one step and the file is opened again on the new content.
class RecordRewriter
{
public:
    struct Result
    {
        // false: nothing changed, unless the file could not be opened again
        // after the replacement (then written is set and the file is closed).
        bool ok = false;
        std::int32_t written = 0; // records in the new file
        QString error;            // why it failed, for the user
    };

    // n is the record's number in the old file, 1-based.
    using KeepPredicate = std::function<bool(std::int32_t n, const ColorRecord& record)>;

    // Asks `keep` about records 1..count of the open, writable `file`, in
    // order, and copies the kept ones byte for byte, damaged ones included.
    // Anything past record `count`, such as a partial record, is dropped.
    // `appended`, whole records, follows the kept ones (an import).
    static Result rewrite(PaletteFile& file, std::int32_t count, const KeepPredicate& keep,
                          const QByteArray& appended = {});
};

} // namespace tintaro
