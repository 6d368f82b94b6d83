// Small pieces shared by the files of the configuration dialog: text conversion, colour panels,
// radio groups, the main window's client size and the colour and font dialogs.
#pragma once

#include <QColor>
#include <QFont>
#include <QSize>
#include <QString>
#include <string>

#include "common/graphics_settings.h"

class QWidget;
class TRadioGroup;

namespace config_form {

QString Q(const std::string& text);
// Captions are kept in the DOS code page like every text of the program.
QString Caption(const std::string& text);
std::string S(const QString& text);

QColor QtColour(TColourRef c);
TColourRef ColourRef(const QColor& c);
void SetPanelColour(QWidget* panel, TColourRef colour);
TColourRef PanelColour(const QWidget* panel);

// A radio group showing index; an index it does not have leaves every item off.
void SetRadio(TRadioGroup* group, int index);
// A code stored back from a radio group or combo box; nothing chosen keeps the stored code.
template <typename T>
void StoreChoice(int index, int offset, T& code) {
  if (index >= 0) code = static_cast<T>(index + offset);
}

// The main window (null without one), its client area (the central widget of a main window)
// and the screen.
QWidget* MainWindow();
QSize MainClientSize(QWidget* main);
void SetMainClientSize(int width, int height);
QSize ScreenSize();
// Outer and client height of the main window, from the screen metrics without one.
void MainHeights(int& outer, int& client);

// The colour and font dialogs; false on Cancel.
bool ChooseColour(QWidget* parent, TColourRef start, TColourRef& chosen);
bool ChooseFont(QWidget* parent, QFont& font);

}  // namespace config_form
