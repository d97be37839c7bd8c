#include "shell/drop_data.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "shell/file_system.h"
#include "shell/owners.h"
#include "shell/system_dlls.h"
#include "shell/wide.h"

namespace pellumar::shell {
namespace {

// Enough for any address a browser hands over; a larger text is not one address.
constexpr std::size_t kLargestText = 1 << 21;
// An Internet Shortcut is a few lines; its URL= line is near the top.
constexpr std::size_t kLargestInternetShortcut = 1 << 16;

// A medium the data object gave, released however the scope is left.
class Medium {
 public:
  Medium(IDataObject* data, CLIPFORMAT format, LONG index, DWORD media) {
    FORMATETC wanted{format, nullptr, DVASPECT_CONTENT, index, media};
    held_ = format != 0 && SUCCEEDED(data->GetData(&wanted, &medium_));
  }
  ~Medium() {
    if (held_) system::ReleaseStgMedium(&medium_);
  }
  Medium(const Medium&) = delete;
  Medium& operator=(const Medium&) = delete;

  bool held() const { return held_; }
  const STGMEDIUM& operator*() const { return medium_; }

 private:
  STGMEDIUM medium_{};
  bool held_ = false;
};

CLIPFORMAT Format(const wchar_t* name) {
  return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name));
}

// The first `limit` bytes of a block of global memory, or of a stream.
std::string BytesOf(const STGMEDIUM& medium, std::size_t limit) {
  std::string bytes;
  if (medium.tymed == TYMED_HGLOBAL) {
    const SIZE_T size = GlobalSize(medium.hGlobal);
    if (const void* memory = GlobalLock(medium.hGlobal)) {
      const auto first = static_cast<const char*>(memory);
      bytes.assign(first, first + (size < limit ? size : limit));
      GlobalUnlock(medium.hGlobal);
    }
  } else if (medium.tymed == TYMED_ISTREAM && medium.pstm) {
    char buffer[4096];
    ULONG read = 0;
    while (bytes.size() < limit && SUCCEEDED(medium.pstm->Read(buffer, sizeof buffer, &read)) &&
           read > 0) {
      bytes.append(buffer, read);
    }
    if (bytes.size() > limit) bytes.resize(limit);
  }
  return bytes;
}

std::u16string FromCodePage(UINT codePage, DWORD flags, std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::u16string text(static_cast<std::size_t>(length), u'\0');
  MultiByteToWideChar(codePage, flags, bytes.data(), size, reinterpret_cast<wchar_t*>(text.data()),
                      length);
  return text;
}

std::u16string FromUtf16(std::string_view bytes) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                    static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  }
  return text;
}

// Text up to its terminating null, in UTF-16 or in the system's code page; empty when the
// object has none in that form.
std::u16string TextOf(IDataObject* data, CLIPFORMAT format, bool wide) {
  const Medium medium(data, format, -1, TYMED_HGLOBAL);
  if (!medium.held()) return {};
  const std::string bytes = BytesOf(*medium, kLargestText + 2);
  if (bytes.size() > kLargestText) return {};
  std::u16string text = wide ? FromUtf16(bytes) : FromCodePage(CP_ACP, 0, bytes);
  if (const std::size_t end = text.find(u'\0'); end != std::u16string::npos) text.resize(end);
  return text;
}

// An Internet Shortcut's text: UTF-16 with its mark, UTF-8, or else the system's code page.
std::u16string DecodeInternetShortcut(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE")) return FromUtf16(bytes.substr(2));
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  std::u16string text = FromCodePage(CP_UTF8, MB_ERR_INVALID_CHARS, bytes);
  return text.empty() ? FromCodePage(CP_ACP, 0, bytes) : text;
}

std::string FileBytes(const std::u16string& path) {
  std::string bytes;
  const UniqueHandle file(CreateFileW(Wide(path), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return bytes;
  bytes.resize(kLargestInternetShortcut);
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
    read = 0;
  bytes.resize(read);
  return bytes;
}

// The names of the files a browser describes for a dragged link; two are enough to refuse.
std::vector<std::u16string> DescribedFiles(IDataObject* data) {
  std::vector<std::u16string> names;
  const Medium medium(data, Format(CFSTR_FILEDESCRIPTORW), -1, TYMED_HGLOBAL);
  if (!medium.held()) return names;
  const std::string bytes = BytesOf(*medium, sizeof(UINT) + 2 * sizeof(FILEDESCRIPTORW));
  if (bytes.size() < sizeof(UINT)) return names;
  UINT count = 0;
  std::memcpy(&count, bytes.data(), sizeof count);
  const std::size_t whole = (bytes.size() - sizeof(UINT)) / sizeof(FILEDESCRIPTORW);
  for (std::size_t i = 0; i < count && i < whole; ++i) {
    FILEDESCRIPTORW descriptor;
    std::memcpy(&descriptor, bytes.data() + sizeof(UINT) + i * sizeof descriptor,
                sizeof descriptor);
    descriptor.cFileName[MAX_PATH - 1] = L'\0';
    names.push_back(FromWide(descriptor.cFileName));
  }
  return names;
}

}  // namespace

DropOffer ReadDropOffer(IDataObject* data) {
  DropOffer offer;
  {
    const Medium files(data, CF_HDROP, -1, TYMED_HGLOBAL);
    if (files.held()) {
      const auto drop = static_cast<HDROP>((*files).hGlobal);
      const UINT count = system::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
      for (UINT i = 0; i < count && i < 2; ++i) {
        std::u16string path(system::DragQueryFileW(drop, i, nullptr, 0) + 1, u'\0');
        path.resize(system::DragQueryFileW(drop, i, reinterpret_cast<wchar_t*>(path.data()),
                                           static_cast<UINT>(path.size())));
        const bool folder = IsFolder(path);
        offer.files.push_back({std::move(path), folder});
      }
      if (!offer.files.empty()) return offer;  // nothing else counts
    }
  }
  offer.link = TextOf(data, Format(CFSTR_INETURLW), true);
  if (offer.link.empty()) offer.link = TextOf(data, Format(CFSTR_INETURLA), false);
  offer.describedFiles = DescribedFiles(data);
  offer.text = TextOf(data, CF_UNICODETEXT, true);
  if (offer.text.empty()) offer.text = TextOf(data, CF_TEXT, false);
  return offer;
}

std::u16string ReadInternetShortcut(const std::u16string& path) {
  return DecodeInternetShortcut(FileBytes(path));
}

std::u16string ReadDescribedFile(IDataObject* data, LONG index) {
  const Medium contents(data, Format(CFSTR_FILECONTENTS), index, TYMED_HGLOBAL | TYMED_ISTREAM);
  return contents.held() ? DecodeInternetShortcut(BytesOf(*contents, kLargestInternetShortcut))
                         : std::u16string();
}

}  // namespace pellumar::shell
