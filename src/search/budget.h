// The search's time budget, as the MARROWLARK_SEARCH_MS environment variable
// gives it: unset or 0 keeps the one-tick decision, 1 to 1000 milliseconds
// turn the search on. Anything else is refused before the bot connects.
#pragma once

#include <string>

struct SearchBudget {
  int milliseconds = 0;  // 0: no search
  std::string error;     // set when the text is not a valid budget
};

// `text` is the variable's value, or nullptr when it is unset.
SearchBudget ParseSearchBudget(const char* text);
