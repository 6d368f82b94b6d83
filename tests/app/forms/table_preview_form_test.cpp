// The table preview on an offscreen screen: right clicks on header cells sort, left clicks do
// not; the search dialog and Search Next select the hits; one click on a row picks it, and the
// picked record keeps its pick through a sort.
#include "app/forms/table_preview_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <memory>

#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "gui_environment.h"

namespace {

TTextGrid Sample() {
  return {{"File", "Date", "z"},
          {"b.vuk", "2025/01/31", " 30"},
          {"D.vuk", "2026/03/02", "  9"},
          {"c.vuk", "2024/12/01", "100"}};
}

void Click(QWidget* target, QPoint point, Qt::MouseButton button) {
  QMouseEvent press(QEvent::MouseButtonPress, point, target->mapToGlobal(point), button, button,
                    Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, point, target->mapToGlobal(point), button,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(target, &release);
}

class PreviewGui : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    host_ = std::make_unique<ScriptedDialogHost>();
    form_ = std::make_unique<TForm_preview>();
    form_->SetGrid(Sample());
    form_->show();
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (int r = 0; r < form_->StringGrid1->rowCount(); ++r) {
      names.push_back(form_->StringGrid1->item(r, 0)->text().toStdString());
    }
    return names;
  }
  // Middle of a header cell, in the header's viewport.
  QPoint HeaderCentre(int column) const {
    QHeaderView* header = form_->StringGrid1->horizontalHeader();
    return {header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
            header->height() / 2};
  }
  QPoint CellCentre(int row) const {
    return form_->StringGrid1->visualItemRect(form_->StringGrid1->item(row, 0)).center();
  }
  // Runs the search dialog with a text typed into it.
  void SearchFor(const QString& text) {
    gui_test::After(0, [text] {
      auto* dialog = qobject_cast<TForm_Suchen*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->windowTitle(), "Search");
      dialog->Edit_suchbegriff->setText(text);
      dialog->Button_search->click();
    });
    form_->mi_editsearch->trigger();
  }

  std::unique_ptr<ScriptedDialogHost> host_;
  std::unique_ptr<TForm_preview> form_;
};

TEST_F(PreviewGui, RightClickOnAHeaderCellSortsLeftClickDoesNot) {
  QWidget* header = form_->StringGrid1->horizontalHeader()->viewport();
  Click(header, HeaderCentre(2), Qt::LeftButton);
  EXPECT_EQ(Files(), (std::vector<std::string>{"b.vuk", "D.vuk", "c.vuk"}));
  Click(header, HeaderCentre(2), Qt::RightButton);
  EXPECT_EQ(Files(), (std::vector<std::string>{"D.vuk", "b.vuk", "c.vuk"}));  // 9, 30, 100
  Click(header, HeaderCentre(0), Qt::RightButton);
  EXPECT_EQ(Files(), (std::vector<std::string>{"b.vuk", "c.vuk", "D.vuk"}));
  EXPECT_EQ(form_->StringGrid1->horizontalHeaderItem(2)->text(), "z");
}

TEST_F(PreviewGui, SearchAndSearchNextSelectTheHits) {
  SearchFor("vuk");
  EXPECT_EQ(form_->StringGrid1->currentRow(), 0);
  form_->SearchNext1->trigger();
  EXPECT_EQ(form_->StringGrid1->currentRow(), 1);
  form_->SearchNext1->trigger();
  EXPECT_EQ(form_->StringGrid1->currentRow(), 2);
  EXPECT_TRUE(host_->Messages().empty());
  // On the last row Search Next finds nothing and the selection stays.
  form_->SearchNext1->trigger();
  EXPECT_EQ(form_->StringGrid1->currentRow(), 2);
  ASSERT_EQ(host_->Messages().size(), 1u);
  EXPECT_EQ(host_->Messages()[0], "vuk not found.");
  SearchFor("2026");
  EXPECT_EQ(form_->StringGrid1->currentRow(), 1);
  EXPECT_EQ(form_->StringGrid1->currentColumn(), 1);
  EXPECT_TRUE(form_->isVisible()) << "a search hit is no pick";
}

TEST_F(PreviewGui, OneClickPicksARowAndTheSameRowAgainDoesNot) {
  gui_test::After(0,
                  [this] { Click(form_->StringGrid1->viewport(), CellCentre(1), Qt::LeftButton); });
  EXPECT_EQ(form_->Choose(), 2);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(form_->StringGrid1->item(1, 0)->text(), "D.vuk");
  // Sorted, the picked record moves and its new row is the one that no longer picks.
  form_->SortGridByColumn(2);
  EXPECT_EQ(form_->SelectedRow(), 1);
  gui_test::After(0, [this] {
    Click(form_->StringGrid1->viewport(), CellCentre(0), Qt::LeftButton);
    EXPECT_TRUE(form_->isVisible());
    form_->mi_fileExit->trigger();
  });
  EXPECT_EQ(form_->Choose(), 0);
  EXPECT_TRUE(AbortFlag);
}

}  // namespace
