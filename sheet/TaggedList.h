#pragma once
// Every page list: one model over a vector of tagged lines, drawn by one
// delegate. Lines reach the views in bulk, never one widget item a line.

#include <QAbstractListModel>
#include <QColor>
#include <QStyledItemDelegate>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/Targets.h"

namespace inspector {

class TaggedListModel : public QAbstractListModel, public engine::ListTarget {
    Q_OBJECT
public:
    static constexpr int kTagRole = Qt::UserRole;
    struct Line {
        std::string text;
        uint32_t tag;
        int64_t fileOffset = engine::kNoFileOffset;  // a dump row's first byte
    };

    explicit TaggedListModel(QObject* parent = nullptr);

    // engine::ListTarget: appended lines are held back until Flush (or the
    // next turn of the event loop) and then shown in one insertion.
    void Append(std::string_view text, uint32_t tag) override;
    size_t Size() const override { return lines_.size(); }
    std::string Text(size_t i) const override { return i < lines_.size() ? lines_[i].text : std::string(); }
    uint32_t Tag(size_t i) const override { return i < lines_.size() ? lines_[i].tag : 0; }
    void RemoveLast() override;
    void AppendAt(std::string_view text, uint32_t tag, int64_t fileOffset) override;
    int64_t FileOffset(size_t i) const override {
        return i < lines_.size() ? lines_[i].fileOffset : engine::kNoFileOffset;
    }
    // A line's text in place (an edited row), its tag and offset kept.
    void SetText(size_t i, std::string_view text);

    void Clear();
    void Flush();
    const std::vector<Line>& Lines() const { return lines_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void ScheduleFlush();

    std::vector<Line> lines_;
    size_t shown_ = 0;  // rows the views know of
    bool flushQueued_ = false;
};

struct LineStyle {
    QColor colour;  // invalid: the list's own text colour
    bool underline = false;
    bool strikeOut = false;

    bool operator==(const LineStyle&) const = default;
};

using LineStyler = std::function<LineStyle(uint32_t tag)>;

// The common reading of a tag: red a damaged place, blue a packet
// reference, purple a text block, underlined where a double-click leads,
// struck out inside an undo area.
LineStyle DefaultLineStyle(uint32_t tag);

class TaggedItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TaggedItemDelegate(LineStyler styler = DefaultLineStyle, QObject* parent = nullptr);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    LineStyle StyleOf(uint32_t tag) const { return styler_(tag); }

private:
    LineStyler styler_;
};

}  // namespace inspector
