// Environment, version texts, dates and machine facts.
#include "common/system_info.h"

#include <time.h>

#include <cstdlib>

#include "common/formatting.h"
#include "common/program_state.h"
#include "platform/file_system.h"
#include "platform/system_sources.h"

namespace {

std::time_t fixedClock = 0;

// Local time now, with the nanoseconds of the current second.
std::tm LocalNow(long& nanoseconds) {
  struct timespec ts {};
  if (fixedClock != 0) {
    ts.tv_sec = fixedClock;
  } else {
    clock_gettime(CLOCK_REALTIME, &ts);
  }
  nanoseconds = ts.tv_nsec;
  std::tm local{};
  const std::time_t seconds = ts.tv_sec;
  localtime_r(&seconds, &local);
  return local;
}

std::tm LocalNow() {
  long ns = 0;
  return LocalNow(ns);
}

}  // namespace

void GetEnvVar(std::string_view name, std::string& text) {
  const char* value = std::getenv(std::string(name).c_str());
  text = value != nullptr ? std::string(value) : std::string();
  if (text.size() > 255) text.resize(255);
}
std::string GetEnvVar(std::string_view name) {
  std::string text;
  GetEnvVar(name, text);
  return text;
}

void ToggleUnitSystem() {
  ConfigVariables.UnitSystem = ConfigVariables.UnitSystem != 1 ? 1 : 0;
}

void FileVersionStr(std::string_view name, std::string& text) {
  text = TrimStr(name).empty() ? ProgramIdentity.version : std::string("0");
}
std::string FileVersionStr(std::string_view name) {
  std::string text;
  FileVersionStr(name, text);
  return text;
}

void SetClockForTests(std::time_t fixedTime) {
  fixedClock = fixedTime;
}

void DateStr(std::string& text) {
  const std::tm now = LocalNow();
  text = FormatDateStyle(now.tm_year + 1900, now.tm_mon + 1, now.tm_mday);
}
std::string DateStr() {
  std::string text;
  DateStr(text);
  return text;
}

void DateStrISO(std::string& text) {
  const std::tm now = LocalNow();
  text =
      IntStr(now.tm_year + 1900) + "-" + IntStrZ(now.tm_mon + 1, 2) + "-" + IntStrZ(now.tm_mday, 2);
}
std::string DateStrISO() {
  std::string text;
  DateStrISO(text);
  return text;
}

std::string TimeStrOf(const std::tm& localTime) {
  return IntStr(localTime.tm_hour) + ":" + IntStrZ(localTime.tm_min, 2);
}

void TimeStr(std::string& text) {
  text = TimeStrOf(LocalNow());
}
std::string TimeStr() {
  std::string text;
  TimeStr(text);
  return text;
}

void GetDateParts(int& year, int& month, int& day, int& weekday) {
  const std::tm now = LocalNow();
  year = now.tm_year + 1900;
  month = now.tm_mon + 1;
  day = now.tm_mday;
  weekday = 0;
}

void TimePartsOf(const std::tm& localTime, long nanoseconds, int& hour, int& minute, int& second,
                 int& hundredths) {
  hour = localTime.tm_hour;
  minute = localTime.tm_min;
  second = localTime.tm_sec;
  hundredths = static_cast<int>(nanoseconds / 10000000L);
}

void GetTimeParts(int& hour, int& minute, int& second, int& hundredths) {
  long ns = 0;
  const std::tm now = LocalNow(ns);
  TimePartsOf(now, ns, hour, minute, second, hundredths);
}

void FileDateStr(std::int64_t fileTime, std::string& text) {
  std::tm local{};
  const std::time_t seconds = static_cast<std::time_t>(fileTime);
  if (localtime_r(&seconds, &local) == nullptr) {
    text.clear();
    return;
  }
  text = IntStrZ(local.tm_year + 1900, 4) + "/" + IntStrZ(local.tm_mon + 1, 2) + "/" +
         IntStrZ(local.tm_mday, 2);
}
std::string FileDateStr(std::int64_t fileTime) {
  std::string text;
  FileDateStr(fileTime, text);
  return text;
}

bool FileDateOf(std::string_view name, std::int64_t& fileTime) {
  const platform::PathInfo info = platform::QueryPath(std::string(name));
  if (!info.exists) return false;
  fileTime = info.modified;
  return true;
}

int MaxPrinterPort() {
  return 3;
}

long double CpuClockMHz(const TCpuClockFiles& files) {
  const double reported = platform::ReportedCpuMHz(files.cpuFolder, files.cpuinfoFile);
  if (reported > 0) return reported;
  return platform::MeasuredCpuMHz(100);
}

void SystemSummary(std::string& text) {
  std::string host;
  if (!GetComputerName(host)) host.clear();
  if (host.size() > 16) host.resize(16);
  int major = 0, minor = 0;
  platform::KernelVersion(major, minor);
  std::string program = ProgramFilePath();
  platform::FileSystemFacts disk;
  if (!platform::FileSystemOf(program.empty() ? std::string("/") : program, disk)) {
    disk = {};
    disk.mountPoint = "/";
  }
  text = host + "/" + IntStr(major) + "." + IntStr(minor) + "/" +
         RealStrN(1, CpuClockMHz() / 1000.0L) + "GHz/" + IntStr(PhysicalMemoryBytes() / 1000000) +
         "MB/" + RealStrN(0, static_cast<long double>(disk.totalBytes) / 1e9L) + "GB/" +
         disk.mountPoint;
  text = DelBlanks(text);
}
std::string SystemSummary() {
  std::string text;
  SystemSummary(text);
  return text;
}

void WindowsVersionName(std::string& text) {
  int major = 0, minor = 0;
  platform::KernelVersion(major, minor);
  text = IntStr(major) + "." + IntStr(minor);
  const std::string name = platform::OsPrettyName();
  if (!name.empty()) text += " " + name;
}
std::string WindowsVersionName() {
  std::string text;
  WindowsVersionName(text);
  return text;
}

std::vector<std::string> LocalIpList() {
  return platform::InterfaceAddresses();
}

std::int64_t DiskSizeOf(std::string_view path) {
  platform::FileSystemFacts facts;
  if (!platform::FileSystemOf(std::string(path), facts)) return 0;
  return facts.totalBytes;
}

bool GetComputerName(std::string& name) {
  return platform::HostName(name);
}

bool GetUserName(std::string& name) {
  return platform::UserName(name);
}

bool GetVolumeInfo(std::string_view path, TVolumeInfo& info) {
  platform::FileSystemFacts facts;
  if (!platform::FileSystemOf(std::string(path), facts)) return false;
  info.mountPoint = facts.mountPoint;
  info.fileSystem = facts.type;
  info.totalBytes = facts.totalBytes;
  info.freeBytes = facts.freeBytes;
  return true;
}

std::string ProgramFilePath() {
  return platform::ExecutablePath();
}

std::int64_t PhysicalMemoryBytes() {
  return platform::TotalMemoryBytes();
}
