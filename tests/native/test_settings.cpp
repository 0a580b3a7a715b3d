// The INI accessor over the simulated profile service and file system.
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/error.h"
#include "tests/native/sim_kit.h"
#include "framework/settings.h"
#include "framework/sim/sim_fs.h"
#include "framework/sim/sim_profile.h"

namespace {

namespace fsys = std::filesystem;
using kv::IniFile;
using V = std::vector<std::string>;

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        fs.mapDrive('C', root);
        saved = kv::ports();
        kv::ports().fs = &fs;
        kv::ports().profile = &profile;
    }
    void TearDown() override { kv::ports() = saved; }
    std::string file(const std::string& path) {
        std::string b;
        return fs.readFile(path, b) ? b : "<none>";
    }

    sim_test::HostFolder folder{"settings"};
    const std::string& root = folder.path();
    kv::SimFileSystem fs;
    kv::SimProfile profile{fs};
    kv::Ports saved;
};

TEST_F(Settings, IntegersInDecimalAndHexadecimal) {
    IniFile ini("kavrin.ini");
    ini.writeString("kavrin", "hex", "0x1F");
    ini.writeString("kavrin", "HEX2", "0X10");
    ini.writeString("kavrin", "bare", "0x");
    ini.writeString("kavrin", "junk", "12a");
    ini.writeString("kavrin", "badhex", "0xZZ");
    ini.writeInteger("kavrin", "neg", -42);
    EXPECT_EQ(ini.readInteger("kavrin", "hex", 0), 31);
    EXPECT_EQ(ini.readInteger("kavrin", "hex2", 0), 16);
    EXPECT_EQ(ini.readInteger("kavrin", "bare", 911), 911);
    EXPECT_EQ(ini.readInteger("kavrin", "junk", 911), 911);
    EXPECT_EQ(ini.readInteger("kavrin", "badhex", 7), 7);
    EXPECT_EQ(ini.readInteger("kavrin", "neg", 0), -42);
    EXPECT_EQ(ini.readString("kavrin", "neg", ""), "-42");
    EXPECT_EQ(ini.readInteger("kavrin", "missing", -1), -1);
}

TEST_F(Settings, MissingFileSectionOrKeyGivesTheDefault) {
    IniFile ini("nothing.ini");
    EXPECT_EQ(ini.readString("kavrin", "SaveName", "ERROR"), "ERROR");
    EXPECT_EQ(ini.readInteger("kavrin", "AVLidx", 0), 0);
    EXPECT_TRUE(ini.readSection("kavrin").empty());
    EXPECT_TRUE(ini.readSectionValues("kavrin").empty());
    EXPECT_FALSE(fs.exists("c:\\windows\\nothing.ini"));  // reading creates nothing
    ini.writeString("other", "k", "v");
    EXPECT_EQ(ini.readString("kavrin", "SaveName", "ERROR"), "ERROR");
    EXPECT_EQ(ini.readString("other", "SaveName", "ERROR"), "ERROR");
}

TEST_F(Settings, TheSettingsFileLivesInTheWindowsDirectoryWhateverTheCase) {
    IniFile(kv::SettingsFileName).writeString(kv::SettingsSection, "SaveName", "c:\\pic.bmp");
    EXPECT_EQ(file("c:\\windows\\kavrin.ini"), "[kavrin]\r\nSaveName=c:\\pic.bmp\r\n");
    IniFile upper("KAVRIN.INI");
    EXPECT_EQ(upper.readString("KAVRIN", "Savename", "ERROR"), "c:\\pic.bmp");
    upper.writeString("Kavrin", "savename", "c:\\other.bmp");
    EXPECT_EQ(file("c:\\windows\\kavrin.ini"), "[kavrin]\r\nSaveName=c:\\other.bmp\r\n");
}

TEST_F(Settings, SectionKeysAndValuesInFileOrder) {
    ASSERT_TRUE(fs.writeFileAtomic("c:\\list.ini", "[Directory]\n0=C:\\APP\\\n; note\n2=c:\\b\\\n1=c:\\a\\\n"));
    IniFile ini("c:\\LIST.INI");
    EXPECT_EQ(ini.readSection("directory"), V({"0", "2", "1"}));
    EXPECT_EQ(ini.readSectionValues("DIRECTORY"), V({"0=C:\\APP\\", "2=c:\\b\\", "1=c:\\a\\"}));
}

TEST_F(Settings, ARefusedWriteRaisesAndLeavesTheFile) {
    ASSERT_TRUE(fs.createDirectory("c:\\ro"));
    ASSERT_TRUE(fs.writeFileAtomic("c:\\ro\\s.ini", "[s]\r\nk=old\r\n"));
    fs.setReadOnly("c:\\ro", true);
    IniFile ini("c:\\ro\\s.ini");
    try {
        ini.writeString("s", "k", "new");
        FAIL() << "no error raised";
    } catch (const kv::Error& e) {
        EXPECT_STREQ(e.what(), "Unable to write to c:\\ro\\s.ini");
    }
    EXPECT_THROW(ini.writeInteger("s", "n", 1), kv::Error);
    EXPECT_EQ(ini.readString("s", "k", ""), "old");
    // Writing the value the file already holds changes nothing and succeeds.
    EXPECT_NO_THROW(ini.writeString("s", "k", "old"));
    EXPECT_THROW(IniFile("c:\\no such folder\\x.ini").writeString("s", "k", "v"), kv::Error);
}

TEST_F(Settings, ReplaceWritesTheKeyByKeyBytesInOnePieceOrLeavesTheOldFile) {
    IniFile ini("c:\\list.tmp");
    ini.writeString("old", "k", "stale");
    ini.writeString("Directory", "Files", "9");
    EXPECT_EQ(ini.readString("Directory", "Files", ""), "9");  // now in the service's cache
    kv::IniBuilder b;
    b.add("Directory", "Files", "2");
    b.add("1", "F", "A.BMP");
    b.add("Directory", "Name", "C:\\");
    ini.replace(b);
    EXPECT_EQ(file("c:\\list.tmp"), "[Directory]\r\nFiles=2\r\nName=C:\\\r\n[1]\r\nF=A.BMP\r\n");
    EXPECT_EQ(ini.readString("Directory", "Files", ""), "2");
    EXPECT_EQ(ini.readString("old", "k", "gone"), "gone");

    fs.setReadOnly("c:\\list.tmp", true);
    kv::IniBuilder other;
    other.add("Directory", "Files", "5");
    EXPECT_THROW(ini.replace(other), kv::Error);
    EXPECT_EQ(file("c:\\list.tmp"), "[Directory]\r\nFiles=2\r\nName=C:\\\r\n[1]\r\nF=A.BMP\r\n");
}

TEST_F(Settings, ChangesMadeBehindTheServiceAreSeen) {
    IniFile ini("c:\\shared.ini");
    ini.writeString("s", "k", "1");
    EXPECT_EQ(ini.readString("s", "k", ""), "1");
    ASSERT_TRUE(fs.writeFileAtomic("c:\\shared.ini", "[s]\r\nk=2\r\n"));
    EXPECT_EQ(ini.readString("s", "k", ""), "2");
    profile.deleteKey("c:\\shared.ini", "s", "k");
    EXPECT_EQ(file("c:\\shared.ini"), "[s]\r\n");
    profile.deleteSection("c:\\shared.ini", "S");
    EXPECT_EQ(file("c:\\shared.ini"), "");
}

}  // namespace
