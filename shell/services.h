#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The platform operations the commands and the pickers call, named as the shell names them.
// The shell, shortcut and file objects live for one command run, the dialog as long as the
// window; every failure raises ShellError (shell/shell_error.h).
namespace pellumar::shell {

// A file that a save or a delete changed. The window tells the shell of it once the click is
// over, so the desktop shows it, and a screen reader, since success shows nothing on the screen.
struct Change {
  // A delete says where the file went where the system tells: to the Recycle Bin, or gone for
  // good; Deleted where it does not.
  enum class Kind { Created, Updated, Recycled, DeletedForGood, Deleted };
  Kind kind;
  std::u16string path;  // as the system was handed it
};
using Changes = std::vector<Change>;

// A shortcut that exists in memory until Save writes it to the path it was created for.
class ShortcutObject {
 public:
  virtual ~ShortcutObject() = default;
  virtual void TargetPath(std::u16string_view target) = 0;
  virtual void IconLocation(std::u16string_view iconPath) = 0;
  virtual Change Save() = 0;
};

class ShellObject {
 public:
  virtual ~ShellObject() = default;
  // The path of a special folder of the current user, e.g. "Desktop".
  virtual std::u16string SpecialFolders(std::u16string_view folder) = 0;
  // `desktop` is the desktop folder as SpecialFolders reported it, which `path` begins with
  // lower-cased: the shortcut is saved at the path as the system spells it.
  virtual std::unique_ptr<ShortcutObject> CreateShortcut(std::u16string_view path,
                                                         std::u16string_view desktop) = 0;
};

class FileObject {
 public:
  virtual ~FileObject() = default;
  // Moves the file to the Recycle Bin; a read-only file or one held open is refused, never
  // forced. Where the file cannot be recycled, the person is asked before it is deleted for
  // good; nothing when they chose to keep it.
  virtual std::optional<Change> Delete() = 0;
};

class FileSystemObject {
 public:
  virtual ~FileSystemObject() = default;
  // Whether a file (not a folder) is at `path`.
  virtual bool FileExists(std::u16string_view path) = 0;
  // The file at `path`; raises when there is no such file.
  virtual std::unique_ptr<FileObject> GetFile(std::u16string_view path) = 0;
};

// A GUID, laid out as Windows lays one out.
struct Guid {
  std::uint32_t data1;
  std::uint16_t data2, data3;
  std::uint8_t data4[8];
};

// The open-file dialog. One object serves every picker and keeps its settings between uses.
class CommonDialog {
 public:
  virtual ~CommonDialog() = default;
  virtual void DialogTitle(std::u16string_view title) = 0;
  // When true, cancelling raises an error; when false, it leaves FileName empty.
  virtual void CancelError(bool raise) = 0;
  // Description and pattern pairs joined by '|', e.g. "Icons (*.ico)|*.ico".
  virtual void Filter(std::u16string_view filter) = 0;
  // The folder the dialog starts in; empty leaves the choice to the system.
  virtual void InitDir(std::u16string_view folder) = 0;
  // Whose memory the system keeps for the dialog (its last folder, its size): each picker has
  // its own, so one does not open where the other was last.
  virtual void ClientGuid(const Guid& guid) = 0;
  // Shows the modal dialog and returns when it closes.
  virtual void ShowOpen() = 0;
  // The chosen path after a choice; empty after a cancel.
  virtual std::u16string FileName() const = 0;
};

class Services {
 public:
  virtual ~Services() = default;
  virtual std::unique_ptr<ShellObject> CreateShellObject() = 0;
  // `desktop` is the desktop folder as the shell reported it: paths in it, which the commands
  // lower-case, are handed to the system as it spells them.
  virtual std::unique_ptr<FileSystemObject> CreateFileSystemObject(std::u16string_view desktop) = 0;
  // A modal message with one OK button and no icon; returns when it is dismissed.
  virtual void MsgBox(std::u16string_view prompt) = 0;
};

}  // namespace pellumar::shell
