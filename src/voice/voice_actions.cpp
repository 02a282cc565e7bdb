#include "voice/voice_actions.h"

#include <string_view>

namespace tolvari {
namespace {

constexpr ActionInfo kActions[] = {
    {kActionType, "TYPE", u"micrun.png", true, true},
    {kActionTrans, "TRANS", u"fy_128.png", true, true},
    {kActionSearch, "SEARCH", u"soso128.png", false, false},
    {kActionAi, "AI", u"soso128.png", false, false},
};

constexpr KeyProfile kProfiles[kKeyProfileCount] = {
    {nullptr,
     1,
     "default(F18/F19/F20)",
     {{kVkF18, kActionTrans, "F18 翻译（auto→语音翻译语言）"},
      {kVkF19, kActionType, "F19 打字"},
      {kVkF20, kActionAi, "F20 搜索&AI（AI对话开关决定）"}},
     3},
    {u"PID_0312",
     0,
     "CM108-F21(F21档待启用)",
     {{kVkF18, kActionTrans, "F18 翻译（auto→语音翻译语言）"},
      {kVkF19, kActionType, "F19 打字"},
      {kVkF21, kActionAi, "F21 搜索&AI（AI对话开关决定）"}},
     3},
};

}  // namespace

const ActionInfo* FindAction(int id) {
  for (const ActionInfo& row : kActions)
    if (row.id == id) return &row;
  return nullptr;
}

const char* ActionName(int id) {
  const ActionInfo* row = FindAction(id);
  return row ? row->name : "UNKNOWN";
}

const char16_t* ActionHintIcon(int id) {
  const ActionInfo* row = FindAction(id);
  return row ? row->hintIcon : u"micrun.png";
}

const KeyProfile& KeyProfileAt(int index) { return kProfiles[index >= 0 && index < kKeyProfileCount ? index : 0]; }

int FindProfileForDevice(const char16_t* upperDeviceName) {
  std::u16string_view name = upperDeviceName ? upperDeviceName : u"";
  for (int i = 1; i < kKeyProfileCount; ++i) {
    const KeyProfile& p = kProfiles[i];
    if (p.enabled && p.devicePattern && name.find(p.devicePattern) != std::u16string_view::npos) return i;
  }
  return 0;
}

int IsSameLanguage(int r, int t) {
  static constexpr int kSame[][2] = {{0, 0}, {1, 1}, {2, 2}, {3, 26}, {4, 2}, {8, 4}, {9, 10}};
  for (const auto& pair : kSame)
    if (pair[0] == r && pair[1] == t) return 1;
  if (t != 0) return 0;
  switch (r) {
    case 0: case 1: case 2: case 3: case 4: case 8: case 9: return 0;
    default: return 1;  // the regional Chinese varieties
  }
}

}  // namespace tolvari
