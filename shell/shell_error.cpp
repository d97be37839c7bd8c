#include "shell/shell_error.h"

namespace pellumar::shell {
namespace {

std::u16string_view Action(Operation operation) {
  switch (operation) {
    case Operation::CreateShellObject: return u"start the shell service";
    case Operation::SpecialFolders: return u"find the desktop folder";
    case Operation::CreateShortcut: return u"prepare the shortcut";
    case Operation::TargetPath: return u"set the shortcut's web address";
    case Operation::IconLocation: return u"set the shortcut's icon";
    case Operation::Save: return u"save the shortcut";
    case Operation::CreateFileSystemObject: return u"start the file service";
    case Operation::GetFile: return u"find the shortcut";
    case Operation::Delete: return u"delete the shortcut";
    case Operation::ShowOpen: return u"show the open-file dialog";
  }
  return u"complete the operation";
}

std::string Compose(Operation operation, std::u16string_view path, std::u16string_view reason) {
  std::string what = ToUtf8(OperationName(operation));
  if (!path.empty()) what += " '" + ToUtf8(path) + "'";
  what += ": " + ToUtf8(reason);
  return what;
}

}  // namespace

std::u16string_view OperationName(Operation operation) {
  switch (operation) {
    case Operation::CreateShellObject: return u"CreateShellObject";
    case Operation::SpecialFolders: return u"SpecialFolders";
    case Operation::CreateShortcut: return u"CreateShortcut";
    case Operation::TargetPath: return u"TargetPath";
    case Operation::IconLocation: return u"IconLocation";
    case Operation::Save: return u"Save";
    case Operation::CreateFileSystemObject: return u"CreateFileSystemObject";
    case Operation::GetFile: return u"GetFile";
    case Operation::Delete: return u"Delete";
    case Operation::ShowOpen: return u"ShowOpen";
  }
  return u"Unknown";
}

ShellError::ShellError(Operation operation, std::u16string path, std::u16string reason,
                       std::uint32_t code)
    : std::runtime_error(Compose(operation, path, reason)),
      operation_(operation),
      path_(std::move(path)),
      reason_(std::move(reason)),
      code_(code) {}

std::u16string ShellError::Describe() const {
  std::u16string text = u"Could not ";
  text += Action(operation_);
  text += u".";
  if (!path_.empty()) {
    text += u"\n\n";
    text += path_;
  }
  if (!reason_.empty()) {
    text += u"\n\n";
    text += reason_;
  }
  return text;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace pellumar::shell
