// Containers chosen as the window and the commands choose them, and what
// the core's extraction of them leaves, for tests of every front end.

#ifndef BRIMWALD_TESTING_CHOSEN_CONTAINER_H_
#define BRIMWALD_TESTING_CHOSEN_CONTAINER_H_

#include <map>
#include <string>

#include "container/selection.h"
#include "extract/extract.h"
#include "samples/container_builder.h"
#include "table/entry_choice.h"

namespace brimwald::testing {

/// The selection of the file `name` in `folder` once inspected.
Selection Chosen(const std::string& folder, const std::string& name);

/// Writes `builder`'s container as `name` in `folder`, then Chosen().
Selection WriteChosen(const samples::ContainerBuilder& builder,
                      const std::string& folder, const std::string& name);

/// A listener that lets every extraction run to its end and keeps nothing.
class QuietListener : public ExtractListener {
 public:
  void EntryFailed(const TableEntry&, const Error&) override {}
  bool Progress(const ExtractProgress&) override { return true; }
};

/// What extracting the entries of `selection` that `choice` takes leaves
/// below its EXT_ folder, by the core alone into a fresh folder: the files'
/// paths below it, with "/" between parts, and their bytes.
std::map<std::string, std::string> ExtractedFiles(
    const Selection& selection, const EntryChoice& choice = EntryChoice());

/// `qvstr` (a .qvstr file's bytes) with a new header and body, its
/// HeaderSize and BodySize set to match: an edit as a modder makes it.
std::string EditedQvstr(const std::string& qvstr, const std::string& header,
                        const std::string& body);

}  // namespace brimwald::testing

#endif  // BRIMWALD_TESTING_CHOSEN_CONTAINER_H_
