#pragma once
// The document check: counts every use of every packet, examines the text
// blocks and the body, and gives the verdict. With a real report list it
// also builds the reference table and the range list the repair needs.
// A report target of nullptr is "no list"; SilentTarget() asks for the full
// check (tables and ranges) without visible lines.

#include <cstdint>

#include "engine/Targets.h"

namespace engine {

struct DocFile;
class CProgressDialog;

enum class RefCountMode {
    Count,     // the check: adds to the counted uses (or books, while the stop value is -1)
    ListOnly,  // showing a packet: lists findings and data, counts nothing
};

int CheckDocument(DocFile* f, ListTarget* report);
int RunDocumentCheck(DocFile* f, ListTarget* report);
int RecheckDocument(DocFile* f, ListTarget* report);
int VerifyPacketCounts(ListTarget* report);
void ListPacketUsage(DocFile* f, ListTarget* target, uint32_t id, int mode);

// Examines packet `id` of the table: its child list and text blocks, with
// findings and, with a target, a hex dump of its data (at most 63984 bytes).
int CountPacketRefs(DocFile* f, uint32_t id, ListTarget* target, RefCountMode mode);

int AllocateReferenceTable(uint32_t count, CProgressDialog* dialog);
int QWFixPacketCounts(ListTarget* list);
int WriteIndex(DocFile* f, ListTarget* list);

}  // namespace engine
