// The Filter List page: rows and mask words as a table, and the page in the
// window, applying when the user leaves it.
#include "sheet/FilterPage.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QSignalSpy>
#include <QTest>

#include "sheet/SheetWindow.h"
#include "tests/sheet/PageRig.h"

namespace inspector::testing {

TEST(FilterMasks, RowsAndMaskWords) {
    struct Case {
        const char* what;
        FilterMasks masks;
        std::vector<size_t> codes, graphics, packets;
        bool invalid, available;
        FilterMasks applied;  // what the same rows store
    };
    const Case cases[] = {
        {"nothing", {}, {}, {}, {}, false, false, {}},
        {"a part of a row selects it; applying stores the whole row",
         {{0, 0x2}, {}, {}}, {0}, {}, {}, false, false, {{0, 0x6}, {}, {}}},
        {"group bits", {{0x1 | 0x40000, 0}, {}, {}}, {2, 20}, {}, {}, false, false, {{0x40001, 0}, {}, {}}},
        {"single-byte and fixed-length classes", {{0, 0x18}, {}, {}}, {1, 21}, {}, {}, false, false,
         {{0, 0x18}, {}, {}}},
        {"invalid codes are bit 31", {{0, 0x80000000}, {}, {}}, {}, {}, {}, true, false,
         {{0, 0x80000000}, {}, {}}},
        {"graphics: types 1-32 in the second word, 33-64 in the first",
         {{}, {0x80000001, 0x80000001}, {}}, {}, {0, 31, 32, 63}, {}, false, false,
         {{}, {0x80000001, 0x80000001}, {}}},
        {"packet types across the words; 255 is the available flag",
         {{}, {}, {0x1, 0x80000000, 0, 0, 0, 0, 0x400000, 0x80000000}}, {}, {}, {0, 63, 214}, false, true,
         {{}, {}, {0x1, 0x80000000, 0, 0, 0, 0, 0x400000, 0x80000000}}},
        {"types past 214 are no rows", {{}, {}, {0, 0, 0, 0, 0, 0, 0x7F800000, 0}}, {}, {}, {}, false, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const FilterChoice choice = ChoiceFromMasks(c.masks);
        FilterChoice expected;
        expected.viewInvalid = c.invalid;
        expected.viewAvailable = c.available;
        for (size_t r : c.codes) expected.codes[r] = true;
        for (size_t r : c.graphics) expected.graphics[r] = true;
        for (size_t r : c.packets) expected.packets[r] = true;
        EXPECT_EQ(choice, expected);
        EXPECT_EQ(MasksFromChoice(choice), c.applied);
    }
    // Everything selected.
    FilterChoice all;
    all.codes.assign(kCodeCategoryCount, true);
    all.graphics.assign(kGraphicsCategoryCount, true);
    all.packets.assign(kPacketFilterRows, true);
    all.viewInvalid = true;
    const FilterMasks m = MasksFromChoice(all);
    EXPECT_EQ(m.code, (std::array<uint32_t, 2>{0x7FFFF, 0x8000001E}));
    EXPECT_EQ(m.graphics, (std::array<uint32_t, 2>{0xFFFFFFFF, 0xFFFFFFFF}));
    EXPECT_EQ(m.prefix, (std::array<uint32_t, 8>{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF,
                                                 0xFFFFFFFF, 0x7FFFFF, 0x80000000}));
}

TEST(FilterMasks, RowTextsAsTheyStand) {
    EXPECT_STREQ(kCodeCategories[0].name, "(00-7F) ASCII chararacters");
    EXPECT_STREQ(kCodeCategories[21].name, "(F0-FF) Fixed-length functions");
    EXPECT_STREQ(kGraphicsCategoryNames[0x35], "(0x36) Horziontal Line");
    EXPECT_STREQ(kGraphicsCategoryNames[63], "(0x40) Shape Object");
    EXPECT_EQ(PacketFilterRowText(0), "(0x 0) Index information");
    EXPECT_EQ(PacketFilterRowText(0x81), "(0x81) Misc. 1 (only in setup)");
    EXPECT_EQ(PacketFilterRowText(0x82), "(0x82) Misc. 2 ");
}

namespace {

CQWPage& Filter(PageRig& r) { return *static_cast<CQWPage*>(r.window->page(kFilterPage)); }

// Refills of the Codes and Prefix lists.
struct Refills {
    explicit Refills(PageRig& r) : codes(&r.codes().codes, &QAbstractItemModel::modelReset),
                                   prefix(&r.prefix().packets, &QAbstractItemModel::modelReset) {}
    QSignalSpy codes, prefix;
};

}  // namespace

TEST(FilterPage, FillsOnceFromTheMasks) {
    PageRig r;
    {
        QSettings store = r.settings.Store();
        store.setValue("Settings/QW Filter Flags 1", "1");
        store.setValue("Settings/QW Filter Flags 2", "2147483648");
    }
    r.Start();
    r.Advanced();
    CQWPage& f = Filter(r);
    ASSERT_TRUE(f.HasWindow());
    EXPECT_EQ(f.codeList->count(), 22);
    EXPECT_EQ(f.graphicsList->count(), 64);
    EXPECT_EQ(f.packetList->count(), 215);
    EXPECT_EQ(f.packetList->item(0)->text(), QStringLiteral("(0x 0) Index information"));
    EXPECT_EQ(f.codeList->selectedItems().size(), 1);
    EXPECT_TRUE(f.codeList->item(2)->isSelected());
    EXPECT_TRUE(f.viewInvalid->isChecked());
    EXPECT_EQ(f.codeList->selectionMode(), QAbstractItemView::ExtendedSelection);
}

TEST(FilterPage, SelectAllAppliesOnlyWhenLeaving) {
    PageRig r;
    r.Start(r.Write("a.qwd", SoundDoc()));
    r.Advanced();
    // The first leave made the defaults canonical.
    const FilterMasks canonical{r.sheet().Settings().codeMasks, r.sheet().Settings().graphicsMasks,
                                r.sheet().Settings().prefixMasks};
    EXPECT_EQ(MasksFromChoice(ChoiceFromMasks(canonical)), canonical);
    r.sheet().SetActivePage(kCodesPage);
    QTest::mouseClick(r.codes().filterBox, Qt::LeftButton);
    r.sheet().SetActivePage(kPrefixPage);
    QTest::mouseClick(r.prefix().filterBox, Qt::LeftButton);
    EXPECT_NE(PageRig::Texts(r.codes().codes), std::vector<std::string>{"All items were filtered out!"});

    r.sheet().SetActivePage(kFilterPage);
    CQWPage& f = Filter(r);
    QTest::mouseClick(f.codeClearAll, Qt::LeftButton);
    QTest::mouseClick(f.packetClearAll, Qt::LeftButton);
    f.viewAvailable->setChecked(false);
    EXPECT_EQ(r.sheet().Settings().codeMasks, canonical.code);  // not yet
    r.window->tabs->setCurrentIndex(kCodesPage);
    EXPECT_EQ(r.sheet().Settings().codeMasks, (std::array<uint32_t, 2>{0, canonical.code[1] & 0x80000000}));
    EXPECT_EQ(r.sheet().Settings().prefixMasks, (std::array<uint32_t, 8>{}));
    EXPECT_EQ(PageRig::Texts(r.codes().codes), std::vector<std::string>{"All items were filtered out!"});
    r.sheet().SetActivePage(kPrefixPage);
    EXPECT_EQ(PageRig::Texts(r.prefix().packets), std::vector<std::string>{"All items were filtered out!"});

    r.sheet().SetActivePage(kFilterPage);
    QTest::mouseClick(f.codeSelectAll, Qt::LeftButton);
    r.sheet().SetActivePage(kCodesPage);
    EXPECT_EQ(r.sheet().Settings().codeMasks[0], 0x7FFFFu);
    EXPECT_EQ(r.sheet().Settings().codeMasks[1] & 0x1E, 0x1Eu);
    EXPECT_NE(PageRig::Texts(r.codes().codes), std::vector<std::string>{"All items were filtered out!"});
}

TEST(FilterPage, LeavingUnchangedRefreshesNothing) {
    PageRig r;
    r.Start(r.Write("a.qwd", SoundDoc()));
    r.Advanced();
    r.sheet().SetActivePage(kCodesPage);
    r.sheet().SetActivePage(kPrefixPage);
    r.sheet().SetActivePage(kFilterPage);
    Refills refills(r);
    r.sheet().SetActivePage(kCodesPage);
    r.sheet().SetActivePage(kFilterPage);
    r.sheet().SetActivePage(kPrefixPage);
    EXPECT_EQ(refills.codes.count(), 0);
    EXPECT_EQ(refills.prefix.count(), 0);
}

TEST(FilterPage, TheChoiceOutlivesNoDocumentAndARestart) {
    PageRig r;
    std::array<uint32_t, 8> prefix{};
    {
        r.Start();
        r.Advanced();
        r.sheet().SetActivePage(kFilterPage);
        CQWPage& f = Filter(r);
        QTest::mouseClick(f.packetClearAll, Qt::LeftButton);
        f.packetList->item(0x20)->setSelected(true);
        f.viewAvailable->setChecked(false);
        r.sheet().UnloadDocument();  // no document: nothing to unload, the page still applies on leaving
        r.sheet().SetActivePage(kInfoPage);
        prefix = r.sheet().Settings().prefixMasks;
        EXPECT_EQ(prefix, (std::array<uint32_t, 8>{0, 0x1, 0, 0, 0, 0, 0, 0}));
        r.window->close();
    }
    r.Restart();
    r.Start();
    EXPECT_EQ(r.sheet().Settings().prefixMasks, prefix);
    r.Advanced();
    EXPECT_TRUE(Filter(r).packetList->item(0x20)->isSelected());
    EXPECT_FALSE(Filter(r).viewAvailable->isChecked());
}

TEST(FilterPage, UnloadingADocumentApplies) {
    PageRig r;
    r.Start(r.Write("a.qwd", SoundDoc()));
    r.Advanced();
    r.sheet().SetActivePage(kFilterPage);
    QTest::mouseClick(Filter(r).graphicsClearAll, Qt::LeftButton);
    r.sheet().UnloadDocument();
    EXPECT_EQ(r.sheet().Settings().graphicsMasks, (std::array<uint32_t, 2>{0, 0}));
}

}  // namespace inspector::testing
