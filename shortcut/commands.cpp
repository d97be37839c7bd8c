#include "shortcut/commands.h"

#include "shell/shell_error.h"
#include "shortcut/checks.h"
#include "shortcut/naming.h"

namespace pellumar {
namespace {

constexpr std::u16string_view kDesktop = u"Desktop";

std::u16string DesktopFolder(shell::ShellObject& shellObject) {
  return LowerCase(shellObject.SpecialFolders(kDesktop));
}

// Says why the command cannot go on. A shortcut picked outside the desktop is named as it was
// picked, not as the path made of it.
void ShowRefusal(shell::Services& services, std::u16string_view action,
                 std::u16string_view siteName, std::u16string_view path,
                 const PathRefusal& refusal) {
  const std::u16string_view shown = refusal.fault == PathFault::NotOnDesktop ? siteName : path;
  services.MsgBox(shell::DescribeFailure(action, shown, refusal.reason));
}

}  // namespace

void CreateWebShortcut(shell::Services& services, std::u16string_view siteName,
                       std::u16string_view webAddress, std::u16string_view iconText) {
  constexpr std::u16string_view kAction = u"create the shortcut";
  // A pasted address often brings spaces with it; the site name keeps its own, which the names
  // of existing shortcuts depend on.
  webAddress = TrimWhiteSpace(webAddress);
  if (siteName.empty()) return services.MsgBox(kEnterFileName);
  if (webAddress.empty()) return services.MsgBox(kEnterWebsiteAddress);

  const auto shellObject = services.CreateShellObject();
  const std::u16string desktop = DesktopFolder(*shellObject);
  const std::u16string target = NormalizeUrl(webAddress);
  const std::u16string linkName = NormalizeLinkName(siteName);
  const std::u16string icon = NormalizeIconPath(iconText);
  const std::u16string path = ShortcutPathOnDesktop(linkName, desktop);
  // Nothing is written outside the desktop, or that the shell would cut short.
  if (const auto refusal = CheckShortcutPath(path, desktop)) {
    return ShowRefusal(services, kAction, siteName, path, *refusal);
  }
  auto reason = CheckTarget(target);
  if (!reason && HasIcon(icon)) reason = CheckIconLocation(icon);
  if (reason) return services.MsgBox(shell::DescribeFailure(kAction, path, *reason));

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
  if (const auto refusal = CheckShortcutPath(path, desktop)) {
    return ShowRefusal(services, u"delete the shortcut", siteName, path, *refusal);
  }

  const auto fileSystem = services.CreateFileSystemObject();
  const auto file = fileSystem->GetFile(path);
  file->Delete();
}

}  // namespace pellumar
