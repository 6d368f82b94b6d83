// Defaults of the colour table, the graphics variables and the print settings.
#include "common/graphics_settings.h"

TGraphicsVariables GraphicsVariables;
TPrintSettings PrintSettings;

const TColourTable kDefaultColourTable = {
    RgbValue(0, 0, 0),       RgbValue(0, 0, 128),   RgbValue(0, 255, 0),   RgbValue(0, 255, 255),
    RgbValue(255, 0, 0),     RgbValue(128, 0, 128), RgbValue(128, 0, 0),   RgbValue(192, 192, 192),
    RgbValue(176, 176, 176), RgbValue(0, 0, 255),   RgbValue(0, 255, 0),   RgbValue(0, 255, 255),
    RgbValue(255, 0, 0),     RgbValue(255, 0, 255), RgbValue(255, 255, 0), RgbValue(255, 255, 255),
    RgbValue(0, 0, 0),
};

void SetDefaultColours() {
  GraphicsVariables.ColourTable = kDefaultColourTable;
}

void InitGraphicsSettings() {
  GraphicsVariables = TGraphicsVariables{};
  SetDefaultColours();
  PrintSettings = TPrintSettings{};
}

bool TextStyleHas(int style, int bit) {
  return style >= 1 && style <= 15 && (style & bit) != 0;
}
