// The code-stream walker: text runs, codes, damage and its stretches,
// windows and refills, single descriptions, progress and failures.

#include "engine/Walker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "engine/Captions.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/TextOps.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/OpenDoc.h"
#include "tests/support/Recording.h"

using namespace engine;
using testsupport::Body;
using testsupport::DocBuilder;
using testsupport::Func;
using testsupport::ScopedContext;
using testsupport::ScopedTempDir;
using testsupport::VarFunc;

namespace {

constexpr uint32_t kAll = 0xFFFFFFFF;
constexpr uint32_t kClasses = 0x7FFFFFFF;  // lines inside undo areas hidden

// Where the body of a document without packets starts.
uint32_t BodyStart() { return static_cast<uint32_t>(DocBuilder().Build().size()); }

std::vector<uint8_t> Zeros(size_t n) { return std::vector<uint8_t>(n, 0); }

// A document with the given body, open as the document; the context must
// outlive it.
class Doc : public testsupport::OpenDoc {
public:
    explicit Doc(const Body& body) : OpenDoc(WithBody(body)) { EXPECT_NE(file, nullptr) << verdict; }
    explicit Doc(const std::vector<uint8_t>& bytes) : OpenDoc(bytes) {
        EXPECT_NE(file, nullptr) << verdict;
    }

private:
    static std::vector<uint8_t> WithBody(const Body& body) {
        DocBuilder b;
        b.body = body;
        return b.Build();
    }
};

// Walks as the callers make them.
struct Walks {
    ScopedContext& c;

    // The Codes page's listing, outside any check.
    int32_t List(Doc& d, uint32_t classMask = kClasses, uint32_t groupMask = kAll) {
        Ctx().sink.defaultList = nullptr;
        return ListDocumentCodes(d.file, &c.list, kModeDecoded, groupMask, classMask, kWalkToEnd);
    }
    // One pass of the check: counting (stop 0) or cross reference (stop -1).
    int32_t CheckPass(Doc& d, int32_t stop) {
        EngineContext& e = Ctx();
        e.sink.defaultList = &c.defaultList;
        e.sink.stopValue = stop;
        CodeWalkRequest rq;
        rq.file = d.file;
        rq.groupMask = kAll;
        rq.classMask = kAll;
        const int32_t r = WalkCodeStream(rq);
        e.sink.stopValue = 0;
        e.sink.defaultList = nullptr;
        return r;
    }
    int32_t Describe(Doc& d, uint32_t start, int mode = kModeDecoded) {
        Ctx().sink.defaultList = nullptr;
        Ctx().describer.currentTarget = &c.detail;
        const int32_t r = DescribeCodeAt(d.file, &c.detail, start, mode, kWalkToEnd);
        Ctx().describer.currentTarget = nullptr;
        return r;
    }
    std::vector<std::string> Lines() const { return c.log.Lines(); }
};

std::string L(const char* target, uint32_t tag, const std::string& text) {
    return Format("L %s %08X %s", target, tag, text.c_str());
}

std::vector<InvalidRange> Ranges() { return {Ctx().check.ranges.begin(), Ctx().check.ranges.end()}; }

}  // namespace

namespace engine {
bool operator==(const InvalidRange& a, const InvalidRange& b) {
    return a.start == b.start && a.end == b.end && a.owner == b.owner && a.block == b.block;
}
void PrintTo(const InvalidRange& r, std::ostream* os) {
    *os << Format("{%X %X %X %X}", r.start, r.end, r.owner, r.block);
}
}  // namespace engine

TEST(WalkerText, RunsAreCutAt71CharactersAndTaggedWithTheirFirstOffset) {
    ScopedContext c;
    Walks w{c};
    Doc d(Body().Text(std::string(71, 'a') + std::string(71, 'b') + "cc"));
    EXPECT_EQ(w.List(d), 0);
    EXPECT_EQ(w.Lines(), (std::vector<std::string>{
                             L("list", d.body, "Text:'" + std::string(71, 'a') + "'"),
                             L("list", d.body + 71, "Text:'" + std::string(71, 'b') + "'"),
                             L("list", d.body + 142, "Text:'cc'")}));
}

