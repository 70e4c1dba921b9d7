#include "ui_text/ui_text_win32.h"

#include <cwchar>

#include "app/app_context.h"

namespace tovrel {

namespace {
wchar_t g_sharedText[260];
}

const wchar_t* LookUpText(TextTable table, int number) {
  const std::u16string& text = App().text.Text(table, number, App().settings.moji_type);
  const std::size_t n = text.size() < 259 ? text.size() : 259;
  std::wmemcpy(g_sharedText, reinterpret_cast<const wchar_t*>(text.data()), n);
  g_sharedText[n] = L'\0';
  return g_sharedText;
}

int ShowMessage(HWND owner, int number, int kind) {
  if (kind != 0 && kind != 1) return 0;
  const AppContext& app = App();
  const std::u16string& body = app.text.MessageBody(number, app.settings.moji_type);
  const std::u16string& caption = app.text.MessageCaption(number, app.settings.moji_type);
  const int answer = MessageBoxW(owner, W(body), W(caption), kind == 0 ? MB_OK : MB_YESNO);
  return kind == 0 ? 0 : answer;
}

void ShowMessageWithDetail(HWND owner, int number, const std::u16string& detail) {
  const AppContext& app = App();
  std::u16string body = app.text.MessageBody(number, app.settings.moji_type);
  if (!detail.empty()) body += u"\r\n\r\n" + detail;
  const std::u16string& caption = app.text.MessageCaption(number, app.settings.moji_type);
  MessageBoxW(owner, W(body), W(caption), MB_OK | MB_ICONWARNING);
}

void SetCatalogText(HWND window, TextTable table, int number) {
  SetWindowTextW(window, LookUpText(table, number));
}

void SetCatalogItemText(HWND dialog, int controlId, TextTable table, int number) {
  SetDlgItemTextW(dialog, controlId, LookUpText(table, number));
}

}  // namespace tovrel
