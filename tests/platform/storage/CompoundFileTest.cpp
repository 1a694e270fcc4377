// Compound files over libgsf: the tree read at open, the main stream image,
// write-back as a complete new file and its failure paths.

#include "platform/storage/CompoundFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/CompoundBuilder.h"

using storage::ClassId;
using storage::CompoundFile;
using storage::ElementKind;
using storage::kRoot;
using testsupport::Bytes;
using testsupport::CompoundElement;
using testsupport::CompoundLayout;
using testsupport::MakeClassId;
using testsupport::Pattern;
using testsupport::ReadFileBytes;
using testsupport::ScopedTempDir;
using testsupport::WriteCompound;
using testsupport::WriteFileBytes;

namespace {

// A fixture with something of every kind: class ids, a nested storage, a
// property stream, small (mini-stream) and large streams.
CompoundLayout RichLayout() {
    CompoundLayout layout;
    layout.main = Pattern(10000, 3);
    layout.rootClassId = MakeClassId(0x10);
    layout.objectsClassId = MakeClassId(0x40);
    layout.extra = {
        {u"", u"\x05SummaryInformation", false, Pattern(120, 9), std::nullopt},
        {u"Quillsuite_OBJECTS", u"Pic", false, Pattern(5000, 1), std::nullopt},
        {u"Quillsuite_OBJECTS", u"Sub", true, {}, MakeClassId(0x70)},
        {u"Quillsuite_OBJECTS/Sub", u"leaf", false, Bytes("leaf data"), std::nullopt},
        {u"", u"Empty", false, {}, std::nullopt},
    };
    return layout;
}

std::vector<std::u16string> Names(const std::vector<storage::Element>& elements) {
    std::vector<std::u16string> out;
    for (const auto& e : elements) out.push_back(e.name);
    return out;
}

std::vector<uint8_t> StreamAt(const CompoundFile& cf, std::initializer_list<std::u16string_view> path) {
    storage::NodeId at = kRoot;
    for (auto name : path) {
        auto child = cf.Child(at, name);
        if (!child) return {};
        at = child->id;
    }
    return cf.ReadStream(at, UINT64_MAX).value_or(std::vector<uint8_t>{});
}

// Everything a write-back must keep, compared between two files; streams
// named `skip` are compared by the caller.
void ExpectSameTree(const CompoundFile& a, const CompoundFile& b, storage::NodeId na, storage::NodeId nb,
                    std::u16string_view skip = u"") {
    auto ka = a.Children(na), kb = b.Children(nb);
    ASSERT_EQ(Names(ka), Names(kb));
    EXPECT_EQ(a.GetClassId(na), b.GetClassId(nb));
    for (size_t i = 0; i < ka.size(); ++i) {
        ASSERT_EQ(ka[i].kind, kb[i].kind);
        if (ka[i].kind == ElementKind::Storage) {
            ExpectSameTree(a, b, ka[i].id, kb[i].id, skip);
        } else if (ka[i].name != skip) {
            EXPECT_EQ(a.ReadStream(ka[i].id, UINT64_MAX), b.ReadStream(kb[i].id, UINT64_MAX));
        }
    }
}

std::string RunCommand(const std::string& cmd, int* status) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) {
        *status = -1;
        return out;
    }
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    *status = pclose(p);
    return out;
}

class CompoundFileTest : public ::testing::Test {
protected:
    ScopedTempDir dir;
    std::string file = dir.File("doc.qwd");
};

TEST_F(CompoundFileTest, SignatureTestLooksOnlyAtTheFirstEightBytes) {
    const std::vector<uint8_t> sig = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        bool compound;
        bool opens;
    } cases[] = {
        {"empty", {}, false, false},
        {"seven signature bytes", std::vector<uint8_t>(sig.begin(), sig.end() - 1), false, false},
        {"plain text", Bytes("\xFFQWC plain document"), false, false},
        {"signature, broken structure", [&] { auto b = sig; b.resize(600, 0xEE); return b; }(), true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteFileBytes(file, c.bytes));
        EXPECT_EQ(storage::IsCompoundFile(file), c.compound);
        EXPECT_EQ(CompoundFile::Open(file, false) != nullptr, c.opens);
    }
    EXPECT_FALSE(storage::IsCompoundFile(dir.File("missing")));
    EXPECT_FALSE(storage::IsCompoundFile(dir.path()));
    EXPECT_EQ(CompoundFile::Open(dir.path(), false), nullptr);
    ASSERT_TRUE(WriteCompound(file, Bytes("x")));
    EXPECT_TRUE(storage::IsCompoundFile(file));
}

