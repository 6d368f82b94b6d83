// The menu vocabularies: the captions each language gives the main menu, switching back and
// forth, codes without a vocabulary, and texts held in two code pages side by side.
#include "app/languages.h"

#include <gtest/gtest.h>

#include <string>

#include "common/program_state.h"

namespace {

class LanguagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitProgramState();
    InitLanguages();
  }
  void TearDown() override { InitLanguages(); }
};

struct TGivenCaption {
  const char* item;
  const char* english;
  const char* german;  // UTF-8
};

// The English and German menu words of the program's reference table. Composed captions carry
// one accelerator only: the one of the part that tells the item from its neighbours.
const TGivenCaption kGivenCaptions[] = {
    {"mi_file", "&File", "&Datei"},
    {"mi_fileNew", "&New...", "&Neu..."},
    {"mi_fileOpen", "&Open...", "Ö&ffnen..."},
    {"mi_fileOpenTable", "Open... (&Table)", "Öffnen... (&Tabelle)"},
    {"mi_FileSaveAs", "Save &As...", "Speichern &Unter..."},
    {"mi_cadsetup", "Se&ttings", "E&instellungen"},
    {"mi_fileexit", "E&xit", "&Beenden"},
    {"mi_editabmessungen", "&Dimensions", "&Abmessungen"},
    {"mi_viewausdruck", "&Printout", "&Ausdruck"},
    {"mi_viewQuick3", "&Quick 3", "&Quick 3"},
    {"mi_cadfertigungszeichnung", "&Production drawing", "&Fertigungszeichnung"},
    {"mi_viewzahn1", "Sh&aft", "&Welle"},
    {"mi_cadbezugsprofil2", "&Hub", "&Nabe"},
    {"mi_viewzahnprofilwellenabe", "Shaft + &Hub", "Welle + &Nabe"},
    {"mi_viewzahneingriff", "Tooth &contact", "Zahn&eingriff"},
    {"mi_viewzahnprofil", "&Toothing", "&Verzahnung"},
    {"mi_viewwerkzeug", "C&utting Tool", "&Bezugsprofil"},
    {"mi_helpErrorMessages", "&Error messages", "&Fehlermeldungen"},
    {"mi_cadfertigungszeichnung2", "&Production drawing Hub", "&Fertigungszeichnung Hub"},
    {"mi_cadzahnprofil12", "Tooth Profile Shaft+&Hub", "Zahnprofil Welle+&Nabe"},
    {"mi_cadZahnprofilWelle", "Tooth Profile Sh&aft - External Spline",
     "Zahnprofil &Welle - External Spline"},
    {"mi_documentation", "D&ocument", "D&okument"},
    {"mi_Document3", "Document &3", "Dokument &3"},
    {"mi_docuNewChange", "Modification - &New", "&Neue Änderung"},
    {"mi_docudeleteChange", "&Delete previous modification", "Letzte Änderung &löschen"},
    {"mi_HelpHilfebild", "&Auxiliary images", "&Hilfebild"},
    {"mi_helpemail", "&E-Mail to TARVENO", "&E-Mail an TARVENO"},
    {"mi_helplanguage", "Menu &Language", "Menü &Sprache"},
};

TEST_F(LanguagesTest, EnglishAtStartAndGermanAfterTheSwitch) {
  for (const TGivenCaption& given : kGivenCaptions) {
    EXPECT_EQ(MenuCaption(given.item), given.english) << given.item;
  }
  ASSERT_TRUE(SetLanguage(kLanguageGerman));
  EXPECT_EQ(ConfigVariables.LanguageCode, kLanguageGerman);
  for (const TGivenCaption& given : kGivenCaptions) {
    EXPECT_EQ(MenuCaption(given.item), given.german) << given.item;
  }
}

TEST_F(LanguagesTest, SwitchingBackRestoresEveryCaption) {
  const std::vector<TMenuCaption> english = MenuCaptions();
  for (int code : {kLanguageGerman, kLanguageRomanian, kLanguageKorean, kLanguageChinese}) {
    ASSERT_TRUE(SetLanguage(code));
    ASSERT_TRUE(SetLanguage(kLanguageEnglish));
    const std::vector<TMenuCaption> again = MenuCaptions();
    ASSERT_EQ(again.size(), english.size());
    for (std::size_t i = 0; i < english.size(); ++i) {
      EXPECT_EQ(again[i].caption, english[i].caption) << code << " " << english[i].objectName;
    }
  }
}

TEST_F(LanguagesTest, CodesWithoutVocabularyChangeNothing) {
  ConfigVariables.LanguageCode = kLanguageStartUp;
  const std::string before = MenuCaption("mi_fileOpen");
  for (int code : {kLanguageStartUp, -1, 10, 11, 13, 1000}) {
    EXPECT_FALSE(SetLanguage(code)) << code;
    EXPECT_FALSE(SetMenuTexts(code)) << code;
    EXPECT_FALSE(SetMenuWords(code)) << code;
    EXPECT_EQ(ConfigVariables.LanguageCode, kLanguageStartUp) << code;
    EXPECT_EQ(MenuCaption("mi_fileOpen"), before) << code;
  }
}

