#include "lib/dialog/dlgitems.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVariant>

#include "lib/dialog/dlgtext.h"
#include "lib/support/strnum.h"

namespace {
std::int32_t nextcontrolid = 10000;
constexpr const char* kIdProperty = "ctlid";

// Index at which a sorting list keeps its lines in order (case-insensitive).
int sortedposition(QComboBox* c, const QString& s) {
  int i = 0;
  while (i < c->count() && QString::compare(c->itemText(i), s, Qt::CaseInsensitive) <= 0) ++i;
  return i;
}
}  // namespace

std::int32_t assigncontrolid(QWidget* w) {
  std::int32_t id = nextcontrolid++;
  w->setProperty(kIdProperty, id);
  return id;
}

std::int32_t controlid(const QWidget* w) {
  if (!w) return 0;
  QVariant v = w->property(kIdProperty);
  return v.isValid() ? v.toInt() : 0;
}

QWidget* getitemcontrol(QWidget* dialoghandle, std::int32_t id) {
  if (!dialoghandle || id == 0) return nullptr;
  const auto children = dialoghandle->findChildren<QWidget*>();
  for (QWidget* w : children)
    if (controlid(w) == id) return w;
  return nullptr;
}

void setwindowtext(QWidget* w, std::string_view text) {
  if (!w) return;
  QString s = toq(text);
  if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(s);
  else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) m->setPlainText(s);
  else if (auto* r = qobject_cast<QTextEdit*>(w)) r->setPlainText(s);
  else if (auto* c = qobject_cast<QComboBox*>(w)) {
    if (c->isEditable()) c->setEditText(s);
    else c->setCurrentIndex(c->findText(s));
  } else if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(s);
  else if (auto* l = qobject_cast<QLabel*>(w)) l->setText(s);
  else if (auto* g = qobject_cast<QGroupBox*>(w)) g->setTitle(s);
  else w->setWindowTitle(s);
}

void setitemtext(QWidget* dialoghandle, std::int32_t id, std::string_view text) {
  setwindowtext(getitemcontrol(dialoghandle, id), text);
}

void setitemtextlimited(QWidget* dialoghandle, std::int32_t id, std::string_view text, int limit) {
  QWidget* w = getitemcontrol(dialoghandle, id);
  setwindowtext(w, text);
  QLineEdit* e = qobject_cast<QLineEdit*>(w);
  if (!e)
    if (auto* c = qobject_cast<QComboBox*>(w)) e = c->lineEdit();
  if (e && limit > 0) e->setMaxLength(limit);
}

void setitemhex(QWidget* dialoghandle, std::int32_t id, std::uint32_t value) {
  setitemtextlimited(dialoghandle, id, "$" + hexlongshort(value), 15);
}

void additemtext(QWidget* list, std::string_view text) {
  QString s = toq(text);
  if (auto* c = qobject_cast<QComboBox*>(list)) {
    if (c->property("sorted").toBool()) c->insertItem(sortedposition(c, s), s);
    else c->addItem(s);
  } else if (auto* l = qobject_cast<QListWidget*>(list)) {
    l->addItem(s);  // a sorting list box orders itself
  }
}

void setitemindex(QWidget* list, int index) {
  if (auto* c = qobject_cast<QComboBox*>(list)) {
    c->setCurrentIndex(index >= 0 && index < c->count() ? index : -1);
  } else if (auto* l = qobject_cast<QListWidget*>(list)) {
    l->clearSelection();
    if (index >= 0 && index < l->count()) {
      l->setCurrentRow(index);
      l->item(index)->setSelected(true);
    } else {
      l->setCurrentRow(-1);
    }
  }
}

int getitemindex(QWidget* list) {
  if (auto* c = qobject_cast<QComboBox*>(list)) return c->currentIndex();
  if (auto* l = qobject_cast<QListWidget*>(list)) {
    int row = l->currentRow();
    if (row >= 0 && l->item(row)->isSelected()) return row;
    const auto sel = l->selectedItems();
    return sel.isEmpty() ? -1 : l->row(sel.first());
  }
  return -1;
}

void getitemtext(int maxchars, QWidget* dialoghandle, std::int32_t id, std::string& text,
                 std::size_t capacity) {
  QWidget* w = getitemcontrol(dialoghandle, id);
  QString s;
  if (auto* e = qobject_cast<QLineEdit*>(w)) s = e->text();
  else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) s = m->toPlainText();
  else if (auto* r = qobject_cast<QTextEdit*>(w)) s = r->toPlainText();
  else if (auto* c = qobject_cast<QComboBox*>(w)) s = c->currentText();
  else if (auto* b = qobject_cast<QAbstractButton*>(w)) s = b->text();
  else if (auto* l = qobject_cast<QLabel*>(w)) s = l->text();
  else if (auto* g = qobject_cast<QGroupBox*>(w)) s = g->title();
  else if (w) s = w->windowTitle();
  if (maxchars >= 0 && s.size() > maxchars) s.truncate(maxchars);
  text = cut(fromq(s), capacity);
}

void getitemtexttrimmed(int maxchars, QWidget* dialoghandle, std::int32_t id, std::string& text,
                        std::size_t capacity) {
  getitemtext(maxchars, dialoghandle, id, text, capacity);
  trimboth(text);
}

void setitemchecked(QWidget* dialoghandle, std::int32_t id, bool checked) {
  if (auto* b = qobject_cast<QAbstractButton*>(getitemcontrol(dialoghandle, id))) b->setChecked(checked);
}

bool getitemchecked(QWidget* dialoghandle, std::int32_t id) {
  auto* b = qobject_cast<QAbstractButton*>(getitemcontrol(dialoghandle, id));
  return b && b->isChecked();
}
