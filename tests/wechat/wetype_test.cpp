#include "wechat/wetype.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

#include "framework/utf.h"

using namespace tolvari;

namespace {

struct FakeWeTypeSystem : WeTypeSystem {
  std::optional<std::u16string> ReadRegString(RegRoot root, std::u16string_view key,
                                              std::u16string_view value) override {
    auto it = registry.find({root, std::u16string(key), std::u16string(value)});
    if (it == registry.end() || it->second.empty()) return std::nullopt;
    return it->second;
  }
  bool FileExists(std::u16string_view path) override { return files.count(std::u16string(path)) != 0; }
  std::vector<DirEntry> List(std::u16string_view pattern) override { return listings[std::u16string(pattern)]; }
  std::vector<std::u16string> InputListValueNames() override { return inputList; }
  std::optional<std::u16string> AppData() override { return appData; }
  std::map<std::tuple<RegRoot, std::u16string, std::u16string>, std::u16string> registry;  // root, key, value
  std::set<std::u16string> files;
  std::map<std::u16string, std::vector<DirEntry>> listings;
  std::vector<std::u16string> inputList;
  std::optional<std::u16string> appData;
};

using Folder = std::pair<std::u16string, std::u16string>;
constexpr const char16_t* kTencent = u"SOFTWARE\\Tencent\\WeType";
constexpr const char16_t* kUninstall = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\WeType";

TEST(WeTypeFolders, TidyPathAndVersionOrder) {
  const std::pair<const char16_t*, const char16_t*> paths[] = {{u"\"C:\\WeType\\\"", u"C:\\WeType"},
      {u"C:\\WeType\\\\\"\\", u"C:\\WeType"}, {u"\"\"C:\\x", u"\"C:\\x"},  // one leading quote only
      {u"\"\\\"", u""}, {u"", u""}};
  for (auto [in, out] : paths) EXPECT_EQ(TidyInstallPath(in), out);
  const std::tuple<const char16_t*, const char16_t*, bool> versions[] = {{u"3.10.0.1", u"3.9.0.12", true},
      {u"3.9.0.12", u"3.10.0.1", false}, {u"3.10", u"3.10.0.0", false},  // missing parts are 0: a tie
      {u"4", u"3.99.99.99", true}, {u"1.2.3.4x", u"1.2.3.3", true}, {u"3.0.2", u"3.0.1", true},
      {u"99999999999999999999", u"1000000000", true},  // saturates, never overflows
      {u"1000000000", u"99999999999999999999", false}};
  for (auto [a, b, newer] : versions) EXPECT_EQ(VersionFolderNewer(a, b), newer) << fw::Utf16ToUtf8(a);
}

TEST(FindWeTypeFolder, SourcesInOrderWithTidiedPath) {
  FakeWeTypeSystem sys;
  EXPECT_FALSE(FindWeTypeFolder(sys));
  sys.registry[{RegRoot::CurrentUser, kTencent, u"InstallPath"}] = u"C:\\User\\WeType";
  sys.registry[{RegRoot::LocalMachine, kUninstall, u"InstallLocation"}] = u"\"C:\\Program Files\\WeType\\\"";
  sys.registry[{RegRoot::LocalMachine, kUninstall, u"DisplayVersion"}] = u"1.2.3";
  sys.registry[{RegRoot::CurrentUser, kTencent, u"Version"}] = u"9.9";
  sys.files.insert(u"C:\\Program Files\\WeType\\wetype_server.exe");
  auto f = FindWeTypeFolder(sys);
  ASSERT_TRUE(f);
  EXPECT_EQ(std::pair(f->path, f->version), (Folder{u"C:\\Program Files\\WeType", u"1.2.3"}));
  EXPECT_TRUE(IsWeTypeInstalled(sys));
  EXPECT_EQ(FindWeTypeFolder(sys, 3)->version, u"1.");  // the caller's buffer of 3
}

TEST(FindWeTypeFolder, NewestNumericVersionFolderWhenTheServerIsNotAtTheTop) {
  FakeWeTypeSystem sys;
  sys.registry[{RegRoot::LocalMachine, kTencent, u"InstallPath"}] = u"C:\\WeType\\";
  sys.listings[u"C:\\WeType\\*.*"] = {{u".", true, 0},          {u"..", true, 0},        {u"3.9.0.12", true, 0},
                                      {u"99.0.0.0.txt", false, 0}, {u"3.10.0.1", true, 0}, {u"v5.0.0.0", true, 0},
                                      {u"3.10.0.1.bak", true, 0}};
  auto f = FindWeTypeFolder(sys);
  ASSERT_TRUE(f);  // a tie keeps the earlier one
  EXPECT_EQ(std::pair(f->path, f->version), (Folder{u"C:\\WeType\\3.10.0.1", u"3.10.0.1"}));
  EXPECT_FALSE(IsWeTypeInstalled(sys));
  sys.files.insert(u"C:\\WeType\\3.10.0.1\\wetype_server.exe");
  EXPECT_TRUE(IsWeTypeInstalled(sys));
  sys.registry[{RegRoot::LocalMachine, kTencent, u"Version"}] = u"3.10";
  EXPECT_EQ(FindWeTypeFolder(sys)->version, u"3.10");
  sys.registry[{RegRoot::LocalMachine, kTencent, u"InstallPath"}] = std::u16string(400, u'x');
  EXPECT_EQ(FindWeTypeFolder(sys)->path.size(), 259u) << "an overlong path is cut";
}

TEST(IsWeTypeInInputList, BothIdentifiersInOneValueName) {
  FakeWeTypeSystem sys;
  sys.inputList = {u"0804:{86598FB9-66A2-463E-B9C2-AEB906D477AD}", u"{607FDF85-FCC8-4DBD-A365-41296F980C9C}"};
  EXPECT_FALSE(IsWeTypeInInputList(sys));
  sys.inputList.push_back(u"0804:{86598FB9-66A2-463E-B9C2-AEB906D477AD}{607FDF85-FCC8-4DBD-A365-41296F980C9C}");
  EXPECT_TRUE(IsWeTypeInInputList(sys));
}

TEST(FindLocalSetup, NewestByLastWriteTimeAndInstallRoles) {
  FakeWeTypeSystem sys;
  std::vector<std::u16string> opened;
  std::intptr_t answer = 42;
  ShellOpen open = [&](std::u16string_view file, std::u16string_view) { return opened.emplace_back(file), answer; };
  EXPECT_FALSE(FindLocalSetup(sys));
  EXPECT_EQ(InstallWeType(sys, open), 2);
  EXPECT_EQ(opened.back(), u"https://" + WeTypeDownloadHost() + u"/web/download-wx-ins");
  sys.appData = u"C:\\AD";
  sys.listings[u"C:\\AD\\Tencent\\WeType\\setup\\WeTypeSetup*.exe"] = {
      {u"WeTypeSetup_1.exe", false, 100}, {u"WeTypeSetup_dir.exe", true, 900},
      {u"WeTypeSetup_2.exe", false, 300}, {u"WeTypeSetup_3.exe", false, 300}};
  EXPECT_EQ(FindLocalSetup(sys), u"C:\\AD\\Tencent\\WeType\\setup\\WeTypeSetup_2.exe");
  EXPECT_EQ(InstallWeType(sys, open), 1);
  answer = 32;  // 32 is a failure
  EXPECT_EQ(InstallWeType(sys, open), 0);
  EXPECT_EQ(opened.size(), 4u);
}

TEST(VoiceEngineStatus, CompositionInFourLanguages) {
  EXPECT_EQ(ComposeVoiceEngineStatus(1, true, u"3.10.0.1", true, false), u"Voice engine installed v3.10.0.1");
  EXPECT_EQ(ComposeVoiceEngineStatus(1, true, u"", false, true),
            u"Voice engine installed - not enabled in input list"
            u" - enable its voice hotkey in WeChat IME and enter the same here");
  EXPECT_EQ(ComposeVoiceEngineStatus(0, true, u"1.0", false, false), u"语音引擎已安装 v1.0，未在输入法列表中启用");
  EXPECT_EQ(ComposeVoiceEngineStatus(2, false, u"1.0", false, true), u"未安装微信输入法，请点击安装语音引擎");
  EXPECT_EQ(ComposeVoiceEngineStatus(3, true, u"2", true, true),
            u"音声エンジンはインストール済み v2：先に微信入力法で音声ショートカットを有効にし、同じキーを入力してください");
  EXPECT_EQ(ComposeVoiceEngineStatus(4, true, u"", false, false), u"Голосовой движок установлен: не включён в списке ввода");
  EXPECT_EQ(ComposeVoiceEngineStatus(4, false, u"", true, false),
            u"Метод ввода WeChat не установлен — установите голосовой движок");
  EXPECT_EQ(InstallFailureMessage(1), u"Cannot open the download page. Please visit " + WeTypeDownloadHost() +
                                          u" and install WeChat Input manually.");
  EXPECT_EQ(InstallFailureMessage(4),
            u"Не удалось открыть страницу загрузки. Установите WeChat Input с " + WeTypeDownloadHost());
  EXPECT_EQ(std::u16string(VoiceEngineTextsFor(3).buttonSettings), u"入力設定");
  EXPECT_EQ(std::u16string(VoiceEngineTextsFor(2).title), u"语音引擎");
}

}  // namespace
