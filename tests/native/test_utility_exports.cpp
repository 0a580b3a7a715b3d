// The utility exports, with the settings file and the files on the simulated platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "framework/settings.h"
#include "framework/sim/sim_platform.h"
#include "host/utility_exports.h"

namespace {

namespace fsys = std::filesystem;

class UtilityExports : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fs.createDirectory("c:\\Photos 1999")); }
    void TearDown() override {
        EXPECT_TRUE(user.unexpected.empty()) << user.unexpected.front();
    }
    void set(const std::string& key, const std::string& value) {
        kv::IniFile("kavrin.ini").writeString("kavrin", key, value);
    }
    std::string get(const std::string& key) {
        return kv::IniFile("KAVRIN.INI").readString("kavrin", key, "<missing>");
    }
    std::string read(const std::string& path) {
        std::string b;
        return fs.readFile(path, b) ? b : "<missing>";
    }
    std::vector<std::string> everything() {  // every host file below drive C:, sorted
        std::vector<std::string> r;
        for (auto& e : fsys::recursive_directory_iterator(sim.root())) {
            std::string rel = fsys::relative(e.path(), sim.root()).string();
            if (rel.rfind("WINDOWS", 0) != 0) r.push_back(rel);  // the settings file's folder
        }
        std::sort(r.begin(), r.end());
        return r;
    }

    kv::SimPlatform sim;
    kv::SimFileSystem& fs = sim.fs;
    kv::SimUser& user = sim.user;
    kv::SimSystem& system = sim.system;
};

TEST_F(UtilityExports, ShortToLongNameWritesTheLongNameOfTheFile) {
    kv::ShortToLongName95();  // without SaveName
    EXPECT_EQ(get("LongName"), "ERROR");
    ASSERT_TRUE(fs.writeFileAtomic("c:\\Photos 1999\\Holiday picture.bmp", "x"));
    ASSERT_TRUE(fs.writeFileAtomic("c:\\Photos 1999\\README.TXT", "x"));

    set("SaveName", *fs.shortPath("c:\\Photos 1999\\Holiday picture.bmp"));
    ASSERT_EQ(get("SaveName"), "c:\\PHOTOS~1\\HOLIDA~1.BMP");
    kv::ShortToLongName95();
    EXPECT_EQ(get("LongName"), "Holiday picture.bmp");

    // The entry's name as stored, not lower-cased.
    set("Savename", "c:\\photos~1\\readme.txt");
    kv::ShortToLongName95();
    EXPECT_EQ(get("LongName"), "README.TXT");

    // No such file: the name part of what was read, as it was written.
    set("SaveName", "c:\\PHOTOS~1\\Not There.BMP");
    kv::ShortToLongName95();
    EXPECT_EQ(get("LongName"), "Not There.BMP");
}

TEST_F(UtilityExports, ShortToLongNameReportsARefusedWrite) {
    fs.setDiskFull(true);
    user.answer("Unable to write to kavrin.ini", kv::ModalResult::OK);
    kv::ShortToLongName95();  // nothing escapes to the host
    ASSERT_EQ(user.dialogs.size(), 1u);
    EXPECT_EQ(user.dialogs[0].kind, kv::DialogKind::Error);
}

TEST_F(UtilityExports, RenameGivesTheFileItsLongNameInTheSameFolder) {
    ASSERT_TRUE(fs.writeFileAtomic("c:\\Photos 1999\\KVR00001.TMP", "picture bytes"));
    set("Win95Tmp", "c:\\PHOTOS~1\\KVR00001.TMP");
    set("SaveAs", "Holiday picture.bmp");
    kv::RenameShort2Long95();
    EXPECT_FALSE(fs.exists("c:\\Photos 1999\\KVR00001.TMP"));
    auto e = fs.findEntry("c:\\Photos 1999\\Holiday picture.bmp");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->longName, "Holiday picture.bmp");
    EXPECT_EQ(read("c:\\PHOTOS~1\\HOLIDA~1.BMP"), "picture bytes");
}