// A run ends at its first byte that is not text wherever that falls: the
// long runs are scanned sixteen bytes at a time.
TEST(WalkerText, RunsEndAtTheFirstByteThatIsNotTextAtEveryLength) {
    for (size_t length : {1u, 15u, 16u, 17u, 31u, 32u, 33u, 47u, 48u, 49u, 64u, 70u, 71u}) {
        SCOPED_TRACE(length);
        ScopedContext c;
        Walks w{c};
        // Every text byte, 0x21 to 0x81; 0x80 and 0x81 are shown as blanks.
        std::string run, shown;
        for (size_t i = 0; i < length; ++i) {
            const auto b = static_cast<char>(0x21 + (i * 7) % 0x61);
            run += b;
            // The log writes a backslash twice.
            shown += static_cast<uint8_t>(b) >= 0x80 ? std::string(" ") : b == '\\' ? std::string("\\\\") : std::string(1, b);
        }
        Doc d(Body().Text(run).Code(0x0A).Text("z"));
        EXPECT_EQ(w.List(d), 0);
        ASSERT_FALSE(w.Lines().empty());
        EXPECT_EQ(w.Lines().front(), L("list", d.body, "Text:'" + shown + "'"));
        c.log.Clear();
        w.Describe(d, d.body);
        ASSERT_GE(w.Lines().size(), 2u);
        EXPECT_EQ(w.Lines()[1], L("detail", 0, "'" + shown + "'"));
    }
}

TEST(WalkerText, SpacesFillersAndTheClassFilter) {
    ScopedContext c;
    Walks w{c};
    // 0x20 is a code; 0x80 and 0x81 stay in the run as blanks; a 0x00
    // filler neither ends the run nor shows.
    Doc d(Body().Text("ab").Code(0x80).Code(0x00).Text("c").Code(0x81).Code(0x20).Text("d"));
    w.List(d);
    EXPECT_EQ(w.Lines(), (std::vector<std::string>{
                             L("list", d.body, "Text:'ab c '"),
                             L("list", d.body + 6, "Single byte Code 0x20   Mapped at Pos: 32"),
                             L("list", d.body + 7, "Text:'d'")}));
    c.log.Clear();
    w.List(d, kClasses & ~0x4u);  // text hidden
    EXPECT_EQ(w.Lines(), (std::vector<std::string>{
                             L("list", d.body + 6, "Single byte Code 0x20   Mapped at Pos: 32")}));
}

TEST(WalkerText, UndoAreasAreMarkedAndTheMarkerIsResetByTheNextWalk) {
    ScopedContext c;
    Walks w{c};
    Doc d(Body().Text("a").UndoStart(3).Text("gone").UndoEnd(3).Text("b"));
    w.List(d, kAll);
    EXPECT_EQ(w.Lines(), (std::vector<std::string>{
                             L("list", d.body, "Text:'a'"),
                             L("list", kTagUndo | (d.body + 1), "Start of Invalid Text"),
                             L("list", kTagUndo | (d.body + 6), "Text:'gone'"),
                             L("list", kTagUndo | (d.body + 10), "End of Invalid Text"),
                             L("list", d.body + 15, "Text:'b'")}));

    // A walk that ends inside an area (mismatched level) leaves nothing
    // behind for the next one.
    Doc open(Body().UndoStart(1).Text("x").UndoEnd(2));
    w.List(open, kAll);
    EXPECT_NE(Ctx().sink.invalidTextMarker, 0);
    Ctx().check.undoStart = 0x1234;
    Ctx().check.undoLevel = 9;
    c.log.Clear();
    w.List(d, kClasses);
    EXPECT_EQ(w.Lines(), (std::vector<std::string>{L("list", d.body, "Text:'a'"),
                                                    L("list", d.body + 15, "Text:'b'")}));
    EXPECT_EQ(Ctx().check.undoStart, 0u);
}

