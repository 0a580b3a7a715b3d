// The simulated file system: Windows path rules, 8.3 aliases, atomic writes and faults.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "framework/sim/sim_fs.h"
#include "tests/native/sim_kit.h"

namespace {

namespace fsys = std::filesystem;
using kv::SimFileSystem;

class SimFs : public ::testing::Test {
protected:
    void SetUp() override { fs.mapDrive('C', root); }

    // A file made on the host behind the object's back.
    void hostFile(const std::string& rel, const std::string& bytes = "x") {
        fsys::path p = fsys::path(root) / rel;
        fsys::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
    }
    std::string alias(const std::string& path) {
        auto e = fs.findEntry(path);
        return e ? e->shortName : "<missing>";
    }
    std::string read(const std::string& path) {
        std::string b;
        return fs.readFile(path, b) ? b : "<unreadable>";
    }
    std::vector<std::string> names(const std::string& folder, const std::string& pattern) {
        std::vector<std::string> r;
        for (auto& e : fs.list(folder, pattern)) r.push_back(e.longName);
        return r;
    }

    sim_test::HostFolder folder{"simfs"};
    const std::string& root = folder.path();
    SimFileSystem fs;
};

TEST_F(SimFs, LongNamesGetAliasesNumberedInCreationOrder) {
    ASSERT_TRUE(fs.writeFileAtomic("c:\\Holiday zebra.bmp", "z"));
    ASSERT_TRUE(fs.writeFileAtomic("c:\\Holiday apple.bmp", "a"));
    EXPECT_EQ(alias("c:\\Holiday zebra.bmp"), "HOLIDA~1.BMP");
    EXPECT_EQ(alias("c:\\Holiday apple.bmp"), "HOLIDA~2.BMP");
    // Ten or more: the part before the tail gets shorter so the alias stays 8 characters.
    for (int i = 3; i <= 10; ++i)
        ASSERT_TRUE(fs.writeFileAtomic("c:\\Holiday " + std::to_string(i) + " x.bmp", "x"));
    EXPECT_EQ(alias("c:\\Holiday 10 x.bmp"), "HOLID~10.BMP");
    // A freed tail is the lowest free one and goes to the next new name.
    ASSERT_TRUE(fs.deleteFile("c:\\Holiday apple.bmp"));
    ASSERT_TRUE(fs.writeFileAtomic("c:\\Holiday again.bmp", "x"));
    EXPECT_EQ(alias("c:\\Holiday again.bmp"), "HOLIDA~2.BMP");
    // Numbering is per folder.
    ASSERT_TRUE(fs.createDirectory("c:\\sub"));
    ASSERT_TRUE(fs.writeFileAtomic("c:\\sub\\Holiday picture.bmp", "x"));
    EXPECT_EQ(alias("c:\\sub\\Holiday picture.bmp"), "HOLIDA~1.BMP");
}

TEST_F(SimFs, AliasBasisRules) {
    struct Case {
        const char* name;
        const char* alias;
    } cases[] = {
        {"readme.txt", ""},          // valid 8.3 in any case: no alias
        {"README.TXT", ""},
        {"Mixed.Txt", ""},
        {"A~1.B", ""},
        {"page.html", "PAGE~1.HTM"},  // extension longer than 3
        {"longername.txt", "LONGER~1.TXT"},
        {"my.file.name.txt", "MYFILE~1.TXT"},  // embedded dots dropped
        {".profile", "PROFIL~1"},              // leading dot dropped, no extension
        {"a+b;c=d[e].jpeg", "A_B_C_~1.JPE"},   // + ; = [ ] become '_'
        {"two words", "TWOWOR~1"},             // blanks dropped
        {"x y.t x", "XY~1.TX"},
    };
    for (auto& c : cases) {
        ASSERT_TRUE(fs.writeFileAtomic(std::string("c:\\") + c.name, "x")) << c.name;
        EXPECT_EQ(alias(std::string("c:\\") + c.name), c.alias) << c.name;
    }
    // An alias never equals a long name that already exists in the folder.
    ASSERT_TRUE(fs.writeFileAtomic("c:\\FOTOGR~1.JPG", "taken"));
    ASSERT_TRUE(fs.writeFileAtomic("c:\\Fotografie.jpg", "x"));
    EXPECT_EQ(alias("c:\\Fotografie.jpg"), "FOTOGR~2.JPG");
}

TEST_F(SimFs, LookupIgnoresCaseAndAcceptsAliasesAnywhereInAPath) {
    ASSERT_TRUE(fs.createDirectory("c:\\Photos 1999"));
    ASSERT_TRUE(fs.writeFileAtomic("c:\\photos 1999\\Holiday picture.bmp", "pixels"));
    EXPECT_EQ(read("C:\\PHOTOS~1\\HOLIDA~1.BMP"), "pixels");
    EXPECT_EQ(read("c:/photos~1/holiday PICTURE.bmp"), "pixels");
    EXPECT_TRUE(fs.isDirectory("c:\\PHOTOS~1"));
    EXPECT_TRUE(fs.exists("c:\\PHOTOS~1\\"));
    EXPECT_FALSE(fs.exists("c:\\PHOTOS~1\\HOLIDA~1.BMP\\"));  // a file is no folder

    auto e = fs.findEntry("c:\\PHOTOS~1\\HOLIDA~1.BMP");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->longName, "Holiday picture.bmp");
    EXPECT_EQ(e->size, 6u);
    EXPECT_FALSE(e->directory);

