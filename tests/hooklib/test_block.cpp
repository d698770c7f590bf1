// The shared block as plain memory: its layout, its bounded texts, the interlocked dialog counter,
// one operation's access through a given opener, and the hook's set of possible colour dialogs.
// No library, no section.
#include "BlockAccess.h"
#include "SharedBlock.h"
#include "WindowSet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace {

// A block on a 4-byte boundary, as a mapped view always is.
struct alignas(8) TAlignedBlock {
    TSharedBlock Block{};
};

template <class T>
T At(const TSharedBlock& block, std::size_t offset) {
    T value;
    std::memcpy(&value, reinterpret_cast<const unsigned char*>(&block) + offset, sizeof value);
    return value;
}

TEST(SharedBlockLayout, FieldsLandAtTheirByteOffsets) {
    TAlignedBlock aligned;
    TSharedBlock& block = aligned.Block;
    block.HookHandle = 0x11223344;
    block.OwnerWindow = 0x55667788;
    block.PickCursor = 0x99AABBCC;
    block.HookMessage = 0xC123;
    StoreDialogCount(block, 7);
    block.OnTop = 1;
    block.Dialog = 2;
    block.WebSafe = 3;
    WriteBlockText(block.SettingsBase, "base");
    WriteBlockText(block.PaletteFolder, "folder");
    block.DialogRect = {-5, 6, 272, 326};
    block.ChildRects[26] = {1, 2, 3, 4};

    EXPECT_EQ(At<std::uint32_t>(block, 0), 0x11223344u);
    EXPECT_EQ(At<std::uint32_t>(block, 4), 0x55667788u);
    EXPECT_EQ(At<std::uint32_t>(block, 8), 0x99AABBCCu);
    EXPECT_EQ(At<std::uint16_t>(block, 12), 0xC123u);
    EXPECT_EQ(At<std::uint8_t>(block, 14), 7u);
    EXPECT_EQ(At<std::uint8_t>(block, 15), 1u);
    EXPECT_EQ(At<std::uint8_t>(block, 16), 2u);
    EXPECT_EQ(At<std::uint8_t>(block, 17), 3u);
    EXPECT_STREQ(reinterpret_cast<const char*>(&block) + 18, "base");
    EXPECT_STREQ(reinterpret_cast<const char*>(&block) + 279, "folder");
    EXPECT_EQ(At<std::int32_t>(block, 540), -5);
    EXPECT_EQ(At<std::int32_t>(block, 552), 326);
    EXPECT_EQ(At<std::int32_t>(block, 556 + 26 * 16 + 12), 4);
    EXPECT_EQ(sizeof(TSharedBlock), 992u);
}

TEST(SharedBlockHandles, KeepFourBytesAndComeBackSignExtended) {
    const HWND window = BlockHandle<HWND>(0x00010ABC);
    EXPECT_EQ(ToBlockHandle(window), 0x00010ABCu);
    // A handle above 0x7FFFFFFF comes back as Windows' LongToHandle gives it.
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(BlockHandle<HANDLE>(0xFFFFFFFE)), -2);
}

TEST(SharedBlockText, ReadsNeverRunPastTheField) {
    TAlignedBlock aligned;
    TSharedBlock& block = aligned.Block;
    // Another process filled the text with no NUL at all; the next field follows directly.
    std::memset(block.SettingsBase, 'x', kBlockTextSize);
    std::memset(block.PaletteFolder, 'y', kBlockTextSize);
    const std::string text = BlockText(block.SettingsBase);
    EXPECT_EQ(text, std::string(kBlockTextSize - 1, 'x'));

    WriteBlockText(block.SettingsBase, "C:\\Apps\\Vorlund");
    EXPECT_EQ(BlockText(block.SettingsBase), "C:\\Apps\\Vorlund");
    EXPECT_EQ(block.SettingsBase[kBlockTextSize - 1], '\0') << "writing zero-fills the whole field";
}