TEST_F(LanguagesTest, WesternTextsAreHeldInTheDosCodePageTheOthersInUtf8) {
  SetLanguage(kLanguageGerman);
  // CP850 code chart: Ö is 0x99, ü is 0x81.
  const TVocabularyText& open = MenuTexts[static_cast<int>(TMenuText::Open)];
  EXPECT_FALSE(open.utf8);
  EXPECT_EQ(open.text, "\x99&ffnen...");
  EXPECT_EQ(MenuTexts[static_cast<int>(TMenuText::Paste)].text, "&Einf\x81gen");
  SetLanguage(kLanguageKorean);
  EXPECT_TRUE(MenuTexts[static_cast<int>(TMenuText::Open)].utf8);
  EXPECT_EQ(MenuTextUtf8(TMenuText::Open), "열기(&O)...");
}

TEST_F(LanguagesTest, EntriesALanguageLeavesOutKeepTheirTextAndCodePage) {
  // Romanian has no copy and paste words; Chinese no word for multistage.
  SetLanguage(kLanguageGerman);
  SetLanguage(kLanguageRomanian);
  EXPECT_EQ(MenuTextUtf8(TMenuText::Paste), "&Einfügen");
  EXPECT_EQ(MenuTextUtf8(TMenuText::Save), "&Salvează...");
  SetLanguage(kLanguageKorean);
  SetLanguage(kLanguageRomanian);
  EXPECT_EQ(MenuTextUtf8(TMenuText::Copy), "복사(&C)");
  SetLanguage(kLanguageKorean);
  SetLanguage(kLanguageChinese);
  EXPECT_EQ(MenuWordUtf8(TMenuWord::Multistage), "다단(&M)");
  EXPECT_EQ(MenuWordUtf8(TMenuWord::Shaft), "轴(&A)");
}

TEST_F(LanguagesTest, KoreanAndChineseCarryTheAcceleratorBehindTheWord) {
  SetLanguage(kLanguageKorean);
  EXPECT_EQ(MenuCaption("mi_helpErrorMessages"), "오류 메시지(&E)");
  // Composed: the mark of the telling part moves to the end.
  EXPECT_EQ(MenuCaption("mi_viewfertigungszeichnungwellenabe"), "축 + 허브(&H)");
  EXPECT_EQ(MenuCaption("mi_cadfertigungszeichnung1"), "제작 도면 Shaft(&D)");
  EXPECT_EQ(MenuCaption("mi_Document1"), "문서 &1");
  SetLanguage(kLanguageChinese);
  EXPECT_EQ(MenuCaption("mi_file"), "文件(&F)");
  EXPECT_EQ(MenuCaption("mi_fileOpenTable"), "打开... (表格)(&B)");
}

constexpr int kAllLanguages[] = {
    kLanguageGerman,     kLanguageEnglish,  kLanguageFrench, kLanguageItalian, kLanguageSwedish,
    kLanguagePortuguese, kLanguageRomanian, kLanguageKorean, kLanguageSpanish, kLanguageChinese};

TEST_F(LanguagesTest, EveryCaptionWholeWithOneAcceleratorAtMost) {
  for (int code : kAllLanguages) {
    ASSERT_TRUE(SetLanguage(code)) << code;
    for (const TMenuCaption& caption : MenuCaptions()) {
      const std::string& text = caption.caption;
      EXPECT_FALSE(text.empty()) << code << " " << caption.objectName;
      // "?" is what the DOS code page makes of a character it cannot hold.
      EXPECT_EQ(text.find('?'), std::string::npos) << code << " " << text;
      if (AcceleratorOf(text) == 0) continue;
      EXPECT_EQ(AcceleratorOf(text.substr(text.find('&') + 2)), 0) << code << " " << text;
    }
  }
}

TEST_F(LanguagesTest, FrenchHasTextsButKeepsThePreviousWords) {
  SetLanguage(kLanguageGerman);
  ASSERT_TRUE(SetLanguage(kLanguageFrench));
  EXPECT_EQ(ConfigVariables.LanguageCode, kLanguageFrench);
  EXPECT_FALSE(SetMenuWords(kLanguageFrench));
  EXPECT_EQ(MenuCaption("mi_fileOpen"), "&Ouvrir...");
  EXPECT_EQ(MenuCaption("mi_viewzahnprofil"), "&Verzahnung");
  EXPECT_EQ(MenuCaption("mi_viewwerkzeugwelle"), "&Welle");
}

TEST_F(LanguagesTest, AcceleratorsFoundAndRemoved) {
  struct {
    const char* caption;
    char accelerator;
    const char* bare;
  } const cases[] = {
      {"Se&ttings", 'T', "Settings"},
      {"&Quick 3", 'Q', "Quick 3"},
      {"파일(&F)", 'F', "파일"},
      {"EDI 파일(&E)...", 'E', "EDI 파일..."},
      {"R&&D", 0, "R&&D"},
      {"Printer Setup", 0, "Printer Setup"},
      {"DIN 5480(&5)", '5', "DIN 5480"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AcceleratorOf(c.caption), c.accelerator) << c.caption;
    EXPECT_EQ(WithoutAccelerator(c.caption), c.bare) << c.caption;
  }
}

TEST_F(LanguagesTest, MessageItemCaptionWithTheCount) {
  EXPECT_EQ(ErrorMessagesCaption(3), "&Error messages (3)");
  SetLanguage(kLanguageGerman);
  EXPECT_EQ(ErrorMessagesCaption(0), "&Fehlermeldungen (0)");
}

}  // namespace
