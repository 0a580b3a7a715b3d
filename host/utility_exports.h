// The four utility exports: name conversion and renaming through the settings file, the free
// paging-file memory and the flush of batched drawing calls.
#pragma once
#include <cstdint>

namespace kv {

// Writes LongName := the long name of the file that SaveName (default "ERROR") names, or the
// name part of SaveName when no such file exists.
void ShortToLongName95();
// Renames the file that Win95Tmp names to the name in SaveAs, in the same folder. Nothing
// happens when either is empty, when SaveAs would lead out of the folder (a backslash,
// slash, colon or ".."), or when a file of the new name exists.
void RenameShort2Long95();
// Free bytes of the paging file.
uint32_t GetFreePageMem95();
// 1 when the batched drawing calls were flushed, else 0.
int32_t GDIflush95();

}  // namespace kv
