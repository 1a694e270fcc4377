// Text search, scrambling and extraction over the walker.

#include "engine/TextOps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
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
using testsupport::Packet;
using testsupport::VarFunc;

namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

// A document written to a scratch folder and opened as the document.
class Doc : public testsupport::OpenDoc {
public:
    explicit Doc(const DocBuilder& b) : Doc(b.Build()) {}
    explicit Doc(const Body& body) : Doc(WithBody(body)) {}

    // The file's bytes as they are now.
    std::vector<uint8_t> Now() const { return testsupport::ReadFileBytes(path); }
    // The bytes the document was built with, with `text` over them from
    // body offset `at`.
    std::vector<uint8_t> Built(uint32_t at = 0, const std::string& text = "") const {
        std::vector<uint8_t> b = bytes_;
        std::copy(text.begin(), text.end(), b.begin() + body + at);
        return b;
    }
    uint32_t Size() const { return static_cast<uint32_t>(bytes_.size()); }

private:
    explicit Doc(std::vector<uint8_t> bytes) : OpenDoc(bytes), bytes_(std::move(bytes)) {
        EXPECT_NE(file, nullptr) << verdict;
        Ctx().sink.defaultList = nullptr;
    }
    static DocBuilder WithBody(const Body& body) {
        DocBuilder b;
        b.body = body;
        return b;
    }
    std::vector<uint8_t> bytes_;
};

// Extracts [offset, offset + size) of `f` into a text file and returns it.
std::string Extract(DocFile* f, uint32_t offset, uint32_t size, ScopedTempDir& dir,
                    ListTarget* results = nullptr) {
    const std::string out = dir.File("out.txt");
    DocFile* target = OpenDocFile(out, kOpenRead | kOpenWrite | kOpenCreate);
    EXPECT_NE(target, nullptr);
    EXPECT_EQ(ExtractTextBlock(target, f, results, offset, size), 1);
    CloseDocFile(target);
    const std::vector<uint8_t> text = testsupport::ReadFileBytes(out);
    return std::string(text.begin(), text.end());
}

}  // namespace

