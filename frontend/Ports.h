#pragma once
// What the Mediator asks of the windows and the desktop. The Qt windows
// implement these; tests use recording doubles.

#include <cstdint>
#include <optional>
#include <string>

namespace frontend {

inline constexpr const char* kProjectTitle = "Quillwright, Mendora";

// Colours as the indicator stores them, 0xBBGGRR.
inline constexpr std::uint32_t kColourGrey = 0xE0E0E0;
inline constexpr std::uint32_t kColourGreen = 0x80FF80;
inline constexpr std::uint32_t kColourYellow = 0x00FFFF;
inline constexpr std::uint32_t kColourRed = 0x0000FF;

class MainView {
 public:
  virtual ~MainView() = default;
  virtual void ClearList() = 0;
  // The list stays sorted descending by text (case-insensitive, ties by code point).
  virtual void AddRow(const std::string& key, const std::string& text) = 0;
  virtual std::optional<std::string> FirstRowText() = 0;
  virtual void SetNextDocumentVisible(bool visible) = 0;
  virtual void SetRefreshEnabled(bool enabled) = 0;
  virtual void SetIndicatorColour(std::uint32_t bgr) = 0;
  virtual void SetIndicatorTexts(const std::string& header, const std::string& body) = 0;
  virtual bool QuillwrightOptionSelected() = 0;
  virtual bool InspectorOptionSelected() = 0;
  virtual void BringForward() = 0;
};

class BatchView {
 public:
  virtual ~BatchView() = default;
  virtual void ClearFound() = 0;
  virtual void AddFound(const std::string& name) = 0;
  virtual void SetSourceText(const std::string& folder) = 0;
  virtual void SetTargetText(const std::string& folder) = 0;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The chosen existing document; nothing on Cancel.
  virtual std::optional<std::string> OpenDocument() = 0;
  // The chosen folder; empty on Cancel.
  virtual std::string BrowseForFolder(const std::string& prompt) = 0;
};

enum class MessageIcon { None, Exclamation };

class Messages {
 public:
  virtual ~Messages() = default;
  // OK-only box.
  virtual void Show(const std::string& text, const std::string& caption = kProjectTitle,
                    MessageIcon icon = MessageIcon::None) = 0;
};

class Pump {
 public:
  virtual ~Pump() = default;
  virtual void ProcessEvents() = 0;  // one pass of the message pump
};

}  // namespace frontend
