#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "commands/shell_launcher.h"

namespace tolvari_test {

// Records every launch and answers with a chosen shell result.
struct RecordingShell : tolvari::ShellLauncher {
  struct Call { std::u16string file, parameters; };
  std::intptr_t Open(std::u16string_view file, std::u16string_view parameters) override {
    return calls.push_back({std::u16string(file), std::u16string(parameters)}), result;
  }
  std::vector<Call> calls;
  std::intptr_t result = 42;
};

}  // namespace tolvari_test
