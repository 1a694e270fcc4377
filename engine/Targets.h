#pragma once
// Where engine lines go. The windows implement these over a model and a
// delegate; tests over recording doubles. The engine never sees a widget.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

// A line with no place in the file (anything but a dump row).
inline constexpr int64_t kNoFileOffset = -1;

// A list of lines, each with its 32-bit item-data tag. Lines are the
// document's single-byte text, unchanged.
class ListTarget {
public:
    virtual ~ListTarget() = default;
    virtual void Append(std::string_view text, uint32_t tag) = 0;
    virtual size_t Size() const = 0;
    virtual std::string Text(size_t i) const = 0;
    virtual uint32_t Tag(size_t i) const = 0;
    virtual void RemoveLast() = 0;
    // A dump row carries the absolute file offset of its first byte: row
    // edits write there and nowhere else. Targets that keep no offsets
    // take the line alone.
    virtual void AppendAt(std::string_view text, uint32_t tag, int64_t fileOffset) {
        (void)fileOffset;
        Append(text, tag);
    }
    virtual int64_t FileOffset(size_t i) const {
        (void)i;
        return kNoFileOffset;
    }
};

// "No target": the default list, where the operation takes one.
inline constexpr ListTarget* kNoTarget = nullptr;
// A real list that shows nothing: lines are taken and dropped.
ListTarget* SilentTarget();

using TreeItem = uint64_t;
inline constexpr TreeItem kTreeRoot = 0;

class TreeTarget {
public:
    virtual ~TreeTarget() = default;
    // Appends a child as the last child of `parent`; returns the new item.
    virtual TreeItem AppendChild(TreeItem parent, std::string_view text, int image) = 0;
};

// The page of a print job, in device units.
class PagePrinter {
public:
    virtual ~PagePrinter() = default;
    virtual int PageHeight() const = 0;
    virtual int TextWidth(std::string_view text) const = 0;
    virtual void DrawText(int x, int y, std::string_view text) = 0;
    virtual void DrawFrame(int left, int top, int right, int bottom) = 0;
    virtual void NewPage() = 0;  // ends the page and starts the next
};

}  // namespace engine
