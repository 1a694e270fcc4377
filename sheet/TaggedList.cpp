#include "sheet/TaggedList.h"

#include <QFontMetrics>
#include <QMetaObject>
#include <QPainter>

#include "engine/OutputSink.h"
#include "sheet/Text.h"

namespace inspector {

TaggedListModel::TaggedListModel(QObject* parent) : QAbstractListModel(parent) {}

void TaggedListModel::ScheduleFlush() {
    if (flushQueued_) return;
    flushQueued_ = true;
    QMetaObject::invokeMethod(this, &TaggedListModel::Flush, Qt::QueuedConnection);
}

void TaggedListModel::Append(std::string_view text, uint32_t tag) {
    lines_.push_back({std::string(text), tag});
    ScheduleFlush();
}

void TaggedListModel::AppendAt(std::string_view text, uint32_t tag, int64_t fileOffset) {
    lines_.push_back({std::string(text), tag, fileOffset});
    ScheduleFlush();
}

void TaggedListModel::SetText(size_t i, std::string_view text) {
    if (i >= lines_.size()) return;
    lines_[i].text = std::string(text);
    if (i < shown_) {
        const QModelIndex at = index(static_cast<int>(i));
        emit dataChanged(at, at);
    }
}

void TaggedListModel::RemoveLast() {
    if (lines_.empty()) return;
    if (shown_ == lines_.size()) {
        const int row = static_cast<int>(shown_) - 1;
        beginRemoveRows(QModelIndex(), row, row);
        lines_.pop_back();
        --shown_;
        endRemoveRows();
        return;
    }
    lines_.pop_back();
}

void TaggedListModel::Clear() {
    beginResetModel();
    lines_.clear();
    shown_ = 0;
    endResetModel();
}

void TaggedListModel::Flush() {
    flushQueued_ = false;
    if (shown_ >= lines_.size()) return;
    beginInsertRows(QModelIndex(), static_cast<int>(shown_), static_cast<int>(lines_.size()) - 1);
    shown_ = lines_.size();
    endInsertRows();
}

int TaggedListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_);
}

QVariant TaggedListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || static_cast<size_t>(index.row()) >= shown_) return {};
    const Line& line = lines_[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole) return DecodeCp1252(line.text);
    if (role == kTagRole) return QVariant::fromValue<uint>(line.tag);
    return {};
}

LineStyle DefaultLineStyle(uint32_t tag) {
    LineStyle s;
    if (tag & engine::kTagDamage)
        s.colour = QColor(0xFF, 0, 0);
    else if (tag & engine::kTagPacket)
        s.colour = QColor(0, 0, 0xFF);
    else if (tag & engine::kTagTextBlock)
        s.colour = QColor(0x80, 0, 0x80);
    s.underline = (tag & (engine::kTagPacket | engine::kTagTextBlock)) != 0;
    s.strikeOut = (tag & engine::kTagUndo) != 0;
    return s;
}

TaggedItemDelegate::TaggedItemDelegate(LineStyler styler, QObject* parent)
    : QStyledItemDelegate(parent), styler_(std::move(styler)) {}

void TaggedItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const QString text = index.data(Qt::DisplayRole).toString();
    const LineStyle style = styler_(index.data(TaggedListModel::kTagRole).toUInt());
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    painter->save();
    if (selected) painter->fillRect(option.rect, option.palette.highlight());
    QFont font = option.font;
    font.setUnderline(style.underline);
    font.setStrikeOut(style.strikeOut);
    painter->setFont(font);
    QColor colour = option.palette.text().color();
    if (selected)
        colour = option.palette.highlightedText().color();
    else if (style.colour.isValid())
        colour = style.colour;
    painter->setPen(colour);
    painter->drawText(option.rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      text);
    painter->restore();
}

QSize TaggedItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QFontMetrics m(option.font);
    const QString text = index.data(Qt::DisplayRole).toString();
    return QSize(m.horizontalAdvance(text) + 4, m.height() + m.leading());
}

}  // namespace inspector
