// Whole-file reads and atomic whole-file writes, the file-system seam of the
// INI engine. Paths are UTF-16 as everywhere in the program.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovrel {

enum class ReadStatus { Ok, NotFound, Failed };

struct FileContents {
  ReadStatus status = ReadStatus::NotFound;
  std::string bytes;
};

// Reads the whole file. A file that does not exist is NotFound; one that
// exists but cannot be read (locked, a folder, no permission) is Failed.
FileContents ReadWholeFile(const std::u16string& path);

// Replaces the file with `bytes` so that at every moment the path holds
// either the old contents or the new ones: the bytes go to a temporary file
// beside it, are flushed to the disk, and the temporary file then takes the
// file's place. On failure the old file is untouched, the temporary file is
// removed, and `error` (if given) says what failed.
bool WriteFileAtomically(const std::u16string& path, std::string_view bytes,
                         std::u16string* error = nullptr);

// Adds `bytes` at the end of the file, made when missing (a log that keeps
// what was written before a crash). False when nothing or not all was written.
bool AppendToFile(const std::u16string& path, std::string_view bytes);

bool FileExists(const std::u16string& path);

}  // namespace tovrel
