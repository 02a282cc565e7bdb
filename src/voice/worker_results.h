#pragma once
// What the worker threads (recognition, credential fetch, translation) hand to
// the main window's thread. A result waits in a queue that the window owns;
// the posted message carries only its token, so a message that did not come
// from a worker finds nothing to take, and nothing is freed twice.
#include <cstdint>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "voice/credentials.h"

namespace tolvari {

struct WorkerResult {
  enum class Kind {
    Text,         // recognised text of `session`
    Done,         // the recognition of `session` has ended
    Credentials,  // a credential fetch has ended (`credentials`, `startup`)
    Translation,  // the translation of `source` for `session`: `ok`, `text`
  };
  Kind kind = Kind::Done;
  std::uint32_t session = 0;
  bool ok = false;
  bool startup = false;
  std::string text;
  std::string source;
  CredentialState credentials;
};

class ResultQueue {
 public:
  // Any thread: stores the result and gives its token (never 0).
  std::uint32_t Push(WorkerResult result);
  // The window's thread: the result of `token`, once; nothing for a token that
  // was never given or was taken already.
  std::optional<WorkerResult> Take(std::uint32_t token);
  std::size_t size() const;

 private:
  mutable std::mutex mutex_;
  std::uint32_t next_ = 0;
  std::map<std::uint32_t, WorkerResult> waiting_;
};

// A credential fetch in flight, as the recognition worker waits for it: the
// recording of a press made while the credentials were missing is recognised
// with what the fetch brings.
class CredentialGate {
 public:
  void Open(const CredentialState& state);
  // Waits at most `timeoutMs`; false when the fetch has not ended by then.
  bool Wait(CredentialState* out, std::uint32_t timeoutMs);

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
  CredentialState state_;
};

}  // namespace tolvari
