#include <windows.h>

#include <iostream>
#include <optional>
#include <streambuf>
#include <string_view>

#include "io/console_output.h"
#include "text/script_encoding.h"
#include "text/wide_text.h"

namespace brimwald {
namespace {

// Collects what a stream writes and hands it to the console as Unicode.
// A full buffer is written up to its last stretch end, so that no stretch
// is judged in two halves; a flush writes everything.
class ConsoleBuffer : public std::streambuf {
 public:
  explicit ConsoleBuffer(HANDLE console) : console_(console) {
    setp(buffer_, buffer_ + sizeof buffer_);
  }
  ~ConsoleBuffer() override { Send(true); }

 protected:
  int_type overflow(int_type c) override {
    if (!Send(false)) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

  int sync() override { return Send(true) ? 0 : -1; }

 private:
  bool Send(bool everything) {
    std::string_view held(pbase(), static_cast<size_t>(pptr() - pbase()));
    size_t end = held.size();
    if (!everything) {
      size_t last = held.find_last_of(" \t'\"\r\n");
      if (last != std::string_view::npos) end = last + 1;
    }
    bool written =
        Write(Widen(TextForConsole(held.substr(0, end), DecodeFromScript)));
    std::string_view rest = held.substr(end);
    std::char_traits<char>::move(buffer_, rest.data(), rest.size());
    setp(buffer_, buffer_ + sizeof buffer_);
    pbump(static_cast<int>(rest.size()));
    return written;
  }

  bool Write(std::wstring_view text) {
    while (!text.empty()) {
      DWORD done = 0;
      if (!::WriteConsoleW(console_, text.data(),
                           static_cast<DWORD>(text.size()), &done, nullptr) ||
          done == 0) {
        return false;
      }
      text.remove_prefix(done);
    }
    return true;
  }

  HANDLE console_;
  char buffer_[4096];
};

// The console behind `which`, or nothing when it is a file or a pipe.
HANDLE Console(DWORD which) {
  HANDLE handle = ::GetStdHandle(which);
  DWORD mode;
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr ||
      !::GetConsoleMode(handle, &mode)) {
    return nullptr;
  }
  return handle;
}

// Sends `stream` to `console` while it lives, then puts its buffer back.
class ConsoleStream {
 public:
  ConsoleStream(std::ostream& stream, HANDLE console)
      : stream_(stream), buffer_(console), original_(stream.rdbuf(&buffer_)) {}
  ~ConsoleStream() {
    stream_.flush();
    stream_.rdbuf(original_);
  }

 private:
  std::ostream& stream_;
  ConsoleBuffer buffer_;
  std::streambuf* original_;
};

}  // namespace

struct ConsoleOutput::Streams {
  std::optional<ConsoleStream> out;
  std::optional<ConsoleStream> err;
};

ConsoleOutput::ConsoleOutput() : streams_(std::make_unique<Streams>()) {
  if (HANDLE console = Console(STD_OUTPUT_HANDLE)) {
    streams_->out.emplace(std::cout, console);
  }
  if (HANDLE console = Console(STD_ERROR_HANDLE)) {
    streams_->err.emplace(std::cerr, console);
  }
}

ConsoleOutput::~ConsoleOutput() = default;

}  // namespace brimwald
