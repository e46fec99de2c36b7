#include "ReleaseMemory.h"

#include <malloc.h>

namespace tintaro {

void releaseFreedMemory()
{
    malloc_trim(0);
}

} // namespace tintaro
