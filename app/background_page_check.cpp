#include "app/background_page_check.h"

#include <algorithm>

#include "engine/paths.h"
#include "engine/site_check.h"

namespace tervando {

namespace {
constexpr std::size_t kSlice = 64;  // pages read between two looks at the stop request
constexpr int kHandOverMs = 50;
}  // namespace

BackgroundPageCheck::BackgroundPageCheck(QObject* parent) : QObject(parent) {
  m_timer.setInterval(kHandOverMs);
  connect(&m_timer, &QTimer::timeout, this, &BackgroundPageCheck::HandOver);
}

BackgroundPageCheck::~BackgroundPageCheck() { Stop(); }

void BackgroundPageCheck::Start(FolderRef root, std::string webRoot,
                                std::vector<std::pair<std::uint32_t, std::string_view>> pages,
                                IconBlockOptions block, std::string faviconLinkPrefix,
                                int webRootDepth) {
  Stop();
  m_remove = block.remove;
  m_modern = block.LinksSetFiles();
  m_shared = std::make_shared<Shared>();
  m_thread = std::jthread([shared = m_shared, root = std::move(root), webRoot = std::move(webRoot),
                           pages = std::move(pages), block, prefix = std::move(faviconLinkPrefix),
                           webRootDepth](std::stop_token stop) mutable {
    // The paths are read under the lock only, so Stop waits at most for one slice of them.
    std::vector<std::string> paths;
    for (std::size_t first = 0; first < pages.size() && !stop.stop_requested(); first += kSlice) {
      const std::size_t end = std::min(pages.size(), first + kSlice);
      std::vector<std::uint32_t> ids;
      paths.clear();
      {
        const std::lock_guard lock(shared->mutex);
        if (shared->pathsGone) {
          break;
        }
        for (std::size_t i = first; i < end; ++i) {
          if (LiesUnderWebRoot(pages[i].second, webRoot)) {
            ids.push_back(pages[i].first);
            paths.emplace_back(pages[i].second);
          }
        }
      }
      const std::vector<PageCheck> checks =
          CheckPages(root, webRoot, paths, block, prefix, webRootDepth, 1, stop);
      if (stop.stop_requested()) {
        break;
      }
      const std::lock_guard lock(shared->mutex);
      for (std::size_t i = 0; i < checks.size(); ++i) {
        if (const std::optional<PageClass> mark = ListMark(checks[i])) {
          shared->pending.emplace_back(ids[i], *mark);
        }
      }
    }
    shared->done = true;
  });
  m_timer.start();
}

void BackgroundPageCheck::Stop() {
  m_timer.stop();
  if (m_shared) {
    {
      const std::lock_guard lock(m_shared->mutex);
      m_shared->pathsGone = true;
      m_shared->pending.clear();
    }
    m_thread.request_stop();
    m_stopped.push_back({std::move(m_shared), std::move(m_thread)});
    m_shared.reset();
    m_thread = {};
  }
  JoinEnded();
}

void BackgroundPageCheck::JoinEnded() {
  std::erase_if(m_stopped, [](const Stopped& stopped) { return stopped.shared->done.load(); });
}

void BackgroundPageCheck::HandOver() {
  if (!m_shared) {
    return;
  }
  const bool last = m_shared->done;  // read first: what the thread found before it ended is taken
  Batch batch;
  {
    const std::lock_guard lock(m_shared->mutex);
    batch.swap(m_shared->pending);
  }
  if (!batch.empty()) {
    emit Checked(batch, m_remove, m_modern);
  }
  if (last) {
    m_timer.stop();
  }
}

}  // namespace tervando
