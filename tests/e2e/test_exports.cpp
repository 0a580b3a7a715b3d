// The DLL as a host meets it: the export table, the calling conventions, and calls with bad
// arguments and bad settings that must neither crash nor hang.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "tests/e2e/kit/kit.h"

namespace kit = kv::kit;

namespace {

std::string lowerCase(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Calls an export with the given 32-bit arguments and returns its EAX; checks on the way that
// it removed exactly the bytes of its arguments.
uint32_t call(const char* name, std::vector<uint32_t> args = {}) {
    FARPROC fn = kit::exportAddress(name);
    if (!fn) {
        ADD_FAILURE() << name << " is not exported";
        return 0;
    }
    uint32_t result = 0;
    const uint32_t removed = kit::stackBytesRemoved(fn, args.data(), static_cast<uint32_t>(args.size()), &result);
    EXPECT_EQ(removed, 4 * args.size()) << name;
    return result;
}

int32_t signedCall(const char* name, std::vector<uint32_t> args = {}) {
    return static_cast<int32_t>(call(name, std::move(args)));
}

enum class Which { All, WithArguments };

// Calls every export (or only those that take arguments) once with the given handle and sizes;
// windows the calls leave open are cancelled like a user would.
void callEveryExport(uint32_t window, uint32_t a, uint32_t b, Which which = Which::All) {
    kit::ModalCloser closer;
    for (const kit::ExportInfo& e : kit::contractExports()) {
        if (which == Which::WithArguments && e.argBytes == 0) continue;
        std::vector<uint32_t> args;
        if (e.argBytes == 8) args = {window, a};
        if (e.argBytes == 12) args = {window, a, b};
        if (e.argBytes == 16) args = {window, a, b, a};
        if (std::string(e.name) == "RemoteDlg95") args = {a, b};
        kit::WatchdogScope watch(e.name, 20000);
        call(e.name, args);
    }
    kit::cancelProcessWindows();
    kit::pumpMessages(100);
}

class Exports : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(kit::dll(), nullptr) << "cannot load " << kit::dllPath(); }
};

TEST_F(Exports, TableHoldsExactlyTheSixteenPlainNames) {
    std::vector<std::string> names = kit::exportNames(kit::dll());
    std::vector<std::string> expected;
    for (const kit::ExportInfo& e : kit::contractExports()) expected.emplace_back(e.name);
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    for (const std::string& n : names) EXPECT_EQ(n.find('@'), std::string::npos) << n;
}

TEST_F(Exports, ImportsOnlySystemLibraries) {
    const std::set<std::string> allowed = {"kernel32.dll", "user32.dll",   "gdi32.dll",    "comdlg32.dll",
                                           "comctl32.dll", "winmm.dll",    "winspool.drv", "shell32.dll",
                                           "advapi32.dll", "msvcrt.dll"};
    const std::vector<std::string> dlls = kit::importedDlls(kit::dll());
    EXPECT_FALSE(dlls.empty());
    for (const std::string& d : dlls) EXPECT_TRUE(allowed.count(lowerCase(d))) << d;
}

TEST_F(Exports, EachRemovesExactlyItsArgumentBytes) {
    // Harmless arguments: no window handle, the size of a real picture, "no enhance".
    const std::map<std::string, std::vector<uint32_t>> args = {
        {"RemoteWin95", {0, 0}},
        {"RemoteDlg95", {9999, 0}},
        {"VideoWinPlayer95", {0, 0, 0}},
        {"PrintDlg95", {0, 640, 480, 1}},
    };
    kit::ModalCloser closer;
    for (const kit::ExportInfo& e : kit::contractExports()) {
        const auto it = args.find(e.name);
        const std::vector<uint32_t> a = it == args.end() ? std::vector<uint32_t>{} : it->second;
        ASSERT_EQ(e.argBytes, 4 * a.size()) << e.name;
        FARPROC fn = kit::exportAddress(e.name);
        ASSERT_NE(fn, nullptr) << e.name;
        kit::WatchdogScope watch(e.name, 20000);
        EXPECT_EQ(kit::stackBytesRemoved(fn, a.data(), static_cast<uint32_t>(a.size())), e.argBytes) << e.name;
    }
    // The print dialog that PrintDlg95 opened is closed by PrintEnd95 and goes with the
    // messages that follow.
    kit::pumpMessages(200);
    EXPECT_EQ(signedCall("PrintCheck95"), 0);
}

TEST_F(Exports, ProbeTellsStandardCallFromCCall) {
    // The measurement itself: a platform function of each convention.
    const uint32_t stdArgs[] = {0};
    EXPECT_EQ(kit::stackBytesRemoved(reinterpret_cast<FARPROC>(&IsWindow), stdArgs, 1), 4u);
    HMODULE crt = GetModuleHandleA("msvcrt.dll");
    ASSERT_NE(crt, nullptr);
    const uint32_t absArgs[] = {static_cast<uint32_t>(-5)};
    uint32_t result = 0;
    EXPECT_EQ(kit::stackBytesRemoved(GetProcAddress(crt, "abs"), absArgs, 1, &result), 0u);
    EXPECT_EQ(result, 5u);
}

