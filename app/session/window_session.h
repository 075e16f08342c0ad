// What the window does, whatever draws it: it lists a folder's containers,
// inspects the chosen one, rips it and extracts it. Each action gives back
// what the window shows, and an error that reaches the top of an action
// comes back as its description for the window's message box; the toolkit's
// own code only draws and routes events.

#ifndef BRIMWALD_APP_SESSION_WINDOW_SESSION_H_
#define BRIMWALD_APP_SESSION_WINDOW_SESSION_H_

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "container/selection.h"
#include "extract/extract.h"

namespace brimwald {

/// The outcome of an action: what it shows, or the error to report.
struct ActionOutcome {
  /// Empty when the action went well.
  std::string error;
  bool failed() const { return !error.empty(); }
};

struct ListOutcome : ActionOutcome {
  /// File names as the system gives them (bytes).
  std::vector<std::string> names;
};

struct ChooseOutcome : ActionOutcome {
  /// The text for lblINFO; empty after an error.
  std::string label;
};

struct RipOutcome : ActionOutcome {
  /// The last entry name the rip showed, for txtName, if it showed any.
  std::optional<std::string> last_name;
  /// Whether the script is complete, which the window tells with a beep.
  bool beep = false;
};

struct ExtractOutcome : ActionOutcome {
  ExtractResult result;
  /// "entry <index> '<name>': <reason>" for the first failed entries.
  std::vector<std::string> failures;
  /// The short report shown at the end: files written, entries that failed.
  std::string Report() const;
};

/// Keeps the window's Selection for its whole life.
class WindowSession {
 public:
  /// How many failed entries an extraction's report names.
  static constexpr size_t kReportedFailures = 10;

  /// A session in the folder `directory` ("" for the current one), where
  /// containers are listed and read and scripts written. Nothing is chosen.
  explicit WindowSession(std::string directory = "");

  /// The folder's "*.str" files, letter case ignored, sorted ignoring case.
  ListOutcome ListContainers() const;

  /// The user chose `name` (a bare file name from the list): inspects it.
  ChooseOutcome Choose(const std::string& name);

  /// RIP: writes the chosen container's script.
  RipOutcome Rip();

  /// Extracts the chosen container into EXT_<BaseName> beside it. `progress`
  /// is called after every entry; returning false stops the extraction,
  /// which keeps the files already complete and leaves no partial one.
  ExtractOutcome Extract(
      const std::function<bool(const ExtractProgress&)>& progress);

  const std::string& directory() const { return directory_; }
  const Selection& selection() const { return selection_; }

 private:
  std::string directory_;
  Selection selection_;
};

}  // namespace brimwald

#endif  // BRIMWALD_APP_SESSION_WINDOW_SESSION_H_
