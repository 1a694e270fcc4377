#pragma once
// The Codes page's list: millions of lines in a 64 MB document, so a line
// is held as its item data alone (4 bytes) and its text is made again when
// the line is shown. Lines that are not the listing of the one item at
// their place (merged "Corrupt: " lines, untagged lines, graphics records)
// keep their text beside. The list is filled by a walk that stops between
// windows and is resumed from the event loop, or at once when a caller
// needs every line.

#include <QAbstractItemView>
#include <QAbstractListModel>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/DocFile.h"
#include "engine/Progress.h"
#include "engine/Targets.h"
#include "engine/TextOps.h"
#include "engine/Walker.h"

namespace inspector {

class CodeListModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int kTagRole = Qt::UserRole;  // as TaggedListModel's
    // Makes the text of a line held by its item data alone.
    using TextMaker = std::function<std::string(size_t row)>;
    // Runs the fill to its end (a caller needs every line).
    using Finisher = std::function<void()>;

    explicit CodeListModel(QObject* parent = nullptr);

    void SetTextMaker(TextMaker make) { make_ = std::move(make); }
    void SetFinisher(Finisher finish) { finish_ = std::move(finish); }

    void Clear();
    void AppendTag(uint32_t tag);
    void AppendText(std::string_view text, uint32_t tag);
    void RemoveLast();
    // Held lines not yet shown reach the views in one insertion.
    void Flush();

    // Every line: the fill is run to its end first.
    size_t Size() const;
    // The lines held now, the fill going on.
    size_t Held() const { return count_; }
    size_t Shown() const { return shown_; }
    uint32_t Tag(size_t i) const;
    std::string Text(size_t i) const;
    // Whether line `i` keeps its text beside.
    bool Kept(size_t i) const;
    // Bytes held for the lines and the kept texts (the benchmark's figure).
    size_t HeldBytes() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    const std::string* KeptText(size_t i) const;
    void Complete() const;

    // Item data in blocks: growing never copies what is held, so millions
    // of lines never stand twice in memory.
    static constexpr size_t kBlockBits = 16;
    static constexpr size_t kBlock = size_t{1} << kBlockBits;
    uint32_t At(size_t i) const { return blocks_[i >> kBlockBits][i & (kBlock - 1)]; }
    std::vector<std::unique_ptr<uint32_t[]>> blocks_;
    size_t count_ = 0;
    std::vector<std::pair<uint32_t, std::string>> kept_;  // by row, ascending
    size_t shown_ = 0;
    TextMaker make_;
    Finisher finish_;
    // Texts made for the lines shown lately.
    mutable std::unordered_map<size_t, QString> made_;
};

// A list view of rows of one height that keeps nothing per row: a list
// view lays every row out again on each insertion, which millions of rows
// make slow and large. The scroll bar counts rows.
class CodeListView : public QAbstractItemView {
    Q_OBJECT
public:
    explicit CodeListView(QWidget* parent = nullptr);

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    int FirstVisibleRow() const;
    int VisibleRows() const;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& index) const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void paintEvent(QPaintEvent* event) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void reset() override;
    void changeEvent(QEvent* event) override;

private:
    int RowHeight() const;
    int Rows() const;

    mutable int rowHeight_ = 0;  // 0: not measured for the font yet
    mutable int contentWidth_ = 0;  // the widest row drawn so far
};

// One walk of the code stream kept between windows: it runs on a stack of
// its own and stops when it is about to read its next window, so all of the
// walker's state stays where the walker keeps it. Around each step the
// walk's side of the context (undo marking, header, file position, ...) is
// put in and the caller's put back, so other walks run freely between
// steps. Only one fill may run at a time.
class CodeListFill {
public:
    // `sink` gets the lines; `header` is the one in force for the walk.
    CodeListFill(const engine::CodeWalkRequest& request, engine::ListTarget* sink,
                 const engine::FileHeader& header, std::unique_ptr<engine::CProgressDialog> progress);
    // A walk not ended is ended first (its reads fail, its lines are dropped).
    ~CodeListFill();
    CodeListFill(const CodeListFill&) = delete;
    CodeListFill& operator=(const CodeListFill&) = delete;

    // Walks on until `budget` is spent, at least one window; true once the
    // walk has ended.
    bool Step(std::chrono::milliseconds budget);
    bool Done() const { return done_; }
    bool Running() const { return running_; }
    // Cancel was pressed on the progress dialog.
    bool Cancelled() const { return cancelled_; }
    int32_t Result() const { return result_; }
    // Where the next window starts.
    uint32_t Position() const { return position_; }

private:
    class Reads;
    class Sink;
    static void Entry(unsigned hi, unsigned lo);
    void Run();
    void Resume();
    void Yield();  // from the walk's own stack
    void Abort();
    void StepProgress();

    engine::CodeWalkRequest request_;
    engine::ListTarget* sink_;
    std::unique_ptr<Reads> reads_;
    std::unique_ptr<Sink> forward_;
    std::unique_ptr<engine::CProgressDialog> progress_;
    engine::WalkSideState own_;
    engine::WalkSideState outside_;
    struct Stack;
    std::unique_ptr<Stack> stack_;
    std::chrono::steady_clock::time_point deadline_;
    uint32_t position_ = 0;
    uint32_t startPos_ = 0;
    uint32_t endPos_ = 0;
    bool started_ = false;
    bool running_ = false;
    bool done_ = false;
    bool aborting_ = false;
    bool cancelled_ = false;
    int32_t result_ = 0;
};

}  // namespace inspector
