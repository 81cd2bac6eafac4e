#include "icons/picture_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <string_view>
#include <utility>

#include "build_config.h"
#include "engine/messages_picture.h"
#include "icons/picture_plugin_api.h"
#include "site/app_folder.h"

namespace tervando {

namespace {

struct Module {
  const TervandoPictureApi* api = nullptr;
  std::vector<std::string> searched;
  std::string loadFailure;  // a plug-in found that could not be used: the file and why
};

// Opened once and never closed: Qt's libraries are not made to be unloaded.
const Module& OpenedModule() {
  static const Module module = [] {
    Module opened;
    opened.searched = PictureModulePaths(AppFolder());
    for (const std::string& path : opened.searched) {
      if (::access(path.c_str(), F_OK) != 0) {
        continue;
      }
      void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
      if (library == nullptr) {
        opened.loadFailure = ::dlerror();
        continue;
      }
      using Entry = const TervandoPictureApi* (*)();
      const auto entry = reinterpret_cast<Entry>(::dlsym(library, TERVANDO_PICTURE_API_SYMBOL));
      const TervandoPictureApi* api = entry != nullptr ? entry() : nullptr;
      if (api == nullptr || api->version != TERVANDO_PICTURE_API_VERSION) {
        opened.loadFailure = path + ": not the plug-in of this program version";
        continue;
      }
      opened.api = api;
      return opened;
    }
    return opened;
  }();
  return module;
}

// The files one call of the plug-in hands over, in order.
struct Collected {
  std::vector<SetFile> files;
  std::string error;
};

void Collect(void* context, const char* name, const char* bytes, size_t size) {
  auto& collected = *static_cast<Collected*>(context);
  if (std::string_view(name) == "error") {
    collected.error.assign(bytes, size);
  } else {
    collected.files.push_back({name, std::string(bytes, size)});
  }
}

}  // namespace

std::vector<std::string> PictureModulePaths(const std::string& programFolder) {
  namespace fs = std::filesystem;
  return {programFolder + TERVANDO_PICTURE_PLUGIN,
          (fs::path(programFolder) / TERVANDO_PLUGIN_FROM_BIN / TERVANDO_PICTURE_PLUGIN)
              .lexically_normal()
              .string()};
}

PictureIcon IconFromImageFileByModule(const std::string& path) {
  const Module& module = OpenedModule();
  if (module.api == nullptr) {
    return {{}, {}, PictureModuleMissingText(module.searched, module.loadFailure)};
  }
  Collected made;
  module.api->iconFromImageFile(path.c_str(), Collect, &made);
  if (!made.error.empty() || made.files.size() != 2) {
    return {{}, {}, made.error};
  }
  return {std::move(made.files[0].bytes), std::move(made.files[1].bytes), {}};
}

std::string PrepareModernSetByModule(SiteState& state) {
  state.setFiles.clear();
  const Module& module = OpenedModule();
  if (module.api == nullptr) {
    return PictureModuleMissingText(module.searched, module.loadFailure);
  }
  const PreviewIcon& icon = state.preview;
  Collected made;
  module.api->modernSet(icon.bytes.data(), icon.bytes.size(), icon.picture.data(),
                        icon.picture.size(), icon.pictureName.c_str(), state.webRoot.c_str(),
                        Collect, &made);
  if (made.error.empty()) {
    state.setFiles = std::move(made.files);
  }
  return made.error;
}

}  // namespace tervando
