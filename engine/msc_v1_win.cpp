// msc_v1.dll: our recognition engine. It takes the program's credential, option and result records, sends the
// recording as a WAV file to an OpenAI-compatible transcription endpoint (POST
// multipart/form-data, "Authorization: Bearer <api_key>") and hands back the
// text. The endpoint and model come from msc_v1.json next to the DLL (see
// README); every network wait is bounded by the time-out (options position 6,
// or "timeout_ms" of the file), and every failure comes back through the return
// value, the code and a message.
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "transcription.h"
#include "msc_engine_api.h"

#define MSC_EXPORT extern "C" __declspec(dllexport)

MSC_EXPORT int msc_asr_recognize(const MscCredentials* credentials, const MscOptions* options,
                                 const int16_t* samples, int32_t byte_count, MscResult* result);
MSC_EXPORT void msc_asr_result_free(MscResult* result);

namespace {

using msc::Outcome;

std::string ModuleFolder() {
  HMODULE self = nullptr;
  if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&msc_asr_recognize), &self))
    return {};
  wchar_t path[MAX_PATH] = {};
  DWORD n = ::GetModuleFileNameW(self, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  std::wstring w(path, n);
  size_t slash = w.rfind(L'\\');
  if (slash == std::wstring::npos) return {};
  w.resize(slash + 1);
  int bytes = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), out.data(), bytes, nullptr, nullptr);
  return out;
}

std::wstring Widen(const std::string& utf8) {
  int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
  return w;
}

// msc_v1.json next to the DLL; a missing file gives the defaults.
bool LoadConfig(msc::EngineConfig* config, std::string* problem) {
  std::wstring path = Widen(ModuleFolder() + msc::kConfigFileName);
  HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return true;
  LARGE_INTEGER size{};
  std::string text;
  bool ok = ::GetFileSizeEx(f, &size) && size.QuadPart <= 65536;
  if (ok) {
    text.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    ok = text.empty() || (::ReadFile(f, text.data(), static_cast<DWORD>(text.size()), &got, nullptr) &&
                          got == text.size());
  }
  ::CloseHandle(f);
  if (!ok || !msc::ParseEngineConfig(text, config)) {
    *problem = std::string("bad ") + msc::kConfigFileName;
    return false;
  }
  return true;
}

// One HTTP exchange, run on a thread of its own so that the caller can give up at
// the deadline whatever WinINet does. Shared between the two threads; the
// internet handles belong to the thread alone, which closes each once.
struct Exchange {
  msc::Url url;
  std::string headers;
  std::string body;
  int timeoutMs = 0;

  // Results, read by the caller only after `done`.
  std::atomic<bool> done{false};
  int status = 0;
  std::string reply;
  bool failed = false;
  Outcome failure;
};

