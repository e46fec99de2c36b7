#pragma once

namespace tintaro {

// Hands memory that the program has freed back to the operating system.
// A screen image passes through several full-size buffers on its way to
// the picking window; some C libraries keep such blocks for later use,
// which would leave a session holding the image twice.
void releaseFreedMemory();

} // namespace tintaro
