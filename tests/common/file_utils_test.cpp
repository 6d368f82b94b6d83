// Path texts checked against the file system itself, and the file operations against files on
// disk: existence and write tests, erasing by mask, copies and their failures, the private
// temporary directory.
#include "common/file_utils.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "io_test_support.h"
#include "validator_support.h"

namespace {

using io_test::Exists;
using io_test::ReadBytes;
using io_test::WriteBytes;

class FileUtilsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    AbortFlag = false;
  }
  void TearDown() override { AbortFlag = false; }
  io_test::ScratchDir dir;
  ScriptedDialogHost host;
};

// ------------------------------------------------------------------------------------------
// Joining a directory and a name: whatever the directory's last character, the joined path must
// reach a file the operating system made there.

TEST_F(FileUtilsTest, JoinedPathReachesTheFileWhateverTheDirectoryEndsIn) {
  const char* dirNames[] = {"plain",         "dash-", "dot.", "tilde~", "plus+", "comma,",
                            "M\xC3\xBCller",  // UTF-8 letter at the end
                            "Gr\x94"};        // CP850 letter at the end
  for (const char* d : dirNames) {
    const std::string path = dir / d;
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0) << d;
    WriteBytes(path + "/f.txt", "x");
    EXPECT_TRUE(FileExistsIO(AddBackslash(path) + "f.txt")) << d;
    EXPECT_TRUE(FileExistsIO(AddBackslash(path + "/") + "f.txt")) << d;  // not doubled
    EXPECT_EQ(AddBackslashDrive(path), AddBackslash(path)) << d;
  }
}

TEST(PathTextTest, AddAndDeleteTheSeparator) {
  EXPECT_EQ(AddBackslash("  /data  "), "/data/");
  EXPECT_EQ(AddBackslash(""), "");
  EXPECT_EQ(AddBackslash("   "), "");
  EXPECT_EQ(AddBackslash("/"), "/");
  EXPECT_EQ(DelBackslash("/data/"), "/data");
  EXPECT_EQ(DelBackslash("/data"), "/data");
  EXPECT_EQ(DelBackslash("/"), "/");
  EXPECT_EQ(JoinPath("/a/", "/b.txt"), "/a/b.txt");
  EXPECT_EQ(JoinPath("", "b.txt"), "b.txt");
}

// Expected values follow the shell's basename/dirname rules for the path part.
struct NameCase {
  const char* path;
  const char* baseName;
  const char* extractBaseName;
  const char* ext;
  const char* dirPart;
};

TEST(PathTextTest, NamesAndExtensions) {
  const NameCase cases[] = {
      {"/home/u/a.b/file", "file", "file", "", "/home/u/a.b/"},  // dot only in a directory
      {"/x/file.vuk", "file", "file", "vuk", "/x/"},
      {"x.tar.gz", "x.tar", "x.tar", "tar.gz", ""},
      {"file.", "file.", "file", "", ""},  // a final dot is no extension for BaseName
      {"dir.d/sub.e/name", "name", "name", "", "dir.d/sub.e/"},
      {"/top", "top", "top", "", "/"},
  };
  for (const NameCase& c : cases) {
    EXPECT_EQ(BaseName(c.path), c.baseName) << c.path;
    EXPECT_EQ(ExtractBaseName(c.path), c.extractBaseName) << c.path;
    EXPECT_EQ(ExtOf(c.path), c.ext) << c.path;
    EXPECT_EQ(DirPart(c.path), c.dirPart) << c.path;
    EXPECT_EQ(DrivePart(c.path), "") << c.path;
  }
}

TEST(PathTextTest, DirPartAgreesWithDirname) {
  const char* paths[] = {"/usr/share/doc/x.txt", "/a.b/c.d/e", "/etc/os-release"};
  for (const char* p : paths) {
    const std::string shell =
        io_test::TrimLine(io_test::CommandOutput("dirname " + validator_support::Quote(p)));
    EXPECT_EQ(DirPart(p), shell + "/") << p;
    const std::string leaf =
        io_test::TrimLine(io_test::CommandOutput("basename " + validator_support::Quote(p)));
    EXPECT_EQ(ExtractBaseName(p), leaf.substr(0, leaf.find_last_of('.'))) << p;
  }
}

TEST(PathTextTest, ShortenMiddleAndTrim) {
  const std::string forty = "abcdefghijklmnopqrstuvwxyz0123456789ABCD";
  ASSERT_EQ(forty.size(), 40u);
  // width 20: k = 7, the first 7, " ... ", the last 8.
  EXPECT_EQ(ShortenMiddle(forty, 20), "abcdefg ... 6789ABCD");
  EXPECT_EQ(ShortenMiddle("short", 20), "short");
  std::string t = "  in place  ";
  TrimInPlace(t);
  EXPECT_EQ(t, "in place");
}

// ------------------------------------------------------------------------------------------
// Attributes and tests

