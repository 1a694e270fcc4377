#include "sheet/FilterPage.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "sheet/Text.h"

namespace inspector {

namespace {

QListWidget* MakeFilterList(QWidget* parent) {
    auto* l = new QListWidget(parent);
    l->setSelectionMode(QAbstractItemView::ExtendedSelection);
    l->setUniformItemSizes(true);
    return l;
}

void SelectAll(QListWidget* list, bool on) {
    for (int i = 0; i < list->count(); ++i) list->item(i)->setSelected(on);
}

void FillList(QListWidget* list, const std::vector<std::string>& rows, const std::vector<bool>& selected) {
    list->setUpdatesEnabled(false);
    list->clear();
    for (size_t i = 0; i < rows.size(); ++i) {
        auto* item = new QListWidgetItem(DecodeCp1252(rows[i]), list);
        item->setSelected(i < selected.size() && selected[i]);
    }
    if (list->count() > 0) list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    list->setUpdatesEnabled(true);
}

std::vector<bool> Selected(const QListWidget* list) {
    std::vector<bool> out(static_cast<size_t>(list->count()));
    for (int i = 0; i < list->count(); ++i) out[static_cast<size_t>(i)] = list->item(i)->isSelected();
    return out;
}

FilterMasks SheetMasks(const SheetSettings& s) { return {s.codeMasks, s.graphicsMasks, s.prefixMasks}; }

}  // namespace

CQWPage::CQWPage(CTabSheet& sheet, QWidget* parent) : PageWidget(sheet, kFilterPage, parent) {
    const PageDialect& dialect = sheet.Profile().pages;
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(new QLabel(
        QString::fromLatin1(dialect.filterHint ? dialect.filterHint : "Use Ctrl Click to Select/Deselect  Multiple Items"),
        this));
    auto* grid = new QGridLayout;
    packetList = MakeFilterList(this);
    graphicsList = MakeFilterList(this);
    codeList = MakeFilterList(this);
    viewInvalid = new QCheckBox(QStringLiteral("&View invalid codes"), this);
    viewAvailable = new QCheckBox(QStringLiteral("View \"Available\" packets"), this);
    codeSelectAll = new QPushButton(QStringLiteral("&Select All"), this);
    codeClearAll = new QPushButton(QStringLiteral("Clear &All"), this);
    graphicsSelectAll = new QPushButton(QStringLiteral("Select All"), this);
    graphicsClearAll = new QPushButton(QStringLiteral("Clear All"), this);
    packetSelectAll = new QPushButton(QStringLiteral("Select All"), this);
    packetClearAll = new QPushButton(QStringLiteral("Clear All"), this);

    auto column = [&](int col, const char* caption, QListWidget* list, QCheckBox* box, QPushButton* all,
                      QPushButton* none) {
        grid->addWidget(new QLabel(QString::fromLatin1(caption), this), 0, col);
        grid->addWidget(list, 1, col);
        auto* row = new QHBoxLayout;
        row->addWidget(all);
        row->addWidget(none);
        grid->addLayout(row, 2, col);
        if (box) grid->addWidget(box, 3, col);
    };
    column(0, "QW Codes", codeList, viewInvalid, codeSelectAll, codeClearAll);
    column(1, "QWG Records", graphicsList, nullptr, graphicsSelectAll, graphicsClearAll);
    column(2, "Prefix Packets", packetList, viewAvailable, packetSelectAll, packetClearAll);
    grid->setRowStretch(1, 1);
    outer->addLayout(grid, 1);

    viewInvalid->setChecked(false);
    viewAvailable->setChecked(true);
    // Salvino's buttons apply nothing: only leaving the page does. Where
    // the page follows the sheet, each click applies, and so does leaving
    // a list.
    const bool follow = dialect.filterFollowsSheet;
    const std::pair<QPushButton*, std::pair<QListWidget*, bool>> buttons[] = {
        {codeSelectAll, {codeList, true}},         {codeClearAll, {codeList, false}},
        {graphicsSelectAll, {graphicsList, true}}, {graphicsClearAll, {graphicsList, false}},
        {packetSelectAll, {packetList, true}},     {packetClearAll, {packetList, false}},
    };
    for (const auto& [button, what] : buttons) {
        QListWidget* list = what.first;
        const bool on = what.second;
        connect(button, &QPushButton::clicked, this, [this, list, on, follow] {
            SelectAll(list, on);
            if (follow) ApplyFilter();
        });
    }
    if (follow)
        for (QListWidget* l : {codeList, graphicsList, packetList}) l->installEventFilter(this);
}

bool CQWPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut &&
        (watched == codeList || watched == graphicsList || watched == packetList))
        ApplyFilter();
    return PageWidget::eventFilter(watched, event);
}

bool CQWPage::FileOpen() const {
    const uint8_t type = sheet_.Header().FileType();
    return sheet_.Document() && (type == 10 || type == 17 || type == 22);
}

void CQWPage::UpdatePage(uint32_t) {
    if (created_ && sheet_.Profile().pages.filterFollowsSheet) Fill();
}

void CQWPage::OnInitDialog() { Fill(); }

void CQWPage::Fill() {
    const PageDialect& dialect = sheet_.Profile().pages;
    if (dialect.filterFollowsSheet && !FileOpen()) {
        for (QListWidget* l : {codeList, graphicsList, packetList}) FillList(l, {engine::Text(engine::Msg::NoFileOpen)}, {});
        return;
    }
    const FilterChoice c = ChoiceFromMasks(SheetMasks(sheet_.Settings()));
    std::vector<std::string> rows;
    for (const CodeCategory& cat : kCodeCategories) rows.emplace_back(cat.name);
    FillList(codeList, rows, c.codes);
    if (!dialect.graphicsRows.empty())
        rows.assign(dialect.graphicsRows.begin(), dialect.graphicsRows.end());
    else
        rows.assign(kGraphicsCategoryNames.begin(), kGraphicsCategoryNames.end());
    FillList(graphicsList, rows, c.graphics);
    rows.clear();
    for (size_t t = 0; t < kPacketFilterRows; ++t) rows.push_back(PacketFilterRowText(t));
    FillList(packetList, rows, c.packets);
    viewInvalid->setChecked(c.viewInvalid);
    viewAvailable->setChecked(c.viewAvailable);
}

FilterChoice CQWPage::Choice() const {
    FilterChoice c;
    c.codes = Selected(codeList);
    c.graphics = Selected(graphicsList);
    c.packets = Selected(packetList);
    c.viewInvalid = viewInvalid->isChecked();
    c.viewAvailable = viewAvailable->isChecked();
    return c;
}

void CQWPage::OnKillActive() { ApplyFilter(); }

void CQWPage::ApplyFilter() {
    if (!created_) return;
    // Lists that show no file's rows hold no choice: the filters stay.
    if (sheet_.Profile().pages.filterFollowsSheet && !FileOpen()) return;
    const FilterMasks m = MasksFromChoice(Choice());
    SheetSettings& s = sheet_.Settings();
    bool codesChanged = false;
    if (m.code != s.codeMasks) {
        s.codeMasks = m.code;
        codesChanged = true;
    }
    if (m.graphics != s.graphicsMasks) {
        s.graphicsMasks = m.graphics;
        codesChanged = true;
    }
    if (codesChanged) sheet_.RefreshPage(kCodesPage, kUpdateDocument);
    if (m.prefix != s.prefixMasks) {
        s.prefixMasks = m.prefix;
        sheet_.RefreshPage(kPrefixPage, kUpdateDocument);
    }
}

}  // namespace inspector
