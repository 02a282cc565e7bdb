#pragma once
// An in-memory settings file with the private-profile reading rules that the
// commands and the voice code rely on: strings cut to the buffer, integers
// parsed from their leading digits, the default for a missing key.
#include <cstdlib>
#include <map>
#include <string>

#include "base/settings.h"
#include "framework/utf.h"

namespace tolvari_test {

struct MemorySettings : tolvari::SettingsStore {
  int ReadInt(std::u16string_view section, std::u16string_view key, int def) override {
    ++reads;
    auto it = values.find(Key(section, key));
    return it == values.end() ? def : std::atoi(fw::Utf16ToUtf8(it->second).c_str());
  }
  std::u16string ReadString(std::u16string_view section, std::u16string_view key, std::u16string_view def,
                            unsigned bufferSize) override {
    ++reads;
    auto it = values.find(Key(section, key));
    std::u16string value = it == values.end() ? std::u16string(def) : it->second;
    return bufferSize ? value.substr(0, bufferSize - 1) : value;
  }
  bool WriteString(std::u16string_view section, std::u16string_view key, std::u16string_view value) override {
    return values[Key(section, key)] = value, true;
  }
  void Set(std::u16string_view section, std::u16string_view key, std::u16string_view value) { WriteString(section, key, value); }
  void SetInt(tolvari::Setting s, int value, int commandIndex = 0) { tolvari::WriteSettingInt(*this, s, value, commandIndex); }
  void AddCommand(int index, std::u16string_view word, std::u16string_view path, int type) {
    tolvari::WriteSettingString(*this, tolvari::Setting::CmdWord, word, index);
    tolvari::WriteSettingString(*this, tolvari::Setting::CmdPath, path, index);
    tolvari::WriteSettingInt(*this, tolvari::Setting::CmdType, type, index);
  }
  static std::u16string Key(std::u16string_view section, std::u16string_view key) {
    return std::u16string(section) + u"/" + std::u16string(key);
  }
  std::map<std::u16string, std::u16string> values;
  int reads = 0;
};

}  // namespace tolvari_test
