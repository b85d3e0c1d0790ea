#pragma once

#include <malloc.h>

namespace varnel {

// A batch opens and saves thousands of documents, and every changed part is deflated with a fresh zlib
// state of about 270 KB. With glibc's defaults such blocks are mapped from the kernel, zeroed and handed
// back for every document, which costs a fifth of a .docx run. Keeping them in the heap lets the next
// document reuse the pages.
inline void tuneAllocatorForBatches()
{
    mallopt(M_MMAP_THRESHOLD, 4 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
}

} // namespace varnel
