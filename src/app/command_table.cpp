#include "app/command_table.h"

namespace tovrel {

namespace {

struct Entry {
  int id;
  Command command;
};

// Menu items (the same ids in all four menus), toolbar buttons 330 to 346 in
// their order, and the accelerators' 104.
constexpr Entry kCommands[] = {
    {37844, Command::AddDwgFiles},        {37845, Command::AddDxfFiles},
    {37827, Command::AddDwgFolder},       {37829, Command::AddDxfFolder},
    {37838, Command::AddDwgTree},         {37837, Command::AddDxfTree},
    {37842, Command::FolderBrowser},      {32, Command::DeleteSelectedMenu},
    {34, Command::DeleteAll},             {105, Command::Exit},
    {37857, Command::SearchInList},       {37836, Command::SelectAll},
    {37828, Command::DeselectAll},        {37839, Command::SearchDrives},
    {37833, Command::EditOneRow},         {37841, Command::CopyRow},
    {37840, Command::PasteRow},           {37834, Command::EditOneColumn},
    {37847, Command::ApplyFileNameRules}, {37848, Command::FileNameRulesDialog},
    {37832, Command::RunAll},             {37830, Command::RunSelected},
    {37846, Command::RunPerRowOnce},      {37851, Command::RunPerRowTimer},
    {37860, Command::CheckBeforeRun},
    {37849, Command::SaveListAs},         {37850, Command::LoadListFrom},
    {37852, Command::SaveScriptAll},      {37853, Command::SaveScriptSelected},
    {37826, Command::InitialValues},      {37831, Command::PrinterListing},
    {37843, Command::TemplateSelection},  {41, Command::Environment},
    {37835, Command::ShowScript},         {54, Command::ConvertOldFiles},
    {55, Command::Language},              {51, Command::Help},
    {52, Command::HomePage},              {53, Command::About},
    {104, Command::Version},              {27, Command::Exit},
    // toolbar
    {330, Command::FolderBrowser},        {331, Command::AddDwgTree},
    {332, Command::AddDwgFolder},         {333, Command::AddDxfFolder},
    {334, Command::AddDwgFiles},          {335, Command::DeleteSelectedToolbar},
    {336, Command::RunToolbar},           {337, Command::PrinterListing},
    {338, Command::InitialValues},        {339, Command::EditOneRow},
    {340, Command::CopyRow},              {341, Command::PasteRow},
    {342, Command::EditOneColumn},        {343, Command::MoveRowDown},
    {344, Command::MoveRowUp},            {345, Command::Help},
    {346, Command::Exit},
    {347, Command::RunParallel},
    {37862, Command::SelectRowsToRunAgain},
    {37863, Command::RunParallel},
};

}  // namespace

Command CommandForId(int id) {
  for (const Entry& e : kCommands) {
    if (e.id == id) return e.command;
  }
  return Command::None;
}

bool NeedsPrintersFirst(Command command) {
  return command == Command::InitialValues || command == Command::EditOneRow ||
         command == Command::EditOneColumn;
}

bool StartsAutocad(Command command) {
  return command == Command::RunAll || command == Command::RunSelected || command == Command::RunToolbar ||
         command == Command::RunPerRowOnce || command == Command::RunPerRowTimer ||
         command == Command::CheckBeforeRun ||  // "Run anyway" runs
         command == Command::RunParallel;
}

bool AllowedDuringRun(Command command) {
  switch (command) {
    case Command::About:
    case Command::Version:
    case Command::Help:
    case Command::HomePage:
    case Command::ShowScript:
    case Command::SaveListAs:
    case Command::PrinterListing:
    case Command::None:
      return true;
    default:
      return false;
  }
}

int TooltipTextNumber(int id) {
  if (id < kFirstToolbarId || id >= kFirstToolbarId + kToolbarButtonCount) return -1;
  return id == kParallelToolbarId ? 92 : id - 320;
}

}  // namespace tovrel
