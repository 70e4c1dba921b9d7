#include "win32/window_text.h"

#include <cwchar>

namespace tovrel {

namespace {

wchar_t g_sharedText[260];
const UiText* g_catalog = nullptr;
const std::int32_t* g_language = nullptr;

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

}  // namespace

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
  const std::u16string body = MessageBody(number);
  const std::u16string caption = MessageCaption(number);
  const int answer =
      MessageBoxW(owner, W(body), W(caption), (kind == 0 ? MB_OK : MB_YESNO) | OwnerlessFlags(owner));
  return kind == 0 ? 0 : answer;
}

namespace {

int MessageWithDetail(HWND owner, int number, const std::u16string& detail, UINT buttons) {
  std::u16string body = MessageBody(number);
  if (!detail.empty()) body += u"\r\n\r\n" + detail;
  const std::u16string caption = MessageCaption(number);
  return MessageBoxW(owner, W(body), W(caption), buttons | MB_ICONWARNING | OwnerlessFlags(owner));
}

}  // namespace

void ShowMessageWithDetail(HWND owner, int number, const std::u16string& detail) {
  MessageWithDetail(owner, number, detail, MB_OK);
}

int AskMessageWithDetail(HWND owner, int number, const std::u16string& detail) {
  return MessageWithDetail(owner, number, detail, MB_YESNO);
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