TEST(WalkerDamage, PlainListingStepsOverAWrongTrailerAndListsNoMoreText) {
    ScopedContext c;
    Walks w{c};
    VarFunc broken = Func(0xD3, 0x01, {}, {0x10, 0x00});
    broken.trailerSize = 0x999;
    const uint32_t size = static_cast<uint32_t>(broken.Bytes().size());
    Doc d(Body().Text("a").Var(broken).Text("hidden").Code(0xFF).Code(0x85).Var(Func(0xD4, 0x06))
              .Fixed({0xF2, 0x0C, 0xF2}));
    EXPECT_EQ(w.List(d), 0);
    const uint32_t after = d.body + 1 + size + 6;
    EXPECT_EQ(w.Lines(), (std::vector<std::string>{
                             L("list", d.body, "Text:'a'"),
                             L("list", kTagDamage | (d.body + 1),
                               Format("Invalid function at 0x%06X", d.body + 1)),
                             L("list", kTagDamage | after, "Invalid function: 0xFF, (document corrupt)"),
                             L("list", after + 2, "Index Entry"),
                             L("list", after + 12, "Bold On")}));
    EXPECT_EQ(Ctx().check.otherFindings, 0);
}

// Each kind of damage in the check: counted once per stretch in every
// pass, reported and booked in the cross reference up to the next valid
// variable-length function (or the end of the data).
TEST(WalkerDamage, CheckCountsEachStretchAndBooksItToTheNextValidFunction) {
    VarFunc trailer = Func(0xD3, 0x01, {}, {1, 2});
    trailer.trailerGroup = 0xD2;
    VarFunc zero = Func(0xD3, 0x01);
    zero.size = 0;
    VarFunc tiny = Func(0xD3, 0x01);
    tiny.size = 2;
    VarFunc refused = Func(0xD4, 0x06);  // an id past the packet table
    refused.prefixIds = {7};
    const std::vector<uint8_t> ff{0xFF};
    const std::vector<uint8_t> gates{0xF2, 0x0C, 0xF3};
    struct Case {
        const char* name;
        std::vector<uint8_t> bad;
    } cases[] = {
        {"invalid byte", ff},         {"wrong trailer", trailer.Bytes()},
        {"size 0", zero.Bytes()},     {"size 2", tiny.Bytes()},
        {"refused", refused.Bytes()}, {"fixed gates", gates},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        ScopedContext c;
        Walks w{c};
        const VarFunc valid = Func(0xD4, 0x06);
        Doc d(Body().Text("ok").Raw(k.bad).Text("junk").Var(valid).Text("tail"));
        const uint32_t bad = d.body + 2;
        const uint32_t resync = bad + static_cast<uint32_t>(k.bad.size()) + 4;
        EXPECT_EQ(w.CheckPass(d, 0), 0);
        EXPECT_EQ(Ctx().check.otherFindings, 1);
        EXPECT_TRUE(Ranges().empty());
        c.log.Clear();
        EXPECT_EQ(w.CheckPass(d, -1), 0);
        EXPECT_EQ(Ctx().check.otherFindings, 2);
        EXPECT_EQ(Ranges(), (std::vector<InvalidRange>{{bad, resync, 0, 0, 0}}));
        const std::vector<std::string> lines = w.Lines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), L("default", kTagDamage | bad, Format("Doc corrupt! At offset 0x%lX.",
                                                                      static_cast<unsigned long>(bad))));
    }
}

TEST(WalkerDamage, AStretchOpenAtTheEndIsBookedToTheEndOfTheData) {
    ScopedContext c;
    Walks w{c};
    Doc d(Body().Text("ok").Code(0xFF).Text("never closed"));
    w.CheckPass(d, -1);
    EXPECT_EQ(Ranges(), (std::vector<InvalidRange>{{d.body + 2, d.end, 0, 0, 0}}));
}

