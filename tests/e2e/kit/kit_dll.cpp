#include <cstdlib>

#include "tests/e2e/kit/kit.h"

// Pushes the arguments right to left, calls, and measures the stack pointer around the call.
// EDI and EBP are preserved by any well-behaved callee, so the frame is restored from EBP
// even when the callee removed the wrong number of bytes.
asm(R"(
    .text
    .globl _kv_stack_probe
    .def _kv_stack_probe; .scl 2; .type 32; .endef
_kv_stack_probe:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl 16(%ebp), %ecx
    movl 12(%ebp), %esi
1:  testl %ecx, %ecx
    jz 2f
    pushl -4(%esi,%ecx,4)
    decl %ecx
    jmp 1b
2:  movl %esp, %edi
    call *8(%ebp)
    movl %esp, %ecx
    subl %edi, %ecx
    movl 20(%ebp), %edx
    testl %edx, %edx
    jz 3f
    movl %eax, (%edx)
3:  movl %ecx, %eax
    leal -12(%ebp), %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

extern "C" uint32_t kv_stack_probe(FARPROC fn, const uint32_t* args, uint32_t nargs, uint32_t* result);

namespace kv::kit {

namespace {

std::string programFolder() {
    char buf[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    std::string p(buf, n);
    const size_t cut = p.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : p.substr(0, cut + 1);
}

template <class T>
const T* at(HMODULE module, DWORD rva) {
    return reinterpret_cast<const T*>(reinterpret_cast<const BYTE*>(module) + rva);
}

const IMAGE_DATA_DIRECTORY* directory(HMODULE module, int index) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    if (!module || dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    const auto* nt = at<IMAGE_NT_HEADERS32>(module, static_cast<DWORD>(dos->e_lfanew));
    if (nt->Signature != IMAGE_NT_SIGNATURE || nt->OptionalHeader.NumberOfRvaAndSizes <= DWORD(index))
        return nullptr;
    const IMAGE_DATA_DIRECTORY* d = &nt->OptionalHeader.DataDirectory[index];
    return d->VirtualAddress != 0 ? d : nullptr;
}

}  // namespace

std::string dllPath() {
    const char* env = std::getenv("KV_DLL");
    if (env && *env) return env;
    return programFolder() + "w95KVR07.dll";
}

HMODULE dll() {
    static HMODULE module = LoadLibraryA(dllPath().c_str());
    return module;
}

FARPROC exportAddress(const char* name) {
    HMODULE m = dll();
    return m ? GetProcAddress(m, name) : nullptr;
}

std::vector<std::string> exportNames(HMODULE module) {
    std::vector<std::string> names;
    const IMAGE_DATA_DIRECTORY* d = directory(module, IMAGE_DIRECTORY_ENTRY_EXPORT);
    if (!d) return names;
    const auto* ex = at<IMAGE_EXPORT_DIRECTORY>(module, d->VirtualAddress);
    const auto* rvas = at<DWORD>(module, ex->AddressOfNames);
    for (DWORD i = 0; i < ex->NumberOfNames; ++i) names.emplace_back(at<char>(module, rvas[i]));
    // Functions reachable only by ordinal show up as unnamed entries.
    for (DWORD i = ex->NumberOfNames; i < ex->NumberOfFunctions; ++i) names.emplace_back("#ordinal");
    return names;
}

std::vector<std::string> importedDlls(HMODULE module) {
    std::vector<std::string> names;
    const IMAGE_DATA_DIRECTORY* d = directory(module, IMAGE_DIRECTORY_ENTRY_IMPORT);
    if (!d) return names;
    for (const auto* im = at<IMAGE_IMPORT_DESCRIPTOR>(module, d->VirtualAddress); im->Name != 0; ++im)
        names.emplace_back(at<char>(module, im->Name));
    return names;
}

uint32_t stackBytesRemoved(FARPROC fn, const uint32_t* args, uint32_t nargs, uint32_t* result) {
    return kv_stack_probe(fn, args, nargs, result);
}

const std::vector<ExportInfo>& contractExports() {
    static const std::vector<ExportInfo> list = {
        {"EditorWin95", 0},       {"RemoteWin95", 8},        {"RemoteWinClose95", 0},
        {"RemoteWinHide95", 0},   {"RemoteWinUpdate95", 0},  {"RemoteDlg95", 8},
        {"VideoWinPlayer95", 12}, {"VideoWinStatus95", 0},   {"VideoWinClose95", 0},
        {"PrintDlg95", 16},       {"PrintEnd95", 0},         {"PrintCheck95", 0},
        {"ShortToLongName95", 0}, {"RenameShort2Long95", 0}, {"GetFreePageMem95", 0},
        {"GDIflush95", 0},
    };
    return list;
}

}  // namespace kv::kit
