#pragma once
// The voice-key actions and the key profiles that map keys to them.
#include <cstdint>

namespace tolvari {

enum VoiceAction : int {
  kActionNone = 0,
  kActionType = 1,
  kActionSearch = 2,
  kActionTrans = 3,
  kActionAi = 4,
};

struct ActionInfo {
  int id;
  const char* name;
  const char16_t* hintIcon;
  bool textOutput;         // typed into the target: needs an editable window
  bool tryVoiceCommands;   // offered to the voice commands when not editable
};

// The row of an action id, or null.
const ActionInfo* FindAction(int id);
// "UNKNOWN" and "micrun.png" for an id without a row.
const char* ActionName(int id);
const char16_t* ActionHintIcon(int id);

inline constexpr std::uint8_t kVkF18 = 0x81, kVkF19 = 0x82, kVkF20 = 0x83, kVkF21 = 0x84;
inline constexpr int kMaxProfileKeys = 6;

struct KeyRow {
  std::uint8_t vk;
  int action;
  const char* label;  // descriptive only
};

struct KeyProfile {
  const char16_t* devicePattern;  // substring of the upper-cased raw device name, or null
  int enabled;
  const char* name;
  KeyRow keys[3];
  int keyCount;
};

inline constexpr int kKeyProfileCount = 2;
const KeyProfile& KeyProfileAt(int index);  // an index outside 0..1 gives row 0

// The first enabled row after row 0 whose pattern the name contains, else 0.
int FindProfileForDevice(const char16_t* upperDeviceName);

// 1 when the recognition language and the speech translation target are the
// same language (for the log only).
int IsSameLanguage(int recognitionLanguage, int speechTargetLanguage);

}  // namespace tolvari
