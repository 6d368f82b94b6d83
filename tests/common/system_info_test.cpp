// System information against the machine's own commands (hostname, id, uname, free, df, date,
// stat), dates at fixed instants, and program start with argument vectors.
#include "common/system_info.h"

#include <gtest/gtest.h>
#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "common/formatting.h"
#include "common/program_state.h"
#include "io_test_support.h"
#include "platform/process.h"
#include "platform/system_sources.h"
#include "validator_support.h"

namespace {

using io_test::CommandOutput;
using io_test::TrimLine;

std::string Command(const std::string& command) {
  bool ok = false;
  std::string out = TrimLine(CommandOutput(command, &ok));
  return ok ? out : std::string();
}

#define REQUIRE_COMMAND(text) \
  if ((text).empty()) GTEST_SKIP() << "command not available"

class SystemInfoTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProgramStateForTests(); }
  void TearDown() override { SetClockForTests(0); }
};

// ------------------------------------------------------------------------------------------
// The machine

TEST_F(SystemInfoTest, ComputerAndUserNameAgreeWithTheCommands) {
  const std::string host = Command("hostname");
  REQUIRE_COMMAND(host);
  std::string name;
  ASSERT_TRUE(GetComputerName(name));
  EXPECT_EQ(name, host);
  const std::string user = Command("id -un");
  REQUIRE_COMMAND(user);
  ASSERT_TRUE(GetUserName(name));
  EXPECT_EQ(name, user);
}

TEST_F(SystemInfoTest, MemoryAgreesWithFree) {
  const std::string free = Command("free -b | awk '/^Mem:/ {print $2}'");
  REQUIRE_COMMAND(free);
  EXPECT_EQ(PhysicalMemoryBytes(), std::stoll(free));
}

TEST_F(SystemInfoTest, DiskAgreesWithDf) {
  const std::string size = Command("df -B1 --output=size / | tail -n 1");
  const std::string type = Command("df --output=fstype / | tail -n 1");
  const std::string target = Command("df --output=target / | tail -n 1");
  REQUIRE_COMMAND(size);
  EXPECT_EQ(DiskSizeOf("/"), std::stoll(size));
  TVolumeInfo info;
  ASSERT_TRUE(GetVolumeInfo("/", info));
  EXPECT_EQ(info.totalBytes, std::stoll(size));
  EXPECT_EQ(info.fileSystem, type);
  EXPECT_EQ(info.mountPoint, target);
  EXPECT_EQ(DiskSizeOf("/no/such/path"), 0);

  // A file deeper down lies on the file system df names for it.
  const std::string exeTarget = Command("df --output=target /proc/self/exe | tail -n 1");
  if (!exeTarget.empty()) {
    ASSERT_TRUE(GetVolumeInfo(ProgramFilePath(), info));
    EXPECT_EQ(info.mountPoint, exeTarget);
  }
}

TEST_F(SystemInfoTest, OperatingSystemNamesTheKernelAndTheDistribution) {
  const std::string release = Command("uname -r");
  REQUIRE_COMMAND(release);
  std::smatch m;
  ASSERT_TRUE(std::regex_search(release, m, std::regex(R"(^(\d+)\.(\d+))")));
  const std::string version = WindowsVersionName();
  EXPECT_EQ(version.rfind(m[1].str() + "." + m[2].str(), 0), 0u) << version;
  const std::string pretty = Command(". /etc/os-release && echo \"$PRETTY_NAME\"");
  if (!pretty.empty()) EXPECT_EQ(version, m[1].str() + "." + m[2].str() + " " + pretty);
}

TEST(OsReleaseTest, PrettyNameWithAndWithoutQuotes) {
  EXPECT_EQ(platform::OsPrettyNameFrom("NAME=\"Debian\"\nPRETTY_NAME=\"Debian 12\"\n"),
            "Debian 12");
  EXPECT_EQ(platform::OsPrettyNameFrom("NAME=Fedora\r\n"), "Fedora");
  EXPECT_EQ(platform::OsPrettyNameFrom("ID=x\n"), "");
}

TEST_F(SystemInfoTest, LocalAddressesAgreeWithHostname) {
  const std::string listed = Command("hostname -I");
  REQUIRE_COMMAND(listed);
  std::set<std::string> expected;
  std::istringstream in(listed);
  for (std::string a; in >> a;) {
    if (a.rfind("fe80:", 0) != 0) expected.insert(a);
  }
  const std::vector<std::string> ours = LocalIpList();
  EXPECT_EQ(std::set<std::string>(ours.begin(), ours.end()), expected);
}

