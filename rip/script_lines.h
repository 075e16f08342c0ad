// The lines of a rip script. For a container "music.str" and an entry
// "sfx\door" whose record starts at R, one block reads (CR LF after each):
//
//   quarnel "music.str" "EXT_music\sfx\door.mainhd" 0x<R> 0x<R+71>
//   quarnel "music.str" "EXT_music\sfx\door.strhd" 0x<first> 0x<last>
//   quarnel "music.str" "EXT_music\sfx\door.strbd" 0x<first> 0x<last>
//   COPY /B "<...>.mainhd" + "<...>.strhd" + "<...>.strbd" "<...>.qvstr"
//   DEL "<...>.mainhd"
//   DEL "<...>.strhd"
//   DEL "<...>.strbd"
//   (empty)
//
// after one directory line, MD "EXT_music". Offsets are upper-case hex
// without leading zeros; ranges are inclusive. Every "%" of a name is
// written as "%%", which the command interpreter reads back as one "%".

#ifndef BRIMWALD_RIP_SCRIPT_LINES_H_
#define BRIMWALD_RIP_SCRIPT_LINES_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "table/table_walk.h"

namespace brimwald {

class ScriptLines {
 public:
  /// Lines for the container `file_path` (its bare name, as the system gives
  /// it) with base name `base_name`; both are written in the script's code
  /// page (text/script_encoding.h). Throws Error (kFile) when `file_path`
  /// holds a double quote or a control byte, which no batch line can quote,
  /// or a character that the script's code page lacks.
  ScriptLines(std::string_view file_path, std::string_view base_name);

  /// Appends the directory line.
  void AppendDirectoryLine(std::string& out) const;

  /// Appends the eight lines of the entry `entry_name` (already normalised).
  void AppendBlock(std::string& out, std::string_view entry_name,
                   const PieceRanges& ranges);

 private:
  /// Appends the cut of the current block's piece with `extension`.
  void AppendCut(std::string& out, std::string_view extension, int32_t first,
                 int32_t last) const;

  std::string cut_start_;   // quarnel "music.str" , % doubled
  std::string folder_;      // EXT_music, % doubled
  std::string piece_stem_;  // "EXT_music\<entry>, % doubled
};

/// Appends `text` with every "%" doubled.
void AppendPercentEscaped(std::string& out, std::string_view text);

}  // namespace brimwald

#endif  // BRIMWALD_RIP_SCRIPT_LINES_H_
