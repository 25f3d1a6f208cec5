// The font configuration that font lookups match against.
//
// fontconfig's own initialisation (FcInitLoadConfigAndFonts) reads the
// system's configuration, then reads every configuration template once more
// (the folder of optional rules an administrator may enable), only to record
// their descriptions for configuration tools; that second pass changes no
// match and costs about as much as the first. LoadFontConfig reads the
// configuration and fonts the same way without it: the same files, the same
// rules, the same font caches (which fontconfig checks against the font
// folders, so fonts installed or removed since are seen).
#ifndef PLOTVANE_CANVAS_FONT_CONFIG_H_
#define PLOTVANE_CANVAS_FONT_CONFIG_H_

#include <fontconfig/fontconfig.h>

namespace plotvane {

// Returns a new configuration of the system's rules and fonts; the caller
// owns it (FcConfigDestroy). When the configuration cannot be read, or names
// no cache folder, the result is fontconfig's own initialisation, with its
// fallbacks. Null only when fontconfig cannot start at all.
FcConfig* LoadFontConfig();

}  // namespace plotvane

#endif  // PLOTVANE_CANVAS_FONT_CONFIG_H_
