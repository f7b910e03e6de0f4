#include "platform/qt/qtfiledialog.h"

#include <QFile>
#include <QFileDialog>
#include <QStringList>

#include "platform/qt/qtplacement.h"
#include "platform/qt/qttext.h"

namespace {

// "CSV-Datei (*.csv *.csv.gz)" for every filter.
QStringList namefilters(const std::vector<FileFilter>& filters) {
  QStringList list;
  for (const FileFilter& f : filters)
    list << toqstring(f.name) + QLatin1String(" (") + QString::fromLatin1(f.patterns) + QLatin1Char(')');
  return list;
}

// Qt's dialog placed on its owner when it has its size.
class PlacedFileDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;

 protected:
  void showEvent(QShowEvent* e) override {
    QFileDialog::showEvent(e);
    centreonowner(this, parentWidget());
  }
};

QString fspath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace

std::optional<std::string> QtFileDialog::openfile(const std::string& title, const std::string& folder,
                                                  const std::vector<FileFilter>& filters) {
  PlacedFileDialog dialog(dialogowner(), toqstring(title), fspath(folder));
  dialog.setObjectName(QStringLiteral("opendialog"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(namefilters(filters));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QFile::encodeName(dialog.selectedFiles().front()).toStdString();
}

std::optional<SaveChoice> QtFileDialog::savefile(const std::string& title, const std::string& folder,
                                                 const std::string& suggested,
                                                 const std::vector<FileFilter>& filters, int initial) {
  PlacedFileDialog dialog(dialogowner(), toqstring(title), fspath(folder));
  dialog.setObjectName(QStringLiteral("savedialog"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  QStringList names = namefilters(filters);
  dialog.setNameFilters(names);
  if (initial >= 0 && initial < names.size()) dialog.selectNameFilter(names[initial]);
  // The extension of the filter in use for a name typed without one.
  auto suffixof = [&](const QString& chosen) {
    int i = names.indexOf(chosen);
    if (i < 0) return QString();
    QString first = QString::fromLatin1(filters[i].patterns).section(QLatin1Char(' '), 0, 0);
    return first.startsWith(QLatin1String("*.")) ? first.mid(2) : QString();
  };
  dialog.setDefaultSuffix(suffixof(dialog.selectedNameFilter()));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&](const QString& chosen) { dialog.setDefaultSuffix(suffixof(chosen)); });
  if (!suggested.empty()) dialog.selectFile(fspath(suggested));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  SaveChoice choice;
  choice.path = QFile::encodeName(dialog.selectedFiles().front()).toStdString();
  int i = names.indexOf(dialog.selectedNameFilter());
  choice.filter = i < 0 ? 0 : i;
  return choice;
}
