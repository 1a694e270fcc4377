#pragma once
// The dumper over a fresh context: its sink is the context's "list", no
// default list is installed (the check pass installs one itself), and a
// record's bytes can be handed in as the current file.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/Profile.h"
#include "graphics/Dialect.h"
#include "graphics/GraphicsState.h"
#include "graphics/Records.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/Recording.h"

namespace graphicstest {

// `bytes` as the dumper's current file, the reader started on it.
class GraphicsInput {
public:
    explicit GraphicsInput(const std::vector<uint8_t>& bytes);
    ~GraphicsInput();
    GraphicsInput(const GraphicsInput&) = delete;
    GraphicsInput& operator=(const GraphicsInput&) = delete;

    engine::DocFile* file = nullptr;

private:
    testsupport::ScopedTempDir dir_;
};

class DumperTest : public ::testing::Test {
protected:
    DumperTest();

    // Bytes to read from here on.
    void Feed(const std::vector<uint8_t>& bytes) { input_ = std::make_unique<GraphicsInput>(bytes); }
    std::vector<std::string> Lines() const { return ctx.list.Texts(); }
    std::vector<uint32_t> Tags() const;

    testsupport::ScopedContext ctx;
    graphics::DumpPrinter& out;

private:
    std::unique_ptr<GraphicsInput> input_;
};

using RecordTable = std::array<graphics::RecordRow, graphics::kRecordTableRows>;

// Whole files dumped through the entry points with the test's own record
// table; the file opened last is closed when the next opens.
class RecordTableTest : public ::testing::Test {
protected:
    explicit RecordTableTest(const RecordTable& table);
    ~RecordTableTest() override { Close(); }
    void Close();
    engine::DocFile* Open(const std::vector<uint8_t>& bytes);

    testsupport::ScopedContext ctx;

private:
    RecordTable table_;
    graphics::DumpDialect dialect_;
    engine::Profile profile_;
    testsupport::ScopedTempDir dir_;
    engine::DocFile* file_ = nullptr;
};

}  // namespace graphicstest
