// The language captions on the main window's own menu: every item found by its name, nothing
// left blank in any language, back to English exactly, and accelerators that do not clash.
#include "app/forms/menu_captions.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QGlyphRun>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>

#include "app/app_test_support.h"
#include "app/command_line.h"
#include "app/forms/main_window.h"
#include "app/languages.h"
#include "app/startup.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "gui_environment.h"
#include "validator_support.h"

namespace {

using app_test::ScratchDir;

constexpr int kLanguages[] = {kLanguageGerman, kLanguageEnglish, kLanguageRomanian, kLanguageKorean,
                              kLanguageChinese};

class MenuCaptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", dir_.Make("xdg").c_str(), 1);
    InitModules();
    InitLanguages();
    ConfigVariables.ConfigDirectory = dir_.Make("empty") + "/";
    ConfigVariables.DefaultDataDirectory = dir_.Make("data");
    ProgramSettings.pltDirectory = dir_.Make("plt");
    ProgramSettings.tempDirectory = dir_.Make("misc");
    SetProgramArguments({});
    window_ = std::make_unique<Thh>();
  }
  void TearDown() override {
    window_.reset();
    InitLanguages();
  }

  // Object name and text of every menu entry, submenus included, separators left out.
  std::map<std::string, std::string> Texts() const {
    std::map<std::string, std::string> texts;
    for (QAction* action : window_->MainMenu1->findChildren<QAction*>()) {
      const std::string name = action->objectName().toStdString();
      if (name.rfind("mi_", 0) == 0 && !action->isSeparator()) {
        texts[name] = action->text().toStdString();
      }
    }
    return texts;
  }

  ScratchDir dir_;
  ScriptedDialogHost host_;
  std::unique_ptr<Thh> window_;
};

TEST_F(MenuCaptionsTest, EveryItemCaptionedInEveryLanguage) {
  for (int code : kLanguages) {
    ASSERT_TRUE(SetLanguage(*window_->MainMenu1, code));
    const auto texts = Texts();
    ASSERT_GE(texts.size(), MenuCaptions().size());
    for (const auto& [name, text] : texts) EXPECT_FALSE(text.empty()) << code << " " << name;
    // Every caption of the vocabularies lands on an item of that name, a submenu's title too.
    for (const TMenuCaption& caption : MenuCaptions()) {
      QAction* item = window_->MenuItem(QString::fromLatin1(caption.objectName));
      ASSERT_NE(item, nullptr) << caption.objectName;
      // The accelerator may have moved to another letter of the caption.
      EXPECT_EQ(WithoutAccelerator(item->text().toStdString()), WithoutAccelerator(caption.caption))
          << code;
      if (item->menu()) EXPECT_EQ(item->menu()->title(), item->text());
    }
  }
}

TEST_F(MenuCaptionsTest, GermanThenEnglishRestoresTheEnglishMenu) {
  SetMenuCaptions(*window_->MainMenu1);
  const auto english = Texts();
  EXPECT_EQ(english.at("mi_fileOpen"), "&Open...");
  ASSERT_TRUE(SetLanguage(*window_->MainMenu1, kLanguageGerman));
  EXPECT_EQ(Texts().at("mi_fileOpen"), "Ö&ffnen...");
  ASSERT_TRUE(SetLanguage(*window_->MainMenu1, kLanguageEnglish));
  EXPECT_EQ(Texts(), english);
  EXPECT_EQ(ConfigVariables.LanguageCode, kLanguageEnglish);
}

TEST_F(MenuCaptionsTest, ItemsWithoutVocabularyKeepTheFormCaptions) {
  ASSERT_TRUE(SetLanguage(*window_->MainMenu1, kLanguageKorean));
  EXPECT_EQ(Texts().at("mi_helplanguageDeutsch"), "&Deutsch");
  EXPECT_EQ(Texts().at("mi_OLE"), "&OLE");
  EXPECT_EQ(Texts().at("mi_HelpAbout"), "&VUKO");
}

