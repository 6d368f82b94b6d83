// DXF writer: tag layout, numbers, tables and references, checked against the DXF tag
// format (pairs of a group-code line and a value line).
#include "graphics/dxf_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "graphics/cad_output_file.h"

namespace {

struct Tag {
  int code;
  std::string value;
};

// Reads the text as DXF tags; fails the test when a group-code line is not a number.
std::vector<Tag> Tags(const std::string& text) {
  std::vector<Tag> tags;
  std::istringstream in(text);
  std::string code, value;
  while (std::getline(in, code)) {
    EXPECT_TRUE(std::getline(in, value)) << "group code without value: " << code;
    tags.push_back({std::stoi(code), value});
  }
  return tags;
}

// The tags of the first entity of that name, without the leading 0 tag.
std::vector<Tag> Entity(const std::vector<Tag>& tags, const std::string& name, int which = 0) {
  for (std::size_t i = 0; i < tags.size(); ++i) {
    if (tags[i].code == 0 && tags[i].value == name && which-- == 0) {
      std::vector<Tag> result;
      for (std::size_t j = i + 1; j < tags.size() && tags[j].code != 0; ++j) {
        result.push_back(tags[j]);
      }
      return result;
    }
  }
  ADD_FAILURE() << "no entity " << name;
  return {};
}

int Count(const std::vector<Tag>& tags, const std::string& name) {
  int n = 0;
  for (const Tag& t : tags) n += t.code == 0 && t.value == name;
  return n;
}

std::string Value(const std::vector<Tag>& entity, int code) {
  for (const Tag& t : entity) {
    if (t.code == code) return t.value;
  }
  return "<none>";
}

std::set<std::string> LayerTable(const std::vector<Tag>& tags) {
  std::set<std::string> names;
  for (std::size_t i = 0; i + 1 < tags.size(); ++i) {
    if (tags[i].code == 0 && tags[i].value == "LAYER" && tags[i + 1].code == 2) {
      names.insert(tags[i + 1].value);
    }
  }
  return names;
}

std::string Write(const TCadWriterOptions& options, const std::function<void(DxfWriter&)>& draw,
                  DxfWriter::Kind kind = DxfWriter::Kind::File) {
  std::ostringstream out;
  DxfWriter writer(out, options, kind);
  draw(writer);
  writer.Close();
  return out.str();
}

TEST(DxfWriter, GroupCodesAreRightAlignedInThreeColumns) {
  const std::string text = Write({}, [](DxfWriter& w) {
    w.BeginEntities();
    w.Line(1, 2, 3, 4);
  });
  // DXF group-code lines as the format's examples show them.
  EXPECT_NE(text.find("  0\nLINE\n  8\n0\n 10\n1.000000\n 20\n2.000000\n 11\n3.000000\n"
                      " 21\n4.000000\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.substr(text.size() - 8), "  0\nEOF\n");
}

TEST(DxfWriter, RealsFollowTheDecimalsSetting) {
  struct Case {
    int decimals;
    long double value;
    const char* text;
  } cases[] = {
      {3, 1.5L, "1.500"},                               // the decimals of the setting, zeros kept
      {6, 1.5L, "1.500000"},                            // the default
      {3, -2.0004L, "-2.000"}, {3, -0.0001L, "0.000"},  // no negative zero
      {0, 12.6L, "13"},                                 // no decimal point without decimals
  };
  for (const Case& c : cases) {
    TCadWriterOptions options;
    options.dxfDecimals = c.decimals;
    const auto tags = Tags(Write(options, [&](DxfWriter& w) { w.Line(c.value, 0, 0, 0); }));
    EXPECT_EQ(Value(Entity(tags, "LINE"), 10), c.text) << c.decimals;
  }
}

TEST(DxfWriter, TextCarriesStyleValuesWithThreeSignificantDigits) {
  TCadWriterOptions options;
  options.convertText = [](std::string_view t) { return "<" + std::string(t) + ">"; };
  const auto tags = Tags(Write(options, [](DxfWriter& w) {
    w.SetTextStyle({3.5L, 0.71428L, 90.0L, 0.0L});
    w.Text(10, 20, "M12");
    w.Text(0, 0, "");  // an empty text writes nothing
  }));
  EXPECT_EQ(Count(tags, "TEXT"), 1);
  const auto text = Entity(tags, "TEXT");
  EXPECT_EQ(Value(text, 1), "<M12>");  // converted for the file
  EXPECT_EQ(Value(text, 7), "STANDARD");
  EXPECT_EQ(Value(text, 40), "3.500000");
  EXPECT_EQ(Value(text, 41), "0.714");
  EXPECT_EQ(Value(text, 50), "90");
  EXPECT_EQ(Value(text, 51), "0");
}

TEST(DxfWriter, BlockFileTextsStayUnconvertedAndHaveNoSections) {
  TCadWriterOptions options;
  options.convertText = [](std::string_view) { return std::string("converted"); };
  const std::string text = Write(
      options,
      [](DxfWriter& w) {
        w.Line(0, 0, 1, 1);
        w.Text(0, 0,
               "\x81"
               "ber");
      },
      DxfWriter::Kind::BlockFile);
  const auto tags = Tags(text);
  EXPECT_EQ(Count(tags, "SECTION"), 0);
  EXPECT_EQ(Value(Entity(tags, "TEXT"), 1),
            "\x81"
            "ber");
  EXPECT_EQ(tags.back().value, "EOF");
}

TEST(DxfWriter, LineEndsInsideTextsCannotBreakThePairs) {
  const auto tags = Tags(Write({}, [](DxfWriter& w) { w.Text(0, 0, "two\nlines\r"); }));
  EXPECT_EQ(Value(Entity(tags, "TEXT"), 1), "two lines ");
  EXPECT_EQ(Value(Entity(tags, "TEXT"), 7), "STANDARD");
}

TEST(DxfWriter, FullCirclesAndEqualAnglesBecomeCircles) {
  struct Case {
    long double a1, a2;
    const char* entity;
  } cases[] = {{0, 360, "CIRCLE"},         {360, 0, "CIRCLE"},    {30, 30, "CIRCLE"},
               {0, 359.999999L, "CIRCLE"}, {0, 359.9999L, "ARC"}, {30, 60, "ARC"}};
  for (const Case& c : cases) {
    const auto tags = Tags(Write({}, [&](DxfWriter& w) { w.Arc(1, 2, c.a1, c.a2, 5); }));
    EXPECT_EQ(Count(tags, c.entity), 1) << c.a1 << " " << c.a2;
  }
  const auto arc = Entity(Tags(Write({}, [](DxfWriter& w) { w.Arc(1, 2, 30, 60, 5); })), "ARC");
  EXPECT_EQ(Value(arc, 40), "5.000000");
  EXPECT_EQ(Value(arc, 50), "30.000000");
  EXPECT_EQ(Value(arc, 51), "60.000000");
  // A zero radius draws nothing.
  EXPECT_EQ(Count(Tags(Write({}, [](DxfWriter& w) { w.Arc(1, 2, 30, 60, 0); })), "ARC"), 0);
}

TEST(DxfWriter, ColoursNameTheirLayers) {
  TCadWriterOptions options;
  options.layerNames = {"FIRST", "AXIS", "HIDDEN", "DIM", "TEXT", "THICK"};
  struct Case {
    int colour;
    const char* layer;
  } cases[] = {{0, "0"},   {1, "AXIS"}, {5, "THICK"}, {7, "7"},
               {16, "16"}, {31, "31"},  {45, "29"}};  // 45 folds to 45 mod 16 + 16
  for (const Case& c : cases) {
    const auto tags = Tags(Write(options, [&](DxfWriter& w) {
      w.SetColour(c.colour);
      w.Line(0, 0, 1, 0);
    }));
    EXPECT_EQ(Value(Entity(tags, "LINE"), 8), c.layer) << c.colour;
  }
}

TEST(DxfWriter, NegativeColoursDrawOnLayerZero) {
  const auto tags = Tags(Write({}, [](DxfWriter& w) {
    w.SetColour(-3);
    w.Line(0, 0, 1, 0);
  }));
  EXPECT_EQ(Value(Entity(tags, "LINE"), 8), "0");
}

TEST(DxfWriter, TextsEmptyAfterConversionWriteNothing) {
  TCadWriterOptions options;
  options.convertText = [](std::string_view) { return std::string(); };
  const auto tags = Tags(Write(options, [](DxfWriter& w) { w.Text(0, 0, "lost"); }));
  EXPECT_EQ(Count(tags, "TEXT"), 0);
}

TEST(DxfWriter, EveryLayerAColourCanNameIsDefinedInEveryMode) {
  TCadWriterOptions options;
  options.layerNames = {"0", "AXIS", "0", "7", "dim", "DIM"};  // clashes on purpose
  for (int mode : {0, 1, 2}) {
    const auto tags = Tags(Write(options, [&](DxfWriter& w) {
      w.SheetFrame(0, 0, 100, 100);
      w.BeginTables(mode);
      w.BeginEntities();
    }));
    std::set<std::string> layers;  // DXF layer names ignore case
    for (std::string name : LayerTable(tags)) {
      for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      layers.insert(name);
    }
    for (int colour = 0; colour <= 31; ++colour) {
      std::string name = CadLayerName(colour, options.layerNames);
      for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      EXPECT_TRUE(layers.count(name)) << "mode " << mode << " colour " << colour;
    }
    // Names differing only in case are one layer, defined once.
    EXPECT_EQ(Count(tags, "LAYER"), static_cast<int>(layers.size()));
  }
}

TEST(DxfWriter, LayerTableKeepsConfiguredColoursAndLineTypes) {
  TCadWriterOptions options;
  options.layerColours = {1, 4, 0, 300, 3, 1};  // 0 and 300 are no DXF colours
  options.penNumbers[0] = 9;
  const auto tags = Tags(Write(options, [](DxfWriter& w) { w.BeginTables(2); }));
  std::map<std::string, std::pair<std::string, std::string>> layers;
  for (std::size_t i = 0; i < tags.size(); ++i) {
    if (tags[i].code == 0 && tags[i].value == "LAYER") {
      std::vector<Tag> e(tags.begin() + static_cast<long>(i) + 1,
                         tags.begin() + static_cast<long>(i) + 5);
      layers[Value(e, 2)] = {Value(e, 62), Value(e, 6)};
    }
  }
  EXPECT_EQ(layers["0"], std::make_pair(std::string("1"), std::string("CONTINUOUS")));
  EXPECT_EQ(layers["1"], std::make_pair(std::string("4"), std::string("DASHDOT")));
  EXPECT_EQ(layers["2"], std::make_pair(std::string("7"), std::string("DASHED")));
  EXPECT_EQ(layers["3"].first, "7");
  EXPECT_EQ(layers["16"].first, "9");
  options.layerMonochrome = true;
  const auto mono = Tags(Write(options, [](DxfWriter& w) { w.BeginTables(2); }));
  for (std::size_t i = 0; i < mono.size(); ++i) {
    if (mono[i].code == 62) EXPECT_EQ(mono[i].value, "1");
  }
}

// The DXF reference forbids < > / \ " : ; ? * | = ` and control characters in table names.
TEST(DxfWriter, InvalidCharactersInLayerNamesAreReplaced) {
  std::vector<std::string> bad;
  for (const char c : std::string("<>/\\\":;?*|=`\t\x01\x1F")) bad.push_back(std::string(1, c));
  for (const std::string& c : bad) {
    SCOPED_TRACE("character " + std::to_string(static_cast<int>(c[0])));
    TCadWriterOptions options;
    options.layerNames = {"0", "A" + c + "B", "", "", "E", "F"};
    const auto tags = Tags(Write(options, [](DxfWriter& w) {
      w.BeginTables(0);
      w.BeginEntities();
      w.SetColour(1);
      w.Line(0, 0, 1, 1);
      w.SetColour(3);
      w.Line(0, 0, 1, 1);
    }));
    const auto layers = LayerTable(tags);
    EXPECT_TRUE(layers.count("A_B"));
    EXPECT_EQ(Value(Entity(tags, "LINE", 0), 8), "A_B");
    EXPECT_EQ(Value(Entity(tags, "LINE", 1), 8), "3");  // an empty name falls back to the number
    EXPECT_TRUE(layers.count("3"));
  }
}

TEST(DxfWriter, SectionsAppearOnceAndInOrder) {
  const auto tags = Tags(Write({}, [](DxfWriter& w) {
    w.SheetFrame(0, 0, 420, 297);
    w.SheetFrame(0, 0, 1, 1);  // a second header would be invalid
    w.BeginTables(0);
    w.BeginTables(2);
    w.BeginBlocks();
    w.BeginBlock("B");
    w.Line(0, 0, 1, 0);
    w.EndBlock();
    w.EndSection();
    w.BeginEntities();
    w.Insert("B", 1, 1, 0, 1, 1);
    w.EndSection();
  }));
  std::vector<std::string> sections;
  for (std::size_t i = 0; i + 1 < tags.size(); ++i) {
    if (tags[i].code == 0 && tags[i].value == "SECTION") sections.push_back(tags[i + 1].value);
  }
  EXPECT_EQ(sections, (std::vector<std::string>{"HEADER", "TABLES", "BLOCKS", "ENTITIES"}));
  EXPECT_EQ(Count(tags, "ENDSEC"), 4);
  const auto header = Entity(tags, "SECTION");
  // The code page of the text bytes opens the header, where readers look for it first.
  EXPECT_EQ(Value(header, 9), "$DWGCODEPAGE");
  EXPECT_EQ(Value(header, 3), "ANSI_1252");
}

TEST(DxfWriter, TablesAreWrittenWhenTheDrawingForgetsThem) {
  const auto tags = Tags(Write({}, [](DxfWriter& w) {
    w.SetColour(20);
    w.Line(0, 0, 1, 1);
  }));
  EXPECT_TRUE(LayerTable(tags).count("20"));
  EXPECT_EQ(Count(tags, "STYLE"), 1);
}

TEST(DxfWriter, InsertsNameOnlyDefinedBlocks) {
  std::vector<std::string> messages;
  TCadWriterOptions options;
  options.reportError = [&](const std::string& m) { messages.push_back(m); };
  const auto tags = Tags(Write(options, [](DxfWriter& w) {
    w.BeginBlocks();
    w.BeginBlock("Outer");
    w.Insert("INNER", 0, 0, 0, 1, 1);  // used before (and never) defined
    w.EndBlock();
    w.BeginBlock("OUTER");  // the same name: blocks ignore case
    w.Line(0, 0, 5, 5);
    w.EndBlock();
    w.EndSection();
    w.BeginEntities();
    w.Insert("outer", 10, 10, 0, 1, 1);
    w.Insert("MISSING", 10, 10, 0, 1, 1);
  }));
  EXPECT_EQ(Count(tags, "INSERT"), 2);  // INNER inside OUTER, and OUTER
  EXPECT_EQ(Count(tags, "BLOCK"), 2);   // OUTER and the empty INNER
  EXPECT_EQ(Count(tags, "LINE"), 0);    // the second definition is refused
  EXPECT_EQ(messages, (std::vector<std::string>{"Blockname OUTER defined twice !",
                                                "Blockname INNER not found !",
                                                "Blockname MISSING not found !"}));
}

TEST(DxfWriter, PolylineEntityCarriesBulgesOnlyWhereItBends) {
  TCadWriterOptions options;
  options.polylineEntities = true;
  const auto tags = Tags(Write(options, [](DxfWriter& w) {
    w.PolylineBegin(0);
    w.PolylineVertex(0, 0, std::numbers::pi_v<long double> / 2);
    w.PolylineVertex(1, 1, 0);
    w.PolylineVertex(2, 1, 0);
    w.PolylineEnd();
  }));
  const auto polyline = Entity(tags, "POLYLINE");
  EXPECT_EQ(Value(polyline, 66), "1");
  EXPECT_EQ(Value(polyline, 70), "<none>");  // flags 0 are not written
  EXPECT_EQ(Count(tags, "VERTEX"), 3);
  // Bulge = tan(included angle / 4): tan(pi/8) = sqrt(2) - 1.
  EXPECT_EQ(Value(Entity(tags, "VERTEX", 0), 42), "0.414214");
  EXPECT_EQ(Value(Entity(tags, "VERTEX", 1), 42), "<none>");
  EXPECT_EQ(Count(tags, "SEQEND"), 1);
  EXPECT_NEAR(static_cast<double>(DxfBulge(std::numbers::pi_v<long double>)), 1.0, 1e-15);
}

TEST(DxfWriter, ClosedPolylineFlagAndShortPolylines) {
  TCadWriterOptions options;
  options.polylineEntities = true;
  const auto tags = Tags(Write(options, [](DxfWriter& w) {
    w.PolylineBegin(1);
    w.PolylineVertex(0, 0, 0);
    w.PolylineVertex(1, 0, 0);
    w.PolylineVertex(1, 1, 0);
    w.PolylineEnd();
    w.PolylineBegin(0);  // a single vertex is no polyline
    w.PolylineVertex(5, 5, 0);
    w.PolylineEnd();
    w.PolylineBegin(0);  // left open by the caller: ended before the next entity
    w.PolylineVertex(0, 0, 0);
    w.PolylineVertex(3, 0, 0);
    w.Line(0, 0, 1, 1);
  }));
  EXPECT_EQ(Value(Entity(tags, "POLYLINE"), 70), "1");
  EXPECT_EQ(Count(tags, "POLYLINE"), 2);
  EXPECT_EQ(Count(tags, "SEQEND"), 2);
  EXPECT_EQ(Count(tags, "VERTEX"), 5);
}

TEST(DxfWriter, WithoutThePolylineOptionPiecesAreLinesAndArcs) {
  const auto tags = Tags(Write({}, [](DxfWriter& w) {
    w.PolylineBegin(0);
    w.PolylineVertex(0, 0, 0);
    w.PolylineVertex(2, 0, 0);
    w.PolylineVertex(4, 0, 0);
    w.PolylineEnd();
  }));
  EXPECT_EQ(Count(tags, "LINE"), 2);
  EXPECT_EQ(Count(tags, "POLYLINE"), 0);
}

TEST(DxfWriter, InsertCarriesScalesAndAngle) {
  const auto tags = Tags(Write({}, [](DxfWriter& w) {
    w.BeginBlocks();
    w.BeginBlock("B");
    w.Line(0, 0, 1, 0);
    w.EndBlock();
    w.EndSection();
    w.BeginEntities();
    w.Insert("B", 1, 2, 30, 2, 3);
  }));
  const auto insert = Entity(tags, "INSERT");
  EXPECT_EQ(Value(insert, 2), "B");
  EXPECT_EQ(Value(insert, 41), "2.000000");
  EXPECT_EQ(Value(insert, 42), "3.000000");
  EXPECT_EQ(Value(insert, 50), "30.000000");
}

TEST(DxfFileOutput, ReplacesTheTargetOnlyWhenComplete) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("vuko_dxf_file_test_" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const auto target = dir / "part.dxf";
  std::ofstream(target) << "old";
  std::string error;
  {
    auto file = CadOutputFile::Open(CadFileFormat::Dxf, target, dir, {}, error);
    ASSERT_TRUE(file) << error;
    file->Writer().Line(0, 0, 1, 1);
    // Dropped without Close: the old file stays.
  }
  std::ifstream in(target);
  std::string content((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(content, "old");
  {
    auto file = CadOutputFile::Open(CadFileFormat::Dxf, target, dir, {}, error);
    ASSERT_TRUE(file) << error;
    file->Writer().Line(0, 0, 1, 1);
    EXPECT_TRUE(file->Close(error)) << error;
  }
  std::ifstream again(target);
  std::string written((std::istreambuf_iterator<char>(again)), {});
  EXPECT_EQ(Count(Tags(written), "LINE"), 1);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
  // A full disk is a failure that names the file.
  if (std::filesystem::exists("/dev/full")) {
    auto full = CadOutputFile::Open(CadFileFormat::Dxf, "/dev/full", dir, {}, error);
    ASSERT_TRUE(full) << error;
    for (int i = 0; i < 20000; ++i) full->Writer().Line(i, 0, i, 1);
    EXPECT_FALSE(full->Close(error));
    EXPECT_NE(error.find("/dev/full"), std::string::npos) << error;
  }
  EXPECT_FALSE(CadOutputFile::Open(CadFileFormat::Dxf, dir / "no" / "such.dxf", dir, {}, error));
  EXPECT_NE(error.find("such.dxf"), std::string::npos);
  // A file committed that was never opened is a failure that says so.
  AtomicOutputFile never;
  EXPECT_FALSE(never.Commit());
  EXPECT_EQ(never.Error().rfind("File not open", 0), 0u) << never.Error();
  std::filesystem::remove_all(dir);
}

}  // namespace
