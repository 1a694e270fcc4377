// The document file layer over plain and compound files.

#include "engine/DocFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/CompoundBuilder.h"

using namespace engine;
using testsupport::Bytes;
using testsupport::CompoundElement;
using testsupport::CompoundLayout;
using testsupport::Pattern;
using testsupport::ReadFileBytes;
using testsupport::ScopedTempDir;
using testsupport::WriteCompound;
using testsupport::WriteFileBytes;

namespace {

constexpr uint32_t kReadOnly = kOpenRead | kOpenIgnored;  // 5, what callers pass
constexpr uint32_t kReadWrite = kOpenRead | kOpenWrite;
constexpr uint32_t kCreateCompound = kOpenCreate | kOpenCompound | kReadWrite;

struct Closer {
    void operator()(DocFile* f) const { CloseDocFile(f); }
};
using Handle = std::unique_ptr<DocFile, Closer>;

std::vector<uint8_t> ReadAll(DocFile* f) {
    std::vector<uint8_t> out;
    if (SeekDocFile(f, 0, 0) != 0) return out;
    uint8_t buf[333];
    int32_t n;
    while ((n = ReadDocFile(f, buf, sizeof buf)) > 0) out.insert(out.end(), buf, buf + n);
    return out;
}

CompoundElement Stream(std::u16string name, std::vector<uint8_t> data = Bytes("s"), std::u16string parent = u"") {
    return {std::move(parent), std::move(name), false, std::move(data), std::nullopt};
}
CompoundElement Storage(std::u16string name) { return {u"", std::move(name), true, {}, std::nullopt}; }

class DocFileTest : public ::testing::Test {
protected:
    ScopedTempDir dir;
    std::string file = dir.File("doc.qwd");
};

TEST_F(DocFileTest, PlainFileReadSeekAndEnd) {
    ASSERT_TRUE(WriteFileBytes(file, Bytes("0123456789")));
    Handle f(OpenDocFile(file, kReadOnly));
    ASSERT_TRUE(f);
    EXPECT_FALSE(f->IsCompound());
    char buf[16] = {};
    EXPECT_EQ(ReadDocFile(f.get(), buf, 4), 4);
    EXPECT_EQ(std::string(buf, 4), "0123");
    EXPECT_EQ(SeekDocFile(f.get(), 0, 2), 10);
    EXPECT_EQ(ReadDocFile(f.get(), buf, 4), 0);  // at the end: 0, not -1
    EXPECT_EQ(SeekDocFile(f.get(), -3, 1), 7);
    EXPECT_EQ(ReadDocFile(f.get(), buf, 16), 3);
    EXPECT_EQ(SeekDocFile(f.get(), -1, 0), -1);
    EXPECT_EQ(SeekDocFile(f.get(), -11, 2), -1);
    EXPECT_EQ(SeekDocFile(f.get(), 0, 3), -1);
    EXPECT_EQ(SeekDocFile(f.get(), 2, 0), 2);  // still usable after refusals
    EXPECT_EQ(SeekDocFile(f.get(), 100, 0), 100);
    EXPECT_EQ(ReadDocFile(f.get(), buf, 4), 0);
    EXPECT_EQ(WriteDocFile(f.get(), "x", 1), -1);  // opened for reading only
    EXPECT_EQ(CloseDocFile(f.release()), 0);
}

TEST_F(DocFileTest, PlainOpenModes) {
    ASSERT_TRUE(WriteFileBytes(file, Bytes("existing")));
    ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
    struct Case {
        const char* what;
        std::string path;
        uint32_t mode;
        bool opens;
        const char* contentAfter;  // of `file`
    } cases[] = {
        {"missing file", dir.File("missing"), kReadOnly, false, "existing"},
        {"directory", dir.path(), kReadOnly, false, "existing"},
        {"directory for writing", dir.path(), kReadWrite, false, "existing"},
        {"a pipe would block", dir.File("fifo"), kReadOnly, false, "existing"},
        {"create-new over an existing file", file, kOpenCreate | kOpenExclusive | kReadWrite, false, "existing"},
        {"read and write", file, kReadWrite, true, "existing"},
        {"caller's marker is ignored", file, kReadOnly | kOpenCallerMark, true, "existing"},
        {"create-always truncates", file, kOpenCreate | kReadWrite, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Handle f(OpenDocFile(c.path, c.mode));
        EXPECT_EQ(f != nullptr, c.opens);
        f.reset();
        EXPECT_EQ(ReadFileBytes(file), Bytes(c.contentAfter));
    }
    Handle created(OpenDocFile(dir.File("new.bin"), kOpenCreate | kOpenExclusive | kReadWrite));
    ASSERT_TRUE(created);
    EXPECT_EQ(WriteDocFile(created.get(), "abc", 3), 3);
    EXPECT_EQ(SeekDocFile(created.get(), 0, 2), 3);
    EXPECT_EQ(CloseDocFile(created.release()), 0);
    EXPECT_EQ(ReadFileBytes(dir.File("new.bin")), Bytes("abc"));
}

TEST_F(DocFileTest, PlainReadOnlyOpenSharesWithAWriter) {
    ASSERT_TRUE(WriteFileBytes(file, Bytes("shared")));
    int writer = open(file.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    Handle f(OpenDocFile(file, kReadOnly));
    EXPECT_TRUE(f);
    Handle g(OpenDocFile(file, kReadWrite));
    EXPECT_TRUE(g);
    close(writer);
}

TEST_F(DocFileTest, CompoundFileReadsTheMainStream) {
    CompoundLayout layout;
    layout.main = Pattern(5000, 1);
    layout.extra = {Stream(u"\x05SummaryInformation", Pattern(700))};
    ASSERT_TRUE(WriteCompound(file, layout));
    Handle f(OpenDocFile(file, kReadOnly));
    ASSERT_TRUE(f);
    ASSERT_TRUE(f->IsCompound());
    EXPECT_EQ(f->fd, -1);
    EXPECT_EQ(f->root->Get(*f->objects)->name, u"Quillsuite_OBJECTS");
    EXPECT_EQ(f->root->Get(*f->mainStream)->name, u"Quillsuite_MAIN");
    // The stream's length, not the file's.
    EXPECT_EQ(SeekDocFile(f.get(), 0, 2), 5000);
    uint8_t buf[8];
    EXPECT_EQ(ReadDocFile(f.get(), buf, sizeof buf), 0);
    EXPECT_EQ(ReadAll(f.get()), Pattern(5000, 1));
    EXPECT_EQ(SeekDocFile(f.get(), -1, 0), -1);
    EXPECT_EQ(SeekDocFile(f.get(), 4998, 0), 4998);
    EXPECT_EQ(ReadDocFile(f.get(), buf, sizeof buf), 2);
    EXPECT_EQ(WriteDocFile(f.get(), "x", 1), -1);
    EXPECT_EQ(CloseDocFile(f.release()), 0);
}

TEST_F(DocFileTest, CompoundLayoutsAndFoundNames) {
    struct Case {
        const char* what;
        bool withObjects, withMain;
        std::vector<CompoundElement> extra;
        const char16_t* objects;  // expected names, or null: does not open
        const char16_t* main;
    } cases[] = {
        {"default names", true, true, {}, u"Quillsuite_OBJECTS", u"Quillsuite_MAIN"},
        {"other printable names beside property streams", false, false,
         {Storage(u"Objs"), Stream(u"Body"), Stream(u"\x05SummaryInformation"),
          Stream(u"\x01" u"CompObj"), Stream(u"\u0105Low")},
         u"Objs", u"Body"},
        {"found storage with the default stream", false, true, {Storage(u"Objs")}, u"Objs", u"Quillsuite_MAIN"},
        {"two printable storages and no objects storage", false, true,
         {Storage(u"One"), Storage(u"Two")}, nullptr, nullptr},
        {"one storage and two streams", false, false,
         {Storage(u"Objs"), Stream(u"Body"), Stream(u"Other")}, nullptr, nullptr},
        {"objects storage but no main stream: no retry", true, false, {Stream(u"Body")}, nullptr, nullptr},
        {"main stream only inside the objects storage", true, false,
         {Stream(u"Quillsuite_MAIN", Bytes("x"), u"Quillsuite_OBJECTS")}, nullptr, nullptr},
        {"objects name held by a stream", false, true, {Stream(u"Quillsuite_OBJECTS")}, nullptr, nullptr},
        {"names differ in case only", false, false,
         {Storage(u"QUILLSUITE_objects"), Stream(u"quillsuite_main")}, u"QUILLSUITE_objects", u"quillsuite_main"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CompoundLayout layout;
        layout.main = Bytes("MAIN");
        layout.withObjects = c.withObjects;
        layout.withMain = c.withMain;
        layout.extra = c.extra;
        ASSERT_TRUE(WriteCompound(file, layout));
        Handle f(OpenDocFile(file, kReadOnly));
        ASSERT_EQ(f != nullptr, c.objects != nullptr);
        if (!f) continue;
        EXPECT_EQ(f->root->Get(*f->objects)->name, c.objects);
        EXPECT_EQ(f->root->Get(*f->mainStream)->name, c.main);
        EXPECT_EQ(SeekDocFile(f.get(), 0, 2), int32_t(f->root->Get(*f->mainStream)->size));
    }
}

TEST_F(DocFileTest, FindStorageAndStreamNamesCountsPrintableNamesOnly) {
    CompoundLayout layout;
    layout.withObjects = layout.withMain = false;
    layout.extra = {Stream(u"\x05SummaryInformation"), Storage(u"\x01Ole"), Storage(u"Store"), Stream(u"Main")};
    ASSERT_TRUE(WriteCompound(file, layout));
    auto cf = storage::CompoundFile::Open(file, false);
    ASSERT_NE(cf, nullptr);
    std::u16string st = u"unchanged", sm = u"unchanged";
    EXPECT_EQ(FindStorageAndStreamNames(*cf, &st, &sm), 1);
    EXPECT_EQ(st, u"Store");
    EXPECT_EQ(sm, u"Main");
}

TEST_F(DocFileTest, CreatedCompoundFileHoldsTheDefaultLayout) {
    Handle f(OpenDocFile(file, kCreateCompound));
    ASSERT_TRUE(f);
    EXPECT_FALSE(std::filesystem::exists(file));  // written at close
    EXPECT_EQ(SeekDocFile(f.get(), 0, 2), 0);
    EXPECT_EQ(WriteDocFile(f.get(), "HELLO", 5), 5);
    EXPECT_EQ(SeekDocFile(f.get(), 8, 0), 8);
    EXPECT_EQ(WriteDocFile(f.get(), "!", 1), 1);
    EXPECT_EQ(CloseDocFile(f.release()), 0);

    Handle back(OpenDocFile(file, kReadOnly));
    ASSERT_TRUE(back);
    ASSERT_TRUE(back->IsCompound());
    EXPECT_EQ(ReadAll(back.get()), (std::vector<uint8_t>{'H', 'E', 'L', 'L', 'O', 0, 0, 0, '!'}));
    auto kids = back->root->Children(storage::kRoot);
    ASSERT_EQ(kids.size(), 2u);
    EXPECT_EQ(kids[0].name, u"Quillsuite_MAIN");
    EXPECT_EQ(kids[1].name, u"Quillsuite_OBJECTS");
    EXPECT_EQ(kids[1].kind, storage::ElementKind::Storage);
}

TEST_F(DocFileTest, FailedCompoundCreationLeavesNoFile) {
    EXPECT_EQ(OpenDocFile(dir.File("missing/doc.qwd"), kCreateCompound), nullptr);
    ASSERT_TRUE(WriteFileBytes(file, Bytes("keep")));
    EXPECT_EQ(OpenDocFile(file, kCreateCompound | kOpenExclusive), nullptr);
    EXPECT_EQ(ReadFileBytes(file), Bytes("keep"));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"doc.qwd"});
}

TEST_F(DocFileTest, CompoundWriteBackAndItsFailure) {
    CompoundLayout layout;
    layout.main = Bytes("abcdefgh");
    layout.extra = {Stream(u"Pic", Pattern(300), u"Quillsuite_OBJECTS")};
    ASSERT_TRUE(WriteCompound(file, layout));
    {
        Handle f(OpenDocFile(file, kReadWrite));
        ASSERT_TRUE(f);
        EXPECT_EQ(SeekDocFile(f.get(), 2, 0), 2);
        EXPECT_EQ(WriteDocFile(f.get(), "XY", 2), 2);
        EXPECT_EQ(SeekDocFile(f.get(), 0, 1), 4);
        EXPECT_EQ(CloseDocFile(f.release()), 0);
    }
    {
        Handle f(OpenDocFile(file, kReadOnly));
        ASSERT_TRUE(f);
        EXPECT_EQ(ReadAll(f.get()), Bytes("abXYefgh"));
        auto pic = f->root->Child(*f->objects, u"Pic");
        ASSERT_TRUE(pic);
        EXPECT_EQ(f->root->ReadStream(pic->id, UINT64_MAX), Pattern(300));
    }
    auto before = ReadFileBytes(file);
    DocFile* f = OpenDocFile(file, kReadWrite);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(WriteDocFile(f, "Q", 1), 1);
    std::string aside = dir.File("aside.qwd");
    ASSERT_EQ(rename(file.c_str(), aside.c_str()), 0);
    ASSERT_EQ(mkdir(file.c_str(), 0755), 0);
    EXPECT_NE(CloseDocFile(f), 0);  // the record is freed all the same
    EXPECT_EQ(ReadFileBytes(aside), before);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"aside.qwd", "doc.qwd"}));
}

