#include "tests/e2e/browser_record.h"

#include <cstdio>
#include <mutex>

#include "tests/e2e/harness_text.h"
#include "tests/e2e/registry_view.h"

namespace morvane::e2e {
namespace {

// The web addresses, and a local page: the shell turns a file: URL into the file's path and
// opens it with the program of its type.
const wchar_t* const kCommandKeys[] = {L"Software\\Classes\\http\\shell\\open\\command",
                                       L"Software\\Classes\\https\\shell\\open\\command",
                                       L"Software\\Classes\\htmlfile\\shell\\open\\command"};
// What a Wine prefix has, and what is put back when a killed run left the recorder in place.
const wchar_t* const kWineBrowser = L"\"C:\\windows\\system32\\winebrowser.exe\" \"%1\"";
constexpr DWORD kPollMs = 50;
// A prefix made without mshtml gives .html no file type: the run lends it Wine's usual one.
const wchar_t* const kHtmlTypeKey = L"Software\\Classes\\.html";

std::mutex savedMutex;
std::vector<std::wstring> saved;  // per command key, the command found before the run
bool htmlTypeLent = false;

// Sets the key's default value (a command, or a file type's class).
void SetCommand(const wchar_t* key, const std::wstring& command) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                 static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
}

}  // namespace

BrowserRecorder::BrowserRecorder(const std::wstring& harness, std::wstring recordFile)
    : recordFile_(std::move(recordFile)) {
  std::lock_guard lock(savedMutex);
  saved.clear();
  for (const wchar_t* key : kCommandKeys) {
    std::wstring before = ReadText(HKEY_LOCAL_MACHINE, key, nullptr).value_or(kWineBrowser);
    if (before.find(kRecordUrlSwitch) != std::wstring::npos) {
      before = kWineBrowser;
    }
    saved.push_back(before);
    SetCommand(key,
               L"\"" + harness + L"\" " + kRecordUrlSwitch + L" \"" + recordFile_ + L"\" \"%1\"");
  }
  if (!KeyExists(HKEY_LOCAL_MACHINE, kHtmlTypeKey)) {
    SetCommand(kHtmlTypeKey, L"htmlfile");
    htmlTypeLent = true;
  }
}

BrowserRecorder::~BrowserRecorder() {
  RestoreNow();
}

void BrowserRecorder::RestoreNow() {
  std::lock_guard lock(savedMutex);
  for (std::size_t i = 0; i < saved.size(); ++i) {
    SetCommand(kCommandKeys[i], saved[i]);
  }
  saved.clear();
  if (htmlTypeLent) {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kHtmlTypeKey);
    htmlTypeLent = false;
  }
}

std::vector<std::wstring> BrowserRecorder::Opened() const {
  std::vector<std::wstring> urls;
  FILE* file = _wfopen(recordFile_.c_str(), L"rb");
  if (file == nullptr) {
    return urls;
  }
  std::string line;
  for (int c; (c = std::fgetc(file)) != EOF;) {
    if (c == '\n') {
      urls.push_back(WideFromUtf8(line));
      line.clear();
    } else {
      line += static_cast<char>(c);
    }
  }
  std::fclose(file);
  return urls;
}

bool BrowserRecorder::WaitFor(const std::wstring& url, DWORD limitMs, int times) const {
  for (DWORD waited = 0;; waited += kPollMs) {
    int seen = 0;
    for (const std::wstring& opened : Opened()) {
      seen += opened == url ? 1 : 0;
    }
    if (seen >= times) {
      return true;
    }
    if (waited >= limitMs) {
      return false;
    }
    Sleep(kPollMs);
  }
}

int RecordUrl(const std::wstring& file, const std::wstring& url) {
  FILE* out = _wfopen(file.c_str(), L"ab");
  if (out == nullptr) {
    return 1;
  }
  const std::string line = Utf8FromWide(url) + "\n";
  std::fwrite(line.data(), 1, line.size(), out);
  std::fclose(out);
  return 0;
}

}  // namespace morvane::e2e
