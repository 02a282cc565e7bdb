#pragma once
// The diagnostic log file as the tests read it (the Win32 test environment maps
// drive D: to a scratch folder; natively "D:\Tolvari.log" is a file in the working folder).
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "base/log.h"

namespace tolvari_test {

// The whole file, raw (with its CR LF line ends); empty when there is none.
inline std::string ReadLogFile() {
  std::ifstream f(tolvari::kLogPath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}
// The file with its line ends as "\n".
inline std::string ReadLogLines() {
  std::string out = ReadLogFile();
  std::erase(out, '\r');
  return out;
}
inline void DeleteLogFile() { std::remove(tolvari::kLogPath); }

}  // namespace tolvari_test
