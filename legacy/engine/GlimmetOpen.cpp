#include "legacy/engine/GlimmetOpen.h"

#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Messages.h"

namespace legacy {

namespace {

void Box(const char* text, const char* caption) {
    if (engine::MessageService* m = engine::Ctx().hosts.messages)
        m->Show(text, caption, engine::MsgIcon::Error, engine::MsgButtons::Ok);
}

}  // namespace

engine::DocFile* OpenDocument(const std::string& path, engine::FileHeader* header, int* readOnly, int* verdict) {
    *verdict = engine::kVerdictOpened;
    bool whole = false;
    engine::DocFile* f = engine::OpenDocumentFile(path, header, readOnly, &whole);
    if (!f) return nullptr;
    const engine::FileHeader& h = engine::Ctx().doc.header;
    using engine::Msg;
    Msg refusal = Msg::Count;
    if (!whole || h.Signature() != engine::kSignature)
        refusal = Msg::NotDocument;
    else if (h.ProductType() != 1 || (h.FileType() != 10 && h.FileType() != 17 && h.FileType() != 22))
        refusal = Msg::NotDocumentType;
    else if (h.MajorVersion() == 0)
        refusal = Msg::NotVersion6;
    else if (h.EncryptionKey() != 0)
        refusal = Msg::DocumentEncrypted;
    if (refusal != Msg::Count) {
        Box(engine::Text(refusal), "Error");
        engine::CloseDocFile(f);
        return nullptr;
    }
    engine::AdoptDocument(f, path);
    return f;
}

void ScrambleDocument(engine::DocFile*, bool, bool) { Box(engine::Text(engine::Msg::ScrambleNotDone), "Oops"); }

}  // namespace legacy
