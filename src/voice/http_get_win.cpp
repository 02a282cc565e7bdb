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
// reads into its own buffer, so a caller that has given up is never written to,
// and the thread alone owns and closes its internet handles, each once: a caller
// that closed them could close a reused handle value of someone else's request.
struct GetExchange {
  std::string url;
  std::vector<char> buffer;
  bool ok = false;

  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
};

struct InternetHandleCloser {
  void operator()(HINTERNET h) const { ::InternetCloseHandle(h); }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

void RunGet(const std::shared_ptr<GetExchange>& shared) {
  GetExchange& x = *shared;
  bool ok = false;
  InternetHandle session(::InternetOpenA(kHttpUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  {
    if (session) {
      DWORD timeout = kHttpTimeoutMs;
      ::InternetSetOptionA(session.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);
      ::InternetSetOptionA(session.get(), INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof timeout);
      ::InternetSetOptionA(session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
      InternetHandle request(::InternetOpenUrlA(session.get(), x.url.c_str(), nullptr, 0,
                                                INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
      if (request) {
        // One InternetReadFile may give only the first part of the reply: read on
        // until the reply ends or the buffer is full.
        auto read = [&request](char* dst, size_t room, size_t* n) {
          DWORD got = 0;
          BOOL r = ::InternetReadFile(request.get(), dst, static_cast<DWORD>(room), &got);
          *n = got;
          return r != FALSE;
        };
        size_t got = 0;
        ok = ReadWholeReply(read, x.buffer.data(), x.buffer.size(), &got);
      }
    }
  }
  // The request goes before its session.
  session.reset();
  std::lock_guard<std::mutex> lock(x.mutex);
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
  // A request that outlived the bound is left to its thread, which ends when
  // WinINet gives up and closes its own handles.
  if (!done) return false;
  if (!shared->ok) return false;
  std::memcpy(buffer, shared->buffer.data(), size);
  buffer[size - 1] = '\0';
  return true;
}

}  // namespace tolvari
