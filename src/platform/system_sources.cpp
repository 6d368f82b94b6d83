// Machine facts from the Linux interfaces.
#include "platform/system_sources.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <locale>
#include <sstream>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#define VUKO_HAVE_TSC 1
#endif

namespace platform {
namespace {

// Undoes the octal escapes (\040 for a blank) of /proc/self/mountinfo.
std::string Unescape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size()) {
      const std::string oct = s.substr(i + 1, 3);
      if (oct.size() == 3 &&
          std::all_of(oct.begin(), oct.end(), [](char c) { return c >= '0' && c <= '7'; })) {
        out += static_cast<char>(std::strtol(oct.c_str(), nullptr, 8));
        i += 3;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

std::string Unquote(std::string v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    v = v.substr(1, v.size() - 2);
  }
  return v;
}

}  // namespace

bool ReadSmallFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return true;
}

bool HostName(std::string& name) {
  char buffer[HOST_NAME_MAX + 1] = {};
  if (gethostname(buffer, sizeof buffer - 1) != 0) return false;
  name = buffer;
  return !name.empty();
}

bool UserName(std::string& name) {
  const uid_t uid = geteuid();
  std::vector<char> buffer(16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_name != nullptr && found->pw_name[0] != '\0') {
    name = found->pw_name;
    return true;
  }
  const char* env = std::getenv("USER");
  if (env != nullptr && env[0] != '\0') {
    name = env;
    return true;
  }
  return false;
}

std::string KernelRelease() {
  struct utsname u {};
  if (uname(&u) != 0) return {};
  return u.release;
}

bool KernelVersion(int& major, int& minor) {
  const std::string release = KernelRelease();
  return std::sscanf(release.c_str(), "%d.%d", &major, &minor) == 2;
}

std::string OsPrettyNameFrom(const std::string& osReleaseText) {
  std::istringstream in(osReleaseText);
  std::string line, pretty, plain;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("PRETTY_NAME=", 0) == 0) pretty = Unquote(line.substr(12));
    if (line.rfind("NAME=", 0) == 0) plain = Unquote(line.substr(5));
  }
  return pretty.empty() ? plain : pretty;
}

std::string OsPrettyName() {
  std::string text;
  if (ReadSmallFile("/etc/os-release", text) || ReadSmallFile("/usr/lib/os-release", text)) {
    return OsPrettyNameFrom(text);
  }
  return {};
}

std::int64_t TotalMemoryBytes() {
  struct sysinfo info {};
  if (sysinfo(&info) != 0) return 0;
  return static_cast<std::int64_t>(info.totalram) * static_cast<std::int64_t>(info.mem_unit);
}

bool FileSystemOf(const std::string& path, FileSystemFacts& facts) {
  struct statvfs vfs {};
  if (path.empty() || statvfs(path.c_str(), &vfs) != 0) return false;
  facts.totalBytes =
      static_cast<std::int64_t>(vfs.f_blocks) * static_cast<std::int64_t>(vfs.f_frsize);
  facts.freeBytes =
      static_cast<std::int64_t>(vfs.f_bavail) * static_cast<std::int64_t>(vfs.f_frsize);
  facts.mountPoint.clear();
  facts.type.clear();

  // The mount point is the longest mount point that is a prefix of the resolved path.
  char resolved[PATH_MAX];
  std::string real = realpath(path.c_str(), resolved) != nullptr ? resolved : path;
  std::string mountinfo;
  if (ReadSmallFile("/proc/self/mountinfo", mountinfo)) {
    std::istringstream in(mountinfo);
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream fields(line);
      std::string id, parent, dev, root, mount;
      fields >> id >> parent >> dev >> root >> mount;
      std::string field, type;
      while (fields >> field && field != "-") {
      }
      fields >> type;
      mount = Unescape(mount);
      const bool prefix = mount == "/" || real == mount || (real.rfind(mount + "/", 0) == 0);
      if (prefix && mount.size() >= facts.mountPoint.size()) {
        facts.mountPoint = mount;
        facts.type = type;
      }
    }
  }
  if (facts.mountPoint.empty()) facts.mountPoint = "/";
  return true;
}

std::vector<std::string> InterfaceAddresses() {
  std::vector<std::string> out;
  struct ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return out;
  for (struct ifaddrs* it = list; it != nullptr; it = it->ifa_next) {
    if (it->ifa_addr == nullptr || (it->ifa_flags & IFF_LOOPBACK) != 0) continue;
    char text[INET6_ADDRSTRLEN] = {};
    if (it->ifa_addr->sa_family == AF_INET) {
      const auto* a = reinterpret_cast<const sockaddr_in*>(it->ifa_addr);
      const std::uint32_t host = ntohl(a->sin_addr.s_addr);
      if ((host >> 24) == 127 || (host >> 16) == 0xA9FE) continue;  // loopback, link-local
      inet_ntop(AF_INET, &a->sin_addr, text, sizeof text);
    } else if (it->ifa_addr->sa_family == AF_INET6) {
      const auto* a = reinterpret_cast<const sockaddr_in6*>(it->ifa_addr);
      if (IN6_IS_ADDR_LOOPBACK(&a->sin6_addr) || IN6_IS_ADDR_LINKLOCAL(&a->sin6_addr)) continue;
      inet_ntop(AF_INET6, &a->sin6_addr, text, sizeof text);
    } else {
      continue;
    }
    if (std::find(out.begin(), out.end(), text) == out.end()) out.emplace_back(text);
  }
  freeifaddrs(list);
  return out;
}

double CpuMHzFromCpuinfo(const std::string& cpuinfoText) {
  std::istringstream in(cpuinfoText);
  std::string line;
  double best = 0;
  while (std::getline(in, line)) {
    if (line.rfind("cpu MHz", 0) != 0) continue;
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    // procfs writes with a "." whatever the locale; parse it the same way.
    double value = 0;
    std::istringstream number(line.substr(colon + 1));
    number.imbue(std::locale::classic());
    if (number >> value) best = std::max(best, value);
  }
  return best;
}

double ReportedCpuMHz(const std::string& cpuFolder, const std::string& cpuinfoFile) {
  double best = 0;
  for (int cpu = 0; cpu < 1024; ++cpu) {
    std::string text;
    const std::string base = cpuFolder + "/cpu" + std::to_string(cpu);
    if (!ReadSmallFile(base + "/cpufreq/cpuinfo_max_freq", text)) {
      if (cpu > 0 && access(base.c_str(), F_OK) != 0) break;
      continue;
    }
    best = std::max(best, std::atof(text.c_str()) / 1000.0);  // kHz
  }
  if (best > 0) return best;
  std::string cpuinfo;
  if (ReadSmallFile(cpuinfoFile, cpuinfo)) return CpuMHzFromCpuinfo(cpuinfo);
  return 0;
}

double MonotonicSeconds() {
  struct timespec ts {};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double MeasuredCpuMHz(int sampleMs) {
#ifdef VUKO_HAVE_TSC
  const double t0 = MonotonicSeconds();
  const unsigned long long c0 = __rdtsc();
  struct timespec pause {
    sampleMs / 1000, static_cast<long>(sampleMs % 1000) * 1000000L
  };
  while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
  }
  const unsigned long long c1 = __rdtsc();
  const double t1 = MonotonicSeconds();
  if (t1 <= t0 || c1 <= c0) return 0;
  return static_cast<double>(c1 - c0) / (t1 - t0) / 1e6;
#else
  (void)sampleMs;
  return 0;
#endif
}

std::string ExecutablePath() {
  char buffer[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  return std::string(buffer, static_cast<std::size_t>(n));
}

}  // namespace platform
