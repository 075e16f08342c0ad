// What the window does, whatever draws it: it lists a folder's containers,
// inspects the chosen one, rips it and extracts it. Each action gives back
// what the window shows, and an error that reaches the top of an action
// comes back as its description for the window's message box; the toolkit's
// own code only draws and routes events.
//
// An extraction runs on a worker thread while the window goes on: the
// session hands out the job the worker runs and counts itself busy until
// the window tells it the job has ended. Meanwhile the window starts no
// other action, and asks before it closes.
//
// The Entries dialog shows the entries the session loaded from the chosen
// container, or from every container of the folder; they stay with those
// containers while the window's choice moves on, and its extractions run as
// the window's do, each entry into its own container's EXT_ folder.

#ifndef BRIMWALD_APP_SESSION_WINDOW_SESSION_H_
#define BRIMWALD_APP_SESSION_WINDOW_SESSION_H_

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/session/action_outcome.h"
#include "app/session/entries_model.h"
#include "app/session/extract_job.h"
#include "app/session/extract_report.h"
#include "container/selection.h"

namespace brimwald {

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
  /// Where the script went, under txtName: "Wrote RIP_music.bat" once it
  /// is complete; empty otherwise.
  std::string status;
};

struct StartOutcome : ActionOutcome {
  /// The extraction for the worker thread; null after an error.
  std::unique_ptr<ExtractJob> job;
  /// The progress dialog's text: "Extracting <FileName>...".
  std::string progress_text;
};

struct EntriesOutcome : ActionOutcome {
  /// The Entries dialog's title: "Entries of <FileName>", or "Entries of
  /// all containers".
  std::string title;
};

/// Keeps the window's Selection for its whole life.
class WindowSession {
 public:
  /// A session in the folder `directory` ("" for the current one), where
  /// containers are listed and read and scripts written. Nothing is chosen.
  explicit WindowSession(std::string directory = "");

  /// The folder's "*.str" files, letter case ignored, sorted ignoring case.
  ListOutcome ListContainers() const;

  /// The user chose `name` (a bare file name from the list): inspects it.
  ChooseOutcome Choose(const std::string& name);

  /// RIP: writes the chosen container's script, on the calling thread.
  RipOutcome Rip();

  /// Extract: hands out the extraction of the chosen container into
  /// EXT_<BaseName> beside it, for a worker thread to run, and is busy from
  /// now until FinishExtract(). Fails while another extraction runs; what
  /// the choice lacks the job's outcome reports.
  StartOutcome StartExtract();

  /// Entries...: loads every entry of the chosen container into entries(),
  /// in place of those loaded before; after an error there are none.
  EntriesOutcome OpenEntries();
  /// Entries of all containers...: loads every entry of every container
  /// the folder lists now, in the list's order, into entries(), in place
  /// of those loaded before; a file that isn't a container or can't be
  /// read loads nothing, and the model says why. Fails only when the
  /// folder can't be listed.
  EntriesOutcome OpenAllEntries();
  /// The entries the Entries dialog shows; null when none are loaded.
  EntriesModel* entries() { return entries_.get(); }
  /// The Entries dialog has closed: its entries go.
  void CloseEntries() { entries_.reset(); }

  /// Extract selected: as StartExtract(), for exactly the entries that show
  /// in `rows` of entries(), from their containers, one job that extracts
  /// each container's entries into its EXT_ folder in turn. Fails when no
  /// entries are loaded or `rows` is empty.
  StartOutcome StartExtractEntries(const std::vector<int32_t>& rows);
  /// Extract all: as StartExtract(), for every entry of the containers of
  /// entries(), whatever its filter shows. Fails when no container loaded.
  StartOutcome StartExtractAllEntries();

  /// The worker has ended the extraction that a Start...() handed out.
  void FinishExtract();

  /// Whether an extraction runs: the window then starts no other action.
  bool extracting() const { return extracting_.has_value(); }

  /// What the window asks when the user closes it during an extraction; a
  /// yes stops the extraction first.
  std::string CloseQuestion() const;

  /// What the file list's tooltip shows: the folder the window works in.
  std::string FolderText() const;

  const std::string& directory() const { return directory_; }
  const Selection& selection() const { return selection_; }

 private:
  // Puts into `outcome` the extraction of `parts`, showing "Extracting
  // <what>..."; throws while one runs.
  void Start(StartOutcome& outcome, std::vector<ExtractPart> parts,
             const std::string& what);
  // The loaded entries; throws when there are none.
  EntriesModel& LoadedEntries();

  std::string directory_;
  Selection selection_;
  std::unique_ptr<EntriesModel> entries_;
  // What is being extracted, while something is: a container's name, or
  // how many containers.
  std::optional<std::string> extracting_;
};

}  // namespace brimwald

#endif  // BRIMWALD_APP_SESSION_WINDOW_SESSION_H_
