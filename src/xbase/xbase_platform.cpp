// Operating-system services of the dBASE table library on Linux. Byte-range locks are
// open-file-description locks (F_OFD_SETLK): they belong to one open of a file, as the
// library's locks must, so two opens in one process exclude each other and closing one open
// never drops the locks of another. Share modes are emulated with flock on the whole file.
#include "xbase/xbase_platform.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

std::uint16_t DosCodeOfErrno(int err) {
  switch (err) {
    case 0:
      return 0;
    case ENOENT:
      return 2;
    case ENOTDIR:
      return 3;
    case EMFILE:
    case ENFILE:
      return 4;
    case EACCES:
    case EPERM:
    case EISDIR:
      return 5;
    case EBADF:
      return 6;
    case ENOMEM:
      return 8;
    case EINVAL:
      return 12;
    case EROFS:
      return 19;
    case EWOULDBLOCK:
      return 32;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return 101;
    case EIO:
      return 31;
    default:
      return 31;
  }
}

int XbOpenFile(const std::string& path, bool exclusive, bool readOnly, std::uint16_t& code) {
  const int fd = ::open(path.c_str(), (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
  if (fd < 0) {
    code = DosCodeOfErrno(errno);
    return -1;
  }
  if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
    const int err = errno;
    ::close(fd);
    code = (err == EWOULDBLOCK) ? 32 : DosCodeOfErrno(err);
    return -1;
  }
  code = 0;
  return fd;
}

int XbCreateFile(const std::string& path, std::uint16_t& code) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    code = DosCodeOfErrno(errno);
    return -1;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    // Someone has it open: do not truncate a file in use.
    ::close(fd);
    code = 32;
    return -1;
  }
  if (::ftruncate(fd, 0) != 0) {
    code = DosCodeOfErrno(errno);
    ::close(fd);
    return -1;
  }
  code = 0;
  return fd;
}

std::uint16_t XbCloseFile(int handle) {
  if (handle < 0) return 6;
  return ::close(handle) == 0 ? 0 : DosCodeOfErrno(errno);
}

std::uint16_t XbLockBytes(int handle, bool unlock, std::uint64_t offset, std::uint64_t length) {
  struct flock lock {};
  lock.l_type = unlock ? F_UNLCK : F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(offset);
  lock.l_len = static_cast<off_t>(length);
  lock.l_pid = 0;
  if (::fcntl(handle, F_OFD_SETLK, &lock) == 0) return 0;
  const int err = errno;
  if (err == EAGAIN || err == EACCES) return 33;
  return DosCodeOfErrno(err);
}

std::uint16_t XbShareBytes(int handle, bool unlock, std::uint64_t offset, std::uint64_t length) {
  struct flock lock {};
  lock.l_type = unlock ? F_UNLCK : F_RDLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(offset);
  lock.l_len = static_cast<off_t>(length);
  if (::fcntl(handle, F_OFD_SETLK, &lock) == 0) return 0;
  const int err = errno;
  return (err == EAGAIN || err == EACCES) ? 33 : DosCodeOfErrno(err);
}

bool XbBytesHeldByOthers(int handle, std::uint64_t offset, std::uint64_t length) {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(offset);
  lock.l_len = static_cast<off_t>(length);
  // Locks of this open never conflict with a lock it asks for, so only others are reported.
  if (::fcntl(handle, F_OFD_GETLK, &lock) != 0) return true;
  return lock.l_type != F_UNLCK;
}

std::uint32_t TickCount() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void SleepMs(unsigned ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::int64_t XbFileSize(int handle) {
  struct stat st {};
  if (::fstat(handle, &st) != 0) return -1;
  return st.st_size;
}