    EXPECT_EQ(fs.shortPath("c:\\Photos 1999\\Holiday picture.bmp"), "c:\\PHOTOS~1\\HOLIDA~1.BMP");
    EXPECT_EQ(fs.shortPath("C:\\photos 1999\\"), "C:\\PHOTOS~1\\");
    EXPECT_EQ(fs.shortPath("c:\\"), "c:\\");
    EXPECT_FALSE(fs.shortPath("c:\\Photos 1999\\missing file.bmp"));

    // Writing under another case or the alias replaces the file and keeps its stored name.
    ASSERT_TRUE(fs.writeFileAtomic("c:\\PHOTOS~1\\HOLIDAY PICTURE.BMP", "new"));
    EXPECT_EQ(names("c:\\Photos 1999", "*.bmp"), std::vector<std::string>{"Holiday picture.bmp"});
    EXPECT_EQ(read("c:\\photos~1\\holida~1.bmp"), "new");

    // A name that is its own 8.3 form keeps its stored case in the short path.
    ASSERT_TRUE(fs.writeFileAtomic("c:\\Photos 1999\\readme.txt", "r"));
    EXPECT_EQ(fs.shortPath("c:\\photos 1999\\README.TXT"), "c:\\PHOTOS~1\\readme.txt");
}

TEST_F(SimFs, FilesMadeOutsideTheObjectGetAliasesInNameOrderAndKeepThem) {
    hostFile("Holiday b.bmp");
    hostFile("Holiday a.bmp");
    EXPECT_EQ(alias("c:\\Holiday b.bmp"), "HOLIDA~2.BMP");
    EXPECT_EQ(alias("c:\\Holiday a.bmp"), "HOLIDA~1.BMP");
    hostFile("Holiday 0.bmp");  // sorts first, but the others keep what they had
    EXPECT_EQ(alias("c:\\Holiday a.bmp"), "HOLIDA~1.BMP");
    EXPECT_EQ(alias("c:\\Holiday 0.bmp"), "HOLIDA~3.BMP");
    fsys::remove(fsys::path(root) / "Holiday a.bmp");
    EXPECT_FALSE(fs.exists("c:\\HOLIDA~1.BMP"));
    // The freed alias is the lowest free one again.
    hostFile("Holiday c.bmp");
    EXPECT_EQ(alias("c:\\Holiday c.bmp"), "HOLIDA~1.BMP");
}

