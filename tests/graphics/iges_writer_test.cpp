// IGES writer: record layout, directory and parameter sections, blocks and colours, checked
// against the fixed 80-column layout of the IGES format.
#include "graphics/iges_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Record {
  std::string data;  // columns 1-72
  char letter;       // column 73
  int sequence;      // columns 74-80
};

struct File {
  std::vector<std::string> lines;
  std::map<char, std::vector<Record>> sections;
  std::vector<std::string> messages;
  bool failed = false;

  const Record& D(int sequence) const { return sections.at('D').at(sequence - 1); }
  // Field n (1..10) of a directory record: eight columns each.
  std::string Field(int sequence, int n) const {
    std::string f = D(sequence).data.substr(static_cast<std::size_t>(n - 1) * 8, 8);
    const auto b = f.find_first_not_of(' ');
    return b == std::string::npos ? "" : f.substr(b);
  }
  // Parameter text of the entity whose directory record is `sequence`, joined.
  std::string Params(int sequence) const {
    const int first = std::stoi(Field(sequence, 2));
    const int count = std::stoi(Field(sequence + 1, 4));
    std::string text;
    for (int i = first; i < first + count; ++i) {
      const Record& p = sections.at('P').at(i - 1);
      EXPECT_EQ(std::stoi(p.data.substr(64, 8)), sequence) << "back pointer of P" << i;
      std::string piece = p.data.substr(0, 64);
      text += piece.substr(0, piece.find_last_not_of(' ') + 1);
    }
    return text;
  }
};

File Write(const std::function<void(IgesWriter&)>& draw, TCadWriterOptions options = {}) {
  File file;
  options.igesDate = "240307";
  options.reportError = [&](const std::string& m) { file.messages.push_back(m); };
  std::ostringstream out;
  std::stringstream params;
  {
    IgesWriter writer(out, params, options);
    writer.SheetFrame(0, 0, 420, 297);
    draw(writer);
    writer.Close();
    file.failed = writer.Failed();
  }
  std::istringstream in(out.str());
  for (std::string line; std::getline(in, line);) {
    file.lines.push_back(line);
    EXPECT_EQ(line.size(), 80u) << line;
    if (line.size() == 80) {
      file.sections[line[72]].push_back({line.substr(0, 72), line[72], std::stoi(line.substr(73))});
    }
  }
  return file;
}

TEST(IgesWriter, RecordsHaveTheFixedColumnLayout) {
  EXPECT_EQ(IgesRecord("abc", "7", 'P', 12), "abc" + std::string(68, ' ') + "7" + "P0000012");
  EXPECT_EQ(IgesHollerith("FILE"), "4HFILE");
  EXPECT_EQ(IgesHollerith(""), "0H");
}

TEST(IgesWriter, SectionsComeInOrderWithConsecutiveNumbersAndCounts) {
  const File f = Write([](IgesWriter& w) {
    w.Line(0, 0, 10, 0);
    w.Circle(5, 5, 2);
  });
  std::string order;
  for (const std::string& line : f.lines) {
    if (order.empty() || order.back() != line[72]) order.push_back(line[72]);
  }
  EXPECT_EQ(order, "SGDPT");
  for (const auto& [letter, records] : f.sections) {
    for (std::size_t i = 0; i < records.size(); ++i) EXPECT_EQ(records[i].sequence, int(i) + 1);
  }
  const std::string t = f.sections.at('T').at(0).data;
  char expected[64];
  std::snprintf(expected, sizeof expected, "S%07zuG%07zuD%07zuP%07zu", f.sections.at('S').size(),
                f.sections.at('G').size(), f.sections.at('D').size(), f.sections.at('P').size());
  EXPECT_EQ(t.substr(0, 32), expected);
  EXPECT_EQ(f.sections.at('S').at(0).data.substr(0, 29), "IGES-Datei generiert von VUKO");
}

TEST(IgesWriter, GlobalSectionCarriesUnitsDateAndMaximumCoordinate) {
  const File f = Write([](IgesWriter& w) {});
  std::string global;
  for (const Record& r : f.sections.at('G')) {
    std::string d = r.data;
    global += d.substr(0, d.find_last_not_of(' ') + 1);
  }
  EXPECT_EQ(global.substr(0, 19), ",,4HFILE,8HVUKO.igs");
  EXPECT_NE(global.find("16,38,6,99,15,"), std::string::npos);
  EXPECT_NE(global.find(",1.0,2,2HMM,32767,3.2767D1,"), std::string::npos);
  EXPECT_NE(global.find("13H240307.140920,1.0D-8,420.000,"), std::string::npos);
  EXPECT_EQ(global.substr(global.size() - 5), ",4,0;");
}

