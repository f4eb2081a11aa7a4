// Emoji sequences drawn as one picture. The font chosen for a character
// the text's font lacks is the first of the system's fallback fonts that
// has it; black-and-white symbol fonts often come before the colour emoji
// font, and an emoji then comes from one font and its skin tone or the rest
// of its sequence from another, drawn as separate pictures.
#pragma once

namespace parasort {

// Puts the colour emoji fonts right after each font the application asks
// for, before the other fallbacks: emoji and their modifiers then come from
// one font, which joins them. Must run before the application object is
// made. False where the font configuration cannot take the rule (or there is
// none: the platform's own fallbacks stay).
bool preferColourEmojiFonts();

}  // namespace parasort
