#include <exception>
#include <string>

#include "engine/site_state.h"
#include "icons/image_to_icon.h"
#include "icons/picture_plugin_api.h"
#include "icons/site_icon_set.h"

namespace tervando {

namespace {

void Put(TervandoPutFile put, void* context, const char* name, const std::string& bytes) {
  put(context, name, bytes.data(), bytes.size());
}

// No exception may cross into the program: an unexpected one becomes its text.
template <typename Work>
int Guarded(TervandoPutFile put, void* context, Work work) {
  try {
    return work();
  } catch (const std::exception& error) {
    Put(put, context, "error", error.what());
  } catch (...) {
    Put(put, context, "error", "unknown failure");
  }
  return 1;
}

int IconFromImageFileC(const char* path, TervandoPutFile put, void* context) {
  return Guarded(put, context, [&] {
    const IconFromImage icon = IconFromImageFile(path);
    if (!icon.error.empty()) {
      Put(put, context, "error", icon.error);
      return 1;
    }
    Put(put, context, "favicon.ico", icon.iconFile);
    Put(put, context, "picture", icon.picture);
    return 0;
  });
}

int ModernSetC(const char* icon, size_t iconSize, const char* picture, size_t pictureSize,
               const char* pictureName, const char* webRoot, TervandoPutFile put, void* context) {
  return Guarded(put, context, [&] {
    SiteState state;
    state.webRoot = webRoot;
    state.preview = PreviewIcon(std::string(icon, iconSize), false,
                                std::string(picture, pictureSize), pictureName);
    if (const std::string error = PrepareModernSet(state); !error.empty()) {
      Put(put, context, "error", error);
      return 1;
    }
    for (const SetFile& file : state.setFiles) {
      Put(put, context, file.name.c_str(), file.bytes);
    }
    return 0;
  });
}

constexpr TervandoPictureApi kApi{TERVANDO_PICTURE_API_VERSION, IconFromImageFileC, ModernSetC};

}  // namespace

}  // namespace tervando

extern "C" __attribute__((visibility("default"))) const TervandoPictureApi* tervando_picture_api() {
  return &tervando::kApi;
}
