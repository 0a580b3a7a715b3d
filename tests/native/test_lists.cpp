// The list controls of the framework against the sim platform: the list box with pictures
// (sorted insertion, in-place changes, single and multiple selection as the user clicks), the
// drive box, the folder list (which also sets the current directory), the window hook and the
// drop-down list with pictures; the bounded cache of the backend's brushes and fonts.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "framework/bounded_cache.h"
#include "framework/lists.h"
#include "framework/sim/sim_platform.h"

using namespace kv;

namespace {

struct Lists : ::testing::Test {
    SimPlatform sim;
    Form form{"ListForm"};
};

std::vector<std::string> texts(const ListBox& lb) {
    std::vector<std::string> v;
    for (const auto& it : lb.items()) v.push_back(it.text);
    return v;
}

}  // namespace

TEST_F(Lists, SortedListInsertsInOrderAndChangesInPlace) {
    auto* lb = make<ListBox>(&form, "List");
    lb->sorted = true;
    lb->add("b.bmp", 0);
    lb->add("  sub\\", 1);
    lb->add("A.bmp", 0);
    lb->add("\xFF\xFFlast\\", 1);
    EXPECT_EQ(texts(*lb), (std::vector<std::string>{"  sub\\", "A.bmp", "b.bmp", "\xFF\xFFlast\\"}));
    lb->setItem(0, "sub\\");  // the prefix removed without sorting again
    EXPECT_EQ(lb->item(0), "sub\\");
    EXPECT_EQ(lb->picture(0), 1);
    EXPECT_EQ(lb->item(9), "");
    EXPECT_EQ(lb->picture(-1), -1);
}

TEST_F(Lists, ClicksSelectAsTheUserDoes) {
    auto* lb = make<ListBox>(&form, "List");
    lb->assign({{"a", -1, false}, {"b", -1, false}, {"c", -1, false}, {"d", -1, false}});
    int clicks = 0;
    lb->onClick = [&](Control*) { ++clicks; };
    lb->clickItem(1);
    lb->setMultiSelect(true);
    lb->clickItem(3, CtrlKey);
    EXPECT_EQ(lb->selCount(), 2);
    lb->clickItem(0, ShiftKey);
    EXPECT_EQ(lb->selCount(), 4);
    EXPECT_EQ(lb->itemIndex(), 0);
    lb->clickItem(2);
    EXPECT_EQ(lb->selCount(), 1);
    EXPECT_TRUE(lb->selected(2));
    EXPECT_EQ(clicks, 4);
    lb->setMultiSelect(false);  // a single selection keeps the current row
    EXPECT_EQ(lb->selCount(), 1);
    lb->setSelected(0, true);
    EXPECT_EQ(lb->itemIndex(), 0);
    EXPECT_FALSE(lb->selected(2));
    lb->setEnabled(false);
    lb->clickItem(3);
    EXPECT_EQ(lb->itemIndex(), 0);
    lb->clear();
    EXPECT_EQ(lb->count(), 0);
    EXPECT_EQ(lb->itemIndex(), -1);
}

TEST_F(Lists, DriveBoxListsTheDrivesWithTheirPictures) {
    sim.fs.mapDrive('a', sim.root() + "/floppy");
    sim.fs.setDriveInfo('a', DriveType::Removable, "");
    sim.fs.setDriveInfo('c', DriveType::Fixed, "SYSTEM");
    auto* d = make<DriveComboBox>(&form, "DriveBox");
    d->refresh();
    ASSERT_EQ(d->entries().size(), 2u);
    EXPECT_EQ(d->entries()[0].text, "a:");
    EXPECT_EQ(d->entries()[0].picture, "drive-floppy");
    EXPECT_EQ(d->entries()[1].text, "c: [system]");
    int changes = 0;
    d->onChange = [&](Control*) { ++changes; };
    d->setDrive('A');
    d->setDrive('z');  // not a drive
    EXPECT_EQ(d->drive(), 'a');
    EXPECT_EQ(d->itemIndex(), 0);
    EXPECT_EQ(changes, 1);
}

