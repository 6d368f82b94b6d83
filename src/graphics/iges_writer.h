// IGES writer: the drawing as a fixed 80-column IGES file (start, global, directory,
// parameter and terminate sections). Parameter records go to a second stream (the work
// file) and are appended when the file is closed.
// A block definition is written where the block is first inserted unscaled, so that no
// unused definition stands in the file (readers show those at the origin).
// Cannot: scale an instance differently in x and y (the x scale is used); write a scaled
// instance as a subfigure instance (readers lose its scale; it is written as the block's
// entities, placed and scaled); insert a block before its definition is complete; hold more
// than 256 blocks (refused and reported). Inserting a block without members draws nothing.
#pragma once

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/cad_writer.h"

class IgesWriter final : public CadWriter {
 public:
  // Block definitions a drawing may hold.
  static constexpr int kMaxBlocks = 256;

  // `parameters` must be readable and writable from its start (an empty work file).
  IgesWriter(std::ostream& out, std::iostream& parameters, const TCadWriterOptions& options);
  ~IgesWriter() override;

  void SheetFrame(long double x1, long double y1, long double x2, long double y2) override;
  void BeginTables(int mode) override {}
  void BeginBlocks() override {}
  void BeginBlock(std::string_view name) override;
  void EndBlock() override;
  void EndSection() override;
  void BeginEntities() override {}
  void Close() override;

  void SetColour(int colour) override;
  void Line(long double x1, long double y1, long double x2, long double y2) override;
  void Circle(long double x, long double y, long double r) override;
  void Arc(long double x, long double y, long double a1, long double a2, long double r) override;
  void Text(long double x, long double y, std::string_view text) override;
  void Solid(long double x1, long double y1, long double x2, long double y2, long double x3,
             long double y3, long double x4, long double y4) override;
  void Insert(std::string_view name, long double x, long double y, long double angle,
              long double sx, long double sy) override;

  // Start and global sections; written once, before the first entity.
  void StartGlobal(std::string_view fileName, long double maxCoord);
  // Circular arc by centre, start and end point (counter-clockwise).
  void ArcByPoints(long double xc, long double yc, long double x1, long double y1, long double x2,
                   long double y2);

  int ColourNumber() const { return colourNumber_; }
  int Level() const { return level_; }
  int LineFont() const { return lineFont_; }
  int BlockCount() const { return static_cast<int>(blocks_.size()); }

 private:
  // A primitive of a block definition, kept until the block is used.
  struct TKept {
    enum class Kind { Line, Arc, Solid, Text, Insert } kind;
    long double v[8] = {};  // points; for an insert x, y, angle, scale
    std::string text{};     // text, or the inserted block's name
    int colour = 0;
    TCadTextStyle style{};
  };
  struct Block {
    std::vector<TKept> kept;
    std::string name;
    std::string key;     // upper case
    int definition = 0;  // directory number of its 308, 0 while none is written
    int depth = 0;       // nesting depth of subfigures inside it
    enum class State { Kept, Writing, Written } state = State::Kept;
  };

  bool BeginIgesEntity(bool member);
  // Keeps a primitive of the block being defined; true when it was kept (not to be written).
  bool Remember(TKept kept);
  // Writes a block's primitives placed, turned and scaled.
  void Replay(const Block& block, long double x, long double y, long double angle,
              long double scale);
  // Writes the definition of a block at its first use; false for a block without members.
  bool WriteDefinition(Block& block);
  void Param(std::string_view data);
  void Directory(int type, std::string_view form, std::string_view matrix, std::string_view label,
                 bool dependent);
  void Record(CadOutBuffer& out, std::string_view data, std::string_view right, char letter);
  std::string Real(long double value) const;
  Block* FindBlock(std::string_view name);

  CadOutBuffer out_;
  CadOutBuffer params_;
  std::iostream& paramStream_;
  int countS_ = 0, countG_ = 0, countD_ = 0, countP_ = 0;
  int entity_ = -1;
  int paramPointer_ = 1;
  int paramLines_ = 0;
  int colourNumber_ = 0;
  int level_ = 0;
  int lineFont_ = 1;
  bool started_ = false;
  bool closed_ = false;
  bool blockOpen_ = false;
  bool blockRefused_ = false;
  int depth_ = 0;      // nesting depth of the definition being written
  int writing_ = 0;    // definitions being written (their entities are members)
  int replaying_ = 0;  // blocks being replayed
  std::vector<int> members_;
  std::vector<Block> blocks_;
};

// One record: data from column 1, the right part ending in column 72, the section letter
// in column 73 and the sequence number in columns 74-80.
std::string IgesRecord(std::string_view data, std::string_view right, char letter, int sequence);
// Length, "H", text.
std::string IgesHollerith(std::string_view text);
// IGES colour number (0..8) and level of a CAD colour index.
int IgesColourOfIndex(int index);
int IgesLevelOfIndex(int index);
// Pieces of at most `width` characters, each ending after its last "," between parameters
// where one exists (a comma inside a Hollerith string is no place to break).
std::vector<std::string> IgesWrap(std::string_view data, std::size_t width);