TEST(WalkerDamage, AValidFunctionEndingAStretchIsDescribedOnce) {
    ScopedContext c;
    Walks w{c};
    DocBuilder b;
    testsupport::Packet style;
    style.type = 0x30;
    const uint16_t id = b.Add(style);
    b.body.Code(0xFF).Var(Func(0xD4, 0x06, {id}));
    Doc d(b.Build());
    ReadIndex(d.file, nullptr);
    w.CheckPass(d, 0);
    EXPECT_EQ(Ctx().doc.packets[id].countedUses, 1);
}

// Items the data ends inside. A plain walk reports the place and fails; a
// check counts it and books it to the end of the data.
TEST(WalkerDamage, ItemsCutOffByTheEndOfTheData) {
    VarFunc longer = Func(0xD4, 0x06);
    longer.size = 40;
    struct Case {
        const char* name;
        std::vector<uint8_t> tail;
    } cases[] = {
        {"header in the last 3 bytes", {0xD4, 0x06, 0x20}},
        {"function past the end", longer.Bytes()},
        {"fixed past the end", {0xFD, 0x01, 0x02}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        ScopedContext c;
        Walks w{c};
        Doc d(Body().Text("text").Raw(k.tail));
        const uint32_t at = d.body + 4;
        EXPECT_EQ(w.List(d), 1);
        EXPECT_EQ(w.Lines(), (std::vector<std::string>{
                                 L("list", d.body, "Text:'text'"), "D list",
                                 L("list", kTagDamage | at, "Corrupt: Text:'text'")}));
        c.log.Clear();
        w.CheckPass(d, 0);
        EXPECT_EQ(Ctx().check.otherFindings, 1);
        w.CheckPass(d, -1);
        EXPECT_EQ(Ctx().check.otherFindings, 2);
        // Past the end, a function is stepped through byte by byte: its
        // stretch reaches the end too.
        EXPECT_EQ(Ranges(), (std::vector<InvalidRange>{{at, d.end, 0, 0, 0}}));
        EXPECT_EQ(w.Lines(), (std::vector<std::string>{L(
                                 "default", kTagDamage | at,
                                 Format("Doc corrupt! At offset 0x%lX.", static_cast<unsigned long>(at)))}));
    }
}

// Sizes 1-3 are wrong trailers, and nothing before the function is read.
TEST(WalkerDamage, SizesBelowFourAreWrongTrailers) {
    for (uint8_t size = 1; size <= 3; ++size) {
        SCOPED_TRACE(size);
        ScopedContext c;
        Walks w{c};
        // For size 1 the two bytes before the function would fake a trailer.
        Doc d(Body().Raw({0x01, 0x00}).Raw({0xD4, 0x06, size, 0x00}).Text("rest"));
        w.List(d);
        const uint32_t at = d.body + 2;
        EXPECT_EQ(w.Lines(), (std::vector<std::string>{
                                 L("list", d.body, "Single byte Code 0x01   Mapped at Pos: 1"),
                                 L("list", kTagDamage | at, Format("Invalid function at 0x%06X", at))}));
    }
}

// Items across the end of a 64000-byte window are read again from their
// first byte; the window is then based on that item.
TEST(WalkerWindows, ItemsStraddlingWindowsAreReadAgainFromTheirStart) {
    ScopedContext c;
    Walks w{c};
    const uint32_t d0 = BodyStart();
    const std::vector<uint8_t> f = Func(0xD4, 0x06, {}, std::vector<uint8_t>(10, 0x11)).Bytes();
    const uint32_t fs = static_cast<uint32_t>(f.size());
    // Body-relative places: each item straddles the end of the window that
    // the refill before it began.
    const uint32_t var1 = 63990;
    const uint32_t fixed = var1 + 63998;
    const uint32_t var2 = fixed + 63998;  // only two bytes of its header in the window
    Body b;
    b.Raw(Zeros(var1)).Raw(f);
    b.Raw(Zeros(fixed - var1 - fs)).Fixed({0xF2, 0x0C, 0xF2});
    b.Raw(Zeros(var2 - fixed - 3)).Raw(f);
    b.Text("end");
    Doc d(b);
    ASSERT_EQ(d.body, d0);
    EXPECT_EQ(w.List(d), 0);
    EXPECT_EQ(c.list.Texts(), (std::vector<std::string>{"Index Entry", "Bold On", "Index Entry", "Text:'end'"}));
    std::vector<uint32_t> tags;
    for (const auto& line : c.list.lines) tags.push_back(line.tag);
    EXPECT_EQ(tags, (std::vector<uint32_t>{d0 + var1, d0 + fixed, d0 + var2, d0 + var2 + fs}));
}

TEST(WalkerSingle, DescriptionsOfOneItem) {
    ScopedContext c;
    Walks w{c};
    Doc d(Body().Text("Hi").Code(0x00).Code(0x0A).Code(0x85).Code(0xFF).Raw({0xD4, 0x06, 0x00, 0x00})
              .Text("long text"));
    const uint32_t b = d.body;
    struct Case {
        uint32_t start;
        int32_t result;
        std::vector<std::string> lines;
        const char* title;
    } cases[] = {
        // A text run is shown up to the code that ends it.
        {b, 1, {L("detail", 0, "'Hi'")}, "Text:"},
        // A 0x00 filler: the item behind it.
        {b + 2, 0, {L("detail", b + 3, "Single byte Code 0x0A   Mapped at Pos: 10")}, ""},
        {b + 4, 0, {L("detail", 0, "Single Byte Code: 0x85")}, "Auto Hyphen at End of Line"},
        {b + 5, 0, {L("detail", 0, "0xFF, (document corrupt)")}, "Invalid function:"},
        {b + 6, 0, {L("detail", kTagDamage | (b + 6), Format("Invalid function at 0x%06X", b + 6))}, ""},
        // Offset 0 is a line without a place.
        {0, 0, {}, ""},
        {kTagDamage, 0, {}, ""},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.start);
        c.log.Clear();
        c.window.title.clear();
        EXPECT_EQ(w.Describe(d, k.start), k.result);
        std::vector<std::string> lines;
        for (const std::string& l : w.Lines())
            if (l[0] == 'L') lines.push_back(l);
        EXPECT_EQ(lines, k.lines);
        EXPECT_EQ(c.window.title, k.title);
    }
}

