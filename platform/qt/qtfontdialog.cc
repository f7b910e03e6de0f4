#include "platform/qt/qtfontdialog.h"

#include <QApplication>
#include <QFontDialog>

#include "platform/qt/qtfont.h"
#include "platform/qt/qttext.h"

std::optional<FontSpec> QtFontDialog::choose(const std::string& title, const FontSpec& start,
                                             int minsize, int maxsize, bool fixedpitch) {
  QFontDialog dialog(QApplication::activeWindow());
  dialog.setObjectName(QStringLiteral("fontdialog"));
  QFontDialog::FontDialogOptions options = QFontDialog::DontUseNativeDialog;
  if (fixedpitch) options |= QFontDialog::MonospacedFonts;
  dialog.setOptions(options);
  dialog.setCurrentFont(qfontof(start));
  dialog.setWindowTitle(toqstring(title.substr(0, 80)));
  dialog.setWindowModality(Qt::ApplicationModal);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;

  QFont font = dialog.selectedFont();
  if (minsize > 0 && minsize <= maxsize && font.pointSize() > 0) {
    if (font.pointSize() < minsize) font.setPointSize(minsize);
    if (font.pointSize() > maxsize) font.setPointSize(maxsize);
  }
  FontSpec chosen = fontspecof(font);
  chosen.red = start.red;
  chosen.green = start.green;
  chosen.blue = start.blue;
  return chosen;
}