TEST_F(FileUtilsTest, AttributesOfWhatExistsOnly) {
  WriteBytes(dir / "file.txt", "x");
  WriteBytes(dir / ".hidden", "x");
  EXPECT_TRUE(HasAllAttributes(dir.Path(), kFaDirectory));
  EXPECT_FALSE(HasAllAttributes(dir / "file.txt", kFaDirectory));
  EXPECT_TRUE(HasAllAttributes(dir / "file.txt", kFaArchive));
  EXPECT_TRUE(HasAllAttributes(dir / ".hidden", kFaHidden));
  EXPECT_TRUE(HasAllAttributes("/dev/null", kFaSysFile));
  // A missing file has no attributes at all.
  EXPECT_FALSE(HasAllAttributes(dir / "missing", kFaDirectory));
  EXPECT_FALSE(HasAllAttributes(dir / "missing", kFaReadOnly));
  EXPECT_FALSE(HasAllAttributes(dir / "missing", 0));
}

TEST_F(FileUtilsTest, ExistenceAndDirectoryTests) {
  WriteBytes(dir / "file.txt", "x");
  EXPECT_TRUE(FileExistsIO(dir / "file.txt"));
  EXPECT_FALSE(FileExistsIO(dir / "missing.txt"));
  EXPECT_FALSE(FileExistsIO(dir.Path()));
  EXPECT_FALSE(FileExistsIO(""));

  ASSERT_EQ(mkdir((dir / "empty").c_str(), 0755), 0);
  EXPECT_TRUE(DirHasEntries(dir.Path()));
  EXPECT_FALSE(DirHasEntries(dir / "empty"));
  EXPECT_FALSE(DirHasEntries(dir / "missing"));

  char before[PATH_MAX];
  ASSERT_NE(getcwd(before, sizeof before), nullptr);
  EXPECT_TRUE(CanChangeDir(dir.Path()));
  EXPECT_TRUE(CanChangeDir(dir.Path() + "/"));
  EXPECT_FALSE(CanChangeDir(dir / "file.txt"));
  EXPECT_FALSE(CanChangeDir(dir / "missing"));
  char after[PATH_MAX];
  ASSERT_NE(getcwd(after, sizeof after), nullptr);
  EXPECT_STREQ(before, after);
}

TEST_F(FileUtilsTest, WriteTestNeverTouchesAUsersFile) {
  // A user's file with the name an old probe would have used.
  WriteBytes(dir / "x.$$$", "keep me");
  EXPECT_TRUE(CheckDirWritable(dir.Path()));
  EXPECT_TRUE(CheckDirWritable(dir.Path() + "/"));
  EXPECT_EQ(ReadBytes(dir / "x.$$$"), "keep me");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"x.$$$"});  // no probe left behind
  EXPECT_FALSE(CheckDirWritable(dir / "missing"));
  EXPECT_FALSE(CheckDirWritable(dir / "x.$$$"));  // a file is no directory
}

TEST_F(FileUtilsTest, EraseIfExists) {
  WriteBytes(dir / "gone.txt", "x");
  EraseIfExists(dir / "gone.txt");
  EXPECT_FALSE(Exists(dir / "gone.txt"));
  EraseIfExists(dir / "never.txt");  // nothing happens
  ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
  EraseIfExists(dir / "sub");
  EXPECT_TRUE(Exists(dir / "sub"));
  EXPECT_FALSE(AbortFlag);
}

TEST_F(FileUtilsTest, DeleteByMask) {
  for (const char* n : {"$FRAME_1.dx$", "$b.DX$", "a.dx$", "$A.dxf", "keep.txt", "noext"}) {
    WriteBytes(dir / n, "x");
  }
  ASSERT_EQ(mkdir((dir / "$DIR.dx$").c_str(), 0755), 0);
  DeleteFilesByMask(AddBackslash(dir.Path()), "$*.dx$");
  EXPECT_EQ(dir.Names(),
            (std::vector<std::string>{"$A.dxf", "$DIR.dx$", "a.dx$", "keep.txt", "noext"}));
  DeleteFilesByMask(AddBackslash(dir.Path()), "*.*");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"$DIR.dx$"});  // files only, any name
  DeleteFilesByMask(dir / "missing/", "*.*");                    // errors are ignored
}

TEST(MaskTest, Wildcards) {
  EXPECT_TRUE(MatchesMask("printout.dbf", "printout.dbf"));
  EXPECT_TRUE(MatchesMask("PRINTOUT.DBF", "printout.dbf"));
  EXPECT_TRUE(MatchesMask("$OUT1.TMP", "$OUT?.TMP"));
  EXPECT_FALSE(MatchesMask("$OUT12.TMP", "$OUT?.TMP"));
  EXPECT_TRUE(MatchesMask("anything", "*.*"));
  EXPECT_TRUE(MatchesMask("a.plt", "*.plt"));
  EXPECT_FALSE(MatchesMask("a.plt.bak", "*.plt"));
}

// ------------------------------------------------------------------------------------------
// Copies

std::string SampleBytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7919 + 13) % 256);
  return bytes;
}

