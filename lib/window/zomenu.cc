#include "lib/window/zomenu.h"

#include <QActionGroup>
#include <QFont>
#include <QKeySequence>
#include <algorithm>

#include "lib/support/w1252.h"
#include "lib/window/qtconvert.h"

int pulldowncounter = 0;
int menupicturecount = 0;
HintHandler menuhinthandler;

namespace {

// Submenus nested deeper than this are built empty: a provider that names
// a menu inside itself would otherwise recurse without end.
constexpr int kMaxMenuDepth = 10;
int builddepth = 0;

std::string cutto(std::string_view s, std::size_t n) { return std::string(s.substr(0, n)); }

int slot(int index) { return std::clamp(index, 1, kMaxMenuItems) - 1; }

// The description of menunumber, with one blank item when it is empty.
void describe(const MenuProvider& provider, int menunumber, MenuDescription& d, PictureList& p,
              bool ask) {
  d.clear();
  p.fill(0);
  if (ask && provider) provider(menunumber, d, p);
  d.count = static_cast<std::uint8_t>(std::min<int>(d.count, kMaxMenuItems));
  if (d.count == 0) {
    d.clear();
    d.count = 1;
    d.captions[0] = " ";
  }
}

void showhint(const std::string& hint) {
  if (menuhinthandler) menuhinthandler(hint);
}

// Removes the first word beginning with "#" (up to the next blank).
void removehelpmark(std::string& hint) {
  for (std::size_t i = 0; i < hint.size(); ++i) {
    if (hint[i] == '#' && (i == 0 || hint[i - 1] == ' ')) {
      std::size_t end = hint.find(' ', i);
      hint.erase(i, end == std::string::npos ? std::string::npos : end - i);
      return;
    }
  }
}

TMenuItem* makeitem(QObject* parent, const MenuItemRecord& r, const ClickHandler& onclick,
                    const MenuDrawOptions& options) {
  auto* item = new TMenuItem(parent);
  item->setObjectName(QString("menuitem_%1").arg(r.command));
  item->tag = r.command;
  item->helpcontext = r.command;
  item->caption = r.caption;
  item->hint = r.hint;
  item->isdefault = r.isdefault;
  item->groupindex = r.groupindex;
  item->newcolumn = r.newcolumn;
  item->pictureindex = -1;
  if (options.pictures && r.picture >= 1 && r.picture <= menupicturecount &&
      static_cast<std::size_t>(r.picture) <= options.picturehandles.size()) {
    item->setIcon(options.picturehandles[r.picture - 1u]);
    item->pictureindex = r.picture - 1;
  }
  if (r.caption == "-") {
    item->setSeparator(true);
  } else {
    item->setText(toqstring(r.caption));
  }
  item->setCheckable(r.radio || r.autocheck || r.checked);
  item->setChecked(r.checked);
  item->setEnabled(r.enabled);
  item->setVisible(r.visible);
  if (r.shortcut != 0) item->setShortcut(QKeySequence(r.shortcut));
  if (r.isdefault) {
    QFont f = item->font();
    f.setBold(true);
    item->setFont(f);
  }
  if (r.radio) {
    QString name = QString("radiogroup%1").arg(r.groupindex);
    auto* group = parent->findChild<QActionGroup*>(name, Qt::FindDirectChildrenOnly);
    if (group == nullptr) {
      group = new QActionGroup(parent);
      group->setObjectName(name);
      group->setExclusive(true);
    }
    group->addAction(item);
  }
  QObject::connect(item, &QAction::triggered, item, [item, onclick] {
    if (onclick) onclick(item);
  });
  QObject::connect(item, &QAction::hovered, item, [item] { showhint(item->hint); });
  return item;
}

// The access key of a caption ("&x" gives x, "&&" is a literal "&"), or
// a null character when it has none.
QChar accesskeyof(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != QLatin1Char('&')) continue;
    if (text[i + 1] == QLatin1Char('&')) {
      ++i;
      continue;
    }
    return text[i + 1].toLower();
  }
  return QChar();
}

// Automatic access keys for the items of one menu (bar): items that bring
// their own "&" keep it; every other item gets the first letter or digit
// that no earlier item of the menu uses, preferring the first letters of
// its words.  An item whose letters are all taken gets none.
void assignaccesskeys(const QList<QAction*>& actions) {
  QList<QChar> used;
  for (QAction* a : actions) {
    if (a->isSeparator()) continue;
    QChar key = accesskeyof(a->text());
    if (!key.isNull()) used.append(key);
  }
  for (QAction* a : actions) {
    if (a->isSeparator() || !accesskeyof(a->text()).isNull()) continue;
    QString text = a->text();
    qsizetype pick = -1;
    for (int pass = 0; pass < 2 && pick < 0; ++pass) {
      for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text[i].isLetterOrNumber() || used.contains(text[i].toLower())) continue;
        if (pass == 0 && i > 0 && text[i - 1].isLetterOrNumber()) continue;
        pick = i;
        break;
      }
    }
    if (pick < 0) continue;
    used.append(text[pick].toLower());
    text.insert(pick, QLatin1Char('&'));
    a->setText(text);
  }
}

