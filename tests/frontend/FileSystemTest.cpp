#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "frontend/FileSystem.h"

namespace frontend {
namespace {

TEST(GetFileExtension, Table) {
  struct Row {
    const char* name;
    const char* ext;
  } rows[] = {
      {"C:\\Docs\\letter.qwd", "qwd"},   {"C:\\Docs\\LETTER.QWD", "QWD"},  {"C:\\Docs\\a.b", "b"},
      {"C:\\Docs\\notes.text", "text"},  {"C:\\Docs\\report.backup", "Unknown"},
      {"C:\\Docs\\nodot", "Unknown"},    {"C:\\a.b\\cd", "b\\cd"},          {"/home/u/x.qwd", "qwd"},
      {"/home/u/x.qwdx", "qwdx"},        {"/home/u/x.qw", "qw"},           {"", "Unknown"},
      {".q", "q"},                       {"q", "Unknown"},                 {"/d/doc.qw\xC3\xA9", "qw\xC3\xA9"},
      {"/d/\xC3\xA9t\xC3\xA9.qwd", "qwd"}, {"/d/x.\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", "Unknown"},
  };
  for (const auto& r : rows) EXPECT_EQ(clsFileSystem::GetFileExtension(r.name), r.ext) << r.name;
}

TEST(PathHelpers, Tables) {
  struct Name {
    const char* path;
    const char* name;
  } names[] = {{"C:\\Docs\\letter.qwd", "letter.qwd"}, {"C:\\", ""}, {"/home/a/b.qwd", "b.qwd"},
               {"/x.qwd", "x.qwd"}, {"C:\\mixed/sep\\z.qwd", "z.qwd"}, {"/a/b/", ""}};
  for (const auto& n : names) EXPECT_EQ(clsFileSystem::GetFileName(n.path), n.name) << n.path;
  EXPECT_THROW(clsFileSystem::GetFileName("plain.qwd"), std::invalid_argument);

  struct Pair {
    const char* in;
    const char* out;
  } paths[] = {{"C:\\Docs\\a.qwd", "C:\\Docs\\"}, {"/a/b", "/a/"}, {"name", "\\"}, {"/", "/"}};
  for (const auto& p : paths) EXPECT_EQ(clsFileSystem::GetPath(p.in), p.out) << p.in;

  struct Base {
    const char* in;
    bool withPath;
    const char* out;
  } bases[] = {{"/a/b.c.qwd", false, "b.c"}, {"/a/b.c.qwd", true, "/a/b.c"}, {"C:name.qwd", false, "name"},
               {"C:\\d\\x.qwd", true, "C:\\d\\x"},  {"/a/b", false, "b"}, {"plain", true, "plain"}};
  for (const auto& b : bases) EXPECT_EQ(clsFileSystem::GetFileBaseName(b.in, b.withPath), b.out) << b.in;

  struct Join {
    const char* folder;
    const char* out;
  } joins[] = {{"/a", "/a/n.qwd"}, {"/a/", "/a/n.qwd"}, {"C:\\", "C:\\n.qwd"}, {"/", "/n.qwd"}};
  for (const auto& j : joins) EXPECT_EQ(clsFileSystem::JoinPath(j.folder, "n.qwd"), j.out) << j.folder;
}

TEST(GetDayCount, CalendarDaysBothWays) {
  struct Row {
    CivilDate a, b;
    std::int64_t days;
  } rows[] = {
      {{2026, 12, 10}, {2026, 12, 10}, 0},
      {{2026, 11, 30}, {2026, 12, 1}, 1},    // last day of the previous month
      {{2026, 12, 11}, {2026, 12, 10}, 1},   // tomorrow: never negative
      {{2024, 2, 28}, {2024, 3, 1}, 2},      // leap year
      {{2023, 2, 28}, {2023, 3, 1}, 1},
      {{2025, 12, 31}, {2026, 1, 1}, 1},
      {{1900, 1, 1}, {2026, 12, 10}, 46364},  // beyond a 16-bit count
  };
  for (const auto& r : rows) EXPECT_EQ(clsFileSystem::GetDayCount(r.a, r.b), r.days) << r.a.year << "-" << r.a.month;
}

class FixedClock : public Clock {
 public:
  explicit FixedClock(CivilDate d) : d_(d) {}
  CivilDate Today() override { return d_; }
  CivilDate d_;
};

void SetLocalMTime(const std::string& path, int y, int mo, int d, int h, int mi) {
  std::tm tm{};
  tm.tm_year = y - 1900;
  tm.tm_mon = mo - 1;
  tm.tm_mday = d;
  tm.tm_hour = h;
  tm.tm_min = mi;
  tm.tm_isdst = -1;
  const std::time_t t = std::mktime(&tm);
  struct timespec times[2] = {{t, 0}, {t, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(CompFileTime, ReadsTheLocalModificationDate) {
  const auto dir = std::filesystem::temp_directory_path() / ("mendora-ct-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "late.qwd").string();
  std::ofstream(file) << "x";
  LocalFileTimes times;

  SetLocalMTime(file, 2026, 12, 9, 23, 50);  // late yesterday evening
  FixedClock morning({2026, 12, 10});
  EXPECT_EQ(clsFileSystem::CompFileTime(file, times, morning), 1);

  SetLocalMTime(file, 2026, 12, 10, 0, 5);
  EXPECT_EQ(clsFileSystem::CompFileTime(file, times, morning), 0);

  SetLocalMTime(file, 2026, 12, 11, 12, 0);  // dated in the future
  EXPECT_EQ(clsFileSystem::CompFileTime(file, times, morning), 1);

  EXPECT_EQ(clsFileSystem::CompFileTime((dir / "gone.qwd").string(), times, morning), std::nullopt);
  std::filesystem::remove_all(dir);
}

TEST(FsDirectoryListing, RegularFilesOnlyNoDotFilesCaseInsensitiveOrder) {
  const auto dir = std::filesystem::temp_directory_path() / ("mendora-ls-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir / "sub.qwd");
  for (const char* n : {"b.qwd", "A.qwd", "a.qwd", "C.txt", ".hidden.qwd"}) std::ofstream((dir / n).string()) << "x";
  std::filesystem::create_symlink(dir / "sub.qwd", dir / "link.qwd");
  FsDirectoryListing listing;
  const auto names = listing.List(dir.string());
  ASSERT_TRUE(names);
  EXPECT_EQ(*names, (std::vector<std::string>{"A.qwd", "a.qwd", "b.qwd", "C.txt"}));
  EXPECT_EQ(listing.List((dir / "missing").string()), std::nullopt);
  EXPECT_EQ(listing.List(""), std::nullopt);
  std::filesystem::remove_all(dir);
}

TEST(Toolkit, FileOperations) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("mendora-tk-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string a = (dir / "a.qwd").string(), b = (dir / "b.qwd").string(), sub = (dir / "sub").string();
  std::ofstream(a) << std::string(1500, 'x');

  EXPECT_TRUE(clsFileSystem::FileExist(a));
  EXPECT_FALSE(clsFileSystem::FileExist(b));
  EXPECT_EQ(clsFileSystem::GetFileSize(a), 2u);
  EXPECT_EQ(clsFileSystem::GetFileSize(b), std::nullopt);

  EXPECT_TRUE(clsFileSystem::CopyFile(a, b));
  EXPECT_FALSE(clsFileSystem::CopyFile(a, b));  // never over an existing file
  EXPECT_FALSE(clsFileSystem::MoveFile(a, b));  // the failed copy keeps the source
  EXPECT_TRUE(clsFileSystem::FileExist(a));
  EXPECT_TRUE(clsFileSystem::DeleteFile(b));
  EXPECT_TRUE(clsFileSystem::MoveFile(a, b));
  EXPECT_FALSE(clsFileSystem::FileExist(a));
  EXPECT_FALSE(clsFileSystem::DeleteFile(a));

  EXPECT_TRUE(clsFileSystem::MakeDIR(sub));
  EXPECT_FALSE(clsFileSystem::MakeDIR(sub));
  EXPECT_FALSE(clsFileSystem::DeleteFile(sub));
  std::ofstream((dir / "sub" / "c").string()) << "x";
  EXPECT_FALSE(clsFileSystem::RemoveDIR(sub));  // not empty
  fs::remove(dir / "sub" / "c");
  EXPECT_TRUE(clsFileSystem::RemoveDIR(sub));
  EXPECT_FALSE(clsFileSystem::RemoveDIR(b));

  EXPECT_STREQ(FailureText(FsOperation::Move), "Error moving File");
  EXPECT_STREQ(FailureText(FsOperation::MakeDir), "Error creating Directory");
  fs::remove_all(dir);
}

}  // namespace
}  // namespace frontend
