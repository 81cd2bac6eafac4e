#pragma once

#include <filesystem>
#include <string>

namespace tervando::test {

// A fresh folder under the temporary folder, removed with everything in it at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder's path, ending with '/'.
  const std::string& Path() const { return m_path; }

  // Writes `bytes` to Path() + relative, creating the folders on the way; returns the path.
  std::string Write(const std::string& relative, const std::string& bytes) const;
  std::string MakeFolder(const std::string& relative) const;

 private:
  std::string m_path;
};

std::string ReadFile(const std::string& path);

}  // namespace tervando::test
