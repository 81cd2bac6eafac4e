#include "engine/file_attributes.h"

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string_view>
#include <vector>

#include "engine/errors.h"
#include "engine/messages_files.h"
#include "engine/unique_fd.h"

namespace tervando {

namespace {

constexpr char kAccessAcl[] = "system.posix_acl_access";

bool Unsupported(int errnoValue) { return errnoValue == ENOTSUP || errnoValue == EOPNOTSUPP; }

// Written by the kernel for every file it measures; a copy would be refused or wrong.
bool KeptByKernel(std::string_view name) {
  return name == "security.ima" || name == "security.evm";
}

// Calls `get` with a buffer as large as it asks for, again while what it reads grows meanwhile.
// Returns the bytes, or sets `failure` to errno (0 when the file has no attributes at all).
std::string ReadSized(const std::function<ssize_t(char*, std::size_t)>& get, int& failure) {
  failure = 0;
  while (true) {
    const ssize_t size = get(nullptr, 0);
    if (size < 0) {
      failure = errno;
      return {};
    }
    if (size == 0) {
      return {};  // most files have no attributes: nothing more to ask
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    const ssize_t got = get(bytes.data(), bytes.size());
    if (got >= 0) {
      bytes.resize(static_cast<std::size_t>(got));
      return bytes;
    }
    if (errno != ERANGE) {
      failure = errno;
      return {};
    }
  }
}

// The old file's attributes, read through its descriptor, or through /proc by an O_PATH handle
// for a file this process may replace but not read.
class AttributeSource {
 public:
  AttributeSource(int fd, std::string procPath) : m_fd(fd), m_procPath(std::move(procPath)) {}

  std::string List(int& failure) const {
    return ReadSized(
        [this](char* buffer, std::size_t size) {
          return m_fd >= 0 ? ::flistxattr(m_fd, buffer, size)
                           : ::listxattr(m_procPath.c_str(), buffer, size);
        },
        failure);
  }
  std::string Value(const char* name, int& failure) const {
    return ReadSized(
        [this, name](char* buffer, std::size_t size) {
          return m_fd >= 0 ? ::fgetxattr(m_fd, name, buffer, size)
                           : ::getxattr(m_procPath.c_str(), name, buffer, size);
        },
        failure);
  }

 private:
  int m_fd;
  std::string m_procPath;
};

bool Copy(const AttributeSource& from, int to, const std::string& shownPath) {
  int failure = 0;
  const std::string names = from.List(failure);
  if (failure != 0 && !Unsupported(failure)) {
    throw FileError(failure, kReadAttributesText, shownPath);
  }
  bool hasAcl = false;
  for (std::size_t start = 0; start < names.size();) {
    const std::string name(names.c_str() + start);
    start += name.size() + 1;
    if (name.empty() || KeptByKernel(name)) {
      continue;
    }
    hasAcl = hasAcl || name == kAccessAcl;
    const std::string value = from.Value(name.c_str(), failure);
    if (failure == ENODATA) {
      continue;  // taken away meanwhile
    }
    if (failure != 0) {
      throw FileError(failure, kReadAttributesText, shownPath);
    }
    if (::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0) {
      const int setFailure = errno;
      int readFailure = 0;
      const std::string present = AttributeSource(to, {}).Value(name.c_str(), readFailure);
      if (readFailure != 0 || present != value) {  // a label the new file got anyway is kept
        throw FileError(setFailure, AttributeNotKeptText(name), shownPath);
      }
    }
  }
  if (!hasAcl && ::fremovexattr(to, kAccessAcl) != 0 && errno != ENODATA && !Unsupported(errno)) {
    throw FileError(errno, AttributeNotKeptText(kAccessAcl), shownPath);
  }
  return hasAcl;
}

}  // namespace

bool CopyExtendedAttributes(int from, int to, const std::string& shownPath) {
  return Copy(AttributeSource(from, {}), to, shownPath);
}

bool CopyExtendedAttributesOf(int folder, const std::string& name, int to,
                              const std::string& shownPath) {
  UniqueFd file(::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  const bool readable = file.Get() >= 0;
  if (!readable && errno == EACCES) {
    file = UniqueFd(::openat(folder, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
  }
  if (file.Get() < 0) {
    throw FileError(errno, kReadAttributesText, shownPath);
  }
  return Copy(readable ? AttributeSource(file.Get(), {})
                       : AttributeSource(-1, "/proc/self/fd/" + std::to_string(file.Get())),
              to, shownPath);
}

}  // namespace tervando
