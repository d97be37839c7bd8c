#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <tlhelp32.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <string>
#include <atomic>
#include <thread>
#include <vector>

#include "shell/shell_error.h"
#include "shell/system_error.h"
#include "shell/wide.h"
#include "shell/windows_services.h"
#include "shortcut/commands.h"
#include "shortcut/naming.h"
#include "driver.h"
#include "machine.h"
#include "shortcut_file.h"
#include "utf8.h"

namespace pellumar {
namespace {

using shell::Operation;
using shell::ShellError;
using shell::Wide;
using testing::LoadShortcut;
using testing::RemoveOnExit;

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override { PELLUMAR_ONLY_ON_A_THROWAWAY_MACHINE(); }
  std::u16string Desktop() {
    return LowerCase(services_.CreateShellObject()->SpecialFolders(u"Desktop"));
  }
  std::u16string PathOf(std::u16string_view siteName) {
    return ShortcutPathOnDesktop(NormalizeLinkName(siteName), Desktop());
  }
  static bool Exists(const std::u16string& path) {
    return GetFileAttributesW(Wide(path)) != INVALID_FILE_ATTRIBUTES;
  }
  // The name the file system holds for `path`, letter for letter.
  static std::u16string NameOnDisk(const std::u16string& path) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(Wide(path), &found);
    if (search == INVALID_HANDLE_VALUE) return {};
    FindClose(search);
    return shell::FromWide(found.cFileName);
  }
  // How many items the Recycle Bin of `path`'s drive holds (under Wine: the trash of HOME).
  static long long RecycledItems(const std::u16string& path) {
    SHQUERYRBINFO bin{};
    bin.cbSize = sizeof bin;
    EXPECT_EQ(SHQueryRecycleBinW(Wide(path.substr(0, 3)), &bin), S_OK);
    return bin.i64NumItems;
  }
  // Runs `command` and returns the error it raised.
  template <typename Command>
  static ShellError ErrorOf(Command command) {
    try {
      command();
    } catch (const ShellError& error) {
      return error;
    }
    ADD_FAILURE() << "no error raised";
    return ShellError(Operation::CreateShellObject, u"", u"", 0);
  }

  shell::WindowsServices services_;
  shell::Changes changed_;
};