TEST(SharedBlockText, LongTextsAreCutToTheField) {
    TAlignedBlock aligned;
    TSharedBlock& block = aligned.Block;
    std::memset(block.PaletteFolder, 'y', kBlockTextSize);
    WriteBlockText(block.SettingsBase, std::string(400, 'a'));
    EXPECT_EQ(BlockText(block.SettingsBase), std::string(kBlockTextSize - 1, 'a'));
    EXPECT_EQ(block.PaletteFolder[0], 'y') << "the neighbouring field is untouched";

    // The controller zero-fills only the first 260 bytes of PaletteFolder.
    block.Reserved[0] = 0;
    WriteBlockText(block.PaletteFolder, "D:\\Palettes", kBlockTextSize - 1);
    EXPECT_EQ(BlockText(block.PaletteFolder), "D:\\Palettes");
    EXPECT_EQ(block.PaletteFolder[kBlockTextSize - 1], 'y');
}

TEST(SharedBlockText, APublishedFolderKeepsItsLastByteAndReplacesALongerOne) {
    TAlignedBlock aligned;
    TSharedBlock& block = aligned.Block;
    std::memset(block.PaletteFolder, 'y', kBlockTextSize);
    const std::string longFolder = "D:\\" + std::string(300, 'p');
    WriteBlockText(block.PaletteFolder, longFolder, kBlockTextSize - 1);
    EXPECT_EQ(BlockText(block.PaletteFolder), longFolder.substr(0, kBlockTextSize - 2))
        << "at most 259 characters, so the text ends inside the 260 zero-filled bytes";
    EXPECT_EQ(block.PaletteFolder[kBlockTextSize - 2], '\0');
    EXPECT_EQ(block.PaletteFolder[kBlockTextSize - 1], 'y');

    WriteBlockText(block.PaletteFolder, "E:\\P", kBlockTextSize - 1);
    EXPECT_EQ(BlockText(block.PaletteFolder), "E:\\P") << "nothing of the longer folder remains";
    EXPECT_EQ(block.PaletteFolder[100], '\0');
}

TEST(DialogCounter, TakeOversNeverReachTheProbeMark) {
    TAlignedBlock aligned;
    TSharedBlock& block = aligned.Block;
    block.HookMessage = 0xC0DE;
    block.OnTop = 1;
    StoreDialogCount(block, 252);
    EXPECT_TRUE(CountDialogIn(block));
    EXPECT_EQ(ReadDialogCount(block), 253);
    EXPECT_FALSE(CountDialogIn(block)) << "254 would make the next user's dialog a probe";
    EXPECT_EQ(ReadDialogCount(block), 253);
    EXPECT_FALSE(ClaimProbe(block));
    EXPECT_EQ(block.HookMessage, 0xC0DE) << "neighbours of the counter keep their values";
    EXPECT_EQ(block.OnTop, 1);
}

TEST(DialogCounter, ProbeClaimAndCountingOut) {
    TAlignedBlock aligned;
    TSharedBlock& block = aligned.Block;
    StoreDialogCount(block, kProbePending);
    EXPECT_TRUE(ClaimProbe(block));
    EXPECT_EQ(ReadDialogCount(block), 0);
    EXPECT_FALSE(ClaimProbe(block)) << "only one dialog is the probe";

    StoreDialogCount(block, 254);
    EXPECT_TRUE(ClaimProbe(block));

    StoreDialogCount(block, 1);
    CountDialogOut(block);
    CountDialogOut(block);
    EXPECT_EQ(ReadDialogCount(block), 0) << "never below 0";

    // Dialogs of other programs that end while a probe is pending leave its mark alone.
    StoreDialogCount(block, kProbePending);
    CountDialogOut(block);
    CountDialogOut(block);
    EXPECT_TRUE(ClaimProbe(block));
}

