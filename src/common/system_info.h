// Small services around the machine: environment variables, version texts, today's date and
// time in the user's style, and the facts about the machine that the system-information window
// shows (name, user, processor clock, memory, disk, operating system, local addresses).
//
// None of these routines reports an error: a missing value gives "0", an empty text, 0 or an
// empty list.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

// Value of an environment variable, at most 255 characters; empty when it is not set.
void GetEnvVar(std::string_view name, std::string& text);
std::string GetEnvVar(std::string_view name);

// UnitSystem := 1 when it is not 1, otherwise 0.
void ToggleUnitSystem();

// Version text of a file ("major.minor[.release[.build]]"). Linux programs carry no version
// resource, so any named file gives "0"; an empty (after trimming) name means this program and
// gives the version of the program identity.
void FileVersionStr(std::string_view name, std::string& text);
std::string FileVersionStr(std::string_view name);

// Today in the user's date style (FormatDateStyle).
void DateStr(std::string& text);
std::string DateStr();
// Today as yyyy-mm-dd.
void DateStrISO(std::string& text);
std::string DateStrISO();
// The time now as h:mm (hour without a leading zero).
void TimeStr(std::string& text);
std::string TimeStr();
// Today's year, month and day; weekday is always 0.
void GetDateParts(int& year, int& month, int& day, int& weekday);
// The time now: hour, minute, second and hundredths.
void GetTimeParts(int& hour, int& minute, int& second, int& hundredths);
// A file time stamp (seconds since 1970, local time) as "yyyy/mm/dd".
void FileDateStr(std::int64_t fileTime, std::string& text);
std::string FileDateStr(std::int64_t fileTime);
// Modification time of a file (seconds since 1970); false when the file is missing.
bool FileDateOf(std::string_view name, std::int64_t& fileTime);

// The clock behind DateStr, TimeStr and the parts; tests set a fixed time (0 restores the
// system clock).
void SetClockForTests(std::time_t fixedTime);

// The same formats for a given local time.
std::string TimeStrOf(const std::tm& localTime);
void TimePartsOf(const std::tm& localTime, long nanoseconds, int& hour, int& minute, int& second,
                 int& hundredths);

// 3: the highest printer port number offered.
int MaxPrinterPort();

// Where the kernel reports the processor clock: the cpufreq folders of the processors, and the
// processor table that a machine without cpufreq (a virtual machine, a container) still has.
struct TCpuClockFiles {
  std::string cpuFolder = "/sys/devices/system/cpu";
  std::string cpuinfoFile = "/proc/cpuinfo";
};

// Processor clock in MHz: the highest clock the kernel reports, else a measurement of the
// processor's time-stamp counter against the monotonic clock; 0 when neither is available.
long double CpuClockMHz(const TCpuClockFiles& files = {});

// One-line machine description, without blanks: host name (at most 16 characters) "/" kernel
// major.minor "/" clock in GHz with 1 decimal "GHz/" memory in MB (10^6) "MB/" size of the disk
// holding the program in GB (10^9) "GB/" that disk's mount point.
void SystemSummary(std::string& text);
std::string SystemSummary();

// The operating system: kernel major.minor, a blank and the distribution's name
// ("6.1 Debian GNU/Linux 12 (bookworm)"); only major.minor when the name is unknown.
void WindowsVersionName(std::string& text);
std::string WindowsVersionName();

// The machine's IPv4 and IPv6 addresses, loopback and link-local addresses left out.
std::vector<std::string> LocalIpList();

// Size in bytes of the file system that holds the path (0 when it cannot be asked).
std::int64_t DiskSizeOf(std::string_view path);

// Computer (host) name and user name; false when they cannot be had.
bool GetComputerName(std::string& name);
bool GetUserName(std::string& name);

// File system facts for the system-information window.
struct TVolumeInfo {
  std::string mountPoint;
  std::string fileSystem;  // type name, e.g. "ext4"
  std::int64_t totalBytes = 0;
  std::int64_t freeBytes = 0;  // available to this user
};
bool GetVolumeInfo(std::string_view path, TVolumeInfo& info);

// Full path of this program's executable; empty when unknown.
std::string ProgramFilePath();
// Total physical memory in bytes.
std::int64_t PhysicalMemoryBytes();
