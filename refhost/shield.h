// The C boundary of the reference host: an exception (in practice only
// std::bad_alloc) must never travel into the plug-in, so every host function
// and control runs its body through shield(), which turns a failure into the
// function's neutral result.
#pragma once

#include <utility>

namespace refhost::detail {

template <class Result, class Body>
Result shield(Result neutral, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    return neutral;
  }
}

template <class Body>
void shield(Body&& body) noexcept {
  try {
    std::forward<Body>(body)();
  } catch (...) {
  }
}

}  // namespace refhost::detail