TEST_F(CompoundFileTest, TreeIsReadInCompoundOrderWithCaseInsensitiveLookup) {
    CompoundLayout layout = RichLayout();
    layout.extra.push_back({u"", u"bb", false, Bytes("2"), std::nullopt});
    layout.extra.push_back({u"", u"AA", false, Bytes("1"), std::nullopt});
    layout.extra.push_back({u"", u"ab", false, Bytes("3"), std::nullopt});
    ASSERT_TRUE(WriteCompound(file, layout));
    auto cf = CompoundFile::Open(file, false);
    ASSERT_NE(cf, nullptr);

    EXPECT_EQ(Names(cf->Children(kRoot)),
              (std::vector<std::u16string>{u"AA", u"ab", u"bb", u"Empty", u"Quillsuite_MAIN",
                                           u"Quillsuite_OBJECTS", u"\x05SummaryInformation"}));
    auto objects = cf->Child(kRoot, u"QUILLSUITE_objects");
    ASSERT_TRUE(objects);
    EXPECT_EQ(objects->kind, ElementKind::Storage);
    EXPECT_EQ(objects->name, u"Quillsuite_OBJECTS");
    EXPECT_EQ(Names(cf->Children(objects->id)), (std::vector<std::u16string>{u"Pic", u"Sub"}));
    EXPECT_FALSE(cf->Child(kRoot, u"Quillsuite_MAI"));

    auto main = cf->Child(kRoot, u"quillsuite_main");
    ASSERT_TRUE(main);
    EXPECT_EQ(main->kind, ElementKind::Stream);
    EXPECT_EQ(main->size, 10000u);
    EXPECT_EQ(cf->Child(kRoot, u"Empty")->size, 0u);
    EXPECT_EQ(cf->GetClassId(kRoot), MakeClassId(0x10));
    EXPECT_EQ(cf->GetClassId(objects->id), MakeClassId(0x40));
    EXPECT_EQ(cf->GetClassId(main->id), std::nullopt);  // streams have none
    EXPECT_EQ(StreamAt(*cf, {u"Quillsuite_OBJECTS", u"Sub", u"LEAF"}), Bytes("leaf data"));
    EXPECT_EQ(cf->ReadStream(main->id, 16), Pattern(16, 3));
    EXPECT_EQ(cf->ReadStream(objects->id, 16), std::nullopt);
    EXPECT_EQ(cf->ReadStream(9999, 16), std::nullopt);
    EXPECT_EQ(cf->Get(kRoot)->kind, ElementKind::Storage);
}

TEST_F(CompoundFileTest, WriteBackChangesOnlyTheWrittenBytesAndKeepsEverythingElse) {
    ASSERT_TRUE(WriteCompound(file, RichLayout()));
    ASSERT_EQ(chmod(file.c_str(), 0640), 0);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(file.c_str(), 1234, 4321), 0);
    }
    auto before = CompoundFile::Open(file, false);
    ASSERT_NE(before, nullptr);
    {
        auto cf = CompoundFile::Open(file, true);
        ASSERT_NE(cf, nullptr);
        auto main = cf->Child(kRoot, u"Quillsuite_MAIN");
        ASSERT_TRUE(cf->SetMainStream(main->id));
        EXPECT_EQ(cf->ImageWrite(4096, "ABCD", 4), 4);
        ASSERT_TRUE(cf->Close());
    }
    auto after = CompoundFile::Open(file, false);
    ASSERT_NE(after, nullptr);
    ExpectSameTree(*before, *after, kRoot, kRoot, u"Quillsuite_MAIN");
    auto expected = Pattern(10000, 3);
    std::copy_n("ABCD", 4, expected.begin() + 4096);
    EXPECT_EQ(StreamAt(*after, {u"Quillsuite_MAIN"}), expected);

    struct stat st;
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    if (root) {
        EXPECT_EQ(std::make_pair(st.st_uid, st.st_gid), std::make_pair(uid_t(1234), gid_t(4321)));
    }
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"doc.qwd"});

    int status = 0;
    std::string listing = RunCommand("gsf list '" + file + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << listing;
    EXPECT_NE(listing.find("Quillsuite_MAIN"), std::string::npos) << listing;
    EXPECT_NE(listing.find("Quillsuite_OBJECTS"), std::string::npos) << listing;
    EXPECT_NE(listing.find("SummaryInformation"), std::string::npos) << listing;
}

