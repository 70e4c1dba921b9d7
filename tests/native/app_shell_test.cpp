// The catalog lookups, the command table and the list columns of a template:
// the decisions the main window takes from plain data.
#include <gtest/gtest.h>

#include "app/command_table.h"
#include "app/working_folder.h"
#include "drawing_list/list_columns.h"
#include "storage/ini_document.h"
#include "storage/text_catalog.h"

using namespace tovrel;

TEST(UiText, LooksUpEachTableInTheCurrentLanguage) {
  const IniDocument catalog = IniDocument::Parse(
      u"[dialog]\r\nNo.10:dialog-j=版\r\nNo.10:dialog-e=Version\r\nNo.10:dialog-k=버전\r\n"
      u"[code]\r\nNo.10:code-c=文件夹\r\nNo.99:code-e=last\r\n"
      u"[meg]\r\nNo.16:meg-ea=List is not empty\r\nNo.16:meg-eb=Tovrel\r\n"
      u"No.1:meg-ja=0123456789012345678901234567890123456789012345678901234567890123456789\r\n");
  UiText text;
  text.Load(catalog);
  EXPECT_EQ(text.Text(TextTable::Dialog, 10, 0), u"版");
  EXPECT_EQ(text.Text(TextTable::Dialog, 10, 1), u"Version");
  EXPECT_EQ(text.Text(TextTable::Dialog, 10, 3), u"");  // missing key: empty
  EXPECT_EQ(text.Text(TextTable::Code, 10, 3), u"文件夹");
  EXPECT_EQ(text.Text(TextTable::Code, 10, 1), u"");  // tables do not mix
  EXPECT_EQ(text.Text(TextTable::Code, 99, 1), u"last");
  EXPECT_EQ(text.MessageBody(16, 1), u"List is not empty");
  EXPECT_EQ(text.MessageCaption(16, 1), u"Tovrel");
  // A text longer than its slot keeps 63 characters.
  EXPECT_EQ(text.MessageBody(1, 0).size(), 63u);
  // Numbers and languages out of range give the empty text, never a fault.
  EXPECT_EQ(text.Text(TextTable::Dialog, 100, 1), u"");
  EXPECT_EQ(text.Text(TextTable::Dialog, -1, 1), u"");
  EXPECT_EQ(text.Text(TextTable::Dialog, 10, 4), u"");
  EXPECT_EQ(text.MessageBody(16, -1), u"");
}

TEST(CommandTable, ToolbarButtonsDoWhatTheirMenuTwinsDo) {
  const std::pair<int, int> twins[] = {{330, 37842}, {331, 37838}, {332, 37827}, {333, 37829},
                                       {334, 37844}, {337, 37831}, {338, 37826}, {339, 37833},
                                       {340, 37841}, {341, 37840}, {342, 37834}, {345, 51},
                                       {346, 27}, {347, 37863}};
  for (auto [button, menu] : twins) {
    EXPECT_EQ(CommandForId(button), CommandForId(menu)) << button;
    EXPECT_NE(CommandForId(button), Command::None) << button;
  }
  // The delete and run buttons act on all rows when none is selected, which
  // their menu items do not.
  EXPECT_NE(CommandForId(335), CommandForId(32));
  EXPECT_NE(CommandForId(336), CommandForId(37830));
  EXPECT_EQ(CommandForId(105), Command::Exit);
  EXPECT_EQ(CommandForId(104), Command::Version);
  EXPECT_EQ(CommandForId(9999), Command::None);
}

TEST(CommandTable, TooltipsAndPrintersFirst) {
  EXPECT_EQ(TooltipTextNumber(330), 10);
  EXPECT_EQ(TooltipTextNumber(346), 26);
  EXPECT_EQ(TooltipTextNumber(329), -1);
  EXPECT_EQ(TooltipTextNumber(347), 92);
  EXPECT_EQ(TooltipTextNumber(348), -1);
  for (int id : {37826, 37833, 37834, 338, 339, 342}) EXPECT_TRUE(NeedsPrintersFirst(CommandForId(id))) << id;
  for (int id : {37831, 37832, 37841}) EXPECT_FALSE(NeedsPrintersFirst(CommandForId(id))) << id;
}

TEST(ListColumns, OnlySlotsInUseWithADisplayModeAreShown) {
  ScriptTemplate tmpl;
  EXPECT_TRUE(DisplayedSlots(tmpl).empty());
  auto use = [&](int slot, int displayMode) {
    tmpl.columns[slot].inUse = 1;
    tmpl.columns[slot].displayMode = displayMode;
  };
  use(0, 1);
  use(1, 0);  // in use, not shown
  use(2, 4);
  tmpl.columns[3].displayMode = 2;  // shown mode but not in use
  use(4, 3);  // after a gap: still a column
  use(49, 4);
  EXPECT_EQ(DisplayedSlots(tmpl), (std::vector<int>{0, 2, 4, 49}));
}

TEST(WorkingFolder, APortableCopyKeepsItsFilesWhereItStartsAnInstalledOneInTheUsersFolder) {
  const tovrel::WorkingFolderChoice portable = tovrel::ChooseWorkingFolder(false, u"D:\\Tools\\Tovrel", u"C:\\Users\\a\\AppData\\Roaming");
  EXPECT_EQ(portable.folder, u"D:\\Tools\\Tovrel");
  EXPECT_FALSE(portable.installed);
  const tovrel::WorkingFolderChoice installed = tovrel::ChooseWorkingFolder(true, u"C:\\Windows\\System32", u"C:\\Users\\a\\AppData\\Roaming");
  EXPECT_EQ(installed.folder, u"C:\\Users\\a\\AppData\\Roaming\\Tovrel");
  EXPECT_TRUE(installed.installed);
  // Without a user folder to go to, the program stays portable.
  EXPECT_EQ(tovrel::ChooseWorkingFolder(true, u"E:\\t", u"").folder, u"E:\\t");
  EXPECT_EQ(tovrel::ShippedDataFiles().size(), 5u);
}
