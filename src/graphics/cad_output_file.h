// CAD files on disk: a writer's text goes to a temporary file beside the target, which
// replaces the target only when the drawing is complete and every byte was written.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

#include "graphics/cad_writer.h"
#include "platform/file_writer.h"

// An output stream over the atomic file writer of the platform layer.
class AtomicOutputFile {
 public:
  AtomicOutputFile() : stream_(&buffer_) {}
  AtomicOutputFile(const AtomicOutputFile&) = delete;
  AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

  bool Open(const std::filesystem::path& target);
  std::ostream& Stream() { return stream_; }
  // Flushes, closes and renames; false with Error() naming the file when anything failed.
  bool Commit();
  // Drops the temporary file; the target stays as it was.
  void Discard() { writer_.Discard(); }
  const std::string& Error() const { return error_; }

 private:
  class Buffer : public std::streambuf {
   public:
    platform::FileWriter* writer = nullptr;

   protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int_type overflow(int_type c) override;
  };

  platform::FileWriter writer_;
  Buffer buffer_;
  std::ostream stream_;
  std::filesystem::path target_;
  std::string error_;
};

enum class CadFileFormat { Dxf, Iges, CadText };

// One CAD output file with its writer. IGES also keeps its parameter work file
// "TARVIGES.$$$" in the work directory (the program's private temporary directory; empty
// means the platform's private directory).
class CadOutputFile {
 public:
  // Null with `error` set when a file cannot be created. For IGES the options' file name
  // is set to the target's name.
  static std::unique_ptr<CadOutputFile> Open(CadFileFormat format,
                                             const std::filesystem::path& target,
                                             const std::filesystem::path& workDirectory,
                                             TCadWriterOptions options, std::string& error);
  ~CadOutputFile();

  CadWriter& Writer() { return *writer_; }
  // Ends the drawing and puts the file in place; false with `error` set on any failure
  // (the old file, if any, is then kept).
  bool Close(std::string& error);

 private:
  CadOutputFile() = default;

  AtomicOutputFile file_;
  std::filesystem::path workFile_;
  std::fstream work_;
  std::unique_ptr<CadWriter> writer_;
  bool closed_ = false;
};