TEST_F(CompoundFileTest, ImageGrowsWithZerosAndReadsAreBoundedBySize) {
    ASSERT_TRUE(WriteCompound(file, Bytes("abc")));
    {
        auto cf = CompoundFile::Open(file, true);
        ASSERT_NE(cf, nullptr);
        ASSERT_TRUE(cf->SetMainStream(cf->Child(kRoot, u"Quillsuite_MAIN")->id));
        char buf[8] = {};
        EXPECT_EQ(cf->ImageRead(1, buf, sizeof buf), 2);
        EXPECT_EQ(cf->ImageRead(3, buf, sizeof buf), 0);
        EXPECT_EQ(cf->ImageRead(UINT64_MAX, buf, sizeof buf), 0);
        EXPECT_EQ(cf->ImageWrite(6, "Z", 1), 1);
        EXPECT_EQ(cf->ImageWrite(UINT64_MAX, "Z", 1), -1);
        EXPECT_EQ(cf->ImageSize(), 7u);
        EXPECT_EQ(cf->Child(kRoot, u"Quillsuite_MAIN")->size, 7u);
        ASSERT_TRUE(cf->Close());
    }
    auto cf = CompoundFile::Open(file, false);
    ASSERT_NE(cf, nullptr);
    EXPECT_EQ(StreamAt(*cf, {u"Quillsuite_MAIN"}), (std::vector<uint8_t>{'a', 'b', 'c', 0, 0, 0, 'Z'}));
}

TEST_F(CompoundFileTest, OpenThatWritesNothingLeavesTheFileByteIdentical) {
    ASSERT_TRUE(WriteCompound(file, RichLayout()));
    auto original = ReadFileBytes(file);
    struct stat st0;
    ASSERT_EQ(stat(file.c_str(), &st0), 0);
    {
        auto cf = CompoundFile::Open(file, true);
        ASSERT_NE(cf, nullptr);
        ASSERT_TRUE(cf->SetMainStream(cf->Child(kRoot, u"Quillsuite_MAIN")->id));
        char buf[4];
        EXPECT_EQ(cf->ImageRead(0, buf, 4), 4);
        EXPECT_EQ(cf->ImageWrite(0, buf, 0), 0);  // an empty write is no change
        EXPECT_TRUE(cf->Close());
    }
    {
        auto ro = CompoundFile::Open(file, false);
        ASSERT_NE(ro, nullptr);
        ASSERT_TRUE(ro->SetMainStream(ro->Child(kRoot, u"Quillsuite_MAIN")->id));
        EXPECT_EQ(ro->ImageWrite(0, "X", 1), -1);
        EXPECT_FALSE(ro->CreateStream(kRoot, u"New"));
        EXPECT_FALSE(ro->SetClassId(kRoot, MakeClassId(1)));
        EXPECT_TRUE(ro->Close());
    }
    struct stat st1;
    ASSERT_EQ(stat(file.c_str(), &st1), 0);
    EXPECT_EQ(st1.st_ino, st0.st_ino);
    EXPECT_EQ(ReadFileBytes(file), original);
}

TEST_F(CompoundFileTest, FailedWriteBackLeavesOriginalAndNoTemporaryFile) {
    ASSERT_TRUE(WriteCompound(file, RichLayout()));
    auto original = ReadFileBytes(file);
    auto cf = CompoundFile::Open(file, true);
    ASSERT_NE(cf, nullptr);
    ASSERT_TRUE(cf->SetMainStream(cf->Child(kRoot, u"Quillsuite_MAIN")->id));
    ASSERT_EQ(cf->ImageWrite(0, "XXXX", 4), 4);
    // The rename over the original cannot succeed when a folder stands there.
    std::string aside = dir.File("aside.qwd");
    ASSERT_EQ(rename(file.c_str(), aside.c_str()), 0);
    ASSERT_EQ(mkdir(file.c_str(), 0755), 0);
    EXPECT_FALSE(cf->Close());
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"aside.qwd", "doc.qwd"}));
    EXPECT_EQ(ReadFileBytes(aside), original);
}