TEST(IgesWriter, LongFileNamesWrapTheGlobalRecords) {
  TCadWriterOptions options;
  options.igesFileName = std::string(60, 'n') + ".igs";
  options.igesAuthor = "A\nB";  // a line break would split a record: a blank instead
  const File f = Write([](IgesWriter& w) { w.Line(0, 0, 1, 1); }, options);
  std::string global;
  for (const Record& r : f.sections.at('G')) {
    std::string d = r.data;
    global += d.substr(0, d.find_last_not_of(' ') + 1);
  }
  EXPECT_NE(global.find("64H" + options.igesFileName + ","), std::string::npos);
  EXPECT_GT(f.sections.at('G').size(), 5u);
  EXPECT_NE(global.find(",3HA B,"), std::string::npos) << global;
}

TEST(IgesWriter, FirstEntityOwnsTheFirstRecords) {
  const File f = Write([](IgesWriter& w) { w.Line(1, 2, 3, 4); });
  EXPECT_EQ(f.Field(1, 1), "110");
  EXPECT_EQ(f.Field(1, 2), "1");  // parameter pointer
  EXPECT_EQ(f.Field(2, 1), "110");
  EXPECT_EQ(f.Params(1), "110,1.000,2.000,0.0,3.000,4.000,0.0;");
  EXPECT_EQ(f.D(1).data.substr(64, 8), "00000000");
}

TEST(IgesWriter, PolygonTakesFiveParameterRecords) {
  const File f = Write([](IgesWriter& w) {
    w.Solid(0, 0, 1, 0, 0, 1, 1, 1);
    w.Line(0, 0, 1, 1);
  });
  EXPECT_EQ(f.Field(1, 1), "106");
  EXPECT_EQ(f.Field(2, 5), "11");  // form
  EXPECT_EQ(f.Field(2, 4), "5");   // parameter lines
  EXPECT_EQ(f.Field(3, 2), "6");   // the next entity starts five records later
  // The DXF outline 1, 2, 4, 3 walked backwards, closed: no edge crosses another.
  EXPECT_EQ(f.Params(1),
            "106,1,5,0.0,0.000,0.000,0.000,1.000,1.000,1.000,1.000,0.000,0.000,0.000;");
}

TEST(IgesWriter, ArcsRunFromStartToEndPoint) {
  const File f = Write([](IgesWriter& w) {
    w.Arc(1, 1, 0, 90, 2);
    w.Circle(0, 0, 3);
    w.Arc(0, 0, 0, 90, 0);  // nothing
  });
  EXPECT_EQ(f.Params(1), "100,0.0,1.000,1.000,3.000,1.000,1.000,3.000;");
  EXPECT_EQ(f.Params(3), "100,0.0,0.000,0.000,3.000,0.000,3.000,0.000;");
  EXPECT_EQ(f.sections.at('D').size(), 4u);
}

TEST(IgesWriter, NoteBoxWidthIsCountTimesHeightTimesWidthFactor) {
  const File f = Write([](IgesWriter& w) {
    w.SetTextStyle({3.5L, 0.8L, 90.0L, 0.0L});
    w.Text(10, 20, "Hello World");
  });
  EXPECT_EQ(f.Field(1, 1), "212");
  EXPECT_EQ(f.Params(1), "212,1,11,30.800,3.500,1,,1.570796,0,0,10.000,20.000,0.0,11HHello World;");
}

TEST(IgesWriter, LongNotesContinueOnTheNextRecords) {
  const std::string text(70, 'x');
  const File f = Write([&](IgesWriter& w) { w.Text(0, 0, text); });
  EXPECT_EQ(f.Field(2, 4), "3");
  EXPECT_NE(f.Params(1).find("70H" + text + ";"), std::string::npos);
}

