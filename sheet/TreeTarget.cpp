#include "sheet/TreeTarget.h"

#include <QTreeWidget>

#include "sheet/Text.h"

namespace inspector {

QtTreeTarget::QtTreeTarget(QTreeWidget* tree, std::array<QIcon, 3> images)
    : tree_(tree), images_(std::move(images)) {}

QtTreeTarget::~QtTreeTarget() {
    // Items never handed over belong to us.
    qDeleteAll(pendingRoots_);
    for (auto& [parent, children] : pendingChildren_) qDeleteAll(children);
}

void QtTreeTarget::SetImage(QTreeWidgetItem* item, int image) const {
    item->setData(0, kImageRole, image);
    if (image >= 0 && static_cast<size_t>(image) < images_.size()) item->setIcon(0, images_[static_cast<size_t>(image)]);
}

int QtTreeTarget::ImageOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kImageRole).toInt() : -1;
}

engine::TreeItem QtTreeTarget::AppendChild(engine::TreeItem parent, std::string_view text, int image) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, DecodeCp1252(text));
    SetImage(item, image);
    QTreeWidgetItem* up = Item(parent);
    if (!up) {
        pendingRoots_.append(item);
    } else if (!up->treeWidget()) {
        up->addChild(item);  // still away from the widget: cheap
    } else {
        if (pendingChildren_.empty() || pendingChildren_.back().first != up) pendingChildren_.push_back({up, {}});
        pendingChildren_.back().second.append(item);
    }
    items_.push_back(item);
    return items_.size();
}

void QtTreeTarget::Flush() {
    for (auto& [parent, children] : pendingChildren_) parent->addChildren(children);
    pendingChildren_.clear();
    if (!pendingRoots_.isEmpty()) tree_->addTopLevelItems(pendingRoots_);
    pendingRoots_.clear();
}

void QtTreeTarget::Clear() {
    Flush();
    tree_->clear();
    items_.clear();
}

QTreeWidgetItem* QtTreeTarget::Item(engine::TreeItem item) const {
    if (item == engine::kTreeRoot || item > items_.size()) return nullptr;
    return items_[item - 1];
}

}  // namespace inspector
