// CAD files on disk: temporary name, complete write, rename.
#include "graphics/cad_output_file.h"

#include <cerrno>
#include <cstring>

#include "common/codepage.h"
#include "graphics/cad_text_writer.h"
#include "graphics/dxf_writer.h"
#include "graphics/iges_writer.h"
#include "platform/temp_dir.h"

std::streamsize AtomicOutputFile::Buffer::xsputn(const char* s, std::streamsize n) {
  if (writer->Write(std::string_view(s, static_cast<std::size_t>(n))) != 0) return 0;
  return n;
}

AtomicOutputFile::Buffer::int_type AtomicOutputFile::Buffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char ch = traits_type::to_char_type(c);
  if (writer->Write(std::string_view(&ch, 1)) != 0) return traits_type::eof();
  return c;
}

bool AtomicOutputFile::Open(const std::filesystem::path& target) {
  target_ = target;
  error_.clear();
  buffer_.writer = &writer_;
  stream_.clear();
  const int e = writer_.Open(target.string(), platform::FileWriter::Mode::Replace);
  if (e != 0) {
    // The writer refuses a pipe or socket at the name with EINVAL.
    error_ = "Cannot create file " + NameText(target.string()) + ": " +
             (e == EINVAL ? "no regular file (a pipe or a socket)" : std::strerror(e));
    return false;
  }
  return true;
}

bool AtomicOutputFile::Commit() {
  if (!writer_.IsOpen()) {
    if (error_.empty()) error_ = "File not open: " + NameText(target_.string());
    return false;
  }
  const bool streamOk = stream_.good();
  const int e = streamOk ? writer_.Commit() : writer_.Error();
  if (!streamOk || e != 0) {
    writer_.Discard();
    error_ = "Error writing file " + NameText(target_.string());
    if (e != 0) error_ += std::string(": ") + std::strerror(e);
    return false;
  }
  return true;
}

std::unique_ptr<CadOutputFile> CadOutputFile::Open(CadFileFormat format,
                                                   const std::filesystem::path& target,
                                                   const std::filesystem::path& workDirectory,
                                                   TCadWriterOptions options, std::string& error) {
  std::unique_ptr<CadOutputFile> file(new CadOutputFile);
  if (!file->file_.Open(target)) {
    error = file->file_.Error();
    return nullptr;
  }
  switch (format) {
    case CadFileFormat::Dxf:
      file->writer_ = std::make_unique<DxfWriter>(file->file_.Stream(), options);
      break;
    case CadFileFormat::CadText:
      file->writer_ = std::make_unique<CadTextWriter>(file->file_.Stream(), options);
      break;
    case CadFileFormat::Iges: {
      std::filesystem::path dir = workDirectory;
      if (dir.empty()) dir = platform::PrivateTempDirectory("");
      file->workFile_ = dir / "TARVIGES.$$$";
      file->work_.open(file->workFile_,
                       std::ios::binary | std::ios::in | std::ios::out | std::ios::trunc);
      if (!file->work_.is_open()) {
        error = "Cannot create file " + NameText(file->workFile_.string());
        file->file_.Discard();
        return nullptr;
      }
      options.igesFileName = target.filename().string();
      file->writer_ = std::make_unique<IgesWriter>(file->file_.Stream(), file->work_, options);
      break;
    }
  }
  return file;
}

CadOutputFile::~CadOutputFile() {
  writer_.reset();
  if (work_.is_open()) work_.close();
  if (!workFile_.empty()) {
    std::error_code ec;
    std::filesystem::remove(workFile_, ec);
  }
}

bool CadOutputFile::Close(std::string& error) {
  if (closed_) return true;
  closed_ = true;
  writer_->Close();
  if (work_.is_open() && (work_.bad() || work_.fail())) {
    error = "Error writing file " + NameText(workFile_.string());
    file_.Discard();
    return false;
  }
  if (!file_.Commit()) {
    error = file_.Error();
    return false;
  }
  return true;
}
