#include "tests/graphics/GraphicsInput.h"

#include <fstream>

#include "engine/DocFile.h"
#include "engine/EngineContext.h"
#include "graphics/Outline.h"
#include "graphics/Reader.h"

namespace graphicstest {

GraphicsInput::GraphicsInput(const std::vector<uint8_t>& bytes) {
    const std::string path = dir_.File("record.qwg");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file = engine::OpenDocFile(path, engine::kOpenRead | engine::kOpenIgnored);
    graphics::Gfx().file = file;
    graphics::StartQwgReader(file);
}

GraphicsInput::~GraphicsInput() {
    graphics::StopQwgReader(file);
    if (graphics::Gfx().file == file) graphics::Gfx().file = nullptr;
    if (file) engine::CloseDocFile(file);
}

DumperTest::DumperTest() : out(graphics::Out()) {
    engine::Ctx().sink.defaultList = nullptr;
    graphics::ResetQwgDumper();
    graphics::Gfx().sink = &ctx.list;
}

std::vector<uint32_t> DumperTest::Tags() const {
    std::vector<uint32_t> tags;
    for (const auto& l : ctx.list.lines) tags.push_back(l.tag);
    return tags;
}

RecordTableTest::RecordTableTest(const RecordTable& table) : table_(table) {
    dialect_.outline = &graphics::SalvinoOutlineNumbering();
    dialect_.hexDumpLimit = 10240;
    dialect_.newlineSuffixAsBlank = false;
    dialect_.records = table_;
    profile_ = engine::SalvinoProfile();
    profile_.dumpDialect = &dialect_;
    engine::Ctx().profile = &profile_;
    engine::Ctx().sink.defaultList = nullptr;
}

void RecordTableTest::Close() {
    if (!file_) return;
    graphics::StopQwgReader(file_);
    engine::CloseDocFile(file_);
    file_ = nullptr;
}

engine::DocFile* RecordTableTest::Open(const std::vector<uint8_t>& bytes) {
    Close();
    const std::string path = dir_.File("g.qwg");
    testsupport::WriteFileBytes(path, bytes);
    file_ = engine::OpenDocFile(path, engine::kOpenRead | engine::kOpenIgnored);
    return file_;
}

}  // namespace graphicstest
