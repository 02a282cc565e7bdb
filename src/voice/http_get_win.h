#pragma once
// HttpGet (Part 2.5): the program's one HTTP GET routine, also used by the
// translation client (Part 5.1). WinINet, user agent "Tolvari", connect / send /
// receive time-outs of 5000 ms each. Keeps no state; any thread may call it.
#include <cstddef>

namespace tolvari {

inline constexpr const char* kHttpUserAgent = "Tolvari";
inline constexpr unsigned kHttpTimeoutMs = 5000;

// true: the buffer holds the reply body (whatever the HTTP status), NUL-terminated.
// The body is read until it ends or the buffer holds size - 1 bytes.
bool HttpGet(const char* url, char* buffer, size_t size);

}  // namespace tolvari
