#pragma once

#include <functional>
#include <utility>

namespace svctune {

// The state of a control that both the user and the program can set. Setting it runs the
// control's change handler exactly when the state changes, whoever sets it and whether or
// not the control is enabled; setting the state it already has does nothing.
template <typename T>
class ControlState {
 public:
  explicit ControlState(T initial = T{}) : value_(std::move(initial)) {}

  void OnChange(std::function<void()> handler) { handler_ = std::move(handler); }

  const T& Get() const { return value_; }

  // Puts the control back into a state without a change event, as emptying a list does.
  void Reset(T value) { value_ = std::move(value); }

  void Set(T value) {
    if (value == value_) {
      return;
    }
    value_ = std::move(value);
    if (handler_) {
      handler_();
    }
  }

 private:
  T value_;
  std::function<void()> handler_;
};

}  // namespace svctune