TEST_F(FileUtilsTest, CopiesAreByteForByte) {
  // Sizes around the block sizes of both copies.
  for (std::size_t size :
       {std::size_t{0}, std::size_t{2048}, std::size_t{10001}, std::size_t{8192 * 3 + 1}}) {
    const std::string bytes = SampleBytes(size);
    WriteBytes(dir / "src.bin", bytes);
    EXPECT_TRUE(CopyFileBlocks(dir / "src.bin", dir / "blocks.bin"));
    EXPECT_TRUE(CopyFileChunked(dir / "src.bin", dir / "chunked.bin"));
    bool same = false;
    io_test::CommandOutput("cmp -s " + validator_support::Quote(dir / "src.bin") + " " +
                               validator_support::Quote(dir / "blocks.bin"),
                           &same);
    EXPECT_TRUE(same) << size;
    EXPECT_EQ(ReadBytes(dir / "chunked.bin"), bytes) << size;
  }
  EXPECT_FALSE(AbortFlag);
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(FileUtilsTest, ChunkedCopyIntoADirectoryKeepsTheName) {
  ASSERT_EQ(mkdir((dir / "target").c_str(), 0755), 0);
  WriteBytes(dir / "image.plt", "IN;");
  EXPECT_TRUE(CopyFileChunked(dir / "image.plt", dir / "target"));
  EXPECT_EQ(ReadBytes(dir / "target/image.plt"), "IN;");
  EXPECT_TRUE(CopyFileToDir(dir / "image.plt", dir / "target/other-name.xyz"));
  EXPECT_FALSE(Exists(dir / "target/other-name.xyz"));
  EXPECT_FALSE(CopyFileToDir(dir / "missing.plt", dir / "target/x"));
}

TEST_F(FileUtilsTest, FailedCopiesSetAbortAndNameTheFile) {
  WriteBytes(dir / "src.bin", SampleBytes(5000));
  WriteBytes(dir / "old.bin", "old");

  EXPECT_FALSE(CopyFileBlocks(dir / "missing.bin", dir / "old.bin"));
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(ReadBytes(dir / "old.bin"), "old");
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_NE(host.Messages()[0].find(dir / "missing.bin"), std::string::npos);

  host.Clear();
  AbortFlag = false;
  EXPECT_FALSE(CopyFileBlocks(dir / "src.bin", "/dev/full"));
  EXPECT_TRUE(AbortFlag);
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0], "disk full \"/dev/full\" !");

  host.Clear();
  AbortFlag = false;
  EXPECT_FALSE(CopyFileChunked(dir / "src.bin", dir / "no-dir/x.bin"));
  EXPECT_TRUE(AbortFlag);
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_NE(host.Messages()[0].find(dir / "no-dir/x.bin"), std::string::npos);
}

TEST_F(FileUtilsTest, ShortWriteOfACopyKeepsTheOldTarget) {
  WriteBytes(dir / "src.bin", SampleBytes(20000));
  WriteBytes(dir / "old.bin", "old");
  struct rlimit saved {};
  getrlimit(RLIMIT_FSIZE, &saved);
  auto previous = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 8000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool copied = CopyFileBlocks(dir / "src.bin", dir / "old.bin");
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previous);
  EXPECT_FALSE(copied);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(ReadBytes(dir / "old.bin"), "old");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"old.bin", "src.bin"}));
}

TEST_F(FileUtilsTest, CopyFilesByMask) {
  ASSERT_EQ(mkdir((dir / "from").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((dir / "to").c_str(), 0755), 0);
  WriteBytes(dir / "from/printout.dbf", "table");
  WriteBytes(dir / "from/other.txt", "text");

  AbortFlag = false;
  CopyFiles("*.xyz", dir / "from", dir / "to");
  EXPECT_TRUE(AbortFlag);  // nothing matches

  AbortFlag = true;
  CopyFiles("printout.dbf", dir / "from", dir / "to");
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(ReadBytes(dir / "to/printout.dbf"), "table");
  EXPECT_FALSE(Exists(dir / "to/other.txt"));
}

// ------------------------------------------------------------------------------------------
// The private temporary directory, observed from a child process that makes it and ends.

TEST_F(FileUtilsTest, PrivateTempDirIsMadeInsideTheConfiguredDirectoryAndRemovedAtExit) {
  const std::string report = dir / "report.txt";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ProgramSettings.tempDirectory = dir.Path();
    const std::string temp = PrivateTempDir();
    struct stat st {};
    const bool ok = !temp.empty() && temp.back() == '/' && temp.rfind(dir.Path() + "/", 0) == 0 &&
                    stat(temp.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
                    (st.st_mode & 0777) == 0700 && PrivateTempDir() == temp;
    WriteBytes(temp + "$OUT1.TMP", "scratch");
    WriteBytes(report, (ok ? "ok " : "bad ") + temp);
    std::exit(0);  // normal end: the directory goes with the program
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  const std::string text = ReadBytes(report);
  ASSERT_EQ(text.rfind("ok ", 0), 0u) << text;
  EXPECT_FALSE(Exists(text.substr(3)));
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"report.txt"});
}

TEST_F(FileUtilsTest, PrivateTempDirFallsBackWhenTheSettingIsUnusable) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ProgramSettings.tempDirectory = dir / "does-not-exist";
    const std::string temp = PrivateTempDir();
    std::exit(!temp.empty() && Exists(temp) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
