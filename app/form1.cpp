#include "app/form1.h"

#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QTimer>
#include <chrono>
#include <future>
#include <memory>

#include "app/app_settings.h"
#include "app/browse_for_folder.h"
#include "app/form1_layout.h"
#include "app/show_once_notice.h"
#include "engine/favicon_file.h"
#include "engine/head_editor.h"
#include "engine/internal_error.h"
#include "engine/interrupt.h"
#include "engine/messages.h"
#include "engine/messages_window.h"
#include "engine/paths.h"
#include "engine/site_check.h"
#include "engine/start.h"
#include "icons/icon_catalogue.h"
#include "icons/icon_image.h"
#include "icons/sel_icon_dialog.h"
#include "icons/site_icon_set.h"
#include "site/collation.h"
#include "site/options.h"
#include "site/scan_warnings.h"
#include "site/system_folder.h"
#include "site/web_root.h"
#include "support/artwork.h"
#include "support/crisp_pixmap.h"
#include "support/elided_label.h"
#include "support/info_form_freeware.h"
#include "support/on_click.h"
#include "support/open_with_shell.h"
#include "support/show_help.h"
#include "support/window_messages.h"
#include "support/write_log.h"
#include "ui_form1.h"

namespace tervando {

namespace {
constexpr int kCountPanelWidth = 96;
constexpr char kWindowSizeKey[] = "WindowSize";
constexpr char kLastWebRootKey[] = "LastWebRoot";
constexpr char kFaviconSetKey[] = "FaviconSet";             // "klassisch" or "modern"
constexpr char kForeignIconsKey[] = "DisableForeignIcons";  // "1" or "0"
// The fill shows new rows, its status text and progress at most this often: a person sees the
// same, and laying out a label's text for every page would cost the fill most of its time.
constexpr qint64 kShowInterval = 50;
// The fill inserts rows for at most this long before the window handles its events again.
constexpr qint64 kFillSliceMs = 8;
// Below this the collation is quicker than handing it to the worker.
constexpr int kCollateAsideRows = 2000;

// Commands that would change the list, the icon or the web root under the work going on, or
// start a second one: the list ("Zurücksetzen", "&Pfad"), the icon, Start and the current
// favicon. Marks, selection, sorting, help, info and "&Ende" stay live (the run reads a row's
// mark at its turn and keeps its own order of the rows).
bool WaitsForTheWork(int index) {
  return index == 0 || index == 4 || index == 7 || index == 8 || index == 11;
}

QSize ScreenSize(const QWidget& widget) {
  const QScreen* screen = widget.screen() ? widget.screen() : QGuiApplication::primaryScreen();
  return screen ? screen->geometry().size() : QSize(1024, 768);
}
}  // namespace

Form1::Form1(Desktop& desktop, ActivityLog& log, QWidget* parent)
    : QWidget(parent),
      m_desktop(desktop),
      m_log(log),
      m_ui(std::make_unique<::Ui::Form1>()),
      m_relay(
          *this, *this,
          [this] {
            ShowPending();
            ShowLogFailureOnce();
          },
          [this](const std::string& line) { WriteLogLine(line); }, [this] { WaitForLog(); }) {
  m_ui->setupUi(this);
  // The engine's text routines have no window; their internal errors show as the window's box.
  SetInternalErrorHook([&desktop](const std::string& text) { desktop.ShowMessage({text}); });
  SetUpControls();
  m_sinceShown.start();
  m_interrupts = std::make_unique<InterruptScope>();
  m_interrupted =
      std::make_unique<QSocketNotifier>(m_interrupts->NotifyDescriptor(), QSocketNotifier::Read);
  connect(m_interrupted.get(), &QSocketNotifier::activated, this, [this](QSocketDescriptor fd) {
    char bytes[64];
    while (::read(static_cast<int>(fd), bytes, sizeof bytes) > 0) {
    }
    EndProgram();
  });
}

Form1::~Form1() {
  if (m_worker.joinable()) {
    m_worker.request_stop();
    m_worker.join();
  }
  SetInternalErrorHook({});
}

void Form1::SetUpControls() {
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
  setWindowIcon(ArtworkIcon(Artwork::kWindowIcon));
  setAcceptDrops(true);
  auto* help = new QShortcut(QKeySequence::HelpContents, this);
  connect(help, &QShortcut::activated, this, [this] { BtnClick(10); });
  auto* stop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(stop, &QShortcut::activated, this, &Form1::StopRun);
  connect(m_ui->StopRunBtn, &QPushButton::clicked, this, &Form1::StopRun);

  const std::pair<QAbstractButton*, int> buttons[] = {
      {m_ui->Btn_0, 0},   {m_ui->Btn_1, 1},   {m_ui->Btn_2, 2},  {m_ui->Btn_3, 3}, {m_ui->Btn_4, 4},
      {m_ui->Btn_5, 5},   {m_ui->Btn_6, 6},   {m_ui->Btn_7, 7},  {m_ui->Btn_8, 8}, {m_ui->Btn_9, 9},
      {m_ui->Btn_10, 10}, {m_ui->Btn_11, 11}, {m_ui->Btn_25, 25}};
  for (const auto& [button, id] : buttons) {
    m_btn.addButton(button, id);
    // Enter presses the focused button, as Space does.
    static_cast<QPushButton*>(button)->setAutoDefault(true);
  }
  connect(&m_btn, &QButtonGroup::idClicked, this, &Form1::BtnClick);
  m_setUnsetFaviconOPT.addButton(m_ui->SetUnsetFaviconOPT_0, 0);
  m_setUnsetFaviconOPT.addButton(m_ui->SetUnsetFaviconOPT_1, 1);
  // The first option's box reaches into the second one's round box; the second lies on top
  // so a click there selects it.
  m_ui->SetUnsetFaviconOPT_1->raise();
  connect(&m_setUnsetFaviconOPT, &QButtonGroup::idClicked, this, &Form1::SetUnsetFaviconOPTClick);
  m_faviconSetOPT.addButton(m_ui->FaviconSetOPT_0, 0);
  m_faviconSetOPT.addButton(m_ui->FaviconSetOPT_1, 1);
  // The marks follow the set, the foreign-links box and the mode: the rows are read again aside.
  connect(&m_faviconSetOPT, &QButtonGroup::idClicked, this, [this] {
    SaveFaviconSetChoice();
    RecheckPages();
  });
  connect(m_ui->ForeignIconsCHK, &QCheckBox::clicked, this, [this] {
    SaveFaviconSetChoice();
    RecheckPages();
  });
  m_ui->Btn_11->setIcon(ArtworkIcon(Artwork::kCurrentFavicon));

  m_ui->Liste->setModel(&m_pageList);
  connect(&m_pageList, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& first, const QModelIndex& last, const QList<int>& roles) {
            if (roles.contains(Qt::CheckStateRole)) {
              PassMarksToRun(first, last);
            }
          });
  connect(&m_pageCheck, &BackgroundPageCheck::Checked, this,
          [this](const BackgroundPageCheck::Batch& batch, bool remove, bool modern) {
            m_pageList.SetChecks(batch, remove, modern);
          });
  // The column is as wide as the list; a long path loses its middle, not its page name, and
  // shows whole as the row's tooltip.
  m_ui->Liste->setTextElideMode(Qt::ElideMiddle);
  QHeaderView* header = m_ui->Liste->header();
  header->setStretchLastSection(true);
  header->setSectionsClickable(true);
  connect(header, &QHeaderView::sectionClicked, this,
          [this](int section) { ListeColumnClick(section + 1); });
  connect(m_ui->Liste, &QTreeView::doubleClicked, this, [this] { ListeDblClick(); });
  // The heading shows the order once the list is sorted.
  header->setSortIndicatorShown(false);
  connect(&m_pageList, &QAbstractItemModel::layoutChanged, this, [this, header] {
    header->setSortIndicatorShown(m_pageList.Sorted());
    header->setSortIndicator(
        0, m_pageList.Order() == SortOrder::Ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
  });

  m_countPanel = new QLabel(m_ui->Status);
  m_countPanel->setMinimumWidth(kCountPanelWidth);  // wider where the font needs it
  m_textPanel = new QLabel(m_ui->Status);
  m_ui->Status->addWidget(m_countPanel);
  m_ui->Status->addWidget(m_textPanel, 1);

  m_ui->Picture1->setPixmap(ArtworkPixmap(Artwork::kFavouritesPicture));
  m_ui->Image2->setPixmap(ArtworkPixmap(Artwork::kMakerBanner));
  m_ui->Image2->setCursor(ArtworkCursor());
  OnClick(m_ui->Picture1, [this] { OpenMakerSite(m_desktop); });
  OnClick(m_ui->Image2, [this] { OpenMakerSite(m_desktop); });
  SetAccessibleNames();

  m_ui->LocalWebRootLBL->setText(QString::fromUtf8(kNoWebRootText));
  m_layout = new Form1Layout(*m_ui, *this);
  const QSize available = screen() ? screen()->availableGeometry().size() : ScreenSize(*this);
  resize(m_layout->OpeningSize(available));
}

void Form1::SetAccessibleNames() {
  m_ui->Liste->setAccessibleName(QString::fromUtf8(kPageListHeading));
  m_ui->Bar->setAccessibleName(QString::fromUtf8(kProgressBarName));
  m_ui->Picture1->setAccessibleName(QString::fromUtf8(kFavouritesPictureName));
  m_ui->Image2->setAccessibleName(QString::fromUtf8(kMakerLogoName));
  for (QLabel* picture : {m_ui->Picture1, m_ui->Image2}) {
    picture->setAccessibleDescription(picture->toolTip().isEmpty() ? m_ui->Image2->toolTip()
                                                                   : picture->toolTip());
  }
  m_ui->IconPreviewImg->setAccessibleName(QString::fromUtf8(kFaviconPreviewName));
  m_ui->Btn_11->setAccessibleName(m_ui->Btn_11->toolTip());
}

void Form1::SaveWindowSize() {
  if (!isMaximized() && !isFullScreen()) {
    SaveAppSetting(kWindowSizeKey, std::to_string(width()) + "x" + std::to_string(height()));
  }
}

void Form1::FormLoad(const std::string& startFolder) {
  setWindowTitle(QString::fromUtf8(kProgramTitle));
  ResetPageList();
  m_options = ReadOptions();
  m_state.defaultIcon = DefaultIconFile();
  ReadFaviconSetChoice();
  // The size the user last gave the window, never below what its font needs.
  const QString saved = QString::fromStdString(GetAppSetting(kWindowSizeKey));
  const QStringList sides = saved.split(QLatin1Char('x'));
  if (sides.size() == 2) {
    const QSize available = screen() ? screen()->availableGeometry().size() : ScreenSize(*this);
    resize(QSize(sides[0].toInt(), sides[1].toInt()).boundedTo(available).expandedTo(size()));
  }
  PlaceByFrame(*this, ScreenSize(*this), CenteredPosition);
  // "&Pfad" is first in the tab order: Space right after start chooses the web root.
  m_ui->Btn_4->setFocus(Qt::OtherFocusReason);
  show();
  // The notice belongs in front of the window, so it waits until the window is on screen.
  QTimer::singleShot(0, this, [this, startFolder] {
    ShowOnceNotice(m_desktop);
    if (startFolder.empty()) {
      return;
    }
    if (!QFileInfo(QFile::decodeName(QByteArray::fromStdString(startFolder))).isDir()) {
      m_desktop.ShowMessage(NoFolderMessage(startFolder));
      return;
    }
    ChooseWebRoot(startFolder);
  });
}

void Form1::BtnClick(int index) {
  if (Busy() && WaitsForTheWork(index)) {
    return;
  }
  switch (index) {
    case 0:
      ResetPageList();
      FocusList();
      break;
    case 1:
      ListeSelect(1);
      FocusList();
      break;
    case 2:
      ListeSelect(0);
      FocusList();
      break;
    case 3:
      ListeSelect(2);
      FocusList();
      break;
    case 4:
      ChooseWebRoot();
      break;
    case 5:
      ListeSelect(101);
      FocusList();
      break;
    case 6:
      ListeSelect(102);
      FocusList();
      break;
    case 7:
      ChooseIcon();
      break;
    case 8:
      StartRun();
      break;
    case 9:
      EndProgram();
      break;
    case 10:
      ShowHelp(m_desktop);
      break;
    case 11:
      ShowCurrentFavicon();
      break;
    case 25:
      ShowInfoForm();
      break;
    default:
      break;
  }
}

void Form1::SetUnsetFaviconOPTClick(int) {
  m_ui->FaviconSelFrame->setEnabled(m_ui->SetUnsetFaviconOPT_0->isChecked());
  if (m_runRemove) {
    m_runRemove->store(RemoveMode(), std::memory_order_relaxed);  // from the next page on
  }
  RecheckPages();
}

void Form1::RecheckPages() {
  if (!Busy() && !m_state.webRoot.empty()) {
    CheckPagesAside();
  }
}

void Form1::ChooseWebRoot() {
  // The dialog opens where the last web root lay, also in a new session.
  const std::string start =
      m_state.webRoot.empty() ? GetAppSetting(kLastWebRootKey) : m_state.webRoot;
  const std::string folder = m_desktop.ChooseFolder(this, kWebRootPrompt, start);
  if (folder.empty()) {
    return;
  }
  ChooseWebRoot(folder);
}

void Form1::ChooseWebRoot(const std::string& folder) {
  if (Busy() || folder.empty()) {
    return;
  }
  if (IsSystemFolder(folder)) {
    Ask(NoticeMessage({NoticeKind::kSystemFolder, folder, {}}));
    return;
  }
  m_skipped = {};
  m_pageCheck.Stop();
  SetBusy(true);
  m_pageList.SetSorted(false);
  SetProgressRange(0, 2);
  SetProgressValue(1);
  BeginWork(Work::kScan, [this, folder, options = m_options,
                          defaultIcon = m_state.defaultIcon](std::stop_token stop) {
    auto found = std::make_shared<WebRootScan>(ScanChosenWebRoot(
        folder, options, [&stop] { return stop.stop_requested() || Interrupted(); }));
    // The preview shows the new root's own favicon.ico, read here, off the window's thread.
    SiteState site;
    site.webRoot = found->webRoot;
    site.webRootFolder = found->scan.rootFolder;
    site.defaultIcon = defaultIcon;
    RefreshFaviconPreview(site);
    // Remembered here: the settings file is flushed to the disk, which may wait behind other
    // writes, and the window's thread never waits for the disk.
    if (!site.webRoot.empty() && !stop.stop_requested()) {
      SaveAppSetting(kLastWebRootKey, site.webRoot);
    }
    m_relay.Post(
        [this, found, preview = std::move(site.preview)] { ScanDone(std::move(*found), preview); });
  });
}

void Form1::BeginWork(Work work, std::function<void(std::stop_token)> job) {
  m_work = work;
  m_sinceShown.start();
  if (m_worker.joinable()) {
    m_worker.join();  // the last work has posted its end; its thread is about to finish
  }
  m_worker = std::jthread(std::move(job));
  m_relay.WatchStop(m_worker.get_stop_token());
}

void Form1::EndWork() {
  m_relay.Deliver();
  ShowPending();
  m_work = Work::kNone;
  if (!Busy()) {
    emit WorkDone();
  }
  if (m_ending) {
    QCoreApplication::quit();  // the pages begun are finished and logged
  }
}

void Form1::ScanDone(WebRootScan found, PreviewIcon preview) {
  m_state.webRoot = found.webRoot;
  m_state.webRootDepth = found.webRootDepth;
  m_state.webRootFolder = found.scan.rootFolder;
  m_state.leftovers = found.scan.leftovers;
  m_state.lockFilesBelow = found.scan.lockFiles;
  m_state.preview = std::move(preview);
  ShowWebRoot(m_state.webRoot);
  m_fillPages = std::move(found.scan.pages);
  m_fillNext = 0;
  found.scan.pages = {};
  m_skipped = std::move(found.scan);
  SetProgressValue(0);
  SetProgressRange(0, std::max(static_cast<int>(m_fillPages.size()), 1));
  m_work = Work::kFill;
  FillSlice();
}

void Form1::FillSlice() {
  QElapsedTimer slice;
  slice.start();
  std::string shown;
  while (m_fillNext < m_fillPages.size() && !StopRequested() && slice.elapsed() < kFillSliceMs) {
    std::string& page = m_fillPages[m_fillNext++];
    if (IsPagePath(page, m_options.pageExtensions)) {
      const int rows = RowCount();
      m_pageList.InsertCheckedAtTop(page);
      if (RowCount() != rows) {
        shown = std::move(page);
      }
    }
    std::string().swap(page);  // the list holds its own copy
  }
  if (!shown.empty()) {
    m_statusText = StatusText({StatusKind::kFilling, shown, 0});
    m_statusChanged = true;
  }
  m_progressValue = static_cast<int>(m_fillNext);
  const bool more = m_fillNext < m_fillPages.size() && !StopRequested();
  if (!more || m_sinceShown.elapsed() >= kShowInterval) {
    SetStatusCount(RowCount());
    ShowPending();
    m_sinceShown.start();
  }
  if (more) {
    QTimer::singleShot(0, this, [this] { FillSlice(); });
    return;
  }
  std::vector<std::string>().swap(m_fillPages);
  SortList([this] { FillDone(); });
}

void Form1::SortList(std::function<void()> then) {
  if (!m_pageList.NeedsCollation() || m_pageList.Count() < kCollateAsideRows || StopRequested()) {
    m_pageList.SetSorted(true);
    then();
    return;
  }
  m_sorting = true;
  if (m_sorter.joinable()) {
    m_sorter.join();  // the last collation has posted its end
  }
  // The paths stay where they are until the list is cleared, which waits while Busy().
  m_sorter = std::jthread([this, then = std::move(then), paths = m_pageList.PathsById()] {
    auto collated = std::make_shared<std::vector<std::uint32_t>>(CollatedOrder(paths));
    m_relay.Post([this, then, collated] {
      m_pageList.SetSortedWith(std::move(*collated));
      m_sorting = false;
      then();
    });
  });
}

void Form1::FillDone() {
  SetProgressValue(0);
  ShowStatus({StatusKind::kFillDone, {}, 0});
  SetStatusCount(RowCount());
  SetBusy(false);
  // What the scan passed over is there for whoever points at the status.
  QStringList skipped;
  for (const ScanWarning& warning : ScanWarnings(m_skipped)) {
    skipped << QString::fromStdString(warning.text);
  }
  m_textPanel->setToolTip(skipped.join(QLatin1Char('\n')));
  m_ui->Btn_8->setEnabled(true);
  m_ui->Btn_11->setEnabled(true);
  ShowPreview();
  CheckPagesAside();
  UntickOtherRootRows();
  EndWork();
}

// Rows of an earlier web root stay in the list (a new collection adds to it), but a Start never
// edits them: they lose their marks, and the user hears of them once, now.
void Form1::UntickOtherRootRows() {
  std::vector<bool> marks = m_pageList.Marks();
  int others = 0;
  const tervando::PageList& list = m_pageList.Pages();
  for (int row = 0; row < list.Count(); ++row) {
    if (marks[row] && !LiesUnderWebRoot(list.Path(row), m_state.webRoot)) {
      marks[row] = false;
      ++others;
    }
  }
  if (others > 0) {
    m_pageList.SetMarks(marks);
    Ask(OtherRootRowsMessage(others));
  }
}

// What browsers will make of the new root's pages, found while the user looks at the list.
void Form1::CheckPagesAside() {
  TakeFaviconSetChoice();
  m_pageList.SetWebRoot(m_state.webRoot);
  m_pageList.ClearChecks();
  // The paths stay where they are until the check is stopped, which comes before the list
  // changes; those outside the web root are left out on the check's thread.
  std::vector<std::pair<std::uint32_t, std::string_view>> pages;
  const tervando::PageList& list = m_pageList.Pages();
  pages.reserve(static_cast<std::size_t>(list.Count()));
  for (int row = 0; row < list.Count(); ++row) {
    pages.emplace_back(list.IdAt(row), list.Path(row));
  }
  m_pageCheck.Start(m_state.webRootFolder, m_state.webRoot, std::move(pages),
                    RunBlockOptions(m_state, RemoveMode()), kFaviconLinkPrefix,
                    m_state.webRootDepth);
}

void Form1::ShowPageChecks(const std::vector<std::pair<std::string, PageCheck>>& checks) {
  m_pageList.ClearChecks();
  BackgroundPageCheck::Batch batch;
  for (const auto& [path, check] : checks) {
    const std::optional<PageClass> mark = ListMark(check);
    if (const int row = m_pageList.Pages().Find(path); row >= 0 && mark) {
      batch.emplace_back(m_pageList.Pages().IdAt(row), *mark);
    }
  }
  m_pageList.SetChecks(batch, RemoveMode(), RunBlockOptions(m_state, RemoveMode()).LinksSetFiles());
}

void Form1::ChooseIcon() { ApplyChosenIcon(SelIconDialog::ChooseIcon(m_desktop, this)); }

void Form1::ApplyChosenIcon(int index) { ApplyChosenIcon({std::string(IconFile(index)), true}); }

void Form1::ApplyChosenIcon(PreviewIcon icon) {
  if (icon.bytes.empty()) {
    return;
  }
  m_state.preview = std::move(icon);
  m_state.preview.pending = true;
  ShowPreview();
}

void Form1::ReadFaviconSetChoice() {
  const bool modern = GetAppSetting(kFaviconSetKey) == "modern";
  (modern ? m_ui->FaviconSetOPT_1 : m_ui->FaviconSetOPT_0)->setChecked(true);
  m_ui->ForeignIconsCHK->setChecked(GetAppSetting(kForeignIconsKey) == "1");
}

void Form1::SaveFaviconSetChoice() const {
  SaveAppSetting(kFaviconSetKey, m_ui->FaviconSetOPT_1->isChecked() ? "modern" : "klassisch");
  SaveAppSetting(kForeignIconsKey, m_ui->ForeignIconsCHK->isChecked() ? "1" : "0");
}

void Form1::TakeFaviconSetChoice() {
  m_state.faviconSet =
      m_ui->FaviconSetOPT_1->isChecked() ? FaviconSet::kModern : FaviconSet::kClassic;
  m_state.switchOffForeignIcons = m_ui->ForeignIconsCHK->isChecked();
}

bool Form1::PrepareFaviconSet() {
  TakeFaviconSetChoice();
  const bool modern = m_state.faviconSet == FaviconSet::kModern;
  m_state.setFiles.clear();
  if (!modern || RemoveMode() || m_state.webRoot.empty() || m_state.preview.bytes.empty()) {
    return true;
  }
  const std::string error = PrepareModernSet(m_state);
  if (error.empty()) {
    return true;
  }
  Ask({error, MessageIcon::Exclamation, MessageButtons::Ok, MessageAnswer::Ok});
  return false;
}

void Form1::StartRun() {
  if (Busy() || !PrepareFaviconSet()) {
    return;
  }
  m_laterFailures.reset();
  m_runStop = std::stop_source();
  m_ui->StopRunBtn->show();  // Esc does the same
  m_pageCheck.Stop();        // Start checks the pages again after its run
  m_pageList.Publish();
  const tervando::PageList& list = m_pageList.Pages();
  auto request = std::make_shared<RunRequest>();
  request->site = m_state;
  request->remove = RemoveMode();
  m_runRemove = std::make_shared<std::atomic<bool>>(request->remove);
  request->removeNow = m_runRemove;
  request->logFile = m_log.FilePath();
  request->stopRun = m_runStop.get_token();
  request->pages.reserve(static_cast<std::size_t>(list.Count()));
  std::vector<bool> marks(static_cast<std::size_t>(list.Count()));
  m_runRowOfId.assign(static_cast<std::size_t>(list.Count()), -1);
  for (int row = 0; row < list.Count(); ++row) {
    request->pages.emplace_back(list.Path(row));
    marks[static_cast<std::size_t>(row)] = list.Marked(row);
    m_runRowOfId[list.IdAt(row)] = row;
  }
  m_runMarks = std::make_shared<RowMarks>(marks);
  request->marks = m_runMarks;
  BeginWork(Work::kRun, [this, request](std::stop_token stop) {
    request->stop = std::move(stop);
    auto result = std::make_shared<StartResult>(Start(*request, m_relay, m_relay));
    WaitForLog();  // the log is whole when Start is over, should the user open it
    m_relay.Post([this, result] { RunDone(*result); });
  });
}

void Form1::RunDone(const StartResult& result) {
  m_ui->StopRunBtn->hide();
  m_runMarks.reset();
  m_runRemove.reset();
  m_runRowOfId.clear();
  m_state.preview = result.preview;
  if (result.leftoversRemoved) {
    m_state.leftovers.clear();
  }
  ShowLogFailureOnce();
  ShowPreview();
  EndWork();
}

void Form1::PassMarksToRun(const QModelIndex& first, const QModelIndex& last) {
  if (!m_runMarks) {
    return;
  }
  const tervando::PageList& list = m_pageList.Pages();
  for (int viewRow = first.row(); viewRow <= last.row(); ++viewRow) {
    const int row = m_pageList.RowOf(m_pageList.index(viewRow, 0));
    const std::uint32_t id = list.IdAt(row);
    if (id < m_runRowOfId.size() && m_runRowOfId[id] >= 0) {
      m_runMarks->SetMarked(static_cast<std::size_t>(m_runRowOfId[id]), list.Marked(row));
    }
  }
}

void Form1::ShowLogFailureOnce() {
  std::string failure;
  {
    const std::lock_guard lock(m_logFailureMutex);
    failure = m_logFailure;
  }
  // Said once: the run goes on, and one box per lost line would bury the window.
  if (!failure.empty() && !m_logFailureShown) {
    m_logFailureShown = true;
    Ask(LogFailedMessage(failure));
  }
}

void Form1::ShowCurrentFavicon() {
  RefreshFaviconPreview(m_state);
  ShowPreview();
}

void Form1::ShowPreview() {
  const QImage image = DecodeIconImage(m_state.preview.bytes, 32);
  // An icon file that holds no readable picture leaves the box empty.
  QLabel& box = *m_ui->IconPreviewImg;
  box.setPixmap(image.isNull() ? QPixmap()
                               : CrispPixmap(QPixmap::fromImage(image), box.contentsRect().size(),
                                             box.devicePixelRatioF()));
}

// "&Ende" ends the program at once. Inside a running scan or run the core is only ever between
// two files when a click gets through: it begins no more pages, finishes and logs those begun,
// asks nothing more, and the event loop ends when it returns.
void Form1::EndProgram() {
  m_ending = true;
  SaveWindowSize();
  if (InfoFormFreeware* info = InfoFormFreeware::OpenInstance()) {
    info->hide();
  }
  hide();
  if (Busy()) {
    // The work finishes the pages it has begun and logs them; the event loop ends with it.
    m_worker.request_stop();
    return;
  }
  QCoreApplication::quit();
}

void Form1::FocusList() { m_ui->Liste->setFocus(Qt::OtherFocusReason); }

void Form1::ShowInfoForm() { InfoFormFreeware::ShowInstance(m_desktop, ScreenSize(*this)); }

std::vector<bool> Form1::SelectedRows() const {
  std::vector<bool> selected(static_cast<size_t>(m_pageList.rowCount()), false);
  for (const QItemSelectionRange& range : m_ui->Liste->selectionModel()->selection()) {
    for (int row = range.top(); row <= range.bottom(); ++row) {
      selected[row] = true;
    }
  }
  return selected;
}

void Form1::ListeSelect(int mode) {
  m_pageList.Publish();
  const int n = m_pageList.rowCount();
  if (n == 0) {
    return;
  }
  QItemSelectionModel* selection = m_ui->Liste->selectionModel();
  const QItemSelection everyRow(m_pageList.index(0, 0), m_pageList.index(n - 1, 0));
  switch (mode) {
    case 0:
      selection->select(everyRow, QItemSelectionModel::Deselect);
      break;
    case 1:
      selection->select(everyRow, QItemSelectionModel::Select);
      break;
    case 2:
      selection->select(everyRow, QItemSelectionModel::Toggle);
      break;
    case 101:
      m_pageList.SetMarks(SelectedRows());
      break;
    case 102: {
      std::vector<bool> marks = m_pageList.Marks();
      const std::vector<bool> selected = SelectedRows();
      for (int row = 0; row < n; ++row) {
        if (selected[row]) {
          marks[row] = !marks[row];
        }
      }
      m_pageList.SetMarks(marks);
      break;
    }
    default:
      Ask({"Unknown Mode " + std::to_string(mode) + " in ListeSelect(Mode)",
           MessageIcon::Critical});
      break;
  }
}

void Form1::ResetPageList() {
  SetStatusCount(0);
  m_pageCheck.Stop();
  m_pageList.Clear();
  ShowElided(*m_ui->LocalWebRootLBL, QString::fromUtf8(kNoWebRootText));
  m_ui->LocalWebRootLBL->setAccessibleName(QString::fromUtf8(kNoWebRootText));
}

void Form1::ListeColumnClick(int column) {
  // The run keeps its own order of the rows; a scan or collation under way ends sorted, in
  // the order chosen by then.
  if (column == m_lastSortColumn) {
    m_pageList.SetOrder(m_pageList.Order() == SortOrder::Ascending ? SortOrder::Descending
                                                                   : SortOrder::Ascending);
    return;
  }
  m_lastSortColumn = column;
  if (m_work == Work::kScan || m_work == Work::kFill || m_sorting) {
    return;
  }
  SortList([this] {
    if (!Busy()) {
      emit WorkDone();
    }
  });
}

void Form1::ListeDblClick() {
  const QModelIndex current = m_ui->Liste->currentIndex();
  if (!current.isValid()) {
    return;
  }
  const std::string page = m_pageList.Text(m_pageList.RowOf(current));
  if (!m_desktop.EditPage(page)) {
    m_desktop.ShowMessage(OpenFailedMessage(OpenTarget::kPageInEditor, page));
  }
}

void Form1::closeEvent(QCloseEvent* event) {
  SaveWindowSize();
  if (Busy()) {
    EndProgram();  // the work under way must not go on without a window
  }
  QWidget::closeEvent(event);
}

namespace {
// The one local folder a drag carries, or the empty text.
std::string DraggedFolder(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().size() != 1) {
    return {};
  }
  const QUrl url = data->urls().constFirst();
  if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isDir()) {
    return {};
  }
  return QFile::encodeName(url.toLocalFile()).toStdString();
}
}  // namespace

