// The quarnel command line: `quarnel INPUT OUTPUT FIRST LAST`, the cutting
// tool that rip scripts call.

#ifndef BRIMWALD_QUARNEL_QUARNEL_H_
#define BRIMWALD_QUARNEL_QUARNEL_H_

#include <ostream>
#include <string>
#include <vector>

namespace brimwald::quarnel {

/// Runs the command line `args` (without the program name), writing help
/// and version text to `out` and diagnostics, "quarnel: <reason>", to
/// `err`. Returns the exit status: 0 success, 1 a range or file at fault
/// (OUTPUT then left as it was), 2 bad arguments.
int RunQuarnel(const std::vector<std::string>& args, std::ostream& out,
               std::ostream& err);

}  // namespace brimwald::quarnel

#endif  // BRIMWALD_QUARNEL_QUARNEL_H_
