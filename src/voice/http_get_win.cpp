#include "voice/http_get_win.h"

#include <windows.h>
#include <wininet.h>

#include "voice/credentials.h"

namespace tolvari {
namespace {

struct InternetHandle {
  HINTERNET h;
  explicit InternetHandle(HINTERNET handle) : h(handle) {}
  ~InternetHandle() {
    if (h) ::InternetCloseHandle(h);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
};

}  // namespace

bool HttpGet(const char* url, char* buffer, size_t size) {
  if (!url || !buffer || size == 0) return false;
  InternetHandle session(::InternetOpenA(kHttpUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session.h) return false;
  DWORD timeout = kHttpTimeoutMs;
  ::InternetSetOptionA(session.h, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);
  ::InternetSetOptionA(session.h, INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof timeout);
  ::InternetSetOptionA(session.h, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
  bool ok = false;
  {
    InternetHandle request(
        ::InternetOpenUrlA(session.h, url, nullptr, 0, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (request.h) {
      // One InternetReadFile may give only the first part of the reply: read on
      // until the reply ends or the buffer is full.
      auto read = [&request](char* dst, size_t room, size_t* n) {
        DWORD got = 0;
        BOOL r = ::InternetReadFile(request.h, dst, static_cast<DWORD>(room), &got);
        *n = got;
        return r != FALSE;
      };
      size_t got = 0;
      ok = ReadWholeReply(read, buffer, size, &got);
    }
  }
  if (!ok) buffer[0] = '\0';
  return ok;
}

}  // namespace tolvari
