#include "stream_model.h"

#include <algorithm>
#include <cstddef>

#include "protocol/fields.h"
#include "protocol/network.h"
#include "state/state.h"

namespace {

// The lines the transport hands out: cut at the line limit, a partial
// trailing line never, then the disconnect line for ever.
class Lines {
 public:
  explicit Lines(std::string_view stream) : rest(stream), size(stream.size()) {}

  std::string_view Next() {
    const std::size_t newline = rest.find('\n');
    if (newline == std::string_view::npos)
      return Network::kDisconnect;
    const std::string_view line = rest.substr(0, std::min(newline, Network::kMaxLine));
    rest.remove_prefix(newline + 1);
    saidGoodbye = saidGoodbye || line == Network::kDisconnect;
    return line;
  }

  // Bytes handed out so far.
  std::size_t Offset() const { return size - rest.size(); }

  bool saidGoodbye = false;  // a whole DISCONNECT line was handed out

 private:
  std::string_view rest;
  std::size_t size;
};

bool Contains(std::string_view line, std::string_view keyword) {
  return line.find(keyword) != std::string_view::npos;
}

int Side(int value) {
  return value < 0 || value > State::kMaxSide ? 0 : value;
}

// Reads sections up to their end line or a disconnect; returns false when a
// DISCONNECT outside every section ends the stream.
class Model {
 public:
  explicit Model(std::string_view stream) : lines(stream) {}

  bool NextBlock() {
    block.log.clear();
    lines.saidGoodbye = false;
    for (;;) {
      const std::string_view line = lines.Next();
      if (line == Network::kDisconnect)
        return false;
      if (line == "DEAD") {
        block.log += "DEAD\n";
      } else if (line == "ENDOFROUND") {
        block.log += "ENDOFROUND\n";
        block.tick = 0;
        block.playersKnown = false;
      } else if (line == "PLAYERS") {
        Players();
      } else if (line == "BOMBS") {
        SkipTo("ENDBOMBS");
      } else if (line == "MAP") {
        const bool whole = SkipTo("ENDMAP");
        ++block.tick;
        wholeSinceLast = whole && !lines.saidGoodbye;
        end = lines.Offset();
        return true;
      } else {
        Values(line);
      }
    }
  }

  ExpectedBlock block;
  bool wholeSinceLast = false;  // the block just read ended in ENDMAP, with no goodbye before
  std::size_t end = 0;          // the offset after the block just read

 private:
  void Players() {
    block.playersKnown = true;
    block.selfListed = false;
    for (std::string_view line = lines.Next(); line != "ENDPLAYERS" && line != Network::kDisconnect;
         line = lines.Next()) {
      Split(line, ' ', words);
      if (words.size() < 2)
        continue;
      Split(words[1], ',', coordinates);
      if (coordinates.size() < 2 || Val<int>(words[0]) != State::kSelfId)
        continue;
      block.selfListed = true;
      block.selfX = Val<int>(coordinates[0]);
      block.selfY = Val<int>(coordinates[1]);
    }
    if (!block.selfListed)
      block.selfX = block.selfY = 0;
  }

  // Whether the end line came.
  bool SkipTo(std::string_view last) {
    std::string_view line = lines.Next();
    while (line != last && line != Network::kDisconnect)
      line = lines.Next();
    return line == last;
  }

  void Values(std::string_view line) {
    if (block.playersKnown && Contains(line, "X "))
      block.selfX = Val<int>(line.substr(2));
    if (block.playersKnown && Contains(line, "Y "))
      block.selfY = Val<int>(line.substr(2));
    if (Contains(line, "HEIGHT "))
      block.height = Side(Val<int>(line.substr(7)));
    if (Contains(line, "WIDTH "))
      block.width = Side(Val<int>(line.substr(6)));
  }

  Lines lines;
  std::vector<std::string_view> words;
  std::vector<std::string_view> coordinates;
};

}  // namespace

ExpectedStream Expect(std::string_view stream) {
  ExpectedStream expected;
  Model model(stream);
  for (std::size_t lastEnd = 0; model.NextBlock(); lastEnd = model.end) {
    if (!expected.blocks.empty()) {
      expected.blocks.back().newerWaiting =
          model.wholeSinceLast && model.end - lastEnd <= Network::kReadAhead;
    }
    expected.blocks.push_back(model.block);
  }
  expected.endLog = model.block.log;
  return expected;
}
