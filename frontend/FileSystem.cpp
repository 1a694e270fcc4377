#include "frontend/FileSystem.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>

namespace frontend {

std::int64_t DaysFromCivil(const CivilDate& d) {
  std::int64_t y = d.year - (d.month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t mp = (d.month + 9) % 12;
  const std::int64_t doy = (153 * mp + 2) / 5 + d.day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

namespace {

std::optional<CivilDate> LocalDate(std::time_t t) {
  std::tm tm{};
  if (!localtime_r(&t, &tm)) return std::nullopt;
  return CivilDate{tm.tm_year + 1900, static_cast<unsigned>(tm.tm_mon + 1), static_cast<unsigned>(tm.tm_mday)};
}

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSep(char c) { return c == '/' || c == '\\'; }

// Byte offsets where the last n code points of a UTF-8 text start.
std::vector<std::size_t> CodePointStarts(const std::string& s) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < s.size(); ++i)
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) starts.push_back(i);
  return starts;
}

}  // namespace

CivilDate SystemClock::Today() {
  return LocalDate(std::time(nullptr)).value_or(CivilDate{});
}

std::optional<CivilDate> LocalFileTimes::ModifiedDate(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return LocalDate(st.st_mtime);
}

bool NameLess(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char x = Fold(a[i]), y = Fold(b[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

std::optional<std::vector<std::string>> FsDirectoryListing::List(const std::string& folder) {
  namespace fs = std::filesystem;
  if (folder.empty()) return std::nullopt;
  std::error_code ec;
  fs::directory_iterator it(folder, ec), end;
  if (ec) return std::nullopt;
  std::vector<std::string> names;
  for (; it != end; it.increment(ec)) {
    if (ec) return std::nullopt;
    std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code tec;
    if (!it->is_regular_file(tec) || tec) continue;
    names.push_back(std::move(name));
  }
  if (ec) return std::nullopt;
  std::sort(names.begin(), names.end(), NameLess);
  return names;
}

std::string clsFileSystem::GetFileExtension(const std::string& fileName) {
  if (fileName.empty()) return "Unknown";
  const std::vector<std::size_t> starts = CodePointStarts(fileName);
  const std::size_t count = starts.size();
  for (std::size_t n = 2; n <= 5; ++n) {
    // The n-th character from the end; the first one in a shorter name.
    const std::size_t at = count >= n ? starts[count - n] : 0;
    if (fileName[at] == '.') {
      const std::size_t from = count >= n - 1 ? starts[count - (n - 1)] : 0;
      return fileName.substr(from);
    }
  }
  return "Unknown";
}

std::string clsFileSystem::GetFileName(const std::string& path) {
  // A leading separator counts too: "/a.qwd" is a file in the root folder.
  for (std::size_t i = path.size(); i-- > 0;)
    if (IsSep(path[i])) return path.substr(i + 1);
  throw std::invalid_argument("path without a folder");
}

std::string clsFileSystem::GetPath(const std::string& path) {
  for (std::size_t i = path.size(); i-- > 0;)
    if (IsSep(path[i])) return path.substr(0, i + 1);
  return "\\";
}

std::string clsFileSystem::GetFileBaseName(const std::string& path, bool includePath) {
  std::size_t nameStart = 0;
  for (std::size_t i = path.size(); i-- > 0;)
    if (IsSep(path[i]) || path[i] == ':') {
      nameStart = i + 1;
      break;
    }
  std::string name = path.substr(nameStart);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return includePath ? path.substr(0, nameStart) + name : name;
}

std::string clsFileSystem::JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && IsSep(folder.back())) return folder + name;
  return folder + "/" + name;
}

std::int64_t clsFileSystem::GetDayCount(const CivilDate& a, const CivilDate& b) {
  const std::int64_t d = DaysFromCivil(a) - DaysFromCivil(b);
  return d < 0 ? -d : d;
}

std::optional<std::int64_t> clsFileSystem::CompFileTime(const std::string& file, FileTimes& times, Clock& clock) {
  const auto modified = times.ModifiedDate(file);
  if (!modified) return std::nullopt;
  return GetDayCount(*modified, clock.Today());
}

bool clsFileSystem::FileExist(const std::string& file) {
  std::error_code ec;
  return !file.empty() && std::filesystem::exists(file, ec);
}

std::optional<std::uint64_t> clsFileSystem::GetFileSize(const std::string& file) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(file, ec);
  if (ec) return std::nullopt;
  return (size + 1023) / 1024;
}

bool clsFileSystem::DeleteFile(const std::string& file) {
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) return false;
  return std::filesystem::remove(file, ec) && !ec;
}

bool clsFileSystem::CopyFile(const std::string& source, const std::string& destination) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(source, ec)) return false;
  return std::filesystem::copy_file(source, destination, std::filesystem::copy_options::none, ec) && !ec;
}

bool clsFileSystem::MoveFile(const std::string& source, const std::string& destination) {
  if (!CopyFile(source, destination)) return false;
  return DeleteFile(source);
}

bool clsFileSystem::MakeDIR(const std::string& folder) {
  std::error_code ec;
  return std::filesystem::create_directory(folder, ec) && !ec;
}

bool clsFileSystem::RemoveDIR(const std::string& folder) {
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) return false;
  return std::filesystem::remove(folder, ec) && !ec;
}

const char* FailureText(FsOperation op) {
  switch (op) {
    case FsOperation::Delete: return "Error deleting File";
    case FsOperation::Copy: return "Error copying File";
    case FsOperation::Move: return "Error moving File";
    case FsOperation::MakeDir: return "Error creating Directory";
    case FsOperation::RemoveDir: return "Error removing Directory";
  }
  return "";
}

}  // namespace frontend
