#pragma once
// The older inspector's open: it reports its own refusals, tests no
// graphics version and gives no verdict; and its scramble entry, which
// changes nothing.

#include <string>

namespace engine {
struct DocFile;
struct FileHeader;
}  // namespace engine

namespace legacy {

// The document, or none after the refusal's box. `verdict` is always
// kVerdictOpened: nothing is left for the caller to report.
engine::DocFile* OpenDocument(const std::string& path, engine::FileHeader* header, int* readOnly, int* verdict);

// "Scramble not done yet!": the file is left as it is.
void ScrambleDocument(engine::DocFile* f, bool mainDocument, bool subDocuments);

}  // namespace legacy
