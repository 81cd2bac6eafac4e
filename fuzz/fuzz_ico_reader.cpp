// The icon file reader on any bytes stays inside them, and every file it accepts, laid out again
// by the writer from the images it found, reads back to the same directory and images.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "icons/ico_reader.h"
#include "icons/ico_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  const auto directory = tervando::ReadIcoDirectory(file);
  if (!directory) return 0;
  std::vector<tervando::IcoEntry> entries;
  for (const tervando::IcoDirEntry& e : *directory) {
    entries.push_back({e.width, e.height, e.colourCount, e.planes, e.bitCount,
                       std::string(tervando::IcoPayload(file, e))});
  }
  const std::string rewritten = tervando::WriteIcoFile(entries);
  const auto again = tervando::ReadIcoDirectory(rewritten);
  if (!again || again->size() != directory->size()) std::abort();
  for (std::size_t i = 0; i < again->size(); ++i) {
    const tervando::IcoDirEntry& a = (*directory)[i];
    const tervando::IcoDirEntry& b = (*again)[i];
    if (a.width != b.width || a.height != b.height || a.colourCount != b.colourCount ||
        a.planes != b.planes || a.bitCount != b.bitCount ||
        tervando::IcoPayload(file, a) != tervando::IcoPayload(rewritten, b)) {
      std::abort();
    }
  }
  return 0;
}
