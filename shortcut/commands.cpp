#include "shortcut/commands.h"

#include <cstdint>
#include <memory>
#include <utility>

#include "shell/shell_error.h"
#include "shortcut/checks.h"
#include "shortcut/naming.h"

namespace pellumar {
namespace {

constexpr std::u16string_view kDesktop = u"Desktop";

// The desktop folder as the commands join and compare it: as the shell reported it, lower-cased.
std::u16string DesktopFolder(std::u16string_view reported) { return LowerCase(reported); }

constexpr std::u16string_view kPreviousInRecycleBin =
    u"The shortcut that had this name is in the Recycle Bin, unless you agreed to delete it for "
    u"good.";

// A shortcut on the desktop of all users shows on the person's own desktop too, but it is not
// in the desktop folder, which is the only one Pellumar changes.
constexpr std::u16string_view kAllUsersDesktop = u"AllUsersDesktop";
constexpr std::u16string_view kPickedOnAllUsersDesktop =
    u"The shortcut is on the desktop of all users, which shows on yours too. Pellumar changes "
    u"only your own desktop.";
constexpr std::u16string_view kNamedOnAllUsersDesktop =
    u"A shortcut of this name is on the desktop of all users, which shows on yours too. Pellumar "
    u"changes only your own desktop.";

// Says why the command cannot go on. A shortcut picked outside the desktop is named as it was
// picked, not as the path made of it.
void ShowRefusal(shell::Services& services, shell::ShellObject& shellObject,
                 std::u16string_view action, std::u16string_view siteName,
                 std::u16string_view path, const PathRefusal& refusal) {
  if (refusal.fault != PathFault::NotOnDesktop) {
    return services.MsgBox(shell::DescribeFailure(action, path, refusal.reason));
  }
  const bool shared = IsInFolder(LowerCase(siteName),
                                 LowerCase(shellObject.SpecialFolders(kAllUsersDesktop)));
  services.MsgBox(shell::DescribeFailure(
      action, siteName, shared ? kPickedOnAllUsersDesktop : std::u16string_view(refusal.reason)));
}

}  // namespace

void CreateWebShortcut(shell::Services& services, std::u16string_view siteName,
                       std::u16string_view webAddress, std::u16string_view iconText,
                       shell::Changes& changed) {
  constexpr std::u16string_view kAction = u"create the shortcut";
  // A pasted address often brings spaces with it; the site name keeps its own, which the names
  // of existing shortcuts depend on.
  webAddress = TrimWhiteSpace(webAddress);
  if (siteName.empty()) return services.MsgBox(kEnterFileName);
  if (webAddress.empty()) return services.MsgBox(kEnterWebsiteAddress);

  const auto shellObject = services.CreateShellObject();
  const std::u16string reported = shellObject->SpecialFolders(kDesktop);
  const std::u16string desktop = DesktopFolder(reported);
  const std::u16string target = NormalizeUrl(webAddress);
  const std::u16string linkName = NormalizeLinkName(siteName);
  const std::u16string icon = NormalizeIconPath(iconText);
  const std::u16string joined = ShortcutPathOnDesktop(linkName, desktop);
  const std::u16string path = CanonicalShortcutPath(joined, desktop);
  // Nothing is written outside the desktop, or that the shell would cut short.
  if (const auto refusal = CheckShortcutPath(joined, desktop)) {
    return ShowRefusal(services, *shellObject, kAction, siteName, path, *refusal);
  }
  auto reason = CheckTarget(target);
  if (!reason && HasIcon(icon)) reason = CheckIconLocation(icon);
  if (reason) return services.MsgBox(shell::DescribeFailure(kAction, path, *reason));

  const auto shortcut = shellObject->CreateShortcut(path, reported);
  shortcut->TargetPath(target);
  if (HasIcon(icon)) shortcut->IconLocation(icon);
  // A file already of that name, perhaps a shortcut of the person's own, goes to the Recycle Bin
  // as Delete sends it, so that it is never lost: read-only or held open, it is refused and
  // stays; where it could only be deleted for good, the person is asked and may keep it.
  const auto fileSystem = services.CreateFileSystemObject(reported);
  if (!fileSystem->FileExists(path)) return changed.push_back(shortcut->Save());
  auto deleted = fileSystem->GetFile(path)->Delete();
  if (!deleted) return;
  changed.push_back(std::move(*deleted));
  try {
    changed.push_back(shortcut->Save());
  } catch (const shell::ShellError& error) {
    throw shell::ShellError(error.operation(), error.path(),
                            error.reason() + u"\n\n" + std::u16string(kPreviousInRecycleBin),
                            error.code());
  }
}

std::u16string_view Announcement(shell::Change::Kind kind) {
  using Kind = shell::Change::Kind;
  switch (kind) {
    case Kind::Created:
    case Kind::Updated:
      return u"Shortcut created on the desktop";
    case Kind::Recycled:
      return u"Shortcut moved to the Recycle Bin";
    case Kind::DeletedForGood:
      return u"Shortcut deleted for good";
    case Kind::Deleted:
      break;
  }
  return u"Shortcut deleted";
}

void DeleteWebShortcut(shell::Services& services, std::u16string_view siteName,
                       shell::Changes& changed) {
  const auto shellObject = services.CreateShellObject();
  const std::u16string reported = shellObject->SpecialFolders(kDesktop);
  const std::u16string desktop = DesktopFolder(reported);
  const std::u16string linkName = NormalizeLinkName(siteName);
  const std::u16string joined = ShortcutPathOnDesktop(linkName, desktop);
  const std::u16string path = CanonicalShortcutPath(joined, desktop);
  if (const auto refusal = CheckShortcutPath(joined, desktop)) {
    return ShowRefusal(services, *shellObject, u"delete the shortcut", siteName, path, *refusal);
  }

  const auto fileSystem = services.CreateFileSystemObject(reported);
  std::unique_ptr<shell::FileObject> file;
  try {
    file = fileSystem->GetFile(path);
  } catch (const shell::ShellError& error) {
    constexpr std::uint32_t kFileNotFound = 2, kPathNotFound = 3;  // Win32's codes
    if (error.code() != kFileNotFound && error.code() != kPathNotFound) throw;
    std::u16string shared = shellObject->SpecialFolders(kAllUsersDesktop);
    shared += std::u16string_view(path).substr(desktop.size());
    if (!fileSystem->FileExists(shared)) throw;
    return services.MsgBox(
        shell::DescribeFailure(u"find the shortcut", path, kNamedOnAllUsersDesktop));
  }
  // Kept when the person says so: nothing more to say.
  if (auto deleted = file->Delete()) changed.push_back(std::move(*deleted));
}

}  // namespace pellumar