TEST_F(CompoundFileTest, WriteBackThroughALinkReplacesTheLinkedFile) {
    std::string real = dir.File("real.qwd");
    ASSERT_TRUE(WriteCompound(real, Bytes("abcd")));
    ASSERT_EQ(symlink("real.qwd", file.c_str()), 0);
    auto cf = CompoundFile::Open(file, true);
    ASSERT_NE(cf, nullptr);
    ASSERT_TRUE(cf->SetMainStream(cf->Child(kRoot, u"Quillsuite_MAIN")->id));
    ASSERT_EQ(cf->ImageWrite(0, "W", 1), 1);
    ASSERT_TRUE(cf->Close());
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    auto back = CompoundFile::Open(real, false);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(StreamAt(*back, {u"Quillsuite_MAIN"}), Bytes("Wbcd"));
}

TEST_F(CompoundFileTest, CreatedFileAppearsOnlyAtClose) {
    auto cf = CompoundFile::Create(file, true);
    ASSERT_NE(cf, nullptr);
    EXPECT_FALSE(std::filesystem::exists(file));
    auto s = cf->CreateStorage(kRoot, u"Store");
    ASSERT_TRUE(s);
    EXPECT_FALSE(cf->CreateStream(kRoot, u"STORE"));  // names are case-insensitive
    EXPECT_FALSE(cf->CreateStream(kRoot, u""));
    EXPECT_FALSE(cf->CreateStream(kRoot, u"a/b"));
    EXPECT_FALSE(cf->CreateStream(kRoot, std::u16string(32, u'n')));
    EXPECT_TRUE(cf->CreateStream(kRoot, std::u16string(31, u'n')));
    auto st = cf->CreateStream(*s, u"Data");
    ASSERT_TRUE(st);
    EXPECT_FALSE(cf->CreateStream(*st, u"Inside"));  // a stream has no children
    ASSERT_TRUE(cf->SetStreamData(*st, Bytes("payload")));
    ASSERT_TRUE(cf->SetClassId(*s, MakeClassId(0xA0)));
    ASSERT_TRUE(cf->Close());
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"doc.qwd"});

    auto back = CompoundFile::Open(file, false);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(StreamAt(*back, {u"Store", u"Data"}), Bytes("payload"));
    EXPECT_EQ(back->GetClassId(back->Child(kRoot, u"Store")->id), MakeClassId(0xA0));
    EXPECT_EQ(back->GetClassId(kRoot), ClassId{});
}

TEST_F(CompoundFileTest, CreateFailuresLeaveNothingBehind) {
    EXPECT_EQ(CompoundFile::Create(dir.File("no/such/folder.qwd"), false), nullptr);
    ASSERT_TRUE(WriteFileBytes(file, Bytes("keep")));
    EXPECT_EQ(CompoundFile::Create(file, true), nullptr);
    EXPECT_EQ(CompoundFile::Create(dir.path(), false), nullptr);
    {
        auto dropped = CompoundFile::Create(dir.File("dropped.qwd"), false);
        ASSERT_NE(dropped, nullptr);
    }  // never closed: nothing is written
    // Another program creates the file while ours is being built.
    std::string racy = dir.File("racy.qwd");
    auto cf = CompoundFile::Create(racy, true);
    ASSERT_NE(cf, nullptr);
    ASSERT_TRUE(WriteFileBytes(racy, Bytes("theirs")));
    EXPECT_FALSE(cf->Close());
    EXPECT_EQ(ReadFileBytes(racy), Bytes("theirs"));
    EXPECT_EQ(ReadFileBytes(file), Bytes("keep"));
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"doc.qwd", "racy.qwd"}));
}

TEST_F(CompoundFileTest, CreateReplacesAnExistingFileAtClose) {
    ASSERT_TRUE(WriteFileBytes(file, Bytes("old plain file")));
    auto cf = CompoundFile::Create(file, false);
    ASSERT_NE(cf, nullptr);
    EXPECT_EQ(ReadFileBytes(file), Bytes("old plain file"));
    ASSERT_TRUE(cf->CreateStream(kRoot, u"S"));
    ASSERT_TRUE(cf->Close());
    EXPECT_TRUE(storage::IsCompoundFile(file));
}

