#include "win32/dialog_font.h"

#include <cstring>
#include <vector>

#include "win32/window_text.h"

namespace tovrel {

namespace {

struct LanguageFaces {
  BYTE charset;
  const wchar_t* faces[3];
};
// The shell dialog font's links, per script, as Windows orders them.
constexpr LanguageFaces kFaces[] = {
    {SHIFTJIS_CHARSET, {L"MS UI Gothic", nullptr, nullptr}},
    {ANSI_CHARSET, {L"Segoe UI", nullptr, nullptr}},
    {HANGUL_CHARSET, {L"Malgun Gothic", L"Gulim", nullptr}},
    {GB2312_CHARSET, {L"Microsoft YaHei", L"SimSun", nullptr}},
};
constexpr wchar_t kShellDialogFont[] = L"MS Shell Dlg 2";

const LanguageFaces& FacesOf(std::int32_t language) {
  return kFaces[language >= 0 && language < 4 ? language : 0];
}

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// Whether a face is installed (or mapped to an installed font) with the
// glyphs of a character set.
bool Installed(const wchar_t* face, BYTE charset) {
  LOGFONTW wanted{};
  wanted.lfCharSet = charset;
  wcsncpy_s(wanted.lfFaceName, face, _TRUNCATE);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &wanted, NoteFound, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

// The bytes of a dialog resource with another face in its font entry; empty
// when the resource is not an extended template with a font.
std::vector<BYTE> WithFace(int dialogId, const std::wstring& face) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(dialogId), MAKEINTRESOURCEW(5));  // RT_DIALOG
  HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
  const auto* bytes = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
  const DWORD size = info ? SizeofResource(module, info) : 0;
  if (!bytes || size < 26) return {};
  auto word = [&](std::size_t at) {
    WORD w = 0;
    if (at + 2 <= size) std::memcpy(&w, bytes + at, 2);
    return w;
  };
  if (word(0) != 1 || word(2) != 0xFFFF) return {};  // not DIALOGEX
  DWORD style = 0;
  std::memcpy(&style, bytes + 12, 4);
  if ((style & DS_SETFONT) == 0) return {};
  std::size_t at = 26;
  auto skipNameOrNumber = [&] {
    if (word(at) == 0xFFFF) {
      at += 4;
    } else {
      while (at < size && word(at) != 0) at += 2;
      at += 2;
    }
  };
  skipNameOrNumber();  // menu
  skipNameOrNumber();  // class
  while (at < size && word(at) != 0) at += 2;  // caption
  at += 2 + 6;                                  // size, weight, italic, charset
  const std::size_t faceAt = at;
  while (at < size && word(at) != 0) at += 2;
  at += 2;
  const std::size_t itemsAt = (at + 3) & ~std::size_t{3};
  if (itemsAt > size) return {};
  std::vector<BYTE> out(bytes, bytes + faceAt);
  const auto* faceBytes = reinterpret_cast<const BYTE*>(face.c_str());
  out.insert(out.end(), faceBytes, faceBytes + (face.size() + 1) * sizeof(wchar_t));
  while (out.size() % 4 != 0) out.push_back(0);
  out.insert(out.end(), bytes + itemsAt, bytes + size);
  return out;
}

}  // namespace

std::wstring UiFontFace(std::int32_t language) {
  const LanguageFaces& faces = FacesOf(language);
  for (const wchar_t* face : faces.faces) {
    if (face && Installed(face, faces.charset)) return face;
  }
  return kShellDialogFont;
}

BYTE UiFontCharset(std::int32_t language) { return FacesOf(language).charset; }

HFONT CreateUiFont(std::int32_t language, int height) {
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, UiFontCharset(language), OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, UiFontFace(language).c_str());
}

INT_PTR ShowDialogInLanguage(HWND owner, int dialogId, DLGPROC proc, LPARAM param) {
  const std::vector<BYTE> dialog = WithFace(dialogId, UiFontFace(ScreenLanguage()));
  if (dialog.empty()) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(dialogId), owner, proc, param);
  }
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialog.data()),
                                 owner, proc, param);
}

HWND CreateDialogInLanguage(HWND owner, int dialogId, DLGPROC proc, LPARAM param) {
  const std::vector<BYTE> dialog = WithFace(dialogId, UiFontFace(ScreenLanguage()));
  if (dialog.empty()) {
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(dialogId), owner, proc, param);
  }
  return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialog.data()),
                                    owner, proc, param);
}

}  // namespace tovrel
