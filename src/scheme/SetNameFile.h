#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tintaro {

// "set.dat": one colour-set name a line, each written between two double
// quotes and ended by CR LF, 8-bit text in the locale's encoding.
class SetNameFile
{
public:
    struct LoadResult
    {
        bool ok = false;    // false: the file could not be opened for reading
        QStringList names;  // one entry per line, in file order
        QString error;      // why it failed, for the user
    };

    // Every line gives one entry, so that list positions stay in step with
    // the records of "colorset.dat"; a line shorter than two characters
    // gives an empty name. Lines end in CR LF; a bare LF is accepted too.
    static LoadResult load(const QString& fileName);

    // Drops the first and the last character (the quotes) and decodes the rest.
    static QString nameFromLine(const QByteArray& line);
};

} // namespace tintaro
