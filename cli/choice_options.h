// The options that choose entries, shared by `list`, `extract` and
// `verify`: --include PATTERN and --exclude PATTERN (each repeatable) and
// --index LIST.

#ifndef BRIMWALD_CLI_CHOICE_OPTIONS_H_
#define BRIMWALD_CLI_CHOICE_OPTIONS_H_

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "program_options/command_line.h"
#include "table/entry_choice.h"

namespace brimwald {

struct ChoiceOptions {
  std::vector<std::string> includes;
  std::vector<std::string> excludes;
  std::vector<std::string> indexes;
};

/// Adds the options to `command`, filling `options` as they are read.
void AddChoiceOptions(CLI::App& command, ChoiceOptions& options);

/// The choice that `options` describe. Throws Error (kUsage) for a pattern
/// or an index list that can't be read.
EntryChoice MakeChoice(const ChoiceOptions& options);

/// Reports each pattern or index list of `choice` that chose no entry of
/// `file` ("<program>: '<file>': the pattern 'x' chooses no entry"); says
/// whether each chose something.
bool EachChoseAnEntry(const Program& program, std::ostream& err,
                      const std::string& file, const EntryChoice& choice);

}  // namespace brimwald

#endif  // BRIMWALD_CLI_CHOICE_OPTIONS_H_
