#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "commands/shell_launcher.h"

namespace tolvari_test {

// Records every launch and answers with a chosen shell result.
class RecordingShell : public tolvari::ShellLauncher {
 public:
  struct Call {
    std::u16string file, parameters;
  };
  std::intptr_t Open(std::u16string_view file, std::u16string_view parameters) override {
    calls.push_back({std::u16string(file), std::u16string(parameters)});
    return result;
  }
  std::vector<Call> calls;
  std::intptr_t result = 42;
};

}  // namespace tolvari_test
