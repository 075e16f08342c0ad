#include "testing/chosen_container.h"

#include "container/inspection.h"
#include "testing/temp_dir.h"

namespace brimwald::testing {

Selection Chosen(const std::string& folder, const std::string& name) {
  Selection selection;
  Inspect(name, selection, folder);
  return selection;
}

Selection WriteChosen(const samples::ContainerBuilder& builder,
                      const std::string& folder, const std::string& name) {
  builder.WriteTo(folder + "/" + name);
  return Chosen(folder, name);
}

std::map<std::string, std::string> ExtractedFiles(const Selection& selection,
                                                  const EntryChoice& choice) {
  TempDir root;
  QuietListener quiet;
  Extract(selection, root.path(), quiet, choice);
  return root.FilesBelow("EXT_" + selection.BaseName + "/");
}

std::string EditedQvstr(const std::string& qvstr, const std::string& header,
                        const std::string& body) {
  samples::ContainerBuilder record;
  record.Bytes(0, qvstr.substr(0, kVfsRecordSize))
      .Int32(32, static_cast<int32_t>(header.size()))
      .Int32(16, static_cast<int32_t>(body.size()));
  return record.bytes() + header + body;
}

}  // namespace brimwald::testing