void Form1::dragEnterEvent(QDragEnterEvent* event) {
  if (!Busy() && !DraggedFolder(event->mimeData()).empty()) {
    event->acceptProposedAction();
  }
}

void Form1::dropEvent(QDropEvent* event) {
  const std::string folder = DraggedFolder(event->mimeData());
  if (folder.empty() || Busy()) {
    return;
  }
  event->acceptProposedAction();
  // The drag's source waits for the drop to end; the scan runs after it.
  QTimer::singleShot(0, this, [this, folder] { ChooseWebRoot(folder); });
}

void Form1::ShowPending() {
  m_pageList.Publish();
  if (m_statusChanged || m_running) {
    m_statusChanged = false;
    QString text = QString::fromStdString(m_statusText);
    if (m_running) {
      text += QLatin1Char(' ') + RunProgressText(m_progressValue, m_progressMaximum);
    }
    m_textPanel->setText(text);
  }
  m_ui->Bar->setValue(m_progressValue);
}

void Form1::LeftoversRemoved(int count) {
  m_textPanel->setToolTip(QString::fromStdString(RemovedLeftoversText(count)));
}

bool Form1::StopRequested() const { return m_runStop.stop_requested() || Ending(); }

bool Form1::Ending() const { return m_ending || Interrupted(); }

