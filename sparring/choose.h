// The three sparring styles: each takes the safest commands Assess offers and
// picks among them by what it wants.
#pragma once

#include <optional>
#include <random>
#include <string_view>

#include "position.h"

namespace sparring {

enum class Style { Random, Runner, Hunter };

std::optional<Style> ParseStyle(std::string_view word);
// The name a style plays under: letters only, as the arena shows it.
std::string_view StyleName(Style style);

arena::Command Choose(const Position& p, Style style, std::mt19937_64& rng);

}  // namespace sparring