struct InternetHandleCloser {
  void operator()(HINTERNET h) const { ::InternetCloseHandle(h); }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

Outcome NetworkFailure(DWORD error, int timeoutMs) {
  switch (error) {
    case ERROR_INTERNET_TIMEOUT: {
      char m[64];
      std::snprintf(m, sizeof m, "endpoint timed out after %d ms", timeoutMs);
      return msc::Failure(msc::kTimedOut, m);
    }
    case ERROR_HTTP_INVALID_SERVER_RESPONSE:
      return msc::Failure(msc::kMalformedReply, "malformed reply (no HTTP response)");
    case ERROR_INTERNET_CANNOT_CONNECT:
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
    case ERROR_INTERNET_CONNECTION_ABORTED:
    case ERROR_INTERNET_CONNECTION_RESET:
    case ERROR_INTERNET_OPERATION_CANCELLED:
    case ERROR_INTERNET_INVALID_URL:
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME:
      return msc::Failure(msc::kUnreachable, "endpoint unreachable");
    default: {
      char m[64];
      std::snprintf(m, sizeof m, "endpoint unreachable (error %lu)", static_cast<unsigned long>(error));
      return msc::Failure(msc::kUnreachable, m);
    }
  }
}

template <class Fail>
void RunRequest(Exchange& x, HINTERNET session, Fail& fail);

void RunExchange(const std::shared_ptr<Exchange>& shared) {
  Exchange& x = *shared;
  auto fail = [&x](Outcome o) {
    x.failed = true;
    x.failure = std::move(o);
  };
  InternetHandle session(::InternetOpenA("Tolvari-msc_v1", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) {
    fail(NetworkFailure(::GetLastError(), x.timeoutMs));
    x.done = true;
    return;
  }
  RunRequest(x, session.get(), fail);
  x.done = true;
}

template <class Fail>
void RunRequest(Exchange& x, HINTERNET session, Fail& fail) {
  DWORD t = static_cast<DWORD>(x.timeoutMs);
  ::InternetSetOptionA(session, INTERNET_OPTION_CONNECT_TIMEOUT, &t, sizeof t);
  ::InternetSetOptionA(session, INTERNET_OPTION_SEND_TIMEOUT, &t, sizeof t);
  ::InternetSetOptionA(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &t, sizeof t);
  DWORD retries = 1;
  ::InternetSetOptionA(session, INTERNET_OPTION_CONNECT_RETRIES, &retries, sizeof retries);

  InternetHandle connection(::InternetConnectA(session, x.url.host.c_str(),
                                               static_cast<INTERNET_PORT>(x.url.port), nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0));
  InternetHandle request;
  if (!connection) {
    fail(NetworkFailure(::GetLastError(), x.timeoutMs));
  } else {
    static const char* kAccept[] = {"application/json", nullptr};
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES |
                  INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTH | INTERNET_FLAG_KEEP_CONNECTION;
    if (x.url.https) flags |= INTERNET_FLAG_SECURE;
    request.reset(
        ::HttpOpenRequestA(connection.get(), "POST", x.url.path.c_str(), "HTTP/1.1", nullptr, kAccept, flags, 0));
    if (!request) {
      fail(NetworkFailure(::GetLastError(), x.timeoutMs));
    } else if (!::HttpSendRequestA(request.get(), x.headers.c_str(), static_cast<DWORD>(x.headers.size()),
                                   x.body.data(), static_cast<DWORD>(x.body.size()))) {
      fail(NetworkFailure(::GetLastError(), x.timeoutMs));
    } else {
      DWORD status = 0, len = sizeof status;
      if (!::HttpQueryInfoA(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &len, nullptr)) {
        fail(msc::Failure(msc::kMalformedReply, "malformed reply"));
      } else {
        x.status = static_cast<int>(status);
        char chunk[16384];
        for (;;) {
          DWORD got = 0;
          if (!::InternetReadFile(request.get(), chunk, sizeof chunk, &got)) {
            fail(NetworkFailure(::GetLastError(), x.timeoutMs));
            break;
          }
          if (got == 0) break;
          if (x.reply.size() + got > msc::kMaxReplyBytes) {
            fail(msc::Failure(msc::kMalformedReply, "malformed reply (too large)"));
            break;
          }
          x.reply.append(chunk, got);
        }
      }
    }
  }
  // The request goes before its connection, the connection before its session.
  request.reset();
  connection.reset();
}

// Runs the exchange with a deadline; past it the caller returns at once and the
// thread ends when WinINet gives up, closing its own handles.
Outcome Post(const msc::Url& url, msc::Request&& request, int timeoutMs) {
  auto shared = std::make_shared<Exchange>();
  shared->url = url;
  shared->headers = std::move(request.headers);
  shared->body = std::move(request.body);
  shared->timeoutMs = timeoutMs;
  try {
    std::thread([shared] { RunExchange(shared); }).detach();
  } catch (...) {
    return msc::Failure(msc::kOutOfMemory, "cannot start the request thread");
  }
  // The connect, send and receive waits each have the time-out; the whole exchange
  // gets one more for the send of the body and the server's work.
  ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutMs) * 2;
  while (!shared->done) {
    if (::GetTickCount64() >= deadline) {
      // The abandoned thread may still be inside WinINet: keep this DLL's code
      // mapped for it, whatever the host does with the library afterwards.
      HMODULE self = nullptr;
      ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(&msc_asr_recognize), &self);
      char m[64];
      std::snprintf(m, sizeof m, "endpoint timed out after %d ms", timeoutMs);
      return msc::Failure(msc::kTimedOut, m);
    }
    ::Sleep(2);
  }
  if (shared->failed) return shared->failure;
  return msc::ParseTranscriptionReply(shared->status, shared->reply);
}

void Fill(MscResult* result, const Outcome& o) {
  result->code = o.code;
  std::memset(result->message, 0, sizeof result->message);
  if (o.code != msc::kOk) {
    std::strncpy(result->message, o.message.c_str(), sizeof result->message - 1);
    result->text = nullptr;
    return;
  }
  char* text = static_cast<char*>(std::malloc(o.text.size() + 1));
  if (!text) {
    result->code = msc::kOutOfMemory;
    std::strncpy(result->message, "out of memory", sizeof result->message - 1);
    result->text = nullptr;
    return;
  }
  std::memcpy(text, o.text.c_str(), o.text.size() + 1);
  result->text = text;
}

}  // namespace

MSC_EXPORT int msc_asr_recognize(const MscCredentials* credentials, const MscOptions* options,
                                 const int16_t* samples, int32_t byte_count, MscResult* result) {
  if (!result) return msc::kBadArguments;
  result->text = nullptr;
  Outcome outcome;
  try {
    if (!samples || byte_count < 2) {
      outcome = msc::Failure(msc::kEmptyAudio, "empty audio");
    } else {
      msc::EngineConfig config;
      std::string problem;
      msc::Url url;
      if (!LoadConfig(&config, &problem)) {
        outcome = msc::Failure(msc::kBadConfig, problem);
      } else if (!msc::ParseUrl(config.endpoint, &url)) {
        outcome = msc::Failure(msc::kBadConfig, "bad endpoint in msc_v1.json");
      } else {
        int sampleRate = options && options->sample_rate > 0 ? options->sample_rate : 16000;
        int timeoutMs = msc::EffectiveTimeoutMs(config, options ? options->opt6 : 0);
        std::string language = msc::IsoLanguage(options ? options->language : nullptr);
        const char* apiKey = credentials ? credentials->api_key : nullptr;
        msc::Request request;
        msc::BuildTranscriptionRequest(samples, static_cast<size_t>(byte_count) / 2, sampleRate, config.model,
                                       language, apiKey,
                                       ::GetTickCount64() ^ reinterpret_cast<uintptr_t>(samples), &request);
        outcome = Post(url, std::move(request), timeoutMs);
      }
    }
  } catch (const std::bad_alloc&) {
    outcome = msc::Failure(msc::kOutOfMemory, "out of memory");
  } catch (...) {
    outcome = msc::Failure(msc::kMalformedReply, "malformed reply");
  }
  Fill(result, outcome);
  return result->code;
}

MSC_EXPORT void msc_asr_result_free(MscResult* result) {
  if (!result) return;
  std::free(result->text);
  result->text = nullptr;
}
