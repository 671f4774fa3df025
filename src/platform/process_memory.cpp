#include "platform/process_memory.h"

#include <cstdlib>  // defines __GLIBC__ on the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kovan {

void KeepLargeBlocksApart() {
#if defined(__GLIBC__)
  // A fixed threshold: by default it grows with every large block freed,
  // after which pictures come from the heap and stay there.
  constexpr int kLargeBlockBytes = 256 * 1024;
  (void)mallopt(M_MMAP_THRESHOLD, kLargeBlockBytes);
#endif
}

void ReturnFreeMemory() {
#if defined(__GLIBC__)
  (void)malloc_trim(0);
#endif
}

}  // namespace kovan