TEST_F(ShellTest, DesktopFolderIsAnExistingFolder) {
  for (const std::u16string_view folder : {u"Desktop", u"AllUsersDesktop"}) {
    const std::u16string desktop = services_.CreateShellObject()->SpecialFolders(folder);
    const DWORD attributes = GetFileAttributesW(Wide(desktop));
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << testing::ToUtf8(desktop);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  EXPECT_NE(LowerCase(services_.CreateShellObject()->SpecialFolders(u"AllUsersDesktop")), Desktop());
}

TEST_F(ShellTest, CreateWritesTargetAndIconAtTheDesktopPath) {
  const std::u16string path = PathOf(u"Shell Icon");
  const RemoveOnExit cleanup(path);
  CreateWebShortcut(services_, u"Shell Icon", u"Portal/A?Q=1", u"C:\\Icons\\Globe", changed_);
  ASSERT_TRUE(Exists(path));
  const auto file = LoadShortcut(path);
  EXPECT_EQ(file.targetName, u"http://portal/A?Q=1");
  EXPECT_EQ(file.iconLocation, u"c:\\icons\\globe.ico");
  EXPECT_EQ(file.iconIndex, 0);
}

TEST_F(ShellTest, CreateWithoutIconLeavesTheIconUnset) {
  const std::u16string path = PathOf(u"Shell Plain");
  const RemoveOnExit cleanup(path);
  CreateWebShortcut(services_, u"Shell Plain", u"https://Portal", u".ico", changed_);
  ASSERT_TRUE(Exists(path));
  const auto file = LoadShortcut(path);
  EXPECT_EQ(file.targetName, u"https://portal");
  EXPECT_EQ(file.iconLocation, u"");
}

// The shortcut that had the name goes to the Recycle Bin, so a slip can be undone.
TEST_F(ShellTest, CreatingTheSameNameTwiceReplacesTheShortcut) {
  const std::u16string path = PathOf(u"Shell Twice");
  const RemoveOnExit cleanup(path);
  CreateWebShortcut(services_, u"Shell Twice", u"first", u"c:\\a", changed_);
  const auto before = RecycledItems(path);
  CreateWebShortcut(services_, u"SHELL TWICE.lnk", u"second", u"", changed_);
  EXPECT_EQ(RecycledItems(path), before + 1);
  const auto file = LoadShortcut(path);
  EXPECT_EQ(file.targetName, u"http://second");
  // Each save writes a whole new shortcut: an icon box left empty leaves no earlier icon behind.
  EXPECT_EQ(file.iconLocation, u"");
}

// Into the Recycle Bin, where a slip can be undone (under Wine: the trash of HOME).
TEST_F(ShellTest, DeleteMovesWhatCreateWroteToTheRecycleBin) {
  const std::u16string path = PathOf(u"Shell Delete");
  const RemoveOnExit cleanup(path);
  CreateWebShortcut(services_, u"Shell Delete", u"x", u"", changed_);
  ASSERT_TRUE(Exists(path));
  const auto before = RecycledItems(path);
  DeleteWebShortcut(services_, u"shell delete.LNK", changed_);
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(RecycledItems(path), before + 1);
  // Windows' file operation says where the file went; under Wine only the older one deletes.
  ASSERT_FALSE(changed_.empty());
  EXPECT_EQ(changed_.back().kind, testing::RunningUnderWine() ? shell::Change::Kind::Deleted
                                                              : shell::Change::Kind::Recycled);
}

TEST_F(ShellTest, DeletingAMissingShortcutRaisesFileNotFound) {
  const std::u16string path = PathOf(u"Shell Missing");
  const ShellError error = ErrorOf([&] { DeleteWebShortcut(services_, u"Shell Missing", changed_); });
  EXPECT_EQ(error.operation(), Operation::GetFile);
  EXPECT_EQ(error.path(), path);
  EXPECT_EQ(error.code(), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
  // The system's own words ("The system cannot find the file specified." on Windows).
  EXPECT_EQ(error.reason(), shell::SystemReason(ERROR_FILE_NOT_FOUND));
}

TEST_F(ShellTest, DeletingAFolderNamedLikeAShortcutRaisesFileNotFound) {
  const std::u16string path = PathOf(u"Shell Folder");
  ASSERT_TRUE(CreateDirectoryW(Wide(path), nullptr));
  const RemoveOnExit cleanup(path);
  const ShellError error = ErrorOf([&] { DeleteWebShortcut(services_, u"Shell Folder", changed_); });
  EXPECT_EQ(error.operation(), Operation::GetFile);
  EXPECT_TRUE(Exists(path));
}

// Refused by Delete, and by a Create that would have to take its name: left as it is.
TEST_F(ShellTest, AReadOnlyShortcutIsRefusedAndKept) {
  const std::u16string path = PathOf(u"Shell ReadOnly");
  const RemoveOnExit cleanup(path);
  CreateWebShortcut(services_, u"Shell ReadOnly", u"x", u"", changed_);
  ASSERT_TRUE(SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_READONLY));
  for (const bool create : {false, true}) {
    const ShellError error = ErrorOf([&] {
      if (create) return CreateWebShortcut(services_, u"Shell ReadOnly", u"y", u"", changed_);
      DeleteWebShortcut(services_, u"Shell ReadOnly", changed_);
    });
    EXPECT_EQ(error.operation(), Operation::Delete);
    EXPECT_EQ(error.code(), static_cast<std::uint32_t>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(error.reason(), shell::SystemReason(ERROR_ACCESS_DENIED));
    ASSERT_TRUE(Exists(path));
    EXPECT_EQ(LoadShortcut(path).targetName, u"http://x");
  }
}

TEST_F(ShellTest, SavingIntoAMissingFolderRaisesAndWritesNothing) {
  const std::u16string path = PathOf(u"No Such Folder\\Site");
  const ShellError error =
      ErrorOf([&] { CreateWebShortcut(services_, u"No Such Folder\\Site", u"x", u"", changed_); });
  EXPECT_EQ(error.operation(), Operation::Save);
  EXPECT_EQ(error.path(), path);
  EXPECT_FALSE(error.reason().empty());
  EXPECT_EQ(error.reason().find(u"Controlled folder access"), std::u16string::npos)
      << "the folder is missing: nothing keeps Pellumar out of it";
  EXPECT_FALSE(Exists(path));

  // Refused although its folder is there, as Windows' protection of the desktop refuses it: the
  // message says where a person lets Pellumar through.
  const std::u16string folder = PathOf(u"Shell Folder In The Way");
  ASSERT_TRUE(CreateDirectoryW(Wide(folder), nullptr));
  const RemoveOnExit cleanup(folder);
  const ShellError refused =
      ErrorOf([&] { CreateWebShortcut(services_, u"Shell Folder In The Way", u"x", u"", changed_); });
  EXPECT_EQ(refused.operation(), Operation::Save);
  EXPECT_NE(refused.reason().find(u"Allow an app through Controlled folder access."),
            std::u16string::npos)
      << testing::ToUtf8(refused.reason());
}

// ---- Faults of the machine ----------------------------------------------------------------

// Points the user's desktop somewhere else for one test, as a redirected desktop on a share
// that is gone would, and puts it back afterwards.
class RedirectedDesktop {
 public:
  explicit RedirectedDesktop(const std::u16string& folder)
      : value_(HKEY_CURRENT_USER,
               L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
               L"Desktop") {
    RegSetValueExW(value_.key(), value_.Name(), 0, REG_EXPAND_SZ,
                   reinterpret_cast<const BYTE*>(Wide(folder)),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
  }

 private:
  testing::RegistryValueGuard value_;
};

TEST_F(ShellTest, AMissingDesktopOrAFileInItsPlaceIsReportedAndNothingIsWritten) {
  const std::u16string file = u"C:\\pellumar desktop file";
  const HANDLE handle =
      CreateFileW(Wide(file), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  CloseHandle(handle);
  const RemoveOnExit cleanup(file), cleanupMissing(u"C:\\pellumar missing desktop");
  for (const std::u16string& folder : {std::u16string(u"C:\\pellumar missing desktop"), file}) {
    SCOPED_TRACE(testing::ToUtf8(folder));
    const RedirectedDesktop redirected(folder);
    EXPECT_THROW(CreateWebShortcut(services_, u"Shell Away", u"x", u"", changed_), ShellError);
    EXPECT_THROW(DeleteWebShortcut(services_, u"Shell Away", changed_), ShellError);
  }
  EXPECT_EQ(GetFileAttributesW(L"C:\\pellumar missing desktop"), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesW(Wide(file)) & FILE_ATTRIBUTE_DIRECTORY,
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

TEST_F(ShellTest, AShortcutHeldOpenIsNotDeletedAndTheFailureSaysWhy) {
  const std::u16string path = PathOf(u"Shell Held");
  const RemoveOnExit cleanup(path);
  CreateWebShortcut(services_, u"Shell Held", u"x", u"", changed_);
  const HANDLE held = CreateFileW(Wide(path), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const ShellError error = ErrorOf([&] { DeleteWebShortcut(services_, u"Shell Held", changed_); });
  CloseHandle(held);
  EXPECT_EQ(error.operation(), Operation::Delete);
  EXPECT_EQ(error.code(), static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));
  EXPECT_TRUE(Exists(path));
  // Held a moment, as the shell holds a shortcut it was just told of: deleted once let go. The
  // hold is let go 50 ms after the Delete begins, well within the half second the Delete waits;
  // a try where a busy machine let it go later than 400 ms proves nothing, and is made again.
  for (int attempt = 1;; ++attempt) {
    const HANDLE moment = CreateFileW(Wide(path), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(moment, INVALID_HANDLE_VALUE);
    std::atomic<ULONGLONG> begun{0}, letGoAt{0};
    std::thread letGo([moment, &begun, &letGoAt] {
      while (!begun) Sleep(1);
      Sleep(50);
      CloseHandle(moment);
      letGoAt = GetTickCount64();
    });
    begun = GetTickCount64();
    bool deleted = true;
    try {
      DeleteWebShortcut(services_, u"Shell Held", changed_);
    } catch (const ShellError& error) {
      deleted = false;
      EXPECT_EQ(error.code(), static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));
    }
    letGo.join();
    const ULONGLONG held = letGoAt - begun;
    if (deleted || held < 400 || attempt == 5) {
      EXPECT_TRUE(deleted) << "held for " << held << " ms, try " << attempt;
      break;
    }
  }
  EXPECT_FALSE(Exists(path));
}

constexpr UINT kNotified = WM_APP + 1;
std::vector<LONG> notifiedEvents;

// The shell may send the notice straight to the window procedure rather than post it.
LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kNotified) return DefWindowProcW(window, message, wParam, lParam);
  PIDLIST_ABSOLUTE* items = nullptr;
  LONG event = 0;
  const HANDLE lock = SHChangeNotification_Lock(reinterpret_cast<HANDLE>(wParam),
                                                static_cast<DWORD>(lParam), &items, &event);
  notifiedEvents.push_back(event);
  SHChangeNotification_Unlock(lock);
  return 0;
}

// The desktop hears of each shortcut written or deleted, so it shows the change at once.
TEST_F(ShellTest, TheShellIsToldOfEachWriteAndDelete) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ListenerProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"Pellumar.NotifyListener";
  RegisterClassW(&windowClass);
  const HWND listener = CreateWindowW(windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, nullptr,
                                      nullptr, windowClass.hInstance, nullptr);
  ASSERT_NE(listener, nullptr);
  PIDLIST_ABSOLUTE desktop = nullptr;
  ASSERT_EQ(SHParseDisplayName(Wide(Desktop()), nullptr, &desktop, 0, nullptr), S_OK);
  SHChangeNotifyEntry entry{desktop, TRUE};
  const ULONG registration =
      SHChangeNotifyRegister(listener, SHCNRF_ShellLevel | SHCNRF_NewDelivery,
                             SHCNE_CREATE | SHCNE_DELETE | SHCNE_UPDATEITEM, kNotified, 1, &entry);
  ASSERT_NE(registration, 0u);
  const auto heard = [&](std::size_t count, ULONGLONG wait = 2000) {
    const ULONGLONG end = GetTickCount64() + wait;
    MSG message{};
    while (GetTickCount64() < end && notifiedEvents.size() < count) {
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      Sleep(10);
    }
    std::vector<LONG> events;
    events.swap(notifiedEvents);
    return events;
  };

  const std::u16string path = PathOf(u"Shell Notify");
  const RemoveOnExit cleanup(path);
  // Each command's changes, told as the window tells them once it has answered the click.
  const auto told = [&](auto command) {
    shell::Changes changed;
    command(changed);
    shell::TellShell(changed);
  };
  told([&](shell::Changes& changed) { CreateWebShortcut(services_, u"Shell Notify", u"x", u"", changed); });
  EXPECT_EQ(heard(1), std::vector<LONG>{SHCNE_CREATE});
  // The old one recycled first.
  told([&](shell::Changes& changed) { CreateWebShortcut(services_, u"Shell Notify", u"y", u"", changed); });
  EXPECT_EQ(heard(2), (std::vector<LONG>{SHCNE_DELETE, SHCNE_CREATE}));
  told([&](shell::Changes& changed) { DeleteWebShortcut(services_, u"Shell Notify", changed); });
  EXPECT_EQ(heard(1), std::vector<LONG>{SHCNE_DELETE});

  SHChangeNotifyDeregister(registration);
  CoTaskMemFree(desktop);
  DestroyWindow(listener);
}

TEST_F(ShellTest, UnicodeSiteNamesRoundTrip) {
  const std::u16string names[] = {u"موقع إخباري", u"新闻网站", u"Globe \U0001F310 Site"};
  for (const std::u16string& name : names) {
    const std::u16string path = PathOf(name);
    const RemoveOnExit cleanup(path);
    CreateWebShortcut(services_, name, u"a.b", u"", changed_);
    EXPECT_EQ(NameOnDisk(path), LowerCase(name) + u".lnk") << testing::ToUtf8(name);
    EXPECT_EQ(LoadShortcut(path).targetName, u"http://a.b");
    DeleteWebShortcut(services_, name, changed_);
    EXPECT_FALSE(Exists(path)) << testing::ToUtf8(name);
  }
}

// The program of each process running now, by its identifier, where it can be read.
std::vector<std::pair<DWORD, std::wstring>> Processes() {
  std::vector<std::pair<DWORD, std::wstring>> found;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    wchar_t path[4 * MAX_PATH] = {};
    DWORD length = ARRAYSIZE(path);
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
    if (!process || !QueryFullProcessImageNameW(process, 0, path, &length)) length = 0;
    if (process) CloseHandle(process);
    found.emplace_back(entry.th32ProcessID, std::wstring(path, length));
  }
  if (snapshot != INVALID_HANDLE_VALUE) CloseHandle(snapshot);
  return found;
}

std::wstring TempFolder() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  return temp;
}

// Explorer follows a shortcut through its target item: on Windows a web address becomes an
// Internet item whose URL is the address, and starting the shortcut hands that address to the
// handler of http addresses: a handler of the test's own, or the browser the user chose.
TEST_F(ShellTest, AStartedShortcutLeadsToItsAddress) {
  if (testing::RunningUnderWine())
    GTEST_SKIP() << "Wine stores a web address as a file item named after it, so a shortcut "
                    "made under Wine leads nowhere; only Windows can show this";
  const std::u16string address = u"http://www.pellumar.example/follow?page=1";
  const std::u16string path = PathOf(u"Shell Follow");
  const RemoveOnExit cleanup(path);
  CreateWebShortcut(services_, u"Shell Follow", address, u"", changed_);
  ASSERT_EQ(LoadShortcut(path).targetUrl, address);

  // A handler of the user's own that writes the address it is given to a file.
  const std::wstring opened = TempFolder() + L"pellumar-opened.txt";
  DeleteFileW(opened.c_str());
  const RemoveOnExit removeOpened(shell::FromWide(opened.c_str()));
  const testing::RegistryValueGuard handler(
      HKEY_CURRENT_USER, L"Software\\Classes\\http\\shell\\open\\command", nullptr);
  ASSERT_NE(handler.key(), nullptr);
  const std::wstring command = L"cmd.exe /c echo %1> \"" + opened + L"\"";
  RegSetValueExW(handler.key(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                 static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  // Since Windows 10 a default browser the user chose (UserChoice) wins over such a handler.
  wchar_t used[2048] = {}, program[2048] = {};
  DWORD usedSize = ARRAYSIZE(used), programSize = ARRAYSIZE(program);
  AssocQueryStringW(ASSOCF_IS_PROTOCOL, ASSOCSTR_COMMAND, L"http", L"open", used, &usedSize);
  AssocQueryStringW(ASSOCF_IS_PROTOCOL, ASSOCSTR_EXECUTABLE, L"http", nullptr, program, &programSize);
  std::printf("http addresses open with: %s\n", testing::ToUtf8(shell::FromWide(used)).c_str());

  const auto before = Processes();
  SHELLEXECUTEINFOW start{};
  start.cbSize = sizeof start;
  start.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  start.lpFile = Wide(path);
  start.nShow = SW_HIDE;
  ASSERT_TRUE(ShellExecuteExW(&start)) << GetLastError();
  if (start.hProcess) {
    if (command == used) WaitForSingleObject(start.hProcess, 15000);
    CloseHandle(start.hProcess);
  }
  if (command == used) {
    std::string received;
    testing::WaitFor([&] {
      std::ifstream file(opened.c_str(), std::ios::binary);
      return static_cast<bool>(std::getline(file, received));
    }, 15000);
    EXPECT_EQ(received.substr(0, received.find_last_not_of("\r ") + 1), testing::ToUtf8(address));
    return;
  }
  // The browser chosen: a new process of its program, which the test then ends.
  std::string started;
  EXPECT_TRUE(testing::WaitFor([&] {
    started.clear();
    bool found = false;
    for (const auto& [id, name] : Processes()) {
      if (std::find_if(before.begin(), before.end(), [&](auto& old) { return old.first == id; }) !=
          before.end())
        continue;
      started += " " + testing::ToUtf8(shell::FromWide(name.c_str()));
      if (lstrcmpiW(name.c_str(), program) != 0) continue;
      found = true;
      if (const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id)) {
        TerminateProcess(process, 0);
        CloseHandle(process);
      }
    }
    return found;
  }, 20000)) << "the chosen browser " << testing::ToUtf8(shell::FromWide(program))
             << " did not start; new processes:" << started;
}

// What Windows keeps of each address given as a shortcut's target, read back as the target
// item's URL. A row with forms must come back as one of them (the same page); the longer rows
// print what Windows kept, which decides Pellumar's bound of 259 characters on an address.
TEST_F(ShellTest, WindowsKeepsEachAddressAPellumarShortcutHolds) {
  if (testing::RunningUnderWine())
    GTEST_SKIP() << "Wine stores a web address as a file item, which has no URL";
  const auto of = [](std::size_t length) {
    return u"http://portal.example/" + std::u16string(length - 22, u'a');
  };
  const std::pair<std::u16string, std::vector<std::u16string>> rows[] = {
      {u"http://portal.example/a b", {u"http://portal.example/a b", u"http://portal.example/a%20b"}},
      {u"http://b\u00FCcher.example/", {u"http://b\u00FCcher.example/", u"http://xn--bcher-kva.example/"}},
      {u"http://portal.example/a%20b%2Fc", {u"http://portal.example/a%20b%2Fc"}},
      {u"https://portal.example/", {u"https://portal.example/"}},
      {u"http://portal.example/news?id=7&x=y#top", {u"http://portal.example/news?id=7&x=y#top"}},
      {of(259), {of(259)}},
      {of(260), {}},
      {of(1024), {}},
      {of(2083), {}},
  };
  const std::u16string file = shell::FromWide(TempFolder().c_str()) + u"pellumar-address.lnk";
  const RemoveOnExit cleanup(file);
  for (const auto& [address, forms] : rows) {
    Microsoft::WRL::ComPtr<IShellLinkW> link;
    Microsoft::WRL::ComPtr<IPersistFile> persist;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)), S_OK);
    ASSERT_EQ(link.As(&persist), S_OK);
    const HRESULT set = link->SetPath(Wide(address)), saved = persist->Save(Wide(file), TRUE);
    const std::u16string kept = SUCCEEDED(set) && SUCCEEDED(saved) ? LoadShortcut(file).targetUrl : u"";
    const std::string said = testing::ToUtf8(address.substr(0, 40)) + " (" +
                             std::to_string(address.size()) + " characters): kept " +
                             std::to_string(kept.size()) + (kept == address ? ", whole" : "");
    std::printf("%s; SetPath 0x%08lX, Save 0x%08lX\n", said.c_str(), static_cast<unsigned long>(set),
                static_cast<unsigned long>(saved));
    if (!forms.empty()) {
      EXPECT_NE(std::find(forms.begin(), forms.end(), kept), forms.end()) << said;
    }
  }
}

