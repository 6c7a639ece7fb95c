#include "escape.h"

#include <algorithm>

namespace sparring {

namespace {

// Cell indexes of i's neighbours on the map, stay first; returns how many.
int Around(const Position& p, int i, int (&out)[5]) {
  const int w = p.board.Width();
  const arena::Cell c{i % w, i / w};
  int n = 0;
  for (const arena::Cell d : kSteps) {
    const arena::Cell next{c.x + d.x, c.y + d.y};
    if (p.board.Contains(next)) {
      out[n++] = p.Index(next);
    }
  }
  return n;
}

}  // namespace

std::vector<int> Arrivals(const Position& p, const std::vector<int>& from, int late) {
  std::vector<int> steps(static_cast<std::size_t>(p.Cells()), kNever);
  std::vector<int> queue;
  const auto walk = [&](int player, int start) {
    const int at = p.Index(p.players[static_cast<std::size_t>(player)]);
    std::vector<int> mine(steps.size(), kNever);
    mine[static_cast<std::size_t>(at)] = start;
    queue.assign(1, at);
    const int w = p.board.Width();
    for (std::size_t head = 0; head < queue.size(); ++head) {
      const int i = queue[head];
      int around[5];
      const int n = Around(p, i, around);
      for (int k = 1; k < n; ++k) {
        const int j = around[k];
        if (mine[static_cast<std::size_t>(j)] == kNever && p.Enterable({j % w, j / w})) {
          mine[static_cast<std::size_t>(j)] = mine[static_cast<std::size_t>(i)] + 1;
          queue.push_back(j);
        }
      }
    }
    for (std::size_t i = 0; i < steps.size(); ++i) {
      steps[i] = std::min(steps[i], mine[i]);
    }
  };
  for (const int player : from) {
    walk(player, player == late ? 1 : 0);
  }
  return steps;
}

std::vector<int> Standing(const Position& p, const std::vector<int>& from) {
  std::vector<int> steps(static_cast<std::size_t>(p.Cells()), kNever);
  for (const int player : from) {
    steps[static_cast<std::size_t>(p.Index(p.players[static_cast<std::size_t>(player)]))] = 0;
  }
  return steps;
}

Refuges::Refuges(const Forecast& f, const Position& p, const std::vector<int>& rivals)
    : f_(f), p_(p), rivals_(rivals), safe_(f.blasted.size(), 0) {
  const int cells = f.cells;
  for (int t = f.horizon; t >= 1; --t) {
    for (int i = 0; i < cells; ++i) {
      if (f.Blasted(t, i)) {
        continue;
      }
      bool ok = t == f.horizon;
      int around[5];
      const int n = ok ? 0 : Around(p, i, around);
      for (int k = 0; k < n && !ok; ++k) {
        const int j = around[k];
        ok = Safe(t + 1, j) &&
             (k == 0 || (f.Open(t + 1, j) && t + 1 < rivals[static_cast<std::size_t>(j)]));
      }
      safe_[static_cast<std::size_t>(t * cells + i)] = ok;
    }
  }
}

int Refuges::WaysOut(arena::Cell from) const {
  if (f_.horizon == 0) {
    return f_.cells;
  }
  std::vector<char> here(static_cast<std::size_t>(f_.cells), 0);
  here[static_cast<std::size_t>(p_.Index(from))] = 1;
  for (int t = 1; t <= f_.horizon; ++t) {
    std::vector<char> next(here.size(), 0);
    for (int i = 0; i < f_.cells; ++i) {
      if (!here[static_cast<std::size_t>(i)]) {
        continue;
      }
      int around[5];
      const int n = Around(p_, i, around);
      for (int k = 0; k < n; ++k) {
        const int j = around[k];
        if (Safe(t, j) && (k == 0 || (f_.Open(t, j) && t < rivals_[static_cast<std::size_t>(j)]))) {
          next[static_cast<std::size_t>(j)] = 1;
        }
      }
    }
    here = std::move(next);
  }
  int count = 0;
  for (const char c : here) {
    count += c;
  }
  return count;
}

}  // namespace sparring
