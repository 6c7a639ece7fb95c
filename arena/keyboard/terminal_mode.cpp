#include "keyboard/terminal_mode.h"

#include <unistd.h>

namespace arena {

TerminalMode::TerminalMode() {
  if (tcgetattr(STDIN_FILENO, &saved_) != 0) {
    return;
  }
  termios raw = saved_;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  active_ = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
}

TerminalMode::~TerminalMode() {
  if (active_) {
    // Keys typed but never read would otherwise land in the shell.
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
  }
}

bool OnTerminal() {
  return isatty(STDIN_FILENO) == 1 && isatty(STDOUT_FILENO) == 1;
}

}  // namespace arena
