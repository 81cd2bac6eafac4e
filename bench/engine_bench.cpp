// The head editor beside a plain memory copy of the same page, in one run, with their ratio;
// and the modern set's block with the page's own icon links switched off, the most work a page
// edit does.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "engine/head_editor.h"
#include "engine/icon_block.h"

namespace tervando {
namespace {

constexpr std::size_t kMegabyte = 1 << 20;
const std::string kPrefix = BuildFaviconLinkPrefix();
const std::string kPagePath = "/srv/site/docs/page.htm";
constexpr int kRootDepth = 3;

std::string Repeat(const std::string& piece, std::size_t size) {
  std::string text;
  text.reserve(size + piece.size());
  while (text.size() < size) {
    text += piece;
  }
  return text;
}

// (a) A long article: the head at the top, the body of paragraphs, links and scripts.
std::string HeadAtTopPage(std::size_t size) {
  const std::string head =
      "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>Jahresbericht</title>\n<link rel=\"stylesheet\" href=\"../css/site.css\">\n"
      "<script>function f(a, b) { return a < b ? a : b; }</script>\n</head>\n<body>\n";
  const std::string body = Repeat(
      "<p>Die Gemeinde hat im Berichtsjahr <a href=\"haushalt.htm\">den Haushalt</a> "
      "beschlossen; <b>wichtig</b> ist der Ausbau der <i>Radwege</i> (Kosten &gt; 2 Mio.).</p>\n"
      "<ul><li>Punkt eins</li><li>Punkt zwei</li></ul>\n",
      size - head.size());
  return head + body + "</body>\n</html>\n";
}

// (b) Many small tags, and the head end tag only at the very end.
std::string ManySmallTagsPage(std::size_t size) {
  return "<html><head>" + Repeat("<i>x</i><br>", size) + "</head><body></body></html>";
}

// (c) A typical page of about 20 KB.
std::string TypicalPage() { return HeadAtTopPage(std::size_t{20} * 1024); }

struct PageCase {
  const char* name;
  std::string text;
};

const std::vector<PageCase>& Pages() {
  static const std::vector<PageCase> pages = {
      {"a_1MB_head_at_top", HeadAtTopPage(kMegabyte)},
      {"b_1MB_small_tags_head_end_last", ManySmallTagsPage(kMegabyte)},
      {"c_20KB_typical", TypicalPage()},
  };
  return pages;
}

void Edit(benchmark::State& state, const std::string* text) {
  for (auto _ : state) {
    std::string result =
        FindFaviconEdit(*text, kPagePath, false, kPrefix, kRootDepth).AppliedTo(*text);
    benchmark::DoNotOptimize(result.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text->size()));
}

void ModernEdit(benchmark::State& state, const std::string* text) {
  const IconBlockOptions options{false, LinksOfSet(FaviconSet::kModern, true),
                                 ForeignIconLinks::kSwitchOff};
  for (auto _ : state) {
    std::string result = SetUnsetIconBlockInHtml(*text, kPagePath, options, kPrefix, kRootDepth);
    benchmark::DoNotOptimize(result.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text->size()));
}

void Copy(benchmark::State& state, const std::string* text) {
  std::vector<char> target(text->size());
  for (auto _ : state) {
    std::memcpy(target.data(), text->data(), text->size());
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text->size()));
}

// Keeps the best processor seconds per iteration of every benchmark over its repetitions (time
// spent waiting for the processor is not counted), so the ratios
// printed at the end suffer least from other work on the machine.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.iterations <= 0) {
        continue;
      }
      const double seconds = run.cpu_accumulated_time / static_cast<double>(run.iterations);
      const auto [entry, added] = m_seconds.try_emplace(run.run_name.function_name, seconds);
      if (!added) {
        entry->second = std::min(entry->second, seconds);
      }
    }
    // With repetitions the console shows the median of each benchmark only.
    std::vector<Run> shown;
    for (const Run& run : runs) {
      if (run.repetitions <= 1 || run.aggregate_name == "median") {
        shown.push_back(run);
      }
    }
    ConsoleReporter::ReportRuns(shown);
  }

  void PrintRatios() const {
    std::printf("\nbest of the repetitions\n%-34s %12s %12s %12s %8s %12s %8s\n", "page", "editor",
                "memcpy", "editor time", "ratio", "modern time", "ratio");
    for (const PageCase& page : Pages()) {
      const auto edit = m_seconds.find(std::string("Edit/") + page.name);
      const auto copy = m_seconds.find(std::string("Copy/") + page.name);
      const auto modern = m_seconds.find(std::string("Modern/") + page.name);
      if (edit == m_seconds.end() || copy == m_seconds.end() || modern == m_seconds.end()) {
        continue;
      }
      const double megabytes = static_cast<double>(page.text.size()) / 1e6;
      std::printf("%-34s %7.0f MB/s %7.0f MB/s %9.2f us %7.2fx %9.2f us %7.2fx\n", page.name,
                  megabytes / edit->second, megabytes / copy->second, edit->second * 1e6,
                  edit->second / copy->second, modern->second * 1e6, modern->second / copy->second);
    }
  }

 private:
  std::map<std::string, double> m_seconds;
};

}  // namespace
}  // namespace tervando

int main(int argc, char** argv) {
  using tervando::PageCase;
  for (const PageCase& page : tervando::Pages()) {
    benchmark::RegisterBenchmark((std::string("Edit/") + page.name).c_str(), tervando::Edit,
                                 &page.text);
    benchmark::RegisterBenchmark((std::string("Modern/") + page.name).c_str(), tervando::ModernEdit,
                                 &page.text);
    benchmark::RegisterBenchmark((std::string("Copy/") + page.name).c_str(), tervando::Copy,
                                 &page.text);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  tervando::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
