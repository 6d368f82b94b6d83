// Help buttons of the input dialogs.
#include "common/forms/help_buttons.h"

#include <QPushButton>
#include <QWidget>

#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/help_texts.h"
#include "common/program_state.h"

namespace {

THelpImageHandler& ImageHandler() {
  static THelpImageHandler handler;
  return handler;
}

int EntryNumber(int number) {
  return number != 0 ? number : HelpNumber;
}

void BringToFront(QWidget* dialog) {
  if (dialog == nullptr) return;
  dialog->raise();
  dialog->activateWindow();
}

}  // namespace

void SetHelpImageHandler(THelpImageHandler handler) {
  ImageHandler() = std::move(handler);
}

std::string HelpImageFile(int number) {
  THelpLines lines;
  std::string image;
  const bool keep = AbortFlag;
  LookupHelpEntry(EntryNumber(number), lines, image);
  AbortFlag = keep;
  if (image.empty() || image == "NULL") return {};
  return AddBackslash(ProgramSettings.pltDirectory) + image + ".plt";
}

void ShowDialogHelpText(QWidget* dialog, int number) {
  const bool keep = AbortFlag;
  ShowHelpText(EntryNumber(number), kHelpTextOnly);
  AbortFlag = keep;
  BringToFront(dialog);
}

void ShowDialogHelpImage(QWidget* dialog, int number) {
  const bool keep = AbortFlag;
  const int entry = EntryNumber(number);
  const std::string plt = HelpImageFile(entry);
  if (ImageHandler()) {
    ImageHandler()(entry, plt);
  } else {
    ShowMessageCaption("Aux. Image", plt.empty() ? std::string("NULL") : NameText(plt));
  }
  AbortFlag = keep;
  BringToFront(dialog);
}

QPushButton* NewHelpTextButton(QWidget* dialog, int number) {
  auto* button = new QPushButton(QStringLiteral("&Help Text"), dialog);
  button->setObjectName(QStringLiteral("Button_hilfetext"));
  QObject::connect(button, &QPushButton::clicked, dialog,
                   [dialog, number] { ShowDialogHelpText(dialog, number); });
  return button;
}

QPushButton* NewHelpImageButton(QWidget* dialog, int number) {
  auto* button = new QPushButton(QStringLiteral("Aux. &Image"), dialog);
  button->setObjectName(QStringLiteral("Button_hilfebild"));
  QObject::connect(button, &QPushButton::clicked, dialog,
                   [dialog, number] { ShowDialogHelpImage(dialog, number); });
  return button;
}
