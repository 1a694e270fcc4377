#pragma once
// The element tree of a compound document, each stream with a dump of its
// first bytes.

#include <string>

#include "engine/Targets.h"
#include "platform/storage/CompoundFile.h"

namespace engine {

struct DocFile;

inline constexpr uint64_t kStreamShowLimit = 1048576;

// Without a tree the lines go to the describers' current target.
TreeItem ListStorageTree(DocFile* f, TreeTarget* tree, storage::NodeId storage, TreeItem parent);
TreeItem AddStorageNode(TreeTarget* tree, TreeItem parent, const storage::Element& element);
void ShowStreamData(DocFile* f, TreeTarget* tree, const storage::Element& element, TreeItem item);
// The low byte of each unit, up to the first zero unit.
std::string NarrowElementName(std::u16string_view name);
const char* ElementTypeName(uint32_t kind);

}  // namespace engine
