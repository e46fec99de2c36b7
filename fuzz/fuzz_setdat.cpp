// "set.dat", the colour-set names, loaded as at start-up.
#include "Fuzz.h"
#include "SetNameFile.h"

void fuzz(const QByteArray& input)
{
    putFile("set.dat", input);
    MUST(tintaro::SetNameFile::load("set.dat").ok);
}
