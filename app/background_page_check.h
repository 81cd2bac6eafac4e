#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "engine/page_check.h"
#include "engine/page_walk.h"

namespace tervando {

// The page check of a freshly filled list, off the window's thread: the pages are read and
// classified on one thread of their own, a slice at a time, and what needs attention is handed
// to the window in batches on its timer. One thread only, so the check does not crowd out the
// window or a following command; Stop ends it before the list changes under it.
class BackgroundPageCheck : public QObject {
  Q_OBJECT

 public:
  using Batch = std::vector<std::pair<std::uint32_t, PageClass>>;  // row id, ListMark

  explicit BackgroundPageCheck(QObject* parent = nullptr);
  ~BackgroundPageCheck() override;

  // Checks those of these pages (row id, path) that lie below the web root held open as
  // `root`; a check still going is stopped first. The paths must stay until Stop.
  void Start(FolderRef root, std::string webRoot,
             std::vector<std::pair<std::uint32_t, std::string_view>> pages, IconBlockOptions block,
             std::string faviconLinkPrefix, int webRootDepth);
  // Ends the check and drops what it has not handed over yet; returns at once after the slice
  // in work (a few hundred pages).
  void Stop();
  bool Running() const { return m_thread.joinable() && !m_done; }

 signals:
  // Pages the list marks (with the mode and set they were checked for), on the window's thread.
  void Checked(const BackgroundPageCheck::Batch& batch, bool remove, bool modern);

 private:
  void HandOver();

  std::mutex m_mutex;
  Batch m_pending;  // filled by the thread, taken by the timer
  bool m_remove = false;
  bool m_modern = false;  // the set's files beside favicon.ico are looked for too
  std::atomic<bool> m_done{true};
  QTimer m_timer;
  std::jthread m_thread;
};

}  // namespace tervando
