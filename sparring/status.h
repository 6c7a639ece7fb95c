// What the arena tells a player each tick, read line by line: the other
// players, the bombs, our own cell and the map, plus the lines between blocks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sparring {

struct SeenPlayer {
  int id = 0;
  int x = 0;
  int y = 0;
};

struct SeenBomb {
  int x = 0;
  int y = 0;
  int timer = 0;
};

struct Status {
  std::vector<SeenPlayer> others;  // every living player but us
  std::vector<SeenBomb> bombs;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  std::vector<std::string> rows;
};

enum class Event { None, Block, Dead, RoundEnd, Disconnect };

class StatusReader {
 public:
  // Takes one line without its newline; Block once a map has ended, and the
  // block is then Latest().
  Event Feed(std::string_view line);
  const Status& Latest() const { return latest_; }

 private:
  enum class Section { Top, Players, Bombs, Map };
  Section section_ = Section::Top;
  Status building_;
  Status latest_;
};

}  // namespace sparring
