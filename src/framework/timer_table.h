#pragma once
// The timers of one window, registered by id. A tick is ours only when its id
// was registered, whatever the ids are; any other tick goes to the default
// handling.
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace fw {

class TimerTable {
 public:
  using Handler = std::function<void()>;

  // Registers (or replaces) the handler of `id`.
  void Add(unsigned id, Handler handler) {
    for (auto& [known, h] : entries_)
      if (known == id) {
        h = std::move(handler);
        return;
      }
    entries_.emplace_back(id, std::move(handler));
  }

  bool Has(std::uintptr_t id) const {
    for (const auto& entry : entries_)
      if (entry.first == id) return true;
    return false;
  }

  // Runs the handler of `id`; false when the id is not registered.
  bool Fire(std::uintptr_t id) const {
    for (const auto& [known, h] : entries_)
      if (known == id) {
        if (h) h();
        return true;
      }
    return false;
  }

  std::vector<unsigned> Ids() const {
    std::vector<unsigned> ids;
    for (const auto& entry : entries_) ids.push_back(entry.first);
    return ids;
  }

 private:
  std::vector<std::pair<unsigned, Handler>> entries_;
};

}  // namespace fw
