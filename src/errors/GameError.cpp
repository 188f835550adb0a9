// Error base with a call trace captured where the error is raised.
#include "errors/GameError.h"

#include <cxxabi.h>
#include <execinfo.h>

#include <cstdlib>
#include <memory>
#include <utility>

namespace {
constexpr int maxFrames = 64;

// backtrace_symbols gives "binary(_ZN4name+0x1f) [0x...]": the part between "(" and "+" is a
// mangled C++ name, which the toolchain's demangler turns back into the source's spelling. A frame
// so named is shown as that name; others (static functions, the C library) as they come.
std::string readableFrame(const std::string& frame) {
  const std::size_t open = frame.find('(');
  const std::size_t plus = frame.find('+', open);
  if (open == std::string::npos || plus == std::string::npos || plus == open + 1) return frame;
  const std::string mangled = frame.substr(open + 1, plus - open - 1);
  int status = 0;
  const std::unique_ptr<char, decltype(&std::free)> name(
      abi::__cxa_demangle(mangled.c_str(), nullptr, nullptr, &status), &std::free);
  if (status != 0 || name == nullptr) return frame;
  std::string shown = name.get();
  const std::string longString =
      "std::__cxx11::basic_string<char, std::char_traits<char>, std::allocator<char> >";
  for (std::size_t at; (at = shown.find(longString)) != std::string::npos;)
    shown.replace(at, longString.size(), "std::string");
  return shown;
}

// The constructors of the error itself ("FileError::FileError(...)") tell the reader nothing.
bool isConstructor(const std::string& frame) {
  const std::size_t colons = frame.find("::");
  return colons != std::string::npos &&
         frame.compare(colons + 2, colons + 1, frame.substr(0, colons) + "(") == 0;
}
}  // namespace

std::vector<std::string> captureCallTrace() {
  void* frames[maxFrames];
  int count = backtrace(frames, maxFrames);
  std::vector<std::string> lines;
  char** symbols = backtrace_symbols(frames, count);
  if (symbols == nullptr) return lines;
  // Frame 0 is captureCallTrace itself; it tells the reader nothing.
  for (int i = 1; i < count; ++i) {
    std::string frame = readableFrame(symbols[i]);
    if (!(lines.empty() && isConstructor(frame))) lines.push_back(std::move(frame));
  }
  std::free(symbols);
  return lines;
}

GameError::GameError(const std::string& kind, const std::string& description)
    : std::runtime_error(kind + ": " + description),
      kind_(kind),
      description_(description),
      what_(kind + ": " + description),
      trace_(captureCallTrace()) {}

void GameError::addContext(const std::string& context) {
  description_ = context + description_;
  what_ = kind_ + ": " + description_;
}
