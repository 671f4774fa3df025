// How the process asks the system for memory.
#pragma once

namespace kovan {

// Pictures and other large blocks get mappings of their own, which go back
// to the system the moment they are freed: a scene's pictures leave memory
// with the scene instead of leaving holes in the heap.
void KeepLargeBlocksApart();

}  // namespace kovan
