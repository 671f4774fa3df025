// How the process asks the system for memory.
#pragma once

namespace kovan {

// Pictures and other large blocks get mappings of their own, which go back
// to the system the moment they are freed: a scene's pictures leave memory
// with the scene instead of leaving holes in the heap.
void KeepLargeBlocksApart();

// Gives the heap's free pages back to the system: for a moment when the
// program has nothing to do but wait.
void ReturnFreeMemory();

}  // namespace kovan
