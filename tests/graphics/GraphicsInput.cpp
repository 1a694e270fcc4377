#include "tests/graphics/GraphicsInput.h"

#include <fstream>

#include "engine/DocFile.h"
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

}  // namespace graphicstest