TEST_F(CompoundFileTest, CopySubtreeCopiesStoragesStreamsAndClassIds) {
    ASSERT_TRUE(WriteCompound(file, RichLayout()));
    auto src = CompoundFile::Open(file, false);
    ASSERT_NE(src, nullptr);
    auto objects = src->Child(kRoot, u"Quillsuite_OBJECTS");
    std::string out = dir.File("out.qwd");
    {
        auto cf = CompoundFile::Create(out, false);
        ASSERT_NE(cf, nullptr);
        ASSERT_TRUE(cf->CopySubtree(*src, objects->id, kRoot));
        EXPECT_FALSE(cf->CopySubtree(*src, objects->id, kRoot));  // the name is taken
        ASSERT_TRUE(cf->CopySubtree(*src, src->Child(kRoot, u"Quillsuite_MAIN")->id, kRoot));
        auto copied = cf->Child(kRoot, u"Quillsuite_OBJECTS");
        ASSERT_TRUE(copied);
        EXPECT_FALSE(cf->CopySubtree(*cf, copied->id, copied->id));  // into itself
        ASSERT_TRUE(cf->Close());
    }
    auto back = CompoundFile::Open(out, false);
    ASSERT_NE(back, nullptr);
    ExpectSameTree(*src, *back, objects->id, back->Child(kRoot, u"Quillsuite_OBJECTS")->id);
    EXPECT_EQ(StreamAt(*back, {u"Quillsuite_MAIN"}), Pattern(10000, 3));
}

TEST_F(CompoundFileTest, RootModificationTimeComesFromTheRootEntry) {
    ASSERT_TRUE(WriteCompound(file, Bytes("abc")));
    auto bytes = ReadFileBytes(file);
    ASSERT_GE(bytes.size(), 512u);
    {
        auto cf = CompoundFile::Open(file, false);
        ASSERT_NE(cf, nullptr);
        EXPECT_EQ(cf->RootModificationTime(), 0);
    }
    // Store 2020-01-01 00:00:00 UTC as a file time in the root entry.
    unsigned shift = bytes[0x1E] | bytes[0x1F] << 8;
    uint32_t dirStart = bytes[0x30] | bytes[0x31] << 8 | bytes[0x32] << 16 | uint32_t(bytes[0x33]) << 24;
    size_t at = ((size_t(dirStart) + 1) << shift) + 0x6C;
    ASSERT_LE(at + 8, bytes.size());
    uint64_t ticks = (1577836800ULL + 11644473600ULL) * 10000000ULL;
    for (int i = 0; i < 8; ++i) bytes[at + i] = static_cast<uint8_t>(ticks >> (8 * i));
    ASSERT_TRUE(WriteFileBytes(file, bytes));
    {
        auto cf = CompoundFile::Open(file, true);
        ASSERT_NE(cf, nullptr);
        EXPECT_EQ(cf->RootModificationTime(), 1577836800);
        // A write-back keeps the root's times.
        ASSERT_TRUE(cf->SetMainStream(cf->Child(kRoot, u"Quillsuite_MAIN")->id));
        ASSERT_EQ(cf->ImageWrite(0, "X", 1), 1);
        ASSERT_TRUE(cf->Close());
    }
    auto cf = CompoundFile::Open(file, false);
    ASSERT_NE(cf, nullptr);
    EXPECT_EQ(cf->RootModificationTime(), 1577836800);
    EXPECT_EQ(StreamAt(*cf, {u"Quillsuite_MAIN"}), Bytes("Xbc"));
}

}  // namespace

namespace {

void ReadEverything(const CompoundFile& cf, storage::NodeId at, int depth) {
    ASSERT_LT(depth, 300);
    for (const auto& e : cf.Children(at)) {
        if (e.kind == ElementKind::Storage) {
            ReadEverything(cf, e.id, depth + 1);
        } else if (auto data = cf.ReadStream(e.id, 1 << 20)) {
            EXPECT_LE(data->size(), e.size);
        }
    }
}

TEST_F(CompoundFileTest, DamagedFilesOpenOrFailButNeverOverrun) {
    ASSERT_TRUE(WriteCompound(file, RichLayout()));
    const auto good = ReadFileBytes(file);
    std::vector<std::vector<uint8_t>> damaged;
    for (size_t n = 0; n < good.size(); n += 509) damaged.emplace_back(good.begin(), good.begin() + n);
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u; };
    for (int round = 0; round < 200; ++round) {
        auto b = good;
        for (int k = 0; k < 8; ++k) b[next() % b.size()] = static_cast<uint8_t>(next() >> 16);
        damaged.push_back(std::move(b));
    }
    for (size_t i = 0; i < damaged.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(WriteFileBytes(file, damaged[i]));
        auto cf = CompoundFile::Open(file, true);
        if (!cf) continue;
        ReadEverything(*cf, kRoot, 0);
        if (auto main = cf->Child(kRoot, u"Quillsuite_MAIN"); main && cf->SetMainStream(main->id)) {
            std::vector<uint8_t> buf(4096);
            for (uint64_t pos = 0; pos < cf->ImageSize() && pos < (1u << 20); pos += buf.size())
                if (cf->ImageRead(pos, buf.data(), buf.size()) < 0) break;
        }
        cf->Close();  // unchanged: nothing written
        EXPECT_EQ(ReadFileBytes(file), damaged[i]);
    }
}

}  // namespace

