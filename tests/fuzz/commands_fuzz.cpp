// The commands over the recording fake, with any texts and any failing step.
#include <cstring>
#include <optional>

#include "fuzz_input.h"
#include "recording_services.h"
#include "shortcut/checks.h"
#include "shortcut/commands.h"
#include "shortcut/naming.h"

using namespace pellumar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const std::uint8_t mode = input.Byte();
  testing::RecordingServices services;
  services.desktop = input.Next();
  const std::u16string site = input.Next(), address = input.Next(), icon = input.Next();
  if (mode & 0x10) services.failAt = static_cast<shell::Operation>((mode & 0x0F) % 11);
  services.fileExists = (mode & 0x20) != 0;
  services.keepFile = (mode & 0x40) != 0;

  bool raised = false;
  try {
    if (mode & 0x80) {
      DeleteWebShortcut(services, site, services.changed);
    } else {
      CreateWebShortcut(services, site, address, icon, services.changed);
    }
  } catch (const shell::ShellError& error) {
    raised = true;
    PELLUMAR_CHECK(services.failAt == error.operation());
  }
  const auto& calls = services.calls;
  // Every command begins with the shell object, or with the message that stops it first.
  PELLUMAR_CHECK(!calls.empty() && (calls.front() == "CreateShellObject()" ||
                                    (calls.size() == 1 && calls.front().rfind("MsgBox(", 0) == 0)));
  // A message is the command's last call: a validation message its only one, a refusal after
  // the desktop folders are known and before any shortcut or file object.
  for (std::size_t i = 0; i < calls.size(); ++i) {
    PELLUMAR_CHECK(calls[i].rfind("MsgBox(", 0) != 0 || i + 1 == calls.size());
  }
  const bool message = calls.back().rfind("MsgBox(", 0) == 0;
  if (!(mode & 0x80) && (site.empty() || TrimWhiteSpace(address).empty())) {
    PELLUMAR_CHECK(calls.size() == 1 && message && !raised);
    return 0;
  }
  if (message) {
    // A shortcut named outside the desktop is looked for on the desktop of all users too.
    PELLUMAR_CHECK((calls.size() == 3 ||
                    (calls.size() == 4 && calls[2] == "SpecialFolders(AllUsersDesktop)")) &&
                   !raised);
    PELLUMAR_CHECK(calls.back().rfind("MsgBox(Could not ", 0) == 0);
    return 0;
  }
  // A failure stops the command at the failing step.
  if (raised) {
    const std::string name = testing::ToUtf8(shell::OperationName(*services.failAt));
    PELLUMAR_CHECK(calls.back().rfind(name + "(", 0) == 0);
    return 0;
  }
  const std::string desktop = testing::ToUtf8(LowerCase(services.desktop));
  // The desktop folder is removed from the name wherever it stands; a desktop path that ends
  // like the start of ".lnk", or lies inside it (no real one does), would cut into the extension.
  bool cutsExtension = !desktop.empty() && std::string(".lnk").find(desktop) != std::string::npos;
  for (const char* end : {".", ".l", ".ln", ".lnk"}) {
    cutsExtension = cutsExtension || (desktop.size() >= std::strlen(end) &&
                                      desktop.compare(desktop.size() - std::strlen(end),
                                                      std::string::npos, end) == 0);
  }
  // One backslash after the desktop, unless the desktop ends with one (a drive's root).
  const bool desktopEndsWithSeparator =
      !desktop.empty() && (desktop.back() == '\\' || desktop.back() == '/');
  for (const std::string& call : calls) {
    for (const char* op : {"CreateShortcut(", "GetFile("}) {
      const std::string prefix = std::string(op) + desktop + (desktopEndsWithSeparator ? "" : "\\");
      if (call.rfind(op, 0) == 0) {
        PELLUMAR_CHECK(call.rfind(prefix, 0) == 0);
        // Only a path the rule accepts reaches the shell.
        const std::u16string path =
            ShortcutPathOnDesktop(NormalizeLinkName(site), LowerCase(services.desktop));
        PELLUMAR_CHECK(!CheckShortcutPath(path, LowerCase(services.desktop)));
        PELLUMAR_CHECK(cutsExtension ||
                       (call.size() >= 5 && call.compare(call.size() - 5, 5, ".lnk)") == 0));
      }
    }
    if (call.rfind("TargetPath(", 0) == 0) {
      PELLUMAR_CHECK(call.rfind("TargetPath(http://", 0) == 0 ||
                     call.rfind("TargetPath(https://", 0) == 0);
    }
  }
  if (!(mode & 0x80)) {
    bool iconSet = false, saved = false, deleted = false;
    for (const std::string& call : calls) {
      iconSet = iconSet || call.rfind("IconLocation(", 0) == 0;
      PELLUMAR_CHECK(!saved);  // Save comes last, after any Delete
      saved = call == "Save()";
      deleted = deleted || call == "Delete()";
    }
    PELLUMAR_CHECK(iconSet == HasIcon(NormalizeIconPath(icon)));
    // A file of that name is recycled first; kept at the person's word, nothing is saved.
    PELLUMAR_CHECK(deleted == services.fileExists);
    PELLUMAR_CHECK(saved == !(services.fileExists && services.keepFile));
  } else {
    PELLUMAR_CHECK(calls.back() == "Delete()");
  }
  return 0;
}
