#include "engine/unique_fd.h"

#include <unistd.h>

namespace tervando {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    Reset();
    m_fd = other.Release();
  }
  return *this;
}

int UniqueFd::Release() {
  const int fd = m_fd;
  m_fd = -1;
  return fd;
}

void UniqueFd::Reset() {
  if (m_fd >= 0) {
    ::close(m_fd);
    m_fd = -1;
  }
}

int UniqueFd::Close() {
  const int result = ::close(m_fd);
  m_fd = -1;
  return result;
}

}  // namespace tervando
