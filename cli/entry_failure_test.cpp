#include "cli/entry_failure.h"

#include <gtest/gtest.h>

#include <vector>

namespace brimwald {
namespace {

TEST(EntryFailureTest, NamesTheContainerAndTheEntryOnce) {
  TableEntry entry;
  entry.Index = 1785;
  entry.Name = "sfx\\door";
  const std::string head = "'x.str': entry 1785 'sfx\\door': ";
  struct Case {
    Error error;
    std::string text;
  };
  for (const Case& c : std::vector<Case>{
           {EntryError("dir/x.str", 1785, "body: the range 0x10 to 0x1F"),
            head + "body: the range 0x10 to 0x1F"},
           {FileError("cannot read", "dir/x.str", "Input/output error"),
            head + "cannot read: Input/output error"},
           // Another entry's number is not this entry's: kept.
           {EntryError("dir/x.str", 17, "body: too long"),
            head + "cannot read: entry 17: body: too long"},
           // The file being written is named, as the reason needs it.
           {FileError("cannot write", "EXT_x/sfx/door.qvstr",
                      "File name too long"),
            head + "cannot write 'EXT_x/sfx/door.qvstr': File name too long"},
           // A name that merely ends like the container's stays whole.
           {FileError("cannot write", "out/dir/x.str", "Disk full"),
            head + "cannot write 'out/dir/x.str': Disk full"},
           {FileError("cannot open", "a 'dir/x.str': b", "No such file"),
            head + "cannot open 'a 'dir/x.str': b': No such file"},
           {Error(ErrorKind::kFile, "no space left"), head + "no space left"},
       }) {
    EXPECT_EQ(EntryFailureText("x.str", "dir/x.str", entry, c.error), c.text);
  }
}

}  // namespace
}  // namespace brimwald