TEST_F(Lists, FolderListHoldsThePathAndTheSubfoldersAndSetsTheCurrentDirectory) {
    sim.writeFile("c:\\Photos\\Holiday\\x.bmp");
    sim.writeFile("c:\\Photos\\Beach\\y.bmp");
    sim.writeFile("c:\\Photos\\z.bmp");
    auto* d = make<DirectoryListBox>(&form, "Dirs");
    int changes = 0;
    d->onChange = [&](Control*) { ++changes; };
    ASSERT_TRUE(d->setDirectory("c:\\Photos"));
    EXPECT_EQ(d->entries(), (std::vector<std::string>{"c:\\", "Photos", "Beach", "Holiday"}));
    EXPECT_EQ(d->itemIndex(), 1);
    EXPECT_EQ(d->picture(1), "folder-open");
    EXPECT_EQ(d->picture(2), "folder");
    EXPECT_EQ(sim.fs.currentDirectory(), "C:\\Photos");
    EXPECT_FALSE(d->setDirectory("c:\\Photos\\z.bmp"));
    EXPECT_FALSE(d->setDirectory("c:\\nowhere"));
    EXPECT_EQ(changes, 1);
    ASSERT_TRUE(d->setDirectory("c:"));
    EXPECT_EQ(d->itemIndex(), 0);
}

TEST_F(Lists, WindowHookSeesTheFormsMessagesUntilItGoes) {
    std::vector<uint32_t> seen;
    {
        WindowHook hook(&form);
        hook.onBeforeMessage = [&](uint32_t msg, uintptr_t wp) { seen.push_back(msg * 10 + static_cast<uint32_t>(wp)); };
        WindowHook::beforeMessage(form, wm::Activate, 1);
        hook.active = false;
        WindowHook::beforeMessage(form, wm::Activate, 2);
    }
    WindowHook::beforeMessage(form, wm::Activate, 3);
    EXPECT_EQ(seen, (std::vector<uint32_t>{61}));
    EXPECT_TRUE(form.windowHooks.empty());
}

TEST_F(Lists, PictureComboBoxKeepsAPicturePerItem) {
    auto* cb = make<PictureComboBox>(&form, "Look");
    cb->setItems({"c:", " \\photos"}, {"drive-fixed"});
    EXPECT_EQ(cb->picture(0), "drive-fixed");
    EXPECT_EQ(cb->picture(1), "");
    EXPECT_EQ(cb->picture(2), "");
    cb->select(1);
    EXPECT_EQ(cb->text(), " \\photos");
}

// The backend's brush and font caches: the cap holds by letting go the values asked for least
// recently, never one held elsewhere (a font a window still has) nor the one just asked for.
TEST(BoundedCache, KeepsItsCapByDroppingTheLeastRecentValuesThatNothingHolds) {
    std::vector<int> dropped;
    std::set<int> held;
    int made = 0;
    {
        kv::BoundedCache<int, int> cache(3, [&](int& v) { dropped.push_back(v); },
                                         [&](const int& v) { return held.count(v) != 0; });
        auto get = [&](int k) { return cache.get(k, [&] { ++made; return k * 10; }); };
        EXPECT_EQ(get(1), 10);
        get(2);
        get(3);
        EXPECT_EQ(get(1), 10);  // found: made once, now the most recent
        EXPECT_EQ(made, 3);
        get(4);
        EXPECT_EQ(dropped, (std::vector<int>{20}));
        held = {30};  // the least recent now, but held: the next one goes instead
        get(5);
        EXPECT_EQ(dropped, (std::vector<int>{20, 10}));
        held = {30, 40, 50};  // everything held: the cache grows past its cap for a while
        get(6);
        EXPECT_EQ(cache.size(), 4u);
        held.clear();  // free again: the next miss brings it back to the cap
        get(7);
        EXPECT_EQ(cache.size(), 3u);
        EXPECT_EQ(dropped, (std::vector<int>{20, 10, 30, 40}));
    }
    EXPECT_EQ(dropped.size(), 7u);  // the rest go with the cache
}