// Single descriptions take their bytes from what an earlier walk read
// ahead: every change of the file shows in the next one all the same.
TEST(WalkerSingle, BytesKeptForTheNextDescriptionFollowEveryChangeOfTheFile) {
    ScopedContext c;
    Walks w{c};
    Doc d(Body().Text("Hi").Code(0x0A).Text("there").Code(0x0A));
    const uint32_t b = d.body;
    auto text = [&](uint32_t at) {
        c.log.Clear();
        w.Describe(d, at);
        const std::vector<std::string> lines = w.Lines();
        return lines.empty() ? std::string() : lines.back();
    };
    auto write = [&](DocFile* f, uint32_t at, const char* bytes) {
        ASSERT_EQ(SeekDocFile(f, static_cast<int32_t>(at), 0), static_cast<int32_t>(at));
        ASSERT_EQ(WriteDocFile(f, bytes, 2), 2);
    };
    EXPECT_EQ(text(b), L("detail", 0, "'Hi'"));
    EXPECT_EQ(text(b + 3), L("detail", 0, "'there'"));

    // A row edit writes through the document's own handle.
    write(d.file, b + 3, "TH");
    EXPECT_EQ(text(b + 3), L("detail", 0, "'THere'"));
    EXPECT_EQ(text(b), L("detail", 0, "'Hi'"));

    // Another writer: seen once the run of descriptions pauses.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    DocFile* other = OpenDocFile(d.path, kOpenRead | kOpenWrite);
    ASSERT_NE(other, nullptr);
    write(other, b, "Yo");
    CloseDocFile(other);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(text(b), L("detail", 0, "'Yo'"));

    // The file opened again.
    d.Close();
    DocFile* again = OpenDocFile(d.path, kOpenRead | kOpenWrite);
    ASSERT_NE(again, nullptr);
    write(again, b + 3, "tH");
    CloseDocFile(again);
    ASSERT_TRUE(d.Open());
    EXPECT_EQ(text(b + 3), L("detail", 0, "'tHere'"));

    // A check and its walks read the file anew as well.
    write(d.file, b, "Ok");
    EXPECT_EQ(text(b), L("detail", 0, "'Ok'"));
}

