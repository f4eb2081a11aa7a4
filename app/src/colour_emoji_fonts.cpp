#include "colour_emoji_fonts.h"

#if PARASORT_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace parasort {

bool preferColourEmojiFonts() {
#if PARASORT_HAVE_FONTCONFIG
  // After the system's rules have turned generic names into fonts: the
  // colour emoji families go right after the first family of every
  // request, so they come before every other fallback but never replace
  // the font asked for.
  static constexpr char rule[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <match target="pattern">
    <test qual="first" name="family" compare="not_eq"><string>Noto Color Emoji</string></test>
    <edit name="family" mode="append">
      <string>Noto Color Emoji</string>
      <string>Twemoji</string>
      <string>JoyPixels</string>
    </edit>
  </match>
</fontconfig>
)";
  if (FcInit() == FcFalse) return false;
  return FcConfigParseAndLoadFromMemory(FcConfigGetCurrent(), reinterpret_cast<const FcChar8*>(rule), FcTrue) ==
         FcTrue;
#else
  return false;
#endif
}

}  // namespace parasort
