// CAD files on disk: temporary name, complete write, rename.
#include "graphics/cad_output_file.h"

#include <random>
#include <system_error>

#include "graphics/cad_text_writer.h"
#include "graphics/dxf_writer.h"
#include "graphics/iges_writer.h"

AtomicOutputFile::~AtomicOutputFile() {
  Discard();
}

bool AtomicOutputFile::Open(const std::filesystem::path& target) {
  Discard();
  error_.clear();
  target_ = target;
  std::random_device random;
  for (int attempt = 0; attempt < 16 && !open_; ++attempt) {
    std::filesystem::path candidate = target;
    candidate += ".tmp" + std::to_string(random() % 1000000);
    std::error_code ec;
    if (std::filesystem::exists(candidate, ec)) continue;
    stream_.open(candidate, std::ios::binary | std::ios::out | std::ios::trunc);
    if (stream_.is_open()) {
      temporary_ = candidate;
      open_ = true;
    }
  }
  if (!open_) error_ = "Cannot create file " + target.string();
  return open_;
}

bool AtomicOutputFile::Commit() {
  if (!open_) {
    if (error_.empty()) error_ = "File not open: " + target_.string();
    return false;
  }
  stream_.flush();
  const bool written = stream_.good();
  stream_.close();
  if (!written || stream_.fail()) {
    error_ = "Error writing file " + target_.string();
    Discard();
    return false;
  }
  std::error_code ec;
  std::filesystem::rename(temporary_, target_, ec);
  if (ec) {
    error_ = "Error writing file " + target_.string() + ": " + ec.message();
    Discard();
    return false;
  }
  open_ = false;
  return true;
}

void AtomicOutputFile::Discard() {
  if (!open_) return;
  stream_.close();
  std::error_code ec;
  std::filesystem::remove(temporary_, ec);
  open_ = false;
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
    case CadFileFormat::Iges:
      file->workFile_ = workDirectory / "TARVIGES.$$$";
      file->work_.open(file->workFile_,
                       std::ios::binary | std::ios::in | std::ios::out | std::ios::trunc);
      if (!file->work_.is_open()) {
        error = "Cannot create file " + file->workFile_.string();
        return nullptr;
      }
      options.igesFileName = target.filename().string();
      file->writer_ = std::make_unique<IgesWriter>(file->file_.Stream(), file->work_, options);
      break;
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
  if (work_.is_open() && work_.bad()) {
    error = "Error writing file " + workFile_.string();
    file_.Discard();
    return false;
  }
  if (!file_.Commit()) {
    error = file_.Error();
    return false;
  }
  return true;
}
