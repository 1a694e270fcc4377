#pragma once
// The expected event logs of the repair sequences: commands as the server
// sees them, "~" for one message-pump pass, "box TEXT" for a message box.

#include <string>
#include <vector>

namespace frontend::testing {

inline std::vector<std::string> Pumps(int n) { return std::vector<std::string>(n, "~"); }

inline void Append(std::vector<std::string>& to, std::initializer_list<std::string> items) {
  to.insert(to.end(), items);
}
inline void Append(std::vector<std::string>& to, const std::vector<std::string>& items) {
  to.insert(to.end(), items.begin(), items.end());
}

inline std::vector<std::string> XInsertSuccess(const std::string& path) {
  std::vector<std::string> e{"create Quillwright.Quillscript"};
  for (const std::string& c : {std::string("Display n:1"), std::string("FileNew"), std::string("PosDocTop"),
                               std::string("KeyType s:x"), "FileInsert s:" + path, std::string("PosDocTop"),
                               std::string("DeleteCharNext")}) {
    Append(e, {c});
    Append(e, Pumps(3));
  }
  Append(e, {"box XInsert completed. Please save document"});
  Append(e, Pumps(3));
  Append(e, {"QWActivate"});
  Append(e, Pumps(6));
  Append(e, {"FileSaveAsDlg"});
  Append(e, Pumps(3));
  return e;
}

inline std::vector<std::string> BlockCutPasteSuccess(const std::string& path) {
  std::vector<std::string> e{"create Quillwright.Quillscript", "FileOpen s:" + path, "get envDocBlank"};
  Append(e, Pumps(3));
  for (const char* c : {"Display n:1", "SelectAll", "SelectDelete", "FileNew"}) {
    Append(e, {c});
    Append(e, Pumps(3));
  }
  Append(e, {"Undelete n:1"});
  Append(e, Pumps(6));
  Append(e, {"box BlockCutPaste complete. Please save document", "QWActivate"});
  Append(e, Pumps(6));
  Append(e, {"FileSaveAsDlg"});
  Append(e, Pumps(3));
  return e;
}

inline std::vector<std::string> RemoveDelayCodeSuccess(const std::string& path) {
  std::vector<std::string> e{"create Quillwright.Quillscript", "FileOpen s:" + path, "QWActivate"};
  Append(e, Pumps(4));
  Append(e, {"Styleslistdlg"});
  return e;
}

// Only what the server records: the commands and property reads.
inline std::vector<std::string> ServerSide(const std::vector<std::string>& log) {
  std::vector<std::string> out;
  for (const auto& l : log)
    if (l != "~" && l.rfind("box ", 0) != 0 && l.rfind("create ", 0) != 0 && l != "bring-forward") out.push_back(l);
  return out;
}

// The expected log cut after the command that fails.
inline std::vector<std::string> UpTo(const std::vector<std::string>& e, const std::string& failing) {
  std::vector<std::string> out;
  for (const auto& l : e) {
    out.push_back(l);
    if (l == failing) break;
  }
  return out;
}

}  // namespace frontend::testing
