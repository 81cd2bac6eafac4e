#pragma once

namespace tervando {

// An open file descriptor with one owner, closed with it.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : m_fd(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : m_fd(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { Reset(); }
  int Get() const { return m_fd; }
  int Release();
  void Reset();
  // Closes now so a failing close (delayed write error) is seen; -1 sets errno.
  int Close();

 private:
  int m_fd = -1;
};

}  // namespace tervando
