#include "engine/StorageTree.h"

#include <algorithm>
#include <new>
#include <vector>

#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/OutputSink.h"

namespace engine {

namespace {
constexpr const char* kElementTypeNames[] = {"", "Storage", "Stream", "ILockBytes", "Property"};
constexpr size_t kPrintedBytes = 64;

bool IsMainStream(const DocFile* f, storage::NodeId id) {
    return f->mainStream && *f->mainStream == id;
}

// Without a tree, a stream's lines go where its node's line went.
void AddStreamLine(TreeTarget* tree, TreeItem item, const std::string& text) {
    if (tree)
        AddTreeLine(tree, item, text);
    else
        PrintLine(Ctx().describer.currentTarget, text);
}
}  // namespace

const char* ElementTypeName(uint32_t kind) {
    return kind < std::size(kElementTypeNames) ? kElementTypeNames[kind] : "";
}

std::string NarrowElementName(std::u16string_view name) {
    std::string out;
    for (char16_t c : name) {
        if (c == 0) break;
        out += static_cast<char>(c & 0xFF);
    }
    return out;
}

TreeItem AddStorageNode(TreeTarget* tree, TreeItem parent, const storage::Element& element) {
    const std::string name = NarrowElementName(element.name);
    const char* type = ElementTypeName(static_cast<uint32_t>(element.kind));
    const int size = static_cast<int>(element.size);
    const unsigned usize = static_cast<unsigned>(element.size);
    std::string text;
    if (!name.empty() && static_cast<uint8_t>(name[0]) >= 32)
        text = Format("'%s', Type: %s, Size: %d (0x%X)", name.c_str(), type, size, usize);
    else
        text = Format("(0x%02X)'%s', Type: %s, Size: %d (0x%X)",
                      name.empty() ? 0u : static_cast<uint8_t>(name[0]),
                      name.empty() ? "" : name.c_str() + 1, type, size, usize);
    if (tree) return tree->AppendChild(parent, text, 0);
    PrintLine(Ctx().describer.currentTarget, text);
    return kTreeRoot;
}

void ShowStreamData(DocFile* f, TreeTarget* tree, const storage::Element& element, TreeItem item) {
    const uint64_t size = element.size;
    const uint64_t limit = std::min(size, kStreamShowLimit);
    std::vector<uint8_t> data;
    try {
        if (IsMainStream(f, element.id)) {
            // The DocFile holds the main stream: read its current image.
            data.assign(static_cast<size_t>(limit), 0);
            int32_t n = -1;
            if (SeekDocFile(f, 0, 0) == 0) n = ReadDocFile(f, data.data(), static_cast<uint32_t>(limit));
            if (n < 0) {
                AddStreamLine(tree, item, Text(Msg::OpeningStreamFailed));
                return;
            }
            data.resize(static_cast<size_t>(n));
        } else {
            auto read = f->root->ReadStream(element.id, limit);
            if (!read) {
                AddStreamLine(tree, item, Text(Msg::OpeningStreamFailed));
                return;
            }
            data = std::move(*read);
            if (data.size() > limit) data.resize(static_cast<size_t>(limit));
        }
    } catch (const std::bad_alloc&) {
        AddStreamLine(tree, item, "Error allocating memory");
        return;
    }

    ListTarget* current = Ctx().describer.currentTarget;
    size_t shown = data.size();
    if (current) {
        shown = std::min(shown, kPrintedBytes);
        HexDump(static_cast<int64_t>(shown), std::span<const uint8_t>(data.data(), shown), current);
    } else {
        HexDump(static_cast<int64_t>(shown), data, nullptr, tree, item);
    }
    if (size > shown) {
        const uint64_t rest = size - shown;
        AddStreamLine(tree, item,
                      Format("  *** %d (0x%X) BYTES OF DATA -NOT- DISPLAYED ***", static_cast<int>(rest),
                             static_cast<unsigned>(rest)));
    }
}

TreeItem ListStorageTree(DocFile* f, TreeTarget* tree, storage::NodeId storage, TreeItem parent) {
    TreeItem last = kTreeRoot;
    if (!f || !f->root) return last;
    for (storage::Element element : f->root->Children(storage)) {
        if (element.name.empty() || element.name[0] == 0) continue;
        if (IsMainStream(f, element.id)) element.size = f->root->ImageSize();
        TreeItem node = AddStorageNode(tree, parent, element);
        last = node;
        if (element.kind == storage::ElementKind::Storage)
            ListStorageTree(f, tree, element.id, node);
        else
            ShowStreamData(f, tree, element, node);
    }
    return last;
}

}  // namespace engine