void Form1::StopRun() {
  if (m_ui->StopRunBtn->isVisible()) {
    m_runStop
        .request_stop();  // the run stops at the next page's turn and then says how far it came
  }
}

int Form1::RowCount() const { return m_pageList.Count(); }

std::string Form1::RowText(int row) const { return m_pageList.Text(row - 1); }

bool Form1::RowMarked(int row) const { return m_pageList.Marked(row - 1); }

void Form1::InsertCheckedRowAtTop(const std::string& path) {
  if (!m_ending) {
    m_pageList.InsertCheckedAtTop(path);
  }
}

void Form1::SetSortingEnabled(bool enabled) { m_pageList.SetSorted(enabled); }

bool Form1::RemoveMode() const { return m_ui->SetUnsetFaviconOPT_1->isChecked(); }

void Form1::SetProgressRange(int minimum, int maximum) {
  // An empty range would turn the bar into a busy indicator; it stays an empty bar instead.
  m_ui->Bar->setRange(minimum, maximum > minimum ? maximum : minimum + 1);
  m_progressMaximum = maximum;
}

void Form1::SetProgressValue(int value) {
  m_progressValue = value;
  m_ui->Bar->setValue(value);
}

void Form1::Progress(int value, int maximum) {
  if (maximum != m_progressMaximum) {
    SetProgressRange(0, maximum);
  }
  m_progressValue = value;  // shown with the batch
}