// A host killed with dialogs open never counts them out; the reader that sees fewer live dialogs
// than counted lowers the count, but only to what it saw, and only if nothing moved meanwhile.
TEST(DialogCounter, DialogsOfEndedHostsAreForgottenButNeverLiveOnes) {
    TAlignedBlock aligned;
    TSharedBlock& block = aligned.Block;
    StoreDialogCount(block, 3);
    EXPECT_EQ(ForgetEndedDialogs(block, 3, 1), 1);
    EXPECT_EQ(ForgetEndedDialogs(block, 1, 4), 1) << "more live dialogs than counted (uncounted ones) raise nothing";
    EXPECT_EQ(ForgetEndedDialogs(block, 5, 0), 1) << "a count that moved since it was read stays";
    StoreDialogCount(block, kProbePending);
    EXPECT_EQ(ForgetEndedDialogs(block, kProbePending, 0), kProbePending) << "the probe mark is no dialog count";
    StoreDialogCount(block, 2);
    EXPECT_EQ(ForgetEndedDialogs(block, 2, -1), 2) << "an unknown number of live dialogs";
    EXPECT_EQ(ForgetEndedDialogs(block, 2, 0), 0);
}

TEST(DialogCounter, ConcurrentThreadsLoseNoUpdate) {
    TAlignedBlock aligned;
    TSharedBlock& block = aligned.Block;
    auto work = [&block] {
        for (int round = 0; round < 2000; ++round) {
            for (int i = 0; i < 60; ++i) CountDialogIn(block);
            for (int i = 0; i < 60; ++i) CountDialogOut(block);
        }
    };
    std::thread a(work), b(work), c(work);
    // Plain stores to the neighbours must survive the counter's compare-exchange loop too.
    for (int i = 0; i < 20000; ++i) block.OnTop = static_cast<std::uint8_t>(i & 1);
    a.join();
    b.join();
    c.join();
    EXPECT_EQ(ReadDialogCount(block), 0);
    EXPECT_EQ(block.OnTop, 1);
}

// A stand-in for the library's GetFMObj / ReleaseFMObj pair over a block in memory.
struct TFakeLibrary {
    TAlignedBlock Aligned;
    std::int32_t OpenAnswer = 0;
    int Opens = 0;
    int Releases = 0;
    HANDLE ReleasedSection = nullptr;
    void* ReleasedView = nullptr;
};
TFakeLibrary* gFake = nullptr;
const HANDLE kFakeSection = reinterpret_cast<HANDLE>(0x4D0);

std::int32_t WINAPI FakeOpen(HANDLE* section, void** view) {
    ++gFake->Opens;
    const bool ok = gFake->OpenAnswer == 0;
    *section = ok ? kFakeSection : nullptr;
    *view = ok ? &gFake->Aligned.Block : nullptr;
    return gFake->OpenAnswer;
}

void WINAPI FakeRelease(HANDLE section, void* view) {
    ++gFake->Releases;
    gFake->ReleasedSection = section;
    gFake->ReleasedView = view;
}

class BlockAccess : public ::testing::Test {
protected:
    void SetUp() override { gFake = &fake; }
    void TearDown() override { gFake = nullptr; }
    TFakeLibrary fake;
};

TEST_F(BlockAccess, OneOperationOpensOnceAndReleasesWhatItOpened) {
    {
        TBlockAccess access(FakeOpen, FakeRelease);
        ASSERT_TRUE(access);
        EXPECT_EQ(access.Status(), 0);
        EXPECT_EQ(access.Block(), &fake.Aligned.Block);
        access->OnTop = 1;
        EXPECT_EQ(fake.Releases, 0) << "the block stays mapped for the whole operation";
    }
    EXPECT_EQ(fake.Aligned.Block.OnTop, 1);
    EXPECT_EQ(fake.Opens, 1);
    EXPECT_EQ(fake.Releases, 1);
    EXPECT_EQ(fake.ReleasedSection, kFakeSection);
    EXPECT_EQ(fake.ReleasedView, &fake.Aligned.Block);
}

TEST_F(BlockAccess, AFailedOpenHasNoBlockAndReleasesNothing) {
    for (std::int32_t answer : {-1, -2}) {
        fake.OpenAnswer = answer;
        {
            TBlockAccess access(FakeOpen, FakeRelease);
            EXPECT_FALSE(access);
            EXPECT_EQ(access.Block(), nullptr);
            EXPECT_EQ(access.Status(), answer) << "the opener's own failure value";
        }
        EXPECT_EQ(fake.Releases, 0) << "the opener has closed what it opened already";
    }
}

