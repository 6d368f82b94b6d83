// Open and save dialogs of the Qt host over QFileDialog. The save dialog never asks about
// overwriting itself: the caller asks once (CheckOverwrite).
#pragma once

#include <QStringList>
#include <string>

#include "common/dialog_host.h"

class QFileDialog;
class QWidget;

// Qt name filters of a "description|pattern|..." filter; ";" between patterns becomes a blank.
QStringList QtNameFilters(const std::string& filter);

// The dialogs as built for the request (not shown), for the host and for tests.
QFileDialog* NewOpenFileDialog(const TFileDialogRequest& request, QWidget* parent);
QFileDialog* NewSaveFileDialog(const TFileDialogRequest& request, QWidget* parent);

// Shows the dialog modally; the chosen full file name, false on Cancel.
bool RunOpenFileDialog(const TFileDialogRequest& request, std::string& fileName, QWidget* parent);
bool RunSaveFileDialog(const TFileDialogRequest& request, std::string& fileName, QWidget* parent);