namespace {

// Points the directory entry named `name` at a sector that does not exist.
bool BreakStartSector(std::vector<uint8_t>& bytes, std::u16string_view name) {
    std::vector<uint8_t> key;
    for (char16_t c : name) {
        key.push_back(static_cast<uint8_t>(c));
        key.push_back(static_cast<uint8_t>(c >> 8));
    }
    key.push_back(0);
    key.push_back(0);
    for (size_t at = 512; at + 128 <= bytes.size(); at += 128) {
        if (std::equal(key.begin(), key.end(), bytes.begin() + static_cast<ptrdiff_t>(at))) {
            for (int i = 0; i < 4; ++i) bytes[at + 0x74 + i] = i == 3 ? 0x7F : 0x00;
            return true;
        }
    }
    return false;
}

TEST_F(CompoundFileTest, UnreadableElementIsListedButBlocksWriteBack) {
    ASSERT_TRUE(WriteCompound(file, RichLayout()));
    auto bytes = ReadFileBytes(file);
    ASSERT_TRUE(BreakStartSector(bytes, u"Pic"));
    ASSERT_TRUE(WriteFileBytes(file, bytes));
    auto cf = CompoundFile::Open(file, true);
    ASSERT_NE(cf, nullptr);
    auto objects = cf->Child(kRoot, u"Quillsuite_OBJECTS");
    auto pic = cf->Child(objects->id, u"Pic");
    ASSERT_TRUE(pic);
    EXPECT_EQ(cf->ReadStream(pic->id, UINT64_MAX), std::nullopt);
    EXPECT_EQ(StreamAt(*cf, {u"Quillsuite_OBJECTS", u"Sub", u"leaf"}), Bytes("leaf data"));
    ASSERT_TRUE(cf->SetMainStream(cf->Child(kRoot, u"Quillsuite_MAIN")->id));
    EXPECT_EQ(cf->ImageWrite(0, "X", 1), 1);
    // Writing back would drop the element it cannot read.
    EXPECT_FALSE(cf->Close());
    EXPECT_EQ(ReadFileBytes(file), bytes);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"doc.qwd"});
}

}  // namespace

namespace {

TEST_F(CompoundFileTest, CommitWritesBackAtOnceAndTheFileStaysOpen) {
    ASSERT_TRUE(WriteCompound(file, RichLayout()));
    auto before = CompoundFile::Open(file, false);
    ASSERT_NE(before, nullptr);
    auto cf = CompoundFile::Open(file, true);
    ASSERT_NE(cf, nullptr);
    ASSERT_TRUE(cf->SetMainStream(cf->Child(kRoot, u"Quillsuite_MAIN")->id));
    EXPECT_TRUE(cf->Commit());  // nothing changed: nothing written
    EXPECT_EQ(cf->ImageWrite(100, "WXYZ", 4), 4);
    ASSERT_TRUE(cf->Commit());
    auto expected = Pattern(10000, 3);
    std::copy_n("WXYZ", 4, expected.begin() + 100);
    {
        auto now = CompoundFile::Open(file, false);
        ASSERT_NE(now, nullptr);
        EXPECT_EQ(StreamAt(*now, {u"Quillsuite_MAIN"}), expected);
        ExpectSameTree(*before, *now, kRoot, kRoot, u"Quillsuite_MAIN");
    }
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"doc.qwd"});
    // Still open: a second change and the close write back what came since.
    EXPECT_EQ(cf->ImageWrite(200, "Q", 1), 1);
    ASSERT_TRUE(cf->Close());
    expected[200] = 'Q';
    auto after = CompoundFile::Open(file, false);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(StreamAt(*after, {u"Quillsuite_MAIN"}), expected);
    ExpectSameTree(*before, *after, kRoot, kRoot, u"Quillsuite_MAIN");
    EXPECT_FALSE(cf->Commit());  // closed
}

TEST_F(CompoundFileTest, ANewFileIsNotCommittedBeforeItsClose) {
    auto created = CompoundFile::Create(file, true);
    ASSERT_NE(created, nullptr);
    EXPECT_FALSE(created->Commit());
    EXPECT_TRUE(dir.Entries().size() <= 1 && (dir.Entries().empty() || dir.Entries()[0] != "doc.qwd"));
}

}  // namespace
