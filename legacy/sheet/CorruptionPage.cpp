#include "legacy/sheet/CorruptionPage.h"

#include <QLabel>
#include <QListView>
#include <QVBoxLayout>

#include "engine/EngineContext.h"
#include "engine/OutputSink.h"
#include "engine/Walker.h"
#include "graphics/Dumper.h"
#include "legacy/engine/GlimmetCheck.h"

namespace legacy {

using namespace inspector;

CCorruptionPage::CCorruptionPage(CTabSheet& sheet, QWidget* parent) : PageWidget(sheet, kInfoPage, parent) {
    auto* outer = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("&Corruption Summary:"), this);
    list = MakeList(this, &model, &CCorruptionPage::StyleOf);
    label->setBuddy(list);
    outer->addWidget(label);
    outer->addWidget(list, 1);
    connect(list, &QListView::doubleClicked, this, [this](const QModelIndex& i) { DoubleClicked(i.row()); });
}

LineStyle CCorruptionPage::StyleOf(uint32_t tag) {
    LineStyle s;
    s.underline = (tag & engine::kTagPacket) != 0;
    if (tag & (engine::kTagPacket | engine::kTagDamage)) s.colour = QColor(0, 0, 0xFF);
    return s;
}

void CCorruptionPage::OnInitDialog() { UpdatePage(kUpdateAll); }

void CCorruptionPage::Check(engine::ListTarget* target) {
    engine::DocFile* doc = sheet_.Document();
    if (!doc) return;
    if (sheet_.Header().FileType() == 22)
        graphics::CheckQwgRecords(doc, target, 0);
    else
        CheckDocument(doc, target, engine::kWalkToEnd);
}

void CCorruptionPage::UpdatePage(uint32_t flags) {
    if (!created_) return;
    if (flags == kPrintSummary || flags == kPrintEveryItem) return;
    if (flags == kPrintDetail) {
        const std::string rule(61, '=');
        engine::PrintLine(&model, rule);
        engine::PrintLine(&model, "Corruption");
        engine::PrintLine(&model, rule);
        // The check's lines go to the printer; the findings shown stay.
        TaggedListModel scratch;
        Check(&scratch);
        return;
    }
    if (flags & kUpdateFont) {
        if (auto font = ListFontOf(sheet_.Settings())) list->setFont(*font);
    }
    if (flags & kUpdateDocument) {
        model.Clear();
        list->setUpdatesEnabled(false);
        Check(&model);
        // A clean file lists nothing; only no file says so.
        if (!sheet_.Document()) model.Append(engine::Text(engine::Msg::NoFileOpen), 0);
        model.Flush();
        list->setUpdatesEnabled(true);
    }
}

void CCorruptionPage::SelectItem(uint32_t row) {
    model.Flush();
    SelectListRow(list, row < model.Size() ? static_cast<int>(row) : -1, true);
}

void CCorruptionPage::DoubleClicked(int row) {
    if (row < 0 || row != SelectedListRow(list) || static_cast<size_t>(row) >= model.Size()) return;
    const uint32_t tag = model.Tag(static_cast<size_t>(row));
    if ((tag & (engine::kTagPacket | engine::kTagDamage)) == 0) return;
    sheet_.PushHistory(kInfoPage, static_cast<uint32_t>(row), tag);
}

}  // namespace legacy
