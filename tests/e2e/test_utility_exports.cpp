// The four utility exports on real files and the real settings file: long and short names,
// renaming in place, free paging-file memory and the drawing flush.
#include <gtest/gtest.h>

#include "tests/e2e/kit/kit.h"

namespace kit = kv::kit;

namespace {

using VoidExport = void(WINAPI*)();
using U32Export = uint32_t(WINAPI*)();

void callVoid(const char* name) {
    auto fn = reinterpret_cast<VoidExport>(kit::exportAddress(name));
    ASSERT_NE(fn, nullptr) << name;
    fn();
}

uint32_t callU32(const char* name) {
    auto fn = reinterpret_cast<U32Export>(kit::exportAddress(name));
    if (!fn) {
        ADD_FAILURE() << name << " is not exported";
        return 0;
    }
    return fn();
}

std::string contents(const std::string& path) {
    std::string b;
    return kit::readFile(path, b) ? b : "<missing>";
}

class UtilityExports : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(kit::dll(), nullptr) << "cannot load " << kit::dllPath();
        for (const char* k : {"SaveName", "LongName", "Win95Tmp", "SaveAs"}) kit::deleteKey(k);
    }
    void TearDown() override {
        for (const char* k : {"SaveName", "LongName", "Win95Tmp", "SaveAs"}) kit::deleteKey(k);
    }
    kit::TempFolder folder;
};

TEST_F(UtilityExports, ShortToLongNameFindsTheLongNameOrGivesTheNamePart) {
    // No SaveName at all: the default "ERROR" names no file.
    callVoid("ShortToLongName95");
    EXPECT_EQ(kit::readKey("LongName"), "ERROR");

    const std::string file = folder.writeFile("Holiday picture.bmp", "BM");
    const std::string shortName = kit::shortPath(file);
    ASSERT_NE(shortName, file) << "the file system gave no short name";
    kit::writeKey("SaveName", shortName);
    callVoid("ShortToLongName95");
    EXPECT_EQ(kit::readKey("LongName"), "Holiday picture.bmp");

    kit::writeKey("SaveName", folder.file("Not Here.BMP"));
    callVoid("ShortToLongName95");
    EXPECT_EQ(kit::readKey("LongName"), "Not Here.BMP");
}

TEST_F(UtilityExports, RenameGivesAShortNamedFileItsLongName_TakenOrMissingNamesChangeNothing) {
    // Named by its short path; two dots inside the new name stay in the folder.
    int n = 0;
    for (const std::string name : {"Holiday picture 1999.bmp", "Summer..2024.jpg"}) {
        const std::string tmp = folder.writeFile("KVR0000" + std::to_string(++n) + ".TMP", name);
        kit::writeKey("Win95Tmp", kit::shortPath(tmp));
        kit::writeKey("SaveAs", name);
        callVoid("RenameShort2Long95");
        EXPECT_FALSE(kit::fileExists(tmp)) << name;
        EXPECT_EQ(contents(folder.file(name)), name);
    }
    // A name already taken: both files stay as they were.
    const std::string tmp = folder.writeFile("KVR00003.TMP", "new");
    kit::writeKey("Win95Tmp", tmp);
    kit::writeKey("SaveAs", "Holiday picture 1999.bmp");
    callVoid("RenameShort2Long95");
    EXPECT_EQ(contents(tmp), "new");
    EXPECT_EQ(contents(folder.file("Holiday picture 1999.bmp")), "Holiday picture 1999.bmp");
    // No new name, or no source: nothing happens.
    kit::writeKey("SaveAs", "");
    callVoid("RenameShort2Long95");
    EXPECT_TRUE(kit::fileExists(tmp));
    kit::writeKey("Win95Tmp", folder.file("KVR00009.TMP"));
    kit::writeKey("SaveAs", "Gone.bmp");
    callVoid("RenameShort2Long95");
    EXPECT_FALSE(kit::fileExists(folder.file("Gone.bmp")));
}

TEST_F(UtilityExports, RenameRefusesNamesThatLeaveTheFolder) {
    kit::TempFolder outside("Kavrin rename target");
    CreateDirectoryA(folder.file("sub").c_str(), nullptr);
    const std::string tmp = folder.writeFile("KVR00001.TMP", "x");
    kit::writeKey("Win95Tmp", tmp);
    const std::string outsideName = outside.path().substr(outside.path().rfind('\\') + 1);
    const std::string outsideFile = outside.file("escaped.bmp");
    const std::string names[] = {
        "..\\" + outsideName + "\\escaped.bmp",
        "../" + outsideName + "/escaped.bmp",
        "sub\\moved.bmp",
        outsideFile,  // a full path: drive, colon and backslashes
        "c:escaped.bmp",
        "..",
        "...",
    };
    for (const std::string& n : names) {
        kit::writeKey("SaveAs", n);
        callVoid("RenameShort2Long95");
        EXPECT_TRUE(kit::fileExists(tmp)) << n;
        EXPECT_FALSE(kit::fileExists(outsideFile)) << n;
        EXPECT_FALSE(kit::fileExists(folder.file("sub\\moved.bmp"))) << n;
    }
}

TEST_F(UtilityExports, FreePageMemoryMatchesTheGlobalMemoryStatus) {
    const uint32_t ours = callU32("GetFreePageMem95");
    MEMORYSTATUS ms = {};
    ms.dwLength = sizeof ms;
    GlobalMemoryStatus(&ms);
    EXPECT_NE(ours, 0u);
    // The figure moves a little between two calls; allow 64 MB.
    const double diff = static_cast<double>(ours) - static_cast<double>(ms.dwAvailPageFile);
    EXPECT_LT(diff < 0 ? -diff : diff, 64.0 * 1024 * 1024)
        << "ours " << ours << ", platform " << ms.dwAvailPageFile;
}

TEST_F(UtilityExports, DrawingFlushSucceeds) {
    EXPECT_EQ(callU32("GDIflush95"), 1u);
}

}  // namespace
