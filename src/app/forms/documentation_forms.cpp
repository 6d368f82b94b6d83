// The documentation dialogs handed to the documentation commands.
#include "app/forms/documentation_forms.h"

#include <utility>

#include "app/documentation_commands.h"
#include "app/forms/document_slots_dialog.h"
#include "app/forms/change_record_dialog.h"
#include "app/forms/drawing_texts_dialog.h"
#include "app/forms/drawing_info_dialog.h"
#include "common/forms/form_placement.h"
#include "common/program_state.h"

namespace {

// Created on demand, shown modally, freed; a dialog closed any other way than OK is a Cancel.
template <typename Form, typename... Args>
void RunForm(Args... args) {
  Form form(args..., DialogMainWindow());
  if (form.exec() != QDialog::Accepted) AbortFlag = true;
}

}  // namespace

void InstallDocumentationForms() {
  TDocumentationDialogs dialogs;
  dialogs.changeRecord = [](int n) { RunForm<TForm_EinAend>(n); };
  dialogs.drawingInfo = [] { RunForm<TForm_zeichInfo>(); };
  dialogs.documentSetup = [] { RunForm<TForm_confDoku>(); };
  dialogs.drawingTexts = [] { RunForm<TForm_qmeingabetext>(); };
  InstallDocumentationDialogs(std::move(dialogs));
}