// The clock the kernel reports: the highest cpufreq maximum (kHz) of the processors that have
// one, else the highest "cpu MHz" of the processor table (a virtual machine or a container has no
// cpufreq), else a measurement (an empty expectation). This machine's table, copied once (its
// clock changes between two reads), read back by awk.
TEST_F(SystemInfoTest, ProcessorClock) {
  io_test::ScratchDir dir;
  for (const auto& [name, text] : {std::pair{"freq/cpu0/cpufreq/cpuinfo_max_freq", "2600000\n"},
                                   {"freq/cpu1/online", "1\n"},
                                   {"freq/cpu2/cpufreq/cpuinfo_max_freq", "3100000\n"},
                                   {"freq/cpu3/cpufreq/cpuinfo_max_freq", "2000000\n"},
                                   {"nofreq/cpu0/online", "1\n"},
                                   {"cpuinfo", "cpu MHz\t\t: 2300.5\ncpu MHz\t\t: 2299.998\n"}}) {
    std::filesystem::create_directories(std::filesystem::path(dir / name).parent_path());
    io_test::WriteBytes(dir / name, text);
  }
  const std::string machine = dir / "machine's cpuinfo";
  io_test::WriteBytes(machine, io_test::ReadBytes("/proc/cpuinfo"));
  const std::string table = "awk -F: '/^cpu MHz/ {printf \"%.3f\\n\", $2}' " +
                            validator_support::Quote(machine) + " | sort -n | tail -n 1";
  const struct {
    const char* name;
    TCpuClockFiles files;
    std::string mhz;
  } cases[] = {
      {"this machine", {}, ""},
      {"this machine's table without cpufreq", {dir / "nofreq", machine}, Command(table)},
      {"cpufreq past a processor without it", {dir / "freq", dir / "cpuinfo"}, "3100.000"},
      {"the table's highest", {dir / "nofreq", dir / "cpuinfo"}, "2300.500"},
      {"nothing reported", {dir / "none", dir / "none"}, ""},
  };
  for (const auto& c : cases) {
    const long double mhz = CpuClockMHz(c.files);
    if (c.mhz.empty())
      EXPECT_GT(mhz, 0.0L) << c.name;
    else
      EXPECT_NEAR(static_cast<double>(mhz), std::stod(c.mhz), 5e-4) << c.name;
  }
}

TEST_F(SystemInfoTest, SummaryLine) {
  const std::string summary = SystemSummary();
  std::smatch m;
  ASSERT_TRUE(std::regex_match(
      summary, m, std::regex(R"(^([^/ ]{0,16})/(\d+)\.(\d+)/(\d+\.\d)GHz/(\d+)MB/(\d+)GB/(.+)$)")))
      << summary;
  std::string host;
  if (GetComputerName(host)) EXPECT_EQ(m[1].str(), host.substr(0, 16));
  const std::string free = Command("free -b | awk '/^Mem:/ {print int($2/1000000)}'");
  if (!free.empty()) EXPECT_EQ(m[5].str(), free);
  EXPECT_EQ(summary.find(' '), std::string::npos);
}

TEST_F(SystemInfoTest, EnvironmentVariables) {
  setenv("VUKO_TEST_VALUE", "abc", 1);
  EXPECT_EQ(GetEnvVar("VUKO_TEST_VALUE"), "abc");
  setenv("VUKO_TEST_VALUE", std::string(300, 'x').c_str(), 1);
  EXPECT_EQ(GetEnvVar("VUKO_TEST_VALUE"), std::string(255, 'x'));
  unsetenv("VUKO_TEST_VALUE");
  EXPECT_EQ(GetEnvVar("VUKO_TEST_VALUE"), "");
}

TEST_F(SystemInfoTest, VersionsAndSmallServices) {
  SetProgramIdentity();
  EXPECT_EQ(FileVersionStr("/bin/sh"), "0");  // no version resource
  EXPECT_EQ(FileVersionStr("  "), "1.0");     // this program
  EXPECT_EQ(MaxPrinterPort(), 3);
  ConfigVariables.UnitSystem = 0;
  ToggleUnitSystem();
  EXPECT_EQ(ConfigVariables.UnitSystem, 1);
  ToggleUnitSystem();
  EXPECT_EQ(ConfigVariables.UnitSystem, 0);
  ConfigVariables.UnitSystem = 4;
  ToggleUnitSystem();
  EXPECT_EQ(ConfigVariables.UnitSystem, 1);
}

// ------------------------------------------------------------------------------------------
// Dates and times at fixed instants, against date(1)

std::time_t LocalInstant(int year, int month, int day, int hour, int minute) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_isdst = -1;
  return mktime(&t);
}