TEST_F(SimFs, HostChangesRightAfterOwnChangesAreSeen) {
    // Changes on the host within the same instant as the object's own must not be missed.
    for (int i = 0; i < 50; ++i) {
        std::string n = std::to_string(i);
        ASSERT_TRUE(fs.writeFileAtomic("c:\\own " + n + ".txt", "o"));
        hostFile("Host file " + n + ".txt");
        ASSERT_TRUE(fs.exists("c:\\HOST FILE " + n + ".TXT")) << i;
        fsys::remove(fsys::path(root) / ("own " + n + ".txt"));
        ASSERT_FALSE(fs.exists("c:\\own " + n + ".txt")) << i;
        fsys::rename(fsys::path(root) / ("Host file " + n + ".txt"), fsys::path(root) / ("moved " + n + ".txt"));
        ASSERT_FALSE(fs.exists("c:\\Host file " + n + ".txt")) << i;
        ASSERT_TRUE(fs.exists("c:\\MOVED " + n + ".TXT")) << i;
    }
    // A folder removed and made again on the host is looked at afresh.
    ASSERT_TRUE(fs.createDirectory("c:\\Some folder"));
    ASSERT_TRUE(fs.writeFileAtomic("c:\\SOMEFO~1\\inside.txt", "x"));
    fsys::remove_all(fsys::path(root) / "Some folder");
    hostFile("Some folder/other.txt");
    EXPECT_FALSE(fs.exists("c:\\Some folder\\inside.txt"));
    EXPECT_TRUE(fs.exists("c:\\SOMEFO~1\\other.txt"));
}

TEST_F(SimFs, ListingFollowsWindowsWildcards) {
    for (const char* n : {"Holiday picture.bmp", "page.html", "noext", "a.txt", "ab.txt", "x.y.z"})
        ASSERT_TRUE(fs.writeFileAtomic(std::string("c:\\") + n, "x"));
    ASSERT_TRUE(fs.createDirectory("c:\\Sub Folder"));

    using V = std::vector<std::string>;
    // The root has no "." entries; the rest come sorted without regard to case.
    EXPECT_EQ(names("c:\\", "*.*"),
              (V{"a.txt", "ab.txt", "Holiday picture.bmp", "noext", "page.html", "Sub Folder", "x.y.z"}));
    EXPECT_EQ(names("c:\\", "*"), names("c:\\", "*.*"));
    EXPECT_EQ(names("c:\\", "*."), (V{"noext", "Sub Folder"}));
    EXPECT_EQ(names("c:\\", "?.txt"), (V{"a.txt"}));
    EXPECT_EQ(names("c:\\", "??.txt"), (V{"a.txt", "ab.txt"}));  // '?' before a dot may match nothing
    EXPECT_EQ(names("c:\\", "*.BMP"), (V{"Holiday picture.bmp"}));
    EXPECT_EQ(names("c:\\", "*.htm"), (V{"page.html"}));  // through its alias PAGE~1.HTM
    EXPECT_EQ(names("c:\\", "HOLIDA~1.*"), (V{"Holiday picture.bmp"}));
    EXPECT_EQ(names("c:\\", "x.*"), (V{"x.y.z"}));
    EXPECT_EQ(names("c:\\", "x.y.*"), (V{"x.y.z"}));
    EXPECT_TRUE(names("c:\\missing", "*.*").empty());

    // Other folders start with "." and "..", which is how a caller knows it can go up.
    ASSERT_TRUE(fs.writeFileAtomic("c:\\SUBFOL~1\\inner.txt", "x"));
    auto sub = fs.list("c:\\Sub Folder\\", "*.*");
    ASSERT_EQ(sub.size(), 3u);
    EXPECT_EQ(sub[0].longName, ".");
    EXPECT_EQ(sub[1].longName, "..");
    EXPECT_TRUE(sub[0].directory);
    EXPECT_EQ(sub[2].longName, "inner.txt");
    EXPECT_EQ(names("c:\\Sub Folder", "*.txt"), V{"inner.txt"});

    // Find-first with a pattern gives the first match; a root or trailing backslash none.
    auto first = fs.findEntry("c:\\*.txt");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->longName, "a.txt");
    EXPECT_FALSE(fs.findEntry("c:\\"));
    EXPECT_FALSE(fs.findEntry("c:\\Sub Folder\\"));
}