TEST(IgesWriter, NotesWithCommasReadBackWhole) {
  // A reader joins columns 1-64 of the parameter records and takes the number of characters
  // its Hollerith count gives; a record may end inside a string only where all 64 columns are
  // filled, or the blanks that pad it become part of the text.
  const struct {
    const char* name;
    std::string text;
  } cases[] = {
      {"comma in the first record", std::string(40, 'A') + ", " + std::string(30, 'B')},
      {"decimal commas", "da = 39,6 mm; x = +0,45; df = 36,2 mm; dB = 3,5 mm; k = 4; W = 12,35 mm"},
      {"comma right at the end", std::string(59, 'C') + "," + std::string(8, 'D')},
  };
  for (const auto& c : cases) {
    const File f = Write([&](IgesWriter& w) { w.Text(0, 0, c.text); });
    const int first = std::stoi(f.Field(1, 2));
    const int count = std::stoi(f.Field(2, 4));
    // The string is the note's second write: it opens a record of its own.
    const std::string hollerith = std::to_string(c.text.size()) + "H";
    std::string columns;
    for (int i = first; i < first + count; ++i) {
      const std::string data = f.sections.at('P').at(i - 1).data.substr(0, 64);
      if (!columns.empty() || data.rfind(hollerith, 0) == 0) columns += data;
    }
    ASSERT_FALSE(columns.empty()) << c.name;
    const std::size_t start = hollerith.size();
    EXPECT_EQ(columns.substr(start, c.text.size()), c.text) << c.name;
    EXPECT_EQ(columns[start + c.text.size()], ';') << c.name;
  }
}

TEST(IgesWriter, SubfigureListsItsMembersInGroupsOfTwelve) {
  const File f = Write([](IgesWriter& w) {
    w.BeginBlock("HATCH");
    for (int i = 0; i < 25; ++i) w.Line(i, 0, i, 1);
    w.EndBlock();
    w.Insert("hatch", 5, 5, 0, 1, 1);
  });
  // 25 lines (D1..D49), the 308 at D51, the 408 at D53.
  EXPECT_EQ(f.Field(51, 1), "308");
  EXPECT_EQ(f.Field(52, 8), "HATCH");
  EXPECT_EQ(f.D(1).data.substr(64, 8), "00010000");  // members depend on their block
  const int first = std::stoi(f.Field(51, 2));
  const auto& p = f.sections.at('P');
  EXPECT_EQ(p[first - 1].data.substr(0, 15), "308,0,5HHATCH,2");
  std::string all = f.Params(51);
  EXPECT_EQ(all.substr(all.size() - 4), ",49;");
  int commas = 0;
  for (int i = first + 1; i < first + std::stoi(f.Field(52, 4)); ++i) {
    const std::string d = p[i - 1].data.substr(0, 64);
    commas += static_cast<int>(std::count(d.begin(), d.end(), ','));
  }
  EXPECT_EQ(commas, 24);  // 25 members: 24 commas and the closing ";"
  EXPECT_EQ(f.Params(53), "408,51,5.000,5.000,0.0,1.0;");
}

TEST(IgesWriter, EmptyBlocksAreNotWrittenAndUnknownNamesMatchNothing) {
  const File f = Write([](IgesWriter& w) {
    w.BeginBlock("EMPTY");
    w.EndBlock();
    w.Insert("EMPTY", 0, 0, 0, 1, 1);
    w.Insert("12345678", 0, 0, 0, 1, 1);  // the name of an unused table entry
  });
  EXPECT_EQ(f.sections.count('D'), 0u);
  EXPECT_EQ(f.messages, (std::vector<std::string>{"Blockname 12345678 not found !"}));
  EXPECT_FALSE(f.failed);
}

TEST(IgesWriter, MoreThan256BlocksAreRefusedAndReported) {
  const File f = Write([](IgesWriter& w) {
    for (int i = 1; i <= 257; ++i) {
      w.BeginBlock("B" + std::to_string(i));
      w.Line(0, 0, i, 1);
      w.EndBlock();
    }
    w.Insert("B256", 0, 0, 0, 1, 1);
    w.Insert("B257", 0, 0, 0, 1, 1);
    EXPECT_EQ(w.BlockCount(), IgesWriter::kMaxBlocks);
  });
  EXPECT_TRUE(f.failed);
  ASSERT_EQ(f.messages.size(), 2u);
  EXPECT_EQ(f.messages[0], "Too many blocks (more than 256): B257");
  EXPECT_EQ(f.messages[1], "Blockname B257 not found !");
  // Only the block in use is written: its line, its definition and the instance.
  EXPECT_EQ(f.sections.at('D').size(), 3u * 2);
}

