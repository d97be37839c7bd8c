#include "shortcut/pickers.h"

#include "shortcut/naming.h"

namespace pellumar {

std::optional<std::u16string> Pick(const Picker& picker, shell::CommonDialog& dialog,
                                   shell::Services& services) {
  dialog.DialogTitle(u"Open");
  dialog.CancelError(false);
  dialog.Filter(picker.filter);
  // Both pickers share the dialog, so each says whose memory it keeps and where it starts.
  dialog.ClientGuid(picker.memory);
  dialog.InitDir(picker.startsOnDesktop ? services.CreateShellObject()->SpecialFolders(u"Desktop")
                                        : std::u16string());
  dialog.ShowOpen();

  std::u16string fileName = dialog.FileName();
  if (fileName.empty()) {
    services.MsgBox(picker.emptyChoiceMessage);
    return std::nullopt;
  }
  const std::u16string tested = picker.lowerCaseBeforeTest ? LowerCase(fileName) : fileName;
  if (tested.find(picker.extension) == std::u16string::npos) {
    services.MsgBox(picker.wrongFileMessage);
    return std::nullopt;
  }
  return fileName;
}

}  // namespace pellumar
