#include "cli/choice_options.h"

namespace brimwald {

void AddChoiceOptions(CLI::App& command, ChoiceOptions& options) {
  command
      .add_option("--include", options.includes,
                  "take the entries whose name matches PATTERN (repeatable; "
                  "* any run, ? one character, [...] a set, / for \\, "
                  "letter case ignored)")
      ->type_name("PATTERN")
      ->allow_extra_args(false);
  command
      .add_option("--exclude", options.excludes,
                  "leave out the entries whose name matches PATTERN "
                  "(repeatable)")
      ->type_name("PATTERN")
      ->allow_extra_args(false);
  command
      .add_option("--index", options.indexes,
                  "take only the entries whose index is in LIST, such as "
                  "0-9,15,200- (repeatable)")
      ->type_name("LIST")
      ->allow_extra_args(false);
}

EntryChoice MakeChoice(const ChoiceOptions& options) {
  EntryChoice choice;
  for (const std::string& pattern : options.includes) choice.Include(pattern);
  for (const std::string& pattern : options.excludes) choice.Exclude(pattern);
  for (const std::string& list : options.indexes) choice.AddIndexes(list);
  return choice;
}

bool EachChoseAnEntry(const Program& program, std::ostream& err,
                      const std::string& file, const EntryChoice& choice) {
  std::vector<std::string> unused = choice.Unused();
  for (const std::string& text : unused) {
    Report(program, err, "'" + file + "': " + text);
  }
  return unused.empty();
}

}  // namespace brimwald