TEST_F(SimFs, PathsResolveLikeWindowsPaths) {
    ASSERT_TRUE(fs.createDirectory("c:\\data"));
    ASSERT_TRUE(fs.writeFileAtomic("c:\\data\\f.txt", "f"));
    EXPECT_EQ(fs.currentDirectory(), "C:\\");
    EXPECT_EQ(read("data\\f.txt"), "f");
    EXPECT_EQ(read("\\data\\f.txt"), "f");
    ASSERT_TRUE(fs.setCurrentDirectory("c:\\data"));
    EXPECT_EQ(fs.currentDirectory(), "C:\\data");
    EXPECT_EQ(read("f.txt"), "f");
    EXPECT_EQ(read("c:f.txt"), "f");
    EXPECT_EQ(read("..\\data\\.\\f.txt"), "f");
    EXPECT_EQ(read("c:\\data\\f.txt. . "), "f");  // trailing dots and blanks dropped
    EXPECT_FALSE(fs.setCurrentDirectory("c:\\data\\f.txt"));
    EXPECT_FALSE(fs.setCurrentDirectory("c:\\nowhere"));
    EXPECT_EQ(fs.currentDirectory(), "C:\\data");

    EXPECT_FALSE(fs.exists("d:\\f.txt"));  // unmapped drive
    EXPECT_FALSE(fs.exists("\\\\server\\share\\f.txt"));
    EXPECT_FALSE(fs.exists(""));
    EXPECT_FALSE(fs.writeFileAtomic("c:\\data\\bad|name.txt", "x"));
    EXPECT_FALSE(fs.writeFileAtomic("c:\\data\\what?.txt", "x"));
    EXPECT_FALSE(fs.writeFileAtomic("c:\\data\\con.txt", "x"));
    EXPECT_FALSE(fs.writeFileAtomic("c:\\nowhere\\f.txt", "x"));
    EXPECT_FALSE(fs.writeFileAtomic("c:\\data", "x"));  // a folder is not overwritten

    // The Windows directory exists once asked for.
    EXPECT_EQ(fs.windowsDirectory(), "C:\\WINDOWS");
    EXPECT_TRUE(fs.isDirectory("c:\\windows"));
    fs.setWindowsDirectory("C:\\WIN95");
    EXPECT_EQ(fs.windowsDirectory(), "C:\\WIN95");
    EXPECT_TRUE(fs.isDirectory("c:\\win95"));
}

TEST_F(SimFs, MovesRenameAndNeverOverwrite) {
    ASSERT_TRUE(fs.writeFileAtomic("c:\\KVR00001.TMP", "picture"));
    ASSERT_TRUE(fs.writeFileAtomic("c:\\taken.bmp", "other"));
    EXPECT_FALSE(fs.moveFile("c:\\KVR00001.TMP", "c:\\TAKEN.BMP"));
    EXPECT_EQ(read("c:\\taken.bmp"), "other");
    EXPECT_FALSE(fs.moveFile("c:\\missing.tmp", "c:\\x.bmp"));
    EXPECT_FALSE(fs.moveFile("c:\\KVR00001.TMP", "c:\\nowhere\\x.bmp"));
    EXPECT_FALSE(fs.moveFile("c:\\KVR00001.TMP", "c:\\bad:name.bmp"));

    ASSERT_TRUE(fs.moveFile("c:\\kvr00001.tmp", "c:\\Holiday picture.bmp"));
    EXPECT_FALSE(fs.exists("c:\\KVR00001.TMP"));
    EXPECT_EQ(read("c:\\HOLIDA~1.BMP"), "picture");

    // A change of case alone renames the file and keeps its alias.
    ASSERT_TRUE(fs.moveFile("c:\\HOLIDA~1.BMP", "c:\\HOLIDAY Picture.bmp"));
    auto e = fs.findEntry("c:\\holiday picture.bmp");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->longName, "HOLIDAY Picture.bmp");
    EXPECT_EQ(e->shortName, "HOLIDA~1.BMP");

    // Folders move with what is inside them, aliases included.
    ASSERT_TRUE(fs.createDirectory("c:\\Old folder"));
    ASSERT_TRUE(fs.writeFileAtomic("c:\\Old folder\\Inner picture.bmp", "i"));
    ASSERT_TRUE(fs.moveFile("c:\\OLDFOL~1", "c:\\New folder"));
    EXPECT_EQ(read("c:\\NEWFOL~1\\INNERP~1.BMP"), "i");
    EXPECT_FALSE(fs.moveFile("c:\\New folder", "c:\\New folder\\below"));
    EXPECT_FALSE(fs.deleteFile("c:\\New folder"));  // deleteFile is for files only
}