TEST(IgesWriter, TurnedInsertsUseAMatrixAndScaledOnesArePlacedEntities) {
  const File f = Write([](IgesWriter& w) {
    w.BeginBlock("UNUSED");  // never inserted: not written
    w.Line(0, 0, 5, 5);
    w.EndBlock();
    w.BeginBlock("B");
    w.Line(0, 0, 1, 0);
    w.EndBlock();
    w.Insert("B", 10, 20, 90, 1, 1);
    w.Insert("B", 10, 20, 0, 2, 3);
    w.Insert("B", 10, 20, 90, 2, 2);
  });
  // D1 line, D3 308, D5 124, D7 408, then the scaled instances as lines D9 and D11.
  ASSERT_EQ(f.sections.at('D').size(), 12u);
  EXPECT_EQ(f.Field(5, 1), "124");
  EXPECT_EQ(f.D(5).data.substr(64, 8), "00010000");
  EXPECT_EQ(f.Params(5),
            "124,0.000000,-1.000000,0.0,10.000000,1.000000,0.000000,0.0,20.000000,"
            "0.0,0.0,1.0,0.0;");
  EXPECT_EQ(f.Field(7, 7), "5");  // matrix pointer
  EXPECT_EQ(f.Params(7), "408,3,0.0,0.0,0.0,1.0;");
  // One scale per instance (the x scale), then the turn, then the insert point.
  EXPECT_EQ(f.Params(9), "110,10.000,20.000,0.0,12.000,20.000,0.0;");
  EXPECT_EQ(f.Params(11), "110,10.000,20.000,0.0,10.000,22.000,0.0;");
  EXPECT_EQ(f.D(9).data.substr(64, 8), "00000000");
}

TEST(IgesWriter, ColourNumbersStayWithinTheIgesRange) {
  TCadWriterOptions options;
  options.layerColours = {1, 9, 14, 3, 200, -1};  // colours without an IGES counterpart
  std::ostringstream out;
  std::stringstream params;
  for (bool layerMode : {false, true}) {
    options.layerMode = layerMode;
    IgesWriter w(out, params, options);
    for (int colour = 0; colour <= 40; ++colour) {
      w.SetColour(colour);
      EXPECT_GE(w.ColourNumber(), 0) << colour;
      EXPECT_LE(w.ColourNumber(), 8) << colour;
    }
  }
  // The translation of the table: red layer -> IGES red (2), yellow -> 5, blue -> 4.
  options.layerMode = false;
  options.layerColours = {1, 1, 2, 5, 3, 4};
  IgesWriter w(out, params, options);
  const int expected[] = {0, 2, 5, 4, 3, 7};
  const int fonts[] = {1, 4, 2, 1, 1, 1};
  for (int n = 0; n <= 5; ++n) {
    w.SetColour(n);
    EXPECT_EQ(w.ColourNumber(), expected[n]) << n;
    EXPECT_EQ(w.LineFont(), fonts[n]) << n;
  }
  w.SetColour(16 + 8);  // pen 9 -> table index 9 -> 10: no IGES colour, kept as level
  EXPECT_EQ(w.ColourNumber(), 0);
  EXPECT_EQ(w.Level(), 10);
}

TEST(IgesWriter, EntityBeforeTheSheetFrameStillGetsGlobalSection) {
  std::ostringstream out;
  std::stringstream params;
  IgesWriter w(out, params, {});
  w.Line(0, 0, 1, 1);
  w.Close();
  const std::string text = out.str();
  EXPECT_EQ(text[72], 'S');
  EXPECT_NE(text.find("D0000001"), std::string::npos);
  EXPECT_LT(text.find("G0000001"), text.find("D0000001"));
}

TEST(IgesWriter, WrapBreaksAfterTheLastCommaOrHard) {
  EXPECT_EQ(IgesWrap("abc,def,ghi", 8), (std::vector<std::string>{"abc,def,", "ghi"}));
  EXPECT_EQ(IgesWrap("abcdefghij", 4), (std::vector<std::string>{"abcd", "efgh", "ij"}));
  EXPECT_EQ(IgesWrap("", 64), (std::vector<std::string>{""}));
  // Commas inside a Hollerith string are text, not places to break.
  EXPECT_EQ(IgesWrap("1,5Ha,b,c;", 6), (std::vector<std::string>{"1,", "5Ha,b,", "c;"}));
  EXPECT_EQ(IgesWrap("7,3Hx,y,8", 7), (std::vector<std::string>{"7,", "3Hx,y,8"}));
}

}  // namespace