struct ScriptedFaults : DocFileFaults {
    int64_t readResult = -2;  // -2: no change
    bool failSeek = false, failWrite = false;
    int64_t BeforeRead(uint32_t, uint32_t asked) override { return readResult == -2 ? asked : readResult; }
    bool FailSeek(int32_t, int) override { return failSeek; }
    bool FailWrite(uint32_t, uint32_t) override { return failWrite; }
};

TEST_F(DocFileTest, InjectedFaultsFailOrShortenCallsOnBothKinds) {
    ASSERT_TRUE(WriteFileBytes(dir.File("plain.bin"), Bytes("0123456789")));
    ASSERT_TRUE(WriteCompound(file, Bytes("0123456789")));
    for (const std::string& path : {dir.File("plain.bin"), file}) {
        SCOPED_TRACE(path);
        Handle f(OpenDocFile(path, kReadWrite));
        ASSERT_TRUE(f);
        ScriptedFaults faults;
        f->faults = &faults;
        char buf[8] = {};
        faults.readResult = 3;
        EXPECT_EQ(ReadDocFile(f.get(), buf, 8), 3);
        EXPECT_EQ(std::string(buf, 3), "012");
        faults.readResult = -1;
        EXPECT_EQ(ReadDocFile(f.get(), buf, 8), -1);
        faults.readResult = -2;
        EXPECT_EQ(ReadDocFile(f.get(), buf, 2), 2);
        EXPECT_EQ(std::string(buf, 2), "34");  // a failed read does not move
        faults.failSeek = true;
        EXPECT_EQ(SeekDocFile(f.get(), 0, 0), -1);
        faults.failSeek = false;
        EXPECT_EQ(SeekDocFile(f.get(), 0, 1), 5);
        faults.failWrite = true;
        EXPECT_EQ(WriteDocFile(f.get(), "W", 1), -1);
        faults.failWrite = false;
        EXPECT_EQ(SeekDocFile(f.get(), 0, 1), 5);
        f->faults = nullptr;
        EXPECT_EQ(ReadAll(f.get()), Bytes("0123456789"));
    }
}

