#include "site/web_root.h"

#include <utility>

#include "engine/paths.h"
#include "engine/real_path.h"
#include "engine/web_root_lock.h"
#include "site/app_folder.h"

namespace tervando {

WebRootScan ScanChosenWebRoot(const std::string& chosenFolder, const Options& options,
                              const std::function<bool()>& stop, const ScanProgress& progress) {
  WebRootScan result;
  const std::string real = RealPath(chosenFolder);
  result.webRoot = WithTrailingSeparator(real.empty() ? chosenFolder : real);
  result.webRootDepth = PathDepth(result.webRoot);
  result.scan = ScanWebRoot(result.webRoot, options.pageExtensions, stop, progress);
  // From here on the site is reached from the root as the scan opened it.
  if (RunWorksOn(result.webRoot, result.scan.rootFolder)) {
    result.scan.leftovers.clear();  // the temporaries of the run at work, not left behind
  }
  return result;
}

}  // namespace tervando
