#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "shell/services.h"

// The file system as the commands reach it: a file found, and a file deleted to the Recycle Bin.
namespace pellumar::shell {

// The file system of the desktop folder `desktop`, spelt as the shell reported it. The question
// before a delete for good is modal to `owner`, which may be null.
std::unique_ptr<FileSystemObject> CreateFileSystem(HWND owner, std::u16string desktop);

// Whether a file, a folder being none, is at `path`: `error` says why not, `attributes` are
// the file's when it is.
bool IsFile(const std::u16string& path, DWORD* error, DWORD* attributes = nullptr);
bool IsFolder(const std::u16string& path);

}  // namespace pellumar::shell