TEST_F(SystemInfoTest, DatesAgreeWithDate) {
  const std::time_t instants[] = {LocalInstant(2024, 3, 7, 9, 5),
                                  LocalInstant(1999, 12, 31, 14, 30),
                                  LocalInstant(2026, 1, 2, 0, 0)};
  for (std::time_t t : instants) {
    const std::string at = "date -d @" + std::to_string(static_cast<long long>(t));
    const std::string iso = Command(at + " +%Y-%m-%d");
    REQUIRE_COMMAND(iso);
    SetClockForTests(t);
    EXPECT_EQ(DateStrISO(), iso);
    EXPECT_EQ(TimeStr(), Command(at + " +%-H:%M"));
    EXPECT_EQ(FileDateStr(t), Command(at + " +%Y/%m/%d"));
    ConfigVariables.DateStyle = 1;
    EXPECT_EQ(DateStr(), Command(at + " +%d.%m.%Y"));
    ConfigVariables.DateStyle = 2;
    EXPECT_EQ(DateStr(), Command(at + " +%m/%d/%Y"));
    int y, mo, d, wd, h, mi, s, hs;
    GetDateParts(y, mo, d, wd);
    GetTimeParts(h, mi, s, hs);
    EXPECT_EQ(IntStr(y) + "-" + IntStrZ(mo, 2) + "-" + IntStrZ(d, 2), iso);
    EXPECT_EQ(wd, 0);
    EXPECT_EQ(IntStr(h) + ":" + IntStrZ(mi, 2), Command(at + " +%-H:%M"));
    EXPECT_EQ(s, 0);
    EXPECT_EQ(hs, 0);
  }
}

TEST_F(SystemInfoTest, TimeAtNineOFiveHasNoLeadingZero) {
  SetClockForTests(LocalInstant(2024, 3, 7, 9, 5));
  EXPECT_EQ(TimeStr(), "9:05");
  SetClockForTests(LocalInstant(2024, 3, 7, 14, 30));
  EXPECT_EQ(TimeStr(), "14:30");
  std::tm t{};
  t.tm_hour = 23;
  t.tm_min = 59;
  t.tm_sec = 58;
  int h, m, s, hs;
  TimePartsOf(t, 987654321L, h, m, s, hs);
  EXPECT_EQ(hs, 98);  // 0.987654321 s
}

TEST_F(SystemInfoTest, FileDateAgreesWithStat) {
  io_test::ScratchDir dir;
  io_test::WriteBytes(dir / "f.txt", "x");
  std::int64_t when = 0;
  ASSERT_TRUE(FileDateOf(dir / "f.txt", when));
  EXPECT_EQ(std::to_string(when), Command("stat -c %Y " + validator_support::Quote(dir / "f.txt")));
  EXPECT_FALSE(FileDateOf(dir / "missing", when));
}

// ------------------------------------------------------------------------------------------
// Program start: arguments pass unchanged, never through a shell.

TEST(ProgramStartTest, ArgumentsReachTheProgramUnchanged) {
  io_test::ScratchDir dir;
  const std::string out = dir / "args.txt";
  const std::string tricky =
      "a b; echo injected > " + validator_support::Quote(dir / "injected") + " $HOME `x`";
  int exitCode = -1;
  ASSERT_EQ(platform::RunAndWait(
                {"/bin/sh", "-c", "printf '%s|' \"$@\" > \"$0\"", out, tricky, "second"}, exitCode),
            0);
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(io_test::ReadBytes(out), tricky + "|second|");
  EXPECT_FALSE(io_test::Exists(dir / "injected"));
}

TEST(ProgramStartTest, ExitCodesAndMissingPrograms) {
  int exitCode = -1;
  EXPECT_EQ(platform::RunAndWait({"false"}, exitCode), 0);
  EXPECT_EQ(exitCode, 1);
  EXPECT_EQ(platform::RunAndWait({"vuko-no-such-program-xyz"}, exitCode), ENOENT);
  EXPECT_EQ(platform::StartDetached({"vuko-no-such-program-xyz"}), ENOENT);
  EXPECT_EQ(platform::StartDetached({}), ENOENT);
  EXPECT_EQ(platform::FindProgram("sh").empty(), false);
  EXPECT_EQ(platform::FindProgram("vuko-no-such-program-xyz"), "");
}

TEST(ProgramStartTest, DetachedProgramRunsOnItsOwn) {
  io_test::ScratchDir dir;
  const std::string done = dir / "done";
  ASSERT_EQ(platform::StartDetached({"/bin/sh", "-c", "echo started > \"$0\"", done}), 0);
  // The program runs after StartDetached returns; wait for its file (no timing is asserted).
  const std::string quoted = validator_support::Quote(done);
  const std::string waited = Command("for i in $(seq 1 200); do [ -s " + quoted +
                                     " ] && break; sleep 0.05; done; cat " + quoted);
  EXPECT_EQ(waited, "started");
}

}  // namespace
