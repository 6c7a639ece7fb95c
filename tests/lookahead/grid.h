// Test helpers: a State built from map rows drawn as text (". # +"), and the
// map of a State or of a simulated Board drawn back, so cases read like the
// board they describe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lookahead/board.h"
#include "state/state.h"

// Its block count is current.
State Grid(const std::vector<std::string_view>& rows);
std::vector<std::string> Rows(const State& state);
std::vector<std::string> Rows(const Board& board);

// Player and bomb records with the fields the cases care about.
Player At(int id, int x, int y);
Bomb BombAt(int x, int y, int timer, int owner = Bomb::kUnattributed);