TEST(WalkerSingle, TheRepairsProbeLeavesTheTitleAlone) {
    ScopedContext c;
    Doc d(Body().Text("Hi").Code(0x0A).Code(0xFF));
    CodeWalkRequest rq;
    rq.file = d.file;
    rq.start = d.body;
    rq.groupMask = rq.classMask = kAll;
    Ctx().sink.defaultList = nullptr;
    EXPECT_EQ(WalkCodeStream(rq), 1);
    rq.start = d.body + 3;
    EXPECT_EQ(WalkCodeStream(rq), 0);
    EXPECT_TRUE(c.window.titles.empty());
}

// The dump of a damaged place covers the range booked there, or what the
// window holds from there on.
TEST(WalkerSingle, DamagedPlaceDumpsTheBookedRangeOrTheWindow) {
    ScopedContext c;
    Walks w{c};
    Doc d(Body().Text("ab").Code(0xFF).Text("0123456789ABCDEFGHIJ"));
    const uint32_t at = d.body + 2;
    w.Describe(d, kTagDamage | at);
    std::vector<std::string> lines = w.Lines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], L("detail", 0, Format("Document offset = 0x%X", at)));
    EXPECT_EQ(lines[2], L("detail", 0, "HEX display of invalid document area"));
    EXPECT_EQ(lines[4].substr(0, 25), "L detail 00000000 00010- ");  // 21 bytes: two rows

    c.log.Clear();
    Ctx().check.ranges.push_back({at, at + 5, 0, 0, 0});
    w.Describe(d, kTagDamage | at, kModeHex);
    lines = w.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].substr(0, 40), "L detail 00000000 00000- FF 30 31 32 33 ");
}

TEST(WalkerProgress, ShownFrom20000BytesIn50StepsAndCancellable) {
    for (uint32_t fileLength : {19999u, 20000u}) {
        ScopedContext c;
        Walks w{c};
        Doc d(Body().Raw(Zeros(fileLength - 1 - BodyStart())).Text("x"));
        w.List(d);
        EXPECT_EQ(c.progress.created, fileLength < 20000 ? 0 : 1) << fileLength;
    }
    {
        ScopedContext c;
        Walks w{c};
        Doc d(Body().Raw(Zeros(100000)).Text("x"));
        w.List(d);
        EXPECT_EQ(c.progress.captions, (std::vector<std::string>{Caption(kCaptionCodeSummary)}));
        // The first position is the dialog's start; then about 50 steps.
        EXPECT_GE(c.progress.positions.size(), 50u);
        EXPECT_LE(c.progress.positions.size(), 51u);
        EXPECT_EQ(c.progress.live, 0);
    }
    {
        ScopedContext c;
        Walks w{c};
        c.progress.cancelAfterSteps = 3;
        Doc d(Body().Raw(Zeros(100000)).Text("never listed"));
        EXPECT_EQ(w.List(d), 0);
        EXPECT_EQ(c.list.Texts(), (std::vector<std::string>{"User CANCELED loading!"}));
    }
}

