// The INI engine: reading rules, the writer's bytes, key lists and the bulk builder.
#include <gtest/gtest.h>

#include "framework/ini.h"

namespace {

using kv::IniBuilder;
using kv::IniDocument;
using kv::IniRules;
using V = std::vector<std::string>;

TEST(IniRead, NamesIgnoreCaseAndBlanksAndTheFirstMatchWins) {
    auto d = IniDocument::parse(
        "[kavrin]\r\nSaveName = c:\\a.bmp \r\nSavename=second\r\n"
        "[KAVRIN]\r\nother=1\r\n[ spaced ]\r\n\tk\t=\tv\t\r\n");
    EXPECT_EQ(d.readString("kavrin", "Savename", "ERROR"), "c:\\a.bmp");
    EXPECT_EQ(d.readString("KAVRIN", "SAVENAME", "ERROR"), "c:\\a.bmp");
    // Only the first of two sections with one name is searched.
    EXPECT_EQ(d.readString("kavrin", "other", "none"), "none");
    EXPECT_EQ(d.readString("  spaced ", " K ", ""), "v");
    EXPECT_EQ(d.readString("missing", "k", "def"), "def");
    EXPECT_EQ(d.readString("kavrin", "missing", "def  "), "def");
    EXPECT_EQ(IniDocument().readString("kavrin", "SaveName", "ERROR"), "ERROR");
}

TEST(IniRead, ALineWithoutEqualsSignHidesLaterKeysOfItsName) {
    auto d = IniDocument::parse("[s]\nflag\nflag=1\n;note=2\n=empty\n=dropped\n");
    EXPECT_EQ(d.readString("s", "flag", "def"), "def");
    EXPECT_EQ(d.readString("s", ";note", "def"), "2");
    EXPECT_EQ(d.sectionKeys("s"), V({"flag"}));  // an empty name ends the list
    EXPECT_EQ(d.sectionValues("s"), V({"flag", "flag=1", "=empty"}));
}

TEST(IniRead, MatchingQuotesAreRemoved) {
    auto d = IniDocument::parse("[q]\na=\"x y\"\nb='z'\nc=\"mixed'\nd=\"\ne=\"\"\n");
    EXPECT_EQ(d.readString("q", "a", ""), "x y");
    EXPECT_EQ(d.readString("q", "b", ""), "z");
    EXPECT_EQ(d.readString("q", "c", ""), "\"mixed'");
    EXPECT_EQ(d.readString("q", "d", ""), "\"");
    EXPECT_EQ(d.readString("q", "e", "x"), "");
    EXPECT_EQ(d.readString("q", "missing", "'def'"), "def");
    // The key list and the section values show values as stored.
    EXPECT_EQ(d.sectionValues("q")[0], "a=\"x y\"");
}

TEST(IniRead, ValuesAreCutTo1023Characters) {
    std::string big(1500, 'x');
    auto d = IniDocument::parse("[s]\nbig=" + big + "\nexact=" + std::string(1023, 'e') +
                                "\nquoted=\"" + std::string(1023, 'q') + "\"\n");
    EXPECT_EQ(d.readString("s", "big", ""), std::string(1023, 'x'));
    EXPECT_EQ(d.readString("s", "exact", ""), std::string(1023, 'e'));
    // A quoted value that fills the buffer exactly loses its last character too, as on the
    // platform.
    EXPECT_EQ(d.readString("s", "quoted", ""), std::string(1022, 'q'));
    // Section values are not cut.
    EXPECT_EQ(d.sectionValues("s")[0].size(), 4 + big.size());
}

TEST(IniRead, LineEndsOfEveryKind) {
    auto d = IniDocument::parse("[a]\rk=1\r[b]\nk=2\n\n[c]\r\n\r\nk=3");
    EXPECT_EQ(d.readString("a", "k", ""), "1");
    EXPECT_EQ(d.readString("b", "k", ""), "2");
    EXPECT_EQ(d.readString("c", "k", ""), "3");
    EXPECT_EQ(d.sectionNames(), V({"a", "b", "c"}));
}

TEST(IniRead, HeadersAndOddLines) {
    auto d = IniDocument::parse("top=0\n[ a ]junk\nk=1\n[broken\nx=2\n[]\ny=3\n[a]]\nz=4\n");
    EXPECT_EQ(d.readString("", "top", ""), "0");
    EXPECT_EQ(d.readString("a", "x", ""), "2");  // "[broken" is a key line of section a
    EXPECT_EQ(d.readString("a]", "z", ""), "4");
    EXPECT_EQ(d.sectionNames(), V({"a", "a]"}));
    EXPECT_EQ(d.sectionKeys("a"), V({"k", "x"}));
}

TEST(IniRead, NulEndsANameOrValue) {
    using namespace std::string_literals;
    auto d = IniDocument::parse("[s]\nk=ab\0cd\nn\0x=1\n"s);
    EXPECT_EQ(d.readString("s", "k", ""), "ab");
    EXPECT_EQ(d.readString("s", "n", ""), "1");
}

TEST(IniRead, KeyListIsCutAt8192Bytes) {
    std::string text = "[s]\n";
    V names;
    for (int i = 0; i < 1000; ++i) {
        std::string n = "key" + std::to_string(1000 + i);  // 7 characters
        names.push_back(n);
        text += n + "=v\n";
    }
    auto d = IniDocument::parse(text);
    V keys = d.sectionKeys("s");
    // 8192 characters hold 1023 names of 7 and their NULs (8184) and 6 more characters (the
    // last name cut) before the final two NULs.
    ASSERT_EQ(keys.size(), 1000u);  // all of them fit: 8000 characters
    EXPECT_EQ(keys, names);
    for (int i = 1000; i < 1100; ++i) text += "key" + std::to_string(1000 + i) + "=v\n";
    keys = IniDocument::parse(text).sectionKeys("s");
    ASSERT_EQ(keys.size(), 1024u);
    EXPECT_EQ(keys[1022], "key2022");
    EXPECT_EQ(keys[1023], "key202");
    // A small buffer shows the same rule.
    EXPECT_EQ(IniDocument::parse("[s]\nabc=1\ndefg=2\n").sectionKeys("s", 8), V({"abc", "de"}));
}

TEST(IniRead, AnsiLettersFoldByDefaultButNotUnderWineRules) {
    std::string text = "[\xC4rger]\n\xD6L=1\n";
    EXPECT_EQ(IniDocument::parse(text).readString("\xE4RGER", "\xF6l", ""), "1");
    EXPECT_EQ(IniDocument::parse(text, IniRules::wine8()).readString("\xE4RGER", "\xF6l", "d"), "d");
    EXPECT_EQ(IniDocument().readString("s", "k", "   "), "");
    EXPECT_EQ(IniDocument(IniRules::wine8()).readString("s", "k", "   "), " ");
}

TEST(IniWrite, TheFileIsRewrittenInTheWritersLayout) {
    auto d = IniDocument::parse("; head\n\n[a]\n  k  =  v  \nnoeq\n=x\n=y\n\n[b]\r\nz=1");
    EXPECT_FALSE(d.modified());
    EXPECT_TRUE(d.writeString("a", "new", "1"));
    EXPECT_EQ(d.bytes(), "; head\r\n[a]\r\nk=v\r\nnoeq\r\n=x\r\nnew=1\r\n[b]\r\nz=1\r\n");
    EXPECT_TRUE(d.writeString("c", "k", "  lead"));
    EXPECT_TRUE(d.writeString("b", "Z", "2"));
    EXPECT_EQ(d.bytes(),
              "; head\r\n[a]\r\nk=v\r\nnoeq\r\n=x\r\nnew=1\r\n[b]\r\nz=2\r\n[c]\r\nk=lead\r\n");
    EXPECT_TRUE(d.writeString("a", "noeq", "now"));
    EXPECT_EQ(d.readString("a", "noeq", ""), "now");
}

TEST(IniWrite, AnUnchangedFileKeepsItsBytes) {
    std::string text = "[a]\n k = v \n";
    auto d = IniDocument::parse(text);
    EXPECT_FALSE(d.writeString("A", "K", "v"));
    EXPECT_FALSE(d.deleteKey("a", "missing"));
    EXPECT_FALSE(d.deleteSection("missing"));
    EXPECT_FALSE(d.modified());
    EXPECT_EQ(d.bytes(), text);
    IniDocument absent;
    EXPECT_FALSE(absent.deleteKey("a", "k"));
    EXPECT_FALSE(absent.exists());
    EXPECT_TRUE(absent.writeString("kavrin", "SaveName", "x"));
    EXPECT_TRUE(absent.exists());
    EXPECT_EQ(absent.bytes(), "[kavrin]\r\nSaveName=x\r\n");
}

TEST(IniWrite, DeletingKeysAndSections) {
    auto d = IniDocument::parse("[a]\nk=1\n[b]\nk=2\n[a]\nk=3\nj=4\n");
    EXPECT_TRUE(d.deleteKey("A", "K"));
    EXPECT_EQ(d.bytes(), "[a]\r\n[b]\r\nk=2\r\n[a]\r\nk=3\r\nj=4\r\n");
    // The key is looked for in the next section of the name once the first has none.
    EXPECT_TRUE(d.deleteKey("a", "k"));
    EXPECT_TRUE(d.deleteSection("a"));
    EXPECT_EQ(d.bytes(), "[b]\r\nk=2\r\n[a]\r\nj=4\r\n");
    EXPECT_EQ(d.readString("a", "j", ""), "4");
    EXPECT_TRUE(d.deleteSection("a"));
    EXPECT_EQ(d.readString("a", "j", "gone"), "gone");
}

TEST(IniWrite, ValuesThatDoNotReadBackAsWrittenAreReadFromTheBytes) {
    IniDocument d;
    EXPECT_TRUE(d.writeString("s ", "k", "two\r\nlines "));
    // The bytes hold what was written; the document reads as those bytes read.
    EXPECT_EQ(d.bytes(), "[s ]\r\nk=two\r\nlines \r\n");
    EXPECT_EQ(d.readString("s", "k", ""), "two");
    EXPECT_EQ(d.sectionKeys("s"), V({"k"}));
    EXPECT_EQ(d.sectionValues("s"), V({"k=two", "lines"}));
    EXPECT_TRUE(d.writeString("s", "x", "1"));
    EXPECT_EQ(d.bytes(), "[s]\r\nk=two\r\nlines\r\nx=1\r\n");
    // The nameless section is the part before the first header.
    EXPECT_TRUE(d.writeString("", "top", "1"));
    EXPECT_EQ(d.readString("s", "top", ""), "");
    EXPECT_EQ(d.readString("", "top", ""), "1");
}

TEST(IniWrite, LongLinesAndBinaryBytesSurvive) {
    std::string big(9000, 'b');
    std::string bin = "\x01\x7f\x80\xff\xa0";
    IniDocument d;
    d.writeString("s", "big", big);
    d.writeString("s", "bin", bin);
    auto back = IniDocument::parse(d.bytes());
    EXPECT_EQ(back.sectionValues("s"), V({"big=" + big, "bin=" + bin}));
    EXPECT_EQ(back.readString("s", "bin", ""), bin);
}

TEST(IniBuilder, WritesTheScriptOfTheWorkedExample) {
    // Added in this order: the directory's last two entries come after the slides and still
    // land in their section.
    const char* const adds[][3] = {
        {"Header", "Ver", "7"}, {"Header", "ScreenW", "800"}, {"Header", "ScreenH", "600"}, {"Header", "N", "5"},
        {"Header", "Cat", "7P4S8"}, {"Directory", "0", "C:\\SHOWAPP\\"},
        {"1", "F", "beach,1"}, {"1", "B", "0"}, {"1", "X", "3"}, {"1", "W", "5"}, {"1", "T", "1A"},
        {"2", "F", "sunset.bmp,1"}, {"2", "B", "FF"}, {"2", "X", "0"}, {"2", "P", "Left,Top"}, {"2", "G", "78"},
        {"3", "F", "clip.avi,2"}, {"3", "B", "0"}, {"3", "X", "1"}, {"3", "Z", "200"}, {"3", "L", "50"},
        {"4", "F", "------------------------------"}, {"4", "X", "7"},
        {"Directory", "1", "c:\\photos\\"}, {"Directory", "2", "c:\\media\\"},
    };
    IniBuilder b;
    for (const auto& a : adds) b.add(a[0], a[1], a[2]);
    EXPECT_EQ(b.bytes(),
              "[Header]\r\nVer=7\r\nScreenW=800\r\nScreenH=600\r\nN=5\r\nCat=7P4S8\r\n"
              "[Directory]\r\n0=C:\\SHOWAPP\\\r\n1=c:\\photos\\\r\n2=c:\\media\\\r\n"
              "[1]\r\nF=beach,1\r\nB=0\r\nX=3\r\nW=5\r\nT=1A\r\n"
              "[2]\r\nF=sunset.bmp,1\r\nB=FF\r\nX=0\r\nP=Left,Top\r\nG=78\r\n"
              "[3]\r\nF=clip.avi,2\r\nB=0\r\nX=1\r\nZ=200\r\nL=50\r\n"
              "[4]\r\nF=------------------------------\r\nX=7\r\n");
    auto d = IniDocument::parse(b.bytes());
    EXPECT_EQ(d.sectionValues("Directory"), V({"0=C:\\SHOWAPP\\", "1=c:\\photos\\", "2=c:\\media\\"}));
    EXPECT_EQ(d.readString("3", "z", ""), "200");
}

TEST(IniBuilder, LargeSectionsUseTheirKeyIndex) {
    IniBuilder b;
    b.add("first", "k", "v");
    b.reserve(100000, 1000);  // after the first section: it must stay findable
    for (int i = 0; i < 500; ++i) b.add("big", "k" + std::to_string(i), std::to_string(i));
    EXPECT_FALSE(b.add("BIG", "K250", "250"));
    EXPECT_TRUE(b.add("big", "K250", "x"));
    auto d = IniDocument::parse(b.bytes());
    EXPECT_EQ(d.readString("big", "k250", ""), "x");
    EXPECT_EQ(d.readString("big", "k499", ""), "499");
    EXPECT_EQ(d.sectionKeys("big").size(), 500u);
    EXPECT_FALSE(b.add("FIRST", "K", "v"));
    EXPECT_EQ(d.sectionNames(), V({"first", "big"}));
}

}  // namespace
