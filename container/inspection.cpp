#include "container/inspection.h"

#include "container/stream_container.h"
#include "text/text_format.h"

namespace brimwald {

std::string BaseNameOf(const std::string& name) {
  size_t dot = name.rfind('.');
  if (dot == std::string::npos) return name;
  return name.substr(0, dot);
}

std::string Inspect(const std::string& chosen_name, Selection& selection,
                    const std::string& directory) {
  selection.Passed = false;
  selection.FilePath = chosen_name;
  selection.FileName = chosen_name;
  selection.BaseName = BaseNameOf(chosen_name);
  selection.Directory = directory;

  StreamContainer container(PathInDirectory(selection, selection.FilePath));
  if (container.ReadMagic() != kContainerMagic) {
    return std::string(kInvalidFileText);
  }
  int32_t vfs_start = container.ReadInteger(kVfsStartOffset);
  int32_t file_count = container.ReadInteger(kFileCountOffset);
  selection.VfsStart = vfs_start;
  selection.FileCount = file_count;
  selection.Passed = true;

  std::string text = "VFS Start at: 0x";
  AppendHexText(text, vfs_start);
  text += "\r\nIncluded Files: ";
  text += DecimalText(file_count);
  return text;
}

}  // namespace brimwald
