// Slideshow scripts: the bytes SaveFile writes, what LoadFile makes of every version and of
// damaged files, the dialogs around both, failed saves, and catalogue ids.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "editor/catalog_id.h"
#include "editor/editor_form.h"
#include "tests/native/editor_test_kit.h"
#include "explorer/explorer_dialog.h"
#include "framework/settings.h"
#include "framework/sim/sim_platform.h"
#include "framework/text.h"
#include "framework/names.h"

namespace {

using namespace kv::editor;
using kv::ModalResult;
using Row = std::vector<std::string>;

const std::string B = BlankMarker;
const std::string kBad = "Bad AVL file.";
const std::string kTooMany =
    "Too many slides ?\nUp to 1800 slides are supported\ndepending on script complexity.";

// Lines joined with the line ends the profile writer uses.
std::string crlf(std::initializer_list<const char*> lines) {
    std::string s;
    for (const char* l : lines) s += std::string(l) + "\r\n";
    return s;
}

class ScriptFile : public editor_test::EditorTest {
protected:
    ScriptFile() { appDir = "C:\\SHOWAPP\\"; }
    void SetUp() override {
        EditorTest::SetUp();
        kv::explorer::setRemoteDlgHandler([this](int32_t mode, int32_t option) {
            dialogCalls.push_back({mode, option});
            if (dialogChoice.empty()) return -1;
            setKey("SaveName", dialogChoice);
            return 0;
        });
    }

    void setKey(const std::string& key, const std::string& value) { editor_test::setSetting(key, value); }
    std::string key(const std::string& k) { return editor_test::setting(k); }

    // Run's save: no dialog, straight to the temporary script.
    std::string saveTo(const std::string& path) {
        editorState().TempScript = path;
        form->SaveFile(true);
        return sim.readFile(path);
    }
    // The first activation's load of a script file.
    void loadFrom(const std::string& path, const std::string& bytes) {
        sim.writeFile(path, bytes);
        editorState().CurrentScript = path;
        setKey("AVLNOW", path);
        form->LoadFile(true);
    }
    void loadScript(const std::string& bytes) { loadFrom("c:\\shows\\test.avl", bytes); }

    // The worked example: four slides, one of each storage rule.
    void buildExample() {
        sim.writeFile("c:\\photos\\beach.jpg");
        sim.writeFile("c:\\photos\\sunset.bmp");
        sim.writeFile("c:\\media\\clip.avi");
        editorState().CatalogId = "7P4S8";
        auto& g = grid();
        int r = add("c:\\photos\\beach.jpg", &TEditorForm::SetUpGraphic);
        g.setCell(Param, r, "3");
        g.setCell(EffectName, r, "Wipe Rt");
        g.setCell(Wait, r, "5");
        g.setCell(ThumbIndex, r, "1A");
        r = add("c:\\photos\\sunset.bmp", &TEditorForm::SetUpGraphic);
        g.setCell(ColorValue, r, "255");
        g.setCell(HorzPos, r, "Left");
        g.setCell(VertPos, r, "Top");
        g.setCell(Gamma, r, "120");
        r = add("c:\\media\\clip.avi", &TEditorForm::SetUpAVI);
        g.setCell(Param, r, "1");
        g.setCell(EffectName, r, "Loop 2x");
        g.setCell(Zoom, r, "200");
        g.setCell(Volume, r, "50");
        addCd(7);
    }

