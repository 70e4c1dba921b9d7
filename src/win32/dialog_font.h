// Each language's windows in a font made for its script. The dialogs are
// designed in "MS UI Gothic" 9; when they open, their template is given the
// face of the screen language instead, chosen as Windows chooses for the
// shell: the language's own faces in order, the first installed that holds
// the script, else the shell dialog font (whose font links fill in).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace tovrel {

// The face of a language's windows: 0 Japanese, 1 English, 2 Korean, 3 Chinese.
std::wstring UiFontFace(std::int32_t language);
// The character set of a language's script.
BYTE UiFontCharset(std::int32_t language);

// The font of the in-place editors and the edit dialog's fields: the
// language's face, `height` pixels of this screen high.
HFONT CreateUiFont(std::int32_t language, int height);

// DialogBoxParamW and CreateDialogParamW of a resource dialog, in the face
// of the screen language.
INT_PTR ShowDialogInLanguage(HWND owner, int dialogId, DLGPROC proc, LPARAM param);
HWND CreateDialogInLanguage(HWND owner, int dialogId, DLGPROC proc, LPARAM param);

}  // namespace tovrel
