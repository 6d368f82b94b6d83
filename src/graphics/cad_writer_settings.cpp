// The writers' options from the program-wide settings.
#include "graphics/cad_writer_settings.h"

#include <algorithm>

#include "common/codepage.h"
#include "common/message_list.h"
#include "common/program_state.h"

TCadWriterOptions CadWriterOptionsFromSettings() {
  TCadWriterOptions o;
  o.dxfDecimals = PlotSettings.DxfDecimals;
  for (int n = 0; n <= 5; ++n) {
    o.layerNames[static_cast<std::size_t>(n)] = PlotSettings.DxfLayerNames[n];
    o.layerColours[static_cast<std::size_t>(n)] = PlotSettings.LayerColours[n];
  }
  for (int n = 16; n <= 31; ++n) {
    o.penNumbers[static_cast<std::size_t>(n - 16)] = PlotSettings.PenNumbers[n];
  }
  o.layerMonochrome = PlotSettings.layerMonochrome;
  o.textFont = PlotSettings.cadTextFont;
  o.polylineEntities = PlotSettings.involuteAsPolyline;
  o.convertText = [](std::string_view text) { return OutputText(text); };
  o.dxfCodePage = DxfCodePageOfTextMode(ConfigVariables.CadTextMode);
  o.decimalCommaMode = ConfigVariables.DecimalCommaMode;
  // Fixed-width reals shift their decimals by the digits setting.
  o.igesDecimals = std::clamp(3 + ProgramSettings.FloatDigits - 3, 0, 10);
  if (!ProgramIdentity.programName.empty()) o.programName = ProgramIdentity.programName;
  if (!ProgramIdentity.version.empty()) o.programVersion = ProgramIdentity.version;
  o.reportError = [](const std::string& message) { AddError(message); };
  return o;
}
