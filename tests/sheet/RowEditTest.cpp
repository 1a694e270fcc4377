// Row edits: over every kind of dump row the pages show, the bytes land
// where the row says and nowhere else; refusals and failures leave the file
// byte-identical.
#include "sheet/RowEdit.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QSignalSpy>
#include <functional>

#include "engine/Check.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/TextOps.h"
#include "sheet/HexRowEdit.h"
#include "tests/sheet/PageRig.h"
#include "tests/support/CompoundBuilder.h"

namespace inspector::testing {

namespace {

using testsupport::RecordingList;
using testsupport::ScopedContext;
using testsupport::ScopedTempDir;

// Types E0, E1, ... over the row's pairs, as a user would in the hex field.
class ScriptedEditor : public RowEditor {
public:
    std::optional<std::string> Edit(const std::string& row) override {
        ++runs;
        if (cancel) return std::nullopt;
        if (during) during();
        auto s = HexRowEditState::FromRow(row);
        if (!s) return std::nullopt;
        for (int k = 0; k < s->ByteCount(); ++k) {
            s->HexChar(3 * k, 'e');
            s->HexChar(3 * k + 1, static_cast<char>("0123456789ABCDEF"[k]));
        }
        return s->RowText();
    }
    bool cancel = false;
    std::function<void()> during;
    int runs = 0;
};

// The document's bytes as the engine sees them: the file, or the main
// stream of a compound file as it is on disk.
std::vector<uint8_t> OnDisk(const std::string& path, bool compound) {
    if (!compound) return testsupport::ReadFileBytes(path);
    auto root = storage::CompoundFile::Open(path, false);
    if (!root) return {};
    auto main = root->Child(storage::kRoot, u"Quillsuite_MAIN");
    if (!main) return {};
    return root->ReadStream(main->id, UINT64_MAX).value_or(std::vector<uint8_t>{});
}

struct OpenedDoc {
    ScopedTempDir dir;
    std::string path;
    bool compound;
    engine::DocFile* file = nullptr;
    engine::FileHeader header;