TEST_F(SimFs, FailedWritesLeaveTheOldFile) {
    ASSERT_TRUE(fs.writeFileAtomic("c:\\script.avl", "old contents"));

    fs.setDiskFull(true);
    EXPECT_FALSE(fs.writeFileAtomic("c:\\script.avl", "new"));
    EXPECT_FALSE(fs.writeFileAtomic("c:\\fresh.avl", "new"));
    fs.setDiskFull(false);
    EXPECT_EQ(read("c:\\script.avl"), "old contents");
    EXPECT_FALSE(fs.exists("c:\\fresh.avl"));

    fs.failAfterBytes(10);
    EXPECT_TRUE(fs.writeFileAtomic("c:\\small.txt", "123456"));  // 4 bytes left
    EXPECT_FALSE(fs.writeFileAtomic("c:\\script.avl", "longer new contents"));
    EXPECT_EQ(read("c:\\script.avl"), "old contents");
    fs.failAfterBytes(-1);
    EXPECT_TRUE(fs.writeFileAtomic("c:\\script.avl", "longer new contents"));
    EXPECT_EQ(read("c:\\script.avl"), "longer new contents");

    // No temporary file is left behind in the host folder.
    for (auto& entry : fsys::directory_iterator(root)) {
        std::string n = entry.path().filename().string();
        EXPECT_TRUE(n == "script.avl" || n == "small.txt") << n;
    }
}

TEST_F(SimFs, ReadOnlyPathsRefuseWritesMovesAndDeletes) {
    ASSERT_TRUE(fs.createDirectory("c:\\cdrom"));
    ASSERT_TRUE(fs.writeFileAtomic("c:\\cdrom\\Disc picture.bmp", "d"));
    ASSERT_TRUE(fs.writeFileAtomic("c:\\locked.txt", "l"));
    fs.setReadOnly("c:\\CDROM", true);
    fs.setReadOnly("c:\\locked.txt", true);

    EXPECT_FALSE(fs.writeFileAtomic("c:\\cdrom\\DISCPI~1.BMP", "x"));
    EXPECT_FALSE(fs.writeFileAtomic("c:\\cdrom\\new.txt", "x"));
    EXPECT_FALSE(fs.deleteFile("c:\\cdrom\\Disc picture.bmp"));
    EXPECT_FALSE(fs.moveFile("c:\\cdrom\\Disc picture.bmp", "c:\\out.bmp"));
    EXPECT_FALSE(fs.moveFile("c:\\locked.txt", "c:\\cdrom\\in.txt"));
    EXPECT_FALSE(fs.writeFileAtomic("c:\\LOCKED.TXT", "x"));
    EXPECT_FALSE(fs.deleteFile("c:\\locked.txt"));
    EXPECT_EQ(read("c:\\cdrom\\Disc picture.bmp"), "d");
    EXPECT_EQ(read("c:\\locked.txt"), "l");
    EXPECT_TRUE(fs.writeFileAtomic("c:\\elsewhere.txt", "fine"));

    fs.setReadOnly("c:\\locked.txt", false);
    EXPECT_TRUE(fs.deleteFile("c:\\locked.txt"));
}

}  // namespace
