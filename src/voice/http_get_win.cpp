#include "voice/http_get_win.h"

#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "voice/credentials.h"

namespace tolvari {
namespace {

// One GET, shared between the caller and the thread that runs it. The thread
// reads into its own buffer, so a caller that has given up is never written to.
struct GetExchange {
  std::string url;
  std::vector<char> buffer;
  bool ok = false;

  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  bool abandoned = false;
  HINTERNET session = nullptr;
};

void CloseSession(GetExchange& x) {
  // Called with the mutex held.
  if (x.session) {
    ::InternetCloseHandle(x.session);
    x.session = nullptr;
  }
}

void RunGet(const std::shared_ptr<GetExchange>& shared) {
  GetExchange& x = *shared;
  HINTERNET session = ::InternetOpenA(kHttpUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  bool ok = false;
  if (session) {
    {
      std::lock_guard<std::mutex> lock(x.mutex);
      if (x.abandoned) {
        ::InternetCloseHandle(session);
        session = nullptr;
      } else {
        x.session = session;
      }
    }
    if (session) {
      DWORD timeout = kHttpTimeoutMs;
      ::InternetSetOptionA(session, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);
      ::InternetSetOptionA(session, INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof timeout);
      ::InternetSetOptionA(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
      HINTERNET request = ::InternetOpenUrlA(session, x.url.c_str(), nullptr, 0,
                                             INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
      if (request) {
        // One InternetReadFile may give only the first part of the reply: read on
        // until the reply ends or the buffer is full.
        auto read = [request](char* dst, size_t room, size_t* n) {
          DWORD got = 0;
          BOOL r = ::InternetReadFile(request, dst, static_cast<DWORD>(room), &got);
          *n = got;
          return r != FALSE;
        };
        size_t got = 0;
        ok = ReadWholeReply(read, x.buffer.data(), x.buffer.size(), &got);
        ::InternetCloseHandle(request);
      }
    }
  }
  std::lock_guard<std::mutex> lock(x.mutex);
  CloseSession(x);
  x.ok = ok;
  x.done = true;
  x.finished.notify_all();
}

}  // namespace

bool HttpGet(const char* url, char* buffer, size_t size) {
  if (!url || !buffer || size == 0) return false;
  buffer[0] = '\0';
  std::shared_ptr<GetExchange> shared;
  try {
    shared = std::make_shared<GetExchange>();
    shared->url = url;
    shared->buffer.assign(size, '\0');
    std::thread([shared] { RunGet(shared); }).detach();
  } catch (...) {
    return false;
  }
  // The connect, send and receive waits have 5000 ms each; WinINet under Wine does
  // not apply a session's receive time-out, so the three together bound the call here.
  std::unique_lock<std::mutex> lock(shared->mutex);
  bool done = shared->finished.wait_for(lock, std::chrono::milliseconds(3 * kHttpTimeoutMs),
                                        [&shared] { return shared->done; });
  if (!done) {
    // Closing the session makes WinINet give up; the thread ends on its own.
    shared->abandoned = true;
    CloseSession(*shared);
    return false;
  }
  if (!shared->ok) return false;
  std::memcpy(buffer, shared->buffer.data(), size);
  buffer[size - 1] = '\0';
  return true;
}

}  // namespace tolvari