TEST(SearchDocumentText, FindsTheRunThatHoldsTheText) {
    ScopedContext c;
    const std::string cut(71, 'x');  // the run is cut right before "tail"
    Doc d(Body().Text("first").Code(0x0A).Text("Hello").Code(0x80).Text("World").Code(0x0A).Text("Hel").Code(0x0A)
              .Text("lo").Code(0x0A).Text(cut + "tail"));
    const uint32_t hello = d.body + 6;
    struct Case {
        const char* text;
        bool caseSensitive;
        uint32_t start;
        int32_t result;
    } cases[] = {
        {"world", false, 0, static_cast<int32_t>(hello)},  // the run's offset, not the hit's
        {"world", true, 0, 0},
        {"World", true, 0, static_cast<int32_t>(hello)},
        {"first", true, 0, static_cast<int32_t>(d.body)},
        {"first", true, d.body + 1, 0},  // a start inside the run: the rest of it
        {"Hello", true, hello + 1, 0},   // split by a code
        {"xtail", true, 0, 0},           // split by the cut
        {"tail", true, 0, static_cast<int32_t>(d.body + 25 + 71)},
        {"", false, 0, -1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        EXPECT_EQ(SearchDocumentText(d.file, k.start, kWalkToEnd, k.text, k.caseSensitive), k.result);
    }
}

TEST(ScrambleTextBlock, OverwritesEveryRunInPlace) {
    ScopedContext c;
    Doc d(Body().Text("Hello World 42!").Code(0x0A).Var(Func(0xD4, 0x06, {}, Bytes("Keep"))).Text("a")
              .Code(0x80).Text("B"));
    EXPECT_EQ(SeekDocFile(d.file, 7, 0), 7);
    EXPECT_EQ(ScrambleTextBlock(d.file, &c.list, d.body, d.Size() - d.body), 1);
    EXPECT_EQ(SeekDocFile(d.file, 0, 1), 7);  // the position is kept
    std::vector<uint8_t> want = d.Built(0, "Zzzzz Zzzzz ZZ!");
    want[d.Size() - 3] = 'z';
    want[d.Size() - 1] = 'Z';
    EXPECT_EQ(d.Now(), want);
    EXPECT_EQ(c.list.Texts(), (std::vector<std::string>{
                                  Format("Scrambling text block at 0x%08X, for 0x%08X bytes", d.body,
                                         d.Size() - d.body)}));
}

// A filler inside a run stays where it is, and text after damage is
// scrambled too: nothing readable is left.
TEST(ScrambleTextBlock, FillersStayAndDamageDoesNotStopIt) {
    ScopedContext c;
    VarFunc broken = Func(0xD3, 0x01, {}, Bytes("xy"));
    broken.trailerSize = 0x999;
    Doc d(Body().Text("ab").Code(0x00).Text("cd").Code(0xFF).Text("Secret").Var(broken).Text("More")
              .Var(Func(0xD4, 0x06)).Text("End"));
    ScrambleTextBlock(d.file, &c.list, d.body, d.Size() - d.body);
    const std::vector<uint8_t> now = d.Now();
    EXPECT_EQ(std::string(now.begin() + d.body, now.begin() + d.body + 5), std::string("zz\0zz", 5));
    const std::string rest(now.begin() + d.body + 6, now.end());
    for (const char* word : {"Secret", "More", "End", "xy"})
        EXPECT_EQ(rest.find(word), std::string::npos) << word;
    EXPECT_NE(rest.find("Zzzzzz"), std::string::npos);
}

TEST(ScrambleTextBlock, StaysInsideTheBlock) {
    ScopedContext c;
    Doc d(Body().Text("outside").Code(0x0A).Text("Inside").Code(0x0A).Text("after"));
    ScrambleTextBlock(d.file, &c.list, d.body + 8, 6);
    EXPECT_EQ(d.Now(), d.Built(8, "Zzzzzz"));
}

TEST(ExtractTextBlock, OneLinePerRunCutAt102) {
    ScopedContext c;
    const std::string longRun(150, 'q');
    Doc d(Body().Text("Hello").Code(0x80).Text("you").Code(0x0A).Code(0x81).Text("x").Code(0x20)
              .Text(longRun));
    const std::string text = Extract(d.file, d.body, d.Size() - d.body, d.dir, &c.list);
    EXPECT_EQ(text, "Hello you\r\n x\r\n" + longRun.substr(0, 102) + "\r\n" + longRun.substr(102) + "\r\n");
    EXPECT_EQ(c.list.Texts(), (std::vector<std::string>{
                                  Format("Extracting text block at 0x%08X, for 0x%08X bytes", d.body,
                                         d.Size() - d.body)}));
}

TEST(ExtractTextBlock, ResynchronisesAtTheNextValidFunction) {
    ScopedContext c;
    Doc d(Body().Text("before").Code(0xFF).Text("lost").Fixed({0xF2, 0x0C, 0xF2})
              .Var(Func(0xD4, 0x06)).Text("after"));
    EXPECT_EQ(Extract(d.file, d.body, d.Size() - d.body, d.dir), "before\r\nafter\r\n");
}

// The old layout, in a file that is not the open document: its own header
// gives the layout and the document area.
TEST(ExtractTextBlock, OldLayoutOfAnotherFile) {
    ScopedContext c;
    DocBuilder other;
    other.header.major = 0;
    Packet pad;
    pad.payload = std::vector<uint8_t>(40, 0x11);
    other.Add(pad);
    // 0x20 is text; 0x80 a code; C1 is 9 bytes long; the variable-length
    // size leaves out a 4-byte trailer; F0-FE is damage.
    const std::vector<uint8_t> oldVar{0xD4, 0x01, 0x06, 0x00, 0xAA, 0xBB, 0x06, 0x00, 0x00, 0xD4};
    other.body.Text("old text").Code(0x80).Text("A")
        .Raw({0xC1, 'h', 'i', 'd', 'd', 'e', 'n', 0x00, 0xC1}).Text("B").Raw(oldVar).Text("C")
        .Raw({0xF5}).Text("gone").Raw(oldVar).Text("D");
    ScopedTempDir dir;
    ASSERT_TRUE(other.WriteFile(dir.File("old.qwd")));

    Doc open(Body().Text("the open document"));
    DocFile* f = OpenDocFile(dir.File("old.qwd"), kOpenRead);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(Extract(f, 0, kWalkToEnd, dir), "old text\r\nA\r\nB\r\nC\r\nD\r\n");
    CloseDocFile(f);
}

TEST(ExtractTextBlock, AFailedSeekIsReported) {
    ScopedContext c;
    Doc d(Body().Text("x"));
    struct NoSeek : DocFileFaults {
        bool FailSeek(int32_t, int) override { return true; }
    } faults;
    d.file->faults = &faults;
    EXPECT_EQ(ExtractTextBlock(nullptr, d.file, &c.list, d.body, 1), 0);
    EXPECT_EQ(ScrambleTextBlock(d.file, &c.list, d.body, 1), 0);
    ASSERT_EQ(c.messages.boxes.size(), 2u);
    EXPECT_EQ(c.messages.boxes[0].text, "I/O Error.  Seek failed");
    EXPECT_EQ(c.messages.boxes[0].caption, "Error");
    EXPECT_TRUE(c.list.Texts().empty());
}