// A file kept in memory: nothing reaches the file before a flush or the
// close; reads and the end come from memory; then every byte lands where it
// was written, a jump past the end leaving zeros.
TEST_F(DocFileTest, AFileKeptInMemoryLandsWhereItWasWritten) {
    ASSERT_TRUE(WriteFileBytes(file, {}));
    Handle f(OpenDocFile(file, kReadWrite));
    ASSERT_TRUE(f);
    f->image = std::make_unique<FileImage>();
    EXPECT_EQ(WriteDocFile(f.get(), "0123456789", 10), 10);
    ASSERT_EQ(SeekDocFile(f.get(), 2, 0), 2);
    EXPECT_EQ(WriteDocFile(f.get(), "ab", 2), 2);
    EXPECT_EQ(WriteDocFile(f.get(), "c", 1), 1);
    EXPECT_EQ(SeekDocFile(f.get(), 0, 1), 5);
    ASSERT_EQ(SeekDocFile(f.get(), 10, 0), 10);
    uint8_t* room = DocFileRoom(f.get(), 8);  // filled, never written: not part of the file
    ASSERT_NE(room, nullptr);
    std::memset(room, 'r', 8);
    ASSERT_EQ(SeekDocFile(f.get(), 12, 0), 12);
    EXPECT_EQ(WriteDocFile(f.get(), "Z", 1), 1);
    EXPECT_EQ(SeekDocFile(f.get(), 0, 2), 13);
    EXPECT_EQ(ReadAll(f.get()), Bytes(std::string("01abc56789\0\0Z", 13)));
    EXPECT_TRUE(ReadFileBytes(file).empty());  // still in memory
    std::vector<uint8_t> big(5u << 20, 'x');   // past the first reservation: the image grows
    EXPECT_EQ(WriteDocFile(f.get(), big.data(), static_cast<uint32_t>(big.size())), int32_t(big.size()));
    EXPECT_EQ(FlushDocFile(f.get()), 0);
    EXPECT_EQ(ReadFileBytes(file).size(), 13 + big.size());
    ASSERT_EQ(SeekDocFile(f.get(), 1, 0), 1);
    EXPECT_EQ(WriteDocFile(f.get(), "y", 1), 1);  // after a flush: only what changed goes
    f.reset();
    const auto bytes = ReadFileBytes(file);
    ASSERT_EQ(bytes.size(), 13 + big.size());
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 13), std::string("0yabc56789\0\0Z", 13));
    EXPECT_EQ(bytes.back(), 'x');
}

