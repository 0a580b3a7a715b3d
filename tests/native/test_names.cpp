// Path functions and the name box checks, on the simulated file system.
#include <gtest/gtest.h>

#include "framework/sim/sim_platform.h"
#include "framework/names.h"

namespace {

class Names : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_TRUE(user.unexpected.empty()) << user.unexpected.front();
    }
    void file(const std::string& path) { ASSERT_TRUE(fs.writeFileAtomic(path, "x")) << path; }
    void folder(const std::string& path) { ASSERT_TRUE(fs.createDirectory(path)) << path; }

    kv::SimPlatform sim;
    kv::SimFileSystem& fs = sim.fs;
    kv::SimUser& user = sim.user;
};

TEST_F(Names, AddTrailingBackslash) {
    EXPECT_EQ(kv::AddTrailingBackslash("c:\\data"), "c:\\data\\");
    EXPECT_EQ(kv::AddTrailingBackslash("c:\\data\\"), "c:\\data\\");
    EXPECT_EQ(kv::AddTrailingBackslash(""), "\\");
    EXPECT_EQ(kv::AddTrailingBackslash("c:"), "c:\\");
    // A lone backslash stands for the current directory of the current drive.
    EXPECT_EQ(kv::AddTrailingBackslash("\\"), "C:\\");
    folder("c:\\Data");
    ASSERT_TRUE(fs.setCurrentDirectory("c:\\Data"));
    EXPECT_EQ(kv::AddTrailingBackslash("\\"), "C:\\Data\\");
}

TEST_F(Names, GetShortPathOfExistingAndMissingPaths) {
    folder("c:\\Photos 1999");
    file("c:\\Photos 1999\\Holiday picture.bmp");
    EXPECT_EQ(kv::GetShortPath("c:\\Photos 1999\\Holiday picture.bmp"), "c:\\PHOTOS~1\\HOLIDA~1.BMP");
    EXPECT_EQ(kv::GetShortPath("c:\\photos 1999"), "c:\\PHOTOS~1");
    EXPECT_EQ(kv::GetShortPath("c:\\Photos 1999\\No such file.bmp"), "c:\\Photos 1999\\No such file.bmp");
    EXPECT_EQ(kv::GetShortPath(""), "");
    EXPECT_EQ(kv::GetShortPath("q:\\x"), "q:\\x");
}

TEST_F(Names, GetShortPathPassesThroughWhatDoesNotFitItsBuffer) {
    // 26 folders of 8 characters, one more folder, then a long-named file whose alias has
    // 12 characters: 2 + 26*9 + (1 + n) + 13 characters of short path.
    std::string base = "c:";
    for (int i = 0; i < 26; ++i) {
        base += "\\abcdefgh";
        folder(base);
    }
    folder(base + "\\abcd");
    folder(base + "\\abcde");
    file(base + "\\abcd\\Long file name.txt");
    file(base + "\\abcde\\Long file name.txt");
    const std::string fits = base + "\\abcd\\Long file name.txt";
    const std::string tooLong = base + "\\abcde\\Long file name.txt";
    EXPECT_EQ(kv::GetShortPath(fits), base + "\\abcd\\LONGFI~1.TXT");
    EXPECT_EQ(kv::GetShortPath(fits).size(), 254u);
    EXPECT_EQ(kv::GetShortPath(tooLong), tooLong);
}

TEST_F(Names, GetLongFileName) {
    folder("c:\\DATA");
    file("c:\\DATA\\README.TXT");
    file("c:\\DATA\\Holiday Picture.BMP");
    folder("c:\\DATA\\Summer Photos");
    // A name that is its own 8.3 name comes back in lower case, a real long name as stored.
    EXPECT_EQ(kv::GetLongFileName("c:\\data\\readme.txt"), "readme.txt");
    EXPECT_EQ(kv::GetLongFileName("c:\\DATA\\HOLIDA~1.BMP"), "Holiday Picture.BMP");
    EXPECT_EQ(kv::GetLongFileName("c:\\DATA\\SUMMER~1"), "Summer Photos");
    EXPECT_EQ(kv::GetLongFileName("c:\\DATA\\Missing File.BMP"), "missing file.bmp");
    EXPECT_EQ(kv::GetLongFileName("MISSING.BMP"), "missing.bmp");
    EXPECT_EQ(kv::GetLongFileName(""), "");
}

TEST_F(Names, GetLongPath) {
    folder("c:\\Photos 1999");
    folder("c:\\Photos 1999\\DAY1");
    file("c:\\Photos 1999\\DAY1\\Holiday picture.bmp");
    EXPECT_EQ(kv::GetLongPath("c:\\"), "c:\\");
    EXPECT_EQ(kv::GetLongPath("C:\\PHOTOS~1\\DAY1\\HOLIDA~1.BMP"),
              "C:\\Photos 1999\\day1\\Holiday picture.bmp");
    // A trailing backslash is not kept.
    EXPECT_EQ(kv::GetLongPath("c:\\PHOTOS~1\\"), "c:\\Photos 1999");
    // Components that do not exist come back in lower case.
    EXPECT_EQ(kv::GetLongPath("c:\\PHOTOS~1\\NEW\\Picture.BMP"), "c:\\Photos 1999\\new\\picture.bmp");
    EXPECT_EQ(kv::GetLongPath(""), "");
    EXPECT_EQ(kv::GetLongPath("c:"), "c:");
}

