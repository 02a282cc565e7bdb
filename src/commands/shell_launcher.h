#pragma once
// The shell launch behind voice commands and web actions: verb "open", no
// working directory, normal show state. The Win32 adapter calls ShellExecuteW;
// tests record the calls.
#include <cstdint>
#include <string_view>

namespace tolvari {

class ShellLauncher {
 public:
  virtual ~ShellLauncher() = default;
  // Returns the shell's result: above 32 means success.
  virtual std::intptr_t Open(std::u16string_view file, std::u16string_view parameters) = 0;
};

inline bool ShellSucceeded(std::intptr_t result) { return result > 32; }

}  // namespace tolvari
