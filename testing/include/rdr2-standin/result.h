#pragma once
// Whether a step, an expectation, a load or the end of a run held, and if
// not, what happened, in the scenario runner's words:
//
//   my_mod_test.cpp:14: expect prompt "Hire Horse" offered: the world held
//   no prompt offered
//
// A test framework takes it as it is. GoogleTest's EXPECT_TRUE and
// ASSERT_TRUE print the message when it failed:
//
//   EXPECT_TRUE(game.expect("prompt \"Hire Horse\" offered"));
//
// and anywhere else `if (!r) std::cerr << r << '\n';` does the same.

#include <concepts>
#include <ostream>
#include <string>
#include <utility>

namespace standin {

class Result {
 public:
  Result() = default;  // held
  static Result failed(std::string message) {
    Result r;
    r.held_ = false;
    r.message_ = std::move(message);
    return r;
  }

  explicit operator bool() const { return held_; }
  const std::string& message() const { return message_; }  // empty when it held

  // A framework's own result type (GoogleTest's AssertionResult), made from
  // whether it held and given the message: nothing here depends on one.
  template <class R>
  requires(!std::same_as<R, bool> && std::constructible_from<R, bool> &&
           requires(R & r, const std::string& s) { r << s; })
  operator R()
      const {  // NOLINT(google-explicit-constructor): a framework converts it as it takes it
    R r(held_);
    if (!held_) r << message_;
    return r;
  }

  friend std::ostream& operator<<(std::ostream& out, const Result& r) {
    return out << (r.held_ ? std::string("held") : r.message_);
  }

 private:
  bool held_ = true;
  std::string message_;
};

}  // namespace standin
