// The drawing facade: colour mapping, code-page conversion on the way into the list, the file
// check and the data file name.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "graphics_fixture.h"

namespace {

class GraphicsFacadeTest : public GraphicsTest {};

TEST(MapColour, TurnsCadColourNumbersIntoColourTableNumbers) {
  // CAD colours 1 red, 2 yellow, 3 green, 4 cyan, 5 blue, 6 magenta, 7 white; then the table.
  const std::pair<int, int> cases[] = {{0, 0},   {1, 12},  {2, 14}, {3, 10}, {4, 11},
                                       {5, 9},   {6, 13},  {7, 15}, {8, 1},  {15, 8},
                                       {16, 16}, {17, 12}, {31, 8}, {32, 0}, {255, 8}};
  for (const auto& [cad, table] : cases) EXPECT_EQ(MapColour(cad), table) << cad;
}

TEST(MapColour, MappedColoursAreRedYellowGreenCyanBlueMagentaWhiteInTheTable) {
  InitGraphicsSettings();
  const TColourRef expected[8] = {0,
                                  RgbValue(255, 0, 0),
                                  RgbValue(255, 255, 0),
                                  RgbValue(0, 255, 0),
                                  RgbValue(0, 255, 255),
                                  RgbValue(0, 0, 255),
                                  RgbValue(255, 0, 255),
                                  RgbValue(255, 255, 255)};
  for (int cad = 1; cad <= 7; ++cad)
    EXPECT_EQ(GraphicsVariables.ColourTable[MapColour(cad)], expected[cad]) << cad;
}

TEST_F(GraphicsFacadeTest, ForwardsToTheWindowAndConvertsTexts) {
  facade_->GrLine(0, 0, 1, 1);
  facade_->GrSetMappedColour(1);
  facade_->GrOutTextXY(2, 3,
                       "Ma\x84"
                       "e");  // CP850 0x84 is a-umlaut
  facade_->GrSetTextJustify(1, 2);
  ASSERT_EQ(List().Count(), 3u);
  EXPECT_EQ(Text(0), "4;0;0;1;1");
  EXPECT_EQ(Text(1), "8;12");
  EXPECT_EQ(Text(2),
            "6;2;3;Ma\xC3\xA4"
            "e");
}

TEST_F(GraphicsFacadeTest, WithoutWindowNothingIsDrawn) {
  GraphicsWindowInstance = nullptr;
  facade_->GrLine(0, 0, 1, 1);
  facade_->GrClear();
  EXPECT_TRUE(List().Empty());
}

// The name stands in the message as the file system gives it, blanks inside included.
TEST_F(GraphicsFacadeTest, CheckFileFoundNamesTheFileExactly) {
  facade_->CheckFileFound(" /no such dir/some file.plt ");
  EXPECT_TRUE(AbortFlag);
  ASSERT_EQ(host_->Messages().size(), 1u);
  EXPECT_EQ(host_->Messages()[0], "/no such dir/some file.plt not found !");

  AbortFlag = false;
  const auto path = std::filesystem::temp_directory_path() /
                    ("vuko_facade_found_" + std::to_string(::getpid()) + ".plt");
  std::ofstream(path) << "IN;\n";
  facade_->CheckFileFound(path.string());
  EXPECT_FALSE(AbortFlag);
  std::filesystem::remove(path);
}

TEST_F(GraphicsFacadeTest, DataFileName) {
  SetProgramIdentity();
  std::string name;
  CurrentFileName = "demo";
  DataDirectory = "/data";
  facade_->DataFileName(name);
  EXPECT_EQ(name, "/data/demo.vuk");
  ProgramSettings.FileFromCommandLine = true;
  CurrentFileName = "/x/y.vuk";
  facade_->DataFileName(name);
  EXPECT_EQ(name, "/x/y.vuk");
  CurrentFileName.clear();
  facade_->DataFileName(name);
  EXPECT_EQ(name, "");
}

TEST_F(GraphicsFacadeTest, DefaultColoursAndSettings) {
  GraphicsVariables.ColourTable[16] = RgbValue(1, 2, 3);
  SetDefaultColours();
  EXPECT_EQ(GraphicsVariables.ColourTable[16], RgbValue(0, 0, 0));
  EXPECT_EQ(GraphicsVariables.ColourTable[1], RgbValue(0, 0, 128));
  EXPECT_EQ(GraphicsVariables.ZoomFactor, 1.2L);
  EXPECT_EQ(GraphicsVariables.PanStep, 0.1L);
  EXPECT_EQ(GraphicsVariables.BackgroundColour, RgbValue(255, 255, 255));
  EXPECT_FALSE(TextStyleHas(16, kTextStyleBold)) << "style 16 is plain text, like 0";
  EXPECT_TRUE(TextStyleHas(15, kTextStyleStrikeOut));
}

}  // namespace