    std::vector<std::pair<int32_t, int32_t>> dialogCalls;
    std::string dialogChoice;  // what the dialog writes to SaveName; empty: the user cancels
};

const std::string kExample = crlf({
    "[Header]", "Ver=7", "ScreenW=800", "ScreenH=600", "N=5", "Cat=7P4S8",
    "[Directory]", "0=C:\\SHOWAPP\\", "1=c:\\photos\\", "2=c:\\media\\",
    "[1]", "F=beach,1", "B=0", "X=3", "W=5", "T=1A",
    "[2]", "F=sunset.bmp,1", "B=FF", "X=0", "P=Left,Top", "G=78",
    "[3]", "F=clip.avi,2", "B=0", "X=1", "Z=200", "L=50",
    "[4]", "F=------------------------------", "X=7",
});

// ---- the worked example -------------------------------------------------------------------

TEST_F(ScriptFile, WorkedExampleSavesTheDocumentedBytesAndLoadsBack) {
    buildExample();
    const std::vector<Row> before = table();

    sim.fs.createDirectory("c:\\shows");
    EXPECT_EQ(saveTo("c:\\shows\\example.avl"), kExample);
    EXPECT_EQ(editorState().DirectoryTable,
              (std::vector<std::string>{"C:\\SHOWAPP\\", "c:\\photos\\", "c:\\media\\"}));
    EXPECT_EQ(form->caption(), "Kavrin Slide Editor [example.avl]");
    EXPECT_FALSE(form->Gauge->visible());
    EXPECT_EQ(sim.user.cursor(), kv::CursorKind::Default);

    editorState().CatalogId.clear();
    editorState().DirectoryTable.clear();
    setKey("AVLNOW", "c:\\shows\\example.avl");
    reload("c:\\shows\\example.avl");

    EXPECT_EQ(table(), before);  // the example's cells survive the round trip unchanged
    EXPECT_EQ(grid().cell(FilePath, 1), "c:\\photos\\beach.jpg");
    EXPECT_EQ(grid().cell(EffectName, 3), "Loop 2x");
    EXPECT_EQ(grid().cell(DisplayName, 4), "CD Track: 7");
    EXPECT_EQ(editorState().CatalogId, "7P4S8");
    EXPECT_EQ(editorState().DirectoryTable,
              (std::vector<std::string>{"0=C:\\SHOWAPP\\", "1=c:\\photos\\", "2=c:\\media\\"}));
    EXPECT_EQ(form->caption(), "Kavrin Slide Editor [example.avl]");
    EXPECT_FALSE(editorState().modified);
    EXPECT_FALSE(form->Gauge->visible());
    EXPECT_EQ(sim.user.cursorHistory,
              (std::vector<kv::CursorKind>{kv::CursorKind::HourGlass, kv::CursorKind::Default,
                                           kv::CursorKind::HourGlass, kv::CursorKind::Default}));
}

TEST_F(ScriptFile, ScreenSizeComesFromTheScreen) {
    sim.user.screenW = 1024;
    sim.user.screenH = 768;
    editorState().CatalogId = "00001";
    add("c:\\a.bmp", &TEditorForm::SetUpGraphic);
    std::string s = saveTo("c:\\s.avl");
    EXPECT_NE(s.find("ScreenW=1024\r\nScreenH=768\r\n"), std::string::npos);
}

// ---- file names and directories -----------------------------------------------------------

TEST_F(ScriptFile, ExtensionsAndDirectoryNumbers) {
    sim.writeFile("c:\\My Pictures\\Holiday picture.bmp");
    editorState().CatalogId = "00001";
    editorState().AppDir = "C:\\ShowApp\\";
    add("c:\\a\\b.JPG", &TEditorForm::SetUpGraphic);
    add("c:\\a\\c.jpeg", &TEditorForm::SetUpGraphic);
    add("c:\\a\\noext", &TEditorForm::SetUpGraphic);
    add("c:\\showapp\\logo.bmp", &TEditorForm::SetUpGraphic);  // AppDir in another case
    add("c:\\mypict~1\\holida~1.bmp", &TEditorForm::SetUpGraphic);

    const std::string s = saveTo("c:\\s.avl");
    EXPECT_NE(s.find("[1]\r\nF=b,1\r\n"), std::string::npos);
    EXPECT_NE(s.find("[2]\r\nF=c.jpeg,1\r\n"), std::string::npos);
    EXPECT_NE(s.find("[3]\r\nF=noext,1\r\n"), std::string::npos);
    EXPECT_NE(s.find("[4]\r\nF=logo.bmp,0\r\n"), std::string::npos);
    EXPECT_NE(s.find("[5]\r\nF=holida~1.bmp,2\r\n"), std::string::npos);
    EXPECT_NE(s.find("[Directory]\r\n0=C:\\ShowApp\\\r\n1=c:\\a\\\r\n2=c:\\mypict~1\\\r\n[1]"),
              std::string::npos);

    reload("c:\\s.avl");
    EXPECT_EQ(column(FilePath), (Row{"c:\\a\\b.jpg", "c:\\a\\c.jpeg", "c:\\a\\noext.jpg", "c:\\showapp\\logo.bmp",
                                  "c:\\mypict~1\\holida~1.bmp"}));
    EXPECT_EQ(grid().cell(DisplayName, 5), "Holiday picture.bmp");
    EXPECT_EQ(grid().cell(DisplayName, 1), "b.jpg");
}

TEST_F(ScriptFile, KindsFollowTheExtensionBySubstring) {
    loadScript(crlf({"[Header]", "Ver=7", "N=8", "[Directory]", "1=c:\\m\\",
                     "[1]", "F=a.av,1", "X=2",       // ".AV" occurs in ".AVI": a video
                     "[2]", "F=b.wav,1", "X=1",      // audio: Param back to 0
                     "[3]", "F=c.flc,1", "X=4",      // animation
                     "[4]", "F=d.mov,1", "X=0", "L=50",
                     "[5]", "F=e.pcx,1", "X=4",      // graphic
                     "[6]", "F=f.x,1", "X=4",        // ".X" is not in the list: graphic
                     "[7]", "F=g.avl,1"}));          // nested script
    EXPECT_EQ(table(), (std::vector<Row>{
        {"1", "c:\\m\\a.av", "2", "", "a.av", "No", "Loop 3x", "0", "Mid", "Mid", B, "100", "100", "100", "-", B},
        {"2", "c:\\m\\b.wav", "0", "", "b.wav", B, B, "0", B, B, B, B, B, B, "-", B},
        {"3", "c:\\m\\c.flc", "4", "", "c.flc", "No", "Loop 5x", "0", B, B, B, B, B, B, "-", B},
        {"4", "c:\\m\\d.mov", "0", "", "d.mov", "No", "Loop 1x", "0", "Mid", "Mid", B, "100", "50", "100", "-", B},
        {"5", "c:\\m\\e.pcx", "4", "", "e.pcx", "No", "Wipe Lf", "0", "Mid", "Mid", "100", B, B, B, "", ""},
        {"6", "c:\\m\\f.x", "4", "", "f.x", "No", "Wipe Lf", "0", "Mid", "Mid", "100", B, B, B, "", ""},
        {"7", "c:\\m\\g.avl", B, "", "g.avl", B, B, B, B, B, B, B, B, B, "-", B},
    }));
}

TEST_F(ScriptFile, SectionWithoutFileNameOrCommaUsesDirectoryZero) {
    loadScript(crlf({"[Header]", "Ver=7", "N=4", "[Directory]", "0=C:\\SHOWAPP\\", "3=c:\\three\\",
                     "[1]", "X=2", "[2]", "F=3", "[3]", "F=pic.bmp,"}));
    // In slide 2 the whole text is the number; in slide 3 an empty number is 0.
    EXPECT_EQ(column(FilePath), (Row{"c:\\showapp\\.jpg", "c:\\three\\.jpg", "c:\\showapp\\pic.bmp"}));
}

TEST_F(ScriptFile, DirectoryIsLookedUpOnlyWhenTheNumberChanges) {
    // Numbers not in the table give an empty directory; -1 is the "no directory yet" value,
    // so a first slide with -1 keeps the empty directory too.
    loadScript(crlf({"[Header]", "Ver=7", "N=5", "[Directory]", "1=c:\\one\\", "1=c:\\dup\\",
                     "[1]", "F=a.bmp,-1", "[2]", "F=b.bmp,9", "[3]", "F=c.bmp,x", "[4]", "F=d.bmp,1"}));
    // Slide 3's non-numeric number is 0, absent from this table; the first entry of a key wins.
    EXPECT_EQ(column(FilePath), (Row{"a.bmp", "b.bmp", "c.bmp", "c:\\one\\d.bmp"}));
}

TEST_F(ScriptFile, NamesFromAFolderListingMatchSingleLookups) {
    // Enough slides from one folder that it is listed once instead of searched per slide.
    const std::vector<std::string> stored = {"Holiday picture.bmp", "README.TXT", "Mixed.Case.Name.jpeg",
                                             "a b.jpg", "x.jpg", "Holiday pictures.bmp", "Über.bmp"};
    for (const auto& n : stored) sim.writeFile("c:\\My Pictures\\" + n);
    sim.fs.createDirectory("c:\\My Pictures\\Sub Folder");
    const std::vector<std::string> asWritten = {
        "c:\\My Pictures\\Holiday picture.bmp", "C:\\MYPICT~1\\HOLIDA~1.BMP", "c:\\mypict~1\\readme.txt",
        "c:\\My Pictures\\mixed.case.name.jpeg", "c:\\My Pictures\\A B.JPG", "c:\\My Pictures\\x.jpg",
        "c:\\my pictures\\holida~2.bmp", "c:\\My Pictures\\missing.bmp", "c:\\My Pictures\\Sub Folder.jpg",
        "c:\\My Pictures\\\xdc" "ber.bmp", "c:\\My Pictures\\x*.jpg", "c:\\My Pictures\\.\\x.jpg",
        "c:\\My Pictures\\x.jpg.", "c:\\nowhere\\a.bmp", "c:\\nowhere\\b.bmp", "c:\\nowhere\\c.bmp",
        "c:\\nowhere\\d.bmp", "c:\\nowhere\\e.bmp", "c:\\My Pictures\\\xe9t\xe9.bmp",
        // a file where a folder is expected
        "c:\\My Pictures\\x.jpg\\a.bmp", "c:\\My Pictures\\x.jpg\\b.bmp", "c:\\My Pictures\\x.jpg\\c.bmp",
        "c:\\My Pictures\\x.jpg\\d.bmp", "c:\\My Pictures\\x.jpg\\e.bmp"};
    std::string script = "[Header]\r\nVer=7\r\nN=" + std::to_string(asWritten.size() + 1) + "\r\n[Directory]\r\n";
    for (size_t i = 0; i < asWritten.size(); ++i)
        script += std::to_string(i + 1) + "=" + kv::folderPart(asWritten[i]) + "\r\n";
    for (size_t i = 0; i < asWritten.size(); ++i)
        script += "[" + std::to_string(i + 1) + "]\r\nF=" + kv::namePart(asWritten[i]) + "," + std::to_string(i + 1) + "\r\n";
    loadScript(script);
    ASSERT_EQ(grid().rowCount(), static_cast<int>(asWritten.size()) + 1);
    for (size_t i = 0; i < asWritten.size(); ++i) {
        SCOPED_TRACE(asWritten[i]);
        EXPECT_EQ(grid().cell(FilePath, static_cast<int>(i) + 1), kv::lower(kv::GetShortPath(asWritten[i])));
        EXPECT_EQ(grid().cell(DisplayName, static_cast<int>(i) + 1), kv::GetLongFileName(asWritten[i]));
    }
    EXPECT_EQ(grid().cell(FilePath, 2), "c:\\mypict~1\\holida~1.bmp");
    EXPECT_EQ(grid().cell(DisplayName, 2), "Holiday picture.bmp");
    EXPECT_EQ(grid().cell(DisplayName, 3), "readme.txt");
}

// ---- attributes ---------------------------------------------------------------------------

TEST_F(ScriptFile, NeutralValuesAndHalfPositionsAreNotStored) {
    editorState().CatalogId = "00001";
    int r = add("c:\\p\\a.bmp", &TEditorForm::SetUpGraphic);
    grid().setCell(HorzPos, r, "Left");  // vertical stays Mid
    r = add("c:\\p\\b.bmp", &TEditorForm::SetUpGraphic);
    grid().setCell(UseColor, r, "No");
    grid().setCell(HorzPos, r, "12");
    grid().setCell(VertPos, r, "-4");
    grid().setCell(ColorValue, r, "abc");
    r = add("c:\\p\\c.bmp", &TEditorForm::SetUpGraphic);
    grid().setCell(ColorValue, r, "abc");  // not a number: black

    const std::string s = saveTo("c:\\s.avl");
    const std::string tail = "[1]\r\nF=a.bmp,1\r\nB=0\r\nX=0\r\n[2]\r\nF=b.bmp,1\r\nX=0\r\nP=12,-4\r\n"
                             "[3]\r\nF=c.bmp,1\r\nB=0\r\nX=0\r\n";
    ASSERT_GE(s.size(), tail.size());
    EXPECT_EQ(s.substr(s.size() - tail.size()), tail);

    reload("c:\\s.avl");
    EXPECT_EQ(column(HorzPos), (Row{"Mid", "12", "Mid"}));
    EXPECT_EQ(column(VertPos), (Row{"Mid", "-4", "Mid"}));
    EXPECT_EQ(column(UseColor), (Row{"Yes", "No", "Yes"}));
    EXPECT_EQ(column(ColorValue), (Row{"0", "", "0"}));
}

TEST_F(ScriptFile, ColourAndGammaByVersion) {
    loadScript(crlf({"[Header]", "Ver=5", "N=4", "[1]", "F=a.bmp", "B=255", "G=120",
                     "[2]", "F=b.bmp", "G=0", "[3]", "F=c.bmp"}));
    EXPECT_EQ(column(ColorValue), (Row{"255", "", ""}));
    EXPECT_EQ(column(UseColor), (Row{"Yes", "No", "No"}));
    EXPECT_EQ(column(Gamma), (Row{"120", "100", "100"}));  // G=0 and no G load as neutral

    loadScript(crlf({"[Header]", "Ver=4", "N=2", "[1]", "F=a.bmp", "B=255", "G=78"}));  // decimal still
    EXPECT_EQ(grid().cell(ColorValue, 1), "255");
    EXPECT_EQ(grid().cell(Gamma, 1), "78");

    loadScript(crlf({"[Header]", "Ver=6", "N=4", "[1]", "F=a.bmp", "B=FF", "G=78",
                     "[2]", "F=b.bmp", "G=0", "[3]", "F=c.bmp", "B=ff0000"}));
    EXPECT_EQ(column(ColorValue), (Row{"255", "", "16711680"}));
    EXPECT_EQ(column(Gamma), (Row{"120", "100", "100"}));

    // Ver read as a profile integer: 0x7 is 7.
    loadScript(crlf({"[Header]", "Ver=0x7", "N=2", "[1]", "F=a.bmp", "B=10"}));
    EXPECT_EQ(grid().cell(ColorValue, 1), "16");
}

TEST_F(ScriptFile, EffectNumbersAreClamped) {
    loadScript(crlf({"[Header]", "Ver=7", "N=6", "[1]", "F=a.bmp", "X=35", "[2]", "F=" "------------------------------", "X=45",
                     "[3]", "F=b.bmp", "X=-3", "[4]", "F=c.avi,0", "X=40", "[5]", "F=d.bmp", "X=junk"}));
    // A CD track keeps 45, a file slide stops at 29, not a number is the default 1.
    EXPECT_EQ(column(Param), (Row{"29", "45", "0", "29", "1"}));
    EXPECT_EQ(column(EffectName), (Row{"Random FX", B, "none", "Loop 30x", "Wipe Dn"}));
    EXPECT_EQ(grid().cell(DisplayName, 2), "CD Track: 45");
    EXPECT_EQ(grid().cell(FilePath, 2), B);
}

TEST_F(ScriptFile, AudioParamAndMovLoopCellAcrossARoundTrip) {
    editorState().CatalogId = "00001";
    add("c:\\m\\tune.wav", &TEditorForm::SetUpAudio);
    add("c:\\m\\film.mov", &TEditorForm::SetUpMOV);
    EXPECT_EQ(grid().cell(Param, 1), "1");
    EXPECT_EQ(grid().cell(EffectName, 2), B);
    EXPECT_EQ(grid().cell(Volume, 2), "50");

    std::string s = saveTo("c:\\s.avl");
    EXPECT_NE(s.find("[1]\r\nF=tune.wav,1\r\nX=1\r\n[2]\r\nF=film.mov,1\r\nB=0\r\nX=0\r\nL=50\r\n"),
              std::string::npos) << s;

    reload("c:\\s.avl");
    EXPECT_EQ(grid().cell(Param, 1), "0");
    EXPECT_EQ(grid().cell(EffectName, 2), "Loop 1x");
    EXPECT_EQ(grid().cell(Volume, 2), "50");
    EXPECT_NE(saveTo("c:\\s.avl").find("[1]\r\nF=tune.wav,1\r\nX=0\r\n"), std::string::npos);
}

// ---- old scripts --------------------------------------------------------------------------

TEST_F(ScriptFile, OldScriptsUseTheOldKeys) {
    editorState().DirectoryTable = {"kept"};
    loadScript(crlf({"[Header]", "Cat=ABCDE",
                     "[1]", "File=c:\\p\\a.bmp", "Color=255", "FX=4", "Wait=3", "Hpos=Left", "Vpos=7",
                     "G=150", "T=2B", "B=FF", "X=9", "P=1,2",
                     "[2]", "File=c:\\v\\b.avi", "Vid=150", "Vol=60", "Spd=80", "FX=2",
                     "[3]", "File=------------------------------", "FX=12",
                     "[4]", "F=c.bmp,0",  // no File key: the count stops here
                     "[5]", "File=c:\\p\\z.bmp"}));
    ASSERT_EQ(grid().rowCount(), 4);
    EXPECT_EQ(table(), (std::vector<Row>{
        {"1", "c:\\p\\a.bmp", "4", "255", "a.bmp", "Yes", "Wipe Lf", "3", "Left", "7", "150", B, B, B, "2B", ""},
        {"2", "c:\\v\\b.avi", "2", "", "b.avi", "No", "Loop 3x", "0", "Mid", "Mid", B, "150", "60", "80", "-", B},
        {"3", B, "12", "", "CD Track: 12", B, B, "0", B, B, B, B, B, B, "-", B},
    }));
    EXPECT_EQ(editorState().CatalogId, "ABCDE");
    EXPECT_EQ(editorState().DirectoryTable, std::vector<std::string>{"kept"});  // left as it was

    // Ver 3 with the new keys only has no File key: no slides.
    form->SetUpClear();
    sim.user.answer(kBad, ModalResult::OK);
    loadScript(crlf({"[Header]", "Ver=3", "N=2", "[1]", "F=a.bmp,0"}));
    EXPECT_EQ(grid().rowCount(), 2);
    EXPECT_EQ(grid().cell(DisplayName, 1), "<right-click me>");
}

// ---- many slides --------------------------------------------------------------------------

std::string bigScript(int slides) {
    std::string s = "[Header]\r\nVer=7\r\nN=" + std::to_string(slides + 1) + "\r\n[Directory]\r\n1=c:\\p\\\r\n";
    for (int i = 1; i <= slides; ++i) s += "[" + std::to_string(i) + "]\r\nF=s" + std::to_string(i) + ",1\r\nX=3\r\n";
    return s;
}

TEST_F(ScriptFile, ManySlidesLoadCompletelyThenWarn) {
    sim.user.answer(kTooMany, ModalResult::OK);
    loadScript(bigScript(1700));
    EXPECT_EQ(grid().rowCount(), 1701);
    EXPECT_EQ(grid().cell(FilePath, 1700), "c:\\p\\s1700.jpg");
    ASSERT_FALSE(sim.user.dialogs.empty());
    EXPECT_EQ(sim.user.dialogs.back().kind, kv::DialogKind::Warning);

    sim.user.dialogs.clear();
    loadScript(bigScript(1599));  // 1600 rows: no warning
    EXPECT_EQ(grid().rowCount(), 1600);
    EXPECT_TRUE(sim.user.dialogs.empty());
}

// ---- saving through the dialog, and failures ------------------------------------------------

TEST_F(ScriptFile, SaveAsAsksTheExplorerDialog) {
    editorState().CatalogId = "00001";
    editorState().ScriptTitle = "old title.avl";
    add("c:\\p\\a.bmp", &TEditorForm::SetUpGraphic);

    // Cancelled: nothing written, the modified flag set.
    editorState().modified = false;
    form->SaveFile(false);
    EXPECT_TRUE(editorState().modified);
    EXPECT_EQ(key("SaveAs"), "old title.avl");
    ASSERT_EQ(dialogCalls.size(), 1u);
    EXPECT_EQ(dialogCalls[0], (std::pair<int32_t, int32_t>{0, 0}));

    // Confirmed without a name: AVLNOW holds ERROR, nothing written.
    kv::explorer::setRemoteDlgHandler([](int32_t, int32_t) { return 0; });
    form->SaveFile(false);
    EXPECT_EQ(key("AVLNOW"), "ERROR");
    EXPECT_TRUE(editorState().modified);

    // A name chosen.
    dialogChoice = "c:\\shows\\My Show.avl";
    kv::explorer::setRemoteDlgHandler([this](int32_t, int32_t) {
        setKey("SaveName", dialogChoice);
        return 0;
    });
    sim.fs.createDirectory("c:\\shows");
    form->SaveFile(false);
    EXPECT_FALSE(editorState().modified);
    EXPECT_EQ(editorState().CurrentScript, "c:\\shows\\My Show.avl");
    EXPECT_EQ(key("AVLNOW"), "c:\\shows\\My Show.avl");
    EXPECT_NE(sim.readFile("c:\\shows\\My Show.avl").find("F=a.bmp,1"), std::string::npos);
    EXPECT_EQ(editorState().ScriptTitle, "My Show.avl");
    EXPECT_EQ(form->caption(), "Kavrin Slide Editor [My Show.avl]");
}

TEST_F(ScriptFile, CatalogueIdIsIssuedOnlyWhenMissing) {
    setKey("THMidx", "7P4S8");
    add("c:\\p\\a.bmp", &TEditorForm::SetUpGraphic);
    EXPECT_NE(saveTo("c:\\s.avl").find("Cat=7P4S9\r\n"), std::string::npos);
    EXPECT_EQ(editorState().CatalogId, "7P4S9");
    EXPECT_NE(saveTo("c:\\s.avl").find("Cat=7P4S9\r\n"), std::string::npos);
    EXPECT_EQ(key("THMidx"), "7P4S9");
}

class FailedSave : public ScriptFile {
protected:
    void fill(int slides) {
        editorState().CatalogId = "00001";
        for (int i = 0; i < slides; ++i) add("c:\\p\\s" + std::to_string(i) + ".bmp", &TEditorForm::SetUpGraphic);
    }
    const std::string target = "c:\\shows\\keep.avl";
    const std::string oldBytes = "[Header]\r\nVer=7\r\nN=2\r\n[1]\r\nF=old.bmp,0\r\n";
};

TEST_F(FailedSave, FailureInTheHeaderKeepsTheOldFile) {
    fill(25);
    // Each way the header cannot be written, and how it heals for the next.
    struct Case { const char* what; std::function<void(bool)> fail; };
    const Case cases[] = {
        {"disk full", [this](bool on) { sim.fs.setDiskFull(on); }},
        {"read-only target", [this](bool on) { sim.fs.setReadOnly(target, on); }},
        {"catalogue id not storable", [this](bool on) {
             editorState().CatalogId.clear();
             setKey("THMidx", "00001");
             sim.fs.setReadOnly("c:\\windows\\kavrin.ini", on);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim.writeFile(target, oldBytes);
        c.fail(true);
        sim.user.dialogs.clear();
        sim.user.answer("Save aborted at slide #0\nToo many slides or features.", ModalResult::OK);
        saveTo(target);
        c.fail(false);
        EXPECT_EQ(sim.readFile(target), oldBytes);
        ASSERT_EQ(sim.user.dialogs.size(), 1u);
        EXPECT_EQ(sim.user.dialogs[0].kind, kv::DialogKind::Error);
        EXPECT_EQ(form->caption(), "Kavrin Slide Editor [keep.avl]");
        EXPECT_FALSE(form->Gauge->visible());
        EXPECT_EQ(sim.user.cursor(), kv::CursorKind::Default);
    }
}

TEST_F(FailedSave, FailurePartWayNamesTheSlideBeingWritten) {
    fill(30);
    sim.fs.createDirectory("c:\\shows");
    const std::string full = saveTo("c:\\shows\\probe.avl");
    ASSERT_NE(full.find("[30]"), std::string::npos);
    struct Case { std::string at; const char* message; };
    for (const Case& c : {Case{"[25]\r\nF=", "Save aborted at slide #17\nToo many slides or features."},
                          Case{"[7]\r\nF=", "Save aborted at slide #7\nToo many slides or features."},
                          Case{"ScreenW=", "Save aborted at slide #0\nToo many slides or features."}}) {
        SCOPED_TRACE(c.at);
        sim.writeFile(target, oldBytes);
        // The write breaks off inside the section, a few bytes after it begins.
        sim.fs.failAfterBytes(static_cast<int64_t>(full.find(c.at) + c.at.size()));
        sim.user.dialogs.clear();
        sim.user.answer(c.message, ModalResult::OK);
        saveTo(target);
        sim.fs.failAfterBytes(-1);
        EXPECT_EQ(sim.readFile(target), oldBytes);
        ASSERT_EQ(sim.user.dialogs.size(), 1u);  // the message names the slide
        EXPECT_EQ(sim.user.dialogs[0].text, c.message);
    }
}

TEST_F(FailedSave, FailedSaveAsLeavesTheScriptModified) {
    sim.writeFile(target, oldBytes);
    fill(3);
    editorState().modified = true;
    kv::explorer::setRemoteDlgHandler([this](int32_t, int32_t) {
        setKey("SaveName", target);
        return 0;
    });
    sim.fs.setReadOnly(target, true);
    sim.user.answer("Save aborted at slide #0\nToo many slides or features.", ModalResult::OK);
    form->SaveFile(false);
    EXPECT_TRUE(editorState().modified);
    EXPECT_EQ(editorState().CurrentScript, target);
    EXPECT_EQ(sim.readFile(target), oldBytes);

    sim.fs.setReadOnly(target, false);
    form->SaveFile(false);
    EXPECT_FALSE(editorState().modified);
    EXPECT_NE(sim.readFile(target), oldBytes);

    // A new long name: the dialog left its placeholder there and named its short alias. The
    // failed save removes it; a file that holds anything else is no placeholder and stays.
    const std::string placeholder("\0\0\1\0", 4);
    sim.fs.mapDrive('D', sim.root() + "/drive-d");
    for (const std::string& there : {placeholder, std::string("\0\0\1\0!", 5)}) {
        const std::string fresh = "d:\\shows\\A new show.avl";
        kv::explorer::setRemoteDlgHandler([&](int32_t, int32_t) {
            setKey("SaveName", kv::GetShortPath(fresh));
            return 0;
        });
        sim.writeFile(fresh, there);
        sim.fs.setDriveFull('d', true);
        sim.user.answer("Save aborted at slide #0\nToo many slides or features.", ModalResult::OK);
        form->SaveFile(false);
        sim.fs.setDriveFull('d', false);
        EXPECT_EQ(sim.fs.exists(fresh), there != placeholder);
        EXPECT_TRUE(editorState().modified);
    }
}

// ---- opening --------------------------------------------------------------------------------

TEST_F(ScriptFile, OpenAsksBeforeDiscardingAndUsesTheDialog) {
    sim.writeFile("c:\\shows\\Long Show Name.avl", bigScript(2));
    editorState().modified = true;

    sim.user.answer("Discard changes?", ModalResult::No);
    form->LoadFile(false);
    EXPECT_TRUE(dialogCalls.empty());

    sim.user.answer("Discard changes?", ModalResult::Yes);
    form->LoadFile(false);  // the dialog is cancelled
    ASSERT_EQ(dialogCalls.size(), 1u);
    EXPECT_EQ(dialogCalls[0], (std::pair<int32_t, int32_t>{254, 0}));
    EXPECT_TRUE(editorState().modified);

    dialogChoice = "c:\\shows\\LONGSH~1.AVL";
    sim.user.answer("Discard changes?", ModalResult::Yes);
    form->LoadFile(false);
    EXPECT_EQ(key("AVLNOW"), "c:\\shows\\LONGSH~1.AVL");
    EXPECT_EQ(editorState().CurrentScript, "c:\\shows\\LONGSH~1.AVL");
    EXPECT_EQ(editorState().ScriptTitle, "Long Show Name.avl");
    EXPECT_EQ(form->caption(), "Kavrin Slide Editor [Long Show Name.avl]");
    EXPECT_FALSE(editorState().modified);
    EXPECT_EQ(grid().rowCount(), 3);
    EXPECT_TRUE(form->BtnSave->enabled());
}

TEST_F(ScriptFile, ActivationTitleFollowsAvlNow) {
    sim.writeFile("c:\\shows\\Long Show Name.avl", bigScript(2));
    editorState().CurrentScript = "c:\\shows\\LONGSH~1.AVL";
    editorState().ScriptTitle = "unchanged";
    setKey("AVLNOW", "c:\\shows\\LONGSH~1.AVL");
    form->LoadFile(true);
    EXPECT_EQ(form->caption(), "Kavrin Slide Editor [Long Show Name.avl]");
    EXPECT_FALSE(editorState().modified);
    EXPECT_EQ(editorState().ScriptTitle, "unchanged");
    // Without AVLNOW: EditorScripts.ScriptOpenedWithoutAVLNOWCountsAsModified.
}

// ---- damaged files ----------------------------------------------------------------------------

TEST_F(ScriptFile, ScriptsWithoutSlidesAreRefused) {
    for (const std::string& bytes : {std::string(), crlf({"[Header]", "Ver=7"}),
                                     crlf({"[Header]", "Ver=7", "N=1", "[1]", "F=a.bmp"}),
                                     crlf({"[Header]", "Ver=7", "N=-5", "[1]", "F=a.bmp"}),
                                     crlf({"[Header]", "Ver=7", "N=many", "[1]", "F=a.bmp"}),
                                     crlf({"[Header]", "Ver=7", "N=9", "[Directory]", "0=c:\\"}),
                                     std::string("\x00\xff\x01[\x02]\r\n=\r\n", 11)}) {
        form->SetUpClear();
        sim.user.answer(kBad, ModalResult::OK);
        loadScript(bytes);
        EXPECT_EQ(grid().rowCount(), 2);
        EXPECT_EQ(grid().cell(DisplayName, 1), "<right-click me>");
    }
    // A missing file reads as empty.
    sim.user.answer(kBad, ModalResult::OK);
    editorState().CurrentScript = "c:\\nowhere\\gone.avl";
    form->LoadFile(true);
    EXPECT_EQ(grid().rowCount(), 2);
}

TEST_F(ScriptFile, MissingSectionsOrAnUnreadableValueEndTheLoadKeepingEarlierSlides) {
    struct Case {
        const char* what;
        std::string bytes;
        bool bad;  // "Bad AVL file." is said
        int rows, col;
        const char* cell;  // row 1's cell in column col; nullptr: not checked
    };
    const Case cases[] = {
        {"N far beyond the sections that are there: only those are read, no rows are made up",
         crlf({"[Header]", "Ver=7", "N=2147483647", "[1]", "F=a.bmp", "[2]", "F=b.bmp"}), true, 3, 0, nullptr},
        {"a gap: the slides before it stay",
         crlf({"[Header]", "Ver=7", "N=5", "[1]", "F=a.bmp,0", "[3]", "F=c.bmp", "[4]", "F=d.bmp"}), true, 2, FilePath,
         "a.bmp"},
        {"an empty section is there: it loads as a slide of directory 0",
         crlf({"[Header]", "Ver=7", "N=3", "[1]", "[2]", "F=b.bmp"}), false, 3, 0, nullptr},
        {"sections from N on and unknown keys are not read",
         crlf({"[Header]", "Ver=7", "N=3", "Extra=1", "[1]", "F=a.bmp", "Q=5", "[2]", "F=b.bmp", "[3]", "F=c.bmp",
               "[Other]", "F=x"}), false, 3, 0, nullptr},
        {"a gamma that is no number",
         crlf({"[Header]", "Ver=7", "N=5", "[1]", "F=a.bmp", "B=FF", "[2]", "F=b.bmp", "G=7G", "[3]", "F=c.bmp", "[4]",
               "F=d.bmp"}), true, 2, ColorValue, "255"},
        {"a decimal colour that is no number",
         crlf({"[Header]", "Ver=6", "N=3", "[1]", "F=a.bmp", "B=red", "[2]", "F=b.bmp"}), true, 2, DisplayName,
         "<right-click me>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        form->SetUpClear();
        sim.user.dialogs.clear();
        if (c.bad) sim.user.answer(kBad, ModalResult::OK);
        loadScript(c.bytes);
        EXPECT_EQ(grid().rowCount(), c.rows);
        if (c.cell) EXPECT_EQ(grid().cell(c.col, 1), c.cell);
        EXPECT_EQ(sim.user.dialogs.size(), c.bad ? 1u : 0u);
    }
}

TEST_F(ScriptFile, TruncatedAndRandomFilesNeverBreakTheLoad) {
    buildExample();
    const std::string good = saveTo("c:\\s.avl");
    for (size_t cut = 0; cut < good.size(); cut += 7) {
        form->SetUpClear();
        sim.user.dialogs.clear();
        sim.user.unexpected.clear();
        loadScript(good.substr(0, cut));
        EXPECT_GE(grid().rowCount(), 2);
        EXPECT_LE(grid().rowCount(), 5);
        for (const auto& d : sim.user.dialogs) EXPECT_EQ(d.text, kBad);
    }
    std::mt19937 rng(7);
    for (int round = 0; round < 50; ++round) {
        std::string junk = good;
        for (int k = 0; k < 20; ++k) junk[rng() % junk.size()] = static_cast<char>(rng());
        sim.user.dialogs.clear();
        loadScript(junk);
        EXPECT_LE(grid().rowCount(), 5);
        for (const auto& d : sim.user.dialogs) EXPECT_EQ(d.text, kBad);
    }
    sim.user.unexpected.clear();
}

// ---- catalogue ids --------------------------------------------------------------------------

TEST_F(ScriptFile, NextCatalogueIdFollowsTheLastOne) {
    setKey("THMidx", "7P4S8");
    EXPECT_EQ(NewCatalogId(), "7P4S9");
    EXPECT_EQ(key("THMidx"), "7P4S9");
    setKey("THMidx", "0000V");
    EXPECT_EQ(NewCatalogId(), "010");
    setKey("THMidx", "7P4SV");
    EXPECT_EQ(NewCatalogId(), "7P4T0");
    setKey("THMidx", "VVVVV");  // wraps within six digits: 100000
    EXPECT_EQ(NewCatalogId(), "100000");
}

TEST_F(ScriptFile, FirstCatalogueIdComesFromTheClock) {
    sim.system.clock = 45000.5;  // day 45000 = 1BU8, half a day = 5000 = 4S8
    EXPECT_EQ(NewCatalogId(), "U84S8");
    EXPECT_EQ(key("THMidx"), "U84S8");
    setKey("THMidx", "");
    sim.system.clock = 45000.0001;  // 1/10000 of a day: "BU8" + "1", characters 2 to 6
    EXPECT_EQ(NewCatalogId(), "0U81");
}

TEST(CatalogDigits, EncodeDecodeStrip) {
    EXPECT_EQ(EncodeBase32(0), "000000");
    EXPECT_EQ(EncodeBase32(45000), "001BU8");
    EXPECT_EQ(EncodeBase32(0x40000000u | 33u), "000011");  // bits above 30 do not count
    EXPECT_EQ(EncodeBase32(static_cast<uint32_t>(-1)), "VVVVVV");
    EXPECT_EQ(DecodeBase32("7P4S8"), ((((7 * 32 + 25) * 32 + 4) * 32 + 28) * 32 + 8));
    EXPECT_EQ(DecodeBase32("V"), 31);
    EXPECT_EQ(DecodeBase32("10"), 32);
    EXPECT_EQ(DecodeBase32("0000112345"), 1);  // only the first five characters count
    EXPECT_EQ(DecodeBase32(""), 0);
    EXPECT_EQ(StripLeadingZeros("000120"), "120");
    EXPECT_EQ(StripLeadingZeros("0000"), "");
    EXPECT_EQ(StripLeadingZeros(""), "");
}

}  // namespace
