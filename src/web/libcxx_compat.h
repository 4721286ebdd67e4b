// Force-included by the web build: the C++ library of Debian's Emscripten (libc++ 14)
// predates the range algorithms the engine uses. This supplies the few it needs, constexpr
// as the standard's are; newer libraries have their own and skip it.
#pragma once

#include <functional>
#include <version>

#if defined(_LIBCPP_VERSION) && _LIBCPP_VERSION < 15000
namespace std::ranges {  // NOLINT(cert-dcl58-cpp): fills a gap of this library only

inline constexpr struct {
  template <typename Range, typename Pred>
  constexpr bool operator()(Range&& range, Pred pred) const {
    for (auto&& x : range) {
      if (!std::invoke(pred, x)) return false;
    }
    return true;
  }
} all_of{};

}  // namespace std::ranges
#endif
