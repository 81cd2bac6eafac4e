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
  m_done = false;
  m_thread = std::jthread([this, root = std::move(root), webRoot = std::move(webRoot),
                           pages = std::move(pages), block, prefix = std::move(faviconLinkPrefix),
                           webRootDepth](std::stop_token stop) mutable {
    std::erase_if(pages,
                  [&webRoot](const auto& page) { return !LiesUnderWebRoot(page.second, webRoot); });
    std::vector<std::string> paths;
    for (std::size_t first = 0; first < pages.size() && !stop.stop_requested(); first += kSlice) {
      const std::size_t end = std::min(pages.size(), first + kSlice);
      paths.clear();
      for (std::size_t i = first; i < end; ++i) {
        paths.emplace_back(pages[i].second);
      }
      const std::vector<PageCheck> checks =
          CheckPages(root, webRoot, paths, block, prefix, webRootDepth, 1, stop);
      if (stop.stop_requested()) {
        break;
      }
      const std::lock_guard lock(m_mutex);
      for (std::size_t i = 0; i < checks.size(); ++i) {
        if (const std::optional<PageClass> mark = ListMark(checks[i])) {
          m_pending.emplace_back(pages[first + i].first, *mark);
        }
      }
    }
    m_done = true;
  });
  m_timer.start();
}

void BackgroundPageCheck::Stop() {
  m_timer.stop();
  if (m_thread.joinable()) {
    m_thread.request_stop();
    m_thread.join();
  }
  m_thread = {};
  m_done = true;
  const std::lock_guard lock(m_mutex);
  m_pending.clear();
}

void BackgroundPageCheck::HandOver() {
  const bool last = m_done;  // read first: what the thread found before it ended is taken
  Batch batch;
  {
    const std::lock_guard lock(m_mutex);
    batch.swap(m_pending);
  }
  if (!batch.empty()) {
    emit Checked(batch, m_remove, m_modern);
  }
  if (last) {
    m_timer.stop();
  }
}

}  // namespace tervando
