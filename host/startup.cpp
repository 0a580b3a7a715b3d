// Library start-up and the entries of the name and system utilities.
#include "editor/editor_state.h"
#include "explorer/explorer_state.h"
#include "host/entry.h"
#include "print/print_state.h"

#if __has_include("host/utility_exports.h")
#include "host/utility_exports.h"
#define KV_HAVE_UTILITY_EXPORTS 1
#endif

namespace kv::entry {

void libraryStartup() {
    explorer::setDefaults();
    print::setDefaults();
    editor::setDefaults();
}

#ifdef KV_HAVE_UTILITY_EXPORTS
void ShortToLongName95() { kv::ShortToLongName95(); }
void RenameShort2Long95() { kv::RenameShort2Long95(); }
uint32_t GetFreePageMem95() { return kv::GetFreePageMem95(); }
int32_t GDIflush95() { return kv::GDIflush95(); }
#else
// The name utilities are being built in host/utility_exports; until they arrive these four
// do nothing and report 0.
void ShortToLongName95() {}
void RenameShort2Long95() {}
uint32_t GetFreePageMem95() { return 0; }
int32_t GDIflush95() { return 0; }
#endif

}  // namespace kv::entry
