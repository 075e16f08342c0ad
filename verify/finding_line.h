// One finding of the check as every front end words it, starting with the
// path it is about, so that a report reads like a compiler's:
//
//   EXT_music/sfx/door.qvstr: differs at byte 75 (entry 3 'sfx\door')

#ifndef BRIMWALD_VERIFY_FINDING_LINE_H_
#define BRIMWALD_VERIFY_FINDING_LINE_H_

#include <string>

#include "verify/verify.h"

namespace brimwald {

/// The line for `finding`, without its end.
std::string FindingLine(const VerifyFinding& finding);

}  // namespace brimwald

#endif  // BRIMWALD_VERIFY_FINDING_LINE_H_
