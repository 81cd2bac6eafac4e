// The user's own picture as favicon.ico at 8000 x 8000 pixels, beside a memcpy of the decoded
// picture: the time of the conversion (fit, halvings, last smooth step, encoding) from a decoded
// picture and from JPEG and PNG files (reading and decoding included), and the peak memory of
// each beside the decoded size. Then the modern favicon set (six files: a photo gets no SVG)
// from a 1024 x 1024 PNG file, beside a memcpy of that picture decoded. Every measurement runs
// in a fresh process of this program, so its peak is its own; processor time is shown beside
// the clock, which swings on a busy machine.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QBuffer>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "icons/ico_reader.h"
#include "icons/icon_set.h"
#include "icons/image_to_icon.h"

namespace fs = std::filesystem;
using namespace tervando;

namespace {

constexpr int kSide = 8000;
constexpr int kSetSide = 1024;
constexpr int kRounds = 3;
constexpr double kMiB = 1024.0 * 1024.0;

double DecodedBytes(int side = kSide) { return 4.0 * side * side; }

// A picture with colour, soft shapes and a transparent border, so neither the scaling nor the
// encoders get it easy.
QImage Picture(int side = kSide) {
  QImage image(side, side, QImage::Format_ARGB32);
  for (int y = 0; y < side; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < side; ++x) {
      const double dx = x - side / 2.0;
      const double dy = y - side / 2.0;
      const double r = std::sqrt(dx * dx + dy * dy) / (side / 2.0);
      const int alpha = r > 1.0 ? 0 : r > 0.9 ? static_cast<int>((1.0 - r) * 2550) : 255;
      line[x] = qRgba(x * 255 / side, y * 255 / side, (x ^ y) & 0xFF, alpha);
    }
  }
  return image;
}

void Fail(const std::string& what) {
  std::fprintf(stderr, "icon_bench: %s\n", what.c_str());
  std::exit(1);
}

void WriteFile(const fs::path& path, const QByteArray& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(bytes.constData(), bytes.size());
  if (!file) {
    Fail("cannot write " + path.string());
  }
}

double ProcessorMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
  };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// One measurement in this process: prints the milliseconds of the timed part, on the clock and
