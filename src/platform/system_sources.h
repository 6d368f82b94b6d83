// Facts about the machine from the Linux sources: uname, /etc/os-release, sysinfo, statvfs,
// /proc/self/mountinfo, gethostname, getpwuid, getifaddrs, the processor frequency files and
// the monotonic clock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Host name; false when it cannot be had.
bool HostName(std::string& name);
// Login name of the effective user (password database, else $USER); false when unknown.
bool UserName(std::string& name);
// Kernel release ("6.1.0-18-amd64"); empty when unknown.
std::string KernelRelease();
// Kernel major and minor version numbers from the release; false when it does not parse.
bool KernelVersion(int& major, int& minor);
// PRETTY_NAME of /etc/os-release (else /usr/lib/os-release, else NAME); empty when unknown.
std::string OsPrettyName();
// Parses the text of an os-release file; empty when it names no system.
std::string OsPrettyNameFrom(const std::string& osReleaseText);
// Total physical memory in bytes (0 when unknown).
std::int64_t TotalMemoryBytes();

struct FileSystemFacts {
  std::string mountPoint;
  std::string type;
  std::int64_t totalBytes = 0;
  std::int64_t freeBytes = 0;  // available to unprivileged users
};
// The file system holding path; false when it cannot be asked.
bool FileSystemOf(const std::string& path, FileSystemFacts& facts);

// Addresses of the machine's interfaces in text form (IPv4 dotted, IPv6 compressed), loopback
// and link-local addresses left out, in interface order without repeats.
std::vector<std::string> InterfaceAddresses();

// Highest processor clock the kernel reports, in MHz: the cpufreq maxima of the processors under
// cpuFolder (/sys/devices/system/cpu), else the "cpu MHz" lines of cpuinfoFile (/proc/cpuinfo);
// 0 when none.
double ReportedCpuMHz(const std::string& cpuFolder, const std::string& cpuinfoFile);
// Parses the text of /proc/cpuinfo for the highest "cpu MHz"; 0 when none.
double CpuMHzFromCpuinfo(const std::string& cpuinfoText);
// The processor's time-stamp counter measured against the monotonic clock over about
// sampleMs milliseconds, in MHz; 0 where there is no such counter.
double MeasuredCpuMHz(int sampleMs);

// Seconds of the monotonic clock.
double MonotonicSeconds();

// Path of the running executable; empty when unknown.
std::string ExecutablePath();

// Whole content of a small text file (procfs files included); false when it cannot be read.
bool ReadSmallFile(const std::string& path, std::string& text);

}  // namespace platform
