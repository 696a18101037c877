#pragma once
// A plug-in as the game tells them apart: by the module the host loaded it
// as. None stands for the game itself, and for a scenario's steps.

#include <compare>
#include <cstddef>
#include <functional>

namespace sim {

class PluginId {
 public:
  constexpr PluginId() = default;
  constexpr explicit PluginId(const void* module) : module_(module) {}

  constexpr const void* module() const { return module_; }
  constexpr bool none() const { return module_ == nullptr; }
  constexpr explicit operator bool() const { return module_ != nullptr; }

  friend constexpr bool operator==(PluginId, PluginId) = default;
  friend constexpr auto operator<=>(PluginId a, PluginId b) {
    return std::compare_three_way{}(a.module_, b.module_);
  }

 private:
  const void* module_ = nullptr;
};

}  // namespace sim

template <>
struct std::hash<sim::PluginId> {
  size_t operator()(sim::PluginId id) const noexcept {
    return std::hash<const void*>{}(id.module());
  }
};
