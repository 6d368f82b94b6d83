// File, Open (Table) on the main window.
#include "app/forms/data_file_table_form.h"

#include <QCoreApplication>
#include <QTableWidget>

#include "app/data_file_table.h"
#include "app/forms/menu_captions.h"
#include "app/forms/table_preview_form.h"
#include "app/forms/main_window.h"

void ShowDataFileTable(Thh& form) {
  TForm_preview preview(&form);
  TDataFileTableHooks hooks;
  hooks.SetFormCaption = [&form](const std::string& text) {
    SetFormCaption(form, text);
    // The caption names the file being read while the scan runs.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  };
  hooks.UpdateTitle = [&form] { UpdateTitle(form); };
  hooks.SetMenuCaptions = [&form] {
    if (form.MainMenu1) SetMenuCaptions(*form.MainMenu1);
  };
  hooks.UpdateErrorMessageItem = [&form] { UpdateErrorMessageItem(form); };
  hooks.FillTable = [&preview](const TTextGrid& grid) {
    preview.SetGrid(grid);
    preview.SetColumnWidth(2, 90);
    preview.SetColumnWidth(3, 90);
  };
  hooks.ChooseFromTable = [&preview]() -> std::string {
    const int row = preview.Choose();
    if (row < 1) return {};
    const QTableWidgetItem* item = preview.StringGrid1->item(row - 1, 0);
    return item ? item->text().toStdString() : std::string();
  };
  OpenDataFileTable(hooks);
}
