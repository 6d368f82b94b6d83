// The writers' options taken from the program-wide settings: decimals, layer names, the
// CAD text mode's conversion and messages into the message list.
#include "graphics/cad_writer_settings.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "common/message_list.h"
#include "common/program_state.h"
#include "graphics/dxf_writer.h"

namespace {

TEST(DxfWriterSettings, OptionsFollowTheProgramWideRecords) {
  ResetProgramStateForTests();
  InitMessageList();
  PlotSettings.DxfDecimals = 3;
  PlotSettings.DxfLayerNames[1] = "AXIS";
  ConfigVariables.CadTextMode = 2;  // DOS to Windows characters
  std::ostringstream out;
  {
    DxfWriter w(out, CadWriterOptionsFromSettings());
    w.BeginEntities();
    w.SetColour(1);
    w.Text(1.5L, 0, "\x81");             // CP850 u umlaut
    w.Insert("NOWHERE", 0, 0, 0, 1, 1);  // reported through the message list
    w.Close();
  }
  const std::string text = out.str();
  // CP1252 has the u umlaut at 0xFC (iconv -f CP850 -t CP1252 agrees).
  EXPECT_NE(text.find("\n  1\n\xFC\n"), std::string::npos);
  EXPECT_NE(text.find("\n 10\n1.500\n"), std::string::npos);
  EXPECT_NE(text.find("\n  8\nAXIS\n"), std::string::npos);
  ASSERT_EQ(ErrorCount(), 1);
  EXPECT_EQ(ErrorText(1), "Blockname NOWHERE not found !");
  ResetProgramStateForTests();
}

}  // namespace