void Form1::ShowStatus(const Status& status) {
  m_statusText = tervando::StatusText(status);
  m_statusChanged = true;
  m_running = status.kind == StatusKind::kRunning;
  if (m_work != Work::kRun) {
    ShowPending();  // during the run, with its batch
  }
}

void Form1::SetStatusCount(int count) {
  m_countPanel->setText(QString::fromStdString(FileCountText(count)));
}

void Form1::SetBusy(bool busy) {
  if (busy) {
    ++m_waitCursors;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (m_waitCursors > 0) {
    --m_waitCursors;
    QGuiApplication::restoreOverrideCursor();
  }
}

void Form1::ShowWebRoot(const std::string& webRoot) {
  const QString path = QFile::decodeName(QByteArray::fromStdString(webRoot));
  ShowElided(*m_ui->LocalWebRootLBL, path);
  m_ui->LocalWebRootLBL->setAccessibleName(
      QString::fromStdString(WebRootAccessibleName(path.toStdString())));
}

MessageAnswer Form1::Ask(const Message& message) {
  if (Ending()) {
    return SafeAnswer(message.buttons);  // the program is ending: nothing more is asked
  }
  ShowPending();
  return m_desktop.ShowMessage(message);
}

void Form1::Tell(const Notice& notice) {
  ShowLogFailureOnce();  // a lost line of the run is said before how the run ended
  Ask(NoticeMessage(notice));
}

void Form1::WaitForLog() {
  std::promise<void> written;
  m_logWriter.Submit([&written] { written.set_value(); });
  written.get_future().wait();
}

bool Form1::GoOnAfterFailure(const PageFailure& failure) {
  if (m_laterFailures) {
    return *m_laterFailures;  // answered for the rest of the run; the run logs the page
  }
  if (StopRequested()) {
    return false;
  }
  ShowPending();
  const MessageReply reply =
      m_desktop.AskWithCheckBox(PageFailedMessage(failure), kLaterFailuresCheckBox);
  const bool goOn = reply.answer == MessageAnswer::Ok;
  if (reply.ticked) {
    m_laterFailures = goOn;
  }
  return goOn;
}

bool Form1::ConfirmFaviconOverwrite() {
  return Ask(OverwriteFaviconMessage()) == MessageAnswer::Ok;
}

bool Form1::ConfirmSetOverwrite(const std::vector<std::string>& names) {
  return Ask(OverwriteSetFilesMessage(names)) == MessageAnswer::Ok;
}

bool Form1::RetryFaviconWrite(const ErrorInfo& errorInfo) {
  return Ask(FaviconWriteFailedMessage(errorInfo)) == MessageAnswer::Yes;
}

void Form1::Log(const std::string& line) {
  WriteLogLine(line);
  ShowLogFailureOnce();
}

void Form1::WriteLogLine(const std::string& line) {
  // Written in order on a thread of its own: a disk that stalls never freezes the window.
  m_logWriter.Submit([this, line] {
    if (!m_log.WriteLog(line)) {
      const std::lock_guard lock(m_logFailureMutex);
      m_logFailure = m_log.Failure();
    }
  });
}

}  // namespace tervando
