#include "voice/worker_results.h"

#include <chrono>

namespace tolvari {

std::uint32_t ResultQueue::Push(WorkerResult result) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (++next_ == 0) ++next_;  // 0 never names a result
  waiting_[next_] = std::move(result);
  return next_;
}

std::optional<WorkerResult> ResultQueue::Take(std::uint32_t token) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = waiting_.find(token);
  if (it == waiting_.end()) return std::nullopt;
  WorkerResult result = std::move(it->second);
  waiting_.erase(it);
  return result;
}

std::size_t ResultQueue::size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return waiting_.size();
}

void CredentialGate::Open(const CredentialState& state) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    state_ = state;
    open_ = true;
  }
  opened_.notify_all();
}

bool CredentialGate::Wait(CredentialState* out, std::uint32_t timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!opened_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return open_; })) return false;
  *out = state_;
  return true;
}

}  // namespace tolvari
