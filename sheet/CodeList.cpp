#include "sheet/CodeList.h"

#include <sys/mman.h>
#include <ucontext.h>

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cstdlib>

#include "engine/EngineContext.h"
#include "sheet/Text.h"

#if defined(__SANITIZE_ADDRESS__)
#define SHEET_FIBER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SHEET_FIBER_ASAN 1
#endif
#endif
#ifdef SHEET_FIBER_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

namespace inspector {

namespace {

constexpr size_t kMadeTexts = 4096;  // texts made and kept for the lines shown lately

}  // namespace

CodeListModel::CodeListModel(QObject* parent) : QAbstractListModel(parent) {}

void CodeListModel::Clear() {
    beginResetModel();
    blocks_.clear();
    blocks_.shrink_to_fit();
    count_ = 0;
    kept_ = {};
    shown_ = 0;
    made_.clear();
    endResetModel();
}

void CodeListModel::AppendTag(uint32_t tag) {
    if ((count_ >> kBlockBits) >= blocks_.size()) blocks_.push_back(std::make_unique<uint32_t[]>(kBlock));
    blocks_[count_ >> kBlockBits][count_ & (kBlock - 1)] = tag;
    ++count_;
}

void CodeListModel::AppendText(std::string_view text, uint32_t tag) {
    kept_.emplace_back(static_cast<uint32_t>(count_), std::string(text));
    AppendTag(tag);
}

void CodeListModel::RemoveLast() {
    if (count_ == 0) return;
    const size_t row = count_ - 1;
    const bool shown = shown_ == count_;
    if (shown) beginRemoveRows(QModelIndex(), static_cast<int>(row), static_cast<int>(row));
    if (!kept_.empty() && kept_.back().first == row) kept_.pop_back();
    --count_;
    made_.erase(row);
    if (shown) {
        --shown_;
        endRemoveRows();
    }
}

void CodeListModel::Flush() {
    if (shown_ >= count_) return;
    beginInsertRows(QModelIndex(), static_cast<int>(shown_), static_cast<int>(count_) - 1);
    shown_ = count_;
    endInsertRows();
}

void CodeListModel::Complete() const {
    if (finish_) finish_();
}

size_t CodeListModel::Size() const {
    Complete();
    return count_;
}

uint32_t CodeListModel::Tag(size_t i) const {
    if (i >= count_) Complete();
    return i < count_ ? At(i) : 0;
}

const std::string* CodeListModel::KeptText(size_t i) const {
    const auto at = std::lower_bound(kept_.begin(), kept_.end(), i,
                                     [](const auto& k, size_t row) { return k.first < row; });
    return at != kept_.end() && at->first == i ? &at->second : nullptr;
}

bool CodeListModel::Kept(size_t i) const { return KeptText(i) != nullptr; }

std::string CodeListModel::Text(size_t i) const {
    if (i >= count_) Complete();
    if (i >= count_) return {};
    if (const std::string* k = KeptText(i)) return *k;
    return make_ ? make_(i) : std::string();
}

size_t CodeListModel::HeldBytes() const {
    size_t n = blocks_.size() * kBlock * sizeof(uint32_t) + kept_.capacity() * sizeof(kept_[0]);
    for (const auto& k : kept_) n += k.second.capacity();
    return n;
}

int CodeListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_);
}

QVariant CodeListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || static_cast<size_t>(index.row()) >= shown_) return {};
    const auto row = static_cast<size_t>(index.row());
    if (role == kTagRole) return QVariant::fromValue<uint>(At(row));
    if (role != Qt::DisplayRole) return {};
    if (const std::string* k = KeptText(row)) return DecodeCp1252(*k);
    if (auto it = made_.find(row); it != made_.end()) return it->second;
    if (made_.size() >= kMadeTexts) made_.clear();
    QString text = DecodeCp1252(make_ ? make_(row) : std::string());
    made_.emplace(row, text);
    return text;
}

// The walk's own stack, and where it was left.
struct CodeListFill::Stack {
    static constexpr size_t kSize = size_t{8} << 20;  // pages are taken only as used
    ucontext_t caller{};
    ucontext_t walk{};
    void* memory = nullptr;
#ifdef SHEET_FIBER_ASAN
    void* callerFake = nullptr;
    void* walkFake = nullptr;
    const void* callerBottom = nullptr;
    size_t callerSize = 0;
#endif

