// The replay page with its stylesheet and script inlined and the marker
// @RECORDING@ where the game's data goes; generated at build time from
// page.html, replay.css and replay.js (embed_page.cmake).
#pragma once

#include <string_view>

namespace arena {

std::string_view ReplayPageTemplate();

}  // namespace arena
