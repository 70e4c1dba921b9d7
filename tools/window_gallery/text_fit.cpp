#include "text_fit.h"

#include <commctrl.h>

namespace tovrel::gallery {

namespace {

int Dpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

int Scaled(int pixels) { return MulDiv(pixels, Dpi(), 96); }

std::wstring TextOfWindow(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

// The text as drawn: "&x" underlines x, "&&" is one ampersand.
std::wstring WithoutPrefixes(const std::wstring& text) {
  std::wstring shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  return shown;
}

// The size of one line of text in the control's font.
SIZE Extent(HWND control, const std::wstring& text) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size;
}

// The height a text takes wrapped to a width, as a static draws it.
int WrappedHeight(HWND control, const std::wstring& text, int width, UINT prefixFlag) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT r{0, 0, width, 0};
  DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | prefixFlag);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return r.bottom;
}

void CheckStatic(HWND control, std::vector<Misfit>& misfits, int& measured) {
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  const LONG type = style & SS_TYPEMASK;
  if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE) {
    return;
  }
  if (style & (SS_PATHELLIPSIS | SS_ENDELLIPSIS | SS_WORDELLIPSIS)) return;  // shortened by design
  const std::wstring raw = TextOfWindow(control);
  if (raw.empty()) return;
  const bool prefixes = (style & SS_NOPREFIX) == 0;
  const std::wstring text = prefixes ? WithoutPrefixes(raw) : raw;
  RECT box{};
  GetClientRect(control, &box);
  ++measured;
  const SIZE line = Extent(control, text);
  if (line.cx <= box.right) return;
  const bool wraps = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
  if (wraps) {
    const int height = WrappedHeight(control, raw, box.right, prefixes ? 0 : DT_NOPREFIX);
    if (height <= box.bottom) return;
    misfits.push_back({GetDlgCtrlID(control), raw, height, box.bottom, true});
    return;
  }
  misfits.push_back({GetDlgCtrlID(control), raw, line.cx, box.right, false});
}

void CheckButton(HWND control, std::vector<Misfit>& misfits, int& measured) {
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  const LONG type = style & BS_TYPEMASK;
  const std::wstring raw = TextOfWindow(control);
  if (raw.empty() || (style & (BS_BITMAP | BS_ICON))) return;
  RECT box{};
  GetClientRect(control, &box);
  int room = box.right;
  switch (type) {
    case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_3STATE: case BS_AUTO3STATE:
    case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON:
      room -= Scaled(13) + Scaled(4);  // the box or circle and the gap after it
      break;
    case BS_GROUPBOX:
      room -= Scaled(16);  // the frame's line on both sides of the caption
      break;
    case BS_PUSHBUTTON: case BS_DEFPUSHBUTTON:
      room -= Scaled(6);  // the edges and the focus rectangle
      break;
    default:
      return;  // owner-drawn and the like draw their own
  }
  ++measured;
  const std::wstring text = WithoutPrefixes(raw);
  const SIZE line = Extent(control, text);
  if (line.cx <= room) return;
  if (style & BS_MULTILINE) {
    if (WrappedHeight(control, raw, room, 0) <= box.bottom) return;
  }
  misfits.push_back({GetDlgCtrlID(control), raw, line.cx, room, false});
}

// The items of a header; the id reported is the list view's, with the item's
// number after a dot in the text.
void CheckHeader(HWND header, std::vector<Misfit>& misfits, int& measured) {
  const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  const int margins = 6 * GetSystemMetrics(SM_CXEDGE);  // three edges each side
  for (int i = 0; i < count; ++i) {
    wchar_t buffer[260] = L"";
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_WIDTH;
    item.pszText = buffer;
    item.cchTextMax = 260;
    if (!SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item))) continue;
    const std::wstring text = buffer;
    if (text.empty() || item.cxy <= 0) continue;
    ++measured;
    const SIZE line = Extent(header, text);
    if (line.cx + margins > item.cxy) {
      misfits.push_back({GetDlgCtrlID(GetParent(header)), L"[" + std::to_wstring(i) + L"] " + text, line.cx,
                         item.cxy - margins, false});
    }
  }
}

}  // namespace

std::vector<Misfit> MisfitsOf(HWND window, int& measured) {
  std::vector<Misfit> misfits;
  struct Walk {
    std::vector<Misfit>* misfits;
    int* measured;
  } walk{&misfits, &measured};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM p) -> BOOL {
        auto* w = reinterpret_cast<Walk*>(p);
        if (!IsWindowVisible(child)) return TRUE;
        wchar_t cls[32] = L"";
        GetClassNameW(child, cls, 32);
        if (_wcsicmp(cls, L"Static") == 0) CheckStatic(child, *w->misfits, *w->measured);
        if (_wcsicmp(cls, L"Button") == 0) CheckButton(child, *w->misfits, *w->measured);
        if (_wcsicmp(cls, WC_HEADERW) == 0) CheckHeader(child, *w->misfits, *w->measured);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&walk));
  return misfits;
}

}  // namespace tovrel::gallery
