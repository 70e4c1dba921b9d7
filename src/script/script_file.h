// Where a script goes: a sink that is opened (which creates or empties the
// file), written and closed. Every step reports failure, so a full disk or a
// lost network drive is never taken for a complete script.
#pragma once

#include <string>
#include <string_view>

namespace tovrel {

class ScriptSink {
public:
  virtual ~ScriptSink() = default;
  // Creates the file, replacing any existing one, so that it exists and is
  // empty. False when it cannot be created.
  virtual bool Open() = 0;
  // Appends all of `bytes`; false when any of them could not be written.
  virtual bool Write(std::string_view bytes) = 0;
  // Flushes and closes; false when the data could not be written out. A
  // sink that is not open closes successfully.
  virtual bool Close() = 0;
};

// A script file on disk, opened for writing only with no sharing, normal
// attributes and sequential access. Closed on destruction if still open.
class ScriptFileSink final : public ScriptSink {
public:
  explicit ScriptFileSink(std::u16string path);
  ~ScriptFileSink() override;
  ScriptFileSink(const ScriptFileSink&) = delete;
  ScriptFileSink& operator=(const ScriptFileSink&) = delete;

  bool Open() override;
  bool Write(std::string_view bytes) override;
  bool Close() override;

private:
  std::u16string path_;
#ifdef _WIN32
  void* handle_;  // a HANDLE; INVALID_HANDLE_VALUE when closed
#else
  int fd_ = -1;
#endif
};

// Collects the bytes in memory; for tests, which can also make any step fail.
class MemoryScriptSink final : public ScriptSink {
public:
  bool Open() override;
  bool Write(std::string_view bytes) override;
  bool Close() override;

  std::string bytes;          // the file's contents
  bool exists = false;        // Open succeeded at least once
  bool open = false;
  int openCount = 0;
  bool failOpen = false;      // Open answers false
  bool failWrite = false;     // Write answers false, after keeping half the bytes
  bool failClose = false;     // Close answers false
};

}  // namespace tovrel