TEST_F(BlockAccess, AnUnboundLibraryGivesNoBlock) {
    {
        TBlockAccess access(nullptr, FakeRelease);
        EXPECT_FALSE(access);
        EXPECT_EQ(access.Status(), -1);
    }
    EXPECT_EQ(fake.Releases, 0);
}

TEST(DialogWatch, RemembersAddedWindowsUntilRemoved) {
    TWindowSet set;
    const HWND first = reinterpret_cast<HWND>(0x1234);
    const HWND second = reinterpret_cast<HWND>(0x5678);
    EXPECT_FALSE(set.Contains(first));
    set.Add(first);
    set.Add(first);
    set.Add(second);
    EXPECT_TRUE(set.Contains(first));
    EXPECT_TRUE(set.Contains(second));
    set.Remove(first);
    EXPECT_FALSE(set.Contains(first));
    EXPECT_TRUE(set.Contains(second));
    set.Add(nullptr);
    EXPECT_FALSE(set.Contains(nullptr));
}

TEST(DialogWatch, OverflowMakesEveryWindowACandidate) {
    TWindowSet set;
    for (UINT_PTR i = 1; i <= TWindowSet::kCapacity; ++i) set.Add(reinterpret_cast<HWND>(i * 16));
    EXPECT_FALSE(set.Overflowed());
    EXPECT_FALSE(set.Contains(reinterpret_cast<HWND>(0x7777)));
    // Freed slots are used again before the set gives up filtering.
    set.Remove(reinterpret_cast<HWND>(16));
    set.Add(reinterpret_cast<HWND>(0x7777));
    EXPECT_FALSE(set.Overflowed());
    set.Add(reinterpret_cast<HWND>(0x9999));
    EXPECT_TRUE(set.Overflowed());
    EXPECT_TRUE(set.Contains(reinterpret_cast<HWND>(0xABCD)));
}

TEST(DialogWatch, AnOverflowEndsWhenTheCrowdHasClosedAndTheSurvivorsAreAddedAgain) {
    TWindowSet set;
    for (UINT_PTR i = 1; i <= TWindowSet::kCapacity + 6; ++i) set.Add(reinterpret_cast<HWND>(i * 16));
    ASSERT_TRUE(set.Overflowed());
    // A window the set never held (one of those past the capacity) frees nothing.
    EXPECT_FALSE(set.Remove(reinterpret_cast<HWND>((TWindowSet::kCapacity + 3) * 16)));
    // Every held window closes but two; the survivors are added again after the reset.
    for (UINT_PTR i = 3; i <= TWindowSet::kCapacity; ++i) EXPECT_TRUE(set.Remove(reinterpret_cast<HWND>(i * 16)));
    EXPECT_TRUE(set.ResetOverflow());
    EXPECT_FALSE(set.ResetOverflow());
    set.Add(reinterpret_cast<HWND>(16));
    set.Add(reinterpret_cast<HWND>(32));
    EXPECT_FALSE(set.Overflowed());
    EXPECT_TRUE(set.Contains(reinterpret_cast<HWND>(32)));
    EXPECT_FALSE(set.Contains(reinterpret_cast<HWND>(0xABCD))) << "filters again";
}

TEST(DialogWatch, ConcurrentAddsAreAllKept) {
    TWindowSet set;
    auto add = [&set](UINT_PTR base) {
        for (UINT_PTR i = 0; i < 30; ++i) set.Add(reinterpret_cast<HWND>(base + i * 4));
    };
    std::thread a(add, 0x10000), b(add, 0x20000);
    a.join();
    b.join();
    for (UINT_PTR i = 0; i < 30; ++i) {
        EXPECT_TRUE(set.Contains(reinterpret_cast<HWND>(0x10000 + i * 4)));
        EXPECT_TRUE(set.Contains(reinterpret_cast<HWND>(0x20000 + i * 4)));
    }
    EXPECT_FALSE(set.Overflowed());
}

}  // namespace
