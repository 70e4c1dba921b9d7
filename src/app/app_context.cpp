#include "app/app_context.h"

#include <algorithm>

#include "storage/text_codec.h"

namespace tovrel {

AppContext& App() {
  static AppContext app;
  return app;
}

void AppContext::NoteRead(const std::u16string& path, ReadStatus status) {
  std::erase_if(unreadFiles, [&](const std::u16string& file) { return EqualsIgnoreCase(file, path); });
  if (status == ReadStatus::Failed) unreadFiles.push_back(path);
}

bool AppContext::WasUnread(const std::u16string& path) const {
  return std::any_of(unreadFiles.begin(), unreadFiles.end(),
                     [&](const std::u16string& file) { return EqualsIgnoreCase(file, path); });
}

}  // namespace tovrel