TEST_F(Exports, WindowCommandsBeforeAnyWindowDoNothing) {
    call("RemoteWinClose95");
    call("RemoteWinHide95");
    call("RemoteWinUpdate95");
    call("PrintEnd95");
    EXPECT_EQ(signedCall("PrintCheck95"), 0);
    EXPECT_EQ(signedCall("VideoWinStatus95"), 0);
    call("VideoWinClose95");
    EXPECT_EQ(signedCall("VideoWinStatus95"), 0);
}

TEST_F(Exports, WindowsNotBuiltOrWithoutAFileAnswerTheirRefusal) {
    // No SaveName: the player reports the media error (the closer answers it) and says 0.
    kit::deleteKey("SaveName");
    kit::ModalCloser closer;
    // The explorer dialog opens; the closer cancels it as a user would.
    EXPECT_EQ(signedCall("RemoteDlg95", {253, 0}), -1);
    EXPECT_EQ(signedCall("VideoWinPlayer95", {0, 1, 8}), 0);
    EXPECT_GE(closer.windowsCancelled(), 1);
    EXPECT_EQ(signedCall("VideoWinStatus95"), 0);
}

TEST_F(Exports, BadHandlesAndSizesNeitherCrashNorHang) {
    const uint32_t invalidWindow = 0xDEADBEEF;
    const uint32_t minus = static_cast<uint32_t>(-1);
    callEveryExport(0, 0, 0);
    callEveryExport(invalidWindow, minus, minus, Which::WithArguments);
    callEveryExport(invalidWindow, 0x80000000u, 0x7FFFFFFFu, Which::WithArguments);
    callEveryExport(0, static_cast<uint32_t>(-640), 0xFFFF0008u, Which::WithArguments);
    // The library is still in working order afterwards.
    EXPECT_EQ(signedCall("PrintCheck95"), 0);
}

class BadSettings : public Exports {
protected:
    void SetUp() override {
        Exports::SetUp();
        kit::clearSection();
    }
    void TearDown() override { kit::clearSection(); }

    // The keys the exports read, all set to one value.
    void setAll(const std::string& value) {
        for (const char* key : {"SaveName", "SaveAs", "Win95Tmp", "AVLFIL", "AVLTMP", "AppDir", "BMP",
                                "SafePLAY", "LastDir", "SavePath", "bWinT", "bWinL", "bWinW", "bWinH"})
            kit::writeKey(key, value);
    }
};

TEST_F(BadSettings, KeysWrittenAreReadBackThroughTheProfileApi) {
    kit::writeKey("SaveName", "c:\\some where\\Long picture name.jpeg");
    kit::writeKey("SafePLAY", "1");
    EXPECT_EQ(kit::readKey("SaveName"), "c:\\some where\\Long picture name.jpeg");
    EXPECT_EQ(kit::readIntKey("SafePLAY", 0), 1);
    const std::vector<std::string> keys = kit::sectionKeys();
    EXPECT_EQ(keys, (std::vector<std::string>{"SaveName", "SafePLAY"}));
}

TEST_F(BadSettings, MissingKeysLongValuesAndGarbageNumbers) {
    callEveryExport(0, 0, 0);
    EXPECT_EQ(signedCall("VideoWinStatus95"), 0);
    for (const std::string& v : {std::string(2000, 'x'), "c:\\" + std::string(2000, 'y') + "\\z.avl"}) {
        setAll(v);
        callEveryExport(0, 1, 1);
    }
    for (const char* v : {"0xZZ", "-99999999999999999999", " 12$"}) {
        setAll(v);
        callEveryExport(0, 8, 8);
    }
}

TEST_F(BadSettings, PathsThatAreFolders) {
    // A rename of the folder named by Win95Tmp stays inside the temporary folder.
    kit::TempFolder folder;
    const std::string inner = folder.file("inner folder");
    ASSERT_TRUE(CreateDirectoryA(inner.c_str(), nullptr));
    setAll(folder.path());
    kit::writeKey("Win95Tmp", inner);
    kit::writeKey("SaveAs", "renamed folder");
    callEveryExport(0, 0, 0);
    setAll(folder.path() + "\\");
    kit::writeKey("Win95Tmp", inner + "\\");
    callEveryExport(0, 0, 0);
}

TEST_F(BadSettings, SettingsFileThatIsAFolder) {
    kit::flushSettings();
    const std::string ini = kit::settingsPath();
    const std::string aside = ini + ".e2e-aside";
    DeleteFileA(aside.c_str());
    const bool hadFile = kit::fileExists(ini);
    if (hadFile) {
        ASSERT_TRUE(MoveFileA(ini.c_str(), aside.c_str()));
    }
    ASSERT_TRUE(CreateDirectoryA(ini.c_str(), nullptr));

    callEveryExport(0, 0, 0);

    kit::flushSettings();
    kit::removeTree(ini);
    if (hadFile) MoveFileA(aside.c_str(), ini.c_str());
    EXPECT_FALSE(kit::fileExists(aside));
}

}  // namespace