TEST_F(Names, ValidateFileName) {
    folder("c:\\data");
    const std::string badName = "Invalid filename.\nPlease reenter.";
    const std::string badPath = "Invalid path.\nPlease reenter.";
    struct Case {
        const char* text;
        int result;
        std::string message;  // empty: no dialog
    } cases[] = {
        {"a.b.c", 1, ""},  // 5 characters: the position rule does not apply
        {"name", 1, ""},
        {"pic.jpg", 1, ""},
        {"abcdef.jpeg", 0, badName},  // first dot at 7, below 11 - 3
        {".bmp", 0, badName},
        {"name.", 0, badName},
        {"c:name.bmp", 0, badName},  // a colon without a backslash
        {"sub\\name.bmp", 0, badName},
        {"a*b", 0, badName},
        {"say \"hi\"", 0, badName},
        {"c:\\data\\pic.bmp", 2, ""},
        {"C:\\DATA\\", 2, ""},
        {"c:\\data\\abcdef.jpeg", 0, badName},
        {"c:\\data\\wh?t.bmp", 0, badName},
        {"c:\\nowhere\\pic.bmp", 0, badPath},
        {"c:\\nowhere\\a*b", 0, badPath},  // the folder is checked first
    };
    for (auto& c : cases) {
        user.dialogs.clear();
        if (!c.message.empty()) user.answer(c.message, kv::ModalResult::OK);
        EXPECT_EQ(kv::ValidateFileName(c.text), c.result) << c.text;
        if (c.message.empty()) {
            EXPECT_TRUE(user.dialogs.empty()) << c.text;
        } else {
            ASSERT_EQ(user.dialogs.size(), 1u) << c.text;
            EXPECT_EQ(user.dialogs[0].text, c.message);
            EXPECT_EQ(user.dialogs[0].kind, kv::DialogKind::Error);
            EXPECT_EQ(user.dialogs[0].buttons, unsigned(kv::BtnOK));
        }
    }
}

TEST_F(Names, CheckExtension) {
    const std::string row = "AVL (AV List Slideshow)";
    EXPECT_EQ(kv::CheckExtension("show", row), "show.AVL");
    EXPECT_EQ(kv::CheckExtension("show.avl", row), "show.avl");
    EXPECT_TRUE(user.dialogs.empty());

    const std::string question = "Extension (file type) different. \n.AVL expected instead of .TXT\nContinue?";
    user.answer(question, kv::ModalResult::Yes);
    EXPECT_EQ(kv::CheckExtension("show.txt", row), "show.txt");
    ASSERT_EQ(user.dialogs.size(), 1u);
    EXPECT_EQ(user.dialogs[0].kind, kv::DialogKind::Warning);
    EXPECT_EQ(user.dialogs[0].buttons, unsigned(kv::BtnYes | kv::BtnNo));

    user.answer(question, kv::ModalResult::No);
    EXPECT_EQ(kv::CheckExtension("show.txt", row), "");

    // Only the first four characters count: a longer typed extension differs.
    user.answer("Extension (file type) different. \n.BMP expected instead of .BMPX\nContinue?",
                kv::ModalResult::No);
    EXPECT_EQ(kv::CheckExtension("c:\\pics\\x.bmpx", "BMP (Windows bitmap)"), "");
}

}  // namespace

// The fast path of the find-first matcher for "*." and up to three characters gives what the
// general DOS matcher gives, on names with and without dots, of every length.
TEST(FindFirstPatterns, ExtensionMasksMatchAsTheGeneralMatcher) {
    const std::vector<std::string> masks = {"*.???", "*.bmp", "*.pc?", "*.?pg", "*.av?", "*.fl?", "*.rs;",
                                            "*.Lea", "*.a",   "*.??",  "*.?",   "*.b?p"};
    const std::vector<std::string> names = {"x.bmp", "X.BMP", "x.bm",  "x.bmpx", "readme", "a.b.bmp", "x.",  ".bmp",
                                            "x.pc",  "x.pcx", "x.jpg", "x.mpg",  "x.jpeg", "x.avl",   "x.av", "x.a",
                                            "xa",    "x.rs;", "x.Lead", "x.lea", "x..b",   "x.b.",    "",     "x.fli"};
    for (const auto& m : masks)
        for (const auto& n : names)
            EXPECT_EQ(kv::MatchesPattern(n, m), kv::DosMatch(kv::DosPattern(m), n)) << n << " / " << m;
    EXPECT_TRUE(kv::MatchesPattern("readme", "*.???"));  // up to three characters, none included
    EXPECT_TRUE(kv::MatchesPattern("x.pc", "*.pc?"));
    EXPECT_FALSE(kv::MatchesPattern("x.jpeg", "*.???"));
    EXPECT_TRUE(kv::MatchesPattern("LONG~1.JPE", "*.???"));
}
