// A host linked against one of the kit's import libraries (built twice: the mingw-w64 one and
// the one for the platform vendor's linker). Each of the sixteen imports must be the DLL's own
// export and remove exactly the bytes of its arguments; a few calls through the header's
// prototypes give their documented answers. Exit status 0 when everything holds.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "kavrin.h"
#include "tests/e2e/kit/kit.h"

namespace kit = kv::kit;

namespace {

int g_failures = 0;

void check(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) ++g_failures;
}

struct Import {
    FARPROC address;     // as this program's linker resolved it
    uint32_t declared;   // bytes of the arguments the header declares
};

template <class R, class... A>
Import imported(R(KAVRIN_CALL* fn)(A...)) {
    static_assert(((sizeof(A) == 4) && ...), "every argument is 32 bits");
    return {reinterpret_cast<FARPROC>(fn), static_cast<uint32_t>(4 * sizeof...(A))};
}

// The sixteen imports by export name.
std::map<std::string, Import> imports() {
    return {
        {"EditorWin95", imported(&EditorWin95)},
        {"RemoteWin95", imported(&RemoteWin95)},
        {"RemoteWinClose95", imported(&RemoteWinClose95)},
        {"RemoteWinHide95", imported(&RemoteWinHide95)},
        {"RemoteWinUpdate95", imported(&RemoteWinUpdate95)},
        {"RemoteDlg95", imported(&RemoteDlg95)},
        {"VideoWinPlayer95", imported(&VideoWinPlayer95)},
        {"VideoWinStatus95", imported(&VideoWinStatus95)},
        {"VideoWinClose95", imported(&VideoWinClose95)},
        {"PrintDlg95", imported(&PrintDlg95)},
        {"PrintEnd95", imported(&PrintEnd95)},
        {"PrintCheck95", imported(&PrintCheck95)},
        {"ShortToLongName95", imported(&ShortToLongName95)},
        {"RenameShort2Long95", imported(&RenameShort2Long95)},
        {"GetFreePageMem95", imported(&GetFreePageMem95)},
        {"GDIflush95", imported(&GDIflush95)},
    };
}

}  // namespace

int main() {
    HMODULE dll = GetModuleHandleA(KAVRIN_DLL_NAME);
    check(dll != nullptr, std::string(KAVRIN_DLL_NAME) + " loaded with the program");
    if (!dll) return 1;

    // Direct calls through the prototypes, before any window exists.
    check(PrintCheck95() == 0, "PrintCheck95() == 0");
    check(VideoWinStatus95() == 0, "VideoWinStatus95() == 0");
    check(GetFreePageMem95() > 0, "GetFreePageMem95() > 0");
    PrintDlg95(nullptr, 0, 0, 1);  // a picture of no size opens nothing
    check(PrintCheck95() == 0, "PrintDlg95 with a size of 0 opens nothing");

    // Every import is the export of that name and keeps the stack: called with the arguments
    // the export test uses, windows the calls open cancelled like a user would.
    const std::map<std::string, std::vector<uint32_t>> args = {
        {"RemoteWin95", {0, 0}},
        {"RemoteDlg95", {9999, 0}},
        {"VideoWinPlayer95", {0, 0, 0}},
        {"PrintDlg95", {0, 640, 480, 1}},
    };
    const std::map<std::string, Import> linked = imports();
    kit::ModalCloser closer;
    for (const kit::ExportInfo& e : kit::contractExports()) {
        const auto it = linked.find(e.name);
        check(it != linked.end() && it->second.address == GetProcAddress(dll, e.name),
              std::string(e.name) + " is imported from the DLL's export of that name");
        if (it == linked.end()) continue;
        check(it->second.declared == e.argBytes, std::string(e.name) + " is declared with " +
                                                     std::to_string(e.argBytes) + " bytes of arguments");
        const auto a = args.find(e.name);
        const std::vector<uint32_t> v = a == args.end() ? std::vector<uint32_t>{} : a->second;
        kit::WatchdogScope watch(e.name, 30000);
        const uint32_t removed = kit::stackBytesRemoved(it->second.address, v.data(), static_cast<uint32_t>(v.size()));
        check(removed == e.argBytes, std::string(e.name) + " removes " + std::to_string(e.argBytes) +
                                         " bytes (removed " + std::to_string(removed) + ")");
    }
    kit::pumpMessages(200);
    kit::cancelProcessWindows();
    std::printf("%d failure(s)\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}
