// What every action of the window gives back: what it shows, or the
// description of the error that reached its top, for the window's message
// box.

#ifndef BRIMWALD_APP_SESSION_ACTION_OUTCOME_H_
#define BRIMWALD_APP_SESSION_ACTION_OUTCOME_H_

#include <exception>
#include <string>

namespace brimwald {

/// The outcome of an action: what it shows, or the error to report.
struct ActionOutcome {
  /// Empty when the action went well.
  std::string error;
  bool failed() const { return !error.empty(); }
};

/// Runs `action(outcome)` as the top of a window action: an error it throws
/// becomes the outcome's.
template <typename Outcome, typename Action>
Outcome RunAction(Action action) {
  Outcome outcome;
  try {
    action(outcome);
  } catch (const std::exception& error) {
    outcome.error = error.what();
    if (outcome.error.empty()) outcome.error = "unknown error";
  }
  return outcome;
}

}  // namespace brimwald

#endif  // BRIMWALD_APP_SESSION_ACTION_OUTCOME_H_