// After a file is loaded (the message item shows its count) and after every language switch,
// each accelerator stands once in its menu, and every item the vocabularies caption has one.
TEST_F(MenuCaptionsTest, AcceleratorsUniqueWithinEachMenu) {
  AddError("first");
  AddError("second");
  const std::map<int, const char*> languageItems = {{kLanguageGerman, "mi_helplanguageDeutsch"},
                                                    {kLanguageEnglish, "mi_helplanguageEnglish"},
                                                    {kLanguageRomanian, "mi_helplanguageRoman"},
                                                    {kLanguageKorean, "mi_helplanguageKorea"},
                                                    {kLanguageChinese, "mi_helplanguageChinese"}};
  // Every language; those without menu words show them with the English ones.
  for (int code :
       {kLanguageGerman, kLanguageEnglish, kLanguagePortuguese, kLanguageRomanian, kLanguageKorean,
        kLanguageChinese, kLanguageFrench, kLanguageItalian, kLanguageSwedish, kLanguageSpanish}) {
    ASSERT_TRUE(SetLanguage(*window_->MainMenu1, kLanguageEnglish));
    const auto item = languageItems.find(code);
    if (item != languageItems.end()) {
      window_->MenuItem(QString::fromLatin1(item->second))->trigger();
    } else {
      ASSERT_TRUE(SetLanguage(*window_->MainMenu1, code));
    }
    // What loading a file does to the message item.
    SetErrorMessageItemCaption(*window_);
    EXPECT_EQ(WithoutAccelerator(window_->mi_viewErrorMessages->text().toStdString()),
              WithoutAccelerator(ErrorMessagesCaption(ErrorCount())));
    std::vector<QList<QAction*>> menus = {window_->MainMenu1->actions()};
    for (QMenu* menu : window_->MainMenu1->findChildren<QMenu*>()) menus.push_back(menu->actions());
    for (const QList<QAction*>& actions : menus) {
      std::map<char, std::string> taken;
      for (QAction* action : actions) {
        if (action->isSeparator() || action->text().isEmpty()) continue;
        const char key = AcceleratorOf(action->text().toStdString());
        const std::string name = action->objectName().toStdString();
        EXPECT_NE(key, 0) << code << ": " << name << " \"" << action->text().toStdString()
                          << "\" has no accelerator";
        if (key == 0) continue;
        const auto [it, fresh] = taken.emplace(key, name);
        EXPECT_TRUE(fresh) << code << ": " << it->second << " and " << name << " share " << key;
      }
    }
  }
}

// Every caption of the ten menu languages is drawn with real glyphs: laid out in the menu's
// font (with the fallbacks the system offers), no character ends on the missing-glyph box, and
// every character beyond ASCII, drawn alone, gives another picture than a character no font has.
TEST_F(MenuCaptionsTest, EveryCaptionRendersWithoutMissingGlyphs) {
  REQUIRE_OR_SKIP(gui_test::HaveCjkFont(), "no font for Chinese and Korean",
                  "no font for Chinese and Korean (fonts-noto-cjk)");
  const QFont font = window_->MainMenu1->font();
  auto picture = [&font](const QString& text) {
    QImage image(48, 32, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(image.rect(), Qt::AlignCenter, text);
    return image;
  };
  const QImage missing = picture(QString(QChar(0xFFFF)));
  std::set<QChar> drawn;
  for (int code : {kLanguageGerman, kLanguageEnglish, kLanguageFrench, kLanguageItalian,
                   kLanguageSwedish, kLanguagePortuguese, kLanguageRomanian, kLanguageKorean,
                   kLanguageSpanish, kLanguageChinese}) {
    ASSERT_TRUE(SetLanguage(*window_->MainMenu1, code));
    for (const auto& [name, caption] : Texts()) {
      const QString text = QString::fromStdString(caption).remove(QLatin1Char('&'));
      QTextLayout layout(text, font);
      layout.beginLayout();
      layout.createLine();
      layout.endLayout();
      for (const QGlyphRun& run : layout.glyphRuns()) {
        for (quint32 glyph : run.glyphIndexes()) {
          EXPECT_NE(glyph, 0u) << code << " " << name << " \"" << caption << "\" in "
                               << run.rawFont().familyName().toStdString();
        }
      }
      for (QChar c : text) {
        if (c.unicode() > 0x7F && !c.isSpace() && drawn.insert(c).second) {
          EXPECT_NE(picture(QString(c)), missing)
              << code << " " << name << " U+" << std::hex << static_cast<int>(c.unicode());
        }
      }
    }
  }
  EXPECT_GT(drawn.size(), 50u);  // the Korean and Chinese menus were among them
}

}  // namespace