// Pellumar limits the process's DLL search to the system folder, and the shell extensions that
// the open dialog or the Recycle Bin loads are in-process COM servers loaded by their full
// path: one that imports a DLL beside it is created in a process that made Pellumar's call,
// and without that DLL it is not (so the test can fail).
TEST_F(ShellTest, AComServerFindsTheDllBesideItInAProcessThatLimitsItsDllSearch) {
  constexpr wchar_t kClsid[] = L"{5B0B6C1E-6A53-4E55-9B1F-3C1E8D7A2F40}";
  const std::wstring key = std::wstring(L"Software\\Classes\\CLSID\\") + kClsid;
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring bin(self, std::wcsrchr(self, L'\\') + 1);
  const std::wstring folder = TempFolder() + L"pellumar-com-server\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  const RemoveOnExit removeFolder(shell::FromWide(folder.c_str()));
  const std::wstring server = folder + L"pellumar_com_server.dll", helper = folder + L"pellumar_com_server_helper.dll";
  const RemoveOnExit removeServer(shell::FromWide(server.c_str())), removeHelper(shell::FromWide(helper.c_str()));
  ASSERT_TRUE(CopyFileW((bin + L"pellumar_com_server.dll").c_str(), server.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW((bin + L"pellumar_com_server_helper.dll").c_str(), helper.c_str(), FALSE));
  // Registered for the user, as an extension installed without an administrator is; Wine reads
  // classes from the machine's part of the registry alone.
  const HKEY root = testing::RunningUnderWine() ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  const auto setValue = [&](const wchar_t* name, const std::wstring& value) {
    return RegSetKeyValueW(root, (key + L"\\InprocServer32").c_str(), name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  };
  ASSERT_EQ(setValue(nullptr, server), ERROR_SUCCESS);
  ASSERT_EQ(setValue(L"ThreadingModel", L"Apartment"), ERROR_SUCCESS);
  struct Unregister {
    HKEY root;
    const std::wstring& key;
    ~Unregister() { RegDeleteTreeW(root, key.c_str()); }
  } registered{root, key};
  // The probe's exit code: 0 once it created the server, else the HRESULT.
  const auto probe = [&] {
    std::wstring line = L"\"" + bin + L"pellumar_com_probe.exe\" " + kClsid;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process))
      return GetLastError();
    DWORD code = STILL_ACTIVE;
    WaitForSingleObject(process.hProcess, 30000);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
  };
  EXPECT_EQ(probe(), 0u) << "the server with its DLL beside it was not created";
  ASSERT_TRUE(DeleteFileW(helper.c_str()));
  EXPECT_NE(probe(), 0u) << "created without its DLL";
}

TEST(SystemReasonTest, SpeaksInWordsForWin32AndHresultCodes) {
  const std::u16string pathNotFound = shell::SystemReason(ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(pathNotFound.rfind(u"System error", 0), std::u16string::npos)
      << testing::ToUtf8(pathNotFound);
  EXPECT_EQ(pathNotFound.back(), u'.');  // no trailing line break
  EXPECT_EQ(shell::SystemReason(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)),
            shell::SystemReason(ERROR_ACCESS_DENIED));
  EXPECT_EQ(shell::SystemReason(0xDEADBEEF), u"System error 0xDEADBEEF.");
}

}  // namespace
}  // namespace pellumar
