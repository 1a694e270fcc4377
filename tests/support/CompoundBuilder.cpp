#include "tests/support/CompoundBuilder.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace testsupport {
namespace {

std::optional<storage::NodeId> Resolve(const storage::CompoundFile& cf, const std::u16string& path) {
    storage::NodeId at = storage::kRoot;
    size_t start = 0;
    while (start < path.size()) {
        size_t slash = path.find(u'/', start);
        if (slash == std::u16string::npos) slash = path.size();
        auto child = cf.Child(at, std::u16string_view(path).substr(start, slash - start));
        if (!child || child->kind != storage::ElementKind::Storage) return std::nullopt;
        at = child->id;
        start = slash + 1;
    }
    return at;
}

}  // namespace

bool WriteCompound(const std::string& path, const CompoundLayout& layout) {
    auto cf = storage::CompoundFile::Create(path, false);
    if (!cf) return false;
    if (layout.rootClassId && !cf->SetClassId(storage::kRoot, *layout.rootClassId)) return false;
    if (!cf->SetTimes(storage::kRoot, layout.rootTimes.value_or(storage::StorageTimes{}))) return false;
    if (layout.withObjects) {
        auto objects = cf->CreateStorage(storage::kRoot, layout.objectsName);
        if (!objects) return false;
        if (layout.objectsClassId && !cf->SetClassId(*objects, *layout.objectsClassId)) return false;
        if (layout.objectsTimes && !cf->SetTimes(*objects, *layout.objectsTimes)) return false;
    }
    if (layout.withMain) {
        auto main = cf->CreateStream(storage::kRoot, layout.mainName);
        if (!main || !cf->SetStreamData(*main, layout.main)) return false;
    }
    for (const CompoundElement& e : layout.extra) {
        auto parent = Resolve(*cf, e.parent);
        if (!parent) return false;
        if (e.storage) {
            auto id = cf->CreateStorage(*parent, e.name);
            if (!id) return false;
            if (e.classId && !cf->SetClassId(*id, *e.classId)) return false;
        } else {
            auto id = cf->CreateStream(*parent, e.name);
            if (!id || !cf->SetStreamData(*id, e.data)) return false;
        }
    }
    for (const auto& [path, times] : layout.storageTimes) {
        auto id = Resolve(*cf, path);
        if (!id || !cf->SetTimes(*id, times)) return false;
    }
    return cf->Close();
}

bool WriteCompound(const std::string& path, const std::vector<uint8_t>& main) {
    CompoundLayout layout;
    layout.main = main;
    return WriteCompound(path, layout);
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::vector<uint8_t> Pattern(size_t n, uint8_t seed) {
    std::vector<uint8_t> out(n);
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(i * 7 + seed);
    return out;
}

storage::ClassId MakeClassId(uint8_t first) {
    storage::ClassId id{};
    for (size_t i = 0; i < id.size(); ++i) id[i] = static_cast<uint8_t>(first + i);
    return id;
}

ScopedTempDir::ScopedTempDir() {
    std::string templ = (std::filesystem::temp_directory_path() / "qwtest.XXXXXX").string();
    if (mkdtemp(templ.data())) path_ = templ;
}

ScopedTempDir::~ScopedTempDir() {
    if (path_.empty()) return;
    std::error_code ec;
    // Undo read-only modes a test may have set, so removal cannot fail.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::vector<std::string> ScopedTempDir::Entries() const {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(path_, ec)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

storage::StorageTimes MakeTimes(int64_t seconds) {
    storage::StorageTimes t{};
    auto put = [&](size_t at, int64_t s) {
        const uint64_t ticks = (static_cast<uint64_t>(s) + 11644473600ULL) * 10000000ULL;
        for (int i = 0; i < 8; ++i) t[at + i] = static_cast<uint8_t>(ticks >> (8 * i));
    };
    put(0, seconds);
    put(8, seconds + 1);
    return t;
}

}  // namespace testsupport

