// CAD-code text writer: the drawing as a tab-separated text file, one line per entity,
// block mark or section mark, for programs without a DXF reader.
// Cannot: carry layers, colours, text heights or angles; numbers keep three significant
// digits only. An insert of a block not defined before it is left out and reported, as the
// other writers do.
#pragma once

#include <ostream>
#include <set>
#include <string>
#include <string_view>

#include "graphics/cad_writer.h"

class CadTextWriter final : public CadWriter {
 public:
  CadTextWriter(std::ostream& out, const TCadWriterOptions& options);
  ~CadTextWriter() override;

  void SheetFrame(long double x1, long double y1, long double x2, long double y2) override;
  void BeginTables(int mode) override;
  void BeginBlocks() override;
  void BeginBlock(std::string_view name) override;
  void EndBlock() override;
  void EndSection() override;
  void BeginEntities() override;
  void Close() override;

  void Line(long double x1, long double y1, long double x2, long double y2) override;
  void Circle(long double x, long double y, long double r) override;
  void Arc(long double x, long double y, long double a1, long double a2, long double r) override;
  void Text(long double x, long double y, std::string_view text) override;
  void Solid(long double x1, long double y1, long double x2, long double y2, long double x3,
             long double y3, long double x4, long double y4) override;
  void Insert(std::string_view name, long double x, long double y, long double angle,
              long double sx, long double sy) override;

 private:
  void Keyword(std::string_view keyword);
  void Field(std::string_view text);
  void Number(long double value);
  void EndLine();

  CadOutBuffer out_;
  bool closed_ = false;
  bool blockOpen_ = false;
  // Upper-case names of the blocks defined so far: an insert of any other draws nothing.
  std::set<std::string> definedBlocks_;
};

// A CAD-code number: three significant digits, at most four decimals, trailing zeros
// dropped; with decimal-comma mode 2 the decimal mark is a comma.
std::string CadTextNumber(long double value, int decimalCommaMode);
