// The help pages shipped in build/dist/help and the Help commands and
// buttons that open them: each asks the shell to open the local page of the
// screen language, not an address on the internet.
#include <windows.h>

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "app_harness.h"
#include "dialog_ids.h"
#include "win32/help_pages.h"
#include "win32/help_pages_win32.h"

using namespace tovrel;
using namespace tovrel::test;

namespace {

constexpr int kHelpMenu = 51;
constexpr int kHelpButton = 345;
constexpr int kInitialValues = 37826;
constexpr int kTemplateSelection = 37843;

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring Wide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

std::wstring ShippedPage(const wchar_t* language, HelpTopic topic) {
  return DistDir() + L"\\help\\" + language + L"\\" + Wide(HelpPageName(topic)) + L".html";
}

// Stands in for the shell: keeps every page it is asked to open.
class OpenedPages {
 public:
  OpenedPages() {
    ReplaceHelpPageShell(DistDir(), [this](HWND owner, const std::wstring& path) {
      std::lock_guard<std::mutex> lock(mutex_);
      pages_.push_back(path);
      owners_.push_back(owner);
    });
  }
  ~OpenedPages() { ReplaceHelpPageShell(L"", nullptr); }
  OpenedPages(const OpenedPages&) = delete;
  OpenedPages& operator=(const OpenedPages&) = delete;

  // The next page asked for (waiting for it), or empty.
  std::wstring Next(HWND* owner = nullptr) {
    std::wstring page;
    WaitUntil([&] {
      std::lock_guard<std::mutex> lock(mutex_);
      if (taken_ >= pages_.size()) return false;
      page = pages_[taken_];
      if (owner) *owner = owners_[taken_];
      ++taken_;
      return true;
    });
    return page;
  }

 private:
  std::mutex mutex_;
  std::vector<std::wstring> pages_;
  std::vector<HWND> owners_;
  std::size_t taken_ = 0;
};

TEST(HelpPages, EveryPageShipsInEveryLanguage) {
  EXPECT_TRUE(IsFile(DistDir() + L"\\help\\help.css"));
  for (const wchar_t* language : {L"ja", L"en", L"ko", L"zh"}) {
    for (int t = 0; t < kHelpTopicCount; ++t) {
      const std::wstring page = ShippedPage(language, static_cast<HelpTopic>(t));
      EXPECT_TRUE(IsFile(page)) << std::string(page.begin(), page.end());
    }
  }
}

TEST(HelpPages, HelpMenuAndToolbarButtonOpenTheLocalContentsOfTheLanguage) {
  const struct {
    int language;
    const wchar_t* folder;
  } cases[] = {{0, L"ja"}, {2, L"ko"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.language);
    OpenedPages opened;
    Workspace ws;
    ws.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nmoji_type=" + std::to_wstring(c.language) + L"\r\n");
    RunningApp app(ws);
    for (int command : {kHelpMenu, kHelpButton}) {
      app.PostCommand(command);
      HWND owner = nullptr;
      EXPECT_EQ(opened.Next(&owner), ShippedPage(c.folder, HelpTopic::Contents)) << command;
      EXPECT_EQ(owner, app.Main());
    }
    app.Exit();
  }
}

TEST(HelpPages, DialogHelpButtonsOpenTheirOwnPages) {
  OpenedPages opened;
  Workspace ws;
  ws.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nmoji_type=3\r\n");
  RunningApp app(ws);

  // The edit dialog, here for the initial values of new rows.
  app.PostCommand(kInitialValues);
  HWND edit = WaitForDialog();
  ASSERT_NE(edit, nullptr);
  ASSERT_NE(GetDlgItem(edit, IDB_EDIT_HELP), nullptr);
  PressButton(edit, IDB_EDIT_HELP);
  HWND owner = nullptr;
  EXPECT_EQ(opened.Next(&owner), ShippedPage(L"zh", HelpTopic::Editing));
  EXPECT_EQ(owner, edit);
  PressButton(edit, IDB_EDIT_CANCEL);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(edit); }));

  // The template selection and, from it, the template editor.
  app.PostCommand(kTemplateSelection);
  HWND selection = WaitForDialog(CatalogText(L"dialog", L"No.26:dialog-c"));
  ASSERT_NE(selection, nullptr);
  PressButton(selection, IDB_TEMPLATE_HELP);
  EXPECT_EQ(opened.Next(), ShippedPage(L"zh", HelpTopic::TemplateSelection));
  PressButton(selection, IDB_TEMPLATE_DETAILS);
  HWND editor = WaitForDialog(CatalogText(L"dialog", L"No.58:dialog-c"));
  ASSERT_NE(editor, nullptr);
  PressButton(editor, IDB_EDITOR_HELP);
  EXPECT_EQ(opened.Next(), ShippedPage(L"zh", HelpTopic::TemplateEditor));
  PostMessageW(editor, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor); }));
  PostMessageW(selection, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(selection); }));
  app.Exit();
}

// A language whose pages are missing gets the English page, looked for in
// the folder the program lies in.
TEST(HelpPages, AMissingLanguagePageFallsBackToEnglish) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"tovrel-help-" + std::to_wstring(GetCurrentProcessId());
  for (const wchar_t* sub : {L"", L"\\help", L"\\help\\en"})
    CreateDirectoryW((folder + sub).c_str(), nullptr);
  const std::wstring english = folder + L"\\help\\en\\running.html";
  HANDLE file = CreateFileW(english.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);

  std::wstring asked;
  ReplaceHelpPageShell(folder, [&](HWND, const std::wstring& path) { asked = path; });
  OpenHelpPage(nullptr, HelpTopic::Running);
  ReplaceHelpPageShell(L"", nullptr);
  EXPECT_EQ(asked, english);

  DeleteFileW(english.c_str());
  for (const wchar_t* sub : {L"\\help\\en", L"\\help", L""}) RemoveDirectoryW((folder + sub).c_str());
}

}  // namespace
