#include "win32/window_text.h"

#include <cwchar>

#include "storage/file_io.h"
#include "storage/text_codec.h"

namespace tovrel {

namespace {

wchar_t g_sharedText[260];
const UiText* g_catalog = nullptr;
const std::int32_t* g_language = nullptr;

struct UnattendedLog {
  std::u16string path;  // empty: messages are shown
  bool goAhead = false;
};
UnattendedLog g_log;

const std::u16string& Empty() {
  static const std::u16string empty;
  return empty;
}

std::int32_t Language() { return g_language ? *g_language : 0; }

// Message boxes without an owner would open behind whatever window is in front.
UINT OwnerlessFlags(HWND owner) { return owner ? 0u : MB_SETFOREGROUND | MB_TOPMOST; }

// The body of message n; a message missing from the catalog still says which
// one it is rather than showing an empty box.
std::u16string MessageBody(int number) {
  std::u16string body = g_catalog ? g_catalog->MessageBody(number, Language()) : std::u16string();
  if (body.empty()) {
    const std::wstring n = std::to_wstring(number);
    body = u"Tovrel message ";
    body.append(n.begin(), n.end());
  }
  return body;
}

std::u16string MessageCaption(int number) {
  std::u16string caption = g_catalog ? g_catalog->MessageCaption(number, Language()) : std::u16string();
  return caption.empty() ? u"Tovrel" : caption;
}

// The questions whose answer No goes ahead ("... Cancel the paste?").
bool NoGoesAhead(int number) { return number == 40 || number == 42 || number == 44; }

std::u16string Stamp() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  wchar_t text[32];
  swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u  ", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
  return U(text);
}

// A message as log lines: number, caption, body, detail, the answer given.
int LogMessage(int number, int kind, const std::u16string& detail) {
  const int answer = kind != 1 ? 0 : NoGoesAhead(number) ? IDYES : IDNO;
  const std::wstring n = std::to_wstring(number);
  std::u16string text = u"[" + MessageCaption(number) + u" #" + std::u16string(n.begin(), n.end()) + u"] " +
                        MessageBody(number);
  if (!detail.empty()) text += u"\r\n" + detail;
  if (kind == 1) text += answer == IDYES ? u"  -> Yes" : u"  -> No";
  WriteToMessageLog(text);
  return answer;
}

}  // namespace

void SendMessagesToLog(const std::u16string& logPath, bool goAhead) { g_log = UnattendedLog{logPath, goAhead}; }
bool MessagesGoToLog() { return !g_log.path.empty(); }
bool UnattendedGoesAhead() { return g_log.goAhead; }

void WriteToMessageLog(const std::u16string& text) {
  if (g_log.path.empty()) return;
  const std::size_t slash = g_log.path.rfind(u'\\');
  if (slash != std::u16string::npos) CreateDirectoryW(W(g_log.path.substr(0, slash)), nullptr);
  std::string bytes = FileExists(g_log.path) ? "" : "\xEF\xBB\xBF";
  const std::u16string stamp = Stamp();
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t end = text.find(u'\n', from);
    if (end == std::u16string::npos) end = text.size();
    std::u16string line = text.substr(from, end - from);
    if (!line.empty() && line.back() == u'\r') line.pop_back();
    bytes += Utf16ToUtf8((from == 0 ? stamp : std::u16string(stamp.size(), u' ')) + line + u"\r\n");
    from = end + 1;
  }
  AppendToFile(g_log.path, bytes);
}

void InstallScreenCatalog(const UiText* catalog, const std::int32_t* language) {
  g_catalog = catalog;
  g_language = language;
}

std::int32_t ScreenLanguage() { return Language(); }

const wchar_t* LookUpText(TextTable table, int number) {
  const std::u16string& text = g_catalog ? g_catalog->Text(table, number, Language()) : Empty();
  const std::size_t n = text.size() < 259 ? text.size() : 259;
  std::wmemcpy(g_sharedText, reinterpret_cast<const wchar_t*>(text.data()), n);
  g_sharedText[n] = L'\0';
  return g_sharedText;
}

int ShowMessage(HWND owner, int number, int kind) {
  if (kind != 0 && kind != 1) return 0;
  if (MessagesGoToLog()) return LogMessage(number, kind, u"");
  const std::u16string body = MessageBody(number);
  const std::u16string caption = MessageCaption(number);
  const int answer =
      MessageBoxW(owner, W(body), W(caption), (kind == 0 ? MB_OK : MB_YESNO) | OwnerlessFlags(owner));
  return kind == 0 ? 0 : answer;
}

void ShowMessageWithDetail(HWND owner, int number, const std::u16string& detail, UINT icon) {
  if (MessagesGoToLog()) {
    LogMessage(number, 0, detail);
    return;
  }
  std::u16string body = MessageBody(number);
  if (!detail.empty()) body += u"\r\n\r\n" + detail;
  const std::u16string caption = MessageCaption(number);
  MessageBoxW(owner, W(body), W(caption), MB_OK | icon | OwnerlessFlags(owner));
}

int AskMessageWithDetail(HWND owner, int number, const std::u16string& detail) {
  if (MessagesGoToLog()) return LogMessage(number, 1, detail);
  std::u16string body = MessageBody(number);
  if (!detail.empty()) body += u"\r\n\r\n" + detail;
  const std::u16string caption = MessageCaption(number);
  return MessageBoxW(owner, W(body), W(caption), MB_YESNO | MB_ICONWARNING | OwnerlessFlags(owner));
}

void SetCatalogText(HWND window, TextTable table, int number) {
  const wchar_t* text = LookUpText(table, number);
  if (*text != L'\0') SetWindowTextW(window, text);
}

void SetCatalogItemText(HWND dialog, int controlId, TextTable table, int number) {
  const wchar_t* text = LookUpText(table, number);
  if (*text != L'\0') SetDlgItemTextW(dialog, controlId, text);
}

}  // namespace tovrel