// The write to the file runs beside reads of the image; the next write to
// the image waits for it, and what it changes goes with the next flush.
TEST_F(DocFileTest, AWriteBackRunsBesideReadsAndBeforeTheNextWrite) {
    ASSERT_TRUE(WriteFileBytes(file, {}));
    Handle f(OpenDocFile(file, kReadWrite));
    ASSERT_TRUE(f);
    f->image = std::make_unique<FileImage>();
    const std::vector<uint8_t> data = Pattern(3u << 20, 7);
    ASSERT_EQ(WriteDocFile(f.get(), data.data(), static_cast<uint32_t>(data.size())), int32_t(data.size()));
    ASSERT_EQ(BeginFlushDocFile(f.get()), 0);
    EXPECT_EQ(ReadAll(f.get()), data);
    ASSERT_EQ(SeekDocFile(f.get(), 0, 0), 0);
    EXPECT_EQ(WriteDocFile(f.get(), "Q", 1), 1);
    EXPECT_EQ(ReadFileBytes(file), data);  // the write-back is over, the change not yet sent
    EXPECT_EQ(FlushDocFile(f.get()), 0);
    std::vector<uint8_t> changed = data;
    changed[0] = 'Q';
    EXPECT_EQ(ReadFileBytes(file), changed);
}