TEST_F(UtilityExports, RenameLeavesBothFilesWhenTheNameIsTaken) {
    ASSERT_TRUE(fs.writeFileAtomic("c:\\Photos 1999\\KVR00001.TMP", "new"));
    ASSERT_TRUE(fs.writeFileAtomic("c:\\Photos 1999\\Holiday picture.bmp", "old"));
    set("Win95Tmp", "c:\\PHOTOS~1\\KVR00001.TMP");
    set("SaveAs", "HOLIDAY PICTURE.BMP");
    kv::RenameShort2Long95();
    EXPECT_EQ(read("c:\\Photos 1999\\KVR00001.TMP"), "new");
    EXPECT_EQ(read("c:\\Photos 1999\\Holiday picture.bmp"), "old");
}

TEST_F(UtilityExports, RenameDoesNothingWithoutSourceOrNameOrForANameThatLeavesTheFolder) {
    ASSERT_TRUE(fs.createDirectory("c:\\Photos 1999\\sub"));
    ASSERT_TRUE(fs.writeFileAtomic("c:\\Photos 1999\\KVR00001.TMP", "x"));
    const auto before = everything();
    const std::string tmp = "c:\\PHOTOS~1\\KVR00001.TMP";
    std::vector<std::pair<std::string, std::string>> cases = {
        {"c:\\PHOTOS~1\\KVR00002.TMP", "Holiday picture.bmp"},  // no such file
        {"", "Holiday picture.bmp"},
        {tmp, ""},
    };
    for (const char* name : {"..\\escaped.bmp", "sub\\moved.bmp", "\\root.bmp", "c:escaped.bmp",
                             "c:\\escaped.bmp", "d:\\escaped.bmp", "../escaped.bmp", "..", ".", "...",
                             "sub/moved.bmp", "sub\\..", ". .", "\\\\server\\share\\x.bmp"})
        cases.emplace_back(tmp, name);
    for (const auto& [source, name] : cases) {
        set("Win95Tmp", source);
        set("SaveAs", name);
        kv::RenameShort2Long95();
        EXPECT_EQ(everything(), before) << source << " -> " << name;
    }
}

// Two dots inside a name, at its start or at its end do not leave the folder.
TEST_F(UtilityExports, RenameKeepsNamesWithDotsThatStayInTheFolder) {
    int n = 0;
    for (const char* name : {"Summer..2024.jpg", "a..b.bmp", "..hidden.bmp", "end...bmp"}) {
        const std::string tmp = "c:\\Photos 1999\\KVR0000" + std::to_string(++n) + ".TMP";
        ASSERT_TRUE(fs.writeFileAtomic(tmp, name));
        set("Win95Tmp", tmp);
        set("SaveAs", name);
        kv::RenameShort2Long95();
        EXPECT_FALSE(fs.exists(tmp)) << name;
        EXPECT_EQ(read(std::string("c:\\Photos 1999\\") + name), name);
    }
}

TEST_F(UtilityExports, RenameOfANameWithoutFolderStaysInTheCurrentDirectory) {
    ASSERT_TRUE(fs.writeFileAtomic("c:\\Photos 1999\\KVR00001.TMP", "x"));
    ASSERT_TRUE(fs.setCurrentDirectory("c:\\Photos 1999"));
    set("Win95Tmp", "KVR00001.TMP");
    set("SaveAs", "Holiday picture.bmp");
    kv::RenameShort2Long95();
    EXPECT_TRUE(fs.exists("c:\\Photos 1999\\Holiday picture.bmp"));
    EXPECT_FALSE(fs.exists("c:\\Holiday picture.bmp"));
}

TEST_F(UtilityExports, MemoryAndDrawingFlush) {
    system.pageFile = 123456789u;
    EXPECT_EQ(kv::GetFreePageMem95(), 123456789u);
    system.flushOk = true;
    EXPECT_EQ(kv::GDIflush95(), 1);
    system.flushOk = false;
    EXPECT_EQ(kv::GDIflush95(), 0);
}

}  // namespace
