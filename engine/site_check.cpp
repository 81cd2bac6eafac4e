#include "engine/site_check.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <exception>
#include <mutex>
#include <unordered_map>

#include "engine/favicon_file.h"
#include "engine/page_file.h"
#include "engine/parallel.h"
#include "engine/paths.h"

namespace tervando {

namespace {

// Every page of a folder level asks for the same favicon.ico: each path is looked at once.
class FaviconPresence {
 public:
  FaviconPresence(const FolderRef& root, const std::string& webRoot)
      : m_root(root), m_webRoot(webRoot) {}

  bool Has(const std::string& path) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto [known, added] = m_known.try_emplace(path, false);
    if (added) {
      known->second = Look(path);
    }
    return known->second;
  }

 private:
  bool Look(const std::string& path) const {
    if (!m_root) {
      return FileExists(path);
    }
    const std::size_t slash = path.rfind('/');
    if (!LiesUnderWebRoot(path, m_webRoot) || path.compare(slash + 1, 1, ".") == 0) {
      return false;
    }
    const UniqueFd file(OpenBelow(m_root->Fd(), path.substr(m_webRoot.size()), O_PATH));
    struct stat info {};
    return file.Get() >= 0 && ::fstat(file.Get(), &info) == 0 && S_ISREG(info.st_mode);
  }

  const FolderRef& m_root;
  const std::string& m_webRoot;
  std::mutex m_mutex;
  std::unordered_map<std::string, bool> m_known;
};

}  // namespace

std::vector<PageCheck> CheckPages(const FolderRef& root, const std::string& webRoot,
                                  const std::vector<std::string>& paths,
                                  const IconBlockOptions& block,
                                  const std::string& faviconLinkPrefix, int webRootDepth,
                                  int threads, std::stop_token stop) {
  FaviconPresence presence(root, webRoot);
  const FaviconExists exists = [&presence](const std::string& path) { return presence.Has(path); };
  std::vector<PageCheck> checks(paths.size());
  ForEachInParallel(paths.size(), threads, [&](std::size_t i) {
    if (stop.stop_requested()) {
      return;
    }
    try {
      const std::string text =
          root ? ReadFileBelow(*root, webRoot, paths[i]).bytes : ReadWholeFile(paths[i]);
      checks[i] = ClassifyPage(text, paths[i], block, faviconLinkPrefix, webRootDepth, exists);
    } catch (const std::exception&) {
      checks[i] = {PageClass::kUnreadable, 0, 0};  // the run would report it as failed
    }
  });
  return checks;
}

std::optional<PageClass> ListMark(const PageCheck& check) {
  if (check.pageClass == PageClass::kOtherIcon || check.otherIconLine > 0) {
    return PageClass::kOtherIcon;
  }
  // A page without <head> gets no icon: the list marks it although --check passes it.
  if (check.pageClass == PageClass::kWouldChange ||
      (!NeedsAttention(check.pageClass) && check.pageClass != PageClass::kNoHead)) {
    return std::nullopt;
  }
  return check.pageClass;
}

}  // namespace tervando
