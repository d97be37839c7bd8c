#include "shortcut/commands.h"

#include "shortcut/naming.h"

namespace pellumar {
namespace {

constexpr std::u16string_view kDesktop = u"Desktop";

std::u16string DesktopFolder(shell::ShellObject& shellObject) {
  return LowerCase(shellObject.SpecialFolders(kDesktop));
}

}  // namespace

void CreateWebShortcut(shell::Services& services, std::u16string_view siteName,
                       std::u16string_view webAddress, std::u16string_view iconText) {
  if (siteName.empty()) return services.MsgBox(kEnterFileName);
  if (webAddress.empty()) return services.MsgBox(kEnterWebsiteAddress);

  const auto shellObject = services.CreateShellObject();
  const std::u16string desktop = DesktopFolder(*shellObject);
  const std::u16string target = NormalizeUrl(webAddress);
  const std::u16string linkName = NormalizeLinkName(siteName);
  const std::u16string icon = NormalizeIconPath(iconText);
  const std::u16string path = ShortcutPathOnDesktop(linkName, desktop);

  const auto shortcut = shellObject->CreateShortcut(path);
  shortcut->TargetPath(target);
  if (HasIcon(icon)) shortcut->IconLocation(icon);
  shortcut->Save();
}

void DeleteWebShortcut(shell::Services& services, std::u16string_view siteName) {
  const auto shellObject = services.CreateShellObject();
  const std::u16string desktop = DesktopFolder(*shellObject);
  const std::u16string linkName = NormalizeLinkName(siteName);
  const std::u16string path = ShortcutPathOnDesktop(linkName, desktop);

  const auto fileSystem = services.CreateFileSystemObject();
  const auto file = fileSystem->GetFile(path);
  file->Delete();
}

}  // namespace pellumar