// A write-back that fails fails its flush, every later write, flush and the
// close, and leaves the file as it was; a discarded image writes nothing.
TEST_F(DocFileTest, AFailedWriteBackFailsFromThenOn) {
    ASSERT_TRUE(WriteFileBytes(file, Bytes("0123")));
    for (bool background : {false, true}) {
        auto* f = new DocFile;
        f->fd = open(file.c_str(), O_RDONLY);  // writes to it fail
        ASSERT_GE(f->fd, 0);
        f->image = std::make_unique<FileImage>();
        EXPECT_EQ(WriteDocFile(f, "ab", 2), 2);
        if (background) {
            EXPECT_EQ(BeginFlushDocFile(f), 0);
        }
        EXPECT_EQ(FlushDocFile(f), -1);
        EXPECT_EQ(WriteDocFile(f, "c", 1), -1);
        EXPECT_EQ(FlushDocFile(f), -1);
        EXPECT_NE(CloseDocFile(f), 0);
        EXPECT_EQ(ReadFileBytes(file), Bytes("0123"));
    }
    Handle f(OpenDocFile(file, kReadWrite));
    ASSERT_TRUE(f);
    f->image = std::make_unique<FileImage>();
    EXPECT_EQ(WriteDocFile(f.get(), "zz", 2), 2);
    f->image.reset();
    f.reset();
    EXPECT_EQ(ReadFileBytes(file), Bytes("0123"));
}

