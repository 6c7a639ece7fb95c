#include "lookahead/tick.h"

#include <climits>
#include <cstddef>

#include "lookahead/cell.h"

namespace {

constexpr int kNewBombTimer = 6;  // counted down once in this same tick
constexpr int kDueTimer = 1;

void Move(Board& board, std::size_t i, int dx, int dy) {
  const Player& player = board.players[i];
  const int x = Shift(player.x, dx);
  const int y = Shift(player.y, dy);
  if (board.Clear(x, y)) {
    board.MovePlayer(i, x, y);
  }
}

void Drop(Board& board, const Player& player) {
  if (board.OwnsLiveBomb(player.id)) {
    return;
  }
  // Another owner's bomb on the cell does not prevent the drop.
  board.AddBomb({player.id, player.x, player.y, kNewBombTimer});
}

}  // namespace

void PlayTick(Simulator& simulator, Command command) {
  Board& board = *simulator.board;
  // Step 2. Only the self record is given the candidate.
  for (Player& player : board.players) {
    if (player.id == State::kSelfId) {
      player.command = command;
      break;
    }
  }
  // Step 3. Players act in list order, each seeing the moves and drops before it.
  for (std::size_t i = 0; i < board.players.size(); ++i) {
    switch (board.players[i].command) {
      case Command::Up:
        Move(board, i, 0, -1);
        break;
      case Command::Down:
        Move(board, i, 0, 1);
        break;
      case Command::Left:
        Move(board, i, -1, 0);
        break;
      case Command::Right:
        Move(board, i, 1, 0);
        break;
      case Command::DropBomb:
        Drop(board, board.players[i]);
        break;
      case Command::Stay:
        break;
    }
  }
  // Step 4. Bombs tick in list order, new ones last. A bomb set off earlier in
  // this step by another bomb's blast counts on down from -1 too.
  for (Bomb& bomb : board.bombs) {
    if (bomb.timer == kDueTimer) {
      simulator.Detonate(bomb);
    } else if (bomb.timer > INT_MIN) {
      --bomb.timer;  // at INT_MIN a gone bomb simply stays gone
    }
  }
  board.IndexOwners();
  // Step 5.
  board.tick = Shift(board.tick, 1);
}