    OpenedDoc(const testsupport::DocBuilder& b, bool compound) : compound(compound) {
        path = WriteDoc(dir, "rows.qwd", b, compound);
        int readOnly = 0, verdict = 0;
        file = engine::OpenDocument(path, &header, &readOnly, &verdict);
        EXPECT_NE(file, nullptr) << verdict;
        engine::Ctx().sink.defaultList = nullptr;
    }
    ~OpenedDoc() {
        if (file) engine::CloseDocument(file);
    }
};

// Every code's detail in hex, one list after the other.
void CodeDetails(engine::DocFile* f, RecordingList& into) {
    RecordingList codes("list");
    engine::ListDocumentCodes(f, &codes, engine::kModeDecoded, 0xFFFFFFFF, 0xFFFFFFFF, 0x7FFFFFFF);
    engine::Ctx().describer.currentTarget = &into;
    for (const auto& line : codes.lines) engine::DescribeCodeAt(f, &into, line.tag, engine::kModeHex, 0x7FFFFFFF);
    engine::Ctx().describer.currentTarget = nullptr;
}

size_t RowWhere(const RecordingList& l, const std::function<bool(const RecordingList::Line&)>& pick) {
    for (size_t i = 0; i < l.lines.size(); ++i)
        if (l.lines[i].fileOffset >= 0 && pick(l.lines[i])) return i;
    return l.lines.size();
}

}  // namespace

TEST(RowEdit, EachKindOfRowLandsWhereItLies) {
    struct Kind {
        const char* what;
        uint16_t indexOffset;
        // Fills the details and picks the row to edit.
        std::function<size_t(engine::DocFile*, RecordingList&)> row;
    };
    const Kind kinds[] = {
        {"a code's dump", 16,
         [](engine::DocFile* f, RecordingList& l) {
             CodeDetails(f, l);
             return RowWhere(l, [](const auto& line) { return line.text.find(" D4 1A 1F 00") != std::string::npos; });
         }},
        {"a short last row", 16,
         [](engine::DocFile* f, RecordingList& l) {
             CodeDetails(f, l);
             return RowWhere(l, [](const auto& line) { return line.text.rfind("00010- 44", 0) == 0; });
         }},
        {"a later piece of a split text run", 16,
         [](engine::DocFile* f, RecordingList& l) {
             CodeDetails(f, l);
             size_t pieces = 0;
             return RowWhere(l, [&](const auto& line) { return line.text.rfind("00000- 78", 0) == 0 && ++pieces == 2; });
         }},
        {"the index entry, stored offset 0", 0,
         [](engine::DocFile* f, RecordingList& l) {
             engine::ShowPacketDetail(f, &l, 2, engine::kModeHex, nullptr);
             return RowWhere(l, [](const auto& line) { return line.fileOffset == 16 + 2 * 14; });
         }},
        {"the index entry, stored offset 16", 16,
         [](engine::DocFile* f, RecordingList& l) {
             engine::ShowPacketDetail(f, &l, 1, engine::kModeHex, nullptr);
             return RowWhere(l, [](const auto& line) { return line.fileOffset == 16 + 14; });
         }},
        {"packet data after child-list findings", 16,
         [](engine::DocFile* f, RecordingList& l) {
             engine::ShowPacketDetail(f, &l, 2, engine::kModeHex, nullptr);
             const int64_t data = engine::Ctx().doc.packets.at(2).entry.DataOffset();
             return RowWhere(l, [&](const auto& line) { return line.fileOffset == data + 16; });
         }},
        {"a text block", 16,
         [](engine::DocFile* f, RecordingList& l) {
             engine::ShowPacketDetail(f, &l, 3, engine::kModeDecoded, nullptr);
             return RowWhere(l, [](const auto& line) { return line.text.rfind("00010-", 0) == 0; });
         }},
    };
    for (bool compound : {false, true}) {
        for (const Kind& k : kinds) {
            SCOPED_TRACE(std::string(k.what) + (compound ? ", compound" : ", plain"));
            ScopedContext ctx;
            OpenedDoc doc(DumpRowsDoc(k.indexOffset), compound);
            ASSERT_NE(doc.file, nullptr);
            RecordingList details("detail");
            const size_t row = k.row(doc.file, details);
            ASSERT_LT(row, details.lines.size());
            const auto r = DumpRowAt(details, row);
            ASSERT_TRUE(r.has_value());
            const std::vector<uint8_t> before = OnDisk(doc.path, compound);

            ScriptedEditor editor;
            std::string edited;
            EXPECT_EQ(RowEditFile(doc.file, false, details, row, editor, &edited), RowEditOutcome::Written);
            // On disk before the document closes.
            std::vector<uint8_t> expected = before;
            for (int i = 0; i < r->n; ++i) expected.at(static_cast<size_t>(r->fileOffset) + i) = 0xE0 + i;
            EXPECT_EQ(OnDisk(doc.path, compound), expected);
            EXPECT_EQ(edited.substr(0, 7), r->column);
            EXPECT_EQ(edited.size(), details.lines[row].text.size());
            EXPECT_TRUE(ctx.messages.boxes.empty());
        }
    }
}

TEST(RowEdit, RefusalsAndFailuresLeaveTheFileAsItWas) {
    struct FailingFile : engine::DocFileFaults {
        bool FailWrite(uint32_t, uint32_t) override { return write; }
        bool FailCommit() override { return commit; }
        bool write = false, commit = false;
    };
    enum class Way { ReadOnly, Mismatch, ChangedWhileOpen, Cancel, WriteFails, CommitFails, NotARow };
    struct Case {
        const char* what;
        Way way;
        bool compound;
        RowEditOutcome outcome;
        const char* box;  // start of the box's text; nullptr: none
    };
    const Case cases[] = {
        {"read only", Way::ReadOnly, false, RowEditOutcome::ReadOnly, "File is Read Only"},
        {"the file changed since the listing", Way::Mismatch, false, RowEditOutcome::Mismatch,
         "The row no longer matches the file.  Nothing was written."},
        {"the file changed while the editor was open", Way::ChangedWhileOpen, false, RowEditOutcome::Mismatch,
         "The row no longer matches the file.  Nothing was written."},
        {"cancel", Way::Cancel, true, RowEditOutcome::Canceled, nullptr},
        {"the write fails", Way::WriteFails, false, RowEditOutcome::Failed, "The row could not be written to "},
        {"the write fails, compound", Way::WriteFails, true, RowEditOutcome::Failed,
         "The row could not be written to "},
        {"the commit fails", Way::CommitFails, true, RowEditOutcome::Failed, "The row could not be written to "},
        {"a caption line", Way::NotARow, false, RowEditOutcome::NotARow, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedContext ctx;
        OpenedDoc doc(DumpRowsDoc(), c.compound);
        ASSERT_NE(doc.file, nullptr);
        RecordingList details("detail");
        CodeDetails(doc.file, details);
        size_t row = RowWhere(details, [](const auto& line) { return line.text.find(" D4 1A 1F 00") != std::string::npos; });
        ASSERT_LT(row, details.lines.size());
        if (c.way == Way::NotARow) row = 0;
        const int64_t at = details.lines[row].fileOffset;
        const std::vector<uint8_t> before = OnDisk(doc.path, c.compound);
        std::vector<uint8_t> changed = before;
        if (at >= 0) changed.at(static_cast<size_t>(at) + 3) ^= 0xFF;

        FailingFile faults;
        faults.write = c.way == Way::WriteFails;
        faults.commit = c.way == Way::CommitFails;
        doc.file->faults = &faults;
        ScriptedEditor editor;
        editor.cancel = c.way == Way::Cancel;
        if (c.way == Way::Mismatch || c.way == Way::ChangedWhileOpen) {
            // The same file, changed by someone else: written through its own descriptor.
            auto change = [&] {
                FILE* other = fopen(doc.path.c_str(), "r+b");
                ASSERT_NE(other, nullptr);
                fseek(other, static_cast<long>(at + 3), SEEK_SET);
                fputc(changed[static_cast<size_t>(at) + 3], other);
                fclose(other);
            };
            if (c.way == Way::Mismatch)
                change();
            else
                editor.during = change;
        }
        EXPECT_EQ(RowEditFile(doc.file, c.way == Way::ReadOnly, details, row, editor), c.outcome);
        const bool externallyChanged = c.way == Way::Mismatch || c.way == Way::ChangedWhileOpen;
        EXPECT_EQ(OnDisk(doc.path, c.compound), externallyChanged ? changed : before);
        if (c.box) {
            ASSERT_EQ(ctx.messages.boxes.size(), 1u);
            EXPECT_EQ(ctx.messages.boxes[0].text.rfind(c.box, 0), 0u) << ctx.messages.boxes[0].text;
            if (c.outcome == RowEditOutcome::Failed) {
                EXPECT_NE(ctx.messages.boxes[0].text.find(doc.path), std::string::npos);
            }
        } else {
            EXPECT_TRUE(ctx.messages.boxes.empty());
        }
        EXPECT_EQ(editor.runs, c.way == Way::ReadOnly || c.way == Way::Mismatch || c.way == Way::NotARow ? 0 : 1);
        // The image is as before too: what the engine reads there now.
        doc.file->faults = nullptr;
        if (at >= 0 && !externallyChanged) {
            std::vector<uint8_t> now(16);
            engine::SeekDocFile(doc.file, static_cast<int32_t>(at), 0);
            engine::ReadDocFile(doc.file, now.data(), 16);
            EXPECT_TRUE(std::equal(now.begin(), now.end(), before.begin() + at));
        }
    }
}

TEST(RowEdit, AWrittenRowRefreshesEveryPageAndTheCheckRunsAgain) {
    PageRig r;
    const std::string path = r.Write("rows.qwd", DumpRowsDoc());
    r.Start(path);
    r.Advanced();
    auto findings = [&] {
        CInfoPage& info = *r.window->infoPage();
        info.model.Flush();
        std::vector<std::string> out;
        for (const auto& l : info.model.Lines()) out.push_back(l.text);
        return out;
    };
    const std::vector<std::string> before = findings();
    RecordingList details("detail");
    CodeDetails(r.sheet().Document(), details);
    const size_t row = RowWhere(details, [](const auto& line) { return line.text.find(" D4 1A 1F 00") != std::string::npos; });
    ASSERT_LT(row, details.lines.size());
    r.sheet().SetActivePage(kCodesPage);
    QSignalSpy refills(&r.codes().codes, &QAbstractItemModel::modelReset);
    ScriptedEditor editor;
    EXPECT_EQ(RowEdit(r.sheet(), details, row, editor), RowEditOutcome::Written);
    EXPECT_GE(refills.count(), 1);
    // The function is damaged now: the Information page checked again.
    EXPECT_NE(findings(), before);
}

}  // namespace inspector::testing
