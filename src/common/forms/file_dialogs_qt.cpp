// Open and save dialogs over QFileDialog.
#include "common/forms/file_dialogs_qt.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>

namespace {

QString Q(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Path(const std::string& name) {
  return QFile::decodeName(QByteArray::fromStdString(name));
}

// The detail view's size, type and date columns show whole values, not "783...tes", and the
// dialog opens wide enough for them, within the screen.
void ShowWholeColumns(QFileDialog* dialog) {
  if (auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"))) {
    QHeaderView* header = view->header();
    for (int c = 1; c < header->count(); ++c) {
      header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    }
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setStretchLastSection(false);
  }
  QSize size(820, 500);
  if (QScreen* screen = dialog->screen()) size = size.boundedTo(screen->availableGeometry().size());
  dialog->resize(size);
}

QFileDialog* NewDialog(const TFileDialogRequest& request, QWidget* parent, bool save) {
  auto* dialog = new QFileDialog(parent);
  dialog->setObjectName(save ? QStringLiteral("SaveDialog") : QStringLiteral("OpenDialog"));
  // Qt's own dialog everywhere: the same behaviour on every desktop, and the overwrite question
  // comes from the program once.
  dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  dialog->setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog->setWindowModality(Qt::ApplicationModal);
  if (!request.title.empty()) dialog->setWindowTitle(Q(request.title));
  const QStringList filters = QtNameFilters(request.filter);
  if (!filters.isEmpty()) dialog->setNameFilters(filters);
  if (!request.directory.empty() && QFileInfo(Path(request.directory)).isDir()) {
    dialog->setDirectory(Path(request.directory));
  }
  dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!request.defaultExtension.empty()) dialog->setDefaultSuffix(Q(request.defaultExtension));
  if (!request.fileName.empty()) dialog->selectFile(Path(request.fileName));
  ShowWholeColumns(dialog);
  return dialog;
}

bool Run(QFileDialog* dialog, std::string& fileName) {
  const bool accepted = dialog->exec() == QDialog::Accepted;
  const QStringList chosen = dialog->selectedFiles();
  delete dialog;
  if (!accepted || chosen.isEmpty() || chosen.front().isEmpty()) return false;
  fileName = QFile::encodeName(QDir::cleanPath(chosen.front())).toStdString();
  return true;
}

}  // namespace

QStringList QtNameFilters(const std::string& filter) {
  QStringList out;
  for (const auto& [description, pattern] : ParseDialogFilter(filter)) {
    QString patterns = Q(pattern).replace(QLatin1Char(';'), QLatin1Char(' ')).simplified();
    if (description == pattern || description.empty()) {
      out << patterns;
    } else {
      out << Q(description) + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
  }
  return out;
}

QFileDialog* NewOpenFileDialog(const TFileDialogRequest& request, QWidget* parent) {
  return NewDialog(request, parent, false);
}

QFileDialog* NewSaveFileDialog(const TFileDialogRequest& request, QWidget* parent) {
  return NewDialog(request, parent, true);
}

bool RunOpenFileDialog(const TFileDialogRequest& request, std::string& fileName, QWidget* parent) {
  return Run(NewOpenFileDialog(request, parent), fileName);
}

bool RunSaveFileDialog(const TFileDialogRequest& request, std::string& fileName, QWidget* parent) {
  return Run(NewSaveFileDialog(request, parent), fileName);
}
