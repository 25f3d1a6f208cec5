#include "canvas/font_config.h"

namespace plotvane {

namespace {

// Whether the configuration names a cache folder. Without one fontconfig's
// initialisation warns and adds the user's cache folder; that case is left to
// it.
bool HasCacheFolder(FcConfig* config) {
  FcStrList* folders = FcConfigGetCacheDirs(config);
  if (folders == nullptr) return false;
  const bool any = FcStrListNext(folders) != nullptr;
  FcStrListDone(folders);
  return any;
}

}  // namespace

FcConfig* LoadFontConfig() {
  FcConfig* config = FcConfigCreate();
  // A null name is the system's configuration file (or the one the
  // environment names), as in fontconfig's own initialisation.
  if (config != nullptr && FcConfigParseAndLoad(config, nullptr, FcTrue) &&
      HasCacheFolder(config) && FcConfigBuildFonts(config)) {
    return config;
  }
  if (config != nullptr) FcConfigDestroy(config);
  return FcInitLoadConfigAndFonts();
}

}  // namespace plotvane
