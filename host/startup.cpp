// Library start-up and the entries of the name and system utilities.
#include "editor/editor_state.h"
#include "explorer/explorer_state.h"
#include "host/entry.h"
#include "host/utility_exports.h"
#include "print/print_state.h"

namespace kv::entry {

void libraryStartup() {
    explorer::setDefaults();
    print::setDefaults();
    editor::setDefaults();
}

void ShortToLongName95() { kv::ShortToLongName95(); }
void RenameShort2Long95() { kv::RenameShort2Long95(); }
uint32_t GetFreePageMem95() { return kv::GetFreePageMem95(); }
int32_t GDIflush95() { return kv::GDIflush95(); }

}  // namespace kv::entry