// Builds the items of d into a menu bar or a menu (both take actions).
template <class Target>
void builditems(Target* target, const MenuDescription& d, const PictureList& p,
                const MenuProvider& provider, const ClickHandler& onclick,
                const MenuDrawOptions& options) {
  for (int i = 0; i < d.count; ++i) {
    MenuItemRecord r = menuitemrecord(d, p, i);
    if (r.submenu != 0) {
      QMenu* sub = buildpulldownmenu(target, r.submenu, provider, onclick, r.caption,
                                     r.helpcontext, options);
      target->addMenu(sub);
      std::string hint = r.hint;
      QObject::connect(sub->menuAction(), &QAction::hovered, sub, [hint] { showhint(hint); });
    } else {
      target->addAction(makeitem(target, r, onclick, options));
    }
  }
  assignaccesskeys(target->actions());
}

}  // namespace

void setmenuitem(int index, std::uint16_t command, std::string_view caption,
                 std::string_view hint, MenuDescription& d) {
  int i = slot(index);
  d.commands[i] = command;
  d.captions[i] = cutto(caption, 40);
  std::string h = cutto(hint, 100);
  if (h.empty()) h = d.captions[i];
  d.hints[i] = cutto(h, 120);
}

void addmenuitem(int& index, std::uint16_t command, std::string_view caption,
                 std::string_view hint, MenuDescription& d) {
  ++index;
  setmenuitem(index, command, caption, hint, d);
}

void setsubmenuitem(int index, std::uint16_t command, std::string_view caption,
                    MenuDescription& d) {
  setmenuitem(index, command, caption, caption, d);
  d.flags[slot(index)] |= kMenuSubmenu;
}

void addsubmenuitem(int& index, std::uint16_t command, std::string_view caption,
                    MenuDescription& d) {
  ++index;
  setsubmenuitem(index, command, caption, d);
}

MenuItemRecord menuitemrecord(const MenuDescription& d, const PictureList& pictures, int i) {
  MenuItemRecord r;
  if (i < 0 || i >= kMaxMenuItems) return r;
  r.caption = cutto(d.captions[i], 80);
  r.hint = cutto(d.hints[i], 255);
  if (r.hint.size() > 3) {
    removehelpmark(r.hint);
  } else if (!r.caption.empty()) {
    r.hint = r.caption;
    r.hint.erase(std::remove(r.hint.begin(), r.hint.end(), '&'), r.hint.end());
  }
  std::uint16_t f = d.flags[i];
  r.enabled = (f & kMenuDisabled) == 0;
  if (f & kMenuSubmenu) {
    r.caption = cutto(r.caption + std::string("»"_w), 80);
    if (r.enabled) r.submenu = d.commands[i];
  }
  if ((f & kMenuSubmenu) && (f & kMenuRadio)) r.radio = true;
  if (f & kMenuChecked) {
    r.checked = true;
    r.caption = cutto(r.caption + " C", 80);
  }
  if (f & kMenuAutoCheck) {
    r.autocheck = true;
    r.caption = cutto(r.caption + " A", 80);
  }
  if (f == kMenuSeparator) r.caption = "-";
  r.picture = pictures[static_cast<std::size_t>(i) + 1];
  r.command = d.commands[i];
  return r;
}

QMenu* buildpulldownmenu(QWidget* parent, int menunumber, const MenuProvider& provider,
                         const ClickHandler& onclick, const std::string& caption,
                         int helpcontext, const MenuDrawOptions& options) {
  ++builddepth;
  MenuDescription d;
  PictureList p{};
  describe(provider, menunumber, d, p, builddepth <= kMaxMenuDepth);
  auto* menu = new QMenu(parent);
  menu->setTitle(toqstring(caption));
  builditems(menu, d, p, provider, onclick, options);
  --builddepth;

  ++pulldowncounter;
  menu->setObjectName(QString("Pulldown%1").arg(pulldowncounter));
  menu->menuAction()->setObjectName(QString("Pulldown%1action").arg(pulldowncounter));
  menu->menuAction()->setProperty("helpcontext", helpcontext);
  return menu;
}

QMenuBar* buildmainmenu(QMainWindow* owner, int menunumber, const MenuProvider& provider,
                        const ClickHandler& onclick, const MenuDrawOptions& options) {
  MenuDescription d;
  PictureList p{};
  describe(provider, menunumber, d, p, true);
  auto* bar = new QMenuBar(owner);
  bar->setObjectName("menubar");
  builddepth = 0;
  builditems(bar, d, p, provider, onclick, options);
  if (owner != nullptr) owner->setMenuBar(bar);
  return bar;
}
