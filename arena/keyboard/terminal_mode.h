// Puts the terminal on standard input into character-at-a-time mode without
// echo for as long as the object lives, and puts the saved settings back when
// it goes, whichever way the program leaves. Ctrl-C still raises SIGINT, which
// the arena handles like any other stop.
#pragma once

#include <termios.h>

namespace arena {

class TerminalMode {
 public:
  TerminalMode();
  ~TerminalMode();
  TerminalMode(const TerminalMode&) = delete;
  TerminalMode& operator=(const TerminalMode&) = delete;

  // False when standard input is no terminal; nothing is then changed.
  bool Active() const { return active_; }

 private:
  termios saved_{};
  bool active_ = false;
};

// Whether both standard input and standard output are terminals.
bool OnTerminal();

}  // namespace arena
