// "set.dat", the colour-set names, loaded as at start-up.
#include "Fuzz.h"
#include "SetNameFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    putFile("set.dat", startInput(data, size));
    if (!tintaro::SetNameFile::load("set.dat").ok)
        std::abort();
    return 0;
}
