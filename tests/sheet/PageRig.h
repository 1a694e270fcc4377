#pragma once
// Salvino's window offscreen for the advanced pages' tests: recording
// hosts, fake common dialogs, a private settings store and a folder.

#include <QPrinter>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "sheet/CodesPage.h"
#include "sheet/ListOutput.h"
#include "sheet/Pages.h"
#include "sheet/PrefixPage.h"
#include "sheet/SheetWindow.h"
#include "tests/sheet/FakeDialogs.h"
#include "tests/sheet/Fixtures.h"
#include "tests/support/Recording.h"

namespace inspector::testing {

class PageDialogs : public SheetDialogs {
public:
    std::optional<std::string> OpenFileName(uint32_t*) override { return std::nullopt; }
    std::optional<std::string> SaveFileName() override { return save; }
    bool SetupPrinter(QPrinter& printer) override {
        if (pdf.empty()) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    }
    std::optional<std::string> EditRow(const std::string& rowText, const QFont&) override {
        ++edits;
        if (!edit) return std::nullopt;
        return edit(rowText);
    }
    std::optional<std::string> save;
    std::string pdf;
    std::function<std::optional<std::string>(const std::string&)> edit;
    int edits = 0;
    FakeCommandDialogs commands{*this};
};

struct PageRig {
    SettingsSandbox settings;
    testsupport::ScopedContext ctx;
    testsupport::ScopedTempDir dir;
    PageDialogs dialogs;
    std::unique_ptr<SheetWindow> window;

    // As in the program, lines without a list of their own go nowhere.
    PageRig() {
        engine::Ctx().sink.defaultList = nullptr;
        Restart();
    }
    ~PageRig() { window.reset(); }
    // A new window, as at the program's next start.
    void Restart() {
        window.reset();
        window = std::make_unique<SheetWindow>(SalvinoSheetProfile(), &dialogs, &dialogs.commands);
    }
    void Start(const std::string& pending = "") {
        window->show();
        window->Start(pending);
    }
    void Advanced() {
        if (!sheet().Advanced()) sheet().ToggleAdvanced();
    }
    CTabSheet& sheet() { return window->sheet(); }
    std::string Write(const std::string& name, const testsupport::DocBuilder& b, bool compound = false) {
        return WriteDoc(dir, name, b, compound);
    }
    CCodesPage& codes() { return *static_cast<CCodesPage*>(window->page(kCodesPage)); }
    CCodesPage& subDocument() { return *static_cast<CCodesPage*>(window->page(kSubDocPage)); }
    CPrefixPage& prefix() { return *static_cast<CPrefixPage*>(window->page(kPrefixPage)); }
    static std::vector<std::string> Texts(TaggedListModel& m) {
        m.Flush();
        std::vector<std::string> out;
        for (const auto& l : m.Lines()) out.push_back(l.text);
        return out;
    }
    // The code list whole: its fill is run to the end first.
    static std::vector<std::string> Texts(CodeListModel& m) {
        std::vector<std::string> out;
        for (size_t i = 0, n = m.Size(); i < n; ++i) out.push_back(m.Text(i));
        m.Flush();
        return out;
    }
};

}  // namespace inspector::testing

namespace inspector::testing {

// Dump rows of every kind: a packet with children (one out of range, so
// findings come before its data), a packet with two text blocks, and a body
// with a text run long enough to be cut, functions with data and a fixed
// function.
inline testsupport::DocBuilder DumpRowsDoc(uint16_t indexOffset = 16) {
    testsupport::DocBuilder b;
    b.header.indexOffset = indexOffset;
    testsupport::Packet font;
    font.type = 0x20;
    font.payload = std::vector<uint8_t>(40, 0x5A);
    const uint16_t fontId = b.Add(font);
    testsupport::Packet parent;
    parent.type = 0x01;
    parent.children = {fontId, 0x7777};
    parent.payload = std::vector<uint8_t>(37, 0x33);
    b.Add(parent);
    testsupport::Packet blocks;
    blocks.type = 0x01;
    testsupport::Body one, two;
    one.Text("First block text of some length to span rows").Code(0x0A);
    two.Text("Second");
    blocks.blocks = {one, two};
    b.Add(blocks);
    b.body.Text("Hello").Code(0x0A).Text(std::string(150, 'x')).Var(testsupport::Func(0xD4, 0x06, {fontId}));
    b.body.Var(testsupport::Func(0xD4, 0x1A, {}, std::vector<uint8_t>(21, 0x44)))
        .Fixed({0xF2, 0x0C, 0xF2})
        .Text("End");
    return b;
}

}  // namespace inspector::testing