// in processor time (all threads).
int RunPhase(const std::string& phase, const std::string& argument) {
  using Clock = std::chrono::steady_clock;
  std::string icon;
  Clock::time_point start;
  double cpuStart = 0;
  if (phase == "memcpy") {
    const int side = argument.empty() ? kSide : std::stoi(argument);
    std::vector<char> source(static_cast<std::size_t>(DecodedBytes(side)), 1);
    std::vector<char> target(source.size());
    cpuStart = ProcessorMs();
    start = Clock::now();
    std::memcpy(target.data(), source.data(), source.size());
    const auto end = Clock::now();
    std::printf("%.3f %.3f\n", std::chrono::duration<double, std::milli>(end - start).count(),
                ProcessorMs() - cpuStart);
    return target[target.size() / 2] == 1 ? 0 : 1;
  }
  if (phase == "make") {
    // The picture files, written by a child so that the measuring parent stays small: a
    // child's peak starts from its parent's.
    const QImage picture = Picture();
    for (const auto& [name, format, quality] :
         {std::tuple{"big.jpg", "JPEG", 90}, std::tuple{"big.png", "PNG", 50}}) {
      QByteArray bytes;
      QBuffer buffer(&bytes);
      buffer.open(QIODevice::WriteOnly);
      if (!picture.save(&buffer, format, quality)) {
        Fail(std::string("cannot encode ") + format);
      }
      WriteFile(fs::path(argument) / name, bytes);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!Picture(kSetSide).save(&buffer, "PNG", 50)) {
      Fail("cannot encode PNG");
    }
    WriteFile(fs::path(argument) / "set.png", bytes);
    std::printf("0 0\n");
    return 0;
  }
  if (phase == "set") {
    std::ifstream file(argument, std::ios::binary);
    const std::string png((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    cpuStart = ProcessorMs();
    start = Clock::now();
    const IconSet set = MakeModernIconSet(png, argument, "Bench");
    const auto end = Clock::now();
    if (!set.error.empty() || set.files.size() != 6) {
      Fail("no modern set of six files: " + set.error);
    }
    std::printf("%.3f %.3f\n", std::chrono::duration<double, std::milli>(end - start).count(),
                ProcessorMs() - cpuStart);
    return 0;
  }
  if (phase == "picture") {
    QImage picture = Picture();
    cpuStart = ProcessorMs();
    start = Clock::now();
    icon = IconFromPicture(std::move(picture));
  } else if (phase == "file") {
    cpuStart = ProcessorMs();
    start = Clock::now();
    const IconFromImage result = IconFromImageFile(argument);
    if (!result.error.empty()) {
      Fail(result.error);
    }
    icon = result.iconFile;
  } else {
    Fail("unknown phase " + phase);
  }
  const auto end = Clock::now();
  if (!ReadIcoDirectory(icon) || ReadIcoDirectory(icon)->size() != std::size(kIconSizes)) {
    Fail("no icon of four sizes");
  }
  std::printf("%.3f %.3f\n", std::chrono::duration<double, std::milli>(end - start).count(),
              ProcessorMs() - cpuStart);
  return 0;
}

struct Measure {
  double ms = 0;     // median of the rounds
  double cpuMs = 0;  // processor time of all threads, median of the rounds
  double peakMiB = 0;
};

// Runs this program on one phase kRounds times; the child's own peak comes from wait4.
Measure Run(const std::string& self, const std::string& phase, const std::string& argument,
            int rounds = kRounds) {
  std::vector<double> times;
  std::vector<double> cpu;
  double peak = 0;
  for (int round = 0; round < rounds; ++round) {
    int out[2];
    if (pipe(out) != 0) {
      Fail("pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> args = {self, "--phase", phase, argument};
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& a : args) {
      argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawn(&child, self.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
      Fail("cannot start " + self);
    }
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    char chunk[256];
    for (ssize_t got; (got = read(out[0], chunk, sizeof chunk)) > 0;) {
      text.append(chunk, static_cast<std::size_t>(got));
    }
    close(out[0]);
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
      Fail(phase + " failed");
    }
    double wall = 0;
    double processor = 0;
    if (std::sscanf(text.c_str(), "%lf %lf", &wall, &processor) != 2) {
      Fail(phase + " gave no times");
    }
    times.push_back(wall);
    cpu.push_back(processor);
    peak = std::max(peak, static_cast<double>(usage.ru_maxrss) / 1024.0);  // kB on Linux
  }
  std::sort(times.begin(), times.end());
  std::sort(cpu.begin(), cpu.end());
  return {times[times.size() / 2], cpu[cpu.size() / 2], peak};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--phase") {
    return RunPhase(argv[2], argc >= 4 ? argv[3] : "");
  }
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  const fs::path work =
      fs::temp_directory_path() / ("tervando-icon-bench-" + std::to_string(getpid()));
  fs::create_directories(work);
  Run(self, "make", work.string(), 1);
  const double decodedMiB = DecodedBytes() / kMiB;
  std::printf("picture: %d x %d pixels, decoded %.1f MiB; median of %d runs each\n", kSide, kSide,
              decodedMiB, kRounds);
  const Measure copy = Run(self, "memcpy", "");
  std::printf("%-31s %7.1f ms (processor %6.1f ms)   peak %6.1f MiB = %.2f x decoded\n",
              "memcpy of the decoded picture", copy.ms, copy.cpuMs, copy.peakMiB,
              copy.peakMiB / decodedMiB);
  const struct {
    const char* title;
    const char* phase;
    std::string argument;
  } runs[] = {
      {"decoded picture -> favicon.ico", "picture", ""},
      {"JPEG file -> favicon.ico", "file", (work / "big.jpg").string()},
      {"PNG file -> favicon.ico", "file", (work / "big.png").string()},
  };
  for (const auto& run : runs) {
    const Measure m = Run(self, run.phase, run.argument);
    std::printf(
        "%-31s %7.1f ms (processor %6.1f ms)   peak %6.1f MiB = %.2f x decoded   "
        "%.1f x memcpy\n",
        run.title, m.ms, m.cpuMs, m.peakMiB, m.peakMiB / decodedMiB, m.ms / copy.ms);
  }
  std::printf("files: JPEG %.1f MiB, PNG %.1f MiB\n",
              static_cast<double>(fs::file_size(work / "big.jpg")) / kMiB,
              static_cast<double>(fs::file_size(work / "big.png")) / kMiB);

  const std::string setSide = std::to_string(kSetSide);
  const Measure setCopy = Run(self, "memcpy", setSide);
  const Measure set = Run(self, "set", (work / "set.png").string());
  std::printf("\nmodern set from a %d x %d PNG file (%.1f KiB)\n", kSetSide, kSetSide,
              static_cast<double>(fs::file_size(work / "set.png")) / 1024.0);
  std::printf("%-31s %7.3f ms\n", "memcpy of the decoded picture", setCopy.ms);
  std::printf("%-31s %7.1f ms (processor %6.1f ms)   %.0f x memcpy\n", "PNG file -> modern set",
              set.ms, set.cpuMs, set.ms / setCopy.ms);
  fs::remove_all(work);
  return 0;
}
