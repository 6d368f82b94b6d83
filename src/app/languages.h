// The languages of the main menu: two vocabularies (the menu texts of commands and menu titles,
// and the technical menu words), switched as a whole at run time, and the caption of every main
// menu item composed from them. Toolkit-free; the Qt side only applies the captions by object name.
//
// Western languages are held in the DOS code page like every other text of the program. Texts
// the DOS code page cannot hold (Romanian with its comma letters, Korean, Chinese) are held in
// UTF-8; every vocabulary entry records which of the two it holds, so a text left over from a
// previous language is never shown through the wrong conversion.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Codes of ConfigVariables.LanguageCode. 0 keeps the English vocabulary of the start.
inline constexpr int kLanguageStartUp = 0;
inline constexpr int kLanguageGerman = 1;
inline constexpr int kLanguageEnglish = 2;
inline constexpr int kLanguageFrench = 3;
inline constexpr int kLanguageItalian = 4;
inline constexpr int kLanguageSwedish = 5;
inline constexpr int kLanguagePortuguese = 6;
inline constexpr int kLanguageRomanian = 7;
inline constexpr int kLanguageKorean = 8;
inline constexpr int kLanguageSpanish = 9;
inline constexpr int kLanguageChinese = 12;

// The menu texts, in the order of the English table ("Menu", "&File", "&New...", ...).
// clang-format off
enum class TMenuText : int {
  Menu, File, New, Open, Save, SaveAs, Reset, EdiFiles, Settings, Exit, Copy, Paste, Info, Print,
  PrinterSetup, Import, Export, Edit, Text, Quick, Material, Production, Tolerance, Application,
  Dimensioning, PreDimensioning, Recalculation, CalculationMethod, View, StandardPrintout, Standard,
  ExcerptPrintout, Database, Cad, ProductionDrawing, Drawing, Projection, SideView, Profile,
  SimpleProfile, UpperView, Diagrams, Diagram, Document, DrawingData, ModificationsInfo,
  ModificationsPrintout, ModificationNew, EditPreviousModification, DeletePreviousModification,
  DocumentSetup, Help, AuxiliaryImages, ErrorMessages, Demo, Homepage, EMail, Safety, Printout,
  Language, Others, Dimensions, Animation, Table, Preview, BaseData,
  Count
};
// clang-format on
inline constexpr std::size_t kMenuTextCount = static_cast<std::size_t>(TMenuText::Count);

// The menu words, in the order of the English table ("Calc.Met&hod", "C&utting Tool", ...).
// Gear and Gear2 are the two entries "&Gear"; ToothContact is "Tooth &Contact",
// ToothContactView "Tooth &contact".
// clang-format off
enum class TMenuWord : int {
  CalcMethod, CuttingTool, Profile, Din5480, ToothContact, Strength, Geometry, Gear, IsoDimensions,
  BevelGear, Load, LoadSpectrum, LifeExpectation, Measurement, Hub, SlidingKey, Fit, PlanetGear,
  PlanetGearShort, Measure, Quality, Gear2, Pinion, Worm, WormWheel, Stress, DrawingTable, Tables,
  CrownGear, Temperature, Toothing, Shaft, ProductionSheet, MaterialType, Tooth, ToothContactView,
  ToothProfile, DimensionOverBalls, DimensionOverPins, SpanMeasurement, DimensionsAndStrength,
  WormGear, PolylineToothRoot, ProfileShift, Power, AssemblyDimension, InputOutput, CurveGeometry,
  ToothDimensions, PitchCurve, GearGeometry, RollerBearing, BevelGearTitle, ToothThickness, Rack,
  SpecialDimensions, RingGear, ToothRootStrength, Pitting, InvoluteSpline, WoodruffKey, RollAngle,
  Multistage, SpecificSliding, FrictionCoefficients, TestCertificate, Axial, Radial, Efficiency,
  Count
};
// clang-format on
inline constexpr std::size_t kMenuWordCount = static_cast<std::size_t>(TMenuWord::Count);

// One entry of a vocabulary: the text and the code page it is held in.
struct TVocabularyText {
  std::string text;
  bool utf8 = false;  // false: DOS code page 850
};

// The two vocabularies (program-wide; English until a language is chosen).
extern std::array<TVocabularyText, kMenuTextCount> MenuTexts;
extern std::array<TVocabularyText, kMenuWordCount> MenuWords;

// Module initialisation: both vocabularies English.
void InitLanguages();

// Assign a language's list; codes without a list change nothing. True when a list was assigned.
bool SetMenuTexts(int code);
bool SetMenuWords(int code);

// LanguageCode := code and both vocabularies of that language. A code with neither list (0,
// negative, unknown) changes nothing, LanguageCode included. True when the language was set; the
// caller then applies the captions and renews the window title.
bool SetLanguage(int code);

// True when at least one vocabulary has a list for the code.
bool IsMenuLanguage(int code);

// An entry for display (UTF-8).
std::string MenuTextUtf8(TMenuText entry);
std::string MenuWordUtf8(TMenuWord entry);

// A caption without its accelerator: "(&X)" after a word is dropped, a single "&" removed, "&&"
// kept as it stands.
std::string WithoutAccelerator(std::string_view caption);

// The accelerator letter of a caption (upper case ASCII), 0 when it has none.
char AcceleratorOf(std::string_view caption);

// One main-menu caption of the current vocabularies.
struct TMenuCaption {
  const char* objectName;  // "mi_..."
  std::string caption;     // UTF-8
};

// Every caption the vocabularies set, in menu order. Items not listed (the OLE menu, the
// language items, history, system information, about, the recent files) keep the form's own.
std::vector<TMenuCaption> MenuCaptions();

// The caption of one item; empty when the vocabularies do not set that item.
std::string MenuCaption(std::string_view objectName);

// Caption of the message-list items after a calculation: the word and the message count.
std::string ErrorMessagesCaption(int count);
