#include "lookahead/tick.h"

#include <climits>
#include <cstddef>

#include "lookahead/cell.h"
#include "lookahead/simulator.h"

namespace {

constexpr int kNewBombTimer = 6;  // counted down once in this same tick
constexpr int kDueTimer = 1;

void Move(const State& state, Player& player, int dx, int dy) {
  const int x = Shift(player.x, dx);
  const int y = Shift(player.y, dy);
  if (Clear(state, x, y)) {
    player.x = x;
    player.y = y;
  }
}

void Drop(State& state, const Player& player) {
  for (const Bomb& bomb : state.bombs) {
    if (bomb.timer >= 0 && bomb.owner == player.id) {
      return;
    }
  }
  // Another owner's bomb on the cell does not prevent the drop.
  state.bombs.push_back({player.id, player.x, player.y, kNewBombTimer});
}

}  // namespace

void PlayTick(State& state, Command command) {
  // Step 2. Only the self record is given the candidate.
  if (Player* self = state.FindPlayer(State::kSelfId)) {
    self->command = command;
  }
  // Step 3. Players act in list order, each seeing the moves and drops before it.
  for (Player& player : state.players) {
    switch (player.command) {
      case Command::Up:
        Move(state, player, 0, -1);
        break;
      case Command::Down:
        Move(state, player, 0, 1);
        break;
      case Command::Left:
        Move(state, player, -1, 0);
        break;
      case Command::Right:
        Move(state, player, 1, 0);
        break;
      case Command::DropBomb:
        Drop(state, player);
        break;
      case Command::Stay:
        break;
    }
  }
  // Step 4. Bombs tick in list order, new ones last. A bomb set off earlier in
  // this step by another bomb's blast counts on down from -1 too.
  Simulator simulator(&state);
  for (std::size_t i = 0; i < state.bombs.size(); ++i) {
    Bomb& bomb = state.bombs[i];
    if (bomb.timer == kDueTimer) {
      simulator.Detonate(bomb);
    } else if (bomb.timer > INT_MIN) {
      --bomb.timer;  // at INT_MIN a gone bomb simply stays gone
    }
  }
  // Step 5.
  state.tick = Shift(state.tick, 1);
}