TEST_F(DocFileTest, PositionsStayWithinThirtyTwoBits) {
    ASSERT_TRUE(WriteCompound(file, Bytes("abc")));
    Handle f(OpenDocFile(file, kReadWrite));
    ASSERT_TRUE(f);
    EXPECT_EQ(SeekDocFile(f.get(), INT32_MAX, 0), INT32_MAX);
    EXPECT_EQ(SeekDocFile(f.get(), INT32_MAX, 1), -2);  // 0xFFFFFFFE, the low 32 bits
    EXPECT_EQ(SeekDocFile(f.get(), 2, 1), -1);          // past 4 GB: refused
    EXPECT_EQ(WriteDocFile(f.get(), "abc", 3), -1);     // would end past 4 GB
    EXPECT_EQ(SeekDocFile(f.get(), 0, 2), 3);
}

TEST_F(DocFileTest, TruncatedCompoundFilesOpenOrFailButReadWithinTheStream) {
    CompoundLayout layout;
    layout.main = Pattern(9000, 5);
    layout.extra = {Stream(u"\x05SummaryInformation", Pattern(200)), Stream(u"Pic", Pattern(6000), u"Quillsuite_OBJECTS")};
    ASSERT_TRUE(WriteCompound(file, layout));
    const auto good = ReadFileBytes(file);
    for (size_t n = 0; n < good.size(); n += 256) {
        SCOPED_TRACE(n);
        ASSERT_TRUE(WriteFileBytes(file, std::vector<uint8_t>(good.begin(), good.begin() + ptrdiff_t(n))));
        DocFile* f = OpenDocFile(file, kReadWrite);
        if (!f) continue;
        int32_t size = SeekDocFile(f, 0, 2);
        auto data = ReadAll(f);
        EXPECT_LE(data.size(), size_t(std::max(size, 0)));
        EXPECT_EQ(CloseDocFile(f), 0);  // nothing written: nothing to fail
    }
}

TEST(WidenFileNameTest, EachByteIsOneUnitUpToTheZero) {
    struct Case {
        std::string in;
        std::u16string out;
    } cases[] = {
        {"", u""},
        {"doc.qwd", u"doc.qwd"},
        {std::string("\x81", 1), u"\x81"},  // a lone lead byte stays one unit
        {"\x81\x40", u"\x81\x40"},
        {"\xE9t\xE9", u"\xE9t\xE9"},
        {std::string("ab\0cd", 5), u"ab"},
    };
    for (const Case& c : cases) EXPECT_EQ(WidenFileName(c.in), c.out) << c.in;
}

}  // namespace
