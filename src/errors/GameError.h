// Base of every error the game raises. Each error records the call trace at the point it was
// raised, so the driver's "Oops!" report can show where things went wrong.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

class GameError : public std::runtime_error {
 public:
  GameError(const std::string& kind, const std::string& description);

  // Puts context before the description, e.g. what was lost by the failure; the error keeps its
  // kind (and type, when rethrown with `throw;`) and its trace.
  void addContext(const std::string& context);
  const char* what() const noexcept override { return what_.c_str(); }

  // The error kind, e.g. "FileError"; what() holds "kind: description".
  const std::string& kind() const { return kind_; }
  // What failed, in plain words, without the kind.
  const std::string& description() const { return description_; }
  // Symbolised frames captured when the error was constructed (may be empty).
  const std::vector<std::string>& trace() const { return trace_; }

 private:
  std::string kind_;
  std::string description_;
  std::string what_;
  std::vector<std::string> trace_;
};

// Captures the current call trace as printable lines (innermost call first), C++ names demangled.
std::vector<std::string> captureCallTrace();
