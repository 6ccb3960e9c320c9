#pragma once

#include <oaidl.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace svctune::com {

// A VARIANT cleared at the end of its life.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  ~Variant() { VariantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  VARIANT* get() { return &value_; }
  const VARIANT* get() const { return &value_; }
  VARIANT* operator->() { return &value_; }
  const VARIANT* operator->() const { return &value_; }
  void Clear() { VariantClear(&value_); }
  // Changes the value in place to another type; false when it cannot be converted.
  bool ChangeTo(VARTYPE type) { return SUCCEEDED(VariantChangeType(&value_, &value_, 0, type)); }

 private:
  VARIANT value_;
};

// A BSTR freed at the end of its life.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::wstring& text)
      : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  BSTR get() const { return value_; }
  BSTR* Receive() {
    SysFreeString(value_);
    value_ = nullptr;
    return &value_;
  }
  std::wstring str() const {
    return value_ == nullptr ? std::wstring() : std::wstring(value_, SysStringLen(value_));
  }

 private:
  BSTR value_ = nullptr;
};

inline std::wstring ToString(BSTR text) {
  return text == nullptr ? std::wstring() : std::wstring(text, SysStringLen(text));
}

}  // namespace svctune::com
