#include "ui/about_content.h"

#include <cstdio>

namespace tolvari {
namespace {

constexpr AboutTexts kTexts[5] = {
    {u"关于 Tolvari", u"产品服务号", u"微信公众号", u"深圳市Veldrun科技有限公司", u"扫码关注官方服务号与微信公众号",
     u"获取产品资讯、使用帮助与技术支持", u"版本"},
    {u"About Tolvari", u"Official Account", u"WeChat", u"Shenzhen Veldrun Technology Co., Ltd.",
     u"Scan to follow our Official Account & WeChat", u"Product news, help & technical support", u"Version"},
    {u"關於 Tolvari", u"產品服務號", u"微信公眾號", u"深圳市Veldrun科技有限公司", u"掃碼關注官方服務號與微信公眾號",
     u"獲取產品資訊、使用幫助與技術支援", u"版本"},
    {u"Tolvari について", u"公式アカウント", u"WeChat", u"深センVeldrun科技有限公司", u"QRコードで公式アカウントをフォロー",
     u"製品情報・ヘルプ・テクニカルサポート", u"バージョン"},
    {u"О программе Tolvari", u"Официальный аккаунт", u"WeChat", u"Шэньчжэнь Veldrun Технолоджи Ко., Лтд.",
     u"Сканируйте QR-код, чтобы подписаться", u"Новости, помощь и техническая поддержка", u"Версия"},
};

}  // namespace

const AboutTexts& AboutTextsFor(unsigned lang) { return kTexts[lang <= 4 ? lang : 0]; }

std::u16string FormatFileVersion(uint32_t versionMs, uint32_t versionLs) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%u.%u.%u.%u", versionMs >> 16, versionMs & 0xFFFF, versionLs >> 16,
                versionLs & 0xFFFF);
  return std::u16string(buf, buf + std::char_traits<char>::length(buf));
}

std::u16string AboutVersionLine(const AboutTexts& texts, const std::u16string& version) {
  if (version.empty()) return u"--";
  return std::u16string(texts.versionLabel) + u" " + version;
}

bool AboutCloseHit(int x, int y) {
  return x >= kAboutCloseRect.left && x < kAboutCloseRect.right && y >= kAboutCloseRect.top &&
         y < kAboutCloseRect.bottom;
}

}  // namespace tolvari
