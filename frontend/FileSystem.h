#pragma once
// Mendora's file-name and file-age helpers, and the clock, file-time and
// folder-listing ports they are read through. No Qt: tests run headless.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace frontend {

struct CivilDate {
  int year = 1970;
  unsigned month = 1;
  unsigned day = 1;
  bool operator==(const CivilDate&) const = default;
};

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(const CivilDate& d);

class Clock {
 public:
  virtual ~Clock() = default;
  virtual CivilDate Today() = 0;  // local calendar date
};

class FileTimes {
 public:
  virtual ~FileTimes() = default;
  // Local calendar date of the last modification; nothing when unreadable.
  virtual std::optional<CivilDate> ModifiedDate(const std::string& path) = 0;
};

class DirectoryListing {
 public:
  virtual ~DirectoryListing() = default;
  // Names of the regular files of a folder, dot-files left out, in
  // case-insensitive order (ties by code point); nothing when unreadable.
  virtual std::optional<std::vector<std::string>> List(const std::string& folder) = 0;
};

class SystemClock : public Clock {
 public:
  CivilDate Today() override;
};

class LocalFileTimes : public FileTimes {
 public:
  std::optional<CivilDate> ModifiedDate(const std::string& path) override;
};

class FsDirectoryListing : public DirectoryListing {
 public:
  std::optional<std::vector<std::string>> List(const std::string& folder) override;
};

// Case-insensitive order, ties broken by code point.
bool NameLess(const std::string& a, const std::string& b);

class clsFileSystem {
 public:
  // The text after a dot among the last five characters, nearest the end
  // first; "Unknown" when there is none.
  static std::string GetFileExtension(const std::string& fileName);
  // The part after the last '/' or '\'; throws std::invalid_argument when
  // there is no separator.
  static std::string GetFileName(const std::string& path);
  // Up to and including the last separator; "\" when there is none.
  static std::string GetPath(const std::string& path);
  // The name without its last extension; with includePath the folder stays.
  static std::string GetFileBaseName(const std::string& path, bool includePath);
  // Folder and name, with '/' between unless the folder ends in a separator.
  static std::string JoinPath(const std::string& folder, const std::string& name);
  static std::int64_t GetDayCount(const CivilDate& a, const CivilDate& b);
  // Days between the file's modification date and today; nothing when the
  // date cannot be read.
  static std::optional<std::int64_t> CompFileTime(const std::string& file, FileTimes& times, Clock& clock);

  // The general toolkit. Each returns whether it worked; the caller words
  // the failure ("Error deleting File", ...), see FailureText.
  static bool FileExist(const std::string& file);
  // Kilobytes, rounded up; nothing when the size cannot be read.
  static std::optional<std::uint64_t> GetFileSize(const std::string& file);
  static bool DeleteFile(const std::string& file);
  // Never over an existing destination.
  static bool CopyFile(const std::string& source, const std::string& destination);
  // Copy, then delete the source; a failed copy leaves the source alone.
  static bool MoveFile(const std::string& source, const std::string& destination);
  static bool MakeDIR(const std::string& folder);
  static bool RemoveDIR(const std::string& folder);  // empty folders only
};

enum class FsOperation { Delete, Copy, Move, MakeDir, RemoveDir };
const char* FailureText(FsOperation op);

}  // namespace frontend
