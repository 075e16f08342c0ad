// Extraction to a stream: the .qvstr bytes of the chosen entries, one after
// another in table order, for a tool that reads them from a pipe. No folder
// is made and no file written.

#ifndef BRIMWALD_EXTRACT_EXTRACT_TO_STREAM_H_
#define BRIMWALD_EXTRACT_EXTRACT_TO_STREAM_H_

#include <ostream>
#include <string>

#include "container/selection.h"
#include "extract/extract.h"
#include "table/entry_choice.h"

namespace brimwald {

/// Writes to `out`, for every entry of the container that `selection`
/// describes (it must have passed inspection) and that `choice` takes, the
/// entry's 72-byte record, then its stream header, then its stream body:
/// the bytes of the file that Extract() would write for it. An entry that
/// can't be cut goes to the listener before any of its bytes are written;
/// the others are still written. Throws Error (kFile) when the container
/// can't be read or `out` fails, saying "cannot write to <out_name>"; a
/// table broken further on ends the run with `table_error`. The result's
/// `folder` is empty.
ExtractResult ExtractToStream(const Selection& selection, std::ostream& out,
                              const std::string& out_name,
                              ExtractListener& listener,
                              const EntryChoice& choice = EntryChoice());

}  // namespace brimwald

#endif  // BRIMWALD_EXTRACT_EXTRACT_TO_STREAM_H_
