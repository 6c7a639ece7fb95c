// An output stream that drops everything: the benchmarks time the decision,
// not the terminal.
#pragma once

#include <ostream>
#include <streambuf>

class NullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

class NullStream : public std::ostream {
 public:
  NullStream() : std::ostream(&buffer) {}

 private:
  NullBuffer buffer;
};
