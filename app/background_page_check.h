#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <memory>
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
  // Ends the check and drops what it has not handed over yet; returns at once, without waiting
  // for the page the check reads (on a slow or stalled disk that may take long). The thread
  // finishes that page on its own and touches neither the paths nor the window any more.
  void Stop();
  bool Running() const { return m_shared && !m_shared->done; }

 signals:
  // Pages the list marks (with the mode and set they were checked for), on the window's thread.
  void Checked(const BackgroundPageCheck::Batch& batch, bool remove, bool modern);

 private:
  // What the window and one check's thread share; a stopped check keeps its own until its
  // thread ends.
  struct Shared {
    std::mutex mutex;
    Batch pending;           // filled by the thread, taken by the timer
    bool pathsGone = false;  // stopped: the paths may go, the thread reads none of them again
    std::atomic<bool> done{false};
  };
  struct Stopped {
    std::shared_ptr<Shared> shared;
    std::jthread thread;
  };

  void HandOver();
  void JoinEnded();  // the stopped checks whose threads have ended

  bool m_remove = false;
  bool m_modern = false;  // the set's files beside favicon.ico are looked for too
  QTimer m_timer;
  std::shared_ptr<Shared> m_shared;  // of the check in work
  std::jthread m_thread;
  std::vector<Stopped> m_stopped;  // last: joined when the check goes
};

}  // namespace tervando
