// Two pieces of work at once, on this thread and a second one. Internal to
// the engine.
#pragma once

#include <exception>
#include <system_error>
#include <thread>

namespace parasort::detail {

// Runs `back` on a second thread while `front` runs on this one, and
// rethrows what `back` threw. False, with neither run, when no thread can be
// started.
template <class Back, class Front>
bool inTwoThreads(Back back, Front front) {
  std::exception_ptr backFailure;
  std::jthread second;
  try {
    second = std::jthread([&] {
      try {
        back();
      } catch (...) {
        backFailure = std::current_exception();
      }
    });
  } catch (const std::system_error&) {
    return false;
  }
  front();
  second.join();
  if (backFailure) std::rethrow_exception(backFailure);
  return true;
}

}  // namespace parasort::detail
