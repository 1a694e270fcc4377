#pragma once
// engine::TreeTarget over a QTreeWidget. New items are built away from the
// widget and handed over in one go by Flush, so a stream dump of 65,536
// lines under one node costs one insertion.

#include <QIcon>
#include <QList>
#include <array>
#include <vector>

#include "engine/Targets.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace inspector {

class QtTreeTarget : public engine::TreeTarget {
public:
    static constexpr int kImageRole = Qt::UserRole;

    QtTreeTarget(QTreeWidget* tree, std::array<QIcon, 3> images);
    ~QtTreeTarget() override;

    engine::TreeItem AppendChild(engine::TreeItem parent, std::string_view text, int image) override;
    // Hands every item made since the last Flush to the widget.
    void Flush();
    // Deletes every item.
    void Clear();

    QTreeWidgetItem* Item(engine::TreeItem item) const;
    static int ImageOf(const QTreeWidgetItem* item);
    void SetImage(QTreeWidgetItem* item, int image) const;

private:
    QTreeWidget* tree_;
    std::array<QIcon, 3> images_;
    std::vector<QTreeWidgetItem*> items_;  // TreeItem n is items_[n - 1]
    QList<QTreeWidgetItem*> pendingRoots_;
    std::vector<std::pair<QTreeWidgetItem*, QList<QTreeWidgetItem*>>> pendingChildren_;
};

}  // namespace inspector
