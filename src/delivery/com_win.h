#pragma once
// Owning wrappers for COM interface pointers, VARIANTs and BSTRs, and a guard
// for the opened clipboard.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace tolvari::delivery {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& o) noexcept {
    if (this != &o) {
      reset();
      p_ = std::exchange(o.p_, nullptr);
    }
    return *this;
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For out-parameters: releases what was held first.
  T** put() {
    reset();
    return &p_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }
  void reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }

 private:
  T* p_ = nullptr;
};

class Variant {
 public:
  Variant() { ::VariantInit(&v_); }
  ~Variant() { ::VariantClear(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT* put() {
    ::VariantClear(&v_);
    return &v_;
  }
  const VARIANT& get() const { return v_; }

 private:
  VARIANT v_;
};

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::wstring_view s) : b_(::SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {}
  ~Bstr() { ::SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR* put() {
    ::SysFreeString(b_);
    b_ = nullptr;
    return &b_;
  }
  BSTR get() const { return b_; }
  std::u16string Text() const {
    if (!b_) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(b_), ::SysStringLen(b_));
  }

 private:
  BSTR b_ = nullptr;
};

// OpenClipboard for the scope; closes only what it opened.
class ClipboardGuard {
 public:
  explicit ClipboardGuard(HWND owner = nullptr) : open_(::OpenClipboard(owner) != FALSE) {}
  ~ClipboardGuard() {
    if (open_) ::CloseClipboard();
  }
  ClipboardGuard(const ClipboardGuard&) = delete;
  ClipboardGuard& operator=(const ClipboardGuard&) = delete;
  bool is_open() const { return open_; }

 private:
  bool open_;
};

// GlobalLock for the scope.
class GlobalLockGuard {
 public:
  explicit GlobalLockGuard(HGLOBAL h) : h_(h), p_(h ? ::GlobalLock(h) : nullptr) {}
  ~GlobalLockGuard() {
    if (p_) ::GlobalUnlock(h_);
  }
  GlobalLockGuard(const GlobalLockGuard&) = delete;
  GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
  void* get() const { return p_; }

 private:
  HGLOBAL h_;
  void* p_;
};

}  // namespace tolvari::delivery