    Stack() {
        memory = mmap(nullptr, kSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_STACK,
                      -1, 0);
        if (memory == MAP_FAILED) memory = nullptr;
        if (memory) mprotect(memory, 4096, PROT_NONE);  // an overrun faults at once
    }
    ~Stack() {
        if (memory) munmap(memory, kSize);
    }
    Stack(const Stack&) = delete;
    Stack& operator=(const Stack&) = delete;

    // From the caller into the walk, back when the walk yields or ends.
    void Enter() {
#ifdef SHEET_FIBER_ASAN
        __sanitizer_start_switch_fiber(&callerFake, memory, kSize);
#endif
        swapcontext(&caller, &walk);
#ifdef SHEET_FIBER_ASAN
        __sanitizer_finish_switch_fiber(callerFake, nullptr, nullptr);
#endif
    }
    // On the walk's stack: the first entry, and each return to it.
    void Arrived() {
#ifdef SHEET_FIBER_ASAN
        __sanitizer_finish_switch_fiber(walkFake, &callerBottom, &callerSize);
#endif
    }
    // From the walk back to the caller; `last` when the walk has ended.
    void Leave(bool last) {
#ifdef SHEET_FIBER_ASAN
        __sanitizer_start_switch_fiber(last ? nullptr : &walkFake, callerBottom, callerSize);
#else
        (void)last;
#endif
        swapcontext(&walk, &caller);
        Arrived();
    }
};

// The file layer's read seam: the walk stops before it reads its next
// window, and every read fails once the fill is being ended.
class CodeListFill::Reads final : public engine::DocFileFaults {
public:
    explicit Reads(CodeListFill& fill) : fill_(fill) {}
    engine::DocFileFaults* next = nullptr;  // a test's faults, still served

    int64_t BeforeRead(uint32_t pos, uint32_t asked) override {
        if (fill_.aborting_) return -1;
        const bool window = asked == engine::kWalkWindow || (windows_ > 0 && pos == nextWindow_);
        if (window) {
            if (windows_ > 0 && std::chrono::steady_clock::now() >= fill_.deadline_) {
                fill_.position_ = pos;
                fill_.Yield();
                if (fill_.aborting_) return -1;
            }
            ++windows_;
            nextWindow_ = pos + asked;
            fill_.position_ = pos;
        }
        return next ? next->BeforeRead(pos, asked) : asked;
    }
    bool FailSeek(int32_t offset, int origin) override { return next && next->FailSeek(offset, origin); }
    bool FailWrite(uint32_t pos, uint32_t count) override { return next && next->FailWrite(pos, count); }
    bool FailCommit() override { return next && next->FailCommit(); }
    bool FailRename() override { return next && next->FailRename(); }

private:
    CodeListFill& fill_;
    uint32_t windows_ = 0;
    uint32_t nextWindow_ = 0;
};

// Lines reach the fill's target until the fill is being ended.
class CodeListFill::Sink final : public engine::ListTarget {
public:
    explicit Sink(CodeListFill& fill) : fill_(fill) {}
    void Append(std::string_view text, uint32_t tag) override {
        if (!fill_.aborting_) fill_.sink_->Append(text, tag);
    }
    void AppendAt(std::string_view text, uint32_t tag, int64_t fileOffset) override {
        if (!fill_.aborting_) fill_.sink_->AppendAt(text, tag, fileOffset);
    }
    size_t Size() const override { return fill_.sink_->Size(); }
    std::string Text(size_t i) const override { return fill_.sink_->Text(i); }
    uint32_t Tag(size_t i) const override { return fill_.sink_->Tag(i); }
    void RemoveLast() override {
        if (!fill_.aborting_) fill_.sink_->RemoveLast();
    }

private:
    CodeListFill& fill_;
};

