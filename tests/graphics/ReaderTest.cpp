// The read-ahead reader: which seeks read the file again, the beep of a
// refused seek, the buffer's base, the end of data, variable numbers.

#include <gtest/gtest.h>

#include <fstream>

#include "engine/DocFile.h"
#include "engine/EngineContext.h"
#include "graphics/Dumper.h"
#include "tests/graphics/GraphicsInput.h"
#include "tests/support/QwgBuilder.h"

namespace {

using graphics::Gfx;
using graphicstest::DumperTest;

// Counts the reads that reach the file; can fail every read from a position on.
struct CountingFaults : engine::DocFileFaults {
    int64_t BeforeRead(uint32_t pos, uint32_t asked) override {
        ++reads;
        if (pos >= failFrom) return -1;
        return asked;
    }
    int reads = 0;
    uint32_t failFrom = UINT32_MAX;
};

class Reader : public DumperTest {
protected:
    // A file of `n` pattern bytes as the current file, the reader on it.
    engine::DocFile* Open(size_t n) {
        bytes_ = testsupport::Pattern(n, 1);
        path_ = dir_.File("stream.bin");
        testsupport::WriteFileBytes(path_, bytes_);
        f_ = engine::OpenDocFile(path_, engine::kOpenRead | engine::kOpenIgnored);
        f_->faults = &faults;
        Gfx().file = f_;
        graphics::StartQwgReader(f_);
        return f_;
    }
    ~Reader() override {
        graphics::StopQwgReader(f_);
        Gfx().file = nullptr;
        if (f_) engine::CloseDocFile(f_);
    }

    CountingFaults faults;
    std::vector<uint8_t> bytes_;

private:
    testsupport::ScopedTempDir dir_;
    std::string path_;
    engine::DocFile* f_ = nullptr;
};

TEST_F(Reader, SeeksBackWithinConsumedBytesReadNothingForwardOnesRefill) {
    engine::DocFile* f = Open(100000);
    EXPECT_EQ(faults.reads, 1);
    for (int i = 0; i < 300; ++i) graphics::QwgReaderNextByte(f);
    struct Row {
        uint32_t offset;
        int reads;  // file reads the seek costs
    };
    // Back, back again to the start, to the cursor, forward past it (each
    // read moves the cursor on by one), then back within the new buffer and
    // before its start.
    const Row rows[] = {{120, 0}, {0, 0}, {1, 0}, {2, 0}, {500, 1}, {500, 0}, {499, 1}, {45000, 1}};
    for (const Row& r : rows) {
        const int before = faults.reads;
        ASSERT_EQ(graphics::QwgReaderSeek(f, r.offset, 0), 0) << r.offset;
        EXPECT_EQ(faults.reads - before, r.reads) << r.offset;
        EXPECT_EQ(graphics::QwgReaderTell(f), r.offset);
        EXPECT_EQ(graphics::QwgReaderNextByte(f), bytes_[r.offset]) << r.offset;
    }
    // The buffer's end moves on to the next 40960 bytes.
    ASSERT_EQ(graphics::QwgReaderSeek(f, 0, 0), 0);
    const int before = faults.reads;
    for (uint32_t i = 0; i < 40961; ++i) ASSERT_EQ(graphics::QwgReaderNextByte(f), bytes_[i]);
    EXPECT_EQ(faults.reads - before, 1);
}

TEST_F(Reader, ASeekWithAFlagBeepsOnceAndMovesNothing) {
    engine::DocFile* f = Open(100);
    graphics::QwgReaderNextByte(f);
    EXPECT_EQ(graphics::QwgReaderSeek(f, 10, 1), -1);
    EXPECT_EQ(ctx.window.beeps, 1);
    EXPECT_EQ(graphics::QwgReaderTell(f), 1u);
    // Without a window host nothing sounds, nothing breaks.
    engine::Ctx().hosts.window = nullptr;
    EXPECT_EQ(graphics::QwgReaderSeek(f, 10, 1), -1);
    EXPECT_EQ(ctx.window.beeps, 1);
}

TEST_F(Reader, AFailedFillLeavesTheBufferEmpty) {
    engine::DocFile* f = Open(100);
    faults.failFrom = 50;
    ASSERT_EQ(graphics::QwgReaderSeek(f, 60, 0), 0);
    EXPECT_EQ(graphics::QwgReaderNextByte(f), -1);
    EXPECT_EQ(graphics::QwgReaderNextByte(f), -1);
}

TEST_F(Reader, TheBufferBelongsToTheBaseItWasFilledFrom) {
    engine::DocFile* f = Open(1000);
    Gfx().base = 0x100;
    ASSERT_EQ(graphics::QwgReaderSeek(f, 0, 0), 0);
    EXPECT_EQ(graphics::QwgReaderNextByte(f), bytes_[0x100]);
    // Back to base 0 at an offset the old buffer has consumed: read again.
    Gfx().base = 0;
    const int before = faults.reads;
    ASSERT_EQ(graphics::QwgReaderSeek(f, 0, 0), 0);
    EXPECT_EQ(faults.reads - before, 1);
    EXPECT_EQ(graphics::QwgReaderNextByte(f), bytes_[0]);
}

TEST_F(Reader, OnlyTheFirstReadPastTheEndWritesTheEndOfDataPair) {
    Open(2);
    engine::Ctx().sink.defaultList = &ctx.defaultList;
    EXPECT_GE(graphics::ReadQwgByte(), 0);
    EXPECT_GE(graphics::ReadQwgByte(), 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(graphics::ReadQwgByte(), -1);
    EXPECT_EQ(graphics::ReadQwgDword(), 0xFFFFFFFFu);
    // The dump line and the plain list line: one pair, both in the sink.
    EXPECT_EQ(Lines(), (std::vector<std::string>{" Unexpected EOF while reading data. ",
                                                 " Unexpected EOF while reading data. "}));
    EXPECT_TRUE(Gfx().endOfData);
    EXPECT_EQ(Gfx().bytePosition, 6u);  // every read counts, the failed ones too
}

TEST_F(DumperTest, VariableNumbers) {
    struct Row {
        std::vector<uint8_t> bytes;
        uint32_t value;
        uint32_t used;
    };
    const Row rows[] = {
        {{0x05}, 5, 1},
        {{0xFE}, 0xFE, 1},
        {{0xFF, 0xFF, 0x00}, 0xFF, 3},
        {{0xFF, 0x00, 0x01}, 0x100, 3},
        {{0xFF, 0xFF, 0x7F}, 0x7FFF, 3},
        {{0xFF, 0x00, 0x80, 0x34, 0x12}, 0x1234, 5},
        {{0xFF, 0x00, 0x80, 0x00, 0x80}, 0x8000, 5},
        {{0xFF, 0x01, 0x80, 0x00, 0x00}, 0x10000, 5},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 0x7FFFFFFF, 5},
        // The data ends inside it: 0.
        {{0xFF, 0x00, 0x80, 0x34}, 0, 5},
        {{0xFF, 0x10}, 0, 3},
    };
    for (const Row& r : rows) {
        graphics::ResetQwgDumper();
        Feed(r.bytes);
        uint32_t used = 0;
        EXPECT_EQ(graphics::ReadVarNumber(&used), r.value) << r.bytes.size();
        EXPECT_EQ(used, r.used) << r.bytes.size();
    }
}

}  // namespace
