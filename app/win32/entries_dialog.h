// The Entries dialog of the Win32 window, as in the Qt window: every entry
// of one container, or of every container of the folder, in a table whose
// headings sort it, a filter box that
// narrows it as the user types, and "Extract selected" and "Extract all",
// which the window runs as it runs Extract, and "Replace...", for the one
// entry selected, which a .qvstr file dropped on a row offers too. The table is
// a virtual list-view (LVS_OWNERDATA) that asks for the text of the rows it
// paints, so a table of 200,000 entries opens at once. It isn't modal: the main
// window goes on while it is open.

#ifndef BRIMWALD_APP_WIN32_ENTRIES_DIALOG_H_
#define BRIMWALD_APP_WIN32_ENTRIES_DIALOG_H_

#include <windows.h>
// HDROP, which windows.h leaves out when lean.
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/session/entries_model.h"
#include "app/win32/modeless_dialog.h"

namespace brimwald::win32 {

class EntriesDialog : public ModelessDialog {
 public:
  /// Its controls; Close is the dialog's IDCANCEL.
  enum ControlId : int {
    kFilterLabel = 501,
    kFilter,
    kTable,
    kStatus,
    kExtractSelected,
    kExtractAll,
    kReplace,
  };

  /// What the dialog asks of its window.
  struct Requests {
    /// "Extract selected": the rows selected, never none.
    std::function<void(const std::vector<int32_t>& rows)> extract_selected;
    /// "Extract all": every entry, whatever the filter shows.
    std::function<void()> extract_all;
    /// "Replace..." for the one row selected, with `file` empty; or a
    /// .qvstr `file` (UTF-8) dropped on `row`.
    std::function<void(int32_t row, const std::string& file)> replace;
    /// The user closed the dialog, which has hidden itself; the window
    /// destroys it once the dialog's own message has returned.
    std::function<void()> closed;
  };

  /// Makes and shows the dialog over `owner`, titled `title`, on `entries`
  /// (which must outlive it). Throws std::runtime_error when Windows can't
  /// make it.
  EntriesDialog(HWND owner, EntriesModel& entries, const std::wstring& title,
                Requests requests);

  /// While a job runs, the extract and replace buttons are disabled.
  void SetBusy(bool busy);

  /// The entries were read again (a write-back changed them).
  void Reload();

  /// The rows selected in the table, ascending.
  std::vector<int32_t> SelectedRows() const;

  HWND control(ControlId id) const { return ::GetDlgItem(dialog_, id); }

 private:
  void CreateControls() override;
  INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam) override;
  bool Command(WORD id, WORD code);
  void Notify(const NMHDR& header);
  void Dropped(HDROP drop);
  void AddColumns();
  void ApplyFilter();
  void SortBy(int column);
  /// Shows the model's rows afresh, with none selected.
  void ShowRows();
  void ShowSortArrow();
  void ShowStatus();
  void UpdateButtons();
  void SelectAll();
  void Close();

  HWND owner_;
  EntriesModel& entries_;
  Requests requests_;
  bool busy_ = false;
};

}  // namespace brimwald::win32

#endif  // BRIMWALD_APP_WIN32_ENTRIES_DIALOG_H_