CodeListFill::CodeListFill(const engine::CodeWalkRequest& request, engine::ListTarget* sink,
                           const engine::FileHeader& header, std::unique_ptr<engine::CProgressDialog> progress)
    : request_(request),
      sink_(sink),
      reads_(std::make_unique<Reads>(*this)),
      forward_(std::make_unique<Sink>(*this)),
      progress_(progress ? std::move(progress) : std::make_unique<engine::CProgressDialog>()),
      stack_(std::make_unique<Stack>()) {
    request_.sink = forward_.get();
    engine::DocFile* f = request_.file;
    own_ = engine::WalkSideState::Save(f);
    own_.header = header;
    // The fill's dialog is the one up: the walk shows none of its own.
    own_.progress = progress_.get();
    own_.filePos = -1;  // the walk seeks where it begins
    startPos_ = header.DocOffset();
    const int32_t at = f ? engine::SeekDocFile(f, 0, 1) : -1;
    const int32_t size = f ? engine::SeekDocFile(f, 0, 2) : -1;
    if (at >= 0) engine::SeekDocFile(f, at, 0);
    const uint64_t end = request_.length == engine::kWalkToEnd ? uint64_t(size > 0 ? size : 0)
                                                               : uint64_t{startPos_} + request_.length;
    endPos_ = static_cast<uint32_t>(std::min<uint64_t>(end, size > 0 ? uint64_t(size) : end));
    position_ = startPos_;
    if (!stack_->memory) {
        done_ = true;  // no stack for the walk: the list stays empty
        result_ = 1;
        return;
    }
    getcontext(&stack_->walk);
    stack_->walk.uc_stack.ss_sp = stack_->memory;
    stack_->walk.uc_stack.ss_size = Stack::kSize;
    stack_->walk.uc_link = nullptr;
    const auto self = reinterpret_cast<uintptr_t>(this);
    makecontext(&stack_->walk, reinterpret_cast<void (*)()>(&CodeListFill::Entry), 2,
                static_cast<unsigned>(self >> 32), static_cast<unsigned>(self & 0xFFFFFFFFu));
}

CodeListFill::~CodeListFill() {
    if (running_) {
        // Ended from inside its own walk (a message box's loop): the stack
        // cannot go while it is in use, so it is left behind.
        (void)stack_.release();
        (void)reads_.release();
        (void)forward_.release();
        return;
    }
    Abort();
}

void CodeListFill::Entry(unsigned hi, unsigned lo) {
    auto* fill = reinterpret_cast<CodeListFill*>((uintptr_t{hi} << 32) | uintptr_t{lo});
    fill->stack_->Arrived();
    fill->Run();
    fill->stack_->Leave(true);
    std::abort();  // never resumed once ended
}

void CodeListFill::Run() {
    result_ = engine::WalkCodeStream(request_);
    done_ = true;
}

void CodeListFill::Yield() { stack_->Leave(false); }

void CodeListFill::Resume() {
    engine::DocFile* f = request_.file;
    outside_ = engine::WalkSideState::Save(f);
    own_.Restore(f);
    if (f) {
        reads_->next = f->faults;
        f->faults = reads_.get();
    }
    started_ = true;
    running_ = true;
    stack_->Enter();
    running_ = false;
    if (f) f->faults = reads_->next;
    if (!done_) own_ = engine::WalkSideState::Save(f);
    outside_.Restore(f);
}

void CodeListFill::Abort() {
    if (done_ || running_) return;
    aborting_ = true;
    if (started_) {
        Resume();  // its reads fail: the walk ends
    } else {
        done_ = true;
    }
}

void CodeListFill::StepProgress() {
    const uint64_t span = endPos_ > startPos_ ? endPos_ - startPos_ : 1;
    const uint64_t walked = position_ > startPos_ ? position_ - startPos_ : 0;
    const int due = static_cast<int>(std::min<uint64_t>(50, walked * 50 / span));
    while (progress_->Position() < due) progress_->StepIt();
    if (progress_->CheckCancel()) {
        cancelled_ = true;
        Abort();
    }
}

bool CodeListFill::Step(std::chrono::milliseconds budget) {
    if (done_ || running_) return done_;
    deadline_ = std::chrono::steady_clock::now() + budget;
    Resume();
    if (!done_) StepProgress();
    return done_;
}

CodeListView::CodeListView(QWidget* parent) : QAbstractItemView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setAutoScroll(false);
}

int CodeListView::Rows() const { return model() ? model()->rowCount(rootIndex()) : 0; }

int CodeListView::RowHeight() const {
    if (rowHeight_ == 0) {
        const QFontMetrics m(font());
        rowHeight_ = std::max(1, m.height() + m.leading());
    }
    return rowHeight_;
}

int CodeListView::FirstVisibleRow() const { return verticalScrollBar()->value(); }

int CodeListView::VisibleRows() const { return std::max(1, viewport()->height() / RowHeight()); }

QRect CodeListView::visualRect(const QModelIndex& index) const {
    if (!index.isValid()) return {};
    const int y = (index.row() - FirstVisibleRow()) * RowHeight();
    return QRect(-horizontalOffset(), y, std::max(viewport()->width() + horizontalOffset(), contentWidth_),
                 RowHeight());
}

void CodeListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid()) return;
    const int row = index.row();
    const int n = VisibleRows();
    int first = FirstVisibleRow();
    switch (hint) {
        case PositionAtTop: first = row; break;
        case PositionAtBottom: first = row - n + 1; break;
        case PositionAtCenter: first = row - n / 2; break;
        case EnsureVisible:
            if (row < first)
                first = row;
            else if (row >= first + n)
                first = row - n + 1;
            break;
    }
    verticalScrollBar()->setValue(std::max(0, first));
}

