#ifndef BRIMWALD_TESTING_ERROR_FROM_H_
#define BRIMWALD_TESTING_ERROR_FROM_H_

#include <gtest/gtest.h>

#include "base/error.h"

namespace brimwald::testing {

/// The Error that `action` throws; a test failure, and an error that says
/// so, when it throws none.
template <typename Action>
Error ErrorFrom(Action&& action) {
  try {
    action();
  } catch (const Error& error) {
    return error;
  }
  ADD_FAILURE() << "no error was thrown";
  return Error(ErrorKind::kFile, "(no error was thrown)");
}

/// Whether `error`'s description holds `text`.
inline bool Says(const Error& error, const std::string& text) {
  return std::string(error.what()).find(text) != std::string::npos;
}

}  // namespace brimwald::testing

#endif  // BRIMWALD_TESTING_ERROR_FROM_H_