namespace {
struct FailingReads : DocFileFaults {
    int reads = 0;
    uint32_t failAt = UINT32_MAX;  // reads from here on fail
    bool failSeek = false;
    int64_t BeforeRead(uint32_t pos, uint32_t asked) override {
        ++reads;
        return pos >= failAt ? int64_t{-1} : int64_t{asked};
    }
    bool FailSeek(int32_t, int) override { return failSeek; }
};
}  // namespace

TEST(WalkerFailures, SeekAndReadFailuresAndTheEmptySearch) {
    ScopedContext c;
    Walks w{c};
    Doc d(Body().Raw(Zeros(70000)).Text("x"));
    FailingReads faults;
    d.file->faults = &faults;
    ReadIndex(d.file, nullptr);

    faults.failSeek = true;
    EXPECT_EQ(w.List(d), 1);
    EXPECT_EQ(c.list.Texts(), (std::vector<std::string>{"Seek to beginning of Document failed."}));

    faults.failSeek = false;
    faults.failAt = d.body;
    c.list.lines.clear();
    EXPECT_EQ(w.List(d), 1);
    EXPECT_EQ(c.list.Texts(), (std::vector<std::string>{"Error reading data from file"}));

    // A later read ends the walk normally.
    faults.failAt = d.body + kWalkWindow;
    c.list.lines.clear();
    EXPECT_EQ(w.List(d), 0);
    EXPECT_TRUE(c.list.Texts().empty());

    faults.reads = 0;
    EXPECT_EQ(SearchDocumentText(d.file, 0, kWalkToEnd, "", false), -1);
    EXPECT_EQ(faults.reads, 0);
}

// A stretch open when a later read fails ends where the data read ended.
TEST(WalkerFailures, AFailedLaterReadClosesTheStretchAtTheDataRead) {
    ScopedContext c;
    Walks w{c};
    Doc d(Body().Code(0xFF).Raw(Zeros(70000)).Text("x"));
    FailingReads faults;
    d.file->faults = &faults;
    faults.failAt = d.body + kWalkWindow;
    EXPECT_EQ(w.CheckPass(d, -1), 0);
    EXPECT_EQ(Ranges(), (std::vector<InvalidRange>{{d.body, d.body + kWalkWindow, 0, 0, 0}}));
}

namespace {
// An older inspector's policies: text stops at 0x80, damage ends the walk.
struct OlderText final : TextRunPolicy {
    bool IsText(uint8_t ch) const override { return ch >= 0x21 && ch <= 0x80; }
    uint32_t CutLength(bool) const override { return 5; }
    int HandOver(const TextRunSettings& s, const TextRun& run, bool cut) const override {
        if (cut) ++cuts;
        return SalvinoTextRuns().HandOver(s, run, cut);
    }
    mutable int cuts = 0;
};
struct OlderDamage final : WalkDamagePolicy {
    int32_t OnDamage(WalkDamage, CorruptStretch&, DocFile*, ListTarget* sink, uint32_t) const override {
        AddListLine(sink, "stopped");
        return 1;
    }
};
}  // namespace

TEST(WalkerPolicies, TheProfilesPoliciesDecideTextAndDamage) {
    ScopedContext c;
    Walks w{c};
    OlderText text;
    OlderDamage damage;
    Profile older = SalvinoProfile();
    older.textRuns = &text;
    older.walkDamage = &damage;
    Ctx().profile = &older;
    Doc d(Body().Text("abcdefg").Code(0x81).Code(0xFF).Text("never"));
    EXPECT_EQ(w.List(d), 1);
    EXPECT_EQ(c.list.Texts(), (std::vector<std::string>{"Text:'abcde'", "Text:'fg'", "Hard Space",
                                                        "stopped"}));
    EXPECT_EQ(text.cuts, 1);
}
