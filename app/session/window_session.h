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
//
// Putting streams back (Update from EXT_..., and Replace... of one entry)
// is planned first, writing nothing, for the window to ask the user with
// what would be done; once confirmed, it runs on a worker thread as an
// extraction does, and counts as the one job that runs.

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
#include "app/session/write_back_job.h"
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

struct WriteBackStartOutcome : ActionOutcome {
  /// The job for the worker thread; null after an error.
  std::unique_ptr<WriteBackJob> job;
  /// The progress dialog's text: "Updating <FileName>...".
  std::string progress_text;
};

/// What the confirmation of a write-back shows, from a run that writes
/// nothing.
struct WriteBackPlan : ActionOutcome {
  /// The dialog's title: "Update <FileName>", "Replace an entry of
  /// <FileName>".
  std::string title;
  /// The question, or why there is nothing to do.
  std::string text;
  /// What would be replaced and every finding that would keep the update
  /// from being complete, as the command line prints them, "\n" between
  /// them.
  std::string details;
  /// Whether there is something to confirm; without, the dialog only
  /// tells `text`.
  bool can_confirm = false;
  /// The check box: "Keep a backup (<FileName>~)", on by default.
  std::string backup_label;
};

/// What a drop on the main window did.
struct DropOutcome : ActionOutcome {
  /// The dropped file's name in it, for the window to choose.
  std::string chosen;
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
  /// now until FinishJob(). Fails while another job runs; what
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

  /// Update from EXT_...: what updating the chosen container from
  /// EXT_<BaseName> beside it would do, writing nothing; something to
  /// confirm only when an entry would be replaced and no file is refused.
  WriteBackPlan PlanUpdate() const;
  /// Confirmed: hands out the update for a worker thread, as
  /// StartExtract() does; with `backup`, the old container is kept.
  WriteBackStartOutcome StartUpdate(bool backup);

  /// Where Replace...'s file chooser starts for the entry in `row` of
  /// entries(): its folder under EXT_, else EXT_ itself, else the
  /// container's folder, whichever is there first.
  std::string ReplaceFolder(int32_t row) const;
  /// Replace...: what replacing the entry in `row` by the .qvstr file at
  /// `qvstr_path` would do, writing nothing. A file `replace` would refuse
  /// is the outcome's error, worded as `replace` words it.
  WriteBackPlan PlanReplace(int32_t row, const std::string& qvstr_path) const;
  /// Confirmed: hands out that replacement for a worker thread.
  WriteBackStartOutcome StartReplace(int32_t row, const std::string& qvstr_path,
                                     bool backup);

  /// Whether the main window takes a drop of `paths`: one .str file.
  static bool TakesDrop(const std::vector<std::string>& paths);
  /// A .str file dropped on the main window: the session moves to its
  /// folder, with nothing chosen, for the window to list it and choose the
  /// file, as the FILE argument makes it start.
  DropOutcome Drop(const std::string& path);
  /// Whether a row of the Entries dialog takes a drop of `paths`: one
  /// .qvstr file.
  static bool TakesEntryDrop(const std::vector<std::string>& paths);

  /// The worker has ended the job that a Start...() handed out. After a
  /// write-back, entries() (the same object) are read again from their
  /// container, keeping filter and order; the error says why they can't.
  ActionOutcome FinishJob();

  /// Whether a job (an extraction or a write-back) runs: the window then
  /// starts no other action.
  bool busy() const { return running_.has_value(); }

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
  // Counts the job, `noun` ("update") of `name` (a container's, or how
  // many containers), as the one that runs, and whether it `writes` into
  // the container; throws, as `verb` can't be done, while another runs.
  void Begin(const std::string& verb, std::string noun, std::string name,
             bool writes = false);
  // The loaded entries; throws when there are none.
  EntriesModel& LoadedEntries();
  // The loaded entries, in which `row` shows; throws when it doesn't.
  const EntriesModel& LoadedEntries(int32_t row) const;

  std::string directory_;
  Selection selection_;
  std::unique_ptr<EntriesModel> entries_;
  // What runs, while a job does: "extraction" or "update", and the name of
  // its container (or how many containers).
  struct Running {
    std::string noun;
    std::string name;
    bool writes = false;  // whether it may change the loaded entries
  };
  std::optional<Running> running_;
};

}  // namespace brimwald

#endif  // BRIMWALD_APP_SESSION_WINDOW_SESSION_H_
