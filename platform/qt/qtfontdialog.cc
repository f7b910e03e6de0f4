#include "platform/qt/qtfontdialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QListView>
#include <QStringListModel>

#include "lib/support/messages.h"
#include "lib/support/w1252.h"
#include "platform/qt/qtfont.h"
#include "platform/qt/qtplacement.h"
#include "platform/qt/qttext.h"

namespace {

// The widget in the given cell of the font dialog's grid (family, style and
// size columns in row 0 to 2; the writing system below), or nullptr.
template <typename T>
T* cellof(QDialog* dialog, int row, int column) {
  auto* grid = qobject_cast<QGridLayout*>(dialog->layout());
  QLayoutItem* item = grid ? grid->itemAtPosition(row, column) : nullptr;
  return item ? qobject_cast<T*>(item->widget()) : nullptr;
}

// Qt's font dialog held to the caller's sizes: the size list shows only
// sizes within minsize .. maxsize, and OK with a typed size outside them
// says so and keeps the dialog open.  Latin (ANSI) fonts only.
class LimitedFontDialog : public QFontDialog {
 public:
  LimitedFontDialog(QWidget* parent, int minsize, int maxsize)
      : QFontDialog(parent), minsize_(minsize), maxsize_(maxsize) {
    sizeedit_ = cellof<QLineEdit>(this, 1, 4);
    sizelist_ = cellof<QListView>(this, 2, 4);
    if (sizelist_ && sizelist_->model())
      // The dialog refills the list for every family and style.
      connect(sizelist_->model(), &QAbstractItemModel::modelReset, this, [this] { hidesizes(); });
    if (auto* systems = cellof<QComboBox>(this, 7, 0);
        systems && systems->count() > QFontDatabase::Latin &&
        systems->itemText(QFontDatabase::Latin) == QFontDatabase::writingSystemName(QFontDatabase::Latin)) {
      systems->setCurrentIndex(QFontDatabase::Latin);
      emit systems->activated(QFontDatabase::Latin);  // the dialog filters its families on this
      systems->setEnabled(false);
    }
  }

  bool limited() const { return minsize_ > 0 && minsize_ <= maxsize_; }

 protected:
  // Placed when it has its size, before it appears.
  void showEvent(QShowEvent* e) override {
    QFontDialog::showEvent(e);
    centreonowner(this, parentWidget());
  }

 public:

  void done(int result) override {
    if (result == QDialog::Accepted && limited()) {
      const int size = currentFont().pointSize();
      if (size > 0 && (size < minsize_ || size > maxsize_)) {
        errormessage(std::string("Die Schriftgröße muss zwischen "_w) + std::to_string(minsize_) +
                     " und " + std::to_string(maxsize_) + " Punkt liegen.");
        if (sizeedit_) {
          sizeedit_->setFocus();
          sizeedit_->selectAll();
        }
        return;  // stays open
      }
    }
    QFontDialog::done(result);
  }

 private:
  void hidesizes() {
    if (!limited() || !sizelist_ || !sizelist_->model()) return;
    const QAbstractItemModel* model = sizelist_->model();
    for (int row = 0; row < model->rowCount(); ++row) {
      const int size = model->index(row, 0).data().toInt();
      sizelist_->setRowHidden(row, size < minsize_ || size > maxsize_);
    }
  }

  int minsize_, maxsize_;
  QLineEdit* sizeedit_ = nullptr;
  QListView* sizelist_ = nullptr;
};

// The font as the system draws it: the installed face that stands in for
// the family, at the same size and style.
QFont drawnfont(const QFont& font) {
  const QFontInfo info(font);
  QFont drawn = font;
  drawn.setFamilies({info.family()});
  drawn.setStyleName(info.styleName());
  return drawn;
}

bool samelook(const QFont& a, const QFont& b) {
  const QFontInfo x(a), y(b);
  return x.family() == y.family() && x.pointSize() == y.pointSize() && x.bold() == y.bold() &&
         x.italic() == y.italic() && a.strikeOut() == b.strikeOut();
}

}  // namespace

std::optional<FontSpec> QtFontDialog::choose(const std::string& title, const FontSpec& start,
                                             int minsize, int maxsize, bool fixedpitch) {
  QWidget* owner = dialogowner();
  LimitedFontDialog dialog(owner, minsize, maxsize);
  dialog.setObjectName(QStringLiteral("fontdialog"));
  QFontDialog::FontDialogOptions options = QFontDialog::DontUseNativeDialog;
  if (fixedpitch) options |= QFontDialog::MonospacedFonts;
  dialog.setOptions(options);
  // The dialog lists the faces installed; a name such as "Arial" that the
  // system only stands in for would select some other entry.  It opens on
  // the face that really draws the start font.
  const QFont shown = drawnfont(qfontof(start));
  dialog.setCurrentFont(shown);
  dialog.setWindowTitle(toqstring(title.substr(0, 80)));
  dialog.setWindowModality(Qt::ApplicationModal);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;

  // Taken as it opened: the start font as it was named.
  if (samelook(dialog.selectedFont(), shown)) return start;
  FontSpec chosen = fontspecof(dialog.selectedFont());
  chosen.red = start.red;
  chosen.green = start.green;
  chosen.blue = start.blue;
  return chosen;
}