QModelIndex CodeListView::indexAt(const QPoint& point) const {
    if (point.y() < 0 || !model()) return {};
    const int row = FirstVisibleRow() + point.y() / RowHeight();
    return row < Rows() ? model()->index(row, 0, rootIndex()) : QModelIndex();
}

QModelIndex CodeListView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    const int rows = Rows();
    if (rows == 0) return {};
    const QModelIndex at = currentIndex();
    int row = at.isValid() ? at.row() : -1;
    switch (action) {
        case MoveUp:
        case MovePrevious: row = std::max(0, row - 1); break;
        case MoveDown:
        case MoveNext: row = std::min(rows - 1, row + 1); break;
        case MovePageUp: row = std::max(0, row - VisibleRows()); break;
        case MovePageDown: row = std::min(rows - 1, std::max(0, row) + VisibleRows()); break;
        case MoveHome: row = 0; break;
        case MoveEnd: row = rows - 1; break;
        default: return at;
    }
    return model()->index(std::max(0, row), 0, rootIndex());
}

int CodeListView::horizontalOffset() const { return horizontalScrollBar()->value(); }

int CodeListView::verticalOffset() const { return FirstVisibleRow() * RowHeight(); }

bool CodeListView::isIndexHidden(const QModelIndex&) const { return false; }

void CodeListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    const int rows = Rows();
    if (rows == 0 || !selectionModel()) return;
    const QRect r = rect.normalized();
    const int top = std::clamp(FirstVisibleRow() + r.top() / RowHeight(), 0, rows - 1);
    const int bottom = std::clamp(FirstVisibleRow() + r.bottom() / RowHeight(), 0, rows - 1);
    selectionModel()->select(
        QItemSelection(model()->index(top, 0, rootIndex()), model()->index(bottom, 0, rootIndex())), command);
}

QRegion CodeListView::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    const int first = FirstVisibleRow();
    const int last = first + VisibleRows();
    for (const QItemSelectionRange& range : selection) {
        const int top = std::max(range.top(), first);
        const int bottom = std::min(range.bottom(), last);
        if (top > bottom) continue;
        region += QRect(0, (top - first) * RowHeight(), viewport()->width(), (bottom - top + 1) * RowHeight());
    }
    return region;
}

void CodeListView::paintEvent(QPaintEvent*) {
    if (!model()) return;
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const int first = FirstVisibleRow();
    const int last = std::min(Rows(), first + VisibleRows() + 1);
    const QModelIndex current = currentIndex();
    int widest = contentWidth_;
    for (int row = first; row < last; ++row) {
        const QModelIndex index = model()->index(row, 0, rootIndex());
        option.rect = visualRect(index);
        option.state = QStyle::State_Enabled;
        if (selectionModel() && selectionModel()->isSelected(index)) option.state |= QStyle::State_Selected;
        if (index == current && hasFocus()) option.state |= QStyle::State_HasFocus;
        itemDelegate()->paint(&painter, option, index);
        widest = std::max(widest, itemDelegate()->sizeHint(option, index).width());
    }
    if (widest != contentWidth_) {
        contentWidth_ = widest;
        QMetaObject::invokeMethod(this, &CodeListView::updateGeometries, Qt::QueuedConnection);
    }
}

void CodeListView::updateGeometries() {
    const int rows = Rows();
    const int n = VisibleRows();
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setPageStep(n);
    verticalScrollBar()->setRange(0, std::max(0, rows - n));
    horizontalScrollBar()->setSingleStep(8);
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setRange(0, std::max(0, contentWidth_ - viewport()->width()));
    QAbstractItemView::updateGeometries();
}

void CodeListView::scrollContentsBy(int, int) { viewport()->update(); }

void CodeListView::rowsInserted(const QModelIndex& parent, int start, int end) {
    QAbstractItemView::rowsInserted(parent, start, end);
    updateGeometries();
    viewport()->update();
}

void CodeListView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
    QMetaObject::invokeMethod(this, &CodeListView::updateGeometries, Qt::QueuedConnection);
    viewport()->update();
}

void CodeListView::reset() {
    QAbstractItemView::reset();
    contentWidth_ = 0;
    verticalScrollBar()->setValue(0);
    updateGeometries();
    viewport()->update();
}

void CodeListView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        rowHeight_ = 0;
        updateGeometries();
    }
    QAbstractItemView::changeEvent(event);
}

}  // namespace inspector
